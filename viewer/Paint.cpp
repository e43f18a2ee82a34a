// The picture as a screen-format bitmap, and painting it centred on black
// with its optional frame, 2x stretch and palette strip.
#include "viewer/ViewLayout.h"
#include "viewer/ViewerState.h"

namespace {

RECT ToRECT(const lumbrel::Rect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

void FillStock(HDC dc, const lumbrel::Rect& area, int stockBrush)
{
    const RECT rect = ToRECT(area);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(stockBrush)));
}

// Both panels show the current palette, 4 rows of 64; the strip is drawn
// afresh on every paint so it always follows the palette.
void PaintPaletteStrip(HDC dc, int clientRight, int stripTop)
{
    const lumbrel::PaletteStrip strip = lumbrel::LayOutPaletteStrip(clientRight, stripTop);
    FillStock(dc, strip.band, WHITE_BRUSH);
    FillStock(dc, strip.leftPanel, BLACK_BRUSH);
    FillStock(dc, strip.rightPanel, BLACK_BRUSH);
    for (int i = 0; i < PicImage::PALETTE_ENTRIES; ++i) {
        // A palette entry (0x00BBGGRR) is a COLORREF as it stands.
        HBRUSH brush = CreateSolidBrush(g_viewer.Picture.PaletteEntry(static_cast<std::uint32_t>(i)));
        const RECT left = ToRECT(lumbrel::LeftSwatch(strip, i));
        const RECT right = ToRECT(lumbrel::RightSwatch(strip, i));
        FillRect(dc, &left, brush);
        FillRect(dc, &right, brush);
        DeleteObject(brush);
    }
}

void PaintPicture(HDC dc, const lumbrel::PicturePlace& place)
{
    if (g_viewer.ShowFrame) {
        RECT frame = ToRECT(lumbrel::FrameRect(place));
        DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    }
    if (g_viewer.Magnify2x)
        StretchBlt(dc, place.x, place.y, place.width, place.height, g_viewer.MemoryDC, 0, 0, g_viewer.BitmapWidth,
                   g_viewer.BitmapHeight, SRCCOPY);
    else
        BitBlt(dc, place.x, place.y, g_viewer.BitmapWidth, g_viewer.BitmapHeight, g_viewer.MemoryDC, 0, 0, SRCCOPY);
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
    if (g_viewer.FileName[0] != '\0') {
        g_viewer.Picture.Load(g_viewer.FileName);
        if (g_viewer.Picture.HasImage) {
            BuildBitmap();
            SetWindowTextA(window, g_viewer.FileName);
        }
    }
    InvalidateRect(window, nullptr, TRUE);
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
    // A picture of no pixels, or one too large for a screen bitmap, shows
    // nothing rather than a stand-in bitmap.
    if (picture.Width == 0 || picture.Height == 0)
        return;
    HBITMAP bitmap = CreateBitmap(static_cast<int>(picture.Width), static_cast<int>(picture.Height), 1,
                                  static_cast<UINT>(g_viewer.ScreenBitsPerPixel), nullptr);
    if (bitmap == nullptr)
        return;
    g_viewer.PictureBitmap = bitmap;
    g_viewer.MemoryDCBitmap = SelectObject(g_viewer.MemoryDC, bitmap);
    g_viewer.BitmapWidth = static_cast<int>(picture.Width);
    g_viewer.BitmapHeight = static_cast<int>(picture.Height);
    g_viewer.HasBitmap = true;
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
    const lumbrel::PicturePlace place = lumbrel::PlacePicture(
        client.right, client.bottom, g_viewer.BitmapWidth, g_viewer.BitmapHeight, g_viewer.Magnify2x, g_viewer.ShowPalette);
    if (g_viewer.HasBitmap)
        PaintPicture(dc, place);
    if (g_viewer.ShowPalette)
        PaintPaletteStrip(dc, client.right, place.areaBottom);
    EndPaint(window, &paint);
}
