// Where the viewer paints: the picture centred in the client area (at 1x or
// 2x, above the palette strip when it is shown), its frame, and the strip's
// panels and swatches. Window-free arithmetic, shared by painting and tests.
#pragma once

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

constexpr int PALETTE_STRIP_HEIGHT = 30;
constexpr int FRAME_WIDTH = 2;

// The picture's place: its top-left corner and its painted size.
struct PicturePlace {
    int x;
    int y;
    int width;
    int height;
    int areaBottom; // the client area's bottom less the strip, when shown
};

PicturePlace PlacePicture(int clientRight, int clientBottom, int bitmapWidth, int bitmapHeight, bool magnify2x,
                          bool showPalette);

// The raised edge lies FRAME_WIDTH pixels outside the picture on every side.
Rect FrameEdge(const PicturePlace& place);

// The strip at the bottom: a white band with two black panels, each showing
// the 256 colours as four rows of 64.
struct PaletteStrip {
    int margin;
    Rect band;
    Rect leftPanel;
    Rect rightPanel;
};

PaletteStrip LayOutPaletteStrip(int clientRight, int stripTop);
// 5 x 5 squares with a black pixel between neighbours.
Rect LeftSwatch(const PaletteStrip& strip, int index);
// 6 x 5 swatches touching their neighbours in a row.
Rect RightSwatch(const PaletteStrip& strip, int index);
