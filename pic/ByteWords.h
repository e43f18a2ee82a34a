// Eight bytes at a time: finding a byte of interest inside a word loaded
// little-endian, so that its lowest byte is the one at the lowest address. The
// codec stages use them to step over stretches of plain bytes in one go.
#pragma once

#include "converter/support/LittleEndian.h"

#include <cstdint>

constexpr std::uint64_t EVERY_BYTE = 0x0101010101010101ull;

// The top bit of every byte that is 0 in word, and of no other byte: the
// low seven bits of each byte are added up on their own, so no carry crosses
// into the next byte, and the top bit is looked at apart.
inline std::uint64_t ZeroBytes(std::uint64_t word)
{
    const std::uint64_t low7 = EVERY_BYTE * 0x7F;
    return ~(((word & low7) + low7) | word | low7);
}

// The top bit of every byte that is not 0 in word.
inline std::uint64_t NonZeroBytes(std::uint64_t word)
{
    return ZeroBytes(word) ^ (EVERY_BYTE * 0x80);
}

// The index (0 to 7, from the lowest address) of the first marked byte of a
// non-zero mask made by ZeroBytes or NonZeroBytes. Where that byte lies is as
// good as random, so no loop or branch: the lowest mark, moved to bit 8k,
// times 0x0001020304050607 leaves k in the top byte.
inline unsigned FirstMarkedByte(std::uint64_t mask)
{
    std::uint64_t lowest = mask & (0 - mask);
    return static_cast<unsigned>(((lowest >> 7) * 0x0001020304050607ull) >> 56);
}
