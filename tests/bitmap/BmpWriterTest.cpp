#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBorrowedBitmap.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLOutput.h"
#include "bitmap/PLTextException.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

// The headers of an 8-bit 3 x 2 file with no resolution.
// clang-format off
const unsigned char THREE_BY_TWO_HEADERS[] = {
    'B', 'M', 0x3E, 0x04, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0, // file size 1,086; reserved; pixels at 1,078
    40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,                      // 40-byte header, width 3, height 2 (bottom-up)
    1, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0,                       // 1 plane, 8 bpp, uncompressed, image size 0
    0, 0, 0, 0, 0, 0, 0, 0,                                   // no resolution
    0, 0, 0, 0, 0, 0, 0, 0,                                   // colours used and important: all
};
// clang-format on
static_assert(sizeof THREE_BY_TWO_HEADERS == 14 + 40, "file header and info header");

// Row 1 (the bottom row) first, each padded with one zero byte.
const unsigned char THREE_BY_TWO_ROWS[] = {4, 5, 6, 0, 1, 2, 3, 0};
static_assert(sizeof THREE_BY_TWO_ROWS == 2 * 4, "two rows of 3 bytes and 1 padding byte");

// A sink over a buffer that starts full of 0xCC, so bytes the writer skips show.
class PrefilledSink : public PLOutput {
public:
    explicit PrefilledSink(int capacity) : m_bytes(static_cast<std::size_t>(capacity), 0xCC)
    {
        OpenNamed("prefilled", m_bytes.data(), capacity);
    }
    Bytes Written() const { return Bytes(m_bytes.begin(), m_bytes.begin() + Position()); }

private:
    Bytes m_bytes;
};

void Fill(PLMemBitmap& bitmap, unsigned seed)
{
    const auto rows = static_cast<unsigned>(bitmap.Height());
    const auto rowBytes = static_cast<unsigned>(bitmap.LineBytes());
    for (unsigned y = 0; y < rows; ++y)
        for (unsigned x = 0; x < rowBytes; ++x)
            bitmap.Lines()[y][x] = static_cast<std::uint8_t>((x * 31 + y * 17 + seed) * 2654435761u >> 24);
    if (bitmap.ColorTable() != nullptr)
        for (unsigned i = 0; i < static_cast<unsigned>(bitmap.ColorCount()); ++i)
            bitmap.ColorTable()[i] =
                PLColor(static_cast<std::uint8_t>(i * 3 + seed), static_cast<std::uint8_t>(255 - i),
                        static_cast<std::uint8_t>(i ^ seed), 0);
}

TEST(BmpWriter, ThreeByTwoGoldenFile)
{
    PLMemBitmap bitmap;
    bitmap.Create(3, 2, 8, false, false, {0, 0});
    const std::uint8_t rows[2][3] = {{1, 2, 3}, {4, 5, 6}};
    for (int y = 0; y < 2; ++y)
        std::memcpy(bitmap.Lines()[y], rows[y], 3);
    Bytes expected(THREE_BY_TWO_HEADERS, THREE_BY_TWO_HEADERS + sizeof THREE_BY_TWO_HEADERS);
    for (int i = 0; i < 256; ++i) {
        // Each entry's four bytes as the bitmap holds them: blue, green, red, fourth byte.
        PLColor color(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                      static_cast<std::uint8_t>(i / 2), static_cast<std::uint8_t>(i % 3));
        bitmap.ColorTable()[i] = color;
        expected.insert(expected.end(), {color.b, color.g, color.r, color.a});
    }
    expected.insert(expected.end(), THREE_BY_TWO_ROWS, THREE_BY_TWO_ROWS + sizeof THREE_BY_TWO_ROWS);
    ASSERT_EQ(expected.size(), 1086u);

    PLBmpWriter writer;
    EXPECT_EQ(writer.EncodedBytes(bitmap), 1086u);
    PrefilledSink sink(2000);
    writer.EncodeTo(bitmap, sink);
    EXPECT_EQ(sink.Written(), expected) << "padding bytes are zeros";

    ScratchFolder folder;
    std::string path = folder / "golden.bmp";
    writer.EncodeFile(path.c_str(), bitmap);
    Bytes written;
    ASSERT_TRUE(ReadBytes(path, written));
    EXPECT_EQ(written, expected);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"golden.bmp"});
}

