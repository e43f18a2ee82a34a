// Shared by the bitmap tests: BMP files assembled field by field from the
// format (independently of PLBmpWriter), and decode/encode shortcuts.
#pragma once

#include "bitmap/PLColor.h"
#include "tests/common/TestFiles.h"

#include <cstdint>
#include <string>
#include <vector>

class PLMemBitmap;
class PLBitmap;

// What a test file holds. headerSize 12 writes the OS/2 header with 3-byte
// colour entries; any other writes a Windows header of that size (the bytes
// past 40 zero, but for the masks) with 4-byte entries.
struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 8;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::int32_t xPixelsPerMetre = 0;
    std::int32_t yPixelsPerMetre = 0;
    std::uint32_t headerSize = 40; // past 1,064 only the first 1,064 bytes are stored
    // Channel masks, red first: inside a header of 52 bytes or more (from
    // byte 40, as many as fit before byte 56), else right after the header.
    std::vector<std::uint32_t> masks;
    std::vector<PLColor> colors;  // the colour table as stored
    Bytes pixels;                 // everything after the table, as stored
    std::int64_t dataOffset = -1; // -1: right after the table
};

Bytes BuildBmp(const BmpLayout& layout);

// DecodeMemory with a wanted depth of 8.
void DecodeBytes(const Bytes& file, PLMemBitmap& bitmap, int wantedDepth = 8);
// EncodeTo into a memory sink of exactly EncodedBytes.
Bytes EncodeBytes(const PLBitmap& bitmap);

// The pixels of a decoded 8-bit bitmap, top row first, no padding.
Bytes PixelsOf(const PLBitmap& bitmap);

std::string FixturePath(const std::string& relative);
