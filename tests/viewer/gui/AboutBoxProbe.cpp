// The Win32 half of the window tests' helper: what a screenshot cannot tell
// of the viewer's About box, read from its controls by the window manager's
// own calls, and the DPI the display reports to a program.
#include "tests/viewer/gui/AboutBoxProbe.h"

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Control {
    std::wstring className, text;
    RECT rect; // in the dialog's client coordinates
};

BOOL CALLBACK Collect(HWND child, LPARAM param)
{
    auto& controls = *reinterpret_cast<std::vector<Control>*>(param);
    Control control{};
    wchar_t buffer[256] = {};
    GetClassNameW(child, buffer, 256);
    control.className = buffer;
    buffer[0] = 0;
    GetWindowTextW(child, buffer, 256);
    control.text = buffer;
    GetWindowRect(child, &control.rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&control.rect), 2);
    controls.push_back(control);
    return TRUE;
}

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int Dpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

int ReportDpi()
{
    std::printf("%d\n", Dpi());
    return 0;
}

int CheckAboutBox()
{
    HWND about = FindWindowW(nullptr, L"About");
    if (about == nullptr) {
        std::printf("no window titled About\n");
        return 1;
    }
    RECT client;
    GetClientRect(about, &client);
    std::vector<Control> controls;
    EnumChildWindows(about, Collect, reinterpret_cast<LPARAM>(&controls));
    // The dialog's font as its resource names it (8 points of MS Sans Serif)
    // at the display's DPI, which is what the dialog made of it.
    const int dpi = Dpi();
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif");
    HGDIOBJ old = SelectObject(screen, font);
    int wrong = 0, texts = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        const RECT& r = c.rect;
        if (r.left < client.left || r.top < client.top || r.right > client.right || r.bottom > client.bottom) {
            std::printf("%ls \"%ls\" at (%ld, %ld, %ld, %ld) reaches outside the box's client area (%ld x %ld)\n",
                        c.className.c_str(), c.text.c_str(), r.left, r.top, r.right, r.bottom, client.right,
                        client.bottom);
            ++wrong;
        }
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            if (Overlap(r, controls[j].rect)) {
                std::printf("\"%ls\" and \"%ls\" overlap\n", c.text.c_str(), controls[j].text.c_str());
                ++wrong;
            }
        if (c.text.empty())
            continue;
        ++texts;
        RECT needed = {0, 0, 0, 0};
        DrawTextW(screen, c.text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        // A button's text has its edge round it as well.
        const bool button = _wcsicmp(c.className.c_str(), L"Button") == 0;
        const long room = (r.right - r.left) - (button ? 2 * GetSystemMetrics(SM_CXEDGE) : 0);
        if (needed.right > room || needed.bottom > r.bottom - r.top) {
            std::printf("\"%ls\" needs %ld x %ld pixels, its control has %ld x %ld\n", c.text.c_str(), needed.right,
                        needed.bottom, r.right - r.left, r.bottom - r.top);
            ++wrong;
        }
    }
    SelectObject(screen, old);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    std::printf("About box at %d DPI: %zu controls, %d with texts, client area %ld x %ld\n", dpi, controls.size(),
                texts, client.right, client.bottom);
    if (texts == 0) {
        std::printf("no control with a text\n");
        ++wrong;
    }
    return wrong == 0 ? 0 : 1;
}
