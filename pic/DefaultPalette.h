// The 256 colours every PIC picture starts from: the colour of any index that
// a file's palette chunk does not cover. Plain data, on nothing but the
// header of the entries' form, so the converter and the desktop parts share
// this one table. The viewer, which shares no source with them, keeps its own
// copy (viewer/PicImage.cpp); the viewer's cross-check tests hold the two to
// the same colours.
#pragma once

#include "pic/PaletteEntry.h"

#include <cstdint>

// Entries are 0x00BBGGRR: red in the low byte. Entries 0 to 15 are the sixteen
// basic colours; 16 to 247 are the VGA start-up palette (6-bit components
// times 4) and 248 to 255 are black.
extern const std::uint32_t DEFAULT_PALETTE[PALETTE_ENTRIES];
