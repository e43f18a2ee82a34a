#include "converter/support/CharString.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Format's buffer: twice the format's length, never below 255 bytes.
constexpr size_t FORMAT_MINIMUM_BYTES = 255;

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int ClampedLength(const char* text)
{
    size_t length = std::strlen(text);
    return length > static_cast<size_t>(INT_MAX - 1) ? INT_MAX - 1 : static_cast<int>(length);
}

} // namespace

CharString::CharString(const char* text)
{
    *this = text;
}

CharString::CharString(const CharString& other)
{
    m_buffer.Assign(other.m_buffer);
}

CharString& CharString::operator=(const CharString& other)
{
    m_buffer.Assign(other.m_buffer);
    return *this;
}

CharString& CharString::operator=(const char* text)
{
    if (text == nullptr) {
        m_buffer.Clear();
        return *this;
    }
    int length = ClampedLength(text);
    // The text may lie inside our own block; SetSize keeps the block when it
    // is large enough, which it is then, and memmove copes with the overlap.
    if (m_buffer.SetSize(length + 1))
        std::memmove(m_buffer.Data(), text, static_cast<size_t>(length) + 1);
    return *this;
}

void CharString::AppendBytes(const char* text, int length)
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    if (bytes >= m_buffer.Data() && bytes < m_buffer.Data() + m_buffer.Capacity()) {
        // Growing may free the block the text sits in: append a copy instead.
        CharString copy(text);
        AppendBytes(copy.Text(), length);
        return;
    }
    int at = Length();
    if (!m_buffer.Extend(length + 1) || m_buffer.Data() == nullptr)
        return;
    std::memcpy(m_buffer.Data() + at, text, static_cast<size_t>(length));
    m_buffer.Data()[at + length] = '\0';
}

CharString& CharString::operator+=(const char* text)
{
    if (text != nullptr)
        AppendBytes(text, ClampedLength(text));
    return *this;
}

CharString& CharString::operator+=(const CharString& other)
{
    return *this += other.Text();
}

CharString& CharString::operator+=(char c)
{
    int at = Length();
    if (m_buffer.Size() < at + 2 && !m_buffer.Resize(at + 2))
        return *this;
    if (m_buffer.Data() == nullptr)
        return *this;
    m_buffer.Data()[at] = static_cast<unsigned char>(c); // the text's bytes, as stored
    m_buffer.Data()[at + 1] = '\0';
    return *this;
}

bool CharString::operator==(const char* text) const
{
    if (text == nullptr)
        return Length() == 0;
    return std::strcmp(Text(), text) == 0;
}

bool CharString::operator==(const CharString& other) const
{
    if (m_buffer.Data() == nullptr || other.m_buffer.Data() == nullptr)
        return false;
    return std::strcmp(Text(), other.Text()) == 0;
}

bool CharString::operator==(char c) const
{
    return Length() == 1 && CharAt(0) == c;
}

const char* CharString::Text() const
{
    if (m_buffer.Data() == nullptr || m_buffer.Size() < 1)
        return "";
    return reinterpret_cast<const char*>(m_buffer.Data());
}

int CharString::Length() const
{
    if (m_buffer.Data() == nullptr || m_buffer.Size() < 1)
        return 0;
    // Every operation keeps a NUL inside Size; bounding the search anyway
    // means a broken invariant cannot send it past the block.
    const void* end = std::memchr(m_buffer.Data(), 0, static_cast<size_t>(m_buffer.Size()));
    if (end == nullptr)
        return m_buffer.Size();
    return static_cast<int>(static_cast<const unsigned char*>(end) - m_buffer.Data());
}

char CharString::CharAt(int index) const
{
    if (index < 0 || index >= m_buffer.Size())
        return 0;
    return static_cast<char>(m_buffer.Data()[index]);
}

void CharString::SetAt(int index, char c)
{
    if (index >= 0 && index < Length())
        m_buffer.Data()[index] = static_cast<unsigned char>(c);
}

void CharString::MakeLower()
{
    int length = Length();
    for (int i = 0; i < length; ++i)
        m_buffer.Data()[i] = static_cast<unsigned char>(LowerAscii(static_cast<char>(m_buffer.Data()[i])));
}

void CharString::MakeUpper()
{
    int length = Length();
    for (int i = 0; i < length; ++i)
        m_buffer.Data()[i] = static_cast<unsigned char>(UpperAscii(static_cast<char>(m_buffer.Data()[i])));
}

CharString CharString::ToLower() const
{
    CharString copy(*this);
    copy.MakeLower();
    return copy;
}

CharString CharString::ToUpper() const
{
    CharString copy(*this);
    copy.MakeUpper();
    return copy;
}

int CharString::Find(char c) const
{
    if (IsEmpty())
        return -1;
    const char* found = std::strchr(Text(), c);
    return found == nullptr ? -1 : static_cast<int>(found - Text());
}

int CharString::ReverseFind(char c) const
{
    if (IsEmpty())
        return -1;
    const char* found = std::strrchr(Text(), c);
    return found == nullptr ? -1 : static_cast<int>(found - Text());
}

int CharString::FindFrom(char c, int start) const
{
    const char* text = Text();
    int length = Length();
    for (int i = start < 0 ? 0 : start; i < length; ++i) {
        if (text[i] == c)
            return i;
    }
    return -1;
}

CharString CharString::Mid(int start) const
{
    return Mid(start, Length() - start);
}

CharString CharString::Mid(int start, int count) const
{
    // Callers pass ranges inside the text; clamping keeps a wrong range from
    // reading outside it all the same.
    int length = Length();
    if (start < 0)
        start = 0;
    if (start > length)
        start = length;
    if (count < 0)
        count = 0;
    if (count > length - start)
        count = length - start;
    CharString result;
    if (!result.m_buffer.SetSize(count + 1))
        return result;
    std::memset(result.m_buffer.Data(), 0, static_cast<size_t>(count) + 1);
    if (count > 0)
        std::memcpy(result.m_buffer.Data(), Text() + start, static_cast<size_t>(count));
    return result;
}

CharString CharString::Left(int count) const
{
    return Mid(0, count);
}

CharString CharString::Right(int count) const
{
    int length = Length();
    if (count > length)
        count = length;
    return Mid(length - count, count);
}

CharString& Format(CharString& target, const char* format, ...)
{
    if (format == nullptr)
        return target;
    size_t formatLength = std::strlen(format);
    size_t size = formatLength > INT_MAX / 2 ? static_cast<size_t>(INT_MAX) : 2 * formatLength;
    if (size < FORMAT_MINIMUM_BYTES)
        size = FORMAT_MINIMUM_BYTES;
    // Formatted into a fresh buffer, so an argument that is target's own text
    // is still readable while the output is written.
    ByteBuffer output;
    if (!output.SetSize(static_cast<int>(size)))
        return target;
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsnprintf(reinterpret_cast<char*>(output.Data()), size, format, arguments);
    va_end(arguments);
    if (written < 0)
        output.Data()[0] = '\0';
    target.m_buffer.Swap(output);
    return target;
}