TEST(BmpWriter, ResolutionIsWrittenInPixelsPerMetre)
{
    const std::pair<int, std::uint32_t> cases[] = {{72, 2835}, {96, 3780}, {300, 11811}, {0, 0}, {1, 39}, {-72, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        PLMemBitmap bitmap;
        bitmap.Create(2, 2, 8, false, false, {c.first, 96});
        Bytes file = EncodeBytes(bitmap);
        EXPECT_EQ(U32At(file, 38), c.second);
        EXPECT_EQ(U32At(file, 42), 3780u);
    }
    EXPECT_EQ(PLBmpWriter::PixelsPerMetre(INT32_MAX), INT32_MAX) << "clamped, not wrapped";
}

TEST(BmpWriter, FileSizesFollowThePaddedRows)
{
    struct Case {
        int width;
        int height;
        int depth;
        std::uint64_t fileBytes;
        std::uint32_t dataOffset;
    } cases[] = {
        {320, 200, 8, 65078, 1078},
        {1, 1382, 8, 6606, 1078},
        // Narrow images whose padding outgrew the old size estimate.
        {1, 1383, 8, 1078 + 1383 * 4, 1078},
        {2, 2074, 8, 1078 + 2074 * 4, 1078},
        {3, 4147, 8, 1078 + 4147 * 4, 1078},
        {5, 1383, 8, 1078 + 1383 * 8, 1078},
        {6, 2074, 8, 1078 + 2074 * 8, 1078},
        {9, 1383, 8, 1078 + 1383 * 12, 1078},
        {13, 1383, 8, 1078 + 1383 * 16, 1078},
        {10, 3, 1, 62 + 3 * 4, 62},
        {33, 1, 1, 62 + 8, 62},
        {3, 2, 4, 118 + 2 * 4, 118},
        {9, 1, 4, 118 + 8, 118},
        {3, 1, 32, 54 + 12, 54},
        {4, 2, 32, 54 + 2 * 12, 54},
        {5, 1, 24, 54 + 16, 54},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.depth);
        PLMemBitmap bitmap;
        bitmap.Create(c.width, c.height, c.depth, false, false, {0, 0});
        Fill(bitmap, 1);
        Bytes file = EncodeBytes(bitmap);
        ASSERT_EQ(file.size(), c.fileBytes);
        EXPECT_EQ(U32At(file, 2), c.fileBytes);
        EXPECT_EQ(U32At(file, 10), c.dataOffset);
    }
}

TEST(BmpWriter, NarrowImagesSaveToFiles)
{
    ScratchFolder folder;
    const int widths[] = {1, 2, 3, 5, 6, 9, 13};
    for (int width : widths) {
        SCOPED_TRACE(width);
        PLMemBitmap bitmap;
        bitmap.Create(width, 4147, 8, false, false, {0, 0});
        Fill(bitmap, 3);
        std::string path = folder / "narrow.bmp";
        PLBmpWriter().EncodeFile(path.c_str(), bitmap);
        PLMemBitmap decoded;
        PLBmpReader().DecodeFile(path.c_str(), decoded, 8);
        EXPECT_EQ(PixelsOf(decoded), PixelsOf(bitmap));
    }
}

TEST(BmpWriter, DeeperBitmapsAreWrittenAt24Bits)
{
    PLMemBitmap bitmap;
    bitmap.Create(3, 1, 32, true, false, {0, 0});
    const std::uint8_t row[12] = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99};
    std::memcpy(bitmap.Lines()[0], row, sizeof row);
    Bytes file = EncodeBytes(bitmap);
    // clang-format off
    const Bytes expectedHeader = {
        'B', 'M', 66, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file size 54 + 12, pixels at 54
        40, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, // 3 x 1, 1 plane, 24 bpp
    };
    // clang-format on
    ASSERT_EQ(file.size(), 66u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 30), expectedHeader);
    // Blue, green, red of each pixel, then width mod 4 = 3 padding bytes 0x20, 0, 0.
    EXPECT_EQ(Bytes(file.begin() + 54, file.end()), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0x20, 0, 0}));

    PLMemBitmap decoded;
    EXPECT_THROW(DecodeBytes(file, decoded), PLTextException) << "and read back as refused true colour";
}

