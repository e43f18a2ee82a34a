// Replacing a file's content on Windows without losing what the user set on
// the file (its attributes, its hard links) and without ever leaving it half
// written: a fresh file beside the target takes its place, or, where that
// cannot keep the file what it was, the file is written in place with its old
// content held to be written back.
#include "platform/Platform.h"
#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Io.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

namespace Platform {

namespace {

constexpr int MAX_TEMPORARY_NAME_ATTEMPTS = 100;
// "~c" and six letters or digits: short, so that a target name of any legal
// length leaves room for it in its folder.
constexpr int TEMPORARY_RANDOM_CHARACTERS = 6;
// What the user may set on a file and a replacement keeps. Read-only files are
// refused before they are replaced; the archive bit is set anew, since the
// content changed and backups must see it.
constexpr DWORD KEPT_ATTRIBUTES = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct Target {
    bool exists = false;
    bool inPlace = false;
    DWORD attributes = 0;
};

// The target's name as the file system stores it. Windows finds "valley.pic"
// as VALLEY.PIC; replacing it under the name as typed would rename the file.
std::string StoredName(const char* target)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(target, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return target;
    FindClose(search);
    return FolderPart(target) + entry.cFileName;
}

// Names no one can foresee: the system offers no random source in the DLLs a
// plain program imports, so the counters of this moment and this process's
// addresses (placed at random by the loader) seed a mixing function.
std::uint64_t NextRandom()
{
    static std::uint64_t state = 0;
    if (state == 0) {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        state = static_cast<std::uint64_t>(counter.QuadPart) ^ (std::uint64_t{GetCurrentProcessId()} << 32) ^
                GetTickCount() ^ reinterpret_cast<std::uintptr_t>(&counter);
    }
    // splitmix64
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string TemporaryNameIn(const std::string& folder)
{
    static const char LETTERS[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uint64_t random = NextRandom();
    std::string name = folder + "~c";
    for (int i = 0; i < TEMPORARY_RANDOM_CHARACTERS; ++i, random /= 36)
        name += LETTERS[random % 36];
    return name;
}

HANDLE CreateTemporaryBeside(const char* target, std::string& name)
{
    std::string folder = FolderPart(target);
    for (int attempt = 0; attempt < MAX_TEMPORARY_NAME_ATTEMPTS; ++attempt) {
        name = TemporaryNameIn(folder);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// What the target is now: missing (in a folder that is there), or a file the
// user may write. A read-only file, a folder or a device is refused, as an
// open for writing would refuse it.
bool InspectTarget(const char* target, Target& found, int& error)
{
    found.attributes = GetFileAttributesA(target);
    if (found.attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return true;
        error = ErrnoFromWindowsError(code);
        return false;
    }
    found.exists = true;
    if ((found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        error = EISDIR;
        return false;
    }
    if ((found.attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        error = EACCES;
        return false;
    }
    HANDLE file = CreateFileA(target, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = ErrnoFromWindowsError(GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    bool isDisk = GetFileType(file) == FILE_TYPE_DISK;
    bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (!isDisk) {
        error = NOT_A_FILE;
        return false;
    }
    // A rename would split a hard-linked file from its twins, or put a file
    // where a link was.
    found.inPlace = (known && information.nNumberOfLinks > 1) || (found.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return true;
}

bool Overwrite(HANDLE file, const void* data, std::size_t size)
{
    return SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 && WriteFully(file, data, size) == size &&
           SetEndOfFile(file) != 0;
}

// The file stays the same file; only its content changes. Cannot be atomic:
// the old content waits in memory and goes back should the new content not
// go in whole.
bool WriteInPlace(const char* target, const void* data, std::size_t size, int& error)
{
    HANDLE file =
        CreateFileA(target, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = ErrnoFromWindowsError(GetLastError());
        return false;
    }
    LARGE_INTEGER oldSize;
    std::size_t oldBytes = 0;
    std::unique_ptr<unsigned char[]> old;
    bool held = GetFileSizeEx(file, &oldSize) != 0 && static_cast<std::uint64_t>(oldSize.QuadPart) <= SIZE_MAX;
    if (held) {
        oldBytes = static_cast<std::size_t>(oldSize.QuadPart);
        old.reset(new (std::nothrow) unsigned char[oldBytes + 1]);
        held = old != nullptr && ReadFully(file, old.get(), oldBytes) == oldBytes;
    }
    if (!held) {
        // Without the old content at hand nothing may be risked.
        error = old == nullptr ? ENOMEM : ErrnoFromWindowsError(GetLastError());
        CloseHandle(file);
        return false;
    }
    bool written = Overwrite(file, data, size);
    if (!written) {
        error = ErrnoFromWindowsError(GetLastError());
        Overwrite(file, old.get(), oldBytes);
    }
    CloseHandle(file);
    return written;
}

std::string FullPathOf(const std::string& path)
{
    DWORD length = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::string full(length, '\0');
    length = GetFullPathNameA(path.c_str(), length, &full[0], nullptr);
    full.resize(length);
    return full;
}

// The fresh file takes the place of the existing one. ReplaceFileA keeps the
// replaced file's security, creation time and names (some implementations
// want both paths whole); should it fail, a plain move over the target still
// gives the user the picture. Either way the attributes go back on.
bool TakePlaceOf(const std::string& temporary, const char* target, DWORD attributes)
{
    std::string stored = FullPathOf(StoredName(target));
    bool done = ReplaceFileA(stored.c_str(), FullPathOf(temporary).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                             nullptr, nullptr) != 0 ||
                MoveFileExA(temporary.c_str(), stored.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (done)
        SetFileAttributesA(stored.c_str(), (attributes & KEPT_ATTRIBUTES) | FILE_ATTRIBUTE_ARCHIVE);
    return done;
}

bool WriteBeside(HANDLE file, const std::string& temporary, const char* target, const Target& old, const void* data,
                 std::size_t size, int& error)
{
    bool done = WriteFully(file, data, size) == size;
    if (!done)
        error = ErrnoFromWindowsError(GetLastError());
    CloseHandle(file);
    if (done && old.exists)
        done = TakePlaceOf(temporary, target, old.attributes);
    else if (done)
        done = MoveFileExA(temporary.c_str(), target, MOVEFILE_WRITE_THROUGH) != 0;
    if (!done) {
        if (error == 0)
            error = ErrnoFromWindowsError(GetLastError());
        DeleteFileA(temporary.c_str());
    }
    return done;
}

} // namespace

bool MayReplaceFile(const char* target, int& error)
{
    Target found;
    if (target == nullptr || *target == '\0') {
        error = ENOENT;
        return false;
    }
    return InspectTarget(target, found, error);
}

bool ReplaceFileContent(const char* target, const void* data, std::size_t size, int& error)
{
    Target old;
    error = 0;
    if (target == nullptr || *target == '\0') {
        error = ENOENT;
        return false;
    }
    if (!InspectTarget(target, old, error))
        return false;
    if (old.inPlace)
        return WriteInPlace(target, data, size, error);
    std::string temporary;
    HANDLE file = CreateTemporaryBeside(target, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder that takes no new files, or a name so long that no other
        // name fits beside it: a writable file is still written in place.
        if (old.exists)
            return WriteInPlace(target, data, size, error);
        error = ErrnoFromWindowsError(GetLastError());
        return false;
    }
    return WriteBeside(file, temporary, target, old, data, size, error);
}

} // namespace Platform
