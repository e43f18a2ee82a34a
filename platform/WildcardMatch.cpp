#include "platform/WildcardMatch.h"

#include <cstring>
#include <string>

namespace Platform {

namespace {

char FoldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Plain glob matching. Backtracks only to the most recent '*', which is enough
// because a later '*' can absorb anything an earlier one could.
bool MatchesGlob(const char* pattern, const char* name)
{
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern != '\0' && FoldCase(*pattern) == FoldCase(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern != nullptr) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

} // namespace

bool MatchesWildcard(const char* pattern, const char* name)
{
    if (std::strcmp(pattern, "*.*") == 0)
        return true;
    size_t length = std::strlen(pattern);
    if (length > 0 && pattern[length - 1] == '.') {
        std::string withoutDot(pattern, length - 1);
        return std::strchr(name, '.') == nullptr && MatchesGlob(withoutDot.c_str(), name);
    }
    return MatchesGlob(pattern, name);
}

} // namespace Platform
