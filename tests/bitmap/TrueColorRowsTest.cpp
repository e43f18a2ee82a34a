#include "bitmap/PLTextException.h"
#include "bitmap/PLTrueColorRows.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using Masks = PLTrueColorRows::Masks;

TEST(PLTrueColorRows, MasksAreCheckedWithAClearText)
{
    struct Case {
        Masks masks;
        int bitCount;
        const char* problem; // empty when accepted
    } cases[] = {
        {{0x7C00, 0x03E0, 0x001F, 0}, 16, ""},
        {{0xF800, 0x07E0, 0x001F, 0}, 16, ""},
        {{0x0F00, 0x00F0, 0x000F, 0xF000}, 16, ""},
        {{0x30, 0x0E, 0x01, 0}, 16, ""}, // 2-3-1, the top bits unused
        {{0xFF0000, 0xFF00, 0xFF, 0}, 24, ""},
        {{0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, 32, ""},
        {{0xFFE00000, 0x001FFC00, 0x000003FF, 0}, 32, ""},          // 11-11-10
        {{0x80000000, 0x40000000, 0x20000000, 0x1FFFFFFF}, 32, ""}, // 1-1-1 and a 29-bit alpha
        {{0, 0x03E0, 0x001F, 0}, 16, "BMP colour masks: the red mask is 0, every colour channel needs bits"},
        {{0x7C00, 0, 0x001F, 0}, 16, "BMP colour masks: the green mask is 0, every colour channel needs bits"},
        {{0x7C00, 0x03E0, 0, 0x8000}, 16, "BMP colour masks: the blue mask is 0, every colour channel needs bits"},
        {{0x7C00, 0x07E0, 0x001F, 0}, 16, "BMP colour masks: red 0x00007C00 and green 0x000007E0 overlap"},
        {{0xF800, 0x07E0, 0x001F, 0x0001}, 16, "BMP colour masks: blue 0x0000001F and alpha 0x00000001 overlap"},
        {{0xF800, 0x07E0, 0x001F, 0}, 32, ""}, // masks may leave bits unused
        {{0x1F0000, 0x07E0, 0x001F, 0}, 16, "BMP colour masks: red 0x001F0000 reaches past the 16 bits of a pixel"},
        {{0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         24,
         "BMP colour masks: alpha 0xFF000000 reaches past the 24 bits of a pixel"},
        {{0xF0F000, 0x0F00, 0x00FF, 0}, 24, "BMP colour masks: red 0x00F0F000 is not one run of bits"},
        {{0xF800, 0x07E0, 0x0015, 0}, 16, "BMP colour masks: blue 0x00000015 is not one run of bits"},
        {{0xF800, 0x07E0, 0x001F, 0x80000001}, 32, "BMP colour masks: alpha 0x80000001 is not one run of bits"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.masks.red << " " << c.masks.green << " " << c.masks.blue << " "
                                        << c.masks.alpha << " at " << std::dec << c.bitCount);
        EXPECT_EQ(PLTrueColorRows::CheckMasks(c.masks, c.bitCount), c.problem);
    }
}

// One pixel of 32 bits holding value in the channel of mask, decoded.
PLColor DecodeOne(const Masks& masks, std::uint32_t pixel)
{
    PLTrueColorRows rows;
    rows.SetLayout(masks, 32);
    const std::uint8_t bytes[] = {static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 8),
                                  static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 24)};
    PLColor color;
    rows.DecodeRow(bytes, &color, 1);
    return color;
}

