// Palette entries 0x00BBGGRR and their components, at 8 bits and at the 6
// bits a palette chunk stores.
#include "pic/PaletteEntry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Show(Rgb rgb)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u %u %u", unsigned{rgb.red}, unsigned{rgb.green}, unsigned{rgb.blue});
    return text;
}

TEST(PaletteEntry, SplitsIntoRedGreenBlueFromTheLowByteUp)
{
    struct Case {
        std::uint32_t entry;
        const char* rgb;
        const char* sixBit;
    };
    const Case cases[] = {
        {0x00302010, "16 32 48", "4 8 12"},
        {0x000000FF, "255 0 0", "63 0 0"},
        {0x007F0000, "0 0 127", "0 0 31"},
        {0x00FFFFFF, "255 255 255", "63 63 63"},
        // The two low bits are what the game cannot show.
        {0x00FCFCFC, "252 252 252", "63 63 63"},
        {0x00030303, "3 3 3", "0 0 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rgb);
        EXPECT_EQ(Show(RgbFromEntry(c.entry)), c.rgb);
        EXPECT_EQ(EntryFromRgb(RgbFromEntry(c.entry)), c.entry);
        EXPECT_EQ(Show(SixBitRgbFromEntry(c.entry)), c.sixBit);
    }
    EXPECT_EQ(Show(RgbFromEntry(0xAB102030)), "48 32 16") << "the high byte is no component";
}

TEST(PaletteEntry, SixBitComponentsTimesFourWithinTheirByte)
{
    struct Case {
        Rgb sixBit;
        std::uint32_t entry;
    };
    const Case cases[] = {
        {{63, 0, 0}, 0x0000FC},
        {{1, 2, 3}, 0x0C0804},
        // The top two bits of a byte above 63 are lost.
        {{64, 65, 255}, 0xFC0400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Show(c.sixBit));
        EXPECT_EQ(EntryFromSixBitRgb(c.sixBit), c.entry);
    }
    // Every stored colour reads back as the one stored.
    for (unsigned value = 0; value < 64; ++value) {
        auto v = static_cast<std::uint8_t>(value);
        EXPECT_EQ(Show(SixBitRgbFromEntry(EntryFromSixBitRgb({v, 0, v}))), Show({v, 0, v}));
    }
}

TEST(PaletteEntry, LoadsAndStoresThreeBytesInColorOrder)
{
    unsigned char bytes[4] = {0, 0, 0, 0x5A};
    StoreRgb(bytes, RgbFromEntry(0x00302010));
    EXPECT_EQ(bytes[0], 0x10);
    EXPECT_EQ(bytes[1], 0x20);
    EXPECT_EQ(bytes[2], 0x30);
    EXPECT_EQ(bytes[3], 0x5A) << "nothing past the three bytes";
    EXPECT_EQ(EntryFromRgb(LoadRgb(bytes)), 0x00302010u);
}

} // namespace
