// The mapping of colours onto a palette's indices: what an edited picture
// gets back of its original's indices, and what it is refused for.
#include "pic/PaletteMapper.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t Entry(unsigned red, unsigned green, unsigned blue)
{
    return blue << 16 | green << 8 | red;
}

// A palette as a PIC file gives it (components multiples of 4): entry i is
// (4i mod 256, 0, 4) for every i but those the case sets.
struct Palette {
    std::uint32_t entries[PALETTE_ENTRIES];
    Palette()
    {
        for (unsigned i = 0; i < PALETTE_ENTRIES; ++i)
            entries[i] = Entry((4 * i) & 0xFF, 4 * (i / 64), 4);
    }
    Palette& Set(int index, std::uint32_t entry)
    {
        entries[index] = entry;
        return *this;
    }
};

// One row of pixels given as red, green, blue bytes.
std::vector<unsigned char> RgbRow(const std::vector<std::uint32_t>& colors)
{
    std::vector<unsigned char> row;
    for (std::uint32_t color : colors) {
        row.push_back(static_cast<unsigned char>(color & 0xFF));
        row.push_back(static_cast<unsigned char>((color >> 8) & 0xFF));
        row.push_back(static_cast<unsigned char>((color >> 16) & 0xFF));
    }
    return row;
}

const std::uint32_t RED = Entry(252, 0, 0);
const std::uint32_t GREEN = Entry(0, 252, 0);

struct MappingCase {
    const char* name;
    Palette palette;
    std::vector<std::uint32_t> colors;    // the pixels, one row
    std::vector<unsigned char> own;       // the source's indices, or none
    std::vector<unsigned char> reference; // the original's indices, or none
    std::vector<unsigned char> expected;
    std::uint64_t lowestChoices;
};

const Palette BASE;
const Palette TWO_REDS = Palette().Set(10, RED).Set(20, RED).Set(30, GREEN);

TEST(Mapping, GivesTheIndices)
{
    // clang-format off
    const MappingCase cases[] = {
        // A colour map kept as it was: every pixel keeps its index, the
        // duplicates' included, by the source's own index.
        {"kept colour map", TWO_REDS, {RED, RED, GREEN, BASE.entries[7]}, {10, 20, 30, 7}, {}, {10, 20, 30, 7}, 0},
        // A renumbered colour map: the colours find their indices again.
        {"renumbered map", BASE, {BASE.entries[200], BASE.entries[3], BASE.entries[255], BASE.entries[0]},
         {0, 1, 2, 3}, {}, {200, 3, 255, 0}, 0},
        // Deep input has no indices: unique colours need none.
        {"deep input", BASE, {BASE.entries[64], BASE.entries[65]}, {}, {}, {64, 65}, 0},
        // Duplicates without help take the lowest, and are counted.
        {"duplicates, lowest", TWO_REDS, {RED, RED, GREEN}, {}, {}, {10, 10, 30}, 2},
        // The original at the same place decides first, over the source's own.
        {"duplicates, original decides", TWO_REDS, {RED, RED, RED}, {10, 10, 10}, {20, 10, 30}, {20, 10, 10}, 0},
        // A painted pixel whose original index shows another colour: the
        // source's own index, then the lowest.
        {"painted over", TWO_REDS, {RED, RED}, {20, 99}, {30, 30}, {20, 10}, 1},
        // Equal at 6 bits is equal: 253 and 255 show as 252 in the game.
        {"6 bits", TWO_REDS, {Entry(255, 3, 1), Entry(1, 254, 2)}, {}, {}, {10, 30}, 1},
    };
    // clang-format on
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int width = static_cast<int>(c.colors.size());
        PaletteMapper mapper(c.palette.entries, ComponentBits{});
        if (!c.reference.empty())
            mapper.SetReference(c.reference.data(), static_cast<int>(c.reference.size()), 1);
        mapper.Start(width, 1);
        std::vector<unsigned char> row = RgbRow(c.colors), out(c.colors.size(), 0xEE);
        mapper.MapRow(0, row.data(), RGB_PIXELS, c.own.empty() ? nullptr : c.own.data(), out.data());
        EXPECT_TRUE(mapper.Succeeded());
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(mapper.LowestChoices(), c.lowestChoices);
    }
}

TEST(Mapping, ReferenceOfAnotherSizeIsNotUsed)
{
    PaletteMapper mapper(TWO_REDS.entries, ComponentBits{});
    const std::vector<unsigned char> reference = {20, 20, 20, 20};
    mapper.SetReference(reference.data(), 2, 2);
    mapper.Start(4, 1);
    std::vector<unsigned char> row = RgbRow({RED, RED, RED, RED}), out(4);
    mapper.MapRow(0, row.data(), RGB_PIXELS, nullptr, out.data());
    EXPECT_EQ(out, (std::vector<unsigned char>{10, 10, 10, 10}));
    EXPECT_EQ(mapper.LowestChoices(), 4u);
}

TEST(Mapping, RowsFindTheirPlaceInTheReference)
{
    PaletteMapper mapper(TWO_REDS.entries, ComponentBits{});
    const std::vector<unsigned char> reference = {10, 20, 20, 10};
    mapper.SetReference(reference.data(), 2, 2);
    mapper.Start(2, 2);
    std::vector<unsigned char> row = RgbRow({RED, RED}), out(2);
    mapper.MapRow(1, row.data(), RGB_PIXELS, nullptr, out.data());
    EXPECT_EQ(out, (std::vector<unsigned char>{20, 10}));
}

