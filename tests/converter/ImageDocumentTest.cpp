#include "converter/ImageDocument.h"
#include "tests/common/PicModels.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// 2 x 1 pixels with the indices 1, 2 and no palette: one image chunk.
const Bytes TWO_PIXELS = {
    0x58, 0x30, 0x08, 0x00, // tag "X0", 8 data bytes
    0x02, 0x00, 0x01, 0x00, // width 2, height 1
    0x0B,                   // largest code width 11
    0x01, 0x04, 0x00,       // 9-bit codes 1, 2
};

// A palette chunk of all 256 entries, each the same 6-bit colour.
Bytes OneColorPalette(unsigned char red, unsigned char green, unsigned char blue)
{
    Bytes triples;
    for (int i = 0; i < 256; ++i)
        triples.insert(triples.end(), {red, green, blue});
    return PaletteChunk(0, 255, triples);
}

TEST(ImageDocument, NewDocumentIsEmptyAndClaimsAPalette)
{
    ImageDocument document;
    EXPECT_TRUE(document.HasPalette);
    EXPECT_EQ(document.Palette.Size(), 0);
    EXPECT_EQ(document.Pixels.Size(), 0);
    EXPECT_EQ(document.Width, 0);
    EXPECT_EQ(document.Height, 0);
    EXPECT_EQ(document.FileType, ImageDocument::TYPE_NONE);
}

TEST(ImageDocument, FormatFollowsTheExtensionWithoutRegardToCase)
{
    struct Case {
        const char* name;
        int type;
    };
    // clang-format off
    const Case cases[] = {
        {"IMAGE.BMP", ImageDocument::TYPE_BMP},   {"image.Pic", ImageDocument::TYPE_PIC},
        {"a.pic", ImageDocument::TYPE_PIC},       {"C:\\art\\map.bMp", ImageDocument::TYPE_BMP},
        {"archive.bmp.old", ImageDocument::TYPE_NONE}, {"map.bmp2", ImageDocument::TYPE_NONE},
        {"pic", ImageDocument::TYPE_NONE},        {"map.", ImageDocument::TYPE_NONE},
        {"dir.pic\\file", ImageDocument::TYPE_NONE}, {"", ImageDocument::TYPE_NONE},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(ImageDocument::FileTypeOf(test.name), test.type);
    }
}

TEST(ImageDocument, DefaultPaletteIsTheSystemTable)
{
    ImageDocument document;
    document.SetDefaultPalette();
    ASSERT_EQ(document.Palette.Size(), 1024);
    // Entries as 0x00BBGGRR, from the default table.
    struct Entry {
        int index;
        std::uint32_t value;
    };
    const Entry entries[] = {{0, 0x000000},  {1, 0x7F0000},  {4, 0x00007F},  {7, 0xC0C0C0},  {9, 0xFF0000},
                             {15, 0xFFFFFF}, {17, 0x141414}, {32, 0xFC0000}, {40, 0x0000FC}, {255, 0x000000}};
    for (const Entry& entry : entries) {
        SCOPED_TRACE("entry " + std::to_string(entry.index));
        EXPECT_EQ(document.PaletteEntry(entry.index), entry.value);
    }
    // Stored little-endian, red in the first byte: entry 4 is 7F 00 00 00.
    EXPECT_EQ(document.Palette.Data()[16], 0x7F);
    EXPECT_EQ(document.Palette.Data()[18], 0x00);
}

TEST(ImageDocument, PicWithoutPaletteLoadsWithTheDefaultPalette)
{
    ScratchFolder folder;
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "plain.PIC", TWO_PIXELS).c_str()));
    EXPECT_EQ(document.FileType, ImageDocument::TYPE_PIC);
    EXPECT_EQ(document.Width, 2);
    EXPECT_EQ(document.Height, 1);
    ASSERT_EQ(document.Pixels.Size(), 2);
    EXPECT_EQ(document.Pixels.Data()[0], 1);
    EXPECT_EQ(document.Pixels.Data()[1], 2);
    EXPECT_FALSE(document.HasPalette);
    ASSERT_EQ(document.Palette.Size(), 1024) << "the default palette stands in";
    EXPECT_EQ(document.PaletteEntry(1), 0x7F0000u);
}

TEST(ImageDocument, PicWithPaletteLoadsItsColors)
{
    ScratchFolder folder;
    ImageDocument document;
    std::string name = Written(folder, "red.pic", Join({OneColorPalette(63, 0, 0), TWO_PIXELS}));
    ASSERT_TRUE(document.Load(name.c_str()));
    EXPECT_TRUE(document.HasPalette);
    for (int i : {0, 1, 128, 255}) {
        SCOPED_TRACE("entry " + std::to_string(i));
        EXPECT_EQ(document.PaletteEntry(i), 0x0000FCu) << "6-bit red 63 is 0xFC";
    }
}

