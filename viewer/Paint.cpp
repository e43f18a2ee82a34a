// The picture as a screen-format bitmap, and painting it centred on black
// with its optional frame, 2x stretch and palette strip.
#include "viewer/ViewLayout.h"
#include "viewer/ViewerState.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace {

RECT ToRECT(const Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

void FillStock(HDC dc, const Rect& area, int stockBrush)
{
    const RECT rect = ToRECT(area);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

// Both panels show the current palette, 4 rows of 64; the strip is drawn
// afresh on every paint so it always follows the palette.
void PaintPaletteStrip(HDC dc, int clientRight, int stripTop)
{
    const PaletteStrip strip = LayOutPaletteStrip(clientRight, stripTop);
    FillStock(dc, strip.band, WHITE_BRUSH);
    FillStock(dc, strip.leftPanel, BLACK_BRUSH);
    FillStock(dc, strip.rightPanel, BLACK_BRUSH);
    for (int i = 0; i < PicImage::PALETTE_ENTRIES; ++i) {
        // A palette entry (0x00BBGGRR) is a COLORREF as it stands.
        HBRUSH brush = CreateSolidBrush(g_viewer.Picture.PaletteEntry(static_cast<std::uint32_t>(i)));
        const RECT left = ToRECT(LeftSwatch(strip, i));
        const RECT right = ToRECT(RightSwatch(strip, i));
        FillRect(dc, &left, brush);
        FillRect(dc, &right, brush);
        DeleteObject(brush);
    }
}

void PaintPicture(HDC dc, const PicturePlace& place)
{
    if (g_viewer.ShowFrame) {
        RECT frame = ToRECT(FrameEdge(place));
        DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    }
    if (g_viewer.Magnify2x)
        StretchBlt(dc, place.x, place.y, place.width, place.height, g_viewer.MemoryDC, 0, 0, g_viewer.BitmapWidth,
                   g_viewer.BitmapHeight, SRCCOPY);
    else
        BitBlt(dc, place.x, place.y, g_viewer.BitmapWidth, g_viewer.BitmapHeight, g_viewer.MemoryDC, 0, 0, SRCCOPY);
}

// The colours of rows [top, top + rows) of the picture's first width
// columns, bottom row first as a bottom-up DIB holds them, each as
// 0x00RRGGBB (blue in the first byte).
void ConvertRows(const PicImage& picture, int top, int rows, int width, std::uint32_t* out)
{
    for (int row = rows - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t color =
                picture.PixelColor(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(top + row));
            *out++ = (color & 0x0000FF) << 16 | (color & 0x00FF00) | (color & 0xFF0000) >> 16;
        }
}

// Sets every pixel of the screen-format bitmap, width x height, to the
// picture's PixelColor(x, y), a band of rows per SetDIBits call: one call per
// pixel (SetPixel) takes well over a second for a 2048 x 2048 picture. False
// when no band buffer can be had.
bool FillBitmap(HBITMAP bitmap, const PicImage& picture, int width, int height)
{
    constexpr std::size_t BAND_PIXELS = std::size_t{1} << 22;
    const auto rowPixels = static_cast<std::size_t>(width);
    const std::size_t rowsThatFit = std::max<std::size_t>(1, BAND_PIXELS / rowPixels);
    const int bandRows = static_cast<int>(std::min<std::size_t>(rowsThatFit, static_cast<std::size_t>(height)));
    std::uint32_t* band = new (std::nothrow) std::uint32_t[static_cast<std::size_t>(bandRows) * rowPixels];
    if (band == nullptr)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up: scan line 0 is the bottom row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        ConvertRows(picture, top, rows, width, band);
        const UINT firstScan = static_cast<UINT>(height - top - rows); // counted from the bottom
        SetDIBits(g_viewer.MemoryDC, bitmap, firstScan, static_cast<UINT>(rows), band, &info, DIB_RGB_COLORS);
    }
    delete[] band;
    return true;
}

// A picture larger than the client area is shown from its top-left corner
// and cut at the right and bottom (PlacePicture), and no window of the
// system grows past its largest tracking size: the bitmap need not hold more
// of the picture than that, at either magnification. A picture of 32,767
// pixels a side would otherwise ask for a screen bitmap of gigabytes, which
// Windows refuses, and show nothing.
int ShownSide(std::uint32_t pictureSide, int largestWindowSide)
{
    const auto side = static_cast<int>(pictureSide); // at most 65,535
    return largestWindowSide > 0 && largestWindowSide < side ? largestWindowSide : side;
}

// The screen bitmap for the picture's top-left width x height part; where
// Windows cannot make that, for a part of half the larger side, and so on.
HBITMAP CreateShownBitmap(int& width, int& height)
{
    for (;;) {
        HBITMAP bitmap = CreateBitmap(width, height, 1, static_cast<UINT>(g_viewer.ScreenBitsPerPixel), nullptr);
        if (bitmap != nullptr || (width == 1 && height == 1))
            return bitmap;
        if (width >= height)
            width = (width + 1) / 2;
        else
            height = (height + 1) / 2;
    }
}

} // namespace

