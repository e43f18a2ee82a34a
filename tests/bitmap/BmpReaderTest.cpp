#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "tests/bitmap/BmpFixtures.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

namespace {

// Decodes file and returns the exception, or reports a failure when none came.
bool DecodeFails(const Bytes& file, int& code, std::string& text, int wantedDepth = 8)
{
    PLMemBitmap bitmap;
    try {
        DecodeBytes(file, bitmap, wantedDepth);
    } catch (const PLTextException& e) {
        code = e.Code();
        text = e.Text();
        return true;
    }
    return false;
}

void ExpectDecodeFailure(const Bytes& file, int code, const std::string& text, int wantedDepth = 8)
{
    int gotCode = 0;
    std::string gotText;
    ASSERT_TRUE(DecodeFails(file, gotCode, gotText, wantedDepth)) << "decoded, expected: " << text;
    EXPECT_EQ(gotCode, code);
    EXPECT_EQ(gotText, text);
}

std::vector<PLColor> Greys(int count)
{
    std::vector<PLColor> colors;
    for (int i = 0; i < count; ++i) {
        auto v = static_cast<std::uint8_t>(i);
        colors.emplace_back(v, v, v, 0);
    }
    return colors;
}

TEST(BmpReader, Uncompressed8BitRowsComeBottomUpWithoutPadding)
{
    PLMemBitmap bitmap;
    DecodeBytes(ThreeByTwo8Bit(), bitmap);
    EXPECT_EQ(PLImageInfo(bitmap), PLImageInfo({3, 2}, 8, {72, 96}, false, false));
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{3, 0, 1, 1, 2, 3}));
    EXPECT_EQ(bitmap.AccessCount(), 0);
    const PLColor* table = bitmap.ColorTable();
    EXPECT_EQ(table[0], PLColor(0, 0, 0, 255));
    EXPECT_EQ(table[1], PLColor(0, 0, 255, 255)) << "alpha 255 whatever the fourth byte holds";
    EXPECT_EQ(table[2], PLColor(0, 255, 0, 255));
    EXPECT_EQ(table[3], PLColor(255, 0, 0, 255));
    for (int i = 4; i < 256; ++i)
        EXPECT_EQ(table[i], PLColor(0, 0, 0, 255)) << "entries the file lacks are black, entry " << i;
}

TEST(BmpReader, OneAndFourBitPixelsBecomeBytes)
{
    PLMemBitmap bitmap;
    DecodeBytes(TenWide1Bit(), bitmap);
    EXPECT_EQ(bitmap.BitsPerPixel(), 8);
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{1, 0, 1, 0, 0, 1, 0, 1, 1, 1}));
    EXPECT_EQ(bitmap.ColorTable()[1], PLColor(255, 255, 255, 255));
    EXPECT_EQ(bitmap.ColorTable()[2], PLColor(0, 0, 0, 255));

    DecodeBytes(ThreeWide4Bit(), bitmap);
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{1, 2, 3}));
    EXPECT_EQ(bitmap.ColorTable()[2], PLColor(90, 80, 70, 255));
    EXPECT_EQ(bitmap.ColorTable()[3], PLColor(0, 0, 0, 255));
}

TEST(BmpReader, TopDownFilesAreReadTopRowFirst)
{
    Bytes file = ThreeByTwo8Bit();
    file[22] = 0xFE; // height -2
    file[23] = file[24] = file[25] = 0xFF;
    PLMemBitmap bitmap;
    DecodeBytes(file, bitmap);
    EXPECT_EQ(bitmap.Size(), (PLPoint{3, 2}));
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{1, 2, 3, 3, 0, 1}));
}

TEST(BmpReader, ColorTablesShorterThanTheDepthFillTheRestWithBlack)
{
    BmpLayout layout;
    layout.width = 2;
    layout.colorsUsed = 16;
    layout.colors = Greys(16);
    layout.colors[15] = PLColor(1, 2, 3, 0);
    layout.pixels = {15, 200, 0, 0};
    PLMemBitmap bitmap;
    DecodeBytes(BuildBmp(layout), bitmap);
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{15, 200}));
    EXPECT_EQ(bitmap.ColorTable()[15], PLColor(1, 2, 3, 255));
    EXPECT_EQ(bitmap.ColorTable()[16], PLColor(0, 0, 0, 255));
    EXPECT_EQ(bitmap.ColorTable()[200], PLColor(0, 0, 0, 255));

    // The reader's table starts afresh: a long table read before leaves nothing behind.
    PLBmpReader reader;
    layout.colorsUsed = 0;
    layout.colors = std::vector<PLColor>(256, PLColor(9, 9, 9, 0));
    Bytes full = BuildBmp(layout);
    reader.DecodeMemory(full.data(), static_cast<int>(full.size()), bitmap, 8);
    layout.colorsUsed = 1;
    layout.colors.resize(1);
    Bytes shortTable = BuildBmp(layout);
    reader.DecodeMemory(shortTable.data(), static_cast<int>(shortTable.size()), bitmap, 8);
    EXPECT_EQ(bitmap.ColorTable()[200], PLColor(0, 0, 0, 255));
}

