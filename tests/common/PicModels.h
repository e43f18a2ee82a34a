// Reference models of the PIC image coding, written straight from the
// format's step lists, and builders of PIC files from parts a reader can check
// by eye. Plain and slow on purpose, and independent of both programs: the
// converter's codec and the viewer's loader are held to them.
#pragma once

#include "tests/common/TestFiles.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

// The run-length stage, a byte at a time: pixels to run-length bytes (runs
// of three or more, and of two escapes, as the byte, 0x90 and the count; the
// escape itself as 0x90, 0), and run-length bytes back to total pixels,
// padded with 0 when they end early.
Bytes ModelRuns(const Bytes& pixels);
Bytes ModelExpand(const Bytes& runs, std::size_t total);

// The LZW stage: the encoder walking its chains with whole-string
// comparisons, writing the stream with MaxCodeWidth 11 in front; the decoder
// fetching 16-bit words and walking prefix chains onto a stack, ending where a
// chain loops (which only damaged data makes), as the converter's decoder does.
Bytes ModelEncode(const Bytes& runs);
Bytes ModelDecode(const Bytes& stream);

// Both stages: the compressed stream of pixels, as the converter writes it.
Bytes ModelEncodePixels(const Bytes& pixels);

// Codes packed least-significant bit first after the MaxCodeWidth byte, each
// at the width a decoder expects at that point: 9 bits for the first 256
// codes of a dictionary cycle, 10 for the next 512, 11 for the next 1,024,
// and a new cycle once the width would pass maxWidth.
Bytes PackCodes(unsigned maxWidth, const std::vector<unsigned>& codes);
// A stream whose codes are all single bytes (codes below 256): it decodes to
// exactly these run-length bytes.
Bytes LiteralStream(const Bytes& runBytes, unsigned maxWidth = 11);

// 'X','0', length, width, height, stream.
Bytes ImageChunk(std::uint16_t width, std::uint16_t height, const Bytes& stream);
// 'M','0', length, first, last, then the 6-bit triples as given.
Bytes PaletteChunk(std::uint8_t first, std::uint8_t last, const Bytes& triples);
Bytes Join(std::initializer_list<Bytes> parts);
// A whole file: an optional palette chunk of 256 6-bit triples, then the
// image, compressed by the models.
Bytes EncodePicture(std::uint16_t width, std::uint16_t height, const Bytes& pixels, const Bytes& triples = {});
