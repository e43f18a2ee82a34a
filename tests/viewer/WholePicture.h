// The viewer's loaded picture as a whole, for tests that compare it with the
// pixels they expect: PicImage holds only the pixels its stream gave.
#pragma once

#include "tests/common/TestFiles.h"
#include "viewer/PicImage.h"

#include <cstdint>

// Width x Height indices, row by row: the pixels held, then index 0 for the
// rest, as PixelColor shows them. Empty without a picture, or when Width and
// Height no longer describe the block (a later chunk of width or height 0).
inline Bytes WholePicture(const PicImage& image)
{
    const std::uint64_t total = static_cast<std::uint64_t>(image.Width) * image.Height;
    if (!image.HasImage || total == 0 || static_cast<std::uint64_t>(image.PixelCount) > total)
        return {};
    Bytes pixels(image.Pixels, image.Pixels + image.PixelCount);
    pixels.resize(static_cast<std::size_t>(total), 0);
    return pixels;
}