// The colour table's bound, from both sides: 256 entries (the last of them
// used) are read whole, one more is refused before any entry is stored.
TEST(BmpReader, ColorTablesOfAtMost256EntriesAreRead)
{
    struct Case {
        std::uint32_t entries;
        const char* refusal; // null when the table is read
    };
    const Case cases[] = {
        {255, nullptr},
        {256, nullptr},
        {257, "Decoder error: BMP colour table: 257 entries, at most 256\n"},
        {65536, "Decoder error: BMP colour table: 65536 entries, at most 256\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        BmpLayout layout;
        layout.colorsUsed = c.entries;
        layout.colors = Greys(static_cast<int>(c.entries));
        layout.colors[c.entries - 1] = PLColor(1, 2, 3, 0);
        layout.pixels = {static_cast<std::uint8_t>(std::min(c.entries - 1, 255u)), 0, 0, 0};
        if (c.refusal != nullptr) {
            ExpectDecodeFailure(BuildBmp(layout), 1, c.refusal);
            continue;
        }
        PLMemBitmap bitmap;
        DecodeBytes(BuildBmp(layout), bitmap);
        EXPECT_EQ(bitmap.ColorTable()[c.entries - 1], PLColor(1, 2, 3, 255));
        EXPECT_EQ(bitmap.ColorTable()[c.entries - 2],
                  PLColor(static_cast<std::uint8_t>(c.entries - 2), static_cast<std::uint8_t>(c.entries - 2),
                          static_cast<std::uint8_t>(c.entries - 2), 255));
        EXPECT_EQ(PixelsOf(bitmap), Bytes{layout.pixels[0]});
    }
}

TEST(BmpReader, Os2HeadersUseThreeByteEntriesAndTheDataOffset)
{
    struct Case {
        std::int64_t dataOffset;
        Bytes pixels;
        // clang-format off
    } cases[] = {
        {794, {5, 6, 0, 0}},                        // 14 + 12 + 768: the rows follow the table
        {800, {9, 9, 9, 9, 9, 9, 5, 6, 0, 0}},      // 6 bytes skipped to reach the rows
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dataOffset);
        BmpLayout layout;
        layout.headerSize = 12;
        layout.width = 2;
        layout.colors = Greys(256);
        layout.colors[6] = PLColor(10, 20, 30);
        layout.pixels = c.pixels;
        layout.dataOffset = c.dataOffset;
        PLMemBitmap bitmap;
        DecodeBytes(BuildBmp(layout), bitmap);
        EXPECT_EQ(PixelsOf(bitmap), (Bytes{5, 6}));
        EXPECT_EQ(bitmap.ColorTable()[6], PLColor(10, 20, 30, 255));
        EXPECT_EQ(bitmap.Resolution(), (PLPoint{0, 0}));
    }
}

