#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLRowSink.h"
#include "bitmap/PLTextException.h"
#include "platform/Platform.h"
#include "tests/bitmap/BmpFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The converter refuses larger sides from the header; RLE data may end at
// once, so without that a corrupted size byte could ask for gigabytes.
constexpr int CONVERTER_MAX_SIDE = 32767;

// A decode as the converter makes it ends in a PLTextException with a text, a
// size refused from the header, or an 8-bit bitmap whose every row can be
// read (the sanitizer build checks the bounds).
void ExpectClean8BitOutcome(const Bytes& file)
{
    PLMemBitmap bitmap;
    try {
        PLBmpReader reader;
        reader.OpenMemory(file.data(), static_cast<int>(file.size()));
        if (reader.Width() > CONVERTER_MAX_SIDE || reader.Height() > CONVERTER_MAX_SIDE)
            return;
        reader.DecodeInto(bitmap, 8);
    } catch (const PLTextException& e) {
        EXPECT_GT(std::strlen(e.Text()), 0u);
        return;
    }
    ASSERT_EQ(bitmap.BitsPerPixel(), 8);
    ASSERT_GT(bitmap.Width(), 0);
    ASSERT_GT(bitmap.Height(), 0);
    ASSERT_EQ(bitmap.LineBytes(), bitmap.Width());
    // Every row readable; pixels compared against themselves just to touch them.
    Bytes pixels = PixelsOf(bitmap);
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height()));
}

// The rows of a decode, each where its y puts it, and how often each came.
class Rows : public PLRowSink {
public:
    Rows(int width, int height)
        : pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)),
          counts(static_cast<std::size_t>(height)), m_width(width)
    {
    }

    void TakeRow(int y, const PLColor* row, int width) override
    {
        ASSERT_EQ(width, m_width);
        ++counts.at(static_cast<std::size_t>(y));
        std::copy(row, row + width, pixels.begin() + static_cast<long>(y) * width);
    }

    std::vector<PLColor> pixels;
    std::vector<int> counts;

private:
    int m_width;
};

// Opens file and, for a true-colour picture within the converter's sides,
// decodes it into bitmap, or row by row into rows (made to its size) when
// rows is given. False for other files; refusal gets the text of a failure.
bool DecodeTrueColor(const Bytes& file, PLMemBitmap& bitmap, std::unique_ptr<Rows>* rows, std::string& refusal)
{
    PLBmpReader reader;
    try {
        reader.OpenMemory(file.data(), static_cast<int>(file.size()));
        if (reader.BitsPerPixel() != 32 || reader.Width() > CONVERTER_MAX_SIDE || reader.Height() > CONVERTER_MAX_SIDE)
            return false;
        if (rows == nullptr) {
            reader.DecodeInto(bitmap, 32);
        } else {
            *rows = std::make_unique<Rows>(reader.Width(), reader.Height());
            reader.DecodeRowsInto(**rows);
        }
    } catch (const PLTextException& e) {
        EXPECT_GT(std::strlen(e.Text()), 0u);
        refusal = e.Text();
        return reader.BitsPerPixel() == 32;
    }
    return true;
}

// Whole or row by row, a true-colour decode ends alike: the same refusal, or
// the same pixels with every row delivered once, opaque without alpha.
void ExpectCleanTrueColorOutcome(const Bytes& file)
{
    PLMemBitmap bitmap;
    std::string wholeRefusal;
    if (!DecodeTrueColor(file, bitmap, nullptr, wholeRefusal))
        return;
    std::unique_ptr<Rows> rows;
    std::string rowsRefusal;
    DecodeTrueColor(file, bitmap, &rows, rowsRefusal);
    ASSERT_EQ(rowsRefusal, wholeRefusal);
    if (!wholeRefusal.empty())
        return;
    ASSERT_EQ(bitmap.BitsPerPixel(), 32);
    ASSERT_EQ(bitmap.LineBytes(), 4 * bitmap.Width());
    EXPECT_EQ(rows->counts, std::vector<int>(static_cast<std::size_t>(bitmap.Height()), 1));
    std::vector<PLColor> whole(rows->pixels.size());
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(&whole[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.Width())], bitmap.Lines()[y],
                    static_cast<std::size_t>(bitmap.LineBytes()));
    EXPECT_TRUE(whole == rows->pixels);
    if (bitmap.HasAlpha())
        return;
    for (const PLColor& pixel : whole)
        ASSERT_EQ(pixel.a, 255);
}

void ExpectCleanOutcome(const Bytes& file)
{
    ExpectClean8BitOutcome(file);
    ExpectCleanTrueColorOutcome(file);
}

TEST(HostileInput, EveryFixtureDecodes)
{
    for (const NamedFixture& fixture : AllFixtures()) {
        SCOPED_TRACE(fixture.name);
        PLMemBitmap bitmap;
        EXPECT_NO_THROW(DecodeBytes(fixture.file, bitmap, 0)); // at the depth each announces
    }
}

TEST(HostileInput, EveryTruncationFailsCleanly)
{
    for (const NamedFixture& fixture : AllFixtures()) {
        SCOPED_TRACE(fixture.name);
        for (std::size_t size = 0; size < fixture.file.size(); ++size) {
            SCOPED_TRACE(size);
            ExpectCleanOutcome(Bytes(fixture.file.begin(), fixture.file.begin() + static_cast<long>(size)));
        }
    }
}

TEST(HostileInput, EverySingleByteCorruptionFailsCleanlyOrDecodesWithinBounds)
{
    for (const NamedFixture& fixture : AllFixtures()) {
        SCOPED_TRACE(fixture.name);
        for (std::size_t at = 0; at < fixture.file.size(); ++at) {
            std::uint8_t original = fixture.file[at];
            const std::uint8_t values[] = {0x00,
                                           0xFF,
                                           0x7F,
                                           0x80,
                                           static_cast<std::uint8_t>(original ^ 0x01),
                                           static_cast<std::uint8_t>(original ^ 0x80),
                                           static_cast<std::uint8_t>(original + 0x40)};
            for (std::uint8_t value : values) {
                SCOPED_TRACE(testing::Message() << "byte " << at << " = " << int(value));
                Bytes corrupted = fixture.file;
                corrupted[at] = value;
                ExpectCleanOutcome(corrupted);
            }
        }
    }
}

TEST(HostileInput, FromFilesToo)
{
    // The file source hands out addresses into its own buffer; truncated
    // files exercise its end-of-file test rather than the memory source's.
    ScratchFolder folder;
    std::string path = folder / "cut.bmp";
    for (const NamedFixture& fixture : AllFixtures()) {
        SCOPED_TRACE(fixture.name);
        for (std::size_t size = 0; size < fixture.file.size(); size += 7) {
            ASSERT_TRUE(WriteBytes(path, Bytes(fixture.file.begin(), fixture.file.begin() + static_cast<long>(size))));
            PLMemBitmap bitmap;
            EXPECT_THROW(PLBmpReader().DecodeFile(path.c_str(), bitmap, 8), PLTextException) << size;
        }
    }
}

} // namespace
