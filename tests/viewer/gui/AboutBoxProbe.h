// What the window tests read through Win32 rather than from a screenshot.
#pragma once

// Prints the DPI the display reports (LOGPIXELSY); 0 on success.
int ReportDpi();

// Finds the About box and checks that every control lies inside it, none
// overlaps another, and every text fits its control on one line in the
// dialog's font at the display's DPI; prints what does not and a summary.
// 0 when all fits.
int CheckAboutBox();
