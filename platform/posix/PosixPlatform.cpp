// The platform layer on POSIX systems, where the converter is built for its
// tests and for Linux users.
#include "platform/Platform.h"
#include "platform/WildcardMatch.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <malloc.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// TemporaryNameBeside gives up after this many names in use.
constexpr int MAX_TEMPORARY_NAME_ATTEMPTS = 1000;

unsigned char FoldUpper(char c)
{
    return static_cast<unsigned char>((c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c);
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
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return INVALID_FILE;
    }
    return fd;
}

int ReadFile(FileId file, void* buffer, int count)
{
    if (file == INVALID_FILE || count <= 0)
        return 0;
    int total = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (total < count) {
        ssize_t got = ::read(static_cast<int>(file), bytes + total, static_cast<size_t>(count - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        total += static_cast<int>(got);
    }
    return total;
}

int WriteFile(FileId file, const void* buffer, int count)
{
    if (file == INVALID_FILE || count <= 0)
        return 0;
    int total = 0;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (total < count) {
        ssize_t put = ::write(static_cast<int>(file), bytes + total, static_cast<size_t>(count - total));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        total += static_cast<int>(put);
    }
    return total;
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

std::string DirectoryPart(const char* pattern)
{
    const char* slash = std::strrchr(pattern, '/');
    return slash == nullptr ? std::string() : std::string(pattern, static_cast<size_t>(slash - pattern + 1));
}

std::vector<std::string> FindMatches(const char* pattern)
{
    std::string directory = DirectoryPart(pattern);
    const char* namePattern = pattern + directory.size();
    std::vector<std::string> names;
    DIR* listing = ::opendir(directory.empty() ? "." : directory.c_str());
    if (listing == nullptr)
        return names;
    while (const dirent* entry = ::readdir(listing)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (MatchesWildcard(namePattern, name))
            names.emplace_back(name);
    }
    ::closedir(listing);
    // readdir's order depends on the file system; a sorted list makes batches
    // repeatable. Sorted as Windows lists a folder (letters compared in upper
    // case), so that both builds convert the matches in the same order.
    std::sort(names.begin(), names.end(), ListsBefore);
    return names;
}

std::string TemporaryNameBeside(const char* target)
{
    static unsigned counter = 0;
    // Bounded, so that a folder full of our names cannot keep us here.
    for (int attempt = 0; attempt < MAX_TEMPORARY_NAME_ATTEMPTS; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".%ld-%u.tmp", static_cast<long>(::getpid()), counter++);
        std::string name = std::string(target) + suffix;
        // Only a name that is there is in use. Any failure to look (a file
        // where a folder should be, a folder we may not read) leaves the open
        // to fail; waiting for ENOENT there would never end.
        struct stat info;
        if (::lstat(name.c_str(), &info) != 0)
            return name;
    }
    return std::string(); // no free name: the open of "" fails
}

bool RenameOver(const char* from, const char* to)
{
    // rename() would also replace an empty directory; a picture never does.
    struct stat info;
    if (::stat(to, &info) == 0 && S_ISDIR(info.st_mode))
        return false;
    return ::rename(from, to) == 0;
}

bool RemoveFile(const char* path)
{
    return ::unlink(path) == 0;
}

void ShowMessage(const char* text, const char* caption)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

std::string ProgramName()
{
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return "cantrel";
    path[length] = '\0';
    const char* slash = std::strrchr(path, '/');
    std::string name = slash != nullptr ? slash + 1 : path;
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
