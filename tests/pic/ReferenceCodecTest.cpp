// The codec's stages against the plain models of tests/common/PicModels.h,
// written straight from the format's step lists. The codec takes shortcuts
// (eight bytes at a time, copies instead of walks, a hash instead of chains);
// these tests hold it to the exact same bytes, on valid and damaged streams.
#include "pic/PicFile.h"
#include "tests/common/PicModels.h"
#include "tests/pic/PicTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

Bytes CodecEncode(const Bytes& runs)
{
    ByteBuffer in, out;
    Fill(in, runs);
    EXPECT_TRUE(PicFile::EncodeCodes(0, 0, in, out));
    return ToBytes(out);
}

Bytes CodecDecode(const Bytes& stream)
{
    ByteBuffer in, out;
    Fill(in, stream);
    EXPECT_TRUE(PicFile::DecodeCodes(1, 1, in, out));
    return ToBytes(out);
}

// Run-length inputs of every kind the encoder meets: noise, a few colours in
// runs (long strings), and enough of them for several dictionary cycles.
std::vector<std::pair<std::string, Bytes>> RunInputs()
{
    return {
        {"noise", EncodeRunBytes(Noise(20000, 1))},
        {"two colours", EncodeRunBytes(Blobs(60000, 2, 2, 3))},
        {"sixteen colours in runs", EncodeRunBytes(Blobs(200000, 3, 16, 600))},
        {"many escape bytes", EncodeRunBytes(Blobs(30000, 4, 1, 400))},
        {"one colour, very long", EncodeRunBytes(Bytes(500000, 0x90))},
        {"a single byte", {42}},
    };
}

TEST(ReferenceCodec, RunLengthStagesMatchTheModel)
{
    std::mt19937 random(3);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        // Runs of every length around 1, 2, 3 and 255, with escape bytes among them.
        Bytes pixels =
            Blobs(2000 + random() % 3000, static_cast<std::uint32_t>(round), 2 + round % 5, round % 3 == 0 ? 600 : 4);
        for (auto& pixel : pixels)
            pixel = pixel == 1 ? 0x90 : pixel;
        Bytes runs = EncodeRunBytes(pixels);
        ASSERT_EQ(runs, ModelRuns(pixels));
        // Damaged run-length bytes: counts of 0 and 1, escapes at the end, a short total.
        Bytes damaged = Noise(runs.size(), static_cast<std::uint32_t>(round));
        for (std::size_t i = 0; i < damaged.size(); i += 1 + random() % 6)
            damaged[i] = 0x90;
        for (const Bytes& in : {runs, damaged})
            ASSERT_EQ(ExpandRunBytes(in, pixels.size()), ModelExpand(in, pixels.size()));
    }
}

// The encoder looks for runs and escapes eight bytes at a time: runs of every
// length that matters (1 to 3, around 255 and 510), starting at every place in
// a word and ending on the picture's end or on another byte, of a plain byte
// and of the escape byte.
TEST(ReferenceCodec, RunsOfEveryLengthAndPlaceMatchTheModel)
{
    const std::size_t lengths[] = {1, 2, 3, 4, 7, 8, 9, 15, 16, 17, 254, 255, 256, 257, 509, 510, 511, 512, 766};
    for (unsigned char byte : Bytes{0x07, 0x90}) {
        for (std::size_t length : lengths) {
            for (std::size_t offset = 0; offset < 9; ++offset) {
                for (bool atEnd : {false, true}) {
                    SCOPED_TRACE(::testing::Message() << "byte " << int{byte} << ", " << length << " copies after "
                                                      << offset << " other bytes" << (atEnd ? ", at the end" : ""));
                    Bytes pixels;
                    for (std::size_t i = 0; i < offset; ++i)
                        pixels.push_back(static_cast<unsigned char>(i % 2 == 0 ? 1 : 2));
                    pixels.insert(pixels.end(), length, byte);
                    if (!atEnd)
                        pixels.insert(pixels.end(), {3, 3, 0x90, 4, 4, 4, 5, 6, 7, 8, 9, 10});
                    ASSERT_EQ(EncodeRunBytes(pixels), ModelRuns(pixels));
                }
            }
        }
    }
}

TEST(ReferenceCodec, EncoderWritesTheModelsBytes)
{
    for (const auto& [name, runs] : RunInputs()) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CodecEncode(runs), ModelEncode(runs));
    }
}

TEST(ReferenceCodec, DecoderReadsValidStreamsLikeTheModel)
{
    for (const auto& [name, runs] : RunInputs()) {
        SCOPED_TRACE(name);
        Bytes stream = ModelEncode(runs);
        Bytes decoded = CodecDecode(stream);
        EXPECT_EQ(decoded, ModelDecode(stream));
        // Every run-length byte comes back, plus at most the padding code's string.
        ASSERT_GE(decoded.size(), runs.size());
        EXPECT_TRUE(std::equal(runs.begin(), runs.end(), decoded.begin()));
    }
}

