// Golden bytes for each codec stage, written by hand from the format's rules:
// the code reader, the run-length stage both ways, and whole streams.
#include "pic/CodeReader.h"
#include "pic/PicFile.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(CodeReader, ReadsLeastSignificantBitFirstAndZerosPastTheEnd)
{
    struct Case {
        const char* name;
        Bytes bytes;
        unsigned startBit;
        std::vector<unsigned> widths;
        std::vector<unsigned> codes;
    };
    const Case cases[] = {
        // 05 | 20: bit 8 of the first code is bit 0 of 0x20; 0x20 >> 1 | (0x11 & 3) << 7 = 144.
        {"three 9-bit codes after the width byte", {0x0B, 0x05, 0x20, 0x11, 0x00}, 8, {9, 9, 9, 9}, {5, 144, 4, 0}},
        {"a whole 11-bit code, then 5 bits and zeros", {0xFF, 0xFF}, 0, {11, 11}, {2047, 31}},
        // Bit 7 of 0x80, all of 0xFF, then the low two bits of 0x01: 1 + 0xFF * 2 + 1 * 512.
        {"a code spread over three bytes", {0x80, 0xFF, 0x01}, 7, {11}, {1023}},
        {"nothing left at all", {}, 0, {9, 10}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CodeReader reader(c.bytes.data(), c.bytes.size(), c.startBit);
        for (std::size_t i = 0; i < c.widths.size(); ++i)
            EXPECT_EQ(reader.Read(c.widths[i]), c.codes[i]) << "code " << i;
    }
}

// Run-length coding: literals, pairs, escape 0x90 with the total count of copies.
TEST(RunLengthStage, EncodesRunsAsTheFormatFixes)
{
    struct Case {
        const char* name;
        Bytes pixels;
        Bytes runs;
    };
    const Case cases[] = {
        {"a pair", {3, 3}, {0x03, 0x03}},
        {"a pair at the very end", {1, 3, 3}, {0x01, 0x03, 0x03}},
        {"three copies, then a pair", {4, 4, 4, 9, 9}, {0x04, 0x90, 0x03, 0x09, 0x09}},
        {"the escape byte", {0x90}, {0x90, 0x00}},
        {"two escape bytes", {0x90, 0x90}, {0x90, 0x00, 0x90, 0x02}},
        {"255 copies", Bytes(255, 7), {0x07, 0x90, 0xFF}},
        {"256 copies", Bytes(256, 7), {0x07, 0x90, 0xFF, 0x07}},
        {"257 copies: the rest is a repeat, not a pair", Bytes(257, 7), {0x07, 0x90, 0xFF, 0x07, 0x90, 0x02}},
        {"300 copies", Bytes(300, 7), {0x07, 0x90, 0xFF, 0x07, 0x90, 0x2D}},
        {"510 copies", Bytes(510, 7), {0x07, 0x90, 0xFF, 0x07, 0x90, 0xFF}},
        {"300 escape bytes", Bytes(300, 0x90), {0x90, 0x00, 0x90, 0xFF, 0x90, 0x00, 0x90, 0x2D}},
        {"no pixels", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ByteBuffer pixels, runs;
        Fill(pixels, c.pixels);
        ASSERT_TRUE(PicFile::EncodeRuns(static_cast<int>(c.pixels.size()), 1, pixels, runs));
        EXPECT_EQ(Hex(ToBytes(runs)), Hex(c.runs));
    }
}

TEST(RunLengthStage, ExpandsToExactlyWidthTimesHeight)
{
    struct Case {
        const char* name;
        int width, height;
        Bytes runs;
        Bytes pixels;
    };
    const Case cases[] = {
        {"escape and 0 is the byte 0x90", 1, 1, {0x90, 0x00}, {0x90}},
        {"the escape byte twice", 2, 1, {0x90, 0x00, 0x90, 0x02}, {0x90, 0x90}},
        {"a repeat at the start repeats 0", 2, 1, {0x90, 0x03}, {0x00, 0x00}},
        {"a count of 1 adds nothing; the short rest is 0", 3, 1, {0x07, 0x90, 0x01}, {0x07, 0x00, 0x00}},
        {"a run goes on across the end of a row", 3, 2, {0x01, 0x90, 0x04, 0x02, 0x90, 0x02}, {1, 1, 1, 1, 2, 2}},
        {"a repeat is cut at the picture's end", 2, 1, {0x07, 0x90, 0xFF}, {0x07, 0x07}},
        {"bytes past the picture are ignored", 1, 1, {0x05, 0x06, 0x90}, {0x05}},
        {"an escape as the last byte has the count 0", 2, 1, {0x05, 0x90}, {0x05, 0x90}},
        {"no runs at all", 2, 2, {}, {0, 0, 0, 0}},
        {"no pixels", 0, 5, {0x01, 0x02}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ByteBuffer runs, pixels;
        Fill(runs, c.runs);
        ASSERT_TRUE(PicFile::ExpandRuns(c.width, c.height, runs, pixels));
        EXPECT_EQ(Hex(ToBytes(pixels)), Hex(c.pixels));
    }
}

// Whole streams: the byte 11, then 9-bit codes packed from bit 0 of byte 1.
struct StreamCase {
    const char* name;
    Bytes pixels;
    Bytes stream;
    Bytes decodedRuns; // what the LZW stage of the decoder yields, padding code included
};

// clang-format off
const StreamCase STREAM_CASES[] = {
    // Codes 1, 2 (18 bits): 01 | 2 << 1 = 04 | 0.
    {"1, 2", {1, 2}, {0x0B, 0x01, 0x04, 0x00}, {0x01, 0x02, 0x00}},
    // Runs 05 90 04; codes 5, 144 (0x90), 4: 05 | 0x20 (144 << 1) | 0x11 (144 >> 7, 4 << 2) | 00.
    {"5, 5, 5, 5", {5, 5, 5, 5}, {0x0B, 0x05, 0x20, 0x11, 0x00}, {0x05, 0x90, 0x04}},
    // Runs 90 00 90 02 07; codes 144, 0, 144, 2, 7 at bits 0, 9, 18, 27, 36.
    {"0x90, 0x90, 7", {0x90, 0x90, 7}, {0x0B, 0x90, 0x00, 0x40, 0x12, 0x70, 0x00}, {0x90, 0x00, 0x90, 0x02, 0x07}},
    // Codes 1, 2, 257 (1 2), 259 (1 2 1, defined by this very code), 2:
    // 1 | 2 << 9 | 257 << 18 | 259 << 27 | 2 << 36 = 0x281C040401.
    {"1, 2 four times", {1, 2, 1, 2, 1, 2, 1, 2}, {0x0B, 0x01, 0x04, 0x04, 0x1C, 0x28, 0x00},
     {1, 2, 1, 2, 1, 2, 1, 2}},
};
// clang-format on
static_assert(sizeof STREAM_CASES / sizeof STREAM_CASES[0] == 4, "every whole-stream example");

TEST(WholeStream, EncodesTheFormatsExamples)
{
    for (const StreamCase& c : STREAM_CASES) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(EncodePixels(static_cast<int>(c.pixels.size()), 1, c.pixels)), Hex(c.stream));
    }
}

TEST(WholeStream, DecodesTheFormatsExamples)
{
    for (const StreamCase& c : STREAM_CASES) {
        SCOPED_TRACE(c.name);
        int width = static_cast<int>(c.pixels.size());
        ByteBuffer stream, runs;
        Fill(stream, c.stream);
        ASSERT_TRUE(PicFile::DecodeCodes(width, 1, stream, runs));
        EXPECT_EQ(Hex(ToBytes(runs)), Hex(c.decodedRuns));
        EXPECT_EQ(DecodeStream(width, 1, c.stream), c.pixels);
        // The first byte is not read: a stream that claims 9 bits decodes alike.
        Bytes claimsNine = c.stream;
        claimsNine[0] = 9;
        EXPECT_EQ(DecodeStream(width, 1, claimsNine), c.pixels);
    }
}

TEST(WholeStream, EdgeCases)
{
    // Fewer than 2 bytes hold no code: the picture stays 0.
    EXPECT_EQ(DecodeStream(2, 1, {0x0B}), Bytes({0, 0}));
    EXPECT_EQ(DecodeStream(2, 1, {}), Bytes({0, 0}));
    // A picture without pixels decodes to nothing, whatever the stream holds.
    EXPECT_EQ(DecodeStream(0, 3, {0x0B, 0x01, 0x04, 0x00}), Bytes());
    // ...and encodes as the width byte alone.
    EXPECT_EQ(EncodePixels(0, 0, {}), Bytes({0x0B}));
    EXPECT_EQ(EncodePixels(7, 0, {1, 2, 3}), Bytes({0x0B}));
    // Pixels past width x height are not encoded.
    EXPECT_EQ(EncodePixels(2, 1, {1, 2, 9, 9, 9}), Bytes({0x0B, 0x01, 0x04, 0x00}));
}

} // namespace
