// PicImage from memory: hand-written files to pixels and colours, the chunk
// walk, and the palette and picture that persist from one load to the next.
#include "viewer/PicImage.h"

#include "tests/viewer/WholePicture.h"

#include "tests/common/PicModels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Parse(PicImage& image, const Bytes& file)
{
    ASSERT_TRUE(image.Parse(file.data(), static_cast<int>(file.size())));
}

// The palette indices of the loaded picture, row by row.
Bytes Indices(const PicImage& image)
{
    return WholePicture(image);
}

// 2 x 1, pixels 1 and 2, no palette: the converter's own 12-byte example.
// clang-format off
const unsigned char TWO_BY_ONE[] = {
    'X', '0', 8, 0,  // image chunk, 8 data bytes
    2, 0, 1, 0,      // width 2, height 1
    0x0B,            // MaxCodeWidth 11
    0x01, 0x04, 0x00 // 9-bit codes 1 and 2, LSB first
};
// clang-format on
static_assert(sizeof TWO_BY_ONE == 4 + 4 + 4, "header, size, stream");

// 4 x 1 of index 5: run-length bytes 05 90 04, codes 5, 144, 4.
const unsigned char FOUR_FIVES[] = {
    'X', '0', 9, 0, 4, 0, 1, 0, 0x0B, 0x05, 0x20, 0x11, 0x00,
};
static_assert(sizeof FOUR_FIVES == 8 + 5, "headers, stream");

// 8 x 1 of 1, 2 repeated: codes 1, 2, 257 (1 2), 259 (defined by itself:
// 1 2 1), 2.
const unsigned char ALTERNATING[] = {
    'X', '0', 11, 0, 8, 0, 1, 0, 0x0B, 0x01, 0x04, 0x04, 0x1C, 0x28, 0x00,
};
static_assert(sizeof ALTERNATING == 8 + 7, "headers, stream");

} // namespace

TEST(PicImage, StartsEmptyWithTheDefaultPalette)
{
    PicImage image;
    EXPECT_FALSE(image.HasImage);
    EXPECT_FALSE(image.HasPalette);
    EXPECT_EQ(image.Width, 0u);
    EXPECT_EQ(image.Height, 0u);
    EXPECT_EQ(image.PixelColor(0, 0), 0u);
    const struct {
        std::uint32_t index;
        std::uint32_t color;
    } entries[] = {{0, 0x000000},   {1, 0x7F0000},   {7, 0xC0C0C0},   {12, 0x0000FF},  {15, 0xFFFFFF},
                   {17, 0x141414},  {32, 0xFC0000},  {104, 0x700000}, {176, 0x400000}, {247, 0x40302C},
                   {248, 0x000000}, {255, 0x000000}, {256, 0},        {0xFFFFFFFF, 0}};
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.index);
        EXPECT_EQ(image.PaletteEntry(entry.index), entry.color);
    }
}

