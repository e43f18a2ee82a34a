// PicImage::Load: the whole-file read, through Win32 so that other programs
// may keep reading the file while the viewer has it open.
#include "viewer/PicImage.h"

#include <windows.h>

#include <climits>
#include <cstddef>
#include <new>

namespace {

// The whole size of an open file, or -1 when it cannot be told. GetFileSize's
// low part alone would read a 4 GiB + N file as N bytes.
LONGLONG FileSizeOf(HANDLE file)
{
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size))
        return size.QuadPart;
    LARGE_INTEGER start = {};
    if (!SetFilePointerEx(file, start, &size, FILE_END))
        return -1;
    SetFilePointerEx(file, start, nullptr, FILE_BEGIN);
    return size.QuadPart;
}

} // namespace

bool PicImage::Load(const char* name)
{
    HANDLE file =
        CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FreeFileData();

    // FileSize is a signed 32-bit number; a file it cannot count (or whose
    // size cannot be told, or whose bytes do not fit in memory) yields no
    // bytes, never the part of it that would fit.
    const LONGLONG size = FileSizeOf(file);
    DWORD count = 0;
    if (size > 0 && size <= INT_MAX) {
        FileData = new (std::nothrow) unsigned char[static_cast<std::size_t>(size)];
        if (FileData != nullptr && !ReadFile(file, FileData, static_cast<DWORD>(size), &count, nullptr))
            count = 0;
    }
    FileSize = static_cast<int>(count);
    if (count == 0) {
        FreeFileData();
        CloseHandle(file);
        return false;
    }
    const bool result = Parse(FileData, FileSize);
    CloseHandle(file);
    return result;
}