TEST(ImageDocument, PicWithoutImageChunkLoadsEmpty)
{
    ScratchFolder folder;
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "palette-only.pic", OneColorPalette(0, 63, 0)).c_str()));
    EXPECT_EQ(document.Width, 0);
    EXPECT_EQ(document.Height, 0);
    EXPECT_EQ(document.Pixels.Size(), 0);
    EXPECT_TRUE(document.HasPalette);
    EXPECT_EQ(document.PaletteEntry(3), 0x00FC00u);
    EXPECT_FALSE(document.HadImage()) << "a converter must tell it from a picture";
}

TEST(ImageDocument, HadImageTellsAPictureFromAFileWithoutOne)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool hadImage;
    };
    const Case cases[] = {
        {"plain.pic", TWO_PIXELS, true},
        {"palette-only.pic", OneColorPalette(0, 63, 0), false},
        {"empty.pic", {}, false},
        {"text.pic", {'F', 'e', 'n', 'w', 'o', 'l', 'd', 's', '\n'}, false},
    };
    ScratchFolder folder;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ImageDocument document;
        document.Load(Written(folder, "plain.pic", TWO_PIXELS).c_str());
        // Quietly: the text's first bytes walk as an unknown chunk.
        ASSERT_TRUE(document.LoadQuietly(Written(folder, test.name, test.bytes).c_str()));
        EXPECT_EQ(document.HadImage(), test.hadImage) << "each load decides anew";
    }
}

TEST(ImageDocument, FailedLoadsChangeNothingButTheFileType)
{
    ScratchFolder folder;
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "in.pic", TWO_PIXELS).c_str()));

    struct Case {
        std::string name;
        int typeAfterwards;
    };
    const Case cases[] = {
        {folder / "missing.pic", ImageDocument::TYPE_PIC},
        {Written(folder, "archive.pic.old", TWO_PIXELS), ImageDocument::TYPE_PIC},
        {folder.Path(), ImageDocument::TYPE_PIC}, // a folder is no picture, whatever its name
        {Written(folder, "notes.txt", TWO_PIXELS), ImageDocument::TYPE_PIC},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_FALSE(document.Load(test.name.c_str()));
        EXPECT_EQ(document.FileType, test.typeAfterwards);
        EXPECT_EQ(document.Width, 2);
        EXPECT_EQ(document.Height, 1);
        EXPECT_EQ(document.Pixels.Size(), 2);
        EXPECT_FALSE(document.HasPalette);
    }

    ImageDocument fresh;
    EXPECT_FALSE(fresh.Load((folder / "missing.pic").c_str()));
    EXPECT_EQ(fresh.FileType, ImageDocument::TYPE_PIC);
    EXPECT_TRUE(fresh.HasPalette);
    EXPECT_EQ(fresh.Width, 0);
}

// An image chunk of width x height whose stream holds only its code width:
// every pixel decodes as 0.
Bytes EmptyStreamChunk(std::uint16_t width, std::uint16_t height)
{
    return ImageChunk(width, height, {0x0B});
}

TEST(ImageDocument, PicWhosePictureCannotBeHeldIsAFailedLoadWithItsReason)
{
    ScratchFolder folder;
    struct Case {
        std::string name;
        std::string reason;
    };
    const std::string tooWide = "PIC image chunk: 32768 x 1 pixels, at most 32767 x 32767";
    const Case cases[] = {
        {Written(folder, "wide.pic", EmptyStreamChunk(32768, 1)), tooWide},
        {Written(folder, "tall.pic", EmptyStreamChunk(1, 65535)),
         "PIC image chunk: 1 x 65535 pixels, at most 32767 x 32767"},
        // A later image replaces an earlier one: here the later one is lost.
        {Written(folder, "held-then-lost.pic", Join({TWO_PIXELS, EmptyStreamChunk(32768, 1)})), tooWide},
        {Written(folder, "palette-then-lost.pic", Join({OneColorPalette(1, 2, 3), EmptyStreamChunk(32768, 1)})),
         tooWide},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ImageDocument document;
        EXPECT_FALSE(document.Load(test.name.c_str()));
        EXPECT_STREQ(document.RefusalReason().Text(), test.reason.c_str());
        // What a query then shows: 0,0 and a palette.
        EXPECT_EQ(document.Width, 0);
        EXPECT_EQ(document.Height, 0);
        EXPECT_TRUE(document.HasPalette);
        EXPECT_EQ(document.Pixels.Size(), 0);
        EXPECT_EQ(document.FileType, ImageDocument::TYPE_PIC);
    }
}

