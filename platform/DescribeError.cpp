// The words for the common system errors. The C runtimes of the Linux and the
// Windows build word some errors differently (and the systems report a path
// through a file differently), so messages take their words from here and
// read the same on both.
#include "platform/Platform.h"

#include <cerrno>
#include <cstring>

namespace Platform {

namespace {

struct ErrorWords {
    int error;
    const char* words;
};

const ErrorWords ERROR_WORDS[] = {
    {NOT_A_FILE, "Not a regular file"},
    {ENOENT, "No such file or directory"},
    // A folder part that is a file: Windows reports the path as not found.
    {ENOTDIR, "No such file or directory"},
    {EACCES, "Permission denied"},
    {EPERM, "Operation not permitted"},
    {EEXIST, "File exists"},
    {EISDIR, "Is a directory"},
    {ENOSPC, "No space left on device"},
    {EROFS, "Read-only file system"},
    {ENAMETOOLONG, "File name too long"},
    {ENOMEM, "Cannot allocate memory"},
    {EMFILE, "Too many open files"},
    {ENFILE, "Too many open files in system"},
    {EIO, "Input/output error"},
    {EINVAL, "Invalid argument"},
    {EFBIG, "File too large"},
    {EBUSY, "Device or resource busy"},
};

} // namespace

const char* DescribeError(int error)
{
    for (const ErrorWords& entry : ERROR_WORDS) {
        if (entry.error == error)
            return entry.words;
    }
    return std::strerror(error);
}

} // namespace Platform
