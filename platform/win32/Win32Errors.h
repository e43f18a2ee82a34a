// Windows' error codes as the C runtime's errno values, so that messages word
// a failure the same in both builds (Platform::DescribeError).
#pragma once

#include <windows.h>

namespace Platform {

int ErrnoFromWindowsError(DWORD code);

} // namespace Platform
