// The chunk walk and the palette chunk, from hand-written files, and hostile
// files: every cut and many corruptions of valid ones, and random bytes.
#include "pic/DefaultPalette.h"
#include "pic/PicFile.h"
#include "tests/common/PicModels.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// The 2 x 1 picture 1, 2 without a palette.
// clang-format off
const Bytes TWO_PIXELS = {
    'X', '0', 8, 0,         // image chunk, 8 data bytes
    2, 0, 1, 0,             // width 2, height 1
    0x0B, 0x01, 0x04, 0x00, // codes 1, 2 at 9 bits
};
// clang-format on

// Parses without a message box and counts the unknown tags.
struct Parsed {
    explicit Parsed(const Bytes& file)
    {
        pic.OnUnknownChunk = [this](std::uint16_t tag) { unknownTags.push_back(tag); };
        EXPECT_TRUE(pic.Parse(file.data(), static_cast<int>(file.size())));
    }
    Bytes Pixels() const
    {
        Bytes pixels(static_cast<std::size_t>(pic.Width()) * static_cast<std::size_t>(pic.Height()));
        int expected = pic.HasImage ? static_cast<int>(pixels.size()) : 0;
        EXPECT_EQ(pic.CopyPixels(pixels.data(), static_cast<int>(pixels.size())), expected);
        return pixels;
    }
    PicFile pic;
    std::vector<std::uint16_t> unknownTags;
};

TEST(ChunkWalk, ReadsImagesAndPalettesInAnyOrder)
{
    Parsed plain(TWO_PIXELS);
    EXPECT_TRUE(plain.pic.HasImage);
    EXPECT_FALSE(plain.pic.HasPalette);
    EXPECT_EQ(plain.pic.Width(), 2);
    EXPECT_EQ(plain.pic.Height(), 1);
    EXPECT_EQ(plain.Pixels(), Bytes({1, 2}));

    Parsed paletteAfter(Join({TWO_PIXELS, PaletteChunk(1, 1, {63, 0, 0})}));
    EXPECT_TRUE(paletteAfter.pic.HasPalette);
    EXPECT_EQ(paletteAfter.pic.PaletteEntry(1), 0x0000FCu);
    EXPECT_EQ(paletteAfter.Pixels(), Bytes({1, 2}));

    // A later image replaces the earlier one: 5, 5, 5, 5 as 4 x 1.
    Parsed twoImages(Join({TWO_PIXELS, {'X', '0', 9, 0, 4, 0, 1, 0, 0x0B, 0x05, 0x20, 0x11, 0x00}}));
    EXPECT_EQ(twoImages.Pixels(), Bytes({5, 5, 5, 5}));
}

