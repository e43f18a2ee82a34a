// The facts of an image chunk's compressed stream that its decoder and its
// encoder both hold to: the run-length stage's escape byte, and the widths of
// the LZW stage's codes, whose dictionary starts again where a code would
// need more than MAX_CODE_WIDTH bits (there is no clear code).
#pragma once

// A literal 0x90 is the escape and 0; the escape and a count c > 0 make the
// byte before occur c times in a row, counting that byte.
constexpr unsigned char RLE_ESCAPE = 0x90;

constexpr unsigned FIRST_CODE_WIDTH = 9;
// Also the stream's first byte, as the converter writes it.
constexpr unsigned MAX_CODE_WIDTH = 11;
// Codes 0 to 2047 of one dictionary cycle.
constexpr unsigned DICTIONARY_CODES = 1u << MAX_CODE_WIDTH;
