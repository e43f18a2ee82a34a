// An edited picture in colours put back onto its original's palette: valley
// (19 colours at two indices each) repainted keeps the original's indices
// where it was not painted, and pictures that cannot be put back are refused
// with what to mend.
#include "desktop/common/PicPicture.h"
#include "desktop/common/RemappedPicture.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

const char* const VALLEY = CANTREL_SOURCE_DIR "/samples/valley.pic";

// A picture as GIMP's RGB mode holds it: its colour map's colours, pixel by
// pixel, with alpha 255 when the layout has one.
struct Colors {
    int width = 0;
    int height = 0;
    PixelLayout layout = RGB_PIXELS;
    std::vector<unsigned char> bytes;

    Colors(const PicPicture& picture, const PixelLayout& pixelLayout)
        : width(picture.Width()), height(picture.Height()), layout(pixelLayout),
          bytes(static_cast<std::size_t>(width * height * layout.bytes), 255)
    {
        for (int i = 0; i < width * height; ++i)
            Set(i % width, i / width, LoadRgb(picture.ColorMap() + 3 * picture.Pixels().Data()[i]));
    }
    unsigned char* At(int x, int y) { return bytes.data() + (y * width + x) * layout.bytes; }
    void Set(int x, int y, Rgb rgb, int alpha = 255)
    {
        unsigned char* pixel = At(x, y);
        pixel[layout.red] = rgb.red;
        pixel[layout.green] = rgb.green;
        pixel[layout.blue] = rgb.blue;
        if (layout.alpha >= 0)
            pixel[layout.alpha] = static_cast<unsigned char>(alpha);
    }
};

bool Map(RemappedPicture& remapped, Colors& colors, bool inPlace, PicPicture& result)
{
    if (!remapped.Start(colors.width, colors.height, inPlace))
        return false;
    for (int y = 0; y < colors.height; ++y)
        remapped.MapRow(y, colors.At(0, y), colors.layout);
    return remapped.Finish(result);
}

Rgb ColorOf(const PicPicture& picture, int index)
{
    return LoadRgb(picture.ColorMap() + 3 * index);
}

bool SameColor(const PicPicture& picture, int a, int b)
{
    Rgb one = ColorOf(picture, a), other = ColorOf(picture, b);
    return one.red >> 2 == other.red >> 2 && one.green >> 2 == other.green >> 2 && one.blue >> 2 == other.blue >> 2;
}

bool InBlock(int x, int y)
{
    return x >= 10 && x < 50 && y >= 20 && y < 50;
}

class RemappedValley : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ReadBytes(VALLEY, m_file));
        ASSERT_TRUE(m_remapped.SetOriginal(m_file.data(), static_cast<int>(m_file.size()))) << m_remapped.Error();
        for (int index = 0; index < PALETTE_ENTRIES; ++index) {
            m_lowest[index] = -1;
            for (int other = 0; other < PALETTE_ENTRIES; ++other) {
                if (!SameColor(Original(), other, index))
                    continue;
                if (m_lowest[index] < 0)
                    m_lowest[index] = other;
                m_heldTwice[index] = m_heldTwice[index] || other != index;
            }
        }
    }
    const PicPicture& Original() const { return m_remapped.Original(); }
    // Of index's colour: the lowest entry, and whether another entry has it too.
    int LowestOfColor(int index) const { return m_lowest[index]; }
    bool HeldTwice(int index) const { return m_heldTwice[index]; }
    int OriginalAt(int x, int y) const { return Original().Pixels().Data()[y * Original().Width() + x]; }

    Bytes m_file;
    RemappedPicture m_remapped;
    int m_lowest[PALETTE_ENTRIES] = {};
    bool m_heldTwice[PALETTE_ENTRIES] = {};
};

