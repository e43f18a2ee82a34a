#include "bitmap/PLBorrowedBitmap.h"

#include <new>

namespace {

constexpr int TABLE_ESTIMATE = 52;

} // namespace

PLBorrowedBitmap::PLBorrowedBitmap(std::uint8_t* pixels, int width, int height, int bitsPerPixel, std::size_t lineBytes)
{
    std::uint64_t rowBytes = StorableLineBytes(width, height, bitsPerPixel);
    if (lineBytes < rowBytes)
        RefuseStorage(6, "cannot be borrowed: its rows overlap", width, height, bitsPerPixel);
    if (pixels == nullptr && rowBytes > 0 && height > 0)
        RefuseStorage(6, "cannot be borrowed: there are no rows", width, height, bitsPerPixel);
    m_lineTable.reset(new (std::nothrow) std::uint8_t*[static_cast<std::size_t>(height)]);
    if (bitsPerPixel <= 8)
        m_colorTable.reset(new (std::nothrow) PLColor[std::size_t{1} << bitsPerPixel]);
    if (m_lineTable == nullptr || (bitsPerPixel <= 8 && m_colorTable == nullptr))
        RefuseStorage(-1, "does not fit in memory", width, height, bitsPerPixel);
    m_pixels = pixels;
    m_lineStride = lineBytes;
    SetInfo({width, height}, bitsPerPixel, {0, 0}, false, false);
    BuildLineTable();
    if (bitsPerPixel < 16)
        SetGreyRamp();
}

PLBorrowedBitmap::~PLBorrowedBitmap() = default;

std::size_t PLBorrowedBitmap::MemoryUsed() const
{
    std::size_t colors = BitsPerPixel() < 16 ? 4 * static_cast<std::size_t>(ColorCount()) : 0;
    return colors + static_cast<std::size_t>(Height()) * sizeof(std::uint8_t*) + TABLE_ESTIMATE;
}

int PLBorrowedBitmap::LineBytes() const
{
    // The constructor made sure this fits an int.
    return static_cast<int>(RowBytes(Width(), BitsPerPixel()));
}

void PLBorrowedBitmap::AllocateStorage(int width, int height, int bitsPerPixel, bool, bool)
{
    RefuseStorage(6, "cannot be stored: a borrowed bitmap has no storage of its own", width, height, bitsPerPixel);
}

void PLBorrowedBitmap::FreeStorage()
{
    // The rows are their owner's; the tables go with the bitmap.
}

void PLBorrowedBitmap::BuildLineTable()
{
    auto rows = static_cast<std::size_t>(Height());
    for (std::size_t i = 0; i < rows; ++i)
        m_lineTable[i] = m_pixels + i * m_lineStride;
}
