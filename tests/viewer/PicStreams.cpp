#include "tests/viewer/PicStreams.h"

#include <map>
#include <utility>

Bytes PackCodes(unsigned maxWidth, const std::vector<unsigned>& codes)
{
    Bytes stream{static_cast<unsigned char>(maxWidth)};
    std::size_t bitPos = 8;
    unsigned width = 9;
    unsigned nextCode = 256;
    for (unsigned code : codes) {
        for (unsigned bit = 0; bit < width; ++bit, ++bitPos) {
            if (bitPos / 8 >= stream.size())
                stream.push_back(0);
            if (code >> bit & 1)
                stream[bitPos / 8] = static_cast<unsigned char>(stream[bitPos / 8] | 1 << bitPos % 8);
        }
        // Every code defines one entry; the width grows once an entry at the
        // top of the current width has been defined.
        ++nextCode;
        if (nextCode == 1u << width)
            ++width;
        if (width > maxWidth) {
            width = 9;
            nextCode = 256;
        }
    }
    return stream;
}

Bytes LiteralStream(const Bytes& runBytes, unsigned maxWidth)
{
    return PackCodes(maxWidth, std::vector<unsigned>(runBytes.begin(), runBytes.end()));
}

namespace {

void AppendU16(Bytes& bytes, unsigned value)
{
    bytes.push_back(static_cast<unsigned char>(value & 0xFF));
    bytes.push_back(static_cast<unsigned char>(value >> 8 & 0xFF));
}

} // namespace

Bytes ImageChunk(std::uint16_t width, std::uint16_t height, const Bytes& stream)
{
    Bytes chunk{'X', '0'};
    AppendU16(chunk, static_cast<unsigned>(stream.size() + 4));
    AppendU16(chunk, width);
    AppendU16(chunk, height);
    chunk.insert(chunk.end(), stream.begin(), stream.end());
    return chunk;
}

Bytes PaletteChunk(std::uint8_t first, std::uint8_t last, const Bytes& triples)
{
    Bytes chunk{'M', '0'};
    AppendU16(chunk, static_cast<unsigned>(triples.size() + 2));
    chunk.push_back(first);
    chunk.push_back(last);
    chunk.insert(chunk.end(), triples.begin(), triples.end());
    return chunk;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

namespace {

constexpr unsigned char RLE_ESCAPE = 0x90;
constexpr unsigned MAX_RUN = 255;

Bytes EncodeRuns(const Bytes& pixels)
{
    Bytes runs;
    std::size_t i = 0;
    while (i < pixels.size()) {
        const unsigned char value = pixels[i];
        std::size_t length = 1;
        while (i + length < pixels.size() && pixels[i + length] == value && length < MAX_RUN)
            ++length;
        runs.push_back(value);
        if (value == RLE_ESCAPE)
            runs.push_back(0);
        if (length >= 3) {
            runs.push_back(RLE_ESCAPE);
            runs.push_back(static_cast<unsigned char>(length));
        } else if (length == 2) {
            runs.push_back(value);
            if (value == RLE_ESCAPE)
                runs.push_back(0);
        }
        i += length;
    }
    return runs;
}

// Greedy LZW. The decoder defines an entry with every code it reads, the
// first of a cycle at 256 from the previous cycle's last code, so the entries
// this side can use are numbered from 257 and a cycle holds 1,792 codes.
std::vector<unsigned> EncodeCodes(const Bytes& runs)
{
    constexpr unsigned CYCLE_CODES = 1792;
    std::vector<unsigned> codes;
    std::map<std::pair<unsigned, unsigned char>, unsigned> dictionary;
    unsigned nextEntry = 257;
    std::size_t i = 0;
    while (i < runs.size()) {
        unsigned code = runs[i++];
        for (;;) {
            if (i == runs.size())
                break;
            const auto found = dictionary.find({code, runs[i]});
            if (found == dictionary.end())
                break;
            code = found->second;
            ++i;
        }
        codes.push_back(code);
        if (codes.size() % CYCLE_CODES == 0) {
            dictionary.clear();
            nextEntry = 257;
        } else if (i < runs.size()) {
            dictionary[{code, runs[i]}] = nextEntry++;
        }
    }
    return codes;
}

} // namespace

Bytes EncodePixels(const Bytes& pixels)
{
    return PackCodes(11, EncodeCodes(EncodeRuns(pixels)));
}

Bytes EncodePicture(std::uint16_t width, std::uint16_t height, const Bytes& pixels, const Bytes& triples)
{
    const Bytes image = ImageChunk(width, height, EncodePixels(pixels));
    return triples.empty() ? image : Join({PaletteChunk(0, 255, triples), image});
}
