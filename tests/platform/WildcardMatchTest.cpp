#include "platform/WildcardMatch.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* pattern;
    const char* name;
    bool matches;
};

// clang-format off
const MatchCase MATCH_CASES[] = {
    {"*.pic", "a.pic", true},
    {"*.pic", "MAP.PIC", true},           // letters without regard to case
    {"*.PIC", "map.pic", true},
    {"*.pic", "a.pic.old", false},
    {"*.pic", "apic", false},
    {"*.pic", ".pic", true},              // '*' matches an empty run
    {"a?.pic", "ab.pic", true},
    {"a?.pic", "a.pic", false},           // '?' is exactly one character
    {"a?.pic", "abc.pic", false},
    {"*", "anything.at.all", true},
    {"*.*", "noextension", true},         // Windows: "*.*" matches every name
    {"*.", "noextension", true},          // a trailing dot: names without one
    {"*.", "with.dot", false},
    {"a*b*c", "aXXbYYc", true},
    {"a*b*c", "aXXbYY", false},
    {"*ab", "aab", true},                 // needs backtracking into the '*'
    {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
    {"", "", true},
    {"", "a", false},
    {"map.pic", "MAP.pic", true},
};
// clang-format on

TEST(WildcardMatch, FollowsWindowsRules)
{
    for (const MatchCase& c : MATCH_CASES) {
        SCOPED_TRACE(std::string(c.pattern) + " vs " + c.name);
        EXPECT_EQ(Platform::MatchesWildcard(c.pattern, c.name), c.matches);
    }
}

} // namespace
