// A bitmap over rows that another object owns: the rows stay where their
// owner keeps them, and the bitmap only adds its row table and colour table.
// A writer can then encode a picture without a second copy of its pixels.
// The owner keeps the rows alive and unmoved for the bitmap's lifetime.
#pragma once

#include "bitmap/PLBitmap.h"

class PLBorrowedBitmap : public PLBitmap {
public:
    // Rows of width pixels at the depth, lineBytes apart from the top row at
    // pixels, with a grey-ramp colour table below 16 bits. Throws
    // PLTextException for what a PLMemBitmap could not store either, and for
    // rows closer together than a row's bytes.
    PLBorrowedBitmap(std::uint8_t* pixels, int width, int height, int bitsPerPixel, std::size_t lineBytes);
    ~PLBorrowedBitmap() override;

    // The tables only: the rows are their owner's.
    std::size_t MemoryUsed() const override;
    int LineBytes() const override;

protected:
    // Storage of its own is what this bitmap does not have: Create throws
    // PLTextException and leaves it as it was.
    void AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha, bool isGreyscale) override;
    void FreeStorage() override;
    void BuildLineTable() override;

private:
    std::uint8_t* m_pixels = nullptr;
    std::size_t m_lineStride = 0;
};
