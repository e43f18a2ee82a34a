#include "pic/PaletteMapper.h"

#include <algorithm>
#include <cstring>

namespace {

// The game shows 6 bits of each component.
constexpr unsigned SHOWN_BITS = 6;

unsigned ComparedBits(int sourceBits)
{
    unsigned bits = sourceBits < 1 ? 1u : static_cast<unsigned>(sourceBits);
    return std::min(bits, SHOWN_BITS);
}

long Square(int difference)
{
    return static_cast<long>(difference) * difference;
}

} // namespace

PaletteMapper::PaletteMapper(const std::uint32_t palette[PALETTE_ENTRIES], ComponentBits bits)
{
    std::memcpy(m_palette, palette, sizeof m_palette);
    SetBits(bits);
}

void PaletteMapper::SetBits(ComponentBits bits)
{
    unsigned bitsRed = ComparedBits(bits.red);
    m_bitsGreen = ComparedBits(bits.green);
    m_bitsBlue = ComparedBits(bits.blue);
    m_shiftRed = 8 - bitsRed;
    m_shiftGreen = 8 - m_bitsGreen;
    m_shiftBlue = 8 - m_bitsBlue;
    // At most 18 bits of key: a table of 256K entries, built once a picture.
    m_lowest.assign(std::size_t{1} << (bitsRed + m_bitsGreen + m_bitsBlue), -1);
    // From the top down, so that each colour's chain starts at its lowest
    // index and climbs.
    for (int index = PALETTE_ENTRIES - 1; index >= 0; --index) {
        Rgb rgb = RgbFromEntry(m_palette[index]);
        std::uint32_t key = KeyOf(rgb.red, rgb.green, rgb.blue);
        m_entryKey[index] = key;
        m_next[index] = m_lowest[key];
        m_lowest[key] = static_cast<std::int16_t>(index);
    }
}

std::uint32_t PaletteMapper::KeyOf(unsigned red, unsigned green, unsigned blue) const
{
    return (red >> m_shiftRed) << (m_bitsGreen + m_bitsBlue) | (green >> m_shiftGreen) << m_bitsBlue |
           (blue >> m_shiftBlue);
}

void PaletteMapper::SetReference(const unsigned char* indices, int width, int height)
{
    m_reference = indices;
    m_referenceWidth = width;
    m_referenceHeight = height;
}

void PaletteMapper::Start(int width, int height)
{
    m_width = width;
    m_useReference = m_reference != nullptr && width == m_referenceWidth && height == m_referenceHeight;
    m_unmatched = Misses();
    m_translucent = Misses();
    m_lowestChoices = 0;
}

void PaletteMapper::MapRow(int y, const unsigned char* pixels, const PixelLayout& layout,
                           const unsigned char* ownIndices, unsigned char* out)
{
    const auto step = static_cast<std::size_t>(layout.bytes);
    for (int x = 0; x < m_width; ++x) {
        const unsigned char* pixel = pixels + static_cast<std::size_t>(x) * step;
        const Rgb rgb = {pixel[layout.red], pixel[layout.green], pixel[layout.blue]};
        const int alpha = layout.alpha < 0 ? 255 : pixel[layout.alpha];
        out[x] = 0;
        if (alpha != 255) {
            Note(m_translucent, x, y, EntryFromRgb(rgb), alpha);
            continue;
        }
        const std::uint32_t key = KeyOf(rgb.red, rgb.green, rgb.blue);
        const int lowest = m_lowest[key];
        if (lowest < 0) {
            Note(m_unmatched, x, y, EntryFromRgb(rgb), alpha);
            continue;
        }
        out[x] = static_cast<unsigned char>(m_next[lowest] < 0 ? lowest : Choose(lowest, key, x, y, ownIndices));
    }
}

int PaletteMapper::Choose(int lowest, std::uint32_t key, int x, int y, const unsigned char* ownIndices)
{
    if (m_useReference) {
        int original = m_reference[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                                   static_cast<std::size_t>(x)];
        if (m_entryKey[original] == key)
            return original;
    }
    if (ownIndices != nullptr && m_entryKey[ownIndices[x]] == key)
        return ownIndices[x];
    ++m_lowestChoices;
    return lowest;
}

void PaletteMapper::Note(Misses& misses, int x, int y, std::uint32_t color, int alpha)
{
    // Rows may come bottom first, as BMP files store them: the first is the
    // top-most, left-most, where a reader of the picture starts.
    bool first = misses.count++ == 0 || y < misses.y || (y == misses.y && x < misses.x);
    if (!first)
        return;
    misses.x = x;
    misses.y = y;
    misses.color = color;
    misses.alpha = alpha;
}

int PaletteMapper::NearestEntry(std::uint32_t color) const
{
    const Rgb wanted = RgbFromEntry(color);
    int nearest = 0;
    long best = -1;
    for (int index = 0; index < PALETTE_ENTRIES; ++index) {
        const Rgb entry = RgbFromEntry(m_palette[index]);
        long distance = Square(wanted.red - entry.red) + Square(wanted.green - entry.green) +
                        Square(wanted.blue - entry.blue);
        if (best < 0 || distance < best) {
            best = distance;
            nearest = index;
        }
    }
    return nearest;
}