void InitView(HWND window)
{
    g_viewer.BitmapWidth = 0;
    g_viewer.BitmapHeight = 0;
    // The second run at start-up keeps the memory context of the first.
    if (g_viewer.MemoryDC == nullptr) {
        HWND desktop = GetDesktopWindow();
        HDC screen = GetDC(desktop);
        g_viewer.ScreenBitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
        g_viewer.MemoryDC = CreateCompatibleDC(screen);
        ReleaseDC(desktop, screen);
    }
    g_viewer.BackgroundBrush = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (g_viewer.FileName[0] != '\0')
        ShowPictureFile(window, g_viewer.FileName);
    InvalidateRect(window, nullptr, TRUE);
}

void ShowPictureFile(HWND window, const char* name)
{
    ReleaseBitmap();
    g_viewer.Picture.Load(name);
    // HasImage stays true once any file had a picture, so a file without one
    // shows the last picture again, under its own name.
    if (g_viewer.Picture.HasImage) {
        BuildBitmap();
        SetWindowTextA(window, name);
    }
}

void ReleaseBitmap()
{
    if (g_viewer.PictureBitmap != nullptr) {
        SelectObject(g_viewer.MemoryDC, g_viewer.MemoryDCBitmap);
        DeleteObject(g_viewer.PictureBitmap);
        g_viewer.PictureBitmap = nullptr;
    }
    g_viewer.BitmapWidth = 0;
    g_viewer.BitmapHeight = 0;
    g_viewer.HasBitmap = false;
}

void BuildBitmap()
{
    const PicImage& picture = g_viewer.Picture;
    if (!picture.HasImage)
        return;
    ReleaseBitmap();
    // A picture of no pixels, or one whose every part is too large for a
    // screen bitmap, shows nothing rather than a stand-in bitmap.
    if (picture.Width == 0 || picture.Height == 0)
        return;
    int width = ShownSide(picture.Width, GetSystemMetrics(SM_CXMAXTRACK));
    int height = ShownSide(picture.Height, GetSystemMetrics(SM_CYMAXTRACK));
    HBITMAP bitmap = CreateShownBitmap(width, height);
    if (bitmap == nullptr)
        return;
    // Filled before it goes into the memory context, as SetDIBits asks.
    const bool filled = FillBitmap(bitmap, picture, width, height);
    g_viewer.PictureBitmap = bitmap;
    g_viewer.MemoryDCBitmap = SelectObject(g_viewer.MemoryDC, bitmap);
    g_viewer.BitmapWidth = width;
    g_viewer.BitmapHeight = height;
    g_viewer.HasBitmap = true;
    if (filled)
        return;
    // No memory for a band of rows: one pixel at a time.
    for (int y = 0; y < g_viewer.BitmapHeight; ++y)
        for (int x = 0; x < g_viewer.BitmapWidth; ++x)
            SetPixel(g_viewer.MemoryDC, x, y,
                     picture.PixelColor(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)));
}

void PaintWindow(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, g_viewer.BackgroundBrush);
    const PicturePlace place = PlacePicture(client.right, client.bottom, g_viewer.BitmapWidth, g_viewer.BitmapHeight,
                                            g_viewer.Magnify2x, g_viewer.ShowPalette);
    if (g_viewer.HasBitmap)
        PaintPicture(dc, place);
    if (g_viewer.ShowPalette)
        PaintPaletteStrip(dc, client.right, place.areaBottom);
    EndPaint(window, &paint);
}
