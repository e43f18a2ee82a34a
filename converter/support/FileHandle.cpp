#include "converter/support/FileHandle.h"

FileHandle::~FileHandle()
{
    Close();
}

bool FileHandle::Open(const char* name, int flags)
{
    Close();
    m_file = Platform::OpenFile(name, flags);
    return IsOpen();
}

int FileHandle::Read(void* buffer, int n)
{
    return Platform::ReadFile(m_file, buffer, n);
}

int FileHandle::Write(const void* buffer, int n)
{
    return Platform::WriteFile(m_file, buffer, n);
}

long FileHandle::Seek(long distance, int origin)
{
    if (origin != Platform::SEEK_FROM_CURRENT && origin != Platform::SEEK_FROM_END)
        origin = Platform::SEEK_FROM_BEGIN;
    return Platform::SeekFile(m_file, distance, origin);
}

std::uint64_t FileHandle::GetSize()
{
    return Platform::FileSize(m_file);
}

void FileHandle::Close()
{
    Platform::CloseFile(m_file);
    m_file = Platform::INVALID_FILE;
}
