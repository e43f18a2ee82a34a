#include "tests/bitmap/BmpFixtures.h"

namespace {

// 3 x 2 at 8 bits, 4-entry colour table; rows of 3 bytes and 1 padding byte,
// the bottom row first.
// clang-format off
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
// clang-format on
static_assert(sizeof THREE_BY_TWO_8BIT == 14 + 40 + 4 * 4 + 2 * 4, "headers, colour table, two rows");

// 10 x 1 at 1 bit; the row is 2 data bytes and 2 padding bytes.
// clang-format off
const unsigned char TEN_WIDE_1BIT[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0,          // file size 70, pixels at 62
    40, 0, 0, 0, 10, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0,        // 10 x 1, 1 plane, 1 bpp
    0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // uncompressed, no resolution
    0, 0, 0, 0, 0, 0, 0, 0,                                  // colours used 0: all 2
    0, 0, 0, 0, 255, 255, 255, 0,                            // black, white
    0xA5, 0xC0, 0, 0,                                        // 1010 0101 11(00 0000), 2 padding bytes
};
// clang-format on
static_assert(sizeof TEN_WIDE_1BIT == 14 + 40 + 2 * 4 + 4, "headers, colour table, one row");

// 3 x 1 at 4 bits: one byte for two pixels, one whose high nibble is the
// third, then 2 padding bytes.
// clang-format off
const unsigned char THREE_WIDE_4BIT[] = {
    'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 66, 0, 0, 0,          // file size 70, pixels at 66
    40, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 4, 0,         // 3 x 1, 1 plane, 4 bpp
    0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // uncompressed
    3, 0, 0, 0, 0, 0, 0, 0,                                  // 3 colours used
    10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0,             // three colours (b, g, r, unused)
    0x12, 0x3F, 0, 0,                                        // pixels 1, 2, 3; the low nibble F unused
};
// clang-format on
static_assert(sizeof THREE_WIDE_4BIT == 14 + 40 + 3 * 4 + 4, "headers, colour table, one row");

// 2 x 2 at 32 bits, as ImageMagick writes a picture with alpha: a V5 header,
// bit fields with an alpha mask, rows bottom-up, blue, green, red, alpha.
// clang-format off
const unsigned char IMAGEMAGICK_ALPHA_32[] = {
    'B', 'M', 154, 0, 0, 0, 0, 0, 0, 0, 138, 0, 0, 0,        // file size 154, pixels at 138
    124, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32, 0,       // 124-byte header, 2 x 2, 1 plane, 32 bpp
    3, 0, 0, 0, 16, 0, 0, 0,                                 // bit fields, 16 bytes of pixels
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // no resolution, no colours
    0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0,             // red, green, blue masks
    0, 0, 0, 0xFF, 'B', 'G', 'R', 's',                       // alpha mask, sRGB
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    // end points (36 bytes)
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                      // gamma red, green, blue
    4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // intent, no profile, reserved
    0xFF, 0, 0, 0, 30, 20, 10, 40,                           // bottom row: blue transparent, (10, 20, 30, 40)
    0, 0, 0xFF, 128, 0, 0xFF, 0, 0xFF,                       // top row: red half transparent, green
};
// clang-format on
static_assert(sizeof IMAGEMAGICK_ALPHA_32 == 14 + 124 + 2 * 2 * 4, "headers, two rows of two pixels");

template <std::size_t N>
Bytes AsBytes(const unsigned char (&data)[N])
{
    return Bytes(data, data + N);
}

std::vector<PLColor> Ramp(int count)
{
    std::vector<PLColor> colors;
    for (int i = 0; i < count; ++i)
        colors.emplace_back(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                            static_cast<std::uint8_t>(i * 7), 0);
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

Bytes ImageMagickAlpha32()
{
    return AsBytes(IMAGEMAGICK_ALPHA_32);
}

std::vector<TrueColorFixture> TrueColorFixtures()
{
    auto layout = [](std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t compression,
                     std::vector<std::uint32_t> masks, Bytes pixels, std::uint32_t headerSize = 40) {
        BmpLayout l;
        l.width = width;
        l.height = height;
        l.bitCount = bitCount;
        l.compression = compression;
        l.masks = std::move(masks);
        l.pixels = std::move(pixels);
        l.headerSize = headerSize;
        return l;
    };
    // 3 x 1 at 5-5-5: red 31; green and blue 16; the unused top bit set over 1, 1, 1.
    const Bytes fiveFiveFive = {0x00, 0x7C, 0x10, 0x02, 0x21, 0x84, 0, 0};
    const std::vector<PLColor> fiveFiveFivePixels = {{255, 0, 0}, {0, 132, 132}, {8, 8, 8}};
    BmpLayout withTable = layout(1, 1, 24, 0, {}, {1, 2, 3, 0});
    withTable.colors = {PLColor(9, 9, 9), PLColor(8, 8, 8)};
    withTable.colorsUsed = 2;

    std::vector<TrueColorFixture> fixtures = {
        {"16 bits uncompressed: 5-5-5",
         BuildBmp(layout(3, 1, 16, 0, {}, fiveFiveFive)),
         fiveFiveFivePixels,
         {5, 5, 5, 0}},
        {"16 bits, 5-5-5 bit fields",
         BuildBmp(layout(3, 1, 16, 3, {0x7C00, 0x03E0, 0x001F}, fiveFiveFive)),
         fiveFiveFivePixels,
         {5, 5, 5, 0}},
        // Bottom row red 31, green 63; top row (1, 1, 1) and (16, 32, 16).
        {"16 bits, 5-6-5 bit fields",
         BuildBmp(layout(2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0xE0, 0x07, 0x21, 0x08, 0x10, 0x84})),
         {{8, 4, 8}, {132, 130, 132}, {255, 0, 0}, {0, 255, 0}},
         {5, 6, 5, 0}},
        {"24 bits, rows bottom-up and padded",
         BuildBmp(layout(3, 2, 24, 0, {},
                         {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0})),
         {{12, 11, 10}, {15, 14, 13}, {18, 17, 16}, {3, 2, 1}, {6, 5, 4}, {9, 8, 7}},
         {8, 8, 8, 0}},
        {"24 bits, rows top-down",
         BuildBmp(layout(2, -2, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})),
         {{3, 2, 1}, {6, 5, 4}, {9, 8, 7}, {12, 11, 10}},
         {8, 8, 8, 0}},
        {"24 bits, a colour table before the rows", BuildBmp(withTable), {{3, 2, 1}}, {8, 8, 8, 0}},
        // The fourth byte is padding, whatever it holds.
        {"32 bits uncompressed: no alpha",
         BuildBmp(layout(2, 1, 32, 0, {}, {1, 2, 3, 0x7F, 4, 5, 6, 0})),
         {{3, 2, 1, 255}, {6, 5, 4, 255}},
         {8, 8, 8, 0}},
        {"32 bits as ImageMagick writes them with alpha",
         ImageMagickAlpha32(),
         {{255, 0, 0, 128}, {0, 255, 0, 255}, {0, 0, 255, 0}, {10, 20, 30, 40}},
         {8, 8, 8, 8}},
        {"32 bits, alpha bit fields after a 40-byte header",
         BuildBmp(layout(1, 1, 32, 6, {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, {10, 20, 30, 40})),
         {{10, 20, 30, 40}},
         {8, 8, 8, 8}},
        // Red in the top byte; the low byte is unused, so alpha is 255.
        {"32 bits, bit fields in a 52-byte header",
         BuildBmp(layout(1, 1, 32, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, {0x99, 30, 20, 10}, 52)),
         {{10, 20, 30, 255}},
         {8, 8, 8, 0}},
        // Alpha in the top bit: clear, then set.
        {"16 bits, 1-5-5-5 in a 56-byte header",
         BuildBmp(layout(2, 1, 16, 3, {0x7C00, 0x03E0, 0x001F, 0x8000}, {0xFF, 0x7F, 0x1F, 0x80}, 56)),
         {{255, 255, 255, 0}, {0, 0, 255, 255}},
         {5, 5, 5, 1}},
        // Red 0x3FF, green 0x200, blue 1, alpha 2: wide channels keep their top 8 bits.
        {"32 bits, 10-10-10-2 in a 108-byte header",
         BuildBmp(layout(1, 1, 32, 3, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}, {0x01, 0x00, 0xF8, 0xBF}, 108)),
         {{255, 128, 0, 170}},
         {8, 8, 8, 2}},
        // Alpha 8, red 15, green 0, blue 10.
        {"16 bits, 4-4-4-4 in a 124-byte header",
         BuildBmp(layout(1, 1, 16, 3, {0x0F00, 0x00F0, 0x000F, 0xF000}, {0x0A, 0x8F, 0, 0}, 124)),
         {{255, 0, 170, 136}},
         {4, 4, 4, 4}},
    };
    return fixtures;
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
    for (TrueColorFixture& trueColor : TrueColorFixtures())
        fixtures.push_back({trueColor.name, std::move(trueColor.file)});
    return fixtures;
}
