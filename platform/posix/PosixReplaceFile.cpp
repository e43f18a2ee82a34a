// Replacing a file's content on POSIX systems without losing what the user set
// on the file (links, hard links, permissions, owner) and without ever leaving
// it half written: a fresh file beside the target takes its place by rename,
// or, where that cannot keep the file what it was, the file is written in
// place with its old content held to be written back.
#include "platform/Platform.h"
#include "platform/posix/FolderNames.h"
#include "platform/posix/PosixIo.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// As many links as the kernel follows before it gives up (ELOOP).
constexpr int MAX_LINK_HOPS = 40;
// Short, so that any name the target may have leaves room for it; hidden, so
// that a crash leaves nothing a user's listing of pictures shows.
constexpr char TEMPORARY_PATTERN[] = ".cantrel-XXXXXX";

// The file a chain of symbolic links ends at, so that the link stays a link and
// its target gets the content. A dangling link names the file it will create.
bool FollowLinks(const char* target, std::string& path, int& error)
{
    path = target;
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX), '\0');
        ssize_t length = ::readlink(path.c_str(), &link[0], link.size());
        if (length < 0) {
            error = errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        path = (!link.empty() && link[0] == '/') ? link : FolderPart(path.c_str()) + link;
    }
    error = ELOOP;
    return false;
}

// What the target is now: missing (and its folder there), or a regular file
// the user may write. Anything else is refused with the error a plain open
// for writing would give.
bool InspectTarget(const std::string& path, bool& exists, struct stat& info, int& error)
{
    exists = ::stat(path.c_str(), &info) == 0;
    if (!exists) {
        if (errno != ENOENT) {
            error = errno;
            return false;
        }
        // A missing file in a missing folder: say so now, not after the write.
        std::string folder = FolderPart(path.c_str());
        struct stat folderInfo;
        if (!folder.empty() && ::stat(folder.c_str(), &folderInfo) != 0) {
            error = errno;
            return false;
        }
        return true;
    }
    if (S_ISDIR(info.st_mode)) {
        error = EISDIR;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NOT_A_FILE;
        return false;
    }
    // The kernel decides as for any open: a read-only file is refused to its
    // owner, root may write it.
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return false;
    }
    ::close(fd);
    return true;
}

// The file a replacement of target writes (FollowLinks) and what it is now
// (InspectTarget). A missing or empty name names no file.
bool ResolveTarget(const char* target, std::string& path, bool& exists, struct stat& info, int& error)
{
    if (target == nullptr || *target == '\0') {
        error = ENOENT;
        return false;
    }
    return FollowLinks(target, path, error) && InspectTarget(path, exists, info, error);
}

// Puts size bytes at the start of fd and cuts the file there.
bool Overwrite(int fd, const void* data, std::size_t size)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteFully(fd, data, size) == size &&
           ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

// The file stays the same file (its links, its permissions, its owner); only
// its content changes. Cannot be atomic: the old content waits in memory and
// goes back should the new content not go in whole.
bool WriteInPlace(const std::string& path, const void* data, std::size_t size, int& error)
{
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = errno;
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        error = errno;
        ::close(fd);
        return false;
    }
    auto oldSize = static_cast<std::size_t>(info.st_size);
    std::unique_ptr<unsigned char[]> old(new (std::nothrow) unsigned char[oldSize > 0 ? oldSize : 1]);
    if (old == nullptr || ReadFully(fd, old.get(), oldSize) != oldSize) {
        // Without the old content at hand nothing may be risked.
        error = old == nullptr ? ENOMEM : errno;
        ::close(fd);
        return false;
    }
    bool written = Overwrite(fd, data, size);
    if (!written) {
        error = errno;
        Overwrite(fd, old.get(), oldSize);
    }
    if (::close(fd) != 0 && written) {
        error = errno;
        written = false;
    }
    return written;
}

// The permissions a file created now gets: what open(0666) would give.
mode_t NewFileMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A new file of a name no one can foresee, created exclusively beside path.
int CreateTemporaryBeside(const std::string& path, std::string& name)
{
    name = FolderPart(path.c_str()) + TEMPORARY_PATTERN;
    return ::mkostemp(&name[0], O_CLOEXEC);
}

// Gives the fresh file the target's permissions (and, when we may, its owner
// and group), then lets it take the target's place.
bool WriteBeside(int fd, const std::string& temporary, const std::string& path, bool exists, const struct stat& old,
                 const void* data, std::size_t size, int& error)
{
    bool done = WriteFully(fd, data, size) == size;
    if (done && exists && ::geteuid() == 0 && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        done = ::fchown(fd, old.st_uid, old.st_gid) == 0;
    // After the owner: a change of owner clears the set-id bits.
    if (done)
        done = ::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) == 0;
    if (!done)
        error = errno;
    if (::close(fd) != 0 && done) {
        error = errno;
        done = false;
    }
    if (done && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        done = false;
    }
    if (done)
        NoteWrittenFile(path);
    else
        ::unlink(temporary.c_str());
    return done;
}

} // namespace

bool MayReplaceFile(const char* target, int& error)
{
    std::string path;
    bool exists = false;
    struct stat info {};
    if (!ResolveTarget(target, path, exists, info, error))
        return false;
    if (exists)
        return true;
    // A new file needs a folder that takes new files.
    std::string folder = FolderPart(path.c_str());
    if (::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) != 0) {
        error = errno;
        return false;
    }
    return true;
}

bool ReplaceFileContent(const char* target, const void* data, std::size_t size, int& error)
{
    std::string path;
    bool exists = false;
    struct stat old {};
    if (!ResolveTarget(target, path, exists, old, error))
        return false;
    // A rename would split a hard-linked file from its twins.
    if (exists && old.st_nlink > 1)
        return WriteInPlace(path, data, size, error);
    std::string temporary;
    int fd = CreateTemporaryBeside(path, temporary);
    if (fd < 0) {
        // A folder that takes no new files (or a path with no room for the
        // temporary name) still lets a writable file be written in place.
        bool inPlace = exists && (errno == EACCES || errno == EPERM || errno == ENAMETOOLONG);
        if (inPlace)
            return WriteInPlace(path, data, size, error);
        error = errno;
        return false;
    }
    return WriteBeside(fd, temporary, path, exists, old, data, size, error);
}

} // namespace Platform
