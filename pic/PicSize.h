// Picture sizes as a PIC file stores them: signed 16-bit numbers, so 0 to
// 32,767 pixels each way. The largest product, 1,073,676,289, fits an int, the
// size type of ByteBuffer; the check below keeps that true if the limit moves.
#pragma once

#include "pic/PicFile.h"

#include <climits>
#include <cstdint>

inline bool IsStorableSize(int width, int height)
{
    if (width < 0 || height < 0 || width > PicFile::MAX_SIDE || height > PicFile::MAX_SIDE)
        return false;
    return height == 0 || width <= INT_MAX / height;
}

// The pixels of a width x height picture, which are also its bytes: 0 when a
// side is 0 or negative. In 64 bits, so that no two ints can wrap it, even
// where size_t has 32; callers check it against what they can hold.
inline std::uint64_t CountPixels(int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
}
