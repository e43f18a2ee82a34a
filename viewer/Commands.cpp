// The menu commands, the open-file dialog and the About box.
#include "viewer/Resource.h"
#include "viewer/ViewerState.h"

#include <commdlg.h>
#include <cstddef>

namespace {

// The record's layout without the Windows 2000 fields: 76 bytes in the
// 32-bit program that ships; the 64-bit test build has wider pointers.
constexpr DWORD OPEN_FILE_NAME_SIZE = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(sizeof(void*) != 4 || OPEN_FILE_NAME_SIZE == 76, "the 32-bit open-file record is 76 bytes");
constexpr DWORD PATH_BYTES = 260;

void Repaint(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
}

void ShowAbout(HWND window)
{
    DialogBoxParamA(g_viewer.Instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), window, AboutProc, 0);
}

// The file is loaded by its bare name from the current folder, which the
// dialog makes the chosen file's folder. Wine's dialog does not always do so
// (seen with a typed name relative to a subfolder), and then another file, or
// none, would be loaded; so the folder of the full path is made current here.
void EnterFolderOf(char* fullPath, WORD nameOffset)
{
    if (nameOffset == 0 || nameOffset >= PATH_BYTES)
        return;
    const char saved = fullPath[nameOffset];
    fullPath[nameOffset] = '\0';
    SetCurrentDirectoryA(fullPath);
    fullPath[nameOffset] = saved;
}

void OpenPicture(HWND window)
{
    static char fileTitle[PATH_BYTES];
    static char fullPath[PATH_BYTES];
    fileTitle[0] = '\0';
    fullPath[0] = '\0';
    OPENFILENAMEA dialog{};
    dialog.lStructSize = OPEN_FILE_NAME_SIZE;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = ".pic\0"; // with the literal's own NUL: ".pic", NUL, NUL
    dialog.lpstrFile = fullPath;
    dialog.nMaxFile = PATH_BYTES;
    dialog.lpstrFileTitle = fileTitle;
    dialog.nMaxFileTitle = PATH_BYTES;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&dialog)) {
        EnterFolderOf(fullPath, dialog.nFileOffset);
        ShowPictureFile(window, fileTitle);
    }
    Repaint(window);
}

void Toggle(HWND window, bool& flag)
{
    flag = !flag;
    Repaint(window);
}

} // namespace

bool OnCommand(HWND window, WORD command)
{
    switch (command) {
    case IDM_ABOUT:
        ShowAbout(window);
        return true;
    case IDM_EXIT:
        DestroyWindow(window);
        return true;
    case IDM_OPEN:
        OpenPicture(window);
        return true;
    case IDM_PALETTE:
        Toggle(window, g_viewer.ShowPalette);
        return true;
    case IDM_MAGNIFY:
        Toggle(window, g_viewer.Magnify2x);
        return true;
    case IDM_FRAME:
        Toggle(window, g_viewer.ShowFrame);
        return true;
    }
    return false;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}
