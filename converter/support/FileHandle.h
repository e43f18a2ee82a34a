// Owner of one open file. Closed (INVALID_FILE) until Open succeeds, closed
// again by Close or destruction. Failures answer 0 (Seek: -1); nothing throws.
#pragma once

#include "platform/Platform.h"

#include <cstdint>

class FileHandle {
public:
    // Open flag bits: 1 read, 2 write, 4 create the file when it is missing.
    static constexpr int READ = 1;
    static constexpr int WRITE = 2;
    static constexpr int CREATE = 4;

    FileHandle() = default;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    virtual ~FileHandle();

    bool Open(const char* name, int flags);
    int Read(void* buffer, int n);
    int Write(const void* buffer, int n);
    // origin: 1 from the start, 0 from the current position, 2 from the end
    // (any other value: from the start). Returns the new position, -1 on failure.
    long Seek(long distance, int origin);
    // The whole size, past 4 GiB too; 0 when closed.
    std::uint64_t GetSize();
    void Close();
    bool IsOpen() const { return m_file != Platform::INVALID_FILE; }

private:
    Platform::FileId m_file = Platform::INVALID_FILE;
};
