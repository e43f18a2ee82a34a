#include "converter/ImageDocument.h"
#include "tests/bitmap/BmpTestSupport.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A 3 x 2 8-bit file: top row 1, 2, 3, bottom row 4, 5, 6 (stored bottom row
// first, each row padded to 4 bytes), with two colours.
BmpLayout ThreeByTwo()
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.colorsUsed = 2;
    layout.colors = {PLColor(0x30, 0x20, 0x10), PLColor(0xFF, 0x80, 0x01)};
    layout.pixels = {4, 5, 6, 0, 1, 2, 3, 0};
    return layout;
}

std::vector<unsigned char> PixelsOf(const ImageDocument& document)
{
    return std::vector<unsigned char>(document.Pixels.Data(), document.Pixels.Data() + document.Pixels.Size());
}

// RLE8 data of width x height (negative: top-down) pixels that ends the
// bitmap after an optional run.
Bytes RleEndingAtOnce(int width, int height, const Bytes& run = {})
{
    BmpLayout layout = ThreeByTwo();
    layout.width = width;
    layout.height = height;
    layout.compression = 1;
    layout.pixels = run;
    layout.pixels.insert(layout.pixels.end(), {0, 1});
    return BuildBmp(layout);
}

// Uncompressed 8-bit rows of zeros, padded to 4 bytes.
Bytes UncompressedOfZeros(int width, int height)
{
    BmpLayout layout = ThreeByTwo();
    layout.width = width;
    layout.height = height;
    layout.pixels.assign(static_cast<std::size_t>((width + 3) / 4 * 4) * static_cast<std::size_t>(height), 0);
    return BuildBmp(layout);
}

TEST(ImageDocumentBmp, LoadsEveryDepthAsOneBytePerPixel)
{
    struct Case {
        const char* name;
        BmpLayout layout;
        Bytes pixels; // top row first
    };
    BmpLayout oneBit;
    oneBit.width = 10;
    oneBit.height = 1;
    oneBit.bitCount = 1;
    oneBit.colors = {PLColor(0, 0, 0), PLColor(255, 255, 255)};
    oneBit.pixels = {0xA5, 0xC0, 0, 0}; // 1010 0101 11, two padding bytes
    BmpLayout fourBit;
    fourBit.width = 3;
    fourBit.height = 2;
    fourBit.bitCount = 4;
    fourBit.colorsUsed = 16;
    fourBit.colors.assign(16, PLColor(1, 2, 3));
    fourBit.pixels = {0xDE, 0xF0, 0, 0, 0x12, 0x30, 0, 0}; // bottom row 13 14 15, top row 1 2 3
    BmpLayout topDown = ThreeByTwo();
    topDown.height = -2;
    const Case cases[] = {
        {"eight.bmp", ThreeByTwo(), {1, 2, 3, 4, 5, 6}},
        {"one.bmp", oneBit, {1, 0, 1, 0, 0, 1, 0, 1, 1, 1}},
        {"four.bmp", fourBit, {1, 2, 3, 13, 14, 15}},
        {"topdown.bmp", topDown, {4, 5, 6, 1, 2, 3}},
    };
    ScratchFolder folder;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ImageDocument document;
        ASSERT_TRUE(document.Load(Written(folder, test.name, BuildBmp(test.layout)).c_str()));
        EXPECT_EQ(document.FileType, ImageDocument::TYPE_BMP);
        EXPECT_EQ(document.Width, test.layout.width);
        EXPECT_EQ(document.Height, test.layout.height < 0 ? -test.layout.height : test.layout.height);
        EXPECT_EQ(PixelsOf(document), test.pixels);
        EXPECT_TRUE(document.HasPalette);
        EXPECT_EQ(document.Palette.Size(), 1024);
        EXPECT_TRUE(document.RefusalReason().IsEmpty());
    }
}

TEST(ImageDocumentBmp, PaletteBecomesRedInTheLowByte)
{
    ScratchFolder folder;
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "pal.BMP", BuildBmp(ThreeByTwo())).c_str()));
    // Stored blue 0x10, green 0x20, red 0x30.
    EXPECT_EQ(document.PaletteEntry(0), 0x102030u);
    EXPECT_EQ(document.PaletteEntry(1), 0x0180FFu);
    // Entries the file does not supply are black.
    for (int i : {2, 3, 100, 255}) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(document.PaletteEntry(i), 0u);
    }
    // The high byte is 0, whatever the file's fourth byte (the reader's alpha 255 is dropped).
    EXPECT_EQ(document.Palette.Data()[3], 0);
    EXPECT_EQ(document.Palette.Data()[0], 0x30);
}

