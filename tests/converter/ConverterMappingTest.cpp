// The modder's round trip: a picture saved by an editor, in true colour or
// with a colour map of its own, converted back onto the original's palette
// with -m; and the notes that tell when a conversion changed indices or
// colours that the user did not paint.
#include "converter/Converter.h"
#include "pic/PaletteEntry.h"
#include "pic/PicFile.h"
#include "tests/bitmap/BmpTestSupport.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 8;
constexpr int HEIGHT = 4;
// The original's palette holds the colour of index 10 at index 20 too, and
// the picture uses both.
constexpr int DUPLICATE = 10;
constexpr int TWIN = 20;

std::uint32_t OriginalEntry(int index)
{
    if (index == TWIN)
        index = DUPLICATE;
    return EntryFromSixBitRgb({static_cast<std::uint8_t>(index & 63), static_cast<std::uint8_t>((index >> 6) * 16 + 1),
                               static_cast<std::uint8_t>(5)});
}

std::vector<std::uint32_t> OriginalPalette()
{
    std::vector<std::uint32_t> palette(PALETTE_ENTRIES);
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        palette[static_cast<std::size_t>(i)] = OriginalEntry(i);
    return palette;
}

Bytes OriginalPixels()
{
    Bytes pixels(WIDTH * HEIGHT);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i * 37 + 3) % 256);
    pixels[1] = DUPLICATE;
    pixels[2] = TWIN;
    pixels[WIDTH + 5] = TWIN;
    pixels[2 * WIDTH + 6] = DUPLICATE;
    return pixels;
}

bool WritePic(const std::string& path, const Bytes& pixels, const std::vector<std::uint32_t>* palette,
              int width = WIDTH, int height = HEIGHT)
{
    Bytes entries;
    if (palette != nullptr)
        for (std::uint32_t entry : *palette)
            AppendU32(entries, entry);
    PicFile pic;
    return pic.SetImage(width, height, pixels.empty() ? nullptr : pixels.data(),
                        palette != nullptr ? entries.data() : nullptr) &&
           pic.Save(path.c_str(), palette != nullptr);
}

struct PicContent {
    bool loaded = false;
    Bytes pixels;
    bool hasPalette = false;
    std::vector<std::uint32_t> palette;
};

PicContent ReadPic(const std::string& path)
{
    PicContent content;
    PicFile pic;
    pic.OnUnknownChunk = nullptr;
    if (!pic.Load(path.c_str()) || !pic.HasImage)
        return content;
    content.loaded = true;
    content.pixels.resize(static_cast<std::size_t>(pic.Width() * pic.Height()));
    pic.CopyPixels(content.pixels.data(), static_cast<int>(content.pixels.size()));
    content.hasPalette = pic.HasPalette;
    for (unsigned i = 0; i < PALETTE_ENTRIES; ++i)
        content.palette.push_back(pic.PaletteEntry(i));
    return content;
}

// The picture's colours at 8 bits a component, as an editor saves them.
std::vector<std::uint32_t> ColorsOf(const Bytes& pixels, const std::vector<std::uint32_t>& palette)
{
    std::vector<std::uint32_t> colors;
    for (unsigned char index : pixels)
        colors.push_back(palette[index]);
    return colors;
}

// A BMP file of colours, bottom row first: 24 bits, 32 bits with an alpha
// mask in a V4 header (alpha 255 unless given), or 16 bits at 5-6-5.
enum class Depth { RGB24, RGBA32, RGB565 };
Bytes TrueColorBmp(const std::vector<std::uint32_t>& colors, Depth depth, const std::vector<int>& alpha = {})
{
    BmpLayout layout;
    layout.width = WIDTH;
    layout.height = HEIGHT;
    layout.bitCount = depth == Depth::RGB24 ? 24 : depth == Depth::RGBA32 ? 32 : 16;
    if (depth == Depth::RGBA32) {
        layout.headerSize = 108;
        layout.compression = 3; // BI_BITFIELDS
        layout.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    } else if (depth == Depth::RGB565) {
        layout.compression = 3;
        layout.masks = {0xF800, 0x07E0, 0x001F};
    }
    for (int y = HEIGHT - 1; y >= 0; --y) {
        std::size_t rowStart = layout.pixels.size();
        for (int x = 0; x < WIDTH; ++x) {
            std::size_t i = static_cast<std::size_t>(y * WIDTH + x);
            Rgb rgb = RgbFromEntry(colors[i]);
            if (depth == Depth::RGB565) {
                AppendU16(layout.pixels, std::uint32_t{rgb.red} >> 3 << 11 | std::uint32_t{rgb.green} >> 2 << 5 |
                                             std::uint32_t{rgb.blue} >> 3);
                continue;
            }
            layout.pixels.insert(layout.pixels.end(), {rgb.blue, rgb.green, rgb.red});
            if (depth == Depth::RGBA32)
                layout.pixels.push_back(static_cast<unsigned char>(alpha.empty() ? 255 : alpha[i]));
        }
        while ((layout.pixels.size() - rowStart) % 4 != 0)
            layout.pixels.push_back(0);
    }
    return BuildBmp(layout);
}

