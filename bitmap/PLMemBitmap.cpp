#include "bitmap/PLMemBitmap.h"

#include "bitmap/PLTrace.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <new>

namespace {

constexpr int HEADER_ESTIMATE = 52;

} // namespace

PLMemBitmap::PLMemBitmap()
{
    AllocateStorage(DEFAULT_SIDE, DEFAULT_SIDE, 8, false, false);
}

PLMemBitmap::~PLMemBitmap() = default;

std::size_t PLMemBitmap::MemoryUsed() const
{
    std::size_t table =
        BitsPerPixel() < 16 ? 4 * static_cast<std::size_t>(ColorCount()) + HEADER_ESTIMATE : HEADER_ESTIMATE;
    return table + static_cast<std::size_t>(Height()) * static_cast<std::size_t>(LineBytes()) + HEADER_ESTIMATE;
}

int PLMemBitmap::LineBytes() const
{
    // AllocateStorage made sure this fits an int.
    return static_cast<int>(RowBytes(Width(), BitsPerPixel()));
}

std::unique_ptr<std::uint8_t[]> PLMemBitmap::TakePixels()
{
    std::unique_ptr<std::uint8_t[]> pixels = std::move(m_pixels);
    // No rows, so no row addresses to keep.
    m_lineTable.reset();
    SetInfo({0, 0}, BitsPerPixel(), Resolution(), HasAlpha(), IsGreyscale());
    return pixels;
}

void PLMemBitmap::AllocateStorage(int width, int height, int bitsPerPixel, bool hasAlpha, bool isGreyscale)
{
    std::uint64_t blockBytes = StorableLineBytes(width, height, bitsPerPixel) * static_cast<std::uint64_t>(height);
    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(blockBytes)]);
    std::unique_ptr<std::uint8_t*[]> lines(new (std::nothrow) std::uint8_t*[static_cast<std::size_t>(height)]);
    std::unique_ptr<PLColor[]> colors;
    if (bitsPerPixel <= 8)
        colors.reset(new (std::nothrow) PLColor[std::size_t{1} << bitsPerPixel]);
    if (pixels == nullptr || lines == nullptr || (bitsPerPixel <= 8 && colors == nullptr))
        RefuseStorage(-1, "does not fit in memory", width, height, bitsPerPixel);

    // Only now that nothing can fail does the old storage go.
    FreeStorage();
    m_pixels = std::move(pixels);
    m_lineTable = std::move(lines);
    m_colorTable = std::move(colors);
    SetInfo({width, height}, bitsPerPixel, {0, 0}, hasAlpha, isGreyscale);
    BuildLineTable();
    if (bitsPerPixel < 16)
        SetGreyRamp();
}

void PLMemBitmap::FreeStorage()
{
    m_pixels.reset();
    m_colorTable.reset();
    m_lineTable.reset();
}

void PLMemBitmap::BuildLineTable()
{
    // Create has refused negative sizes.
    auto lineBytes = static_cast<std::size_t>(LineBytes());
    auto rows = static_cast<std::size_t>(Height());
    for (std::size_t i = 0; i < rows; ++i)
        m_lineTable[i] = m_pixels.get() + i * lineBytes;
}