TEST(BmpReader, WindowsRowsStartAtADataOffsetBeyondTheColorTable)
{
    // A 2 x 1 file with a 4-entry table: the table ends at 14 + 40 + 16 = 70.
    // Pixels 5, 6 are the row; 9s are bytes the offset skips.
    struct Case {
        const char* name;
        std::uint32_t colorsUsed;
        std::int64_t dataOffset;
        Bytes stored; // everything after the table
        Bytes pixels;
    } cases[] = {
        {"right after the table", 4, 70, {5, 6, 0, 0}, {5, 6}},
        {"a gap of 6 bytes", 4, 76, {9, 9, 9, 9, 9, 9, 5, 6, 0, 0}, {5, 6}},
        {"a gap of 1 byte", 4, 71, {9, 5, 6, 0, 0}, {5, 6}},
        {"room for 256 entries, 4 given", 4, 14 + 40 + 1024, Bytes(1008, 9), {5, 6}},
        // Offsets that cannot be right: the rows follow the table, as most readers take them.
        {"offset 0", 4, 0, {5, 6, 0, 0}, {5, 6}},
        {"offset inside the headers", 4, 54, {5, 6, 0, 0}, {5, 6}},
        {"offset inside the table", 4, 66, {5, 6, 0, 0}, {5, 6}},
        {"offset past the end of the file", 4, 75, {5, 6, 0, 0}, {5, 6}},
        {"offset far past the end", 4, 0xFFFFFFFF, {5, 6, 0, 0}, {5, 6}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stored.size() == 1008) // the row at 1,078, after 1,008 bytes of gap
            c.stored.insert(c.stored.end(), {5, 6, 0, 0});
        BmpLayout layout;
        layout.width = 2;
        layout.colorsUsed = c.colorsUsed;
        layout.colors = Greys(static_cast<int>(c.colorsUsed));
        layout.pixels = c.stored;
        layout.dataOffset = c.dataOffset;
        PLMemBitmap bitmap;
        DecodeBytes(BuildBmp(layout), bitmap);
        EXPECT_EQ(PixelsOf(bitmap), c.pixels);
        EXPECT_EQ(bitmap.ColorTable()[3], PLColor(3, 3, 3, 255));
    }
}

TEST(BmpReader, WindowsDataOffsetAtTheEndLeavesNoRows)
{
    // The offset names the end of the file: the rows it promises are not there.
    BmpLayout layout;
    layout.width = 2;
    layout.colorsUsed = 2;
    layout.colors = Greys(2);
    layout.pixels = {5, 6, 0, 0};
    layout.dataOffset = 14 + 40 + 8 + 4;
    PLMemBitmap bitmap;
    try {
        DecodeBytes(BuildBmp(layout), bitmap);
        ADD_FAILURE() << "decoded";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), 11);
        EXPECT_STREQ(e.Text(),
                     "Decoder error: BMP pixel data: 0 bytes left in the file, at least 2 needed for 2 x 1 pixels\n");
    }
}