TEST(PLTrueColorRows, NarrowChannelsWidenSoTheirTopBitsAreTheFileValue)
{
    // Every value of every width from 1 to 8 bits, in red and in alpha, at
    // the bottom of the pixel and higher up.
    for (int bits = 1; bits <= 8; ++bits)
        for (int shift : {0, 3, 32 - bits}) {
            SCOPED_TRACE(testing::Message() << bits << " bits from bit " << shift);
            std::uint32_t low = (1u << bits) - 1;
            std::uint32_t channel = low << shift;
            // The other channels elsewhere in the pixel, one bit each.
            std::uint32_t spare = ~channel;
            std::uint32_t others[3];
            for (std::uint32_t& other : others) {
                other = spare & (0u - spare); // the lowest free bit
                spare &= ~other;
            }
            Masks asRed{channel, others[0], others[1], others[2]};
            Masks asAlpha{others[0], others[1], others[2], channel};
            for (std::uint32_t value = 0; value <= low; ++value) {
                std::uint8_t red = DecodeOne(asRed, value << shift).r;
                std::uint8_t alpha = DecodeOne(asAlpha, value << shift).a;
                EXPECT_EQ(red >> (8 - bits), static_cast<int>(value)) << value;
                EXPECT_EQ(alpha, red) << value;
            }
            EXPECT_EQ(DecodeOne(asRed, 0).r, 0);
            EXPECT_EQ(DecodeOne(asRed, channel).r, 255);
            PLTrueColorRows rows;
            rows.SetLayout(asRed, 32);
            EXPECT_EQ(rows.Bits(), (PLTrueColorRows::ChannelBits{bits, 1, 1, 1}));
        }
    // Worked values: 5 bits 16 is 1000 0100, 6 bits 32 is 1000 0010, 3 bits 5 is 1011 0110.
    EXPECT_EQ(DecodeOne({0x1F, 0x3F00, 0xFF0000, 0}, 16 | 32 << 8).r, 132);
    EXPECT_EQ(DecodeOne({0x1F, 0x3F00, 0xFF0000, 0}, 16 | 32 << 8).g, 130);
    EXPECT_EQ(DecodeOne({0x7, 0x3F00, 0xFF0000, 0}, 5).r, 0xB6);
}

TEST(PLTrueColorRows, WideChannelsKeepTheirTopEightBits)
{
    // 11-11-10: red 0x7FF, green 0x401, blue 0x0FF.
    Masks masks{0xFFE00000, 0x001FFC00, 0x000003FF, 0};
    PLColor color = DecodeOne(masks, 0x7FFu << 21 | 0x401u << 10 | 0x0FF);
    EXPECT_EQ(color, PLColor(255, 128, 63, 255));
    PLTrueColorRows rows;
    rows.SetLayout(masks, 32);
    EXPECT_EQ(rows.Bits(), (PLTrueColorRows::ChannelBits{8, 8, 8, 0})) << "a decoded channel carries 8 bits";
}

TEST(PLTrueColorRows, RowsOfEachPixelSizeDecodeAlike)
{
    // The same three pixels at 16, 24 and 32 bits, with whole-byte channels
    // where the size allows: the byte path and the masked path must agree.
    struct Case {
        const char* name;
        Masks masks;
        int bitCount;
        std::vector<std::uint8_t> row;
    } cases[] = {
        {"24 bits, whole bytes", {0xFF0000, 0xFF00, 0xFF, 0}, 24, {30, 20, 10, 60, 50, 40, 90, 80, 70}},
        {"32 bits, whole bytes and padding",
         {0xFF0000, 0xFF00, 0xFF, 0},
         32,
         {30, 20, 10, 1, 60, 50, 40, 2, 90, 80, 70, 3}},
        {"32 bits, red in the low byte",
         {0xFF, 0xFF00, 0xFF0000, 0},
         32,
         {10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0}},
        // Bits 4 to 27, with the unused bits around them set in the second and third pixels.
        {"32 bits, masks not on bytes",
         {0xFF00000, 0xFF000, 0xFF0, 0},
         32,
         {0xE0, 0x41, 0xA1, 0x00, 0xC3, 0x23, 0x83, 0x32, 0xAC, 0x05, 0x65, 0xF4}},
    };
    const std::vector<PLColor> expected = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(PLTrueColorRows::CheckMasks(c.masks, c.bitCount), "");
        PLTrueColorRows rows;
        rows.SetLayout(c.masks, c.bitCount);
        std::vector<PLColor> decoded(3);
        rows.DecodeRow(c.row.data(), decoded.data(), 3);
        EXPECT_EQ(decoded, expected);
    }
}

TEST(PLTrueColorRows, RowsTooLargeToHoldAreRefusedWithTheirSize)
{
    for (int width : {INT_MAX, 536870912}) {
        SCOPED_TRACE(width);
        try {
            PLTrueColorRows::AllocateRow(width);
            ADD_FAILURE() << "allocated";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), 6);
            EXPECT_EQ(std::string(e.Text()),
                      "Decoder error: BMP row of " + std::to_string(width) +
                          " pixels at 32 bits per pixel is too large, at most 2147483647 bytes\n");
        }
    }
    EXPECT_NE(PLTrueColorRows::AllocateRow(4096), nullptr);
}

} // namespace
