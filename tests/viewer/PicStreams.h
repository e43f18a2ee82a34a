// Builds PIC files for the viewer's tests from parts a reader can check by
// eye: chunks with their headers, and compressed streams from a list of codes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Packs codes least-significant bit first after the MaxCodeWidth byte, each at
// the width a decoder expects at that point: 9 bits for the first 256 codes
// of a dictionary cycle, 10 for the next 512, 11 for the next 1,024, and a new
// cycle once the width would pass maxWidth.
Bytes PackCodes(unsigned maxWidth, const std::vector<unsigned>& codes);

// A stream whose codes are all single bytes (codes below 256): it decodes to
// exactly these run-length bytes.
Bytes LiteralStream(const Bytes& runBytes, unsigned maxWidth = 11);

// 'X','0', length, width, height, stream.
Bytes ImageChunk(std::uint16_t width, std::uint16_t height, const Bytes& stream);
// 'M','0', length, first, last, then the 6-bit triples as given.
Bytes PaletteChunk(std::uint8_t first, std::uint8_t last, const Bytes& triples);

Bytes Join(std::initializer_list<Bytes> parts);

// Compresses pixels the way the converter's writer does: run-length stage
// (runs of 3 or more as byte, 0x90, count; 0x90 itself as 0x90, 0) and LZW
// with MaxCodeWidth 11. For building test pictures of any size.
Bytes EncodePixels(const Bytes& pixels);
// A whole file: an optional palette chunk of 256 6-bit triples, then the image.
Bytes EncodePicture(std::uint16_t width, std::uint16_t height, const Bytes& pixels, const Bytes& triples = {});
