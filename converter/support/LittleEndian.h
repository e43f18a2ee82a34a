// Numbers stored least significant byte first, as every number in a PIC or a
// BMP file is and as the converter keeps its palette entries: the one place
// the converter's libraries read and write them. Byte by byte, so neither the
// machine's byte order nor the alignment of the bytes matters; compilers turn
// these into single moves.
#pragma once

#include <cstdint>
#include <cstring>

inline std::uint16_t LoadLittle16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

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

// Signed numbers are stored in two's complement; the copy reads those bits as
// the signed type without relying on how a narrowing conversion behaves.
inline std::int16_t LoadLittleSigned16(const unsigned char* p)
{
    std::uint16_t bits = LoadLittle16(p);
    std::int16_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline std::int32_t LoadLittleSigned32(const unsigned char* p)
{
    std::uint32_t bits = LoadLittle32(p);
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void StoreLittle16(unsigned char* p, std::uint16_t value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

inline void StoreLittle32(unsigned char* p, std::uint32_t value)
{
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
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
