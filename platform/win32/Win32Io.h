// The Windows build's one read loop and one write loop, for every file the
// platform layer reads or writes: a call moves at most a DWORD's worth of
// bytes, and a read may deliver fewer than asked before the end.
#pragma once

#include <windows.h>

#include <cstddef>

namespace Platform {

// Reads until size bytes are in, the file ends or the system fails, and
// returns the count read. GetLastError says why a failed read stopped.
std::size_t ReadFully(HANDLE file, void* buffer, std::size_t size);
// Writes until size bytes are out or the system fails, and returns the count
// written. GetLastError says why a failed write stopped.
std::size_t WriteFully(HANDLE file, const void* data, std::size_t size);

} // namespace Platform