TEST(BmpWriter, FailedSavesLeaveNoFileAndKeepTheOldOne)
{
    ScratchFolder folder;
    std::string path = folder / "out.bmp";
    PLMemBitmap unwritable;
    unwritable.Create(2, 2, 16, false, false, {0, 0});
    EXPECT_THROW(PLBmpWriter().EncodeFile(path.c_str(), unwritable), PLTextException);
    EXPECT_TRUE(folder.Names().empty());

    ASSERT_TRUE(WriteBytes(path, {'o', 'l', 'd'}));
    EXPECT_THROW(PLBmpWriter().EncodeFile(path.c_str(), unwritable), PLTextException);
    Bytes kept;
    ASSERT_TRUE(ReadBytes(path, kept));
    EXPECT_EQ(kept, (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.bmp"});

    PLMemBitmap good;
    PLBmpWriter().EncodeFile(path.c_str(), good);
    ASSERT_TRUE(ReadBytes(path, kept));
    EXPECT_EQ(kept.size(), 1078u + 16 * 16) << "a successful save replaces the old file";
}

TEST(BmpWriter, AFileThatCannotBeCreatedFailsWithTheSystemsReason)
{
    // The same words on every system: a folder that is a file is a missing folder.
    ScratchFolder folder;
    ASSERT_TRUE(WriteBytes(folder / "note.txt", Bytes{'x'}));
    for (const char* name : {"missing/out.bmp", "note.txt/out.bmp"}) {
        SCOPED_TRACE(name);
        std::string path = folder / name;
        PLMemBitmap bitmap;
        try {
            PLBmpWriter().EncodeFile(path.c_str(), bitmap);
            ADD_FAILURE() << "saved";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), -1);
            EXPECT_EQ(std::string(e.Text()), "Decoder error: Opening " + path + " failed: No such file or directory\n");
        }
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"note.txt"});
    }
}

TEST(BmpWriter, TooSmallASinkOverflowsWithoutWritingPastIt)
{
    PLMemBitmap bitmap;
    bitmap.Create(3, 2, 8, false, false, {0, 0});
    const int capacities[] = {0, 13, 54, 1077, 1085};
    for (int capacity : capacities) {
        SCOPED_TRACE(capacity);
        PrefilledSink sink(capacity);
        try {
            PLBmpWriter().EncodeTo(bitmap, sink);
            ADD_FAILURE() << "fitted";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), 11);
            EXPECT_STREQ(e.Text(), "Buffer overflow while encoding.\n");
        }
        EXPECT_LE(sink.Position(), capacity);
    }
}

// Packs 8-bit indices into rows of the given depth, most significant bits first.
void Pack(const Bytes& indices, int width, int depth, PLMemBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* row = bitmap.Lines()[y];
        std::memset(row, 0, static_cast<std::size_t>(bitmap.LineBytes()));
        for (int x = 0; x < width; ++x) {
            int bit = x * depth;
            int value = indices[static_cast<std::size_t>(y * width + x)] & ((1 << depth) - 1);
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | value << (8 - depth - bit % 8));
        }
    }
}

TEST(BmpWriter, RoundTripsThroughTheReaderAtEverySize)
{
    const int depths[] = {1, 4, 8};
    for (int depth : depths) {
        for (int width = 1; width <= 12; ++width) {
            for (int height = 1; height <= 12; ++height) {
                SCOPED_TRACE(testing::Message() << width << " x " << height << " at " << depth);
                PLMemBitmap source;
                source.Create(width, height, 8, false, false, {0, 0});
                Fill(source, static_cast<unsigned>(width * 13 + height));
                Bytes indices = PixelsOf(source);
                for (auto& index : indices)
                    index = static_cast<std::uint8_t>(index & ((1 << depth) - 1));

                PLMemBitmap bitmap;
                bitmap.Create(width, height, depth, false, false, {width, height});
                Pack(indices, width, depth, bitmap);
                for (int i = 0; i < bitmap.ColorCount(); ++i)
                    bitmap.ColorTable()[i] = source.ColorTable()[i];

                PLMemBitmap decoded;
                DecodeBytes(EncodeBytes(bitmap), decoded);
                ASSERT_EQ(PixelsOf(decoded), indices);
                EXPECT_EQ(decoded.Resolution(), (PLPoint{width > 1 ? width : 0, height > 1 ? height : 0}));
                for (int i = 0; i < bitmap.ColorCount(); ++i) {
                    PLColor expected = bitmap.ColorTable()[i];
                    expected.a = 255;
                    ASSERT_EQ(decoded.ColorTable()[i], expected) << "entry " << i;
                }
            }
        }
    }
}