TEST(ImageDocument, PicSidesUpTo32767AreHeld)
{
    ScratchFolder folder;
    struct Case {
        const char* name;
        Bytes file;
        int width;
        int height;
    };
    const Case cases[] = {
        {"wide.pic", EmptyStreamChunk(32767, 1), 32767, 1},
        {"tall.pic", EmptyStreamChunk(1, 32767), 1, 32767},
        // A refused image followed by one that is held: the file's picture is the last.
        {"lost-then-held.pic", Join({EmptyStreamChunk(32768, 1), TWO_PIXELS}), 2, 1},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ImageDocument document;
        ASSERT_TRUE(document.Load(Written(folder, test.name, test.file).c_str()));
        EXPECT_TRUE(document.RefusalReason().IsEmpty());
        EXPECT_EQ(document.Width, test.width);
        EXPECT_EQ(document.Height, test.height);
        EXPECT_EQ(document.Pixels.Size(), test.width * test.height);
    }
}

TEST(ImageDocument, PicSaveWritesAPaletteChunkExactlyWhenThereIsPaletteData)
{
    ScratchFolder folder;
    ImageDocument document;
    ASSERT_TRUE(document.Load(Written(folder, "in.pic", Join({OneColorPalette(0, 0, 63), TWO_PIXELS})).c_str()));

    ASSERT_TRUE(document.Save((folder / "kept.pic").c_str(), ImageDocument::TYPE_PIC));
    Bytes kept;
    ASSERT_TRUE(ReadBytes(folder / "kept.pic", kept));
    EXPECT_EQ(kept, Join({OneColorPalette(0, 0, 63), TWO_PIXELS}));

    document.Palette.Clear(); // as the drop option leaves it
    ASSERT_TRUE(document.Save((folder / "dropped.pic").c_str(), ImageDocument::TYPE_PIC));
    Bytes dropped;
    ASSERT_TRUE(ReadBytes(folder / "dropped.pic", dropped));
    EXPECT_EQ(dropped, TWO_PIXELS);
}

TEST(ImageDocument, SaveWithoutAFormatWritesNothingAndSucceeds)
{
    ScratchFolder folder;
    ImageDocument document;
    EXPECT_TRUE(document.Save((folder / "out.gif").c_str(), ImageDocument::TYPE_NONE));
    EXPECT_TRUE(document.Save((folder / "out.pic").c_str(), 7));
    EXPECT_TRUE(document.Save((folder / "out.pic").c_str())) << "FileType 0: the kind of no load";
    EXPECT_TRUE(folder.Names().empty());
}

TEST(ImageDocument, PicSaveFailuresWriteNothing)
{
    ScratchFolder folder;
    ImageDocument unwritable;
    ASSERT_TRUE(unwritable.Load(Written(folder, "in.pic", TWO_PIXELS).c_str()));
    EXPECT_FALSE(unwritable.Save((folder / "no-folder/out.pic").c_str(), ImageDocument::TYPE_PIC));
    EXPECT_STREQ(unwritable.RefusalReason().Text(), "Writing the file: No such file or directory")
        << "the picture was fine, the place was not";

    ImageDocument tooWide;
    tooWide.Width = 40000;
    tooWide.Height = 1;
    tooWide.Pixels.SetSize(40000);
    std::fill(tooWide.Pixels.Data(), tooWide.Pixels.Data() + 40000, 0);
    EXPECT_FALSE(tooWide.Save((folder / "wide.pic").c_str(), ImageDocument::TYPE_PIC));
    EXPECT_STREQ(tooWide.RefusalReason().Text(), "Picture: 40000 x 1 pixels, a PIC file holds at most 32767 x 32767");

    ImageDocument incomplete;
    incomplete.Width = 10;
    incomplete.Height = 2;
    incomplete.Pixels.SetSize(5);
    EXPECT_FALSE(incomplete.Save((folder / "short.pic").c_str(), ImageDocument::TYPE_PIC));
    EXPECT_STREQ(incomplete.RefusalReason().Text(), "Picture: 10 x 2 pixels, but its pixels stop after 5");

    EXPECT_EQ(folder.Names(), std::vector<std::string>{"in.pic"});

    // A later successful save forgets the earlier refusal.
    EXPECT_TRUE(unwritable.Save((folder / "out.pic").c_str(), ImageDocument::TYPE_PIC));
    EXPECT_TRUE(unwritable.RefusalReason().IsEmpty());
}

} // namespace
