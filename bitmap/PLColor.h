// One colour-table entry, also one pixel of a 32-bit bitmap: the bytes blue,
// green, red, alpha in memory order (0xAARRGGBB read as a little-endian word).
#pragma once

#include <cstdint>

class PLColor {
public:
    PLColor() = default;
    PLColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 255)
        : b(blue), g(green), r(red), a(alpha)
    {
    }

    bool operator==(const PLColor& other) const;
    bool operator!=(const PLColor& other) const { return !(*this == other); }

    // Declared in file order: the table is copied to and from BMP files as bytes.
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t a = 0;
};
static_assert(sizeof(PLColor) == 4, "a colour is four bytes: blue, green, red, alpha");
