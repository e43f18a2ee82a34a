// The viewer's program-wide state: one instance, zero at start, and the
// operations of its window, painting and commands.
#pragma once

#include "viewer/PicImage.h"

#include <windows.h>

// Posted from WM_CREATE; by the time it arrives WinMain has read the command line.
constexpr UINT WM_OPEN_START_FILE = WM_USER + 2;
constexpr int FILE_NAME_BYTES = 264;
constexpr int RESOURCE_TEXT_CHARS = 100;

struct ViewerState {
    PicImage Picture;
    char FileName[FILE_NAME_BYTES];
    char Title[RESOURCE_TEXT_CHARS];
    char ClassName[RESOURCE_TEXT_CHARS];
    HINSTANCE Instance;
    bool HasBitmap;
    bool ShowPalette;
    bool Magnify2x;
    bool ShowFrame;
    int BitmapWidth;
    int BitmapHeight;
    int ScreenBitsPerPixel;
    HDC MemoryDC;
    HBITMAP PictureBitmap;
    HGDIOBJ MemoryDCBitmap; // what MemoryDC held before PictureBitmap went in
    HBRUSH BackgroundBrush;
};

extern ViewerState g_viewer;

// Paint.cpp
void InitView(HWND window);
// Lets the old bitmap go, loads the named file into the picture and, when it
// then has an image, builds its bitmap and makes name the window's title.
void ShowPictureFile(HWND window, const char* name);
void BuildBitmap();
void ReleaseBitmap();
void PaintWindow(HWND window);

// Commands.cpp
bool OnCommand(HWND window, WORD command); // false: not one of ours
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
