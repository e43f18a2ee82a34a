// Rows of indices scaled into RGB rows as they arrive: the source's own size
// gives the colour map's colours exactly; shrinking averages boxes with
// rounding, growing repeats pixels; rows never handed over, or skipped, are
// index 0; and the largest picture whose data ends in its first row scales
// into a thumbnail by filling rather than by visiting its pixels.
#include "desktop/common/PicRowScaler.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

using Rgb = std::vector<unsigned char>;

// Index i is (i, 2 i, 255 - i) mod 256, so every channel tells the index.
struct ColorMap {
    unsigned char rgb[3 * 256];
    ColorMap()
    {
        for (int i = 0; i < 256; ++i) {
            rgb[3 * i] = static_cast<unsigned char>(i);
            rgb[3 * i + 1] = static_cast<unsigned char>(2 * i);
            rgb[3 * i + 2] = static_cast<unsigned char>(255 - i);
        }
    }
};

// Scales the first rowsGiven rows of a fromWidth-wide picture of indices
// (row-major) into toWidth x toHeight; rows past those are never handed over.
// The output's rows are padded to check that nothing is written between them.
Rgb ScaleRows(const std::vector<unsigned char>& indices, int fromWidth, int fromHeight, int toWidth, int toHeight,
              int rowsGiven, const unsigned char* colors)
{
    const std::size_t stride = 3 * static_cast<std::size_t>(toWidth) + 5;
    Rgb out(stride * static_cast<std::size_t>(toHeight), 0xEE);
    PicRowScaler scaler;
    EXPECT_TRUE(scaler.Start(fromWidth, fromHeight, toWidth, toHeight, colors, out.data(), stride));
    for (int y = 0; y < rowsGiven; ++y)
        EXPECT_TRUE(scaler.TakeRow(
            y, indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(fromWidth), fromWidth));
    scaler.Finish();
    EXPECT_EQ(scaler.RowsDone(), toHeight);
    Rgb packed;
    for (int y = 0; y < toHeight; ++y) {
        const unsigned char* row = out.data() + static_cast<std::size_t>(y) * stride;
        packed.insert(packed.end(), row, row + 3 * toWidth);
        for (std::size_t pad = 3 * static_cast<std::size_t>(toWidth); pad < stride; ++pad)
            EXPECT_EQ(row[pad], 0xEE) << "row " << y << " wrote past its pixels";
    }
    return packed;
}

// The colours of a row of indices through ColorMap.
Rgb Colors(std::initializer_list<int> indices)
{
    Rgb rgb;
    for (int i : indices)
        rgb.insert(rgb.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(2 * i),
                               static_cast<unsigned char>(255 - i)});
    return rgb;
}

