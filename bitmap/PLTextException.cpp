#include "bitmap/PLTextException.h"

PLTextException::PLTextException(int code, const char* text) : m_code(code), m_text(text != nullptr ? text : "")
{
}

PLTextException::~PLTextException() = default;

int PLTextException::Code() const
{
    return m_code;
}

const char* PLTextException::Text() const
{
    return m_text.c_str();
}
