// Picture sizes as a PIC file stores them: signed 16-bit numbers, so 0 to
// 32,767 pixels each way. The largest product, 1,073,676,289, fits an int, the
// size type of ByteBuffer; the check below keeps that true if the limit moves.
#pragma once

#include "pic/PicFile.h"

#include <climits>
#include <cstddef>

inline bool IsStorableSize(int width, int height)
{
    if (width < 0 || height < 0 || width > PicFile::MAX_SIDE || height > PicFile::MAX_SIDE)
        return false;
    return height == 0 || width <= INT_MAX / height;
}

// width x height, or 0 when either is not positive.
inline std::size_t PixelCount(int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}