// A 16-bit file holds 5 bits of red and blue: an entry matches when its
// colour cut to those bits is the file's, though its sixth bit is lost.
TEST(Mapping, FewerBitsCompareAtTheFilesOwn)
{
    Palette palette;
    palette.Set(40, Entry(4 * 33, 4 * 50, 4 * 17)); // 6-bit 33, 50, 17
    palette.Set(41, Entry(4 * 41, 4 * 32, 4 * 38)); // 6-bit 41, 32, 38
    // A value of the file's bits as the reader widens it to a byte.
    auto five = [](unsigned v) { return v << 3 | v >> 2; };
    auto six = [](unsigned v) { return v << 2 | v >> 4; };
    auto four = [](unsigned v) { return v << 2; };
    struct {
        ComponentBits bits;
        std::uint32_t color;
        int index; // -1: no entry matches
    } cases[] = {
        // 5-6-5: red 33 >> 1 = 16, green 50, blue 17 >> 1 = 8.
        {{5, 6, 5}, Entry(five(16), six(50), five(8)), 40},
        {{5, 6, 5}, Entry(five(17), six(50), five(8)), -1},
        // 5-5-5: green 50 >> 1 = 25.
        {{5, 5, 5}, Entry(five(16), five(25), five(8)), 40},
        // At 8 bits all six bits count: blue 66 is 6-bit 16, not 17.
        {{8, 8, 8}, Entry(five(16), six(50), five(8)), -1},
        // An editor may round to 5 bits rather than cut: blue 152 (6-bit 38)
        // cuts to 19 but rounds to 18, and either is that entry.
        {{5, 6, 5}, Entry(five(20), six(32), five(18)), 41},
        {{5, 6, 5}, Entry(five(20), six(32), five(19)), 41},
        {{5, 6, 5}, Entry(five(20), six(32), five(17)), -1},
        // And at 6 bits: green 200 (6-bit 50) rounds to 49 of 63.
        {{5, 6, 5}, Entry(five(16), six(49), five(8)), 40},
        {{8, 8, 8}, Entry(four(33), four(49), four(17)), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits.red << c.bits.green << c.bits.blue << " " << c.index);
        PaletteMapper mapper(palette.entries, c.bits);
        mapper.Start(1, 1);
        std::vector<unsigned char> row = RgbRow({c.color}), out(1);
        mapper.MapRow(0, row.data(), RGB_PIXELS, nullptr, out.data());
        EXPECT_EQ(mapper.Succeeded(), c.index >= 0);
        if (c.index >= 0) {
            EXPECT_EQ(out[0], c.index);
        }
    }
}

TEST(Mapping, ColorsThePaletteLacksAreCountedWithTheFirst)
{
    PaletteMapper mapper(TWO_REDS.entries, ComponentBits{});
    mapper.Start(3, 2);
    const std::uint32_t odd = Entry(250, 2, 0), other = Entry(1, 2, 3);
    std::vector<unsigned char> first = RgbRow({RED, RED, RED}), second = RgbRow({RED, odd, other});
    std::vector<unsigned char> out(3);
    mapper.MapRow(0, first.data(), RGB_PIXELS, nullptr, out.data());
    mapper.MapRow(1, second.data(), RGB_PIXELS, nullptr, out.data());
    EXPECT_FALSE(mapper.Succeeded());
    EXPECT_EQ(mapper.Unmatched().count, 2u);
    EXPECT_EQ(mapper.Unmatched().x, 1);
    EXPECT_EQ(mapper.Unmatched().y, 1);
    EXPECT_EQ(mapper.Unmatched().color, odd);
    EXPECT_EQ(mapper.Translucent().count, 0u);
    // (250, 2, 0) lies nearest the red of index 10, the lower of its two.
    EXPECT_EQ(mapper.NearestEntry(odd), 10);
}

TEST(Mapping, OnlyOpaquePixelsMap)
{
    PaletteMapper mapper(TWO_REDS.entries, ComponentBits{});
    mapper.Start(3, 1);
    const unsigned char row[] = {252, 0, 0, 255, 252, 0, 0, 254, 0, 252, 0, 0};
    unsigned char out[3];
    mapper.MapRow(0, row, RGBA_PIXELS, nullptr, out);
    EXPECT_EQ(mapper.Translucent().count, 2u);
    EXPECT_EQ(mapper.Translucent().x, 1);
    EXPECT_EQ(mapper.Translucent().alpha, 254);
    EXPECT_EQ(mapper.Unmatched().count, 0u);
    EXPECT_EQ(out[0], 10);
}

TEST(Mapping, StartCountsAgain)
{
    PaletteMapper mapper(TWO_REDS.entries, ComponentBits{});
    mapper.Start(1, 1);
    std::vector<unsigned char> row = RgbRow({Entry(1, 1, 1)}), out(1);
    mapper.MapRow(0, row.data(), RGB_PIXELS, nullptr, out.data());
    ASSERT_FALSE(mapper.Succeeded());
    mapper.Start(1, 1);
    EXPECT_TRUE(mapper.Succeeded());
}

} // namespace
