// The desktop programs' picture against the converter's image document: the
// same pixels and colours loaded, the same bytes written, a short colour map
// padded as a short BMP colour table, the refusals, and a file handed over in
// pieces read as the whole.
#include "converter/ImageDocument.h"
#include "desktop/common/PicPicture.h"
#include "desktop/common/PicPieces.h"
#include "pic/PaletteEntry.h"
#include "pic/PicRowSink.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

const char* const PICTURES[] = {
    CANTREL_SOURCE_DIR "/samples/valley.pic",  CANTREL_SOURCE_DIR "/samples/cottage.pic",
    CANTREL_SOURCE_DIR "/samples/map.pic",     CANTREL_FIXTURES "/pic/palette-range.pic",
    CANTREL_FIXTURES "/pic/unknown-chunk.pic", CANTREL_FIXTURES "/pic/four-fives.pic",
    CANTREL_FIXTURES "/pic/repeated-pair.pic",
};

void ExpectSamePicture(const PicPicture& picture, const char* path)
{
    ImageDocument document;
    ASSERT_TRUE(document.Load(path));
    ASSERT_EQ(picture.Width(), document.Width);
    ASSERT_EQ(picture.Height(), document.Height);
    ASSERT_TRUE(picture.Pixels().Equals(document.Pixels));
    EXPECT_EQ(picture.HasPalette(), document.HasPalette);
    for (int i = 0; i < PALETTE_ENTRIES; ++i) {
        std::uint32_t entry = document.PaletteEntry(i);
        const unsigned char* rgb = picture.ColorMap() + 3 * i;
        ASSERT_EQ(rgb[0] | rgb[1] << 8 | rgb[2] << 16, static_cast<int>(entry)) << "entry " << i;
    }
}

TEST(PicPicture, LoadsWhatTheConverterLoads)
{
    for (const char* path : PICTURES) {
        SCOPED_TRACE(path);
        PicPicture picture;
        int unknown = 0;
        picture.OnUnknownChunk = [&unknown](std::uint16_t) { ++unknown; };
        ASSERT_TRUE(picture.Load(path)) << picture.Error();
        ExpectSamePicture(picture, path);
        EXPECT_EQ(unknown, std::strstr(path, "unknown") != nullptr ? 1 : 0);
    }
}

TEST(PicPicture, HandsOverTheBytesItWasReadFrom)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "palette-only.pic", {'M', '0', 2, 0, 0, 0}));
    std::filesystem::create_directory(folder / "folder.pic");
    struct Case {
        std::string path;
        const char* reason; // null: it loads
    };
    const Case cases[] = {
        {CANTREL_SOURCE_DIR "/samples/valley.pic", nullptr},
        {CANTREL_FIXTURES "/pic/unknown-chunk.pic", nullptr},
        {folder / "palette-only.pic", "holds no image chunk"},
        // The system's reason, which tells a wrong name from a folder.
        {folder / "missing.pic", "cannot be opened for reading: No such file or directory"},
        {folder / "folder.pic", "cannot be opened for reading: Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        PicPicture picture;
        picture.OnUnknownChunk = [](std::uint16_t) {};
        ByteBuffer file;
        file.Append("old", 3);
        ASSERT_EQ(picture.Load(c.path.c_str(), file), c.reason == nullptr) << picture.Error();
        if (c.reason != nullptr) {
            EXPECT_NE(picture.Error().find(c.reason), std::string::npos) << picture.Error();
            EXPECT_EQ(file.Size(), 0);
            continue;
        }
        Bytes bytes;
        ASSERT_TRUE(ReadBytes(c.path, bytes));
        EXPECT_EQ(Bytes(file.Data(), file.Data() + file.Size()), bytes);
        ExpectSamePicture(picture, c.path.c_str());
    }
}

