// Maps pixels given as colours onto the indices of a PIC palette. An editor
// that saves a picture in true colour, or builds a colour map of its own,
// keeps the colours but loses the indices the game needs; the colours, looked
// up in the picture's own palette, give them back.
//
// Colours are compared as the game shows them, at 6 bits per component; a
// source that holds fewer bits (a 16-bit BMP file has 5 for red and blue) is
// compared at its own, since a 6-bit value does not survive 5 bits. A palette
// may hold one colour at several indices; a pixel then takes, of those
// indices, the first that applies:
//   1. the index of the reference picture (the original) at the same place;
//   2. the index the source itself has there (a colour map the editor kept);
//   3. the lowest, which is counted, since the picture may then differ from
//      the original where it shows no difference.
// A pixel whose colour the palette lacks, or that is not fully opaque, gets
// index 0 and is counted; the caller refuses such a picture.
#pragma once

#include "pic/PaletteEntry.h"

#include <cstdint>
#include <vector>

// Where the components of one pixel lie in a row: bytes per pixel and the
// offset of each component; alpha is -1 for pixels without one.
struct PixelLayout {
    int bytes;
    int red;
    int green;
    int blue;
    int alpha;
};

// Red, green, blue (and alpha) bytes, as GIMP hands them over; blue, green,
// red, alpha, as the bitmap library decodes true-colour BMP files.
constexpr PixelLayout RGB_PIXELS = {3, 0, 1, 2, -1};
constexpr PixelLayout RGBA_PIXELS = {4, 0, 1, 2, 3};
constexpr PixelLayout BGRA_PIXELS = {4, 2, 1, 0, 3};

// The bits per component that the source of the pixels held, 1 to 8. Its
// values are handed over as bytes whose top bits are those bits.
struct ComponentBits {
    int red = 8;
    int green = 8;
    int blue = 8;
};

class PaletteMapper {
public:
    // The pixels that could not be mapped: how many there were, and the first
    // in reading order (the top-most row, its left-most pixel), with its
    // colour (0x00BBGGRR) and alpha.
    struct Misses {
        std::uint64_t count = 0;
        int x = 0;
        int y = 0;
        std::uint32_t color = 0;
        int alpha = 255;
    };

    // palette: the entries to map onto; bits: what the source holds.
    explicit PaletteMapper(const std::uint32_t palette[PALETTE_ENTRIES], ComponentBits bits = {});

    // For a source of other bits, known only once its header is read.
    void SetBits(ComponentBits bits);

    // The picture whose index decides between entries of one colour (rule 1):
    // width x height indices, which must outlive the mapping. Used only for
    // a mapped picture of the same size (see Start).
    void SetReference(const unsigned char* indices, int width, int height);
    // Starts a picture of this size; the counts start again.
    void Start(int width, int height);
    // Maps row y of width pixels (the width given to Start). ownIndices: the
    // source's own index of each pixel (rule 2), or null.
    void MapRow(int y, const unsigned char* pixels, const PixelLayout& layout, const unsigned char* ownIndices,
                unsigned char* out);

    // The entries mapped onto.
    const std::uint32_t* Palette() const { return m_palette; }
    // True when every pixel so far was mapped.
    bool Succeeded() const { return m_unmatched.count == 0 && m_translucent.count == 0; }
    const Misses& Unmatched() const { return m_unmatched; }
    const Misses& Translucent() const { return m_translucent; }
    // Pixels whose colour the palette holds at several indices that neither
    // rule 1 nor rule 2 decided: they took the lowest.
    std::uint64_t LowestChoices() const { return m_lowestChoices; }
    // The entry nearest to color (0x00BBGGRR), by the smallest sum of
    // squared component differences; the lowest index of equals.
    int NearestEntry(std::uint32_t color) const;

private:
    // What a key holds in the table: the lowest index of its colour, and
    // whether other entries hold that colour too; NO_ENTRY when none does.
    static constexpr std::int16_t NO_ENTRY = -1;
    static constexpr std::int16_t SEVERAL = 0x100;
    // An entry matches up to two values of each component (see SetBits).
    static constexpr int MOST_KEYS = 8;

    std::uint32_t KeyOf(unsigned red, unsigned green, unsigned blue) const;
    void AddEntry(int index);
    bool Holds(int index, std::uint32_t key) const;
    template <class Shifts>
    void MapRowOf(int y, const unsigned char* pixels, const PixelLayout& layout, const unsigned char* ownIndices,
                  unsigned char* out);
    template <class Layout, class Shifts>
    void MapPixels(int y, const unsigned char* pixels, const Layout& at, const Shifts& shifts,
                   const unsigned char* ownIndices, unsigned char* out);
    int Choose(int lowest, std::uint32_t key, int x, int y, const unsigned char* ownIndices);
    static void Note(Misses& misses, int x, int y, std::uint32_t color, int alpha);

    std::uint32_t m_palette[PALETTE_ENTRIES];
    // Per component: the bits compared, and the shift that keeps them.
    unsigned m_bits[3];
    unsigned m_shift[3];
    // Whether the source held the component in fewer than 8 bits.
    bool m_quantized[3];
    // For every key, what SEVERAL and NO_ENTRY describe; for every entry,
    // the keys it matches.
    std::vector<std::int16_t> m_table;
    std::uint32_t m_entryKeys[PALETTE_ENTRIES][MOST_KEYS];
    int m_keyCount[PALETTE_ENTRIES];

    const unsigned char* m_reference = nullptr;
    int m_referenceWidth = 0;
    int m_referenceHeight = 0;
    bool m_useReference = false;
    int m_width = 0;

    Misses m_unmatched;
    Misses m_translucent;
    std::uint64_t m_lowestChoices = 0;
};
