// Wildcard matching of one file name, with the rules Windows' directory search
// applies, so that the POSIX build finds the same files for the same pattern.
#pragma once

namespace Platform {

// '*' matches any run of characters (none included), '?' exactly one; letters
// match without regard to case. As on Windows, "*.*" matches every name, even
// one without a dot, and a pattern ending in a dot matches names without one.
bool MatchesWildcard(const char* pattern, const char* name);

} // namespace Platform