TEST(BmpWriter, RoundTripsLargeAndUniformImagesThroughFiles)
{
    struct Case {
        int width;
        int height;
        bool uniform;
    } cases[] = {{320, 200, false}, {1024, 768, false}, {640, 1, true}, {1, 640, true}, {257, 3, false}};
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        PLMemBitmap bitmap;
        bitmap.Create(c.width, c.height, 8, false, false, {72, 72});
        Fill(bitmap, 7);
        if (c.uniform)
            for (int y = 0; y < c.height; ++y)
                std::memset(bitmap.Lines()[y], 0x90, static_cast<std::size_t>(c.width));
        std::string path = folder / "round.bmp";
        PLBmpWriter().EncodeFile(path.c_str(), bitmap);
        PLMemBitmap decoded;
        PLBmpReader().DecodeFile(path.c_str(), decoded, 8);
        EXPECT_EQ(PLImageInfo(decoded), PLImageInfo(bitmap));
        EXPECT_EQ(PixelsOf(decoded), PixelsOf(bitmap));
    }
}

TEST(BmpWriter, BorrowedRowsEncodeAsTheSameRowsInABitmapOfTheirOwn)
{
    // Rows an owner keeps, a stride apart that may pass the row's bytes (a
    // block of wider rows): the file is the one a PLMemBitmap gives.
    struct Case {
        int width, height, depth;
        std::size_t stride;
    } cases[] = {{3, 2, 8, 3}, {5, 4, 8, 9}, {13, 3, 4, 7}, {17, 2, 1, 3}, {1, 1, 8, 1}, {640, 3, 8, 640}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.depth << ", stride "
                                        << c.stride);
        PLMemBitmap own;
        own.Create(c.width, c.height, c.depth, false, false, {0, 0});
        Fill(own, static_cast<unsigned>(c.width) + static_cast<unsigned>(c.stride));
        Bytes block(c.stride * static_cast<std::size_t>(c.height), 0xEE);
        for (int y = 0; y < c.height; ++y)
            std::memcpy(&block[c.stride * static_cast<std::size_t>(y)], own.Lines()[y],
                        static_cast<std::size_t>(own.LineBytes()));
        PLBorrowedBitmap borrowed(block.data(), c.width, c.height, c.depth, c.stride);
        borrowed.SetColorTable(own.ColorTable());
        EXPECT_EQ(borrowed.Lines()[c.height - 1], block.data() + c.stride * static_cast<std::size_t>(c.height - 1));
        EXPECT_EQ(EncodeBytes(borrowed), EncodeBytes(own));
    }
}

TEST(BmpWriter, BorrowedBitmapsRefuseStorageOfTheirOwn)
{
    Bytes block(64, 1);
    struct Case {
        const char* what;
        std::uint8_t* pixels;
        int width, height, depth;
        std::size_t stride;
    } refused[] = {{"overlapping rows", block.data(), 8, 2, 8, 7},
                   {"no rows", nullptr, 2, 2, 8, 2},
                   {"a depth of 3", block.data(), 2, 2, 3, 2},
                   {"a negative side", block.data(), -1, 2, 8, 2},
                   {"more than 2 GB", block.data(), 65536, 65536, 8, 65536}};
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        EXPECT_THROW(PLBorrowedBitmap(c.pixels, c.width, c.height, c.depth, c.stride), PLTextException);
    }
    PLBorrowedBitmap bitmap(block.data(), 4, 4, 8, 4);
    EXPECT_THROW(bitmap.Create(2, 2, 8, false, false, {0, 0}), PLTextException);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Lines()[3], block.data() + 12);
    EXPECT_EQ(bitmap.ColorTable()[255], PLColor(255, 255, 255, 255));
}

} // namespace