TEST(ChunkWalk, OddChunks)
{
    struct Case {
        const char* name;
        Bytes file;
        bool hasImage;
        int width, height;
        Bytes pixels;
        std::vector<std::uint16_t> unknownTags;
        std::string refusal = "NONE";
    };
    // clang-format off
    const Case cases[] = {
        {"an empty file", {}, false, 0, 0, {}, {}},
        {"an unknown chunk is skipped", Join({{'A', 'B', 2, 0, 'z', 'z'}, TWO_PIXELS}), true, 2, 1, {1, 2}, {0x4241}},
        {"an image chunk too short for a size keeps the old image", Join({TWO_PIXELS, {'X', '0', 3, 0, 9, 9, 9}}),
         true, 2, 1, {1, 2}, {}},
        {"an image chunk too short on its own", {'X', '0', 0, 0}, true, 0, 0, {}, {}},
        {"a header cut short reads its missing bytes as 0", Join({TWO_PIXELS, {'M'}}), true, 2, 1, {1, 2}, {0x004D}},
        {"a chunk longer than the file decodes from what is there",
         {'X', '0', 100, 0, 2, 0, 1, 0, 0x0B, 0x01, 0x04, 0x00}, true, 2, 1, {1, 2}, {}},
        {"a width of 0 is an image without pixels", {'X', '0', 4, 0, 0, 0, 7, 0}, true, 0, 7, {}, {}},
        // 0x8000 reads as -32,768: no picture comes of it, and the earlier one stays.
        {"a negative width is refused", Join({TWO_PIXELS, {'X', '0', 4, 0, 0, 0x80, 1, 0}}), true, 2, 1, {1, 2}, {},
         "IMAGE_CHUNK_TOO_LARGE 32768 x 1, limit 32767"},
        {"a negative height alone is refused", {'X', '0', 4, 0, 1, 0, 0xFF, 0xFF}, false, 0, 0, {}, {},
         "IMAGE_CHUNK_TOO_LARGE 1 x 65535, limit 32767"},
        {"a held image after a refused one clears the refusal",
         Join({{'X', '0', 4, 0, 0, 0x80, 1, 0}, TWO_PIXELS}), true, 2, 1, {1, 2}, {}},
        {"the largest sides are held", {'X', '0', 4, 0, 0xFF, 0x7F, 0, 0}, true, 32767, 0, {}, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parsed parsed(c.file);
        EXPECT_EQ(parsed.pic.HasImage, c.hasImage);
        EXPECT_EQ(parsed.pic.Width(), c.width);
        EXPECT_EQ(parsed.pic.Height(), c.height);
        EXPECT_EQ(parsed.Pixels(), c.pixels);
        EXPECT_EQ(parsed.unknownTags, c.unknownTags);
        EXPECT_EQ(Describe(parsed.pic.Refusal()), c.refusal);
        EXPECT_EQ(parsed.pic.RawData.Size(), 0);
    }
}

TEST(ChunkWalk, UnknownChunkMessageText)
{
    const std::string intro = "You have found an unknown InternalData format!\nFormat ID= ";
    struct Case {
        std::uint16_t tag;
        std::string rest;
    };
    // clang-format off
    const Case cases[] = {
        {0x4241, "AB (0x4241)"},   // bytes 'A', 'B'
        {0x0141, "A\x01 (0x 141)"}, // the number is padded with blanks to four digits
        {0x0041, "A"},             // the second byte 0 ends the text
        {0x4200, ""},              // so does a first byte 0
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(PicFile::UnknownChunkMessage(c.tag), intro + c.rest);
    }
}

TEST(PaletteChunk, AppliesItsRangeOverTheDefaultPalette)
{
    Bytes allRed;
    for (int i = 0; i < 256; ++i)
        allRed.insert(allRed.end(), {63, 0, 0});
    Parsed full(PaletteChunk(0, 255, allRed));
    for (unsigned i = 0; i < 256; ++i)
        ASSERT_EQ(full.pic.PaletteEntry(i), 0x0000FCu) << i;

    // The second chunk starts again from the default: 9 and 13 lose the first chunk's colour.
    Parsed range(Join({PaletteChunk(9, 13, Bytes(15, 1)), PaletteChunk(10, 12, {1, 2, 3, 64, 65, 63, 0, 0, 0})}));
    EXPECT_EQ(range.pic.PaletteEntry(9), 0xFF0000u);
    EXPECT_EQ(range.pic.PaletteEntry(10), 0x0C0804u);
    EXPECT_EQ(range.pic.PaletteEntry(11), 0xFC0400u); // 64 * 4 and 65 * 4 keep only their low byte
    EXPECT_EQ(range.pic.PaletteEntry(12), 0x000000u);
    EXPECT_EQ(range.pic.PaletteEntry(13), 0xFF00FFu);

    // The chunk's length is not consulted: these triples come from the image chunk after it.
    Parsed overlapping(Join({{'M', '0', 2, 0, 0, 1}, TWO_PIXELS}));
    EXPECT_EQ(overlapping.pic.PaletteEntry(0), 0x20C060u); // 'X', '0', 8 times 4
    EXPECT_EQ(overlapping.pic.PaletteEntry(1), 0x000800u); // 0, 2, 0 times 4
    EXPECT_EQ(overlapping.Pixels(), Bytes({1, 2}));

    // An empty range: the palette stays the default.
    Parsed empty(PaletteChunk(5, 4, {}));
    EXPECT_TRUE(empty.pic.HasPalette);
    for (unsigned i = 0; i < 256; ++i)
        EXPECT_EQ(empty.pic.PaletteEntry(i), DEFAULT_PALETTE[i]) << i;

    // Chunks that end the file in their third triple, 1 or 2 of its bytes
    // there: the whole triples are applied, the cut one and the rest stay default.
    for (const Bytes& triples : {Bytes{1, 1, 1, 2, 2, 2, 3}, Bytes{1, 1, 1, 2, 2, 2, 3, 3}}) {
        SCOPED_TRACE(testing::Message() << triples.size() - 6 << " bytes of the third triple");
        Parsed cut(PaletteChunk(20, 23, triples));
        EXPECT_TRUE(cut.pic.HasPalette);
        for (unsigned i = 0; i < 256; ++i) {
            std::uint32_t expected = i == 20 ? 0x040404u : i == 21 ? 0x080808u : DEFAULT_PALETTE[i];
            EXPECT_EQ(cut.pic.PaletteEntry(i), expected) << i;
        }
    }
    // A new object holds the default palette; a few entries from each part of the table.
    PicFile fresh;
    // clang-format off
    const std::pair<unsigned, std::uint32_t> defaults[] = {
        {1, 0x7F0000}, {7, 0xC0C0C0}, {15, 0xFFFFFF}, {16, 0}, {31, 0xFCFCFC}, {32, 0xFC0000},
        {100, 0xFCFCB4}, {176, 0x400000}, {247, 0x40302C}, {248, 0}, {255, 0}, {256, 0},
    };
    // clang-format on
    for (const auto& [index, color] : defaults)
        EXPECT_EQ(fresh.PaletteEntry(index), color) << index;
}

TEST(SetImage, RefusesSizesAPicFileCannotHold)
{
    const unsigned char pixels[4] = {1, 2, 3, 4};
    struct Case {
        int width, height;
        const unsigned char* pixels;
        const char* refusal; // null when accepted
    };
    const Case cases[] = {
        {2, 2, pixels, nullptr},
        {0, 0, nullptr, nullptr},
        {32767, 0, nullptr, nullptr},
        {-1, 1, pixels, "PICTURE_TOO_LARGE -1 x 1, limit 32767"},
        {1, -1, pixels, "PICTURE_TOO_LARGE 1 x -1, limit 32767"},
        {32768, 0, nullptr, "PICTURE_TOO_LARGE 32768 x 0, limit 32767"},
        {0, 32768, nullptr, "PICTURE_TOO_LARGE 0 x 32768, limit 32767"},
        {2, 2, nullptr, "NONE"}, // no pixels for a picture that has some: the caller's mistake
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        PicFile pic;
        ASSERT_TRUE(pic.SetImage(1, 1, pixels + 3, nullptr));
        bool accepted = c.refusal == nullptr;
        EXPECT_EQ(pic.SetImage(c.width, c.height, c.pixels, nullptr), accepted);
        EXPECT_EQ(Describe(pic.Refusal()), accepted ? "NONE" : c.refusal);
        EXPECT_EQ(pic.Width(), accepted ? c.width : 1);
        EXPECT_EQ(pic.Height(), accepted ? c.height : 1);
        EXPECT_EQ(pic.Pixels.Size(), accepted ? c.width * c.height : 1);
    }
}

TEST(TakeImage, TakesThePixelsOverAndRefusesWhatSetImageRefuses)
{
    // The caller's buffer and Pixels change places, so a lender gets its block
    // back with one more swap; too few pixels, or a size a file cannot hold,
    // change nothing on either side.
    struct Case {
        int width, height;
        int held;
        const char* refusal; // null when taken
    };
    const Case cases[] = {
        {2, 2, 4, nullptr}, {2, 1, 5, nullptr}, // pixels past the picture come along, never encoded
        {0, 0, 0, nullptr}, {2, 2, 3, "NONE"},  {32768, 1, 40000, "PICTURE_TOO_LARGE 32768 x 1, limit 32767"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", " << c.held << " held");
        PicFile pic;
        const unsigned char one = 9;
        ASSERT_TRUE(pic.SetImage(1, 1, &one, nullptr));
        ByteBuffer lent;
        ASSERT_TRUE(lent.SetSize(c.held));
        for (int i = 0; i < c.held; ++i)
            lent.Data()[i] = static_cast<unsigned char>(i + 1);
        const unsigned char* block = lent.Data();
        bool taken = c.refusal == nullptr;
        EXPECT_EQ(pic.TakeImage(c.width, c.height, lent, nullptr), taken);
        EXPECT_EQ(Describe(pic.Refusal()), taken ? "NONE" : c.refusal);
        EXPECT_EQ(pic.Width(), taken ? c.width : 1);
        EXPECT_EQ(pic.Pixels.Data() == block, taken);
        EXPECT_EQ(pic.Pixels.Size(), taken ? c.held : 1);
        EXPECT_EQ(lent.Size(), taken ? 1 : c.held);
        if (taken) {
            EXPECT_EQ(lent.Data()[0], 9);
            lent.Swap(pic.Pixels);
            EXPECT_EQ(lent.Data(), block);
        }
    }
}

TEST(TakeImage, SavesTheSameFileAsSetImage)
{
    Bytes pixels = Blobs(60 * 40, 5, 6, 9);
    Bytes palette = Noise(1024, 5);
    PicFile copied;
    ASSERT_TRUE(copied.SetImage(60, 40, pixels.data(), palette.data()));
    PicFile taken;
    ByteBuffer lent;
    lent.Append(pixels.data(), static_cast<int>(pixels.size()));
    lent.Append(pixels.data(), 7); // more than the picture: not encoded
    ASSERT_TRUE(taken.TakeImage(60, 40, lent, palette.data()));
    EXPECT_EQ(SavedBytes(taken, true), SavedBytes(copied, true));
}

// Whatever the bytes, the walk ends, reads nothing outside them, and leaves an
// image holding the pixels its data gave, at most width x height.
void ExpectSane(const Bytes& file)
{
    Parsed parsed(file);
    const PicFile& pic = parsed.pic;
    ASSERT_GE(pic.Width(), 0);
    ASSERT_GE(pic.Height(), 0);
    ASSERT_LE(pic.Width(), PicFile::MAX_SIDE);
    ASSERT_LE(pic.Height(), PicFile::MAX_SIDE);
    ASSERT_EQ(pic.Pixels.Size(), pic.DecodedPixels());
    ASSERT_LE(pic.DecodedPixels(), pic.Width() * pic.Height());
}

Bytes ValidFile(int width, int height, std::uint32_t seed)
{
    PicFile pic;
    Bytes palette = Noise(1024, seed);
    Bytes pixels = Blobs(static_cast<std::size_t>(width * height), seed, 6, 9);
    EXPECT_TRUE(pic.SetImage(width, height, pixels.data(), palette.data()));
    return SavedBytes(pic, true);
}

TEST(HostileInput, EveryCutOfAValidFile)
{
    Bytes file = ValidFile(60, 40, 21);
    for (std::size_t size = 0; size <= file.size(); ++size) {
        SCOPED_TRACE(size);
        ExpectSane(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size)));
    }
}

TEST(HostileInput, EveryByteOfAValidFileCorrupted)
{
    Bytes file = Join({TWO_PIXELS, ValidFile(20, 10, 22)});
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (unsigned char value : Bytes{0x00, 0x7F, 0x80, 0xFF}) {
            SCOPED_TRACE(testing::Message() << "byte " << at << " = " << int{value});
            Bytes damaged = file;
            damaged[at] = value;
            ExpectSane(damaged);
        }
    }
}

TEST(HostileInput, RandomBytes)
{
    std::mt19937 random(23);
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        Bytes file = Noise(random() % 3000, static_cast<std::uint32_t>(round));
        // Mostly image chunks of modest sizes, so that their streams are decoded.
        if (round % 2 == 0 && file.size() >= 8) {
            file[0] = 'X', file[1] = '0', file[5] &= 0x03, file[7] &= 0x03;
        }
        ExpectSane(file);
    }
}

} // namespace
