// The words for the common system errors. The C runtimes of the Linux and the
// Windows build word some errors differently (and the systems report a path
// through a file differently), so messages take their words from here and
// read the same on both.
#include "platform/Platform.h"

#include <cerrno>
#include <cstring>

namespace Platform {

const char* ErrorText(int error)
{
    switch (error) {
    case NOT_A_FILE:
        return "Not a regular file";
    case ENOENT:
    // A folder part that is a file: Windows reports the path as not found.
    case ENOTDIR:
        return "No such file or directory";
    case EACCES:
        return "Permission denied";
    case EPERM:
        return "Operation not permitted";
    case EEXIST:
        return "File exists";
    case EISDIR:
        return "Is a directory";
    case ENOSPC:
        return "No space left on device";
    case EROFS:
        return "Read-only file system";
    case ENAMETOOLONG:
        return "File name too long";
    case ENOMEM:
        return "Cannot allocate memory";
    case EMFILE:
        return "Too many open files";
    case ENFILE:
        return "Too many open files in system";
    case EIO:
        return "Input/output error";
    case EINVAL:
        return "Invalid argument";
    case EFBIG:
        return "File too large";
    case EBUSY:
        return "Device or resource busy";
    default:
        return std::strerror(error);
    }
}

} // namespace Platform
