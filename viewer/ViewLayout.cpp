#include "viewer/ViewLayout.h"

namespace {

constexpr int PALETTE_WIDTH = 770; // both panels side by side
constexpr int MIN_PALETTE_MARGIN = 3;
constexpr int SWATCH_COLUMNS = 64;
constexpr int SWATCH_PITCH = 6;

// Half the free space, truncated toward zero; a picture larger than the area
// is anchored at the top-left corner and cut at the right and bottom.
int Centre(int area, int size)
{
    const int offset = (area - size) / 2;
    return offset > 0 ? offset : 0;
}

int SwatchTop(const PaletteStrip& strip, int index)
{
    return strip.band.top + 3 + SWATCH_PITCH * (index / SWATCH_COLUMNS);
}

} // namespace

PicturePlace PlacePicture(int clientRight, int clientBottom, int bitmapWidth, int bitmapHeight, bool magnify2x,
                          bool showPalette)
{
    PicturePlace place{};
    place.areaBottom = showPalette ? clientBottom - PALETTE_STRIP_HEIGHT : clientBottom;
    place.width = magnify2x ? 2 * bitmapWidth : bitmapWidth;
    place.height = magnify2x ? 2 * bitmapHeight : bitmapHeight;
    place.x = Centre(clientRight, place.width);
    place.y = Centre(place.areaBottom, place.height);
    return place;
}

Rect FrameEdge(const PicturePlace& place)
{
    return Rect{place.x - FRAME_WIDTH, place.y - FRAME_WIDTH, place.x + place.width + FRAME_WIDTH,
                place.y + place.height + FRAME_WIDTH};
}

PaletteStrip LayOutPaletteStrip(int clientRight, int stripTop)
{
    PaletteStrip strip{};
    const int margin = (clientRight - PALETTE_WIDTH) / 2;
    strip.margin = margin > MIN_PALETTE_MARGIN ? margin : MIN_PALETTE_MARGIN;
    strip.band = Rect{0, stripTop, clientRight, stripTop + PALETTE_STRIP_HEIGHT};
    strip.leftPanel = Rect{strip.margin - 1, stripTop + 2, strip.margin + 384, stripTop + 27};
    strip.rightPanel = Rect{strip.margin + 385, stripTop + 2, strip.margin + 770, stripTop + 27};
    return strip;
}

Rect LeftSwatch(const PaletteStrip& strip, int index)
{
    const int left = strip.margin + SWATCH_PITCH * (index % SWATCH_COLUMNS);
    const int top = SwatchTop(strip, index);
    return Rect{left, top, left + 5, top + 5};
}

Rect RightSwatch(const PaletteStrip& strip, int index)
{
    const int left = strip.margin + SWATCH_PITCH * (index % SWATCH_COLUMNS) + 386;
    const int top = SwatchTop(strip, index);
    return Rect{left, top, left + 6, top + 5};
}
