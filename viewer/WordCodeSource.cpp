#include "viewer/WordCodeSource.h"

WordCodeSource::WordCodeSource(const unsigned char* stream, std::size_t size)
    : m_stream(stream), m_size(size), m_wordCount(size / 2), m_word(Word(0))
{
}

std::uint16_t WordCodeSource::Word(std::size_t index) const
{
    // Bytes past the end of the stream read as 0: the converter pads the last
    // code of an odd-length stream only up to a byte, not up to a word.
    const std::size_t low = 2 * index;
    const unsigned lowByte = low < m_size ? m_stream[low] : 0;
    const unsigned highByte = low + 1 < m_size ? m_stream[low + 1] : 0;
    return static_cast<std::uint16_t>(lowByte | highByte << 8);
}

bool WordCodeSource::NextCode(unsigned width, std::uint16_t& code)
{
    // The stream ends once the word after the last whole one has been started.
    if (m_nextWord > m_wordCount)
        return false;
    // The unread high bits of the current word come first. m_availableBits is
    // at most 16 here, and a shift by 16 of the promoted word gives 0.
    unsigned bits = static_cast<unsigned>(m_word) >> (16 - m_availableBits);
    while (m_availableBits < width) {
        m_word = Word(m_nextWord++);
        bits |= (static_cast<unsigned>(m_word) << m_availableBits) & 0xFFFFu;
        m_availableBits += 16;
    }
    m_availableBits -= width;
    code = static_cast<std::uint16_t>(bits & ((1u << width) - 1));
    return true;
}