TEST(BmpReader, BitmapArrayHeadersInFrontAreSkipped)
{
    struct Case {
        const char* name;
        std::uint32_t headerSize;
        std::uint32_t arrayHeaders;
    } cases[] = {{"windows, one", 40, 1}, {"windows, three", 40, 3}, {"os/2, two", 12, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout layout;
        layout.headerSize = c.headerSize;
        layout.width = 2;
        layout.colors = Greys(256);
        layout.pixels = {7, 8, 0, 0};
        // An OS/2 data offset counts from the start of the whole file.
        layout.dataOffset = 14 + c.headerSize + (c.headerSize == 12 ? 768 : 1024) + 14 * c.arrayHeaders;
        Bytes file;
        for (std::uint32_t i = 0; i < c.arrayHeaders; ++i) {
            Bytes array = {'B', 'A'};
            AppendU32(array, 14);  // header size
            AppendU32(array, 0);   // offset of the next array entry: none
            AppendU16(array, 640); // display width
            AppendU16(array, 480); // display height
            file.insert(file.end(), array.begin(), array.end());
        }
        Bytes bmp = BuildBmp(layout);
        file.insert(file.end(), bmp.begin(), bmp.end());
        PLMemBitmap bitmap;
        DecodeBytes(file, bitmap);
        EXPECT_EQ(PixelsOf(bitmap), (Bytes{7, 8}));
    }
}

TEST(BmpReader, LongerInfoHeadersAreSkippedPastTheirFirst40Bytes)
{
    const std::uint32_t sizes[] = {40, 52, 56, 64, 108, 124};
    for (std::uint32_t size : sizes) {
        SCOPED_TRACE(size);
        BmpLayout layout;
        layout.headerSize = size;
        layout.width = 3;
        layout.colorsUsed = 2;
        layout.colors = {PLColor(1, 1, 1), PLColor(2, 2, 2)};
        layout.pixels = {1, 0, 1, 0};
        PLMemBitmap bitmap;
        DecodeBytes(BuildBmp(layout), bitmap);
        EXPECT_EQ(PixelsOf(bitmap), (Bytes{1, 0, 1}));
        EXPECT_EQ(bitmap.ColorTable()[1], PLColor(2, 2, 2, 255));
    }
}

TEST(BmpReader, PixelsPerMetreBecomeDotsPerInch)
{
    // clang-format off
    const std::pair<std::int32_t, int> cases[] = {
        {2835, 72}, {3780, 96}, {11811, 300}, {59, 0}, {60, 2}, {39, 0}, {0, 0}, {-2835, 0},
        {1417, 36}, {INT32_MAX, 54546196},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(PLBmpReader::DotsPerInch(c.first), c.second);
        BmpLayout layout;
        layout.xPixelsPerMetre = c.first;
        layout.yPixelsPerMetre = 2835;
        layout.colors = Greys(2);
        layout.colorsUsed = 2;
        layout.pixels = {0, 0, 0, 0};
        PLMemBitmap bitmap;
        DecodeBytes(BuildBmp(layout), bitmap);
        EXPECT_EQ(bitmap.Resolution(), (PLPoint{c.second, 72}));
    }
}

struct RleCase {
    const char* name;
    int width;
    int height;
    Bytes data;
    Bytes pixels; // top row first
};

// A width x height picture of zeros whose bottom row starts with run.
Bytes WithBottomRun(int width, int height, const Bytes& run)
{
    Bytes pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    std::copy(run.begin(), run.end(), pixels.end() - width);
    return pixels;
}

void ExpectRleCases(std::uint16_t bitCount, const std::vector<RleCase>& cases)
{
    for (const RleCase& c : cases) {
        SCOPED_TRACE(c.name);
        BmpLayout layout;
        layout.bitCount = bitCount;
        layout.compression = bitCount == 8 ? 1 : 2;
        layout.width = c.width;
        layout.height = c.height;
        layout.colors = Greys(16);
        layout.colorsUsed = 16;
        layout.pixels = c.data;
        PLMemBitmap bitmap;
        // Stale pixels would show if the decoder left any unwritten.
        bitmap.Create(c.width, c.height, 8, false, false, {0, 0});
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                bitmap.Lines()[y][x] = 0xEE;
        DecodeBytes(BuildBmp(layout), bitmap);
        EXPECT_EQ(PixelsOf(bitmap), c.pixels);
    }
}

TEST(BmpReader, Rle8RunsEscapesAndClipping)
{
    ExpectRleCases(
        8, {
               {"run, end of bitmap", 3, 1, {3, 7, 0, 1}, {7, 7, 7}},
               {"run, end of the only row; the rest unread", 3, 1, {3, 7, 0, 0, 0, 2}, {7, 7, 7}},
               {"odd absolute run and its padding byte", 3, 1, {0, 3, 10, 11, 12, 0, 0, 1}, {10, 11, 12}},
               {"even absolute run", 4, 1, {0, 4, 1, 2, 3, 4, 0, 1}, {1, 2, 3, 4}},
               {"run clipped to the row", 3, 1, {5, 7, 0, 1}, {7, 7, 7}},
               {"runs past the end of the row are dropped", 3, 2, {2, 7, 9, 8, 0, 0, 3, 4, 0, 1}, {4, 4, 4, 7, 7, 8}},
               {"absolute run clipped", 3, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, {1, 2, 3}},
               {"row ended early", 3, 2, {1, 9, 0, 0, 3, 5, 0, 0}, {5, 5, 5, 9, 0, 0}},
               {"bitmap ended early", 3, 2, {2, 5, 0, 1}, {0, 0, 0, 5, 5, 0}},
               {"bitmap ended at once", 2, 2, {0, 1}, {0, 0, 0, 0}},
               {"255-pixel run", 255, 1, {255, 3, 0, 1}, Bytes(255, 3)},
               // Far fewer bytes than pixels: what was once refused as too little data.
               {"one run in 200 x 200, then the end", 200, 200, {5, 7, 0, 1}, WithBottomRun(200, 200, Bytes(5, 7))},
               {"every row ended at once", 300, 3, {0, 0, 0, 0, 0, 0}, Bytes(900, 0)},
               {"one absolute run in 1000 x 2, then the end",
                1000,
                2,
                {0, 3, 1, 2, 3, 0, 0, 1},
                WithBottomRun(1000, 2, {1, 2, 3})},
           });
}

TEST(BmpReader, Rle4RunsEscapesAndClipping)
{
    ExpectRleCases(
        4,
        {
            {"run of alternating nibbles", 5, 1, {5, 0x12, 0, 1}, {1, 2, 1, 2, 1}},
            {"absolute run of two bytes, no padding", 3, 1, {0, 3, 0x12, 0x30, 0, 0}, {1, 2, 3}},
            {"absolute run of three bytes and a padding byte",
             5,
             1,
             {0, 5, 0x12, 0x34, 0x50, 0, 0, 0},
             {1, 2, 3, 4, 5}},
            {"run clipped", 3, 1, {7, 0x12, 0, 1}, {1, 2, 1}},
            {"absolute run clipped", 2, 1, {0, 4, 0x12, 0x34, 0, 1}, {1, 2}},
            {"bottom-up rows", 2, 2, {2, 0x11, 0, 0, 2, 0x22, 0, 1}, {2, 2, 1, 1}},
            {"bitmap ended early", 2, 2, {1, 0xF0, 0, 1}, {0, 0, 15, 0}},
            {"one run in 200 x 200, then the end", 200, 200, {5, 0x12, 0, 1}, WithBottomRun(200, 200, {1, 2, 1, 2, 1})},
        });
}

TEST(BmpReader, TopDownRleRowsGoTopFirst)
{
    BmpLayout layout;
    layout.compression = 1;
    layout.width = 2;
    layout.height = -2;
    layout.colors = Greys(4);
    layout.colorsUsed = 4;
    layout.pixels = {2, 1, 0, 0, 2, 3, 0, 1};
    PLMemBitmap bitmap;
    DecodeBytes(BuildBmp(layout), bitmap);
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{1, 1, 3, 3}));
}

