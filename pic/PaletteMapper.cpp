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
    const int sourceBits[3] = {bits.red, bits.green, bits.blue};
    for (int c = 0; c < 3; ++c) {
        m_bits[c] = ComparedBits(sourceBits[c]);
        m_shift[c] = 8 - m_bits[c];
        m_quantized[c] = sourceBits[c] < 8;
    }
    // At most 18 bits of key: a table of 256K entries, built once a picture.
    m_table.assign(std::size_t{1} << (m_bits[0] + m_bits[1] + m_bits[2]), NO_ENTRY);
    // From the top down, so that each key ends with its lowest index.
    for (int index = PALETTE_ENTRIES - 1; index >= 0; --index)
        AddEntry(index);
}

// A component that the file holds in fewer than 8 bits (a 16-bit file's 5
// or 6) comes from an editor's 8-bit value either cut to them or rounded to
// the nearest (GIMP rounds, so 252 becomes 62 of 63 at 6 bits): the entry
// matches both, since the file cannot tell which its editor did.
void PaletteMapper::AddEntry(int index)
{
    const Rgb rgb = RgbFromEntry(m_palette[index]);
    const unsigned components[3] = {rgb.red, rgb.green, rgb.blue};
    unsigned values[3][2];
    int counts[3];
    for (int c = 0; c < 3; ++c) {
        values[c][0] = components[c] >> m_shift[c];
        counts[c] = 1;
        if (m_quantized[c]) {
            const unsigned top = (1u << m_bits[c]) - 1;
            unsigned rounded = (components[c] * top + 127) / 255;
            if (rounded != values[c][0])
                values[c][counts[c]++] = rounded;
        }
    }
    m_keyCount[index] = 0;
    for (int r = 0; r < counts[0]; ++r) {
        for (int g = 0; g < counts[1]; ++g) {
            for (int b = 0; b < counts[2]; ++b) {
                const std::uint32_t key =
                    values[0][r] << (m_bits[1] + m_bits[2]) | values[1][g] << m_bits[2] | values[2][b];
                m_entryKeys[index][m_keyCount[index]++] = key;
                const std::int16_t held = m_table[key];
                m_table[key] = static_cast<std::int16_t>(index | (held == NO_ENTRY ? 0 : SEVERAL));
            }
        }
    }
}

std::uint32_t PaletteMapper::KeyOf(unsigned red, unsigned green, unsigned blue) const
{
    return (red >> m_shift[0]) << (m_bits[1] + m_bits[2]) | (green >> m_shift[1]) << m_bits[2] | (blue >> m_shift[2]);
}

bool PaletteMapper::Holds(int index, std::uint32_t key) const
{
    for (int k = 0; k < m_keyCount[index]; ++k) {
        if (m_entryKeys[index][k] == key)
            return true;
    }
    return false;
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

namespace {

// A layout known when the program is compiled, so that the loop over a row
// uses constant offsets: a row is mapped for every row decoded.
template <int BYTES, int RED, int GREEN, int BLUE, int ALPHA>
struct FixedLayout {
    static constexpr int bytes = BYTES, red = RED, green = GREEN, blue = BLUE, alpha = ALPHA;
};

bool Is(const PixelLayout& layout, const PixelLayout& other)
{
    return layout.bytes == other.bytes && layout.red == other.red && layout.green == other.green &&
           layout.blue == other.blue && (layout.alpha < 0) == (other.alpha < 0) &&
           (layout.alpha < 0 || layout.alpha == other.alpha);
}

// Shifts known when the program is compiled: 8-bit components compared at 6.
struct ByteShifts {
    ByteShifts(const unsigned*, const unsigned*) {}
    static constexpr unsigned red = 2, green = 2, blue = 2, redAt = 12, greenAt = 6;
};

struct SourceShifts {
    SourceShifts(const unsigned* shift, const unsigned* bits)
        : red(shift[0]), green(shift[1]), blue(shift[2]), redAt(bits[1] + bits[2]), greenAt(bits[2])
    {
    }
    unsigned red, green, blue, redAt, greenAt;
};

} // namespace

void PaletteMapper::MapRow(int y, const unsigned char* pixels, const PixelLayout& layout,
                           const unsigned char* ownIndices, unsigned char* out)
{
    if (m_shift[0] == 2 && m_shift[1] == 2 && m_shift[2] == 2)
        MapRowOf<ByteShifts>(y, pixels, layout, ownIndices, out);
    else
        MapRowOf<SourceShifts>(y, pixels, layout, ownIndices, out);
}

template <class Shifts>
void PaletteMapper::MapRowOf(int y, const unsigned char* pixels, const PixelLayout& layout,
                             const unsigned char* ownIndices, unsigned char* out)
{
    const Shifts shifts(m_shift, m_bits);
    if (Is(layout, BGRA_PIXELS))
        MapPixels(y, pixels, FixedLayout<4, 2, 1, 0, 3>(), shifts, ownIndices, out);
    else if (Is(layout, RGB_PIXELS))
        MapPixels(y, pixels, FixedLayout<3, 0, 1, 2, -1>(), shifts, ownIndices, out);
    else if (Is(layout, RGBA_PIXELS))
        MapPixels(y, pixels, FixedLayout<4, 0, 1, 2, 3>(), shifts, ownIndices, out);
    else
        MapPixels(y, pixels, layout, shifts, ownIndices, out);
}

// Most pixels are opaque and of a colour the palette holds at one index:
// one table lookup. The others take the rules or are counted.
template <class Layout, class Shifts>
void PaletteMapper::MapPixels(int y, const unsigned char* pixels, const Layout& at, const Shifts& shifts,
                              const unsigned char* ownIndices, unsigned char* out)
{
    const std::int16_t* table = m_table.data();
    const auto step = static_cast<std::size_t>(at.bytes);
    const int width = m_width;
    for (int x = 0; x < width; ++x) {
        const unsigned char* pixel = pixels + static_cast<std::size_t>(x) * step;
        const std::uint32_t key = (std::uint32_t{pixel[at.red]} >> shifts.red) << shifts.redAt |
                                  (std::uint32_t{pixel[at.green]} >> shifts.green) << shifts.greenAt |
                                  (std::uint32_t{pixel[at.blue]} >> shifts.blue);
        const std::int16_t held = table[key];
        const int alpha = at.alpha < 0 ? 255 : pixel[at.alpha < 0 ? 0 : at.alpha];
        // NO_ENTRY reads as 0xFFFF: one comparison leaves the plain case.
        if (static_cast<std::uint16_t>(held) < SEVERAL && alpha == 255) {
            out[x] = static_cast<unsigned char>(held);
        } else if (held >= SEVERAL && alpha == 255) {
            out[x] = static_cast<unsigned char>(Choose(held & 0xFF, key, x, y, ownIndices));
        } else {
            out[x] = 0;
            const std::uint32_t color = EntryFromRgb({pixel[at.red], pixel[at.green], pixel[at.blue]});
            Note(alpha != 255 ? m_translucent : m_unmatched, x, y, color, alpha);
        }
    }
}

int PaletteMapper::Choose(int lowest, std::uint32_t key, int x, int y, const unsigned char* ownIndices)
{
    if (m_useReference) {
        int original =
            m_reference[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
        if (Holds(original, key))
            return original;
    }
    if (ownIndices != nullptr && Holds(ownIndices[x], key))
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
        long distance =
            Square(wanted.red - entry.red) + Square(wanted.green - entry.green) + Square(wanted.blue - entry.blue);
        if (best < 0 || distance < best) {
            best = distance;
            nearest = index;
        }
    }
    return nearest;
}
