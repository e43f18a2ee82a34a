#include "converter/PictureComparison.h"

#include "converter/ImageDocument.h"

#include <algorithm>

namespace {

// One colour as the game shows it.
std::uint32_t Shown(std::uint32_t entry)
{
    Rgb rgb = SixBitRgbFromEntry(entry);
    return EntryFromRgb(rgb);
}

} // namespace

IndexDifference CompareIndices(const ImageDocument& picture, const ImageDocument& other)
{
    IndexDifference difference;
    const auto width = static_cast<std::size_t>(picture.Width);
    for (int y = 0; y < picture.Height; ++y) {
        const unsigned char* row = picture.Pixels.Data() + static_cast<std::size_t>(y) * width;
        const unsigned char* otherRow = other.Pixels.Data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < picture.Width; ++x) {
            if (row[x] == otherRow[x])
                continue;
            if (difference.count++ == 0) {
                difference.left = difference.right = x;
                difference.top = difference.bottom = y;
            }
            difference.left = std::min(difference.left, x);
            difference.right = std::max(difference.right, x);
            difference.bottom = y;
        }
    }
    return difference;
}

UsedIndices FindUsedIndices(const ImageDocument& picture)
{
    UsedIndices indices;
    std::uint64_t count = static_cast<std::uint64_t>(picture.Width) * static_cast<std::uint64_t>(picture.Height);
    const unsigned char* pixels = picture.Pixels.Data();
    for (std::uint64_t i = 0; i < count; ++i)
        indices.used[pixels[i]] = true;
    return indices;
}

int CountChangedColors(const UsedIndices& indices, const std::uint32_t colors[PALETTE_ENTRIES],
                       const std::uint32_t palette[PALETTE_ENTRIES], bool elsewhere)
{
    int count = 0;
    for (int index = 0; index < PALETTE_ENTRIES; ++index) {
        std::uint32_t color = Shown(colors[index]);
        if (!indices.used[index] || color == Shown(palette[index]))
            continue;
        bool counts = !elsewhere;
        for (int other = 0; other < PALETTE_ENTRIES && !counts; ++other)
            counts = other != index && Shown(palette[other]) == color;
        count += counts ? 1 : 0;
    }
    return count;
}
