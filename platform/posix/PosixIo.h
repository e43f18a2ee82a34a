// The POSIX build's one read loop and one write loop, for every file the
// platform layer reads or writes: the system may move fewer bytes than asked,
// or be interrupted by a signal, and neither is a failure.
#pragma once

#include <cstddef>

namespace Platform {

// Reads until size bytes are in, the file ends or the system fails, and
// returns the count read. When that is fewer than size, errno says why (EIO
// for the end of the file).
std::size_t ReadFully(int fd, void* buffer, std::size_t size);
// Writes until size bytes are out or the system fails, and returns the count
// written. When that is fewer than size, errno says why (EIO for a system
// that took nothing and gave no reason).
std::size_t WriteFully(int fd, const void* data, std::size_t size);

} // namespace Platform