TEST(ImageDocumentBmp, FailedLoadsKeepTheDocumentAndGiveTheReadersReason)
{
    ScratchFolder folder;
    BmpLayout trueColor = ThreeByTwo();
    trueColor.bitCount = 24;
    trueColor.colors.clear();
    trueColor.colorsUsed = 0;
    trueColor.pixels.assign(24, 0x7F);
    BmpLayout twoBit = ThreeByTwo();
    twoBit.bitCount = 2;
    Bytes truncated = BuildBmp(ThreeByTwo());
    truncated.resize(30);
    Bytes shortPixels = BuildBmp(ThreeByTwo());
    shortPixels.resize(shortPixels.size() - 5);
    std::string huge = folder / "huge.bmp";
    ASSERT_TRUE(WriteSparseFile(huge, BuildBmp(ThreeByTwo()), 0x100000000 + 12));
    std::string justTooLarge = folder / "two-gib.bmp";
    ASSERT_TRUE(WriteSparseFile(justTooLarge, BuildBmp(ThreeByTwo()), 0x80000000));

    struct Case {
        std::string name;
        std::string reason;
    };
    const Case cases[] = {
        {Written(folder, "rgb.bmp", BuildBmp(trueColor)), "Image bit depth doesn't match request."},
        {Written(folder, "two.bmp", BuildBmp(twoBit)), "Decoder error: Decoding bmp: Illegal bpp value."},
        {Written(folder, "cut.bmp", truncated), "End of file reached while decoding."},
        {Written(folder, "short.bmp", shortPixels),
         "Decoder error: BMP pixel data: 3 bytes left in the file, at least 6 needed for 3 x 2 pixels"},
        {Written(folder, "text.bmp", Bytes{'X', 'Y', 'Z'}), "Decoder error: Bitmap decoder: This isn't a bitmap."},
        {folder / "missing.bmp", "Decoder error: Opening " + (folder / "missing.bmp") + " failed"},
        // The reason stays one line, whatever the name holds.
        {folder / "two\nlines\r.bmp", "Decoder error: Opening " + (folder / "two lines .bmp") + " failed"},
        // Never read as the part of it that fits.
        {huge, "Decoder error: Opening " + huge + " failed: 4294967308 bytes, at most 2147483647 can be read"},
        {justTooLarge,
         "Decoder error: Opening " + justTooLarge + " failed: 2147483648 bytes, at most 2147483647 can be read"},
        // No PIC file holds a side above 32,767: refused from the header.
        {Written(folder, "wide.bmp", RleEndingAtOnce(32768, 1)),
         "Picture: 32768 x 1 pixels, a PIC file holds at most 32767 x 32767"},
        {Written(folder, "tall-top-down.bmp", RleEndingAtOnce(1, -32768)),
         "Picture: 1 x 32768 pixels, a PIC file holds at most 32767 x 32767"},
        {Written(folder, "column.bmp", RleEndingAtOnce(1, 67108864)),
         "Picture: 1 x 67108864 pixels, a PIC file holds at most 32767 x 32767"},
        {Written(folder, "uncompressed.bmp", UncompressedOfZeros(32768, 1)),
         "Picture: 32768 x 1 pixels, a PIC file holds at most 32767 x 32767"},
    };
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "good.bmp", BuildBmp(ThreeByTwo())).c_str()));
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_FALSE(document.Load(test.name.c_str()));
        EXPECT_STREQ(document.RefusalReason().Text(), test.reason.c_str());
        EXPECT_EQ(document.FileType, ImageDocument::TYPE_BMP);
        EXPECT_EQ(document.Width, 3);
        EXPECT_EQ(document.Height, 2);
        EXPECT_EQ(PixelsOf(document), (Bytes{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(document.PaletteEntry(0), 0x102030u);

        ImageDocument fresh;
        EXPECT_FALSE(fresh.Load(test.name.c_str()));
        EXPECT_EQ(fresh.Width, 0);
        EXPECT_EQ(fresh.Height, 0);
        EXPECT_TRUE(fresh.HasPalette) << "a query shows 0,0 and a palette";
    }
    // A later good load forgets the reason.
    EXPECT_TRUE(document.Load((folder / "good.bmp").c_str()));
    EXPECT_TRUE(document.RefusalReason().IsEmpty());
}

TEST(ImageDocumentBmp, RleEndingEarlyAndSidesUpTo32767Load)
{
    ScratchFolder folder;
    struct Case {
        const char* name;
        Bytes file;
        int width;
        int height;
        std::size_t at; // where the run's pixels start (bottom-up rows)
        Bytes run;
    };
    const Case cases[] = {
        {"one run in 200 x 200.bmp", RleEndingAtOnce(200, 200, {5, 1}), 200, 200, 199 * 200, Bytes(5, 1)},
        {"wide.bmp", RleEndingAtOnce(32767, 1, {2, 1}), 32767, 1, 0, {1, 1}},
        {"tall.bmp", RleEndingAtOnce(1, 32767, {1, 1}), 1, 32767, 32766, {1}},
        {"tall top-down.bmp", RleEndingAtOnce(1, -32767, {1, 1}), 1, 32767, 0, {1}},
        {"uncompressed wide.bmp", UncompressedOfZeros(32767, 1), 32767, 1, 0, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ImageDocument document;
        ASSERT_TRUE(document.Load(Written(folder, test.name, test.file).c_str())) << document.RefusalReason().Text();
        EXPECT_EQ(document.Width, test.width);
        EXPECT_EQ(document.Height, test.height);
        // Every pixel the data does not reach is 0.
        Bytes expected(static_cast<std::size_t>(test.width) * static_cast<std::size_t>(test.height), 0);
        std::copy(test.run.begin(), test.run.end(), expected.begin() + static_cast<long>(test.at));
        EXPECT_EQ(PixelsOf(document), expected);
        EXPECT_EQ(document.PaletteEntry(1), 0x0180FFu);
    }
}

// The file ImageDocument writes for 3 x 2 pixels 1 2 3 / 4 5 6, from the format.
Bytes ThreeByTwoFile(const std::vector<PLColor>& table)
{
    Bytes file = {'B', 'M'};
    AppendU32(file, 14 + 40 + 1024 + 2 * 4); // file size 1,086
    AppendU32(file, 0);                      // two reserved words
    AppendU32(file, 14 + 40 + 1024);         // pixels at 1,078
    AppendU32(file, 40);                     // info header size
    AppendU32(file, 3);                      // width
    AppendU32(file, 2);                      // height, positive: bottom row first
    AppendU16(file, 1);                      // planes
    AppendU16(file, 8);                      // bits per pixel
    for (int field = 0; field < 6; ++field)  // compression, image size, resolution x and y, colours used, important
        AppendU32(file, 0);
    for (const PLColor& color : table)
        file.insert(file.end(), {color.b, color.g, color.r, 0});
    file.insert(file.end(), {4, 5, 6, 0, 1, 2, 3, 0});
    return file;
}

ImageDocument& ThreeByTwoDocument(ImageDocument& document)
{
    document.Width = 3;
    document.Height = 2;
    document.Pixels.SetSize(6);
    for (int i = 0; i < 6; ++i)
        document.Pixels.Data()[i] = static_cast<unsigned char>(i + 1);
    return document;
}

TEST(ImageDocumentBmp, SaveWritesBlueGreenRedAndZero)
{
    ScratchFolder folder;
    ImageDocument document;
    ThreeByTwoDocument(document).SetDefaultPalette();
    // Entry i: red i, green 2i, blue 255 - i, as 0x00BBGGRR.
    std::vector<PLColor> table;
    for (int i = 0; i < 256; ++i) {
        auto red = static_cast<std::uint8_t>(i);
        auto green = static_cast<std::uint8_t>(2 * i);
        auto blue = static_cast<std::uint8_t>(255 - i);
        unsigned char* entry = document.Palette.Data() + 4 * i;
        entry[0] = red;
        entry[1] = green;
        entry[2] = blue;
        entry[3] = 0x5A; // the high byte is not part of the colour
        table.emplace_back(red, green, blue);
    }
    ASSERT_TRUE(document.Save((folder / "out.bmp").c_str(), ImageDocument::TYPE_BMP));
    Bytes written;
    ASSERT_TRUE(ReadBytes(folder / "out.bmp", written));
    EXPECT_EQ(written, ThreeByTwoFile(table));
    EXPECT_TRUE(document.RefusalReason().IsEmpty());
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.bmp"});
}

TEST(ImageDocumentBmp, SaveWithoutPaletteDataWritesTheDefaultPalette)
{
    ScratchFolder folder;
    ImageDocument document;
    ThreeByTwoDocument(document);
    ASSERT_EQ(document.Palette.Size(), 0) << "as the drop option leaves it";
    ASSERT_TRUE(document.Save((folder / "dropped.bmp").c_str(), ImageDocument::TYPE_BMP));
    Bytes written;
    ASSERT_TRUE(ReadBytes(folder / "dropped.bmp", written));
    ASSERT_EQ(written.size(), 1086u);
    // Colour table at 54, entry i at 54 + 4i as blue, green, red, 0.
    struct Entry {
        int index;
        unsigned char blue, green, red;
    };
    const Entry entries[] = {
        {0, 0, 0, 0},           {1, 0x7F, 0, 0},     {4, 0, 0, 0x7F},   {7, 0xC0, 0xC0, 0xC0},   {14, 0, 0xFF, 0xFF},
        {17, 0x14, 0x14, 0x14}, {33, 0xFC, 0, 0x40}, {104, 0x70, 0, 0}, {247, 0x40, 0x30, 0x2C}, {255, 0, 0, 0}};
    for (const Entry& entry : entries) {
        SCOPED_TRACE("entry " + std::to_string(entry.index));
        std::size_t at = 54 + 4 * static_cast<std::size_t>(entry.index);
        EXPECT_EQ(written[at], entry.blue);
        EXPECT_EQ(written[at + 1], entry.green);
        EXPECT_EQ(written[at + 2], entry.red);
        EXPECT_EQ(written[at + 3], 0);
    }
    EXPECT_EQ(document.Palette.Size(), 0) << "saving does not give the document a palette";
}

TEST(ImageDocumentBmp, LoadThenSaveGivesTheSameFile)
{
    ScratchFolder folder;
    Bytes original = ThreeByTwoFile(std::vector<PLColor>(256, PLColor(9, 8, 7)));
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "in.bmp", original).c_str()));
    ASSERT_TRUE(document.Save((folder / "out.bmp").c_str(), ImageDocument::TYPE_BMP));
    Bytes written;
    ASSERT_TRUE(ReadBytes(folder / "out.bmp", written));
    EXPECT_EQ(written, original);
}

