#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "platform/Platform.h"
#include "tests/bitmap/BmpFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The converter refuses larger sides from the header; RLE data may end at
// once, so without that a corrupted size byte could ask for gigabytes.
constexpr int CONVERTER_MAX_SIDE = 32767;

// A decode as the converter makes it ends in a PLTextException with a text, a
// size refused from the header, or an 8-bit bitmap whose every row can be
// read (the sanitizer build checks the bounds).
void ExpectCleanOutcome(const Bytes& file)
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

TEST(HostileInput, EveryFixtureDecodes)
{
    for (const NamedFixture& fixture : AllFixtures()) {
        SCOPED_TRACE(fixture.name);
        PLMemBitmap bitmap;
        EXPECT_NO_THROW(DecodeBytes(fixture.file, bitmap));
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
            const std::uint8_t values[] = {0x00, 0xFF, 0x7F, 0x80, static_cast<std::uint8_t>(original ^ 0x01),
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
