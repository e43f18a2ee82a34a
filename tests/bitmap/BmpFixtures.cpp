#include "tests/bitmap/BmpFixtures.h"

namespace {

// 3 x 2 at 8 bits, 4-entry colour table; rows of 3 bytes and 1 padding byte,
// the bottom row first.
const unsigned char THREE_BY_TWO_8BIT[] = {
    'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 70, 0, 0, 0,          // file size 78, pixels at 70
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0,         // 40-byte header, 3 x 2, 1 plane, 8 bpp
    0, 0, 0, 0, 8, 0, 0, 0,                                  // uncompressed, 8 bytes of pixels
    0x13, 0x0B, 0, 0, 0xC4, 0x0E, 0, 0,                      // 2835 and 3780 pixels per metre
    4, 0, 0, 0, 0, 0, 0, 0,                                  // 4 colours used, all important
    0, 0, 0, 0, 255, 0, 0, 0x77, 0, 255, 0, 0, 0, 0, 255, 0, // black, blue, green, red (b, g, r, unused)
    1, 2, 3, 0,                                              // bitmap row 1 (bottom) and a padding byte
    3, 0, 1, 0,                                              // bitmap row 0 (top)
};
static_assert(sizeof THREE_BY_TWO_8BIT == 14 + 40 + 4 * 4 + 2 * 4, "headers, colour table, two rows");

// 10 x 1 at 1 bit; the row is 2 data bytes and 2 padding bytes.
const unsigned char TEN_WIDE_1BIT[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,          // file size 70, pixels at 62
    40, 0, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0,        // 10 x 1, 1 plane, 1 bpp
    0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // uncompressed, no resolution
    0, 0, 0, 0, 0, 0, 0, 0,                                  // colours used 0: all 2
    0, 0, 0, 0, 255, 255, 255, 0,                            // black, white
    0xA5, 0xC0, 0, 0,                                        // 1010 0101 11(00 0000), 2 padding bytes
};
static_assert(sizeof TEN_WIDE_1BIT == 14 + 40 + 2 * 4 + 4, "headers, colour table, one row");

// 3 x 1 at 4 bits: one byte for two pixels, one whose high nibble is the
// third, then 2 padding bytes.
const unsigned char THREE_WIDE_4BIT[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,          // file size 70, pixels at 66
    40, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 4, 0,         // 3 x 1, 1 plane, 4 bpp
    0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // uncompressed
    3, 0, 0, 0, 0, 0, 0, 0,                                  // 3 colours used
    10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0,             // three colours (b, g, r, unused)
    0x12, 0x3F, 0, 0,                                        // pixels 1, 2, 3; the low nibble F unused
};
static_assert(sizeof THREE_WIDE_4BIT == 14 + 40 + 3 * 4 + 4, "headers, colour table, one row");

template <std::size_t N>
Bytes AsBytes(const unsigned char (&data)[N])
{
    return Bytes(data, data + N);
}

std::vector<PLColor> Ramp(int count)
{
    std::vector<PLColor> colors;
    for (int i = 0; i < count; ++i)
        colors.emplace_back(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7), 0);
    return colors;
}

} // namespace

Bytes ThreeByTwo8Bit()
{
    return AsBytes(THREE_BY_TWO_8BIT);
}

Bytes TenWide1Bit()
{
    return AsBytes(TEN_WIDE_1BIT);
}

Bytes ThreeWide4Bit()
{
    return AsBytes(THREE_WIDE_4BIT);
}

std::vector<NamedFixture> AllFixtures()
{
    std::vector<NamedFixture> fixtures = {
        {"3 x 2 at 8 bits", ThreeByTwo8Bit()},
        {"10 x 1 at 1 bit", TenWide1Bit()},
        {"3 x 1 at 4 bits", ThreeWide4Bit()},
    };

    BmpLayout rle8;
    rle8.width = 5;
    rle8.height = 3;
    rle8.compression = 1;
    rle8.colors = Ramp(8);
    rle8.colorsUsed = 8;
    // A run, an absolute run with its padding byte, end of row; a row ended
    // early; a clipped run, then end of bitmap.
    rle8.pixels = {2, 1, 0, 3, 4, 5, 6, 0, 0, 0, 1, 7, 0, 0, 9, 2, 0, 1};
    fixtures.push_back({"RLE8 5 x 3", BuildBmp(rle8)});

    BmpLayout rle4 = rle8;
    rle4.bitCount = 4;
    rle4.compression = 2;
    // A run of alternating nibbles, an absolute run of 3 nibbles in 2 bytes,
    // end of row, a run, end of row, an absolute run of 5 in 3 bytes and its
    // padding byte, end of bitmap.
    rle4.pixels = {2, 0x12, 0, 3, 0x34, 0x50, 0, 0, 5, 0x67, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1};
    fixtures.push_back({"RLE4 5 x 3", BuildBmp(rle4)});

    BmpLayout os2;
    os2.headerSize = 12;
    os2.width = 3;
    os2.height = 2;
    os2.colors = Ramp(256);
    os2.pixels = {0, 0, 1, 2, 3, 0, 4, 5, 6, 0};
    os2.dataOffset = 14 + 12 + 3 * 256 + 2;
    fixtures.push_back({"OS/2 3 x 2 with a gap before the rows", BuildBmp(os2)});

    BmpLayout topDown;
    topDown.width = 4;
    topDown.height = -2;
    topDown.headerSize = 108;
    topDown.colors = Ramp(3);
    topDown.colorsUsed = 3;
    topDown.pixels = {0, 1, 2, 0, 2, 1, 0, 2};
    Bytes file = {'B', 'A', 14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // one array header in front
    Bytes bmp = BuildBmp(topDown);
    file.insert(file.end(), bmp.begin(), bmp.end());
    fixtures.push_back({"array header, 108-byte header, top-down", file});
    return fixtures;
}
