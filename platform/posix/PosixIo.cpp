#include "platform/posix/PosixIo.h"

#include <cerrno>

#include <unistd.h>

namespace Platform {

std::size_t ReadFully(int fd, void* buffer, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd, bytes + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = EIO;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t WriteFully(int fd, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t put = ::write(fd, bytes + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = EIO;
            break;
        }
        done += static_cast<std::size_t>(put);
    }
    return done;
}

} // namespace Platform
