// Damaged files: every truncation and many corruptions of a valid file load
// within bounds (the sanitizer build checks every access), and what does load
// is what the bytes that are left describe.
#include "viewer/PicImage.h"

#include "tests/viewer/WholePicture.h"

#include "tests/common/PicModels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Seventeen 9-bit codes and what they stand for:
//   1 "01", 2 "02", 257 "01 02", 259 "01 02 01" (defined by this very code),
//   0x90, 0 (an escaped 0x90), 5, 0x90, 30 (29 more 5s), 7, 0x90, 1 (256 more
//   7s), 260 "01 02 01 90", 9 (8 more 1s), 264 "90 1E" (29 more 1s),
//   265 "1E 07", 3. No pixel is 0, the value that bytes past a cut read as.
const std::vector<unsigned> SAMPLE_CODES{1, 2, 257, 259, 0x90, 0, 5, 0x90, 30, 7, 0x90, 1, 260, 9, 264, 265, 3};
constexpr std::uint16_t SAMPLE_WIDTH = 13;
constexpr std::uint16_t SAMPLE_HEIGHT = 26;
constexpr std::size_t STREAM_OFFSET = (4 + 2 + 768) + 8; // palette chunk, image chunk header and size

Bytes SampleTriples()
{
    Bytes triples;
    for (int i = 0; i < 256; ++i)
        triples.insert(triples.end(), {static_cast<unsigned char>(i % 64), static_cast<unsigned char>(63 - i % 64),
                                       static_cast<unsigned char>(i / 4)});
    return triples;
}

Bytes SampleFile(const std::vector<unsigned>& codes = SAMPLE_CODES)
{
    return Join({PaletteChunk(0, 255, SampleTriples()), ImageChunk(SAMPLE_WIDTH, SAMPLE_HEIGHT, PackCodes(11, codes))});
}

Bytes SamplePixels()
{
    return Join({{1, 2, 1, 2, 1, 2, 1, 0x90}, Bytes(30, 5), Bytes(257, 7), {1, 2}, Bytes(38, 1), {30, 7, 3}});
}

// Every colour shown is a palette entry or the 0 of "outside the picture".
void ExpectBoundedPicture(const PicImage& image)
{
    EXPECT_EQ(image.FileData, nullptr);
    if (!image.HasImage)
        return;
    const Bytes pixels = WholePicture(image);
    ASSERT_EQ(pixels.size(), std::size_t{image.Width} * image.Height);
    for (std::uint32_t y = 0; y < image.Height; ++y)
        for (std::uint32_t x = 0; x < image.Width; ++x)
            ASSERT_EQ(image.PixelColor(x, y), image.Palette[pixels[y * image.Width + x]]);
}

// How many leading pixels agree with the sample picture.
int MatchingPixels(const PicImage& image)
{
    const Bytes expected = SamplePixels();
    int count = 0;
    while (count < image.PixelCount && image.Pixels[count] == expected[static_cast<std::size_t>(count)])
        ++count;
    return count;
}

} // namespace

TEST(PicImageDamage, SampleDecodesToItsPicture)
{
    const Bytes file = SampleFile();
    PicImage image;
    ASSERT_TRUE(image.Parse(file.data(), static_cast<int>(file.size())));
    ASSERT_EQ(SamplePixels().size(), std::size_t{SAMPLE_WIDTH} * SAMPLE_HEIGHT);
    EXPECT_EQ(WholePicture(image), SamplePixels());
    EXPECT_EQ(image.PaletteEntry(1), 0x00F804u);
}

TEST(PicImageDamage, EveryTruncationLoadsWhatIsThere)
{
    const Bytes file = SampleFile();
    const PicImage fresh;
    PicImage whole;
    ASSERT_TRUE(whole.Parse(file.data(), static_cast<int>(file.size())));

    for (std::size_t size = 0; size <= file.size(); ++size) {
        SCOPED_TRACE(size);
        // The cut copy lives in a block of its own so that a read past its end
        // is caught by the sanitizers rather than landing in the whole file.
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        PicImage image;
        ASSERT_TRUE(image.Parse(cut.data(), static_cast<int>(cut.size())));
        ExpectBoundedPicture(image);
        // Triples are applied as far as they are whole.
        const std::size_t wholeTriples = size < 6 ? 0 : (size - 6) / 3;
        EXPECT_EQ(image.HasPalette, size >= 6);
        for (std::uint32_t i = 0; i < 256; ++i)
            ASSERT_EQ(image.PaletteEntry(i), i < wholeTriples ? whole.PaletteEntry(i) : fresh.PaletteEntry(i))
                << "entry " << i;
        // The picture appears once its width and height are there.
        EXPECT_EQ(image.HasImage, size >= STREAM_OFFSET);
        if (!image.HasImage)
            continue;
        ASSERT_EQ(image.Width, SAMPLE_WIDTH);
        ASSERT_EQ(image.Height, SAMPLE_HEIGHT);
        // The codes whose bits are all there decode as in the whole file: the
        // picture agrees at least as far as a stream of just those codes.
        const std::size_t streamBits = 8 * (size - STREAM_OFFSET);
        const std::size_t wholeCodes = std::min(SAMPLE_CODES.size(), streamBits < 8 ? 0 : (streamBits - 8) / 9);
        const auto codesEnd = SAMPLE_CODES.begin() + static_cast<std::ptrdiff_t>(wholeCodes);
        const Bytes shorter = SampleFile(std::vector<unsigned>(SAMPLE_CODES.begin(), codesEnd));
        PicImage reference;
        ASSERT_TRUE(reference.Parse(shorter.data(), static_cast<int>(shorter.size())));
        EXPECT_GE(MatchingPixels(image), MatchingPixels(reference));
    }
    EXPECT_EQ(MatchingPixels(whole), SAMPLE_WIDTH * SAMPLE_HEIGHT);
}

TEST(PicImageDamage, CorruptedBytesStayWithinBounds)
{
    const Bytes file = SampleFile();
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (unsigned char value : Bytes{0x00, 0x01, 0x7F, 0x90, 0xFF}) {
            Bytes damaged = file;
            if (damaged[at] == value)
                continue;
            damaged[at] = value;
            SCOPED_TRACE("byte " + std::to_string(at) + " = " + std::to_string(value));
            PicImage image;
            image.SetPixelLimit(1 << 20);
            ASSERT_TRUE(image.Parse(damaged.data(), static_cast<int>(damaged.size())));
            ExpectBoundedPicture(image);
        }
    }
}

TEST(PicImageDamage, LoopingAndOverlongCodeChainsStop)
{
    // Codes far above the next free one, and codes of entries defined from a
    // previous code of the last dictionary cycle, can chain into loops once
    // the dictionary has been reset. Streams of such codes at MaxCodeWidth 9,
    // which resets every 256 codes, must decode to a full, bounded picture.
    std::vector<unsigned> codes;
    for (unsigned i = 0; i < 3000; ++i)
        codes.push_back(i % 7 == 0 ? 511 : (i * 37) % 512);
    for (unsigned maxWidth : {0u, 9u, 10u, 11u}) {
        SCOPED_TRACE(maxWidth);
        PicImage image;
        const Bytes file = ImageChunk(200, 200, PackCodes(maxWidth, codes));
        ASSERT_TRUE(image.Parse(file.data(), static_cast<int>(file.size())));
        ASSERT_TRUE(image.HasImage);
        EXPECT_EQ(WholePicture(image).size(), std::size_t{200} * 200);
        ExpectBoundedPicture(image);
    }
}
