// Resource identifiers, shared by Viewer.rc and the code. Plain #defines so
// that the resource compiler can read them.
#pragma once

#define IDS_APP_TITLE 103
#define IDS_CLASS_NAME 109

#define IDI_LUMBREL 107
#define IDI_SMALL 108

#define IDR_MAINMENU 109
#define IDR_ACCELERATORS 109

#define IDD_ABOUTBOX 103
#define IDC_ABOUT_ICON 2

#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_OPEN 32771
#define IDM_PALETTE 32772
#define IDM_MAGNIFY 32773
#define IDM_FRAME 32774
