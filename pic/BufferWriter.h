// Fills a ByteBuffer through a raw cursor that the codec stages keep in a
// local variable: they check the room left against a local limit once per
// piece they write (a code, a run, a string), and only a piece that does not
// fit calls back here to grow the block. Finish sets the buffer's size.
#pragma once

#include <cstddef>

class ByteBuffer;

class BufferWriter {
public:
    // Drops the buffer's content and starts with room for expected bytes.
    BufferWriter(ByteBuffer& buffer, std::size_t expected);
    BufferWriter(const BufferWriter&) = delete;
    BufferWriter& operator=(const BufferWriter&) = delete;

    unsigned char* Data() const { return m_data; }
    unsigned char* Limit() const { return m_data + m_capacity; }

    // Makes sure count bytes may be written at the caller's cursor at, whose
    // block ends at limit; both move when the block has to grow. False when it
    // cannot grow that far.
    bool MakeRoom(unsigned char*& at, unsigned char*& limit, std::size_t count)
    {
        if (static_cast<std::size_t>(limit - at) >= count)
            return true;
        at = Grow(at, count);
        limit = Limit();
        return at != nullptr;
    }

    // The cursor at the same offset in a block with at least count bytes after
    // it (the block may have moved); null when it cannot grow that far, and
    // the buffer is then left empty.
    unsigned char* Grow(unsigned char* at, std::size_t count);

    // Sets the buffer's size to the bytes before at; empty after a failed Grow.
    void Finish(const unsigned char* at);

private:
    unsigned char* Fail();

    ByteBuffer& m_buffer;
    unsigned char* m_data = nullptr;
    std::size_t m_capacity = 0;
    bool m_failed = false;
};
