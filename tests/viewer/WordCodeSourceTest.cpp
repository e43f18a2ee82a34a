// The viewer's code source on its own: bit strings and widths to codes, and
// where the stream ends.
#include "viewer/WordCodeSource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct CodeCase {
    const char* name;
    std::vector<unsigned char> stream;
    std::vector<unsigned> widths; // read with these widths, in turn, then 9
    std::vector<unsigned> codes;  // everything the source yields
};

std::vector<unsigned> ReadAll(const CodeCase& c)
{
    WordCodeSource source(c.stream.data(), c.stream.size());
    std::vector<unsigned> codes;
    std::uint16_t code = 0;
    for (std::size_t i = 0; i < 64; ++i) {
        const unsigned width = i < c.widths.size() ? c.widths[i] : 9;
        if (!source.NextCode(width, code))
            break;
        codes.push_back(code);
    }
    return codes;
}

} // namespace

TEST(WordCodeSource, YieldsTheCodesOfTheStreamAndOneFromItsPadding)
{
    const CodeCase cases[] = {
        // MaxCodeWidth 0B, then 1 and 2 as 9-bit codes: 1 0000 0000, 0 1000 0000 ...
        {"two codes in a 4-byte stream", {0x0B, 0x01, 0x04, 0x00}, {}, {1, 2, 0}},
        {"5, 144, 4", {0x0B, 0x05, 0x20, 0x11, 0x00}, {}, {5, 144, 4}},
        {"1, 2, 257, 259, 2", {0x0B, 0x01, 0x04, 0x04, 0x1C, 0x28, 0x00}, {}, {1, 2, 257, 259, 2}},
        // Three 9-bit codes take 35 bits: the fifth byte holds the last 3 bits
        // of code 3, and its word's missing high byte reads as 0.
        {"odd length keeps its last code", {0x0B, 0xFF, 0x01, 0xFC, 0x07}, {}, {0x1FF, 0, 0x1FF}},
        {"one byte holds no code", {0x0B}, {}, {}},
        {"empty stream", {}, {}, {}},
        // 8 high bits of word 0 and then word 1 beyond the end, read as 0.
        {"two bytes give one code", {0x0B, 0xFF}, {}, {0xFF}},
        // 10-bit code 0x3FF, then 11-bit code 0x7FF: 21 bits of ones after byte 0.
        {"wider codes", {0x0B, 0xFF, 0xFF, 0x1F}, {10, 11}, {0x3FF, 0x7FF, 0}},
        // Three 11-bit codes: the third takes bits 30 to 40, two bits of byte 3,
        // all of byte 4 and one bit of byte 5.
        {"a code across three bytes", {0x0B, 0x00, 0x00, 0xC0, 0xFF, 0x01}, {11, 11, 11}, {0, 0, 0x7FF, 0}},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadAll(c), c.codes);
    }
}