// Damaged streams: codes above the next free one, code 256 and codes whose
// prefixes reach across a reset, which make the chains change or loop.
TEST(ReferenceCodec, DecoderReadsDamagedStreamsLikeTheModel)
{
    std::mt19937 random(7);
    const Bytes valid = ModelEncode(EncodeRunBytes(Blobs(40000, 5, 8, 40)));
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE(round);
        Bytes stream;
        if (round % 3 == 0) {
            stream = Noise(1 + random() % 9000, static_cast<std::uint32_t>(round));
        } else {
            stream = valid;
            for (int flips = 1 + round % 7; flips > 0; --flips)
                stream[1 + random() % (stream.size() - 1)] ^= static_cast<unsigned char>(1u << (random() % 8));
        }
        ASSERT_EQ(CodecDecode(stream), ModelDecode(stream));
    }
}

TEST(ReferenceCodec, ALoopingPrefixChainEndsTheDecoding)
{
    // Cycle 1: 1,791 codes 1, then 300, which is "1 1" by then (1,793 bytes).
    std::vector<unsigned> codes(1791, 1);
    codes.push_back(300);
    // Cycle 2: its first code gives entry 256 the prefix 300, which holds one
    // byte again (300 % 256 = 44) until the cycle reaches it. 43 codes 1 take
    // the next free code to 299; there code 256 (44 1), then one more 1 makes
    // entry 300 = 256 + 1: 300 and 256 now lead to each other.
    codes.insert(codes.end(), 43, 1);
    codes.push_back(256);
    codes.push_back(1);
    codes.push_back(300); // the loop: nothing from here on is decoded
    codes.insert(codes.end(), 100, 1);
    Bytes stream = PackCodes(11, codes);
    Bytes decoded = CodecDecode(stream);
    EXPECT_EQ(decoded, ModelDecode(stream));
    EXPECT_EQ(decoded.size(), 1793u + 43 + 2 + 1);
    EXPECT_EQ(Hex(Bytes(decoded.end() - 4, decoded.end())), "01 2C 01 01"); // ... 1, then 256, then 1
}

// The decoder as a file load runs it: both stages at once, straight from the
// stream's bytes, against the two models one after the other.
Bytes CodecDecodeImage(int width, int height, const Bytes& stream)
{
    ByteBuffer pixels;
    EXPECT_TRUE(PicFile::DecodeImage(width, height, stream.data(), static_cast<int>(stream.size()), pixels));
    return ToBytes(pixels);
}

Bytes ModelImage(int width, int height, const Bytes& stream)
{
    std::size_t total =
        width > 0 && height > 0 ? static_cast<std::size_t>(width) * static_cast<std::size_t>(height) : 0;
    return ModelExpand(ModelDecode(stream), total);
}

// Both decoder entry points against the models: the LZW stage alone, and the
// whole picture at sizes that end before, inside and after what the runs hold.
void ExpectDecodersMatchTheModel(const Bytes& stream)
{
    const Bytes modelRuns = ModelDecode(stream);
    ASSERT_EQ(CodecDecode(stream), modelRuns);
    const std::pair<int, int> sizes[] = {{1, 1}, {7, 3}, {40, 25}, {320, 200}, {640, 480}};
    for (auto [width, height] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << " x " << height);
        const Bytes expected =
            ModelExpand(modelRuns, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        ASSERT_EQ(CodecDecodeImage(width, height, stream), expected);
        ASSERT_EQ(DecodeStream(width, height, stream), expected);
    }
}

// Valid streams, the same cut short at many places (a code split by the cut,
// an odd last byte, a lone width byte), damaged by flipped bits, and noise.
TEST(ReferenceCodec, WholeDecoderMatchesTheModelOnValidCutAndDamagedStreams)
{
    std::mt19937 random(11);
    for (const auto& [name, runs] : RunInputs()) {
        const Bytes valid = ModelEncode(runs);
        std::vector<std::pair<std::string, Bytes>> streams = {{"whole", valid}};
        for (std::size_t keep : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, valid.size() / 2,
                                 valid.size() / 2 + 1, valid.size() - 2, valid.size() - 1}) {
            if (keep <= valid.size())
                streams.push_back({"cut to " + std::to_string(keep),
                                   Bytes(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(keep))});
        }
        Bytes damaged = valid;
        for (int flip = 0; flip < 5 && damaged.size() > 1; ++flip)
            damaged[1 + random() % (damaged.size() - 1)] ^= static_cast<unsigned char>(1u << (random() % 8));
        streams.push_back({"damaged", damaged});
        streams.push_back({"noise", Noise(1 + random() % 5000, static_cast<std::uint32_t>(random()))});
        for (const auto& [what, stream] : streams) {
            SCOPED_TRACE(name + ", " + what);
            ExpectDecodersMatchTheModel(stream);
        }
    }
}

