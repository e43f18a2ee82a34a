// A sink that keeps what was written in its own memory buffer.
#pragma once

#include "bitmap/PLOutput.h"

#include <memory>

class CMemSink : public PLOutput {
public:
    CMemSink();
    ~CMemSink() override;

    // Releases the buffer with the rest.
    void Close() override;
    // 0, or -1 when the buffer cannot be allocated.
    virtual int Open(const char* name, int capacity);
    // The bytes written so far (Position() of them). Throws PLTextException
    // (7) when Open was not called.
    virtual std::uint8_t* GetBuffer();

private:
    std::unique_ptr<std::uint8_t[]> m_storage;
};
