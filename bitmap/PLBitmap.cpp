#include "bitmap/PLBitmap.h"

PLBitmap::PLBitmap() = default;

PLBitmap::~PLBitmap() = default;

void PLBitmap::CreateFromInfo(const PLImageInfo& info)
{
    Create(info.Width(), info.Height(), info.BitsPerPixel(), info.HasAlpha(), info.IsGreyscale(), info.Resolution());
}

void PLBitmap::Create(int width, int height, int bitsPerPixel, bool hasAlpha, bool isGreyscale, PLPoint resolution)
{
    // AllocateStorage replaces the old storage only once the new one exists, so
    // a refused size leaves a usable bitmap behind, never one without rows.
    AllocateStorage(width, height, bitsPerPixel, hasAlpha, isGreyscale);
    SetResolution(resolution);
}

void PLBitmap::BeginAccess(bool, bool)
{
    ++m_accessCount;
}

void PLBitmap::EndAccess()
{
    --m_accessCount;
}

int PLBitmap::ColorCount() const
{
    int depth = BitsPerPixel();
    if (depth <= 0)
        return 1;
    return depth > 24 ? 1 << 24 : 1 << depth;
}

void PLBitmap::SetColorTable(const PLColor* entries)
{
    if (m_colorTable == nullptr || entries == nullptr)
        return;
    auto count = static_cast<std::size_t>(ColorCount()); // at least 1
    for (std::size_t i = 0; i < count; ++i)
        m_colorTable[i] = entries[i];
}

void PLBitmap::SetGreyRamp()
{
    if (m_colorTable == nullptr)
        return;
    auto count = static_cast<std::size_t>(ColorCount()); // at least 1
    std::size_t step = count > 1 ? 255 / (count - 1) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        auto grey = static_cast<std::uint8_t>(i * step); // at most 255: step is 0 past 256 colours
        m_colorTable[i % 256] = PLColor(grey, grey, grey, 255);
    }
}

std::uint64_t PLBitmap::RowBytes(int width, int bitsPerPixel)
{
    if (width <= 0 || bitsPerPixel <= 0)
        return 0;
    // Rounding up gives whole bytes at every depth; at 1 bit a partly used
    // last byte counts, at 8 and 32 bits the division is exact.
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel) + 7) / 8;
}
