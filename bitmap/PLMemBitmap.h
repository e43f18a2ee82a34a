// A bitmap whose rows lie in one heap block, top row first, each exactly
// LineBytes() long: a row address is one table lookup and a row one block copy.
// At 8 bits a pixel is a colour-table index, at 32 bits a PLColor, at 1 bit
// eight pixels share a byte, most significant bit first.
#pragma once

#include "bitmap/PLBitmap.h"

class PLMemBitmap : public PLBitmap {
public:
    // A 16 x 16 8-bit bitmap with a grey-ramp colour table.
    PLMemBitmap();
    ~PLMemBitmap() override;

    // Table + height x LineBytes() + 52, table being 4 x 2^depth + 52 below
    // 16 bits and 52 from 16 on.
    std::size_t MemoryUsed() const override;
    int LineBytes() const override;

    // Hands the pixel block to the caller: Height() rows of LineBytes() bytes,
    // top row first, allocated with new[]. The bitmap is left 0 x 0 at the
    // same depth, with its colour table, so a decoded image changes owner
    // without being copied.
    std::unique_ptr<std::uint8_t[]> TakePixels();

    static constexpr int DEFAULT_SIDE = 16;

protected:
    void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha, bool isGreyscale) override;
    void FreeStorage() override;
    void BuildLineTable() override;

private:
    std::unique_ptr<std::uint8_t[]> m_pixels;
};
