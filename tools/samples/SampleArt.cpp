#include "tools/samples/SampleArt.h"

namespace samples {

namespace {

// 0 to ONE, with zero slope at both ends.
std::int64_t Smooth(std::int64_t f)
{
    return f * f / ONE * (3 * ONE - 2 * f) / ONE;
}

} // namespace

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^ static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

std::int64_t Noise(std::int64_t x, std::int64_t y, std::uint32_t seed)
{
    auto ix = static_cast<std::int32_t>(x >> 16), iy = static_cast<std::int32_t>(y >> 16);
    std::int64_t fx = Smooth(x & (ONE - 1)), fy = Smooth(y & (ONE - 1));
    auto corner = [&](int dx, int dy) { return static_cast<std::int64_t>(Hash(ix + dx, iy + dy, seed) >> 16); };
    std::int64_t top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * fx / ONE;
    std::int64_t bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * fx / ONE;
    return top + (bottom - top) * fy / ONE;
}

void SetEntry(std::vector<unsigned char>& palette, int index, int red, int green, int blue)
{
    unsigned char* entry = &palette[4 * static_cast<std::size_t>(index)];
    entry[0] = static_cast<unsigned char>(red);
    entry[1] = static_cast<unsigned char>(green);
    entry[2] = static_cast<unsigned char>(blue);
    entry[3] = 0;
}

} // namespace samples

namespace samples {

Canvas::Canvas(int width, int height, unsigned char background)
    : m_width(width), m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), background)
{
}

unsigned char Canvas::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)];
}

void Canvas::Set(int x, int y, unsigned char index)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x)] = index;
}

void Canvas::FillRect(int left, int top, int right, int bottom, unsigned char index)
{
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            Set(x, y, index);
}

void Canvas::FrameRect(int left, int top, int right, int bottom, unsigned char index)
{
    FillRect(left, top, right, top + 1, index);
    FillRect(left, bottom - 1, right, bottom, index);
    FillRect(left, top, left + 1, bottom, index);
    FillRect(right - 1, top, right, bottom, index);
}

void Canvas::Disc(int centreX, int centreY, int radius, unsigned char index)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (dx * dx + dy * dy <= radius * radius + radius / 2)
                Set(centreX + dx, centreY + dy, index);
}

void Canvas::Line(int x0, int y0, int x1, int y1, unsigned char index)
{
    const int dx = x1 > x0 ? x1 - x0 : x0 - x1, stepX = x0 < x1 ? 1 : -1;
    const int dy = y1 > y0 ? y0 - y1 : y1 - y0, stepY = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        Set(x0, y0, index);
        if (x0 == x1 && y0 == y1)
            return;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

Picture Canvas::Take(const std::string& name, std::vector<unsigned char> palette)
{
    Picture picture;
    picture.name = name;
    picture.width = m_width;
    picture.height = m_height;
    picture.pixels = std::move(m_pixels);
    picture.palette = std::move(palette);
    return picture;
}

} // namespace samples
