// Small BMP files written by hand from the format, field by field, shared by
// the reader tests and the hostile-input tests.
#pragma once

#include "tests/bitmap/BmpTestSupport.h"

#include <string>
#include <vector>

// 3 x 2 at 8 bits with a 4-entry table, 72 x 96 dpi; pixels top row first 3 0 1, 1 2 3.
Bytes ThreeByTwo8Bit();
// 10 x 1 at 1 bit; pixels 1 0 1 0 0 1 0 1 1 1.
Bytes TenWide1Bit();
// 3 x 1 at 4 bits with a 3-entry table; pixels 1 2 3.
Bytes ThreeWide4Bit();

struct NamedFixture {
    std::string name;
    Bytes file;
};
// The hand-written fixtures and assembled ones for every header variant and
// both RLE flavours.
std::vector<NamedFixture> AllFixtures();
