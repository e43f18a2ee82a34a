#include "pic/BufferWriter.h"

#include "converter/support/ByteBuffer.h"

#include <climits>

BufferWriter::BufferWriter(ByteBuffer& buffer, std::size_t expected) : m_buffer(buffer)
{
    m_buffer.SetSize(0);
    if (expected > 0 && expected <= INT_MAX && m_buffer.SetSize(static_cast<int>(expected))) {
        m_data = m_buffer.Data();
        m_capacity = expected;
    }
}

unsigned char* BufferWriter::Grow(unsigned char* at, std::size_t count)
{
    std::size_t used = m_data == nullptr ? 0 : static_cast<std::size_t>(at - m_data);
    // ByteBuffer sizes are int: output that would pass INT_MAX fails instead of wrapping.
    if (m_failed || count > static_cast<std::size_t>(INT_MAX) - used)
        return Fail();
    std::size_t needed = used + count;
    std::size_t doubled = m_capacity > static_cast<std::size_t>(INT_MAX) / 2 ? INT_MAX : 2 * m_capacity;
    std::size_t capacity = doubled > needed ? doubled : needed;
    // The buffer's size stands for the whole block while we write, so Resize
    // carries every byte written so far into the new block.
    if (!m_buffer.Resize(static_cast<int>(capacity)))
        return Fail();
    m_data = m_buffer.Data();
    m_capacity = capacity;
    return m_data + used;
}

unsigned char* BufferWriter::Fail()
{
    m_failed = true;
    m_buffer.SetSize(0);
    m_data = nullptr;
    m_capacity = 0;
    return nullptr;
}

void BufferWriter::Finish(const unsigned char* at)
{
    std::size_t used = m_data == nullptr ? 0 : static_cast<std::size_t>(at - m_data);
    m_buffer.SetSize(m_failed ? 0 : static_cast<int>(used));
}
