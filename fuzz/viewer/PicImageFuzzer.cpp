// Feeds arbitrary bytes to the viewer's loader, twice into one object as the
// viewer does from one file to the next, and reads every pixel back.
#include "viewer/PicImage.h"

#include <cstddef>
#include <cstdint>

// Visible outside, so the reads above it are not optimised away.
std::uint32_t g_pixelMix;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 20)
        return 0;
    // Pictures the size of a screen or two are plenty to reach every path;
    // larger ones only cost time and memory.
    PicImage image;
    image.SetPixelLimit(1 << 20);
    const int count = static_cast<int>(size);
    image.Parse(data, count);
    image.Parse(data + size / 2, count - count / 2);
    std::uint32_t mix = 0;
    for (std::uint32_t y = 0; y <= image.Height && y < 2048; ++y)
        for (std::uint32_t x = 0; x <= image.Width && x < 2048; ++x)
            mix ^= image.PixelColor(x, y);
    for (std::uint32_t i = 0; i <= 256; ++i)
        mix ^= image.PaletteEntry(i);
    g_pixelMix = mix;
    return 0;
}
