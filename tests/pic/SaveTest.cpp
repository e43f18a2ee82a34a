// Writing files: the layout, the palette's 6-bit form, refusals, and that a
// save either replaces the target whole or leaves it as it was.
#include "converter/support/FileHandle.h"
#include "pic/DefaultPalette.h"
#include "pic/PicFile.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace {

const unsigned char TWO_PIXELS[] = {1, 2};

// The 2 x 1 picture 1, 2 as the converter writes it without a palette.
// clang-format off
const Bytes TWO_PIXEL_FILE = {
    'X', '0', 8, 0,         // image chunk, 4 size bytes and a 4-byte stream
    2, 0, 1, 0,             // width 2, height 1
    0x0B, 0x01, 0x04, 0x00, // the byte 11, codes 1 and 2
};
// clang-format on

TEST(Save, WritesThePaletteChunkOnlyWhenAskedAndPresent)
{
    PicFile withPalette;
    ASSERT_TRUE(withPalette.SetImage(2, 1, TWO_PIXELS, Bytes(1024, 0xFF).data()));
    Bytes full = SavedBytes(withPalette, true);
    // "M0", length 770, indices 0 to 255, then 256 triples of 0xFF >> 2.
    ASSERT_EQ(full.size(), 4u + 770 + TWO_PIXEL_FILE.size());
    EXPECT_EQ(Hex(Bytes(full.begin(), full.begin() + 6)), "4D 30 02 03 00 FF");
    EXPECT_EQ(Bytes(full.begin() + 6, full.begin() + 774), Bytes(768, 63));
    EXPECT_EQ(Bytes(full.begin() + 774, full.end()), TWO_PIXEL_FILE);

    EXPECT_EQ(SavedBytes(withPalette, false), TWO_PIXEL_FILE);
    PicFile withoutPalette;
    ASSERT_TRUE(withoutPalette.SetImage(2, 1, TWO_PIXELS, nullptr));
    EXPECT_EQ(SavedBytes(withoutPalette, true), TWO_PIXEL_FILE);
}

TEST(Save, DefaultPaletteComesBackBut0x7FAnd0xFFLoseTheirLowBits)
{
    Bytes palette(1024);
    for (std::size_t i = 0; i < 256; ++i)
        for (std::size_t byte = 0; byte < 4; ++byte)
            palette[4 * i + byte] = static_cast<unsigned char>(DEFAULT_PALETTE[i] >> (8 * byte));
    PicFile pic;
    ASSERT_TRUE(pic.SetImage(2, 1, TWO_PIXELS, palette.data()));
    Bytes file = SavedBytes(pic, true);
    PicFile loaded;
    ASSERT_TRUE(loaded.Parse(file.data(), static_cast<int>(file.size())));
    for (unsigned i = 0; i < 256; ++i) {
        std::uint32_t expected = DEFAULT_PALETTE[i];
        if (i < 16) // 0x7F becomes 0x7C and 0xFF 0xFC; 0xC0 and 0 keep
            expected &= 0xFCFCFCu;
        EXPECT_EQ(loaded.PaletteEntry(i), expected) << i;
    }
    EXPECT_EQ(loaded.Width(), 2);
}

TEST(Save, RefusesAStreamTooLongForAnImageChunk)
{
    ScratchFolder folder;
    const std::string target = folder / "keep.pic";
    ASSERT_TRUE(WriteBytes(target, TWO_PIXEL_FILE));
    Bytes noise = Noise(320 * 200, 31);
    std::size_t streamBytes = EncodePixels(320, 200, noise).size();
    ASSERT_GT(streamBytes, 65531u);
    PicFile pic;
    ASSERT_TRUE(pic.SetImage(320, 200, noise.data(), nullptr));
    EXPECT_FALSE(pic.Save(target.c_str(), true));
    EXPECT_EQ(Describe(pic.Refusal()), "STREAM_TOO_LONG " + std::to_string(streamBytes) + " bytes, limit 65531");
    Bytes kept;
    ASSERT_TRUE(ReadBytes(target, kept));
    EXPECT_EQ(kept, TWO_PIXEL_FILE);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.pic"});

    // The same picture cut to fit is written, and the refusal is forgotten.
    ASSERT_TRUE(pic.SetImage(320, 100, noise.data(), nullptr));
    EXPECT_TRUE(pic.Save(target.c_str(), true));
    EXPECT_EQ(Describe(pic.Refusal()), "NONE");
}

TEST(Save, ReplacesALongerFileWholeAndFailsCleanly)
{
    ScratchFolder folder;
    const std::string target = folder / "old.pic";
    ASSERT_TRUE(WriteBytes(target, Bytes(5000, 'x')));
    PicFile pic;
    ASSERT_TRUE(pic.SetImage(2, 1, TWO_PIXELS, nullptr));
    ASSERT_TRUE(pic.Save(target.c_str(), true));
    Bytes written;
    ASSERT_TRUE(ReadBytes(target, written));
    EXPECT_EQ(written, TWO_PIXEL_FILE); // no tail of the old file

    // A missing folder, a file where a folder should be, a folder where the
    // file should be, and no name: false with the system's reason, nothing
    // left behind.
    EXPECT_FALSE(pic.Save((folder / "missing/new.pic").c_str(), true));
    EXPECT_EQ(Describe(pic.Refusal()), "NOT_WRITTEN, error " + std::to_string(ENOENT));
    EXPECT_FALSE(pic.Save((folder / "old.pic/new.pic").c_str(), true));
    EXPECT_EQ(pic.Refusal().kind, PicRefusal::NOT_WRITTEN);
    ASSERT_TRUE(std::filesystem::create_directory(folder / "taken.pic"));
    EXPECT_FALSE(pic.Save((folder / "taken.pic").c_str(), true));
    EXPECT_EQ(pic.Refusal().kind, PicRefusal::NOT_WRITTEN);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"old.pic", "taken.pic"}));
    EXPECT_FALSE(pic.Save("", true));
    EXPECT_EQ(Describe(pic.Refusal()), "NOT_WRITTEN, error " + std::to_string(ENOENT));
}