TEST_F(RemappedValley, GetsTheOriginalsIndicesBackWherePaintingLeftThem)
{
    // 15 and 16 hold one colour, and both are used; 17's colour is its own.
    ASSERT_TRUE(SameColor(Original(), 15, 16));
    ASSERT_FALSE(HeldTwice(17));
    ASSERT_EQ(LowestOfColor(16), 15);
    const auto kept = [](int, int, int original) { return original; };
    const auto lowest = [this](int, int, int original) { return LowestOfColor(original); };
    const auto none = [](int, int, int) { return false; };
    const auto heldTwice = [this](int, int, int original) { return HeldTwice(original); };
    struct Case {
        const char* name;
        PixelLayout layout;
        int paintIndex; // painted over the block, or -1
        int cutRows;    // rows cut off the bottom: another size
        bool inPlace;
        // The index expected at (x, y), given the original's there, and
        // whether it took the lowest of its colour's entries undecided.
        std::function<int(int x, int y, int original)> expected;
        std::function<bool(int x, int y, int original)> counted;
    };
    const Case cases[] = {
        {"unchanged", RGB_PIXELS, -1, 0, true, kept, none},
        {"unchanged, with alpha", RGBA_PIXELS, -1, 0, true, kept, none},
        {"block of a colour of its own", RGB_PIXELS, 17, 0, true,
         [](int x, int y, int original) { return InBlock(x, y) ? 17 : original; }, none},
        // Where the original had either entry of the colour it stays; elsewhere
        // in the block the lowest is all there is to go on.
        {"block of a colour held twice", RGB_PIXELS, 16, 0, true,
         [this](int x, int y, int original) {
             return !InBlock(x, y) || SameColor(Original(), original, 16) ? original : 15;
         },
         [this](int x, int y, int original) { return InBlock(x, y) && !SameColor(Original(), original, 16); }},
        {"moved away from the original's place", RGB_PIXELS, -1, 0, false, lowest, heldTwice},
        {"another size", RGB_PIXELS, -1, 1, true, lowest, heldTwice},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Colors colors(Original(), c.layout);
        colors.height -= c.cutRows;
        if (c.paintIndex >= 0) {
            for (int y = 20; y < 50; ++y)
                for (int x = 10; x < 50; ++x)
                    colors.Set(x, y, ColorOf(Original(), c.paintIndex));
        }
        PicPicture result;
        ASSERT_TRUE(Map(m_remapped, colors, c.inPlace, result)) << m_remapped.Error();
        ASSERT_EQ(result.Width(), colors.width);
        ASSERT_EQ(result.Height(), colors.height);
        std::uint64_t counted = 0;
        for (int y = 0; y < result.Height(); ++y) {
            for (int x = 0; x < result.Width(); ++x) {
                const int original = OriginalAt(x, y);
                ASSERT_EQ(result.Pixels().Data()[y * result.Width() + x], c.expected(x, y, original))
                    << "at " << x << ", " << y;
                counted += c.counted(x, y, original) ? 1 : 0;
            }
        }
        EXPECT_EQ(m_remapped.LowestChoices(), counted);
        EXPECT_EQ(m_remapped.LowestChoicesNote().empty(), counted == 0);
        EXPECT_EQ(std::memcmp(result.ColorMap(), Original().ColorMap(), PicPicture::COLOR_MAP_BYTES), 0);
    }
}

// Four by two pixels of black, white and red; the other 253 entries are
// black too, so black is held at many indices.
class RemappedSmall : public testing::Test {
protected:
    void SetUp() override
    {
        const unsigned char indices[] = {0, 1, 2, 0, 1, 2, 0, 1};
        const unsigned char colorMap[] = {0, 0, 0, 252, 252, 252, 252, 0, 0};
        PicPicture picture;
        ASSERT_TRUE(picture.SetImage(4, 2, indices, colorMap, 3));
        ScratchFolder folder;
        Bytes file;
        ASSERT_TRUE(picture.Save((folder / "small.pic").c_str(), true)) << picture.Error();
        ASSERT_TRUE(ReadBytes(folder / "small.pic", file));
        ASSERT_TRUE(m_remapped.SetOriginal(file.data(), static_cast<int>(file.size()))) << m_remapped.Error();
    }

    RemappedPicture m_remapped;
};

