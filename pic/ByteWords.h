// Eight bytes at a time: little-endian loads and stores that compilers turn
// into single moves, and finding a byte of interest inside such a word. The
// codec stages use them to step over stretches of plain bytes in one go.
#pragma once

#include <cstdint>

constexpr std::uint64_t EVERY_BYTE = 0x0101010101010101ull;

inline std::uint32_t LoadLittle32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

inline std::uint64_t LoadLittle64(const unsigned char* p)
{
    return std::uint64_t{p[0]} | std::uint64_t{p[1]} << 8 | std::uint64_t{p[2]} << 16 | std::uint64_t{p[3]} << 24 |
           std::uint64_t{p[4]} << 32 | std::uint64_t{p[5]} << 40 | std::uint64_t{p[6]} << 48 |
           std::uint64_t{p[7]} << 56;
}

inline void StoreLittle64(unsigned char* p, std::uint64_t value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
    p[4] = static_cast<unsigned char>(value >> 32);
    p[5] = static_cast<unsigned char>(value >> 40);
    p[6] = static_cast<unsigned char>(value >> 48);
    p[7] = static_cast<unsigned char>(value >> 56);
}

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