TEST(PicPicture, RefusesFilesWithoutAPictureSayingWhy)
{
    struct Case {
        const char* what;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty file", {}, "holds no image chunk"},
        {"unknown chunk only", {'A', 'B', 1, 0, 'z'}, "holds no image chunk"},
        {"palette only", {'M', '0', 2, 0, 0, 0}, "holds no image chunk"},
        {"width 32,768 as stored", {'X', '0', 5, 0, 0x00, 0x80, 1, 0, 11}, "declares 32768 x 1 pixels"},
        {"no pixels", {'X', '0', 5, 0, 0, 0, 3, 0, 11}, "The image is 0 x 3 pixels"},
        // A good image and then one that cannot be held: the file's last word counts.
        {"refused after a good one",
         {'X', '0', 8, 0, 2, 0, 1, 0, 0x0B, 0x01, 0x04, 0x00, 'X', '0', 5, 0, 1, 0, 0xFF, 0xFF, 11},
         "declares 1 x 65535 pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PicPicture picture;
        EXPECT_FALSE(picture.Parse(c.bytes.data(), static_cast<int>(c.bytes.size())));
        EXPECT_NE(picture.Error().find(c.reason), std::string::npos) << picture.Error();
        PicPicture withoutPixels;
        EXPECT_FALSE(withoutPixels.ParseWithoutPixels(c.bytes.data(), static_cast<int>(c.bytes.size())));
        EXPECT_EQ(withoutPixels.Error(), picture.Error());
    }
}

// The rows as they come, each once and in order, padded with 0 to the
// declared size as the picture's Pixels are.
class CollectedRows : public PicRowSink {
public:
    explicit CollectedRows(int height) : m_height(height) {}
    bool TakeRow(int y, const unsigned char* indices, int width) override
    {
        EXPECT_EQ(y, m_rows) << "rows out of order";
        ++m_rows;
        Pixels.insert(Pixels.end(), indices, indices + width);
        m_width = width;
        return true;
    }
    Bytes Padded() const
    {
        Bytes padded = Pixels;
        padded.resize(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0);
        return padded;
    }
    Bytes Pixels;

private:
    int m_height;
    int m_rows = 0;
    int m_width = 0;
};

TEST(PicPicture, ReadWithoutPixelsHandsTheSameRows)
{
    Bytes valley;
    ASSERT_TRUE(ReadBytes(CANTREL_SOURCE_DIR "/samples/valley.pic", valley));
    std::vector<Bytes> files;
    for (const char* path : PICTURES) {
        files.emplace_back();
        ASSERT_TRUE(ReadBytes(path, files.back()));
    }
    // Cut in the stream: the rows stop in the one where the data ends.
    files.emplace_back(valley.begin(), valley.begin() + static_cast<std::ptrdiff_t>(valley.size() * 3 / 5));
    // The palette chunk after the image it colours.
    files.emplace_back(valley.begin() + 774, valley.end());
    files.back().insert(files.back().end(), valley.begin(), valley.begin() + 774);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE("file " + std::to_string(i));
        const Bytes& file = files[i];
        PicPicture whole, rows;
        whole.OnUnknownChunk = rows.OnUnknownChunk = [](std::uint16_t) {};
        ASSERT_TRUE(whole.Parse(file.data(), static_cast<int>(file.size()))) << whole.Error();
        PicPieces pieces;
        ASSERT_TRUE(pieces.Add(file.data(), file.size()));
        ASSERT_TRUE(pieces.FinishWithoutPixels(rows)) << rows.Error();
        EXPECT_EQ(rows.Pixels().Size(), 0);
        ASSERT_EQ(rows.Width(), whole.Width());
        ASSERT_EQ(rows.Height(), whole.Height());
        EXPECT_EQ(rows.HasPalette(), whole.HasPalette());
        EXPECT_EQ(Bytes(rows.ColorMap(), rows.ColorMap() + PicPicture::COLOR_MAP_BYTES),
                  Bytes(whole.ColorMap(), whole.ColorMap() + PicPicture::COLOR_MAP_BYTES));
        CollectedRows collected(rows.Height());
        int decoded = -1;
        ASSERT_TRUE(rows.DecodeRows(collected, decoded));
        EXPECT_EQ(collected.Padded(), Bytes(whole.Pixels().Data(), whole.Pixels().Data() + whole.Pixels().Size()));
        EXPECT_LE(static_cast<std::size_t>(decoded), collected.Pixels.size());
        if (i == std::size(PICTURES)) {
            EXPECT_LT(collected.Pixels.size(), static_cast<std::size_t>(whole.Pixels().Size()))
                << "no rows after the data's end";
        }
    }
}

