// Fills a ByteBuffer through a raw cursor. The codec stages write many small
// pieces; they ask for room once per piece (a code, a run, a string) rather
// than once per byte, and Finish sets the buffer's size to what was written.
#pragma once

#include <cstddef>

class ByteBuffer;

class BufferWriter {
public:
    // Drops the buffer's content and starts with room for expected bytes.
    BufferWriter(ByteBuffer& buffer, std::size_t expected);
    BufferWriter(const BufferWriter&) = delete;
    BufferWriter& operator=(const BufferWriter&) = delete;

    // Makes sure count more bytes may be written at Cursor(); false when the
    // block cannot grow (too large for a ByteBuffer, or out of memory).
    bool MakeRoom(std::size_t count) { return count <= m_capacity - m_used || Grow(count); }

    unsigned char* Data() { return m_data; }
    unsigned char* Cursor() { return m_data + m_used; }
    std::size_t Used() const { return m_used; }
    void Advance(std::size_t count) { m_used += count; }
    void Put(unsigned char byte) { m_data[m_used++] = byte; }

    // Sets the buffer's size to the bytes written; empty after a failed MakeRoom.
    void Finish();

private:
    bool Grow(std::size_t count);

    ByteBuffer& m_buffer;
    unsigned char* m_data = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;
    bool m_failed = false;
};
