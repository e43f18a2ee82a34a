// Row decoding and the growing whole-picture decode against the two stages
// run one after the other, which hold every run-length byte at once; and the
// chunk walk that leaves the image undecoded.
#include "pic/PicFile.h"
#include "tests/common/PicModels.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

// Keeps every row, checks their order, and stops when told to.
class RowsKept : public PicRowSink {
public:
    explicit RowsKept(int stopAfter = -1) : m_stopAfter(stopAfter) {}

    bool TakeRow(int y, const unsigned char* indices, int width) override
    {
        EXPECT_EQ(y, static_cast<int>(rowsTaken)) << "rows come top to bottom, each once";
        ++rowsTaken;
        pixels.insert(pixels.end(), indices, indices + width);
        return m_stopAfter < 0 || y < m_stopAfter;
    }

    Bytes pixels;
    std::size_t rowsTaken = 0;

private:
    int m_stopAfter;
};

struct Decoded {
    bool ok = false;
    int decodedPixels = -1;
    Bytes rows;
    std::size_t rowCount = 0;
};

Decoded DecodeToRows(int width, int height, const Bytes& stream, int stopAfter = -1)
{
    RowsKept sink(stopAfter);
    Decoded decoded;
    decoded.ok =
        PicFile::DecodeRows(width, height, stream.data(), static_cast<int>(stream.size()), sink, decoded.decodedPixels);
    decoded.rows = sink.pixels;
    decoded.rowCount = sink.rowsTaken;
    return decoded;
}

Bytes DecodeGiven(int width, int height, const Bytes& stream)
{
    ByteBuffer pixels;
    EXPECT_TRUE(PicFile::DecodePixels(width, height, stream.data(), static_cast<int>(stream.size()), pixels));
    return ToBytes(pixels);
}

// The pixels the two stages give, before their padding: where the run-length
// bytes would have stopped making pixels is only seen in the padded result,
// so the reference is the padded picture and the count is checked against it.
void ExpectSameAsStages(int width, int height, const Bytes& stream)
{
    Bytes reference = DecodeStream(width, height, stream);
    Bytes given = DecodeGiven(width, height, stream);
    ASSERT_LE(given.size(), reference.size());
    EXPECT_TRUE(std::equal(given.begin(), given.end(), reference.begin())) << "the pixels given";
    EXPECT_TRUE(std::all_of(reference.begin() + static_cast<std::ptrdiff_t>(given.size()), reference.end(),
                            [](unsigned char p) { return p == 0; }))
        << "the stages pad only with 0";

    ByteBuffer whole;
    ASSERT_TRUE(PicFile::DecodeImage(width, height, stream.data(), static_cast<int>(stream.size()), whole));
    EXPECT_EQ(ToBytes(whole), reference);

    Decoded rows = DecodeToRows(width, height, stream);
    ASSERT_TRUE(rows.ok);
    EXPECT_EQ(rows.decodedPixels, static_cast<int>(given.size()));
    std::size_t w = static_cast<std::size_t>(width);
    EXPECT_EQ(rows.rowCount, (given.size() + w - 1) / w) << "the row the data ends in, and none after it";
    EXPECT_TRUE(std::equal(rows.rows.begin(), rows.rows.end(), reference.begin())) << "rows padded with 0";
}

// Pictures whose runs and strings cross every seam: rows, blocks of rows,
// dictionary cycles (whose run-length bytes are handed on one cycle at a time)
// and the escape byte 0x90 among the colours.
TEST(RowDecoding, GivesThePixelsOfTheTwoStages)
{
    struct Case {
        const char* name;
        int width, height;
        Bytes pixels;
    };
    const Case cases[] = {
        {"one pixel", 1, 1, {0x90}},
        {"a column", 1, 3000, Blobs(3000, 1, 3, 40)},
        {"noise over many cycles", 320, 200, Noise(320 * 200, 2)},
        {"blobs over many cycles", 300, 250, Blobs(300 * 250, 3, 200, 12)},
        {"long runs over blocks of rows", 2000, 300, Blobs(2000 * 300, 4, 3, 5000)},
        {"rows wider than a block", 32767, 3, Blobs(32767 * 3, 5, 4, 900)},
        {"escape bytes and runs of them", 257, 129, Blobs(257 * 129, 6, 0x92, 300)},
        {"one colour", 1024, 1024, Bytes(1024 * 1024, 7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes stream = EncodePixels(c.width, c.height, c.pixels);
        ASSERT_EQ(DecodeStream(c.width, c.height, stream), c.pixels);
        ExpectSameAsStages(c.width, c.height, stream);
    }
}

// Streams that end early or are not streams at all: the same pixels as the
// stages, whatever the run-length bytes do at the seams.
TEST(RowDecoding, DamagedAndShortStreams)
{
    Bytes pixels = Blobs(200 * 120, 7, 0x93, 30);
    Bytes stream = EncodePixels(200, 120, pixels);
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, stream.size() / 3,
                             stream.size() / 2 + 1, stream.size() - 1}) {
        SCOPED_TRACE("cut at " + std::to_string(size));
        ExpectSameAsStages(200, 120, Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size)));
    }
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        SCOPED_TRACE("random stream " + std::to_string(seed));
        ExpectSameAsStages(173 + static_cast<int>(seed), 600, Noise(300 + 400 * seed, seed));
    }
}

