// The viewer's loader against the converter's PicFile: files the converter
// writes, the bundled sample and the hand-written fixtures give the same
// pixels and colours in both.
#include "pic/PicFile.h"
#include "viewer/PicImage.h"

#include "tests/viewer/WholePicture.h"

#include "tests/common/PicModels.h"
#include "tests/common/TestFiles.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct Decoded {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Bytes pixels;
    std::vector<std::uint32_t> colors; // of every pixel
};

Decoded ByConverter(const Bytes& file)
{
    PicFile pic;
    pic.Parse(file.data(), static_cast<int>(file.size()));
    Decoded d;
    if (!pic.HasImage)
        return d;
    d.width = static_cast<std::uint32_t>(pic.Width());
    d.height = static_cast<std::uint32_t>(pic.Height());
    d.pixels.resize(std::size_t{d.width} * d.height);
    pic.CopyPixels(d.pixels.data(), static_cast<int>(d.pixels.size()));
    for (unsigned char index : d.pixels)
        d.colors.push_back(pic.PaletteEntry(index));
    return d;
}

Decoded ByViewer(const Bytes& file)
{
    PicImage image;
    image.Parse(file.data(), static_cast<int>(file.size()));
    Decoded d;
    if (!image.HasImage || image.Pixels == nullptr)
        return d;
    d.width = image.Width;
    d.height = image.Height;
    d.pixels = WholePicture(image);
    for (std::uint32_t y = 0; y < d.height; ++y)
        for (std::uint32_t x = 0; x < d.width; ++x)
            d.colors.push_back(image.PixelColor(x, y));
    return d;
}

void ExpectSameDecoding(const Bytes& file)
{
    const Decoded converter = ByConverter(file);
    const Decoded viewer = ByViewer(file);
    ASSERT_GT(converter.width, 0u);
    EXPECT_EQ(viewer.width, converter.width);
    EXPECT_EQ(viewer.height, converter.height);
    EXPECT_TRUE(viewer.pixels == converter.pixels) << "pixels differ";
    EXPECT_TRUE(viewer.colors == converter.colors) << "colours differ";
}

// Writes the picture with the converter's encoder and returns the file.
Bytes SaveWithConverter(int width, int height, const Bytes& pixels, const std::vector<std::uint32_t>* palette)
{
    PicFile pic;
    Bytes paletteBytes;
    if (palette != nullptr)
        for (std::uint32_t entry : *palette)
            for (int shift = 0; shift < 32; shift += 8)
                paletteBytes.push_back(static_cast<unsigned char>(entry >> shift));
    if (!pic.SetImage(width, height, pixels.data(), palette != nullptr ? paletteBytes.data() : nullptr))
        return {};
    return SavedBytes(pic, true);
}

} // namespace

TEST(CrossCheck, FixturesAndTheBundledSamples)
{
    for (const std::string name : {"tests/fixtures/pic/two-pixels.pic", "tests/fixtures/pic/four-fives.pic",
                                   "tests/fixtures/pic/repeated-pair.pic", "tests/fixtures/pic/palette-range.pic",
                                   "samples/valley.pic", "samples/cottage.pic", "samples/map.pic"}) {
        SCOPED_TRACE(name);
        Bytes file;
        ASSERT_TRUE(ReadBytes(std::string(CANTREL_SOURCE_DIR) + "/" + name, file));
        ExpectSameDecoding(file);
    }
}

TEST(CrossCheck, RandomPicturesWrittenByTheConverter)
{
    std::mt19937 random(7741);
    for (int round = 0; round < 40; ++round) {
        const int width = 1 + static_cast<int>(random() % 240);
        const int height = 1 + static_cast<int>(random() % 160);
        const int style = round % 4;
        Bytes pixels;
        unsigned char run = 0;
        for (int i = 0; i < width * height; ++i) {
            switch (style) {
            case 0:
                pixels.push_back(static_cast<unsigned char>(random()));
                break; // noise
            case 1:
                pixels.push_back(static_cast<unsigned char>(random() % 3 ? 0x90 : random() % 4));
                break;
            case 2: // runs of random length, across rows
                if (random() % 40 == 0)
                    run = static_cast<unsigned char>(random());
                pixels.push_back(run);
                break;
            default:
                pixels.push_back(static_cast<unsigned char>((i % width + i / width) / 5));
                break;
            }
        }
        std::vector<std::uint32_t> palette;
        for (int i = 0; i < 256; ++i)
            palette.push_back(static_cast<std::uint32_t>(random()) & 0x00FFFFFF);
        const bool withPalette = round % 3 != 0;
        SCOPED_TRACE("round " + std::to_string(round) + ": " + std::to_string(width) + " x " + std::to_string(height) +
                     ", style " + std::to_string(style));
        const Bytes file = SaveWithConverter(width, height, pixels, withPalette ? &palette : nullptr);
        ASSERT_FALSE(file.empty());
        ExpectSameDecoding(file);
        EXPECT_TRUE(ByViewer(file).pixels == pixels);
    }
}

TEST(CrossCheck, LargePictureTakesBothThroughDictionaryResets)
{
    Bytes pixels;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x)
            pixels.push_back(static_cast<unsigned char>((x / 8 + y / 10) % 61));
    const Bytes file = SaveWithConverter(640, 400, pixels, nullptr);
    ASSERT_FALSE(file.empty());
    ExpectSameDecoding(file);
    EXPECT_TRUE(ByViewer(file).pixels == pixels);
}

TEST(CrossCheck, TestPicturesDecodeInTheConverterToo)
{
    // The tests' own writer (for window tests and benchmarks) against the
    // converter's reader.
    Bytes pixels;
    for (int i = 0; i < 300 * 200; ++i)
        pixels.push_back(static_cast<unsigned char>(i % 300 / 20 + i / 300 % 7 * 0x20));
    Bytes triples;
    for (int i = 0; i < 768; ++i)
        triples.push_back(static_cast<unsigned char>(i * 5 % 64));
    const Bytes file = EncodePicture(300, 200, pixels, triples);
    ExpectSameDecoding(file);
    EXPECT_TRUE(ByConverter(file).pixels == pixels);
}
