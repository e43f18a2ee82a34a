// What describes an image besides its pixels: size, depth, resolution and two
// flags. Readers announce a file's image through it; bitmaps are one.
#pragma once

#include "bitmap/PLObject.h"

#include <cstddef>

// An (x, y) pair: a size in pixels or a resolution in dots per inch.
struct PLPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PLPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const PLPoint& other) const { return !(*this == other); }
};

class PLImageInfo : public PLObject {
public:
    PLImageInfo() = default;
    PLImageInfo(PLPoint size, int bitsPerPixel, PLPoint resolution, bool hasAlpha, bool isGreyscale);
    PLImageInfo(const PLImageInfo&) = default;
    PLImageInfo& operator=(const PLImageInfo&) = default;
    ~PLImageInfo() override;

    void SetInfo(PLPoint size, int bitsPerPixel, PLPoint resolution, bool hasAlpha, bool isGreyscale);
    bool operator==(const PLImageInfo& other) const;
    bool operator!=(const PLImageInfo& other) const { return !(*this == other); }

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    PLPoint Size() const { return {m_width, m_height}; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    // Dots per inch; 0 means unknown.
    PLPoint Resolution() const { return {m_resolutionX, m_resolutionY}; }
    bool HasAlpha() const { return m_hasAlpha; }
    bool IsGreyscale() const { return m_isGreyscale; }

    // "{ Size: (w, h), bpp: n, Resolution: (x, y), Alpha: 0/1, Greyscale: 0/1 }",
    // cut to fit bufferSize bytes with its terminator.
    void AsText(char* buffer, std::size_t bufferSize) const;
    // Scans the text AsText writes; integers as sscanf's %i takes them, any
    // non-zero flag is true. Throws PLTextException (code 1) for other text.
    static PLImageInfo FromText(const char* text);

protected:
    void SetResolution(PLPoint resolution);

private:
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    int m_resolutionX = 0;
    int m_resolutionY = 0;
    bool m_hasAlpha = false;
    bool m_isGreyscale = false;
};