// Streams of chosen codes for the dictionary's corners: a code that defines
// itself (above all as the first code of a cycle, where the previous code
// comes from the old cycle), codes past the next free one, entry 256 (whose
// prefix is a code of the old cycle that the new one defines again), chains
// of codes that define themselves (long strings, copied in many blocks), and
// a chain that loops.
TEST(ReferenceCodec, DictionaryCornersMatchTheModel)
{
    auto cycle = [](unsigned code) { return std::vector<unsigned>(1792, code); };
    auto join = [](std::vector<unsigned> codes, std::initializer_list<unsigned> more) {
        codes.insert(codes.end(), more);
        return codes;
    };
    std::vector<unsigned> selfChain{7};
    for (unsigned code = 257; code < 257 + 120; ++code)
        selfChain.push_back(code); // 7, 7 7, 7 7 7 ...: each code the next free one
    std::vector<unsigned> throughEntry256 = join(cycle(1), {300});
    throughEntry256.insert(throughEntry256.end(), 43, 2);
    throughEntry256.insert(throughEntry256.end(), {256, 3, 256, 300, 301, 256, 5});
    std::vector<unsigned> looping = join(cycle(1), {300});
    looping.insert(looping.end(), 43, 1);
    looping.insert(looping.end(), {256, 1, 300, 1, 1});
    const std::pair<const char*, std::vector<unsigned>> cases[] = {
        {"the first code of all defines itself", {256, 256, 257, 3}},
        {"the first code of all is past the next free one", {2000, 9, 700, 258}},
        {"a cycle starts with a code that defines itself", join(cycle(4), {256, 256, 257, 9})},
        {"a cycle starts with a code past the next free one", join(cycle(4), {1500, 257, 0x90, 3})},
        {"a cycle starts after a code that defined itself",
         join(join(std::vector<unsigned>(1791, 6), {2047}), {256, 5})},
        {"codes past the next free one inside a cycle", {1, 2, 400, 258, 511, 9, 300, 262, 0x90, 0}},
        {"a chain of codes that define themselves", selfChain},
        {"entry 256 leads to a code the cycle defines again", throughEntry256},
        {"a prefix chain that loops", looping},
        {"a walked string, then a code that defines itself", join(cycle(8), {256, 257, 258, 259, 258, 4})},
    };
    for (const auto& [name, codes] : cases) {
        SCOPED_TRACE(name);
        ExpectDecodersMatchTheModel(PackCodes(11, codes));
    }
}

// The run-length stage reads eight bytes at a time and fills repeats in whole
// blocks: escapes (byte 0x90, repeats of every count that matters, an escape
// with its count cut off) at every place in a word, runs that pass the ends of
// rows and of the picture, and pictures ending at every place around them.
TEST(ReferenceCodec, EscapesAtEveryPlaceMatchTheModel)
{
    const unsigned counts[] = {0, 1, 2, 3, 15, 16, 17, 33, 255};
    for (std::size_t offset = 0; offset < 18; ++offset) {
        for (unsigned count : counts) {
            Bytes runs;
            for (std::size_t i = 0; i < offset; ++i)
                runs.push_back(static_cast<unsigned char>(1 + i % 5));
            runs.insert(runs.end(), {0x90, static_cast<unsigned char>(count), 0x22, 0x90, 0x00, 0x33, 0x90});
            for (std::size_t cut : {runs.size(), runs.size() - 1, offset + 1, offset + 2}) {
                Bytes in(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(cut));
                const Bytes stream = ModelEncode(in);
                for (std::size_t total = offset; total < offset + count + 12; total += 1 + total % 3) {
                    SCOPED_TRACE(::testing::Message() << offset << " literals, count " << count << ", " << cut
                                                      << " run bytes, " << total << " pixels");
                    if (total == 0)
                        continue;
                    ASSERT_EQ(ExpandRunBytes(in, total), ModelExpand(in, total));
                    // Rows of 3 pixels when that fits: repeats go on across their ends.
                    int width = total % 3 == 0 ? 3 : static_cast<int>(total);
                    int height = static_cast<int>(total) / width;
                    ASSERT_EQ(CodecDecodeImage(width, height, stream), ModelImage(width, height, stream));
                }
            }
        }
    }
}
} // namespace