TEST(RowDecoding, FollowsTheDataNotTheDeclaredSize)
{
    // 32,767 x 32,767 declared, three bytes of stream: one 9-bit code, 7.
    Decoded bomb = DecodeToRows(PicFile::MAX_SIDE, PicFile::MAX_SIDE, {0x0B, 0x07, 0x00});
    ASSERT_TRUE(bomb.ok);
    EXPECT_EQ(bomb.decodedPixels, 1);
    EXPECT_EQ(bomb.rowCount, 1u);
    ASSERT_EQ(bomb.rows.size(), static_cast<std::size_t>(PicFile::MAX_SIDE));
    EXPECT_EQ(bomb.rows[0], 7);
    EXPECT_EQ(std::count(bomb.rows.begin(), bomb.rows.end(), 0), PicFile::MAX_SIDE - 1);
    EXPECT_EQ(DecodeGiven(PicFile::MAX_SIDE, PicFile::MAX_SIDE, {0x0B, 0x07, 0x00}), Bytes({7}));

    // Data that ends on a row's end hands no padded row after it.
    Decoded exact = DecodeToRows(2, 5, EncodePixels(2, 2, {1, 2, 3, 4}));
    EXPECT_EQ(exact.decodedPixels, 4 + 1); // the padding code's byte is a pixel too
    EXPECT_EQ(exact.rowCount, 3u);

    Decoded none = DecodeToRows(0, 7, {0x0B, 0x01, 0x04, 0x00});
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.decodedPixels, 0);
    EXPECT_EQ(none.rowCount, 0u);
}

TEST(RowDecoding, StopsWhenTheSinkSaysSo)
{
    Bytes pixels = Blobs(100 * 50, 8, 5, 20);
    Bytes stream = EncodePixels(100, 50, pixels);
    for (int stopAfter : {0, 1, 17, 49}) {
        SCOPED_TRACE(stopAfter);
        Decoded stopped = DecodeToRows(100, 50, stream, stopAfter);
        EXPECT_FALSE(stopped.ok);
        EXPECT_EQ(stopped.rowCount, static_cast<std::size_t>(stopAfter + 1));
        EXPECT_TRUE(std::equal(stopped.rows.begin(), stopped.rows.end(), pixels.begin()));
    }
}

// The walk that keeps the stream for the caller.
struct Deferred {
    explicit Deferred(const Bytes& file)
    {
        pic.DefersImage = true;
        pic.OnUnknownChunk = [](std::uint16_t) {};
        EXPECT_TRUE(pic.Parse(file.data(), static_cast<int>(file.size())));
    }
    Bytes Stream() const { return ToBytes(pic.ImageStream()); }
    PicFile pic;
};

TEST(DeferredImage, KeepsTheLastImageChunksStreamAndReadsEveryPalette)
{
    const Bytes twoPixels = ImageChunk(2, 1, {0x0B, 0x01, 0x04, 0x00});
    const Bytes fourPixels = ImageChunk(4, 1, {0x0B, 0x05, 0x20, 0x11, 0x00});

    Deferred paletteAfter(Join({twoPixels, PaletteChunk(1, 1, {63, 0, 0})}));
    EXPECT_TRUE(paletteAfter.pic.HasImage);
    EXPECT_TRUE(paletteAfter.pic.HasPalette);
    EXPECT_EQ(paletteAfter.pic.PaletteEntry(1), 0x0000FCu);
    EXPECT_EQ(paletteAfter.pic.Width(), 2);
    EXPECT_EQ(paletteAfter.pic.Height(), 1);
    EXPECT_EQ(paletteAfter.Stream(), Bytes({0x0B, 0x01, 0x04, 0x00}));
    EXPECT_EQ(paletteAfter.pic.Pixels.Size(), 0);
    EXPECT_EQ(paletteAfter.pic.DecodedPixels(), 0);

    Deferred lastWins(Join({twoPixels, fourPixels}));
    EXPECT_EQ(lastWins.pic.Width(), 4);
    EXPECT_EQ(lastWins.Stream(), Bytes({0x0B, 0x05, 0x20, 0x11, 0x00}));

    // A length past the file's end is cut to the bytes there.
    Bytes cut = fourPixels;
    cut.resize(cut.size() - 2);
    Deferred cutShort(cut);
    EXPECT_EQ(cutShort.Stream(), Bytes({0x0B, 0x05, 0x20}));

    // A size a PIC file cannot hold is refused as when decoding, keeping the earlier image.
    Deferred refused(Join({twoPixels, ImageChunk(0x8000, 1, {0x0B})}));
    EXPECT_EQ(Describe(refused.pic.Refusal()), "IMAGE_CHUNK_TOO_LARGE 32768 x 1, limit 32767");
    EXPECT_EQ(refused.pic.Width(), 2);
    EXPECT_EQ(refused.Stream(), Bytes({0x0B, 0x01, 0x04, 0x00}));
}

TEST(WholeDecode, HoldsWhatTheDataGivesAndCopiesThePadding)
{
    PicFile pic;
    Bytes file = ImageChunk(PicFile::MAX_SIDE, PicFile::MAX_SIDE, {0x0B, 0x07, 0x00});
    ASSERT_TRUE(pic.Parse(file.data(), static_cast<int>(file.size())));
    EXPECT_EQ(pic.Width(), PicFile::MAX_SIDE);
    EXPECT_EQ(pic.DecodedPixels(), 1);
    EXPECT_EQ(pic.Pixels.Size(), 1);
    EXPECT_LT(pic.Pixels.Capacity(), 2 << 20) << "no room made for pixels the data does not give";
    Bytes copied(5, 0xEE);
    EXPECT_EQ(pic.CopyPixels(copied.data(), 5), PicFile::MAX_SIDE * PicFile::MAX_SIDE);
    EXPECT_EQ(copied, Bytes({7, 0, 0, 0, 0}));
}

} // namespace
