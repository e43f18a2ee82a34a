// A data source for the readers: a known number of bytes handed out front to
// back by address. It counts what was consumed, refuses to read past its end
// (before any byte is delivered) and reports progress every 1,024 bytes.
#pragma once

#include "bitmap/PLObject.h"

#include <cstdint>
#include <string>

class PLProgressListener;

class PLInput : public PLObject {
public:
    explicit PLInput(PLProgressListener* progress = nullptr);
    PLInput(const PLInput&) = delete;
    PLInput& operator=(const PLInput&) = delete;
    ~PLInput() override;

    // Names the source and sets its size; nothing is consumed yet.
    virtual void OpenNamed(const char* name, int size);
    // Reports progress 1.0 to a listener, then forgets name and size.
    virtual void Close();
    // The read position, without consuming; at least n bytes only where the
    // source already holds them.
    virtual const std::uint8_t* Peek(int n) = 0;
    // Consumes n bytes and returns the address of the first, valid until
    // Close. Throws PLTextException (11) past the end, and for a negative n.
    virtual const std::uint8_t* Read(int n) = 0;
    // Everything not yet read, at the read position; nothing is consumed.
    virtual const std::uint8_t* ReadRest() = 0;

    const char* Name() const { return m_name.c_str(); }
    int Size() const { return m_size; }
    int Consumed() const { return m_consumed; }
    int Remaining() const { return m_size - m_consumed; }

protected:
    // The bookkeeping every Read runs before it hands out bytes.
    void CountRead(int n);
    // Read for a source whose bytes all lie in memory from the start:
    // counts n bytes, then hands out the ones at position and moves it on.
    const std::uint8_t* ReadInMemory(const std::uint8_t*& position, int n);

private:
    std::string m_name;
    int m_size = 0;
    int m_consumed = 0;
    PLProgressListener* m_progress;
};