TEST(ImageDocumentBmp, FailedSavesLeaveNoFileAndSayWhy)
{
    ScratchFolder folder;
    const Bytes kept = {'k', 'e', 'e', 'p'};
    struct Case {
        const char* what;
        int width;
        int height;
        int pixelBytes;
        std::string name;
        std::string reason;
    };
    const Case cases[] = {
        {"no pixels", 0, 0, 0, "empty.bmp", "Picture: 0 x 0 pixels, a BMP file holds at least 1 x 1"},
        {"no rows", 5, 0, 0, "flat.bmp", "Picture: 5 x 0 pixels, a BMP file holds at least 1 x 1"},
        {"too few pixels", 10, 2, 5, "short.bmp", "Picture: 10 x 2 pixels, but its pixels stop after 5"},
        {"negative size", -3, 2, 6, "negative.bmp", "Picture: -3 x 2 pixels, but its pixels stop after 6"},
        {"missing folder", 3, 2, 6, "no-folder/out.bmp", ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        std::string path = folder / test.name;
        WriteBytes(folder / "existing.bmp", kept);
        ImageDocument document;
        document.Width = test.width;
        document.Height = test.height;
        document.Pixels.SetSize(test.pixelBytes);
        EXPECT_FALSE(document.Save(path.c_str(), ImageDocument::TYPE_BMP));
        std::string reason = test.reason;
        if (reason.empty()) // the writer's own text, with the system's words for the error
            reason = "Decoder error: Opening " + path + " failed: ";
        EXPECT_EQ(std::string(document.RefusalReason().Text()).substr(0, reason.size()), reason);
        EXPECT_EQ(std::string(document.RefusalReason().Text()).find('\n'), std::string::npos);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"existing.bmp"});
    }
}

