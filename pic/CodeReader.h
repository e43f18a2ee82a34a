// Reads LZW codes of 1 to 25 bits, packed least-significant bit first, from a
// block of bytes. Bytes past the block's end read as 0, so a stream that stops
// in the middle of a code still yields one, and nothing outside the block is read.
#pragma once

#include "converter/support/LittleEndian.h"

#include <cstddef>
#include <cstdint>

class CodeReader {
public:
    CodeReader(const unsigned char* data, std::size_t size, std::uint64_t startBit)
        : m_data(data), m_size(size), m_bitPosition(startBit)
    {
    }

    unsigned Read(unsigned width)
    {
        std::uint64_t byte = m_bitPosition >> 3;
        // Four bytes hold any code of up to 25 bits, whatever its first bit's place.
        std::uint32_t window = byte + 4 <= m_size ? LoadLittle32(m_data + byte) : LoadTail(byte);
        unsigned code = static_cast<unsigned>(window >> (m_bitPosition & 7)) & ((1u << width) - 1);
        m_bitPosition += width;
        return code;
    }

    // Bits consumed from the block's start, including any start offset.
    std::uint64_t BitPosition() const { return m_bitPosition; }

private:
    std::uint32_t LoadTail(std::uint64_t byte) const
    {
        std::uint32_t window = 0;
        for (unsigned i = 0; i < 4 && byte + i < m_size; ++i)
            window |= std::uint32_t{m_data[byte + i]} << (8 * i);
        return window;
    }

    const unsigned char* m_data;
    std::size_t m_size;
    std::uint64_t m_bitPosition;
};