TEST(Load, ReadsFilesAndSaveToWritesAtTheHandle)
{
    ScratchFolder folder;
    const std::string path = folder / "two.pic";
    {
        FileHandle file;
        ASSERT_TRUE(file.Open(path.c_str(), FileHandle::WRITE | FileHandle::CREATE));
        PicFile pic;
        ASSERT_TRUE(pic.SetImage(2, 1, TWO_PIXELS, nullptr));
        ASSERT_TRUE(pic.SaveTo(file, false));
    }
    PicFile loaded;
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_TRUE(loaded.HasImage);
    unsigned char pixels[3] = {9, 9, 9};
    EXPECT_EQ(loaded.CopyPixels(pixels, 3), 2);
    EXPECT_EQ(Bytes(pixels, pixels + 3), Bytes({1, 2, 9}));
    EXPECT_EQ(loaded.RawData.Size(), 0);

    PicFile missing;
    EXPECT_FALSE(missing.Load((folder / "none.pic").c_str()));
    EXPECT_EQ(missing.CopyPixels(pixels, 3), 0);
    EXPECT_EQ(Bytes(pixels, pixels + 3), Bytes({1, 2, 9}));
}

TEST(Load, AFileLargerThanABufferIsRefusedWithItsSize)
{
    // Sparse files that begin with a picture saved as usual; at 2 GiB and
    // past 4 GiB a part of them would load as that picture.
    ScratchFolder folder;
    const std::string saved = folder / "two.pic";
    PicFile two;
    ASSERT_TRUE(two.SetImage(2, 1, TWO_PIXELS, nullptr));
    ASSERT_TRUE(two.Save(saved.c_str(), false));
    Bytes bytes;
    ASSERT_TRUE(ReadBytes(saved, bytes));
    struct Case {
        std::uint64_t size;
        std::string refusal;
    };
    const std::uint64_t past4GiB = 0x100000000 + std::uint64_t{bytes.size()};
    const Case cases[] = {
        {0x80000000, "FILE_TOO_LARGE 2147483648 bytes, limit 2147483647"},
        {past4GiB, "FILE_TOO_LARGE " + std::to_string(past4GiB) + " bytes, limit 2147483647"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string path = folder / "huge.pic";
        ASSERT_TRUE(WriteSparseFile(path, bytes, c.size));
        PicFile pic;
        EXPECT_FALSE(pic.Load(path.c_str()));
        EXPECT_EQ(Describe(pic.Refusal()), c.refusal);
        EXPECT_FALSE(pic.HasImage);
        EXPECT_EQ(pic.RawData.Size(), 0);
    }
    PicFile again;
    EXPECT_TRUE(again.Load(saved.c_str()));
    EXPECT_EQ(Describe(again.Refusal()), "NONE");
}

// The hand-written fixtures, read from files.
TEST(Load, Fixtures)
{
    struct Case {
        const char* name;
        int width, height;
        Bytes pixels;
        bool hasPalette;
    };
    const Case cases[] = {
        {"two-pixels.pic", 2, 1, {1, 2}, false},
        {"four-fives.pic", 4, 1, {5, 5, 5, 5}, false},
        {"repeated-pair.pic", 8, 1, {1, 2, 1, 2, 1, 2, 1, 2}, false},
        {"palette-range.pic", 3, 1, {0x90, 0x90, 7}, true},
        {"unknown-chunk.pic", 2, 1, {1, 2}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PicFile pic;
        std::vector<std::uint16_t> unknown;
        pic.OnUnknownChunk = [&unknown](std::uint16_t tag) { unknown.push_back(tag); };
        ASSERT_TRUE(pic.Load((std::string(CANTREL_FIXTURES) + "/pic/" + c.name).c_str()));
        EXPECT_EQ(pic.Width(), c.width);
        EXPECT_EQ(pic.Height(), c.height);
        EXPECT_EQ(Bytes(pic.Pixels.Data(), pic.Pixels.Data() + pic.Pixels.Size()), c.pixels);
        EXPECT_EQ(pic.HasPalette, c.hasPalette);
        EXPECT_EQ(unknown, std::string(c.name) == "unknown-chunk.pic" ? std::vector<std::uint16_t>{0x4241}
                                                                      : std::vector<std::uint16_t>{});
    }
}

// The bundled sample: a full-size picture whose stream runs through many
// dictionary cycles; saving what was loaded gives the same bytes back.
TEST(Load, TheBundledSampleSavesToTheSameBytes)
{
    const std::string path = std::string(CANTREL_SOURCE_DIR) + "/samples/valley.pic";
    Bytes original;
    ASSERT_TRUE(ReadBytes(path, original));
    PicFile pic;
    ASSERT_TRUE(pic.Load(path.c_str()));
    EXPECT_EQ(pic.Width(), 320);
    EXPECT_EQ(pic.Height(), 200);
    EXPECT_TRUE(pic.HasPalette);
    EXPECT_LE(original.size(), 4u + 770 + 8 + PicFile::MAX_STREAM_BYTES);
    EXPECT_EQ(SavedBytes(pic, true), original);
}

} // namespace
