// The platform layer on Windows, the converter's home.
#include "platform/Platform.h"
#include "platform/win32/Win32Io.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <cstring>

namespace Platform {

namespace {

HANDLE AsHandle(FileId file)
{
    return reinterpret_cast<HANDLE>(file);
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool FileInformation(const char* name, BY_HANDLE_FILE_INFORMATION& information)
{
    // Asking for no access opens any file, whoever holds it open.
    HANDLE file = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    return known;
}

} // namespace

FileId OpenFile(const char* name, int flags)
{
    if (name == nullptr || *name == '\0')
        return INVALID_FILE;
    DWORD access = 0;
    if ((flags & OPEN_READ) != 0)
        access |= GENERIC_READ;
    if ((flags & OPEN_WRITE) != 0)
        access |= GENERIC_WRITE;
    DWORD disposition = (flags & OPEN_CREATE) != 0 ? OPEN_ALWAYS : OPEN_EXISTING;
    HANDLE handle = CreateFileA(name, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return reinterpret_cast<FileId>(handle);
}

int ReadFile(FileId file, void* buffer, int count)
{
    if (file == INVALID_FILE || count <= 0)
        return 0;
    return static_cast<int>(ReadFully(AsHandle(file), buffer, static_cast<std::size_t>(count)));
}

int WriteFile(FileId file, const void* buffer, int count)
{
    if (file == INVALID_FILE || count <= 0)
        return 0;
    return static_cast<int>(WriteFully(AsHandle(file), buffer, static_cast<std::size_t>(count)));
}

long SeekFile(FileId file, long distance, int origin)
{
    if (file == INVALID_FILE)
        return -1;
    DWORD method = FILE_BEGIN;
    if (origin == SEEK_FROM_CURRENT)
        method = FILE_CURRENT;
    else if (origin == SEEK_FROM_END)
        method = FILE_END;
    DWORD position = SetFilePointer(AsHandle(file), distance, nullptr, method);
    if (position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return -1;
    return static_cast<long>(position);
}

std::uint64_t FileSize(FileId file)
{
    // GetFileSize without its high part would report a 4 GiB + N file as N bytes.
    LARGE_INTEGER size;
    if (file == INVALID_FILE || !GetFileSizeEx(AsHandle(file), &size) || size.QuadPart < 0)
        return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

void CloseFile(FileId file)
{
    if (file != INVALID_FILE)
        CloseHandle(AsHandle(file));
}

bool PathExists(const char* path)
{
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return true;
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::string FolderPart(const char* pattern)
{
    size_t end = 0;
    for (size_t i = 0; pattern[i] != '\0'; ++i) {
        // "C:name" names a file in drive C's current folder: the drive is its folder.
        if (IsSeparator(pattern[i]) || (i == 1 && pattern[i] == ':'))
            end = i + 1;
    }
    return std::string(pattern, end);
}

std::vector<std::string> FindMatches(const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
            names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return names;
}

NameRules NativeNameRules()
{
    return NameRules::WINDOWS;
}

std::string ResolveNameCase(const char* name)
{
    // The file system finds a name whatever its case.
    return name == nullptr ? std::string() : std::string(name);
}

bool SameName(const char* left, const char* right)
{
    return lstrcmpiA(left, right) == 0;
}

bool SameFile(const char* left, const char* right)
{
    BY_HANDLE_FILE_INFORMATION leftInformation;
    BY_HANDLE_FILE_INFORMATION rightInformation;
    if (!FileInformation(left, leftInformation) || !FileInformation(right, rightInformation))
        return false;
    return leftInformation.dwVolumeSerialNumber == rightInformation.dwVolumeSerialNumber &&
           leftInformation.nFileIndexHigh == rightInformation.nFileIndexHigh &&
           leftInformation.nFileIndexLow == rightInformation.nFileIndexLow;
}

void ShowMessage(const char* text, const char* caption)
{
    MessageBoxA(nullptr, text, caption, MB_OK);
}

std::string ProgramName()
{
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[length < MAX_PATH ? length : MAX_PATH] = '\0';
    std::string result(path + FolderPart(path).size());
    size_t dot = result.rfind('.');
    if (dot != std::string::npos && dot > 0)
        result.erase(dot);
    return result;
}

void UseBinaryStandardOutput()
{
    // The C runtime opens stdout in text mode, which turns every "\n" into
    // "\r\n"; our messages already carry "\r\n", so they would come out as
    // "\r\r\n". Binary mode writes them as they are.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

void KeepFreedMemory()
{
    // The process heap keeps freed blocks for reuse already.
}

} // namespace Platform
