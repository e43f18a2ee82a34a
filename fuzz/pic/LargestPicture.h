// For the fuzz targets that read PIC files: the largest picture an input's
// image chunks ask for, so that they can pass over inputs whose only effect
// is a huge block of zero pixels, which costs time and memory and finds nothing.
#pragma once

#include "pic/PicFile.h"

#include <cstddef>
#include <cstdint>

// Walks the chunk headers as the parser does (negative sizes are refused,
// so they ask for none).
inline long long LargestPicture(const std::uint8_t* data, std::size_t size)
{
    long long largest = 0;
    auto byteAt = [&](std::size_t i) -> unsigned { return i < size ? data[i] : 0; };
    for (std::size_t pos = 0; pos < size;) {
        unsigned tag = byteAt(pos) | byteAt(pos + 1) << 8, length = byteAt(pos + 2) | byteAt(pos + 3) << 8;
        pos += 4;
        if (tag == PicFile::IMAGE_TAG && length >= 4) {
            long long width = byteAt(pos) | byteAt(pos + 1) << 8, height = byteAt(pos + 2) | byteAt(pos + 3) << 8;
            if (width <= PicFile::MAX_SIDE && height <= PicFile::MAX_SIDE && width * height > largest)
                largest = width * height;
        }
        pos += length;
    }
    return largest;
}
