#include "tests/viewer/PicStreams.h"

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
