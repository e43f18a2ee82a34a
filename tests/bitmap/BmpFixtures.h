// Small BMP files written by hand from the format, field by field, shared by
// the reader tests and the hostile-input tests.
#pragma once

#include "bitmap/PLBmpReader.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <string>
#include <vector>

// 3 x 2 at 8 bits with a 4-entry table, 72 x 96 dpi; pixels top row first 3 0 1, 1 2 3.
Bytes ThreeByTwo8Bit();
// 10 x 1 at 1 bit; pixels 1 0 1 0 0 1 0 1 1 1.
Bytes TenWide1Bit();
// 3 x 1 at 4 bits with a 3-entry table; pixels 1 2 3.
Bytes ThreeWide4Bit();

// 2 x 2 at 32 bits as ImageMagick writes pictures with alpha: a 124-byte
// header, bit fields with an alpha mask. Pixels top row first (r, g, b, a):
// (255, 0, 0, 128) (0, 255, 0, 255), (0, 0, 255, 0) (10, 20, 30, 40).
Bytes ImageMagickAlpha32();

// A true-colour file and what it holds: pixels top row first, the bits its
// channels give, and whether it has alpha (alpha bits above 0).
struct TrueColorFixture {
    std::string name;
    Bytes file;
    std::vector<PLColor> pixels;
    PLBmpReader::ChannelBits bits;
};
// Every form of true colour the reader takes, each a few pixels.
std::vector<TrueColorFixture> TrueColorFixtures();

struct NamedFixture {
    std::string name;
    Bytes file;
};
// The hand-written fixtures and assembled ones for every header variant, both
// RLE flavours and the true-colour forms.
std::vector<NamedFixture> AllFixtures();
