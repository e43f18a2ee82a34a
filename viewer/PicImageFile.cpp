// PicImage::Load: the whole-file read, through Win32 so that other programs
// may keep reading the file while the viewer has it open.
#include "viewer/PicImage.h"

#include <windows.h>

#include <climits>
#include <new>

namespace {

// The size of an open file, or INVALID_FILE_SIZE when it cannot be told.
DWORD FileSizeOf(HANDLE file)
{
    DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE) {
        size = SetFilePointer(file, 0, nullptr, FILE_END);
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    }
    return size;
}

} // namespace

bool PicImage::Load(const char* name)
{
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    FreeFileData();

    // FileSize is a signed 32-bit number; a file it cannot count (or whose
    // size cannot be told, or whose bytes do not fit in memory) yields no bytes.
    const DWORD size = FileSizeOf(file);
    DWORD count = 0;
    if (size > 0 && size <= static_cast<DWORD>(INT_MAX)) {
        FileData = new (std::nothrow) unsigned char[size];
        if (FileData != nullptr && !ReadFile(file, FileData, size, &count, nullptr))
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