TEST(ImageDocumentBmp, FailedSaveKeepsTheFileItWouldHaveReplaced)
{
    ScratchFolder folder;
    const Bytes kept = {'k', 'e', 'e', 'p'};
    ASSERT_TRUE(WriteBytes(folder / "out.bmp", kept));
    ImageDocument document;
    document.Width = 4;
    document.Height = 4;
    document.Pixels.SetSize(3);
    EXPECT_FALSE(document.Save((folder / "out.bmp").c_str(), ImageDocument::TYPE_BMP));
    Bytes after;
    ASSERT_TRUE(ReadBytes(folder / "out.bmp", after));
    EXPECT_EQ(after, kept);
}

TEST(ImageDocumentBmp, PicWithoutPaletteSavesTheDefaultPaletteAsColorTable)
{
    // 2 x 1 pixels with the indices 1, 2 and no palette chunk.
    const Bytes picture = {
        0x58, 0x30, 0x08, 0x00, // tag "X0", 8 data bytes
        0x02, 0x00, 0x01, 0x00, // width 2, height 1
        0x0B,                   // largest code width 11
        0x01, 0x04, 0x00,       // 9-bit codes 1, 2
    };
    ScratchFolder folder;
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "plain.pic", picture).c_str()));
    ASSERT_TRUE(document.Save((folder / "plain.bmp").c_str(), ImageDocument::TYPE_BMP));
    Bytes written;
    ASSERT_TRUE(ReadBytes(folder / "plain.bmp", written));
    ASSERT_EQ(written.size(), 14u + 40 + 1024 + 4);
    // Entry 1 of the default palette is blue 0x7F, entry 2 green 0x7F.
    EXPECT_EQ((Bytes(written.begin() + 58, written.begin() + 66)), (Bytes{0x7F, 0, 0, 0, 0, 0x7F, 0, 0}));
    EXPECT_EQ((Bytes(written.end() - 4, written.end())), (Bytes{1, 2, 0, 0})) << "one row, two bytes of padding";
}

} // namespace
