// Shared helpers of the PIC tests: byte vectors in and out of ByteBuffer,
// seeded picture makers, the codec run through its stages, and the file Save
// writes.
#pragma once

#include "converter/support/ByteBuffer.h"
#include "pic/PicRefusal.h"
#include "tests/common/TestFiles.h"

#include <cstdint>
#include <string>

class PicFile;

void Fill(ByteBuffer& buffer, const Bytes& bytes);
Bytes ToBytes(const ByteBuffer& buffer);
std::string Hex(const Bytes& bytes);
// A refusal as one comparable line: its kind and the numbers it carries, e.g.
// "IMAGE_CHUNK_TOO_LARGE 32768 x 1, limit 32767"; "NONE" for none.
std::string Describe(const PicRefusal& refusal);

// The run-length stages alone, on a picture of one row: pixels to run-length
// bytes, and run-length bytes to total pixels.
Bytes EncodeRunBytes(const Bytes& pixels);
Bytes ExpandRunBytes(const Bytes& runs, std::size_t total);
// Both stages of each side, as SaveTo and ReadImageChunk run them.
Bytes EncodePixels(int width, int height, const Bytes& pixels);
Bytes DecodeStream(int width, int height, const Bytes& stream);

// The bytes of the file pic.Save writes, which must be the only file it leaves.
Bytes SavedBytes(PicFile& pic, bool writePalette);

// Seeded pictures: independent noise, and blobs of one colour whose runs and
// repeats give the LZW stage long strings.
Bytes Noise(std::size_t count, std::uint32_t seed);
Bytes Blobs(std::size_t count, std::uint32_t seed, int colors, int longestRun);
