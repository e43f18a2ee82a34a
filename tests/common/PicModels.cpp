#include "tests/common/PicModels.h"

#include <algorithm>

Bytes ModelRuns(const Bytes& pixels)
{
    Bytes out;
    int last = -1, repeats = 0;
    auto literal = [&](int byte) {
        out.push_back(static_cast<unsigned char>(byte));
        if (byte == 0x90)
            out.push_back(0);
    };
    auto flush = [&] {
        int copies = repeats + 1;
        if (copies < 3 && last != 0x90) {
            out.push_back(static_cast<unsigned char>(last));
            return;
        }
        for (; copies > 255; copies -= 255) {
            out.push_back(0x90), out.push_back(0xFF);
            literal(last);
        }
        if (copies > 1)
            out.push_back(0x90), out.push_back(static_cast<unsigned char>(copies));
    };
    for (unsigned char byte : pixels) {
        if (byte == last) {
            ++repeats;
            continue;
        }
        if (repeats > 0)
            flush(), repeats = 0;
        literal(byte);
        last = byte;
    }
    if (repeats > 0)
        flush();
    return out;
}

Bytes ModelExpand(const Bytes& runs, std::size_t total)
{
    Bytes out;
    unsigned char last = 0;
    for (std::size_t i = 0; i < runs.size() && out.size() < total; ++i) {
        if (runs[i] != 0x90) {
            out.push_back(last = runs[i]);
        } else if (unsigned count = ++i < runs.size() ? runs[i] : 0; count == 0) {
            out.push_back(last = 0x90);
        } else {
            out.insert(out.end(), std::min<std::size_t>(count - 1, total - out.size()), last);
        }
    }
    out.resize(total, 0);
    return out;
}

Bytes ModelEncode(const Bytes& in)
{
    struct Entry {
        int character, prefix, chain;
    };
    Entry entries[2049];
    int width = 9, mask = 511, next = 257;
    auto reset = [&] {
        for (int i = 0; i < 2049; ++i)
            entries[i] = {i < 257 ? i % 256 : 0, -1, -1};
        width = 9, mask = 511, next = 257;
    };
    auto matches = [&](int code, const Bytes& s) {
        for (std::size_t i = s.size(); i-- > 0; code = entries[code].prefix)
            if (code < 0 || entries[code].character != s[i])
                return false;
        return code == -1;
    };
    auto lookup = [&](const Bytes& s) {
        for (int code = s.back(); code != -1 && code < next; code = entries[code].chain)
            if (matches(code, s))
                return code;
        return -1;
    };
    Bytes out{11};
    int bitOffset = 0;
    auto write = [&](int code) {
        if (bitOffset == 0) {
            out.push_back(static_cast<unsigned char>(code)), out.push_back(static_cast<unsigned char>(code >> 8));
        } else {
            unsigned v = out.back() | static_cast<unsigned>(code) << bitOffset;
            out.pop_back();
            for (int bits = bitOffset + width; bits > 0; bits -= 8, v >>= 8)
                out.push_back(static_cast<unsigned char>(v));
        }
        bitOffset = (bitOffset + width) % 8;
    };
    reset();
    Bytes s;
    int p = -1;
    for (unsigned char c : in) {
        s.push_back(c);
        int code = lookup(s);
        if (code >= 0) {
            p = code;
            continue;
        }
        write(p);
        int index = next++;
        entries[index] = {c, p, -1};
        int tail = c;
        while (entries[tail].chain != -1)
            tail = entries[tail].chain;
        entries[tail].chain = index;
        while (next - 1 > mask)
            ++width, mask = mask * 2 + 1;
        if (width > 11)
            reset();
        s.assign(1, c), p = c;
    }
    if (p >= 0)
        write(p);
    return out;
}

Bytes ModelDecode(const Bytes& stream)
{
    const std::size_t n = stream.size(), words = n / 2;
    auto word = [&](std::size_t k) -> unsigned {
        unsigned low = 2 * k < n ? stream[2 * k] : 0, high = 2 * k + 1 < n ? stream[2 * k + 1] : 0;
        return low | high << 8;
    };
    unsigned prefix[2048], character[2048], width = 9, mask = 511, next = 256, previous = 0, first = 0;
    auto reset = [&] {
        for (unsigned i = 0; i < 2048; ++i)
            prefix[i] = 0xFFFF, character[i] = i % 256;
        width = 9, mask = 511, next = 256;
    };
    reset();
    Bytes out;
    if (words < 1)
        return out;
    unsigned current = word(0), available = 8;
    std::size_t nextWord = 1;
    for (;;) {
        unsigned bits = current >> (16 - available);
        while (available < width) {
            current = word(nextWord++);
            bits |= (current << available) & 0xFFFF;
            available += 16;
        }
        available -= width;
        unsigned code = bits & mask, expand = code, remember = code;
        Bytes stack;
        if (code >= next) {
            stack.push_back(static_cast<unsigned char>(first));
            expand = previous, remember = next;
        }
        for (unsigned entry = expand;; entry = prefix[entry]) {
            if (stack.size() > 2048)
                return out; // a looping chain ends the decoding
            if (prefix[entry] == 0xFFFF) {
                first = character[entry];
                stack.push_back(static_cast<unsigned char>(first));
                break;
            }
            stack.push_back(static_cast<unsigned char>(character[entry]));
        }
        character[next] = first, prefix[next] = previous, previous = remember;
        if (++next > mask)
            ++width, mask = mask * 2 + 1;
        if (width > 11)
            reset();
        out.insert(out.end(), stack.rbegin(), stack.rend());
        if (nextWord > words)
            return out;
    }
}

Bytes ModelEncodePixels(const Bytes& pixels)
{
    return ModelEncode(ModelRuns(pixels));
}

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

Bytes EncodePicture(std::uint16_t width, std::uint16_t height, const Bytes& pixels, const Bytes& triples)
{
    const Bytes image = ImageChunk(width, height, ModelEncodePixels(pixels));
    return triples.empty() ? image : Join({PaletteChunk(0, 255, triples), image});
}
