#include "bitmap/PLBitmap.h"

#include "bitmap/PLTrace.h"

#include <climits>
#include <cstdio>

namespace {

// Sizes and counts are 32-bit throughout the library (a BMP file cannot hold
// more either); a larger block is refused before the allocator sees it.
constexpr std::uint64_t MAX_BLOCK_BYTES = INT_MAX;

bool IsSupportedDepth(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

} // namespace

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

void PLBitmap::RefuseStorage(int code, const char* why, int width, int height, int bitsPerPixel)
{
    char text[200];
    std::snprintf(text, sizeof text, "Bitmap storage: %d x %d at %d bits per pixel %s", width, height, bitsPerPixel,
                  why);
    ThrowDecoderError(code, text);
}

std::uint64_t PLBitmap::StorableLineBytes(int width, int height, int bitsPerPixel)
{
    if (!IsSupportedDepth(bitsPerPixel))
        RefuseStorage(2, "cannot be stored: the depth must be 1, 2, 4, 8, 16, 24 or 32", width, height, bitsPerPixel);
    if (width < 0 || height < 0)
        RefuseStorage(6, "cannot be stored: sizes cannot be negative", width, height, bitsPerPixel);

    // Products in 64 bits: width x depth and row bytes x height cannot wrap there,
    // and the checks keep them within what this process can address.
    std::uint64_t lineBytes = RowBytes(width, bitsPerPixel);
    std::uint64_t blockBytes = lineBytes * static_cast<std::uint64_t>(height);
    std::uint64_t tableBytes = static_cast<std::uint64_t>(height) * sizeof(std::uint8_t*);
    if (blockBytes > MAX_BLOCK_BYTES || blockBytes > PTRDIFF_MAX || tableBytes > MAX_BLOCK_BYTES ||
        tableBytes > PTRDIFF_MAX)
        RefuseStorage(6, "is too large, at most 2147483647 bytes", width, height, bitsPerPixel);
    return lineBytes;
}