TEST(PicImage, DecodesHandWrittenFiles)
{
    struct Case {
        const char* name;
        Bytes file;
        std::uint32_t width;
        std::uint32_t height;
        Bytes pixels;
    };
    // clang-format off
    const Case cases[] = {
        {"2 x 1 example", Bytes(std::begin(TWO_BY_ONE), std::end(TWO_BY_ONE)), 2, 1, {1, 2}},
        {"run of four", Bytes(std::begin(FOUR_FIVES), std::end(FOUR_FIVES)), 4, 1, {5, 5, 5, 5}},
        {"self-defined code", Bytes(std::begin(ALTERNATING), std::end(ALTERNATING)), 8, 1,
         {1, 2, 1, 2, 1, 2, 1, 2}},
        {"escaped 0x90", ImageChunk(1, 1, LiteralStream({0x90, 0x00})), 1, 1, {0x90}},
        {"two escaped 0x90", ImageChunk(2, 1, LiteralStream({0x90, 0x00, 0x90, 0x02})), 2, 1, {0x90, 0x90}},
        {"repeat at the start repeats 0", ImageChunk(3, 1, LiteralStream({0x90, 0x03, 0x09})), 3, 1,
         {0, 0, 0x09}},
        {"count 2 is one more", ImageChunk(3, 1, LiteralStream({7, 0x90, 0x02, 8})), 3, 1, {7, 7, 8}},
        // A count of 1 is 256 more copies (one now, 255 pending), cut at the end.
        {"count 1 fills a 16 x 16", ImageChunk(16, 16, LiteralStream({7, 0x90, 0x01, 8})), 16, 16,
         Bytes(256, 7)},
        {"count 1 then a pixel", ImageChunk(258, 1, LiteralStream({7, 0x90, 0x01, 8})), 258, 1,
         Join({Bytes(257, 7), {8}})},
        {"count 0x90", ImageChunk(145, 1, LiteralStream({5, 0x90, 0x90, 6})), 145, 1, Join({Bytes(144, 5), {6}})},
        // The repeat continues past the end of the first row.
        {"pending repeat across rows", ImageChunk(3, 2, LiteralStream({1, 2, 0x90, 0x04, 3})), 3, 2,
         {1, 2, 2, 2, 2, 3}},
        // Codes past the picture are never read; a repeat still pending is dropped.
        {"surplus dropped", ImageChunk(2, 1, LiteralStream({4, 0x90, 0x09, 1, 2, 3})), 2, 1, {4, 4}},
        {"MaxCodeWidth 200 counts as 11", ImageChunk(2, 1, {200, 0x01, 0x04, 0x00}), 2, 1, {1, 2}},
        {"MaxCodeWidth 9", ImageChunk(2, 1, {9, 0x01, 0x04, 0x00}), 2, 1, {1, 2}},
        // Width and height are unsigned: 40000 is not negative.
        {"wide picture", ImageChunk(40000, 1, LiteralStream({3, 0x90, 0x00})), 40000, 1,
         Join({{3, 0x90}, Bytes(39998, 0)})},
        // The stream runs out: whatever is left of the picture is index 0.
        {"short stream", ImageChunk(4, 2, LiteralStream({6, 6, 6})), 4, 2, {6, 6, 6, 0, 0, 0, 0, 0}},
        {"no stream", ImageChunk(3, 1, {}), 3, 1, {0, 0, 0}},
        // An escape at the very end counts 0 and stands for 0x90 itself.
        {"escape at the end", ImageChunk(3, 1, LiteralStream({5, 0x90})), 3, 1, {5, 0x90, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PicImage image;
        Parse(image, c.file);
        EXPECT_TRUE(image.HasImage);
        EXPECT_FALSE(image.HasPalette);
        EXPECT_EQ(image.Width, c.width);
        EXPECT_EQ(image.Height, c.height);
        EXPECT_EQ(Indices(image), c.pixels);
    }
}

TEST(PicImage, ResetsTheDictionaryWhenTheWidthPassesMaxCodeWidth)
{
    // 1,000 single-byte codes: a dictionary cycle at MaxCodeWidth 10 ends after
    // 768 codes, at 11 after 1,792. Packed for one, read as the other, the
    // widths disagree from code 769 on.
    Bytes runBytes;
    for (int i = 0; i < 1000; ++i)
        runBytes.push_back(static_cast<unsigned char>(i % 0x80));
    for (unsigned maxWidth : {8u, 9u, 10u, 11u}) {
        SCOPED_TRACE(maxWidth);
        PicImage image;
        Parse(image, ImageChunk(1000, 1, LiteralStream(runBytes, maxWidth)));
        EXPECT_EQ(Indices(image), runBytes);
    }
    Bytes tenRead11 = LiteralStream(runBytes, 10);
    tenRead11[0] = 11;
    PicImage image;
    Parse(image, ImageChunk(1000, 1, tenRead11));
    const Bytes pixels = Indices(image);
    ASSERT_EQ(pixels.size(), runBytes.size());
    EXPECT_TRUE(std::equal(runBytes.begin(), runBytes.begin() + 768, pixels.begin()));
    EXPECT_NE(pixels, runBytes);
}

TEST(PicImage, PixelColorLooksUpThePaletteInsideThePicture)
{
    PicImage image;
    Parse(image, Join({PaletteChunk(1, 2, {63, 0, 0, 0, 0, 63}), ImageChunk(2, 2, LiteralStream({1, 2, 2, 0x0C}))}));
    const struct {
        std::uint32_t x, y, color;
    } probes[] = {{0, 0, 0x0000FC}, {1, 0, 0xFC0000}, {0, 1, 0xFC0000},   {1, 1, 0x0000FF},
                  {2, 0, 0},        {0, 2, 0},        {0xFFFFFFFF, 0, 0}, {0, 0xFFFFFFFF, 0}};
    for (const auto& probe : probes) {
        SCOPED_TRACE(std::to_string(probe.x) + "," + std::to_string(probe.y));
        EXPECT_EQ(image.PixelColor(probe.x, probe.y), probe.color);
    }
}

TEST(PicImage, ReadsPaletteChunksOverWhatThePaletteHeld)
{
    const Bytes allRed = [] {
        Bytes triples;
        for (int i = 0; i < 256; ++i)
            triples.insert(triples.end(), {63, 0, 0});
        return triples;
    }();
    struct Case {
        const char* name;
        Bytes file;
        int firstIndex, lastIndex;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> entries; // index, colour
    };
    // clang-format off
    const Case cases[] = {
        {"all red", PaletteChunk(0, 255, allRed), 0, 255, {{0, 0x0000FC}, {128, 0x0000FC}, {255, 0x0000FC}}},
        // 6-bit components times 4, modulo 256: 64 reads as 0, 65 as 4.
        {"components", PaletteChunk(3, 3, {64, 65, 1}), 3, 3, {{3, 0x040400}, {2, 0x007F00}, {4, 0x00007F}}},
        {"first above last", PaletteChunk(5, 4, {63, 63, 63}), 5, 4, {{4, 0x00007F}, {5, 0x7F007F}}},
        // A later chunk in the same file does not start again from the default.
        {"second chunk keeps the first", Join({PaletteChunk(0, 255, allRed), PaletteChunk(10, 12, Bytes(9, 0))}),
         10, 12, {{9, 0x0000FC}, {10, 0}, {12, 0}, {13, 0x0000FC}}},
        // The length field is not consulted: triples run on as first..last asks.
        {"length not consulted", Join({{'M', '0', 2, 0, 0, 1}, {1, 2, 3, 4, 5, 6}}), 0, 1,
         {{0, 0x0C0804}, {1, 0x181410}}},
        // Triples cut by the end of the file: the whole ones are applied.
        {"cut triples", Join({{'M', '0', 11, 0, 20, 22}, {1, 1, 1, 2, 2, 2, 3, 3}}), 20, 22,
         {{20, 0x040404}, {21, 0x080808}, {22, 0x505050}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PicImage image;
        Parse(image, c.file);
        EXPECT_TRUE(image.HasPalette);
        EXPECT_FALSE(image.HasImage);
        EXPECT_EQ(image.FirstIndex, c.firstIndex);
        EXPECT_EQ(image.LastIndex, c.lastIndex);
        for (const auto& [index, color] : c.entries) {
            SCOPED_TRACE(index);
            EXPECT_EQ(image.PaletteEntry(index), color);
        }
    }
}

TEST(PicImage, ChunkWalkEndsAtAnUnknownTagOrACutHeader)
{
    const Bytes image21(std::begin(TWO_BY_ONE), std::end(TWO_BY_ONE));
    const Bytes unknown{'A', 'B', 2, 0, 9, 9};
    struct Case {
        const char* name;
        Bytes file;
        bool hasImage;
        bool hasPalette;
    };
    const Case cases[] = {
        {"unknown first", Join({unknown, image21}), false, false},
        {"unknown between palette and image", Join({PaletteChunk(0, 0, {1, 2, 3}), unknown, image21}), false, true},
        {"palette after image", Join({image21, PaletteChunk(0, 0, {1, 2, 3})}), true, true},
        {"three bytes", {'X', '0', 8}, false, false},
        {"empty chunk header only", {'M', '0', 0, 0}, false, false},
        {"image size cut", {'X', '0', 8, 0, 2, 0, 1}, false, false},
        {"palette indices cut", {'M', '0', 2, 0, 7}, false, false},
        {"tag with zero byte", Join({{'X', 0, 0, 0}, image21}), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PicImage image;
        Parse(image, c.file);
        EXPECT_EQ(image.HasImage, c.hasImage);
        EXPECT_EQ(image.HasPalette, c.hasPalette);
        EXPECT_EQ(image.FileData, nullptr);
        EXPECT_EQ(image.FileSize, 0);
    }
}

TEST(PicImage, ImageChunkIgnoresItsLength)
{
    // A declared length of 2 is not skipped: width and height come from the
    // next four bytes, and the stream runs on to the end of the file.
    PicImage image;
    Parse(image, {'X', '0', 2, 0, 2, 0, 1, 0, 0x0B, 0x01, 0x04, 0x00});
    EXPECT_TRUE(image.HasImage);
    EXPECT_EQ(Indices(image), (Bytes{1, 2}));

    // A later image chunk replaces the earlier picture.
    PicImage twice;
    Parse(twice, Join({ImageChunk(1, 1, LiteralStream({9})), ImageChunk(2, 1, LiteralStream({4, 5}))}));
    EXPECT_EQ(twice.Width, 2u);
    EXPECT_EQ(Indices(twice), (Bytes{4, 5}));
}

TEST(PicImage, KeepsPictureAndPaletteAcrossLoads)
{
    const Bytes fileA = Join({PaletteChunk(0, 255, Bytes(768, 10)), ImageChunk(2, 1, LiteralStream({1, 200}))});
    const Bytes fileB = ImageChunk(3, 1, LiteralStream({11, 12, 13}));
    const Bytes fileC = Join({PaletteChunk(11, 12, {1, 0, 0, 0, 1, 0}), fileB});

    PicImage image;
    Parse(image, fileA);
    Parse(image, fileB);
    // B has no palette: it shows with A's colours (all 10 x 4).
    EXPECT_EQ(image.PixelColor(0, 0), 0x282828u);
    EXPECT_EQ(image.PixelColor(2, 0), 0x282828u);
    Parse(image, fileC);
    // C sets 11 and 12 only; 13 keeps A's colour, not the default.
    EXPECT_EQ(image.PixelColor(0, 0), 0x000004u);
    EXPECT_EQ(image.PixelColor(1, 0), 0x000400u);
    EXPECT_EQ(image.PixelColor(2, 0), 0x282828u);

    // Files that bring no picture leave the last one, and HasImage, in place.
    const Bytes noPicture[] = {{}, Bytes{'Z', 'Z', 0, 0}, PaletteChunk(0, 0, {0, 0, 0}), Bytes{'X', '0', 4}};
    for (const Bytes& file : noPicture) {
        SCOPED_TRACE(file.size());
        Parse(image, file);
        EXPECT_TRUE(image.HasImage);
        EXPECT_EQ(image.Width, 3u);
        EXPECT_EQ(Indices(image), (Bytes{11, 12, 13}));
    }
}

TEST(PicImage, PictureOfZeroSizeKeepsTheOldBlockButShowsNothing)
{
    PicImage image;
    Parse(image, ImageChunk(2, 1, LiteralStream({1, 2})));
    const unsigned char* block = image.Pixels;
    for (const auto& size : {std::pair<std::uint16_t, std::uint16_t>{0, 5}, {5, 0}, {0, 0}}) {
        SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
        Parse(image, ImageChunk(size.first, size.second, LiteralStream({7, 7})));
        EXPECT_TRUE(image.HasImage);
        EXPECT_EQ(image.Width, size.first);
        EXPECT_EQ(image.Height, size.second);
        EXPECT_EQ(image.Pixels, block);
        EXPECT_EQ(image.PixelCount, 2);
        EXPECT_EQ(image.Pixels[0], 1);
        for (std::uint32_t x = 0; x < 6; ++x)
            EXPECT_EQ(image.PixelColor(x, 0), 0u);
    }
}

TEST(PicImage, RefusesPicturesAboveThePixelLimit)
{
    PicImage image;
    image.SetPixelLimit(100);
    Parse(image, ImageChunk(10, 10, LiteralStream({3})));
    EXPECT_EQ(image.Width, 10u);
    // 101 pixels, and the largest a PIC file can declare: neither is taken,
    // and the 10 x 10 picture stays as it was.
    for (const auto& size : {std::pair<std::uint16_t, std::uint16_t>{101, 1}, {0xFFFF, 0xFFFF}}) {
        Parse(image, ImageChunk(size.first, size.second, LiteralStream({4})));
        EXPECT_EQ(image.Width, 10u);
        EXPECT_EQ(image.Height, 10u);
        EXPECT_EQ(image.PixelCount, 1);
        EXPECT_EQ(Indices(image), Join({{3}, Bytes(99, 0)}));
    }
}

TEST(PicImage, HoldsOnlyThePixelsItsStreamGives)
{
    // A few bytes may declare the largest picture: what the stream does not
    // give is index 0 (here a colour of its own), and nothing holds it.
    // The bits left in a stream's last byte may give one pixel more, of index
    // 0: the viewer reads them, and past them zeros, as one more code.
    const Bytes palette = PaletteChunk(0, 1, {10, 20, 30, 1, 2, 3});
    struct Case {
        std::uint16_t width, height;
        Bytes runBytes;
        int held;
    };
    for (const Case& c :
         {Case{32767, 32767, {1, 1}, 3}, Case{32767, 1, {1}, 1}, Case{3, 2, {1, 1, 1, 1}, 5}, Case{40000, 2, {}, 0}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        PicImage image;
        Parse(image, Join({palette, ImageChunk(c.width, c.height, LiteralStream(c.runBytes))}));
        ASSERT_TRUE(image.HasImage);
        EXPECT_EQ(image.Width, c.width);
        EXPECT_EQ(image.Height, c.height);
        EXPECT_EQ(image.PixelCount, c.held);
        if (c.held > 0) {
            EXPECT_EQ(image.PixelColor(0, 0), 0x0C0804u);
        }
        EXPECT_EQ(image.PixelColor(c.width - 1u, c.height - 1u), 0x785028u);
        EXPECT_EQ(image.PixelColor(c.width, 0), 0u);
    }
}
