// PicImage::Load reads real files (Windows build): what it returns, and that
// a file that cannot be read leaves the picture as it was.
#include "viewer/PicImage.h"

#include "tests/common/TestFiles.h"
#include "tests/common/PicModels.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(PicImageLoad, ReadsWholeFilesAndKeepsThePictureOnFailure)
{
    ScratchFolder folder;
    const Bytes twoByOne{'X', '0', 8, 0, 2, 0, 1, 0, 0x0B, 0x01, 0x04, 0x00};
    ASSERT_TRUE(WriteBytes(folder / "a.pic", twoByOne));
    ASSERT_TRUE(WriteBytes(folder / "name with spaces.pic", ImageChunk(3, 1, LiteralStream({7, 8, 9}))));
    ASSERT_TRUE(WriteBytes(folder / "empty.pic", {}));
    ASSERT_TRUE(WriteBytes(folder / "unknown.pic", {'Q', 'Q', 0, 0}));
    ASSERT_TRUE(WriteBytes(folder / "odd.pic", ImageChunk(4, 1, LiteralStream({1, 2, 3, 4}))));
    // Sparse files that begin with a picture: read as their first bytes they
    // would show it.
    const Bytes fiveWide = ImageChunk(5, 1, LiteralStream({7, 7, 7, 7, 7}));
    ASSERT_TRUE(WriteSparseFile(folder / "2gib.pic", fiveWide, 0x80000000));
    ASSERT_TRUE(WriteSparseFile(folder / "4gib.pic", fiveWide, 0x100000000 + fiveWide.size()));

    struct Step {
        const char* name;
        bool result;
        std::uint32_t width;
        std::uint32_t firstColor;
    };
    // clang-format off
    const Step steps[] = {
        {"a.pic", true, 2, 0x7F0000},          // index 1
        {"missing.pic", false, 2, 0x7F0000},   // cannot be opened: nothing changes
        {"empty.pic", false, 2, 0x7F0000},     // no bytes
        {"unknown.pic", true, 2, 0x7F0000},    // walk ends at once
        {"name with spaces.pic", true, 3, 0xC0C0C0}, // index 7
        {"odd.pic", true, 4, 0x7F0000},
        {"2gib.pic", false, 4, 0x7F0000},      // too large to hold: nothing changes
        {"4gib.pic", false, 4, 0x7F0000},      // never read as its first bytes
        {"", false, 4, 0x7F0000},              // names the folder itself
    };
    // clang-format on
    PicImage image;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        EXPECT_EQ(image.Load((folder / step.name).c_str()), step.result);
        EXPECT_TRUE(image.HasImage);
        EXPECT_EQ(image.Width, step.width);
        EXPECT_EQ(image.PixelColor(0, 0), step.firstColor);
        EXPECT_EQ(image.FileData, nullptr);
    }
}

TEST(PicImageLoad, ReadsAFileAnotherProgramHasOpen)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "open.pic", ImageChunk(1, 1, LiteralStream({12}))));
    std::ifstream reader(folder / "open.pic", std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    PicImage image;
    EXPECT_TRUE(image.Load((folder / "open.pic").c_str()));
    EXPECT_EQ(image.PixelColor(0, 0), 0x0000FFu);
}
