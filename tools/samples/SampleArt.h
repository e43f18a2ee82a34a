// What the sample pictures are drawn with: fixed-point value noise and the
// picture record each drawing returns. Integer arithmetic only, so that every
// build draws the same pixels and the committed files can be checked against
// fresh ones.
#pragma once

#include <cstdint>
#include <utility>
#include <string>
#include <vector>

namespace samples {

constexpr int ONE = 1 << 16; // fixed point: 16 fraction bits

struct Picture {
    std::string name; // file name without extension
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;  // width x height palette indices, top row first
    std::vector<unsigned char> palette; // 256 entries 0x00BBGGRR, red first; empty for none
};

// A pseudo-random 32-bit value for a lattice point.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Value noise in 0..ONE at fixed-point coordinates.
std::int64_t Noise(std::int64_t x, std::int64_t y, std::uint32_t seed);

// 0x00BBGGRR entry bytes for a colour given as red, green, blue.
void SetEntry(std::vector<unsigned char>& palette, int index, int red, int green, int blue);

Picture DrawValley();  // 320 x 200, a dusk valley, palette of its own
Picture DrawCottage(); // 96 x 64, a cottage, no palette (the default palette's colours)
Picture DrawMap();     // 640 x 400, a map of an island, palette of its own

} // namespace samples

namespace samples {

// A picture being drawn: palette indices, drawing clipped to the edges.
class Canvas {
public:
    Canvas(int width, int height, unsigned char background);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    unsigned char At(int x, int y) const;
    void Set(int x, int y, unsigned char index);
    // Columns left..right-1 of rows top..bottom-1.
    void FillRect(int left, int top, int right, int bottom, unsigned char index);
    void FrameRect(int left, int top, int right, int bottom, unsigned char index);
    void Disc(int centreX, int centreY, int radius, unsigned char index);
    void Line(int x0, int y0, int x1, int y1, unsigned char index);

    Picture Take(const std::string& name, std::vector<unsigned char> palette);

private:
    int m_width, m_height;
    std::vector<unsigned char> m_pixels;
};

} // namespace samples