TEST_F(RemappedSmall, RefusesPixelsItCannotMapNamingTheFirst)
{
    struct Pixel {
        int x, y;
        Rgb rgb;
        int alpha;
    };
    struct Case {
        const char* name;
        PixelLayout layout;
        std::vector<Pixel> painted;
        std::vector<const char*> texts; // in this order
    };
    // clang-format off
    const Case cases[] = {
        {"colours the palette lacks", RGB_PIXELS, {{1, 0, {200, 10, 20}, 255}, {2, 1, {7, 7, 7}, 255}},
         {"The layer has 2 pixels in colours that the palette of the picture it was opened from lacks, the first "
          "at x 1, y 0 in 200, 10, 20, nearest to palette index 2 in 252, 0, 0; a PIC picture shows only"}},
        // 3 is black at 6 bits, 4 is not.
        {"one pixel, by one step", RGB_PIXELS, {{0, 0, {3, 3, 4}, 255}},
         {"The layer has 1 pixel in colours", "at x 0, y 0 in 3, 3, 4, nearest to palette index 0 in 0, 0, 0;"}},
        {"not opaque", RGBA_PIXELS, {{3, 0, {0, 0, 0}, 254}},
         {"The layer has 1 pixel not fully opaque, the first at x 3, y 0 with alpha 254; a PIC picture has no "
          "transparency"}},
        // A soft edge: colours between entries, not all of them opaque.
        {"both", RGBA_PIXELS, {{1, 0, {0, 0, 0}, 0}, {0, 1, {120, 120, 120}, 255}, {3, 1, {9, 9, 9}, 128}},
         {"The layer has 1 pixel in colours", "at x 0, y 1 in 120, 120, 120, nearest to palette index 0",
          "\nThe layer has 2 pixels not fully opaque, the first at x 1, y 0 with alpha 0;"}},
    };
    // clang-format on
    const PicPicture& original = m_remapped.Original();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Colors colors(original, c.layout);
        for (const Pixel& pixel : c.painted)
            colors.Set(pixel.x, pixel.y, pixel.rgb, pixel.alpha);
        PicPicture result;
        EXPECT_FALSE(Map(m_remapped, colors, true, result));
        std::size_t at = 0;
        for (const char* text : c.texts) {
            at = m_remapped.Error().find(text, at);
            ASSERT_NE(at, std::string::npos) << text << "\nin: " << m_remapped.Error();
        }
        EXPECT_EQ(result.Width(), 0) << "a refused picture is no picture";
    }
}

TEST_F(RemappedSmall, TellsOfPixelsThatTookTheLowestEntry)
{
    Colors colors(m_remapped.Original(), RGB_PIXELS);
    // Black where the original has white: no index of the original's decides.
    colors.Set(1, 0, {0, 0, 0});
    PicPicture result;
    ASSERT_TRUE(Map(m_remapped, colors, true, result)) << m_remapped.Error();
    EXPECT_EQ(result.Pixels().Data()[1], 0);
    EXPECT_EQ(m_remapped.LowestChoices(), 1u);
    EXPECT_EQ(m_remapped.LowestChoicesNote().find("The export wrote the lowest of several palette entries of one "
                                                  "colour for 1 pixel, where the picture it was opened from"),
              0u)
        << m_remapped.LowestChoicesNote();
}

TEST(RemappedPicture, RefusesWhatItCannotStartFrom)
{
    RemappedPicture remapped;
    const unsigned char paletteOnly[] = {'M', '0', 2, 0, 0, 0};
    EXPECT_FALSE(remapped.SetOriginal(paletteOnly, sizeof paletteOnly));
    EXPECT_NE(remapped.Error().find("holds no image chunk"), std::string::npos) << remapped.Error();
    EXPECT_FALSE(remapped.Start(1, 1, true));
    EXPECT_NE(remapped.Error().find("holds no image chunk"), std::string::npos) << remapped.Error();

    // The 2 x 1 picture of indices 1, 2 without a palette, byte by byte.
    const unsigned char twoPixels[] = {'X', '0', 8, 0, 2, 0, 1, 0, 0x0B, 0x01, 0x04, 0x00};
    ASSERT_TRUE(remapped.SetOriginal(twoPixels, sizeof twoPixels)) << remapped.Error();
    EXPECT_FALSE(remapped.Start(40000, 1, true));
    EXPECT_EQ(remapped.Error(), "The image is 40000 x 1 pixels; a PIC file holds at most 32767 x 32767");
    PicPicture result;
    EXPECT_FALSE(remapped.Finish(result));
}

} // namespace