// An 8-bit BMP file of indices and a colour table, bottom row first.
Bytes IndexedBmp(const Bytes& pixels, const std::vector<std::uint32_t>& table)
{
    BmpLayout layout;
    layout.width = WIDTH;
    layout.height = HEIGHT;
    for (std::uint32_t entry : table) {
        Rgb rgb = RgbFromEntry(entry);
        layout.colors.push_back(PLColor(rgb.red, rgb.green, rgb.blue, 0));
    }
    for (int y = HEIGHT - 1; y >= 0; --y)
        layout.pixels.insert(layout.pixels.end(), pixels.begin() + y * WIDTH, pixels.begin() + (y + 1) * WIDTH);
    return BuildBmp(layout);
}

// A colour map renumbered as an editor's own: index i moves to 255 - i.
Bytes RenumberedBmp()
{
    Bytes pixels = OriginalPixels();
    std::vector<std::uint32_t> palette = OriginalPalette(), table(PALETTE_ENTRIES);
    for (unsigned char& index : pixels)
        index = static_cast<unsigned char>(255 - index);
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        table[static_cast<std::size_t>(255 - i)] = palette[static_cast<std::size_t>(i)];
    return IndexedBmp(pixels, table);
}

// text with every token replaced by value.
std::string Substitute(std::string text, const std::string& token, const std::string& value)
{
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + value.size()))
        text.replace(at, token.size(), value);
    return text;
}

struct Outcome {
    bool succeeded;
    std::string errors;
    std::string printed;
};

Outcome Convert(const std::string& input, const std::string& output, const PaletteOptions& palettes)
{
    std::FILE* printed = std::tmpfile();
    Converter converter(printed);
    bool succeeded = converter.Convert(input.c_str(), output.c_str(), palettes);
    std::rewind(printed);
    std::string text;
    for (int c = std::fgetc(printed); c != EOF; c = std::fgetc(printed))
        text += static_cast<char>(c);
    std::fclose(printed);
    return {succeeded, converter.ErrorText.Text(), text};
}

class MappingOnto : public testing::Test {
protected:
    void SetUp() override
    {
        palette = OriginalPalette();
        original = OriginalPixels();
        ASSERT_TRUE(WritePic(folder / "orig.pic", original, &palette));
        // The same palette without a picture: nothing to decide ties by.
        ASSERT_TRUE(WritePic(folder / "pal.pic", {}, &palette, 0, 0));
    }

    std::string Path(const char* name) const { return folder / name; }

    PaletteOptions MapOnto(const char* name)
    {
        mapName = Path(name);
        PaletteOptions options;
        options.map = {true, mapName.c_str()};
        return options;
    }

    ScratchFolder folder;
    std::vector<std::uint32_t> palette;
    Bytes original;
    std::string mapName;
};

TEST_F(MappingOnto, EditorSavesComeBackToTheOriginalIndices)
{
    Bytes painted = original;
    for (int y = 1; y <= 2; ++y)
        for (int x = 2; x <= 3; ++x)
            painted[static_cast<std::size_t>(y * WIDTH + x)] = 50;
    const std::vector<std::uint32_t> colors = ColorsOf(original, palette);
    struct Case {
        const char* name;
        Bytes file;
        const char* mapFile;
        Bytes expected;
        const char* notes; // after the output's name and ": "
    } cases[] = {
        {"24 bits", TrueColorBmp(colors, Depth::RGB24), "orig.pic", original, "no pixel differs from "},
        {"32 bits with an alpha mask", TrueColorBmp(colors, Depth::RGBA32), "orig.pic", original,
         "no pixel differs from "},
        {"16 bits, 5-6-5", TrueColorBmp(colors, Depth::RGB565), "orig.pic", original, "no pixel differs from "},
        {"a painted block", TrueColorBmp(ColorsOf(painted, palette), Depth::RGB24), "orig.pic", painted,
         "4 pixels differ from "},
        {"a renumbered colour map", RenumberedBmp(), "orig.pic", original, "no pixel differs from "},
        // Without a picture to decide ties, a kept colour map keeps its own.
        {"a kept colour map", IndexedBmp(original, palette), "pal.pic", original, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(Path("edited.bmp"), c.file));
        std::remove(Path("new.pic").c_str());
        Outcome run = Convert(Path("edited.bmp"), Path("new.pic"), MapOnto(c.mapFile));
        EXPECT_TRUE(run.succeeded) << run.errors;
        PicContent result = ReadPic(Path("new.pic"));
        EXPECT_EQ(result.pixels, c.expected);
        EXPECT_TRUE(result.hasPalette);
        EXPECT_EQ(result.palette, palette);
        std::string expected = c.notes == nullptr ? "" : Path("new.pic") + ": " + c.notes + mapName;
        if (c.expected != original)
            expected += ", within x 2 to 3, y 1 to 2";
        EXPECT_EQ(run.printed, c.notes == nullptr ? "" : expected + "\r\n");
    }
}

