// Window arithmetic: where the picture, its frame and the palette strip go.
#include "viewer/ViewLayout.h"

#include <gtest/gtest.h>

#include <ostream>

bool operator==(const Rect& a, const Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

TEST(ViewLayout, CentresThePictureAboveTheStrip)
{
    struct Case {
        const char* name;
        int clientRight, clientBottom, bitmapWidth, bitmapHeight;
        bool magnify, palette;
        int x, y, width, height, areaBottom;
    };
    const Case cases[] = {
        {"320 x 200 in 800 x 600", 800, 600, 320, 200, false, false, 240, 200, 320, 200, 600},
        {"magnified", 800, 600, 320, 200, true, false, 80, 100, 640, 400, 600},
        {"magnified above the strip", 800, 600, 320, 200, true, true, 80, 85, 640, 400, 570},
        {"1x above the strip", 800, 600, 320, 200, false, true, 240, 185, 320, 200, 570},
        {"odd space truncates", 801, 601, 320, 200, false, false, 240, 200, 320, 200, 601},
        {"wider than the area", 800, 600, 1000, 100, false, false, 0, 250, 1000, 100, 600},
        {"taller than the area", 800, 600, 100, 700, false, false, 350, 0, 100, 700, 600},
        {"magnified past the area", 800, 600, 500, 400, true, true, 0, 0, 1000, 800, 570},
        {"equal to the area", 320, 200, 320, 200, false, false, 0, 0, 320, 200, 200},
        {"no picture", 800, 600, 0, 0, false, true, 400, 285, 0, 0, 570},
        {"client shorter than the strip", 100, 20, 10, 10, false, true, 45, 0, 10, 10, -10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PicturePlace place =
            PlacePicture(c.clientRight, c.clientBottom, c.bitmapWidth, c.bitmapHeight, c.magnify, c.palette);
        EXPECT_EQ(place.x, c.x);
        EXPECT_EQ(place.y, c.y);
        EXPECT_EQ(place.width, c.width);
        EXPECT_EQ(place.height, c.height);
        EXPECT_EQ(place.areaBottom, c.areaBottom);
    }
}

TEST(ViewLayout, FrameLiesTwoPixelsOutsideThePicture)
{
    const struct {
        PicturePlace place;
        Rect frame;
    } cases[] = {
        {{240, 200, 320, 200, 600}, {238, 198, 562, 402}},
        {{0, 0, 1000, 800, 570}, {-2, -2, 1002, 802}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrameEdge(c.place), c.frame);
}

TEST(ViewLayout, PaletteStripPanelsAndSwatches)
{
    struct Case {
        const char* name;
        int clientRight, stripTop, margin;
        Rect band, leftPanel, rightPanel;
        int index;
        Rect left, right;
    };
    // clang-format off
    const Case cases[] = {
        {"800 wide, first colour", 800, 570, 15, {0, 570, 800, 600}, {14, 572, 399, 597}, {400, 572, 785, 597},
         0, {15, 573, 20, 578}, {401, 573, 407, 578}},
        {"800 wide, end of the first row", 800, 570, 15, {0, 570, 800, 600}, {14, 572, 399, 597},
         {400, 572, 785, 597}, 63, {393, 573, 398, 578}, {779, 573, 785, 578}},
        {"800 wide, second row", 800, 570, 15, {0, 570, 800, 600}, {14, 572, 399, 597}, {400, 572, 785, 597},
         64, {15, 579, 20, 584}, {401, 579, 407, 584}},
        {"800 wide, last colour", 800, 570, 15, {0, 570, 800, 600}, {14, 572, 399, 597}, {400, 572, 785, 597},
         255, {393, 591, 398, 596}, {779, 591, 785, 596}},
        // Narrower than the strip: the margin stays 3, the right panel is cut.
        {"700 wide", 700, 100, 3, {0, 100, 700, 130}, {2, 102, 387, 127}, {388, 102, 773, 127}, 130,
         {15, 115, 20, 120}, {401, 115, 407, 120}},
        {"776 wide", 776, 0, 3, {0, 0, 776, 30}, {2, 2, 387, 27}, {388, 2, 773, 27}, 1, {9, 3, 14, 8},
         {395, 3, 401, 8}},
        {"777 wide truncates", 777, 0, 3, {0, 0, 777, 30}, {2, 2, 387, 27}, {388, 2, 773, 27}, 2,
         {15, 3, 20, 8}, {401, 3, 407, 8}},
        {"1025 wide", 1025, 738, 127, {0, 738, 1025, 768}, {126, 740, 511, 765}, {512, 740, 897, 765}, 192,
         {127, 759, 132, 764}, {513, 759, 519, 764}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PaletteStrip strip = LayOutPaletteStrip(c.clientRight, c.stripTop);
        EXPECT_EQ(strip.margin, c.margin);
        EXPECT_EQ(strip.band, c.band);
        EXPECT_EQ(strip.leftPanel, c.leftPanel);
        EXPECT_EQ(strip.rightPanel, c.rightPanel);
        EXPECT_EQ(LeftSwatch(strip, c.index), c.left);
        EXPECT_EQ(RightSwatch(strip, c.index), c.right);
    }
}
