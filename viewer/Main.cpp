// Lumbrel: program start, the main window and its message loop.
#include "viewer/CommandLine.h"
#include "viewer/Resource.h"
#include "viewer/ViewerState.h"

ViewerState g_viewer;

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        PostMessageA(window, WM_OPEN_START_FILE, 0, 0);
        return 0;
    case WM_ERASEBKGND: // PaintWindow fills the whole client area itself
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        PaintWindow(window);
        return 0;
    case WM_COMMAND:
        if (OnCommand(window, LOWORD(wParam)))
            return 0;
        break;
    case WM_OPEN_START_FILE:
        InitView(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_LUMBREL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINMENU);
    windowClass.lpszClassName = g_viewer.ClassName;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SMALL));
    return RegisterClassExA(&windowClass) != 0;
}

// The window takes the size the system gives it; a picture never resizes it.
// InitView runs here once with FileName still empty, and again when
// WM_OPEN_START_FILE arrives.
HWND CreateMainWindow(HINSTANCE instance, int showMode)
{
    g_viewer.Instance = instance;
    HWND window = CreateWindowExA(0, g_viewer.ClassName, g_viewer.Title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return nullptr;
    ShowWindow(window, showMode);
    UpdateWindow(window);
    InitView(window);
    return window;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showMode)
{
    LoadStringA(instance, IDS_APP_TITLE, g_viewer.Title, RESOURCE_TEXT_CHARS);
    LoadStringA(instance, IDS_CLASS_NAME, g_viewer.ClassName, RESOURCE_TEXT_CHARS);
    RegisterWindowClass(instance);
    HWND window = CreateMainWindow(instance, showMode);
    if (window == nullptr)
        return 0;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

    OutputDebugStringA(commandLine);
    TakeFileName(commandLine, g_viewer.FileName, sizeof g_viewer.FileName);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