Rgb Joined(Rgb first, const Rgb& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

TEST(PicRowScaler, KeepsTheColorsAtTheSourcesSize)
{
    ColorMap map;
    std::vector<unsigned char> indices(13 * 7);
    for (std::size_t i = 0; i < indices.size(); ++i)
        indices[i] = static_cast<unsigned char>(i * 37 + 11);
    Rgb expected;
    for (unsigned char i : indices)
        expected.insert(expected.end(), map.rgb + 3 * i, map.rgb + 3 * i + 3);
    EXPECT_EQ(ScaleRows(indices, 13, 7, 13, 7, 7, map.rgb), expected);
}

// rowsGiven rows are handed over; those after them are index 0 (0, 0, 255).
TEST(PicRowScaler, AveragesShrinksRepeatsGrowthsAndFillsWhatIsNotGiven)
{
    ColorMap map;
    struct Case {
        const char* what;
        int fromWidth, fromHeight, rowsGiven;
        std::vector<unsigned char> indices;
        int toWidth, toHeight;
        Rgb expected;
    };
    // clang-format off
    const Case cases[] = {
        {"2 x 2 boxes", 4, 2, 2, {10, 20, 100, 100,
                                  30, 40, 102, 102}, 2, 1, Colors({25, 101})},
        // (1 + 2) / 2 rounds up: 1.5 gives 2 in red; 2 x 1.5 = 3 exactly in green.
        {"half rounds up", 2, 1, 1, {1, 2}, 1, 1, Rgb{2, 3, 254}},
        // 5 columns into 2: boxes of columns 0-1 and 2-4.
        {"uneven columns", 5, 1, 1, {0, 10, 30, 60, 90}, 2, 1, Colors({5, 60})},
        // 3 rows into 2: boxes of row 0 and rows 1-2.
        {"uneven rows", 1, 3, 3, {8, 40, 60}, 1, 2, Colors({8, 50})},
        {"one pixel of all", 3, 2, 2, {0, 6, 12,
                                       18, 24, 30}, 1, 1, Colors({15})},
        {"wider only", 2, 1, 1, {7, 9}, 5, 1, Colors({7, 7, 7, 9, 9})},
        {"taller only", 1, 2, 2, {7, 9}, 1, 3, Colors({7, 7, 9})},
        {"grown both ways", 2, 2, 2, {1, 2,
                                      3, 4}, 4, 4, Colors({1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4})},
        {"narrower, taller", 4, 1, 1, {2, 4, 6, 8}, 2, 2, Colors({3, 7, 3, 7})},
        {"no rows at all", 3, 3, 0, {}, 2, 2, Colors({0, 0, 0, 0})},
        {"own size, the last row missing", 2, 2, 1, {5, 6}, 2, 2, Colors({5, 6, 0, 0})},
        // A box half given, half index 0: 100 / 2 in red, 200 / 2 in green, (155 + 255) / 2 in blue.
        {"box cut in half", 1, 4, 1, {100}, 1, 2, Joined(Rgb{50, 100, 205}, Colors({0}))},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ScaleRows(c.indices, c.fromWidth, c.fromHeight, c.toWidth, c.toHeight, c.rowsGiven, map.rgb),
                  c.expected);
    }
}

TEST(PicRowScaler, SkippedRowsAreIndexZeroAndDisorderStops)
{
    ColorMap map;
    Rgb out(3 * 2 * 3);
    PicRowScaler scaler;
    ASSERT_TRUE(scaler.Start(2, 3, 2, 3, map.rgb, out.data(), 6));
    const unsigned char row[] = {4, 8};
    EXPECT_TRUE(scaler.TakeRow(2, row, 2));
    EXPECT_EQ(scaler.RowsDone(), 3);
    EXPECT_EQ(out, Colors({0, 0, 0, 0, 4, 8}));
    EXPECT_FALSE(scaler.TakeRow(1, row, 2)) << "a row handed over twice";

    ASSERT_TRUE(scaler.Start(2, 3, 2, 3, map.rgb, out.data(), 6));
    EXPECT_FALSE(scaler.TakeRow(0, row, 3)) << "a row of another width";
    EXPECT_FALSE(scaler.TakeRow(3, row, 2)) << "a row below the picture";
    EXPECT_FALSE(scaler.Start(0, 3, 2, 3, map.rgb, out.data(), 6));
    EXPECT_FALSE(scaler.Start(2, 3, 2, 0, map.rgb, out.data(), 6));
}

TEST(PicRowScaler, TheLargestPictureEndingInItsFirstRowFillsTheRest)
{
    ColorMap map;
    const int side = 32767;
    // Index 255 is 255, 254, 0; index 0 is 0, 0, 255.
    std::vector<unsigned char> first(side, 255);
    Rgb thumbnail = ScaleRows(first, side, side, 256, 256, 1, map.rgb);
    // The first output row's boxes are 127 rows deep, one of them given:
    // red 255 / 127 and green 254 / 127 round to 2, blue 126 x 255 / 127 to 253.
    Rgb expected;
    for (int x = 0; x < 256; ++x)
        expected.insert(expected.end(), {2, 2, 253});
    for (int i = 256; i < 256 * 256; ++i)
        expected.insert(expected.end(), {0, 0, 255});
    EXPECT_EQ(thumbnail, expected);
}

} // namespace
