// A palette entry: the colour of one index as 0x00BBGGRR, red in the low byte,
// then green, then blue, the high byte 0. PicFile, the converter's image
// document and the desktop programs keep their palettes as such entries; this
// is the one way between an entry and its components.
#pragma once

#include <cstdint>

constexpr int PALETTE_ENTRIES = 256;
// A palette as one block of bytes, as PicFile::SetImage takes it and the image
// document keeps it: the entries in index order, 4 bytes each, little-endian.
constexpr int PALETTE_BYTES = 4 * PALETTE_ENTRIES;

// The red, green and blue components of one colour, in that order also where
// they lie in memory as three bytes (a colour map, a palette chunk's triple).
struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// 8 bits per component, as BMP colour tables and the desktop programs hold them.
constexpr Rgb RgbFromEntry(std::uint32_t entry)
{
    return {static_cast<std::uint8_t>(entry & 0xFF), static_cast<std::uint8_t>((entry >> 8) & 0xFF),
            static_cast<std::uint8_t>((entry >> 16) & 0xFF)};
}

constexpr std::uint32_t EntryFromRgb(Rgb rgb)
{
    return std::uint32_t{rgb.blue} << 16 | std::uint32_t{rgb.green} << 8 | std::uint32_t{rgb.red};
}

// 6 bits per component (0 to 63), as the palette chunk stores a colour and the
// game's VGA palette shows it: the two low bits of each component dropped, so
// entries that differ only there are one colour in the game.
constexpr Rgb SixBitRgbFromEntry(std::uint32_t entry)
{
    Rgb rgb = RgbFromEntry(entry);
    return {static_cast<std::uint8_t>(rgb.red >> 2), static_cast<std::uint8_t>(rgb.green >> 2),
            static_cast<std::uint8_t>(rgb.blue >> 2)};
}

// A stored 6-bit colour as an entry: each component times 4 within its byte,
// so 0..63 becomes 0..252 and the top two bits of a byte above 63 are lost.
constexpr std::uint32_t EntryFromSixBitRgb(Rgb sixBit)
{
    return EntryFromRgb({static_cast<std::uint8_t>(sixBit.red * 4u), static_cast<std::uint8_t>(sixBit.green * 4u),
                         static_cast<std::uint8_t>(sixBit.blue * 4u)});
}

inline Rgb LoadRgb(const unsigned char* at)
{
    return {at[0], at[1], at[2]};
}

inline void StoreRgb(unsigned char* at, Rgb rgb)
{
    at[0] = rgb.red;
    at[1] = rgb.green;
    at[2] = rgb.blue;
}
