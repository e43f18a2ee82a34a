// A sink that assembles a whole file in memory and puts it on disk at Close,
// through the platform's file replacement: the target gets the whole content
// or stays as it was, and keeps its links, permissions and attributes. A sink
// destroyed without Close (encoding failed) touches no file at all.
#pragma once

#include "bitmap/PLOutput.h"

#include <memory>
#include <string>

class PLFileOutput : public PLOutput {
public:
    PLFileOutput();
    ~PLFileOutput() override;

    // 0 on success; -1 when the target could not be written (a folder, a
    // file the user may not write, a missing folder; errno tells why) or the
    // buffer cannot be allocated (errno is ENOMEM). Nothing is written yet.
    virtual int Open(const char* path, int capacity);
    // Makes the bytes produced so far the target's content. Throws
    // PLTextException (-1) when that fails; the target is then as it was.
    void Close() override;

private:
    void Release();

    bool m_open = false;
    std::unique_ptr<std::uint8_t[]> m_storage;
    std::string m_path;
};
