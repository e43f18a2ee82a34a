// The 256 colours every PIC picture starts from: the colour of any index that
// a file's palette chunk does not cover. Plain data, on nothing but the
// header of the entries' form, so every reader of PIC files can share it.
#pragma once

#include "pic/PaletteEntry.h"

#include <cstdint>

// Entries are 0x00BBGGRR: red in the low byte. Entries 0 to 15 are the sixteen
// basic colours; 16 to 247 are the VGA start-up palette (6-bit components
// times 4) and 248 to 255 are black.
extern const std::uint32_t DEFAULT_PALETTE[PALETTE_ENTRIES];
