// Encode then decode gives back the pixels, for every small size and for the
// pictures that reach the format's corners: runs beyond one and two repeat
// counts, the escape byte everywhere, and dictionaries that fill and reset.
#include "pic/PicFile.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

namespace {

void ExpectRoundTrip(int width, int height, const Bytes& pixels)
{
    Bytes stream = EncodePixels(width, height, pixels);
    ASSERT_EQ(stream.at(0), 11);
    EXPECT_TRUE(DecodeStream(width, height, stream) == pixels) << width << " x " << height;
}

// Blobs of the colours 0 and 1, with 1 turned into the escape byte 0x90.
Bytes HalfEscapes(std::size_t count, std::uint32_t seed)
{
    Bytes pixels = Blobs(count, seed, 2, 2);
    for (auto& pixel : pixels)
        pixel = pixel == 1 ? 0x90 : 0;
    return pixels;
}

Bytes Ramp(std::size_t count)
{
    Bytes pixels(count);
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = static_cast<unsigned char>(i);
    return pixels;
}

TEST(RoundTrip, EverySizeUpTo12x12)
{
    for (int height = 1; height <= 12; ++height) {
        for (int width = 1; width <= 12; ++width) {
            std::size_t count = static_cast<std::size_t>(width * height);
            auto seed = static_cast<std::uint32_t>(width * 100 + height);
            ExpectRoundTrip(width, height, Noise(count, seed));
            ExpectRoundTrip(width, height, Blobs(count, seed, 3, 4));
            ExpectRoundTrip(width, height, Bytes(count, 0x90));
        }
    }
}

TEST(RoundTrip, RunsAroundTheRepeatLimits)
{
    for (std::size_t length : {2u, 3u, 254u, 255u, 256u, 257u, 509u, 510u, 511u, 765u, 766u, 1000u}) {
        for (unsigned char byte : Bytes{0x00, 0x07, 0x90, 0xFF}) {
            SCOPED_TRACE(testing::Message() << length << " copies of " << int{byte});
            Bytes pixels(length, byte);
            pixels.push_back(1); // a different byte after the run
            ExpectRoundTrip(static_cast<int>(pixels.size()), 1, pixels);
            ExpectRoundTrip(static_cast<int>(length), 1, Bytes(length, byte));
        }
    }
}

TEST(RoundTrip, LargePicturesThroughSeveralDictionaryCycles)
{
    struct Case {
        const char* name;
        int width, height;
        Bytes pixels;
    };
    const Case cases[] = {
        {"noise", 320, 200, Noise(320 * 200, 11)},
        {"all 256 indices in turn", 256, 64, Ramp(256 * 64)},
        {"half of the pixels escape bytes", 300, 100, HalfEscapes(30000, 12)},
        {"runs of a few colours", 640, 480, Blobs(640 * 480, 13, 5, 700)},
        {"one colour", 1000, 1000, Bytes(1000000, 0x90)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRoundTrip(c.width, c.height, c.pixels);
    }
    // 1,792 codes fill a dictionary; the noise picture takes far more than two.
    EXPECT_GT(EncodePixels(320, 200, Noise(320 * 200, 11)).size(), 3 * 1792 * 11 / 8);
}

} // namespace
