#include "pic/BufferWriter.h"

#include "converter/support/ByteBuffer.h"

#include <climits>

BufferWriter::BufferWriter(ByteBuffer& buffer, std::size_t expected)
    : m_buffer(buffer)
{
    m_buffer.SetSize(0);
    if (expected > 0 && expected <= INT_MAX && m_buffer.SetSize(static_cast<int>(expected))) {
        m_data = m_buffer.Data();
        m_capacity = expected;
    }
}

bool BufferWriter::Grow(std::size_t count)
{
    // ByteBuffer sizes are int: a stage whose output would pass INT_MAX fails
    // instead of wrapping.
    if (m_failed || count > static_cast<std::size_t>(INT_MAX) - m_used) {
        m_failed = true;
        return false;
    }
    std::size_t needed = m_used + count;
    std::size_t doubled = m_capacity > static_cast<std::size_t>(INT_MAX) / 2 ? INT_MAX : 2 * m_capacity;
    std::size_t capacity = doubled > needed ? doubled : needed;
    // The buffer's size stands for the whole block while we write, so Resize
    // carries every byte written so far into the new block.
    if (!m_buffer.Resize(static_cast<int>(capacity))) {
        m_failed = true;
        m_data = nullptr;
        m_capacity = 0;
        m_used = 0;
        return false;
    }
    m_data = m_buffer.Data();
    m_capacity = capacity;
    return true;
}

void BufferWriter::Finish()
{
    m_buffer.SetSize(m_failed ? 0 : static_cast<int>(m_used));
}