struct FailureCase {
    const char* name;
    Bytes file;
    int code;
    std::string text;
};

BmpLayout Valid8Bit()
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.colors = Greys(4);
    layout.colorsUsed = 4;
    layout.pixels = {1, 2, 3, 0, 3, 2, 1, 0};
    return layout;
}

template <typename Change>
Bytes Variant(Change change)
{
    BmpLayout layout = Valid8Bit();
    change(layout);
    return BuildBmp(layout);
}

TEST(BmpReader, RefusesWhatItCannotReadWithAClearText)
{
    const std::string notBitmap = "Decoder error: Bitmap decoder: This isn't a bitmap.\n";
    const std::string depth = "Image bit depth doesn't match request.";
    const std::string illegalBpp = "Decoder error: Decoding bmp: Illegal bpp value.\n";
    const std::string endOfFile = "End of file reached while decoding.\n";
    Bytes truncated = ThreeByTwo8Bit();
    truncated.pop_back();
    Bytes signature = ThreeByTwo8Bit();
    signature[0] = 'X';
    signature[1] = 'Y';

    const FailureCase cases[] = {
        {"signature XY", signature, 1, notBitmap},
        {"empty file", {}, 11, endOfFile},
        {"signature only", {'B', 'M'}, 11, endOfFile},
        {"cut in the pixel data", truncated, 11, endOfFile},
        {"24 bits, headers only", Variant([](BmpLayout& l) {
             l.bitCount = 24;
             l.colors.clear();
             l.colorsUsed = 0;
             l.pixels.clear();
         }),
         6, depth},
        {"32 bits", Variant([](BmpLayout& l) {
             l.bitCount = 32;
             l.colors.clear();
             l.colorsUsed = 0;
         }),
         6, depth},
        {"16 bits", Variant([](BmpLayout& l) {
             l.bitCount = 16;
             l.colors.clear();
             l.colorsUsed = 0;
         }),
         6, depth},
        {"2 bits", Variant([](BmpLayout& l) {
             l.bitCount = 2;
             l.colorsUsed = 0;
         }),
         2, illegalBpp},
        {"2 bits, colour table cut: it is read first", Variant([](BmpLayout& l) {
             l.bitCount = 2;
             l.colorsUsed = 0;
             l.colors.resize(3);
             l.pixels.clear();
         }),
         11, endOfFile},
        {"0 bits", Variant([](BmpLayout& l) {
             l.bitCount = 0;
             l.colorsUsed = 1;
             l.colors.resize(1);
         }),
         2, illegalBpp},
        {"7 bits", Variant([](BmpLayout& l) { l.bitCount = 7; }), 2, illegalBpp},
        {"RLE8 delta", Variant([](BmpLayout& l) {
             l.compression = 1;
             l.pixels = {1, 1, 0, 2, 1, 1, 0, 1};
         }),
         6, "Decoder error: Encountered delta escape.\n"},
        {"RLE4 delta", Variant([](BmpLayout& l) {
             l.bitCount = 4;
             l.compression = 2;
             l.pixels = {0, 2, 1, 1};
         }),
         6, "Decoder error: Encountered delta escape.\n"},
        {"RLE without an end", Variant([](BmpLayout& l) {
             l.compression = 1;
             l.pixels = {3, 7};
         }),
         11, endOfFile},
        {"width 0", Variant([](BmpLayout& l) { l.width = 0; }), 1,
         "Decoder error: BMP width: 0 pixels, expected 1 or more\n"},
        {"width -3", Variant([](BmpLayout& l) { l.width = -3; }), 1,
         "Decoder error: BMP width: -3 pixels, expected 1 or more\n"},
        {"height 0", Variant([](BmpLayout& l) { l.height = 0; }), 1,
         "Decoder error: BMP height: 0 rows, expected at least 1 (or -1 and less for top-down rows)\n"},
        {"OS/2 width 0", Variant([](BmpLayout& l) {
             l.headerSize = 12;
             l.width = 0;
             l.colors = Greys(256);
         }),
         1, "Decoder error: BMP width: 0 pixels, expected 1 or more\n"},
        {"height -2147483648", Variant([](BmpLayout& l) { l.height = INT_MIN; }), 6,
         "Decoder error: BMP height: -2147483648 rows, at most 2147483647 top-down rows\n"},
        {"300 colours", Variant([](BmpLayout& l) { l.colorsUsed = 300; }), 1,
         "Decoder error: BMP colour table: 300 entries, at most 256\n"},
        {"info header of 16 bytes", Variant([](BmpLayout& l) { l.headerSize = 16; }), 1,
         "Decoder error: BMP info header: size 16, expected 12 or at least 40\n"},
        {"info header of 0 bytes", Variant([](BmpLayout& l) { l.headerSize = 0; }), 1,
         "Decoder error: BMP info header: size 0, expected 12 or at least 40\n"},
        {"info header of 1 byte", Variant([](BmpLayout& l) { l.headerSize = 1; }), 1,
         "Decoder error: BMP info header: size 1, expected 12 or at least 40\n"},
        {"info header of 4 GB", Variant([](BmpLayout& l) {
             l.headerSize = 0xFFFFFFF0;
             l.pixels.clear();
         }),
         11, endOfFile},
        {"OS/2 data offset inside the colour table", Variant([](BmpLayout& l) {
             l.headerSize = 12;
             l.colors = Greys(256);
             l.dataOffset = 790;
         }),
         1, "Decoder error: BMP data offset: 790, but the headers and colour table end at 794\n"},
        {"OS/2 data offset of 0", Variant([](BmpLayout& l) {
             l.headerSize = 12;
             l.colors = Greys(256);
             l.dataOffset = 0;
         }),
         1, "Decoder error: BMP data offset: 0, but the headers and colour table end at 794\n"},
        {"OS/2 data offset past the end", Variant([](BmpLayout& l) {
             l.headerSize = 12;
             l.colors = Greys(256);
             l.dataOffset = 0xFFFFFFFF;
         }),
         11, endOfFile},
        {"60000 x 60000 in a few bytes", Variant([](BmpLayout& l) { l.width = l.height = 60000; }), 11,
         "Decoder error: BMP pixel data: 8 bytes left in the file, at least 3600000000 needed for 60000 x 60000 "
         "pixels\n"},
        // RLE data may end at once, so only the bitmap's own limit is left
        // (the converter judges the size from the header first).
        {"60000 x 60000 RLE8 in a few bytes", Variant([](BmpLayout& l) {
             l.width = l.height = 60000;
             l.compression = 1;
             l.pixels = {0, 1};
         }),
         6,
         "Decoder error: Bitmap storage: 60000 x 60000 at 8 bits per pixel is too large, at most 2147483647 bytes\n"},
        {"2147483647 x 2147483647 at 1 bit", Variant([](BmpLayout& l) {
             l.width = l.height = INT_MAX;
             l.bitCount = 1;
             l.colors.resize(2);
             l.colorsUsed = 2;
         }),
         11,
         "Decoder error: BMP pixel data: 8 bytes left in the file, at least 576460751766552577 needed for "
         "2147483647 x 2147483647 pixels\n"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectDecodeFailure(c.file, c.code, c.text);
    }
}

TEST(BmpReader, DepthRefusalLeavesTheTargetAsItWas)
{
    Bytes file = Variant([](BmpLayout& l) {
        l.bitCount = 24;
        l.colors.clear();
        l.colorsUsed = 0;
    });
    PLMemBitmap bitmap;
    bitmap.Create(5, 5, 8, false, false, {0, 0});
    EXPECT_THROW(DecodeBytes(file, bitmap), PLTextException);
    EXPECT_EQ(bitmap.Size(), (PLPoint{5, 5}));
}

TEST(BmpReader, WantedDepthsOtherThanTheFilesAreHandled)
{
    PLMemBitmap bitmap;
    DecodeBytes(ThreeByTwo8Bit(), bitmap, 0);
    EXPECT_EQ(bitmap.BitsPerPixel(), 8) << "0 takes the announced depth";
    ExpectDecodeFailure(ThreeByTwo8Bit(), 6,
                        "Decoder error: Depth conversion: 32 bits per pixel wanted, the image has 8\n", 32);
    Bytes trueColor = Variant([](BmpLayout& l) {
        l.bitCount = 24;
        l.colors.clear();
        l.colorsUsed = 0;
        l.pixels = Bytes(24, 7);
    });
    DecodeBytes(trueColor, bitmap, 0);
    EXPECT_EQ(PLImageInfo(bitmap), PLImageInfo({3, 2}, 32, {0, 0}, false, false)) << "0 takes the announced 32 bits";
    EXPECT_EQ(bitmap.Lines()[1][3], 255) << "opaque";
}

TEST(BmpReader, DecodeFileReadsFilesAndNamesTheOneItCannotOpen)
{
    ScratchFolder folder;
    std::string path = folder / "three.bmp";
    ASSERT_TRUE(WriteBytes(path, ThreeByTwo8Bit()));
    PLMemBitmap bitmap;
    PLBmpReader reader;
    reader.DecodeFile(path.c_str(), bitmap, 8);
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{3, 0, 1, 1, 2, 3}));

    std::string missing = folder / "missing.bmp";
    try {
        reader.DecodeFile(missing.c_str(), bitmap, 8);
        FAIL() << "a missing file decoded";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), -1);
        EXPECT_EQ(std::string(e.Text()), "Decoder error: Opening " + missing + " failed\n");
    }
    // The reader is usable again after a failure.
    reader.DecodeFile(path.c_str(), bitmap, 8);
    EXPECT_EQ(bitmap.Size(), (PLPoint{3, 2}));

    // A file larger than the library's sizes is refused, and says so.
    std::string huge = folder / "huge.bmp";
    ASSERT_TRUE(WriteSparseFile(huge, ThreeByTwo8Bit(), 0x100000000 + 12));
    try {
        reader.DecodeFile(huge.c_str(), bitmap, 8);
        FAIL() << "a 4 GiB + 12 file decoded";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), -1);
        EXPECT_EQ(std::string(e.Text()),
                  "Decoder error: Opening " + huge + " failed: 4294967308 bytes, at most 2147483647 can be read\n");
    }
    EXPECT_EQ(bitmap.Size(), (PLPoint{3, 2}));
}

TEST(BmpReader, OpenAnnouncesTheImageBeforeAnyPixelIsAllocated)
{
    // 1 x 67,108,864 pixels of RLE8 in a few bytes: the header alone tells
    // the size, and a caller that will not hold it closes without a decode.
    BmpLayout layout = Valid8Bit();
    layout.width = 1;
    layout.height = 67108864;
    layout.compression = 1;
    layout.pixels = {0, 1};
    Bytes file = BuildBmp(layout);
    PLBmpReader reader;
    reader.OpenMemory(file.data(), static_cast<int>(file.size()));
    EXPECT_EQ(reader.Size(), (PLPoint{1, 67108864}));
    EXPECT_EQ(reader.BitsPerPixel(), 8);
    reader.Close();

    // Judged small enough, the same reader decodes the next one.
    layout.width = 3;
    layout.height = -2;
    layout.pixels = {2, 1, 0, 1};
    file = BuildBmp(layout);
    reader.OpenMemory(file.data(), static_cast<int>(file.size()));
    PLMemBitmap bitmap;
    reader.DecodeInto(bitmap, 8);
    reader.Close();
    EXPECT_EQ(PixelsOf(bitmap), (Bytes{1, 1, 0, 0, 0, 0}));
}

} // namespace