TEST_F(MappingOnto, TiesNothingDecidesTakeTheLowestAndAreCounted)
{
    ASSERT_TRUE(WriteBytes(Path("edited.bmp"), TrueColorBmp(ColorsOf(original, palette), Depth::RGB24)));
    Outcome run = Convert(Path("edited.bmp"), Path("new.pic"), MapOnto("pal.pic"));
    ASSERT_TRUE(run.succeeded) << run.errors;
    Bytes expected = original;
    for (unsigned char& index : expected)
        if (index == TWIN)
            index = DUPLICATE;
    EXPECT_EQ(ReadPic(Path("new.pic")).pixels, expected);
    EXPECT_EQ(run.printed, Path("edited.bmp") + ": 4 pixels of a colour that " + mapName +
                               " holds at several indices took the lowest of them\r\n");
}

TEST_F(MappingOnto, PixelsThePaletteCannotShowRefuseThePicture)
{
    std::vector<std::uint32_t> colors = ColorsOf(original, palette);
    colors[2 * WIDTH + 3] = EntryFromRgb({200, 3, 255});
    colors[3 * WIDTH + 1] = EntryFromRgb({1, 1, 1});
    std::vector<int> alpha(colors.size(), 255);
    alpha[WIDTH + 4] = 128;
    struct Case {
        const char* name;
        Bytes file;
        const char* reason;
    } cases[] = {
        {"a colour outside the palette", TrueColorBmp(colors, Depth::RGB24),
         "   Colours: 2 pixels of colours that {map} does not hold, the first at x 3, y 2: red 200, green 3, blue "
         "255; its nearest entry is index 50: red 200, green 4, blue 20\r\n"},
        {"a translucent pixel", TrueColorBmp(ColorsOf(original, palette), Depth::RGBA32, alpha),
         "   Transparency: 1 pixel not fully opaque, the first at x 4, y 1 with alpha 128 of 255; a PIC picture "
         "holds only opaque pixels\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(Path("edited.bmp"), c.file));
        ASSERT_TRUE(WritePic(Path("target.pic"), original, &palette));
        Bytes before;
        ASSERT_TRUE(ReadBytes(Path("target.pic"), before));
        Outcome run = Convert(Path("edited.bmp"), Path("target.pic"), MapOnto("orig.pic"));
        EXPECT_FALSE(run.succeeded);
        EXPECT_EQ(run.errors, "Unable to map input file " + Path("edited.bmp") + " onto the palette of " + mapName +
                                  "\r\n" + Substitute(c.reason, "{map}", mapName));
        EXPECT_EQ(run.printed, "");
        Bytes after;
        ASSERT_TRUE(ReadBytes(Path("target.pic"), after));
        EXPECT_EQ(after, before);
    }
}

TEST_F(MappingOnto, WithTheOtherPaletteOptions)
{
    // A picture without a palette chunk shows the default palette: -d maps
    // it onto that one and keeps it without a chunk.
    ASSERT_TRUE(WritePic(Path("plain.pic"), original, nullptr));
    ASSERT_TRUE(WriteBytes(Path("edited.bmp"), IndexedBmp(original, OriginalPalette())));
    PicContent plain = ReadPic(Path("plain.pic"));
    ASSERT_TRUE(WriteBytes(Path("plain.bmp"), IndexedBmp(original, plain.palette)));

    PaletteOptions drop = MapOnto("plain.pic");
    drop.drop = true;
    Outcome dropped = Convert(Path("plain.bmp"), Path("a.pic"), drop);
    ASSERT_TRUE(dropped.succeeded) << dropped.errors;
    EXPECT_FALSE(ReadPic(Path("a.pic")).hasPalette);
    EXPECT_EQ(ReadPic(Path("a.pic")).pixels, original);

    // -u beside -m is not applied, and says so.
    PaletteOptions both = MapOnto("orig.pic");
    std::string use = Path("plain.pic");
    both.use = {true, use.c_str()};
    Outcome withUse = Convert(Path("edited.bmp"), Path("b.pic"), both);
    ASSERT_TRUE(withUse.succeeded) << withUse.errors;
    EXPECT_EQ(ReadPic(Path("b.pic")).palette, palette);
    EXPECT_EQ(withUse.printed.substr(0, withUse.printed.find("\r\n") + 2),
              Path("edited.bmp") + ": the palette of " + use +
                  " (-u) is not used, since -m gives the picture the "
                  "palette of " +
                  mapName + "\r\n");

    // -f fills a PIC input's missing palette before the mapping: its pixels
    // then show the fill file's colours.
    PaletteOptions fill = MapOnto("orig.pic");
    std::string fillName = Path("orig.pic");
    fill.fill = {true, fillName.c_str()};
    Outcome filled = Convert(Path("plain.pic"), Path("c.pic"), fill);
    ASSERT_TRUE(filled.succeeded) << filled.errors;
    EXPECT_EQ(ReadPic(Path("c.pic")).pixels, original);
}

TEST_F(MappingOnto, ARenumberingWithoutTheMapIsNeverSilent)
{
    ASSERT_TRUE(WriteBytes(Path("renumbered.bmp"), RenumberedBmp()));
    ASSERT_TRUE(WriteBytes(Path("kept.bmp"), IndexedBmp(original, palette)));
    ASSERT_TRUE(WritePic(Path("plain.pic"), original, nullptr));
    // The colours a picture without a palette chunk shows.
    ASSERT_TRUE(WriteBytes(Path("default.bmp"), IndexedBmp(original, ReadPic(Path("plain.pic")).palette)));
    const std::string use = Path("orig.pic");
    struct Case {
        const char* name;
        const char* input;
        const char* replaces; // copied to out.pic first, or null
        bool useOriginal;
        bool drop;
        std::vector<std::string> notes; // {in} and {out} for the names
        // clang-format off
    } cases[] = {
        {"a new file from a kept map", "kept.bmp", nullptr, false, false, {}},
        {"over the original from a kept map", "kept.bmp", "orig.pic", false, false,
         {"{out}: no pixel differs from the picture it replaced"}},
        {"over the original from a renumbered map", "renumbered.bmp", "orig.pic", false, false,
         // Every index moved, and the picture uses 30 of them.
         {"{out}: 30 of the indices the picture uses show other colours than in the picture it replaced; -m maps "
          "the colours onto that picture's indices",
          "{out}: 32 pixels differ from the picture it replaced, within x 0 to 7, y 0 to 3"}},
        {"-u of the original on a renumbered map", "renumbered.bmp", nullptr, true, false,
         {"{in}: 30 of the indices it uses show other colours in {use}, which holds those colours at other indices; "
          "-m maps the colours onto its indices"}},
        {"a palette chunk where there was none", "default.bmp", "plain.pic", false, false,
         {"{out}: the picture it replaced had no palette chunk, and this one has one; -d leaves it out",
          "{out}: no pixel differs from the picture it replaced"}},
        {"-d where there was none", "default.bmp", "plain.pic", false, true,
         {"{out}: no pixel differs from the picture it replaced"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(Path("out.pic").c_str());
        if (c.replaces != nullptr) {
            Bytes bytes;
            ASSERT_TRUE(ReadBytes(Path(c.replaces), bytes));
            ASSERT_TRUE(WriteBytes(Path("out.pic"), bytes));
        }
        PaletteOptions options;
        options.drop = c.drop;
        if (c.useOriginal)
            options.use = {true, use.c_str()};
        Outcome run = Convert(Path(c.input), Path("out.pic"), options);
        ASSERT_TRUE(run.succeeded) << run.errors;
        std::string expected;
        for (const std::string& line : c.notes)
            expected += Substitute(Substitute(Substitute(line, "{in}", Path(c.input)), "{out}", Path("out.pic")),
                                   "{use}", use) +
                        "\r\n";
        EXPECT_EQ(run.printed, expected);
    }
}

} // namespace
