// The platform layer on POSIX systems, where the converter is built for its
// tests and for Linux users.
#include "platform/Platform.h"
#include "platform/WildcardMatch.h"
#include "platform/posix/FolderNames.h"
#include "platform/posix/PosixIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <malloc.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

unsigned char FoldUpper(char c)
{
    return static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
}

bool EqualButForCase(const char* left, const char* right)
{
    for (; *left != '\0' && *right != '\0'; ++left, ++right) {
        if (FoldUpper(*left) != FoldUpper(*right))
            return false;
    }
    return *left == *right;
}

// Names equal but for case keep a fixed order: the byte order breaks the tie.
bool ListsBefore(const std::string& left, const std::string& right)
{
    size_t common = std::min(left.size(), right.size());
    for (size_t i = 0; i < common; ++i) {
        if (FoldUpper(left[i]) != FoldUpper(right[i]))
            return FoldUpper(left[i]) < FoldUpper(right[i]);
    }
    if (left.size() != right.size())
        return left.size() < right.size();
    return left < right;
}

} // namespace

FileId OpenFile(const char* name, int flags)
{
    if (name == nullptr || *name == '\0')
        return INVALID_FILE;
    int mode = O_RDONLY;
    if ((flags & OPEN_WRITE) != 0)
        mode = (flags & OPEN_READ) != 0 ? O_RDWR : O_WRONLY;
    if ((flags & OPEN_CREATE) != 0)
        mode |= O_CREAT;
    int fd = ::open(name, mode | O_CLOEXEC, 0666);
    if (fd < 0)
        return INVALID_FILE;
    // open() accepts a directory for reading where CreateFileA refuses it; refuse
    // it here too so both builds treat a folder named like a picture alike.
    struct stat info;
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    if (error != 0) {
        ::close(fd);
        // Callers word the failure from errno, as after a failed open().
        errno = error;
        return INVALID_FILE;
    }
    return fd;
}

int ReadFile(FileId file, void* buffer, int count)
{
    if (file == INVALID_FILE || count <= 0)
        return 0;
    return static_cast<int>(ReadFully(static_cast<int>(file), buffer, static_cast<size_t>(count)));
}

int WriteFile(FileId file, const void* buffer, int count)
{
    if (file == INVALID_FILE || count <= 0)
        return 0;
    return static_cast<int>(WriteFully(static_cast<int>(file), buffer, static_cast<size_t>(count)));
}

long SeekFile(FileId file, long distance, int origin)
{
    if (file == INVALID_FILE)
        return -1;
    int whence = SEEK_SET;
    if (origin == SEEK_FROM_CURRENT)
        whence = SEEK_CUR;
    else if (origin == SEEK_FROM_END)
        whence = SEEK_END;
    off_t position = ::lseek(static_cast<int>(file), static_cast<off_t>(distance), whence);
    if (position < 0 || position > LONG_MAX)
        return -1;
    return static_cast<long>(position);
}

std::uint64_t FileSize(FileId file)
{
    struct stat info;
    if (file == INVALID_FILE || ::fstat(static_cast<int>(file), &info) != 0 || info.st_size < 0)
        return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

void CloseFile(FileId file)
{
    if (file != INVALID_FILE)
        ::close(static_cast<int>(file));
}

bool PathExists(const char* path)
{
    struct stat info;
    if (::stat(path, &info) == 0)
        return true;
    // As on Windows, only "no such file" and "no such folder" mean absent; a
    // path we may not look at could still name a file.
    return errno != ENOENT && errno != ENOTDIR;
}

std::string FolderPart(const char* pattern)
{
    const char* slash = std::strrchr(pattern, '/');
    return slash == nullptr ? std::string() : std::string(pattern, static_cast<size_t>(slash - pattern + 1));
}

std::vector<std::string> FindMatches(const char* pattern)
{
    std::string folder = FolderPart(pattern);
    const char* namePattern = pattern + folder.size();
    std::vector<std::string> names;
    for (const std::string& name : NamesInFolder(folder)) {
        if (MatchesWildcard(namePattern, name.c_str()))
            names.push_back(name);
    }
    // readdir's order depends on the file system; a sorted list makes batches
    // repeatable. Sorted as Windows lists a folder (letters compared in upper
    // case), so that both builds convert the matches in the same order.
    std::sort(names.begin(), names.end(), ListsBefore);
    return names;
}

NameRules NativeNameRules()
{
    return NameRules::POSIX;
}

std::string ResolveNameCase(const char* name)
{
    struct stat info;
    if (name == nullptr || *name == '\0' || ::lstat(name, &info) == 0 || errno != ENOENT)
        return name == nullptr ? std::string() : std::string(name);
    // The folder as typed: only the last part is looked up without case, as a
    // user's folders are named by them and a game's files are not.
    std::string folder = FolderPart(name);
    const char* last = name + folder.size();
    if (*last == '\0')
        return name;
    const std::string* found = nullptr;
    int count = 0;
    for (const std::string& entry : NamesInFolder(folder)) {
        if (EqualButForCase(entry.c_str(), last) && ++count == 1)
            found = &entry;
    }
    return count == 1 ? folder + *found : std::string(name);
}

bool SameName(const char* left, const char* right)
{
    return std::strcmp(left, right) == 0;
}

bool SameFile(const char* left, const char* right)
{
    struct stat leftInfo;
    struct stat rightInfo;
    return ::stat(left, &leftInfo) == 0 && ::stat(right, &rightInfo) == 0 && leftInfo.st_dev == rightInfo.st_dev &&
           leftInfo.st_ino == rightInfo.st_ino;
}

void ShowMessage(const char* text, const char* caption)
{
    // The text may carry bytes of the file it tells of (an unknown chunk's
    // tag), which a terminal would act on or show as nothing: every byte
    // outside printable ASCII is written as \xNN, the text's own line breaks
    // apart.
    std::string shown;
    for (const char* c = text; *c != '\0'; ++c) {
        auto byte = static_cast<unsigned char>(*c);
        if (byte == '\n' || (byte >= 0x20 && byte <= 0x7E)) {
            shown += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    std::fprintf(stderr, "%s: %s\n", caption, shown.c_str());
}

std::string ProgramName()
{
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "cantrel";
    path[length] = '\0';
    std::string name = path + FolderPart(path).size();
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

void UseBinaryStandardOutput()
{
    // POSIX streams never translate line ends.
}

void KeepFreedMemory()
{
    // The allocator otherwise gives the top of the heap back whenever 128 KB
    // lie free there, which happens after every file of a batch; blocks of
    // that size would also be mapped and unmapped one by one.
    constexpr int KEEP_BYTES = 64 * 1024 * 1024;
    mallopt(M_TRIM_THRESHOLD, KEEP_BYTES);
    mallopt(M_MMAP_THRESHOLD, KEEP_BYTES);
}

} // namespace Platform
