#include "bitmap/PLOutput.h"

#include "bitmap/PLTextException.h"

#include <cstring>

namespace {

[[noreturn]] void ThrowOverflow()
{
    throw PLTextException(11, "Buffer overflow while encoding.\n");
}

} // namespace

PLOutput::PLOutput() = default;

PLOutput::~PLOutput() = default;

void PLOutput::Close()
{
    m_name.clear();
    m_buffer = nullptr;
    m_capacity = 0;
    m_position = 0;
}

void PLOutput::OpenNamed(const char* name, std::uint8_t* buffer, int capacity)
{
    m_name = name != nullptr ? name : "";
    m_buffer = buffer;
    m_capacity = buffer != nullptr && capacity > 0 ? capacity : 0;
    m_position = 0;
}

void PLOutput::Write(int n, const void* data)
{
    // position <= capacity holds, so this subtraction cannot wrap; position + n could.
    if (n < 0 || n > m_capacity - m_position)
        ThrowOverflow();
    if (n == 0)
        return;
    std::memcpy(m_buffer + m_position, data, static_cast<std::size_t>(n));
    m_position += n;
}

void PLOutput::AppendByte(std::uint8_t value)
{
    if (m_position >= m_capacity)
        ThrowOverflow();
    m_buffer[m_position++] = value;
}
