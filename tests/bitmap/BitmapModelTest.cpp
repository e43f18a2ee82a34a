#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>

namespace {

TEST(PLMemBitmap, StartsAs16By16At8BitsWithAGreyRamp)
{
    PLMemBitmap bitmap;
    EXPECT_EQ(bitmap.Size(), (PLPoint{16, 16}));
    EXPECT_EQ(bitmap.BitsPerPixel(), 8);
    EXPECT_EQ(bitmap.Resolution(), (PLPoint{0, 0}));
    EXPECT_FALSE(bitmap.HasAlpha());
    EXPECT_FALSE(bitmap.IsGreyscale());
    EXPECT_EQ(bitmap.AccessCount(), 0);
    ASSERT_NE(bitmap.ColorTable(), nullptr);
    for (int i = 0; i < 256; ++i) {
        auto grey = static_cast<std::uint8_t>(i);
        EXPECT_EQ(bitmap.ColorTable()[i], PLColor(grey, grey, grey, 255)) << "entry " << i;
    }
}

struct LayoutCase {
    int width;
    int height;
    int depth;
    int lineBytes;
    std::size_t memoryUsed;
    int colorCount;
};

TEST(PLMemBitmap, RowsArePackedAndSizedByDepth)
{
    const LayoutCase cases[] = {
        // 8 bits: a byte a pixel; estimate = width x height + 1,128.
        {320, 200, 8, 320, 65128, 256},
        {5, 3, 8, 5, 1143, 256},
        {1, 1, 8, 1, 1129, 256},
        // 1 bit: eight pixels a byte, a partly used last byte counts.
        {9, 2, 1, 2, 4 * 2 + 52 + 2 * 2 + 52, 2},
        {8, 1, 1, 1, 4 * 2 + 52 + 1 + 52, 2},
        // 4 bits: two pixels a byte; an odd width needs the half-used byte too.
        {3, 1, 4, 2, 4 * 16 + 52 + 2 + 52, 16},
        // 32 bits: four bytes a pixel, no colour table; estimate 4 x w x h + 104.
        {7, 3, 32, 28, 4 * 7 * 3 + 104, 1 << 24},
        // An empty bitmap is allowed.
        {0, 0, 8, 0, 1128, 256},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.depth);
        PLMemBitmap bitmap;
        bitmap.Create(c.width, c.height, c.depth, false, false, {0, 0});
        EXPECT_EQ(bitmap.LineBytes(), c.lineBytes);
        EXPECT_EQ(bitmap.MemoryUsed(), c.memoryUsed);
        EXPECT_EQ(bitmap.ColorCount(), c.colorCount);
        EXPECT_EQ(bitmap.ColorTable() == nullptr, c.depth > 8);
        for (int y = 1; y < c.height; ++y)
            EXPECT_EQ(bitmap.Lines()[y] - bitmap.Lines()[0], y * c.lineBytes) << "row " << y;
        // Every byte of every row is writable (the sanitizer build checks).
        for (int y = 0; y < c.height; ++y)
            std::memset(bitmap.Lines()[y], 0xA5, static_cast<std::size_t>(c.lineBytes));
    }
}

TEST(PLMemBitmap, TakePixelsHandsOverTheRowsAndLeavesAnEmptyBitmap)
{
    PLMemBitmap bitmap;
    bitmap.Create(3, 2, 8, false, false, {72, 96});
    const std::uint8_t rows[2][3] = {{1, 2, 3}, {4, 5, 6}};
    for (int y = 0; y < 2; ++y)
        std::memcpy(bitmap.Lines()[y], rows[y], 3);
    bitmap.ColorTable()[5] = PLColor(9, 8, 7, 0);
    const std::uint8_t* block = bitmap.Lines()[0];

    std::unique_ptr<std::uint8_t[]> pixels = bitmap.TakePixels();
    EXPECT_EQ(pixels.get(), block) << "the block itself, not a copy";
    EXPECT_EQ(std::memcmp(pixels.get(), rows, 6), 0);
    EXPECT_EQ(bitmap.Size(), (PLPoint{0, 0}));
    EXPECT_EQ(bitmap.BitsPerPixel(), 8);
    EXPECT_EQ(bitmap.Resolution(), (PLPoint{72, 96}));
    EXPECT_EQ(bitmap.LineBytes(), 0);
    EXPECT_EQ(bitmap.MemoryUsed(), 1128u);
    EXPECT_EQ(bitmap.ColorTable()[5], PLColor(9, 8, 7, 0)) << "the colour table stays";
    EXPECT_EQ(bitmap.TakePixels().get(), nullptr) << "nothing is handed out twice";

    bitmap.Create(2, 2, 8, false, false, {0, 0});
    EXPECT_EQ(bitmap.Size(), (PLPoint{2, 2}));
    std::memset(bitmap.Lines()[1], 0, 2);
}

TEST(PLMemBitmap, GreyRampStepsWithTheDepth)
{
    struct Case {
        int depth;
        int entry;
        std::uint8_t grey;
    } cases[] = {
        {1, 0, 0}, {1, 1, 255}, {4, 1, 17}, {4, 15, 255}, {8, 128, 128}, {8, 255, 255}, {2, 1, 85},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " entry " << c.entry);
        PLMemBitmap bitmap;
        bitmap.Create(4, 4, c.depth, false, false, {0, 0});
        EXPECT_EQ(bitmap.ColorTable()[c.entry], PLColor(c.grey, c.grey, c.grey, 255));
    }
}