TEST(PicPicture, TellsWhenTheDataEndsEarly)
{
    struct Case {
        const char* what;
        Bytes bytes;
        long long given;
        const char* note;
    };
    const Case cases[] = {
        {"every pixel", {'X', '0', 8, 0, 2, 0, 1, 0, 0x0B, 0x01, 0x04, 0x00}, 2, ""},
        // Runs 05 90 04 give the first row of two.
        {"the first row only",
         {'X', '0', 9, 0, 4, 0, 2, 0, 0x0B, 0x05, 0x20, 0x11, 0x00},
         4,
         "The picture's data ends after 4 of 8 pixels; the rest is index 0"},
        {"one code for 32,767 x 32,767",
         {'X', '0', 7, 0, 0xFF, 0x7F, 0xFF, 0x7F, 0x0B, 0x07, 0x00},
         1,
         "The picture's data ends after 1 of 1073676289 pixels; the rest is index 0"},
        {"no code at all",
         {'X', '0', 5, 0, 3, 0, 1, 0, 0x0B},
         0,
         "The picture's data ends after 0 of 3 pixels; the rest is index 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PicPicture picture;
        ASSERT_TRUE(picture.Parse(c.bytes.data(), static_cast<int>(c.bytes.size()))) << picture.Error();
        EXPECT_EQ(picture.GivenPixels(), c.given);
        EXPECT_EQ(picture.DataEndsNote(), c.note);
    }
}

TEST(PicPicture, ReadsAFileInPiecesAsAWhole)
{
    for (const char* path : PICTURES) {
        Bytes file;
        ASSERT_TRUE(ReadBytes(path, file));
        for (std::size_t pieceSize : {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{4093}}) {
            SCOPED_TRACE(std::string(path) + " in pieces of " + std::to_string(pieceSize));
            PicPieces pieces;
            for (std::size_t at = 0; at < file.size(); at += pieceSize)
                ASSERT_TRUE(pieces.Add(file.data() + at, std::min(pieceSize, file.size() - at)));
            PicPicture picture;
            ASSERT_TRUE(pieces.Finish(picture)) << picture.Error();
            ExpectSamePicture(picture, path);
        }
    }
}

// Three colours for six pixels; the converter reads a BMP file with a
// three-entry colour table as these colours and 253 black ones.
TEST(PicPicture, WritesWhatTheConverterWritesWithAShortColorMapPaddedBlack)
{
    const unsigned char pixels[] = {0, 1, 2, 2, 1, 0};
    const unsigned char colorMap[] = {255, 0, 0, 10, 200, 30, 0, 0, 255};
    ScratchFolder folder;
    ImageDocument document;
    document.Width = 3;
    document.Height = 2;
    document.Pixels.Append(pixels, 6);
    document.Palette.SetSize(PALETTE_BYTES);
    std::memset(document.Palette.Data(), 0, PALETTE_BYTES);
    for (int i = 0; i < 3; ++i)
        std::memcpy(document.Palette.Data() + 4 * i, colorMap + 3 * i, 3);
    ASSERT_TRUE(document.Save((folder / "with.pic").c_str(), ImageDocument::TYPE_PIC));
    document.Palette.Clear();
    ASSERT_TRUE(document.Save((folder / "without.pic").c_str(), ImageDocument::TYPE_PIC));

    PicPicture picture;
    ASSERT_TRUE(picture.SetImage(3, 2, pixels, colorMap, 3));
    for (bool writePalette : {true, false}) {
        const char* name = writePalette ? "with.pic" : "without.pic";
        SCOPED_TRACE(name);
        ASSERT_TRUE(picture.Save((folder / "ours.pic").c_str(), writePalette)) << picture.Error();
        Bytes ours, converters;
        ASSERT_TRUE(ReadBytes(folder / "ours.pic", ours));
        ASSERT_TRUE(ReadBytes(folder / name, converters));
        EXPECT_EQ(ours, converters);
    }
}

TEST(PicPicture, RefusesToWriteWhatAPicFileCannotHoldAndLeavesTheTarget)
{
    ScratchFolder folder;
    const Bytes kept = {'k', 'e', 'e', 'p'};
    ASSERT_TRUE(WriteBytes(folder / "target.pic", kept));
    PicPicture picture;
    unsigned char pixel = 0;
    EXPECT_FALSE(picture.SetImage(40000, 1, &pixel, nullptr, 0));
    EXPECT_EQ(picture.Error(), "The image is 40000 x 1 pixels; a PIC file holds at most 32767 x 32767");

    // Noise does not compress: 300 x 300 of it needs more than an image chunk holds.
    Bytes noise(300 * 300);
    unsigned state = 13;
    for (unsigned char& byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<unsigned char>(state >> 16);
    }
    ASSERT_TRUE(picture.SetImage(300, 300, noise.data(), nullptr, 0));
    EXPECT_FALSE(picture.Save((folder / "target.pic").c_str(), true));
    EXPECT_NE(picture.Error().find("bytes; a PIC image chunk holds at most 65531"), std::string::npos)
        << picture.Error();
    Bytes after;
    ASSERT_TRUE(ReadBytes(folder / "target.pic", after));
    EXPECT_EQ(after, kept);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"target.pic"});
}

} // namespace
