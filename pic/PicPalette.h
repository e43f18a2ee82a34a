// The palette chunk: 6-bit red, green and blue components for a range of
// indices, applied over the default palette.
#pragma once

#include "pic/PaletteEntry.h"

#include <cstdint>

class ByteBuffer;

namespace PicPalette {

// Tag "M0" read as a little-endian 16-bit number.
constexpr std::uint16_t CHUNK_TAG = 0x304D;
// What the converter writes: first index, last index, 256 triples.
constexpr int WRITTEN_LENGTH = 2 + 3 * PALETTE_ENTRIES;

void Reset(std::uint32_t palette[PALETTE_ENTRIES]);
// Sets palette from a chunk's data: the default colours, then the triples of
// the chunk's index range. available is what the file holds from data on; the
// chunk's own length is not consulted, so the triples may run on into the
// bytes after it, but never past the file's end. A byte the file does not hold
// reads as 0, and an entry whose triple is cut off keeps its default colour.
void ReadChunk(const unsigned char* data, int available, std::uint32_t palette[PALETTE_ENTRIES]);
// Appends the whole chunk, header included, covering indices 0 to 255.
void AppendChunk(const std::uint32_t palette[PALETTE_ENTRIES], ByteBuffer& out);

} // namespace PicPalette