TEST(PLMemBitmap, CreateReplacesStorageAndSetsTheResolution)
{
    PLMemBitmap bitmap;
    bitmap.ColorTable()[3] = PLColor(1, 2, 3, 4);
    bitmap.Create(10, 4, 8, true, true, {72, 96});
    EXPECT_EQ(PLImageInfo(bitmap), PLImageInfo({10, 4}, 8, {72, 96}, true, true));
    EXPECT_EQ(bitmap.ColorTable()[3], PLColor(3, 3, 3, 255)) << "a new grey ramp";

    PLImageInfo info({2, 3}, 32, {300, 150}, true, false);
    bitmap.CreateFromInfo(info);
    EXPECT_EQ(PLImageInfo(bitmap), info);
}

TEST(PLMemBitmap, RefusedSizesThrowAndLeaveTheBitmapUsable)
{
    struct Case {
        int width;
        int height;
        int depth;
        int code;
        // clang-format off
    } cases[] = {
        {-1, 5, 8, 6},
        {5, -1, 8, 6},
        {INT_MAX, 2, 32, 6},            // a row of 8 GB cannot be counted in an int
        {32767, 32767, 32, 6},          // the largest true-colour picture: 4 GB
        {INT_MAX, INT_MAX, 8, 6},       // 4.6e18 bytes: more than any process addresses
        {46341, 46341, 8, 6},           // just over 2 GB
        {0, INT_MAX, 8, 6},             // no pixels, but a row table of gigabytes
        {4, 4, 3, 2},                   // no such depth
        {4, 4, 0, 2},
        {4, 4, 64, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.depth);
        PLMemBitmap bitmap;
        bitmap.Create(3, 2, 8, false, false, {1, 1});
        bitmap.Lines()[1][2] = 42;
        try {
            bitmap.Create(c.width, c.height, c.depth, false, false, {0, 0});
            ADD_FAILURE() << "accepted";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), c.code);
            EXPECT_EQ(std::strncmp(e.Text(), "Decoder error: Bitmap storage: ", 31), 0) << e.Text();
        }
        EXPECT_EQ(bitmap.Size(), (PLPoint{3, 2})) << "the old bitmap stays";
        EXPECT_EQ(bitmap.Lines()[1][2], 42);
    }
}

TEST(PLMemBitmap, AccessOnlyCountsAndColorTableCopiesAllEntries)
{
    PLMemBitmap bitmap;
    bitmap.BeginAccess(true, false);
    bitmap.BeginAccess(false, true);
    EXPECT_EQ(bitmap.AccessCount(), 2);
    bitmap.EndAccess();
    EXPECT_EQ(bitmap.AccessCount(), 1);

    PLColor table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = PLColor(static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i), 7, 0);
    bitmap.SetColorTable(table);
    EXPECT_EQ(bitmap.ColorTable()[0], table[0]);
    EXPECT_EQ(bitmap.ColorTable()[255], table[255]);
}

TEST(PLImageInfo, TextFormRoundTrips)
{
    PLImageInfo info({320, 200}, 8, {0, 0}, false, false);
    char text[200];
    info.AsText(text, sizeof text);
    EXPECT_STREQ(text, "{ Size: (320, 200), bpp: 8, Resolution: (0, 0), Alpha: 0, Greyscale: 0 }");
    EXPECT_EQ(PLImageInfo::FromText(text), info);

    PLImageInfo other({-5, 7}, 32, {72, 300}, true, true);
    other.AsText(text, sizeof text);
    EXPECT_EQ(PLImageInfo::FromText(text), other);

    char small[10];
    info.AsText(small, sizeof small);
    EXPECT_STREQ(small, "{ Size: (") << "cut to the caller's buffer";
}

TEST(PLImageInfo, FromTextTakesScanfIntegersAndAnyNonZeroFlag)
{
    PLImageInfo info =
        PLImageInfo::FromText("{ Size: (0x10, 010), bpp: 8, Resolution: (-1, 2), Alpha: 5, Greyscale: 0 }");
    EXPECT_EQ(info, PLImageInfo({16, 8}, 8, {-1, 2}, true, false));

    const char* bad[] = {"", "{ Size: (1, 2), bpp: x", "nonsense"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(PLImageInfo::FromText(text), PLTextException);
    }
    EXPECT_THROW(PLImageInfo::FromText(nullptr), PLTextException);
}

TEST(PLImageInfo, EqualityComparesAllSevenFields)
{
    PLImageInfo base({1, 2}, 8, {3, 4}, false, false);
    PLImageInfo changed[] = {
        {{9, 2}, 8, {3, 4}, false, false}, {{1, 9}, 8, {3, 4}, false, false}, {{1, 2}, 9, {3, 4}, false, false},
        {{1, 2}, 8, {9, 4}, false, false}, {{1, 2}, 8, {3, 9}, false, false}, {{1, 2}, 8, {3, 4}, true, false},
        {{1, 2}, 8, {3, 4}, false, true},
    };
    for (const PLImageInfo& other : changed)
        EXPECT_NE(base, other);
    PLImageInfo copy = base;
    EXPECT_EQ(copy, base);
}

} // namespace
