// A sink that assembles a whole file in memory and puts it on disk at Close
// with one write: into a temporary file beside the target, renamed over the
// target only when every byte was written. A sink destroyed without Close
// (encoding failed) removes its temporary file, so a failed save leaves no
// partial file and the target as it was.
#pragma once

#include "bitmap/PLOutput.h"

#include <cstdio>
#include <memory>
#include <string>

class PLFileOutput : public PLOutput {
public:
    PLFileOutput();
    ~PLFileOutput() override;

    // 0 on success; -1 when the temporary file cannot be created (errno tells
    // why) or the buffer cannot be allocated (errno is ENOMEM).
    virtual int Open(const char* path, int capacity);
    // Writes the bytes produced so far and moves them over the target. Throws
    // PLTextException (-1) when the write, the close or the rename fails; the
    // target is then untouched and the temporary file gone.
    void Close() override;

private:
    void Discard();

    std::FILE* m_stream = nullptr;
    std::unique_ptr<std::uint8_t[]> m_storage;
    std::string m_path;
    std::string m_temporaryPath;
};
