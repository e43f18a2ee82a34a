// The viewer's source of the LZW codes of a PIC image stream: packed
// least-significant bit first and fetched as 16-bit little-endian words, the
// words deciding where the stream ends. Byte 0 of the stream is MaxCodeWidth,
// so reading starts with the 8 high bits of word 0. (The converter reads the
// same codes with a reader of its own, pic/CodeReader.h.)
#pragma once

#include <cstddef>
#include <cstdint>

class WordCodeSource {
public:
    static constexpr unsigned MAX_CODE_WIDTH = 11;

    WordCodeSource(const unsigned char* stream, std::size_t size);

    // The next code of width bits (9 to 11). False once the stream holds no
    // more codes: every code with bits in the stream is read, including the
    // one finished with the zero padding of an odd-length stream, and no more.
    bool NextCode(unsigned width, std::uint16_t& code);

private:
    std::uint16_t Word(std::size_t index) const;

    const unsigned char* m_stream;
    std::size_t m_size;
    std::size_t m_wordCount;
    std::uint16_t m_word;
    unsigned m_availableBits = 8;
    std::size_t m_nextWord = 1;
};
