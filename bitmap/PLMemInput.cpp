#include "bitmap/PLMemInput.h"

PLMemInput::PLMemInput() = default;

PLMemInput::~PLMemInput() = default;

int PLMemInput::Open(const std::uint8_t* data, int size)
{
    OpenNamed("Mem", data != nullptr ? size : 0);
    m_position = data;
    return 0;
}

const std::uint8_t* PLMemInput::Peek(int)
{
    return m_position;
}

const std::uint8_t* PLMemInput::Read(int n)
{
    return ReadInMemory(m_position, n);
}

const std::uint8_t* PLMemInput::ReadRest()
{
    return m_position;
}
