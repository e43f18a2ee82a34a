// Pictures compressed as the converter's writer does decode to their pixels:
// every small size, long runs, every index, escapes, and images long enough
// to take the dictionary through several resets.
#include "viewer/PicImage.h"

#include "tests/viewer/WholePicture.h"

#include "tests/common/PicModels.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

Bytes Decode(std::uint16_t width, std::uint16_t height, const Bytes& pixels)
{
    const Bytes file = EncodePicture(width, height, pixels);
    PicImage image;
    image.Parse(file.data(), static_cast<int>(file.size()));
    if (!image.HasImage || image.Width != width || image.Height != height)
        return {};
    return WholePicture(image);
}

} // namespace

TEST(PicImageRoundTrip, EverySmallSize)
{
    for (std::uint16_t height = 1; height <= 12; ++height) {
        for (std::uint16_t width = 1; width <= 12; ++width) {
            SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
            Bytes pixels;
            for (int i = 0; i < width * height; ++i)
                pixels.push_back(static_cast<unsigned char>((i / 3) % 5 == 0 ? 0x90 : i * 7 % 11));
            EXPECT_EQ(Decode(width, height, pixels), pixels);
        }
    }
}

TEST(PicImageRoundTrip, SpecialContents)
{
    std::mt19937 random(20240611);
    struct Case {
        const char* name;
        std::uint16_t width, height;
        Bytes pixels;
    };
    Case cases[] = {
        {"one colour", 300, 300, Bytes(90000, 42)},
        {"all 0x90", 97, 31, Bytes(97 * 31, 0x90)},
        {"every index", 256, 2, {}},
        {"noise of 4 colours", 256, 256, {}},
        {"noise of 256 colours", 200, 100, {}},
        {"stripes", 640, 48, {}},
    };
    for (int i = 0; i < 512; ++i)
        cases[2].pixels.push_back(static_cast<unsigned char>(i));
    for (int i = 0; i < 256 * 256; ++i)
        cases[3].pixels.push_back(static_cast<unsigned char>(random() % 4 * 0x30));
    for (int i = 0; i < 200 * 100; ++i)
        cases[4].pixels.push_back(static_cast<unsigned char>(random()));
    for (int i = 0; i < 640 * 48; ++i)
        cases[5].pixels.push_back(static_cast<unsigned char>(i % 640 / 37 + i / 640 % 3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Decode(c.width, c.height, c.pixels), c.pixels);
    }
}
