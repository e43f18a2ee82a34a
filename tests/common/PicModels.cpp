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

namespace {

// The encoder's dictionary. Codes 0 to 255 are the single bytes and 256 is
// never given out; each later code is a string made of a known string (its
// prefix) and one byte. The strings that end in a byte are chained from that
// byte's own code in the order they were added, and finding a string walks
// that chain comparing whole strings.
class ModelDictionary {
public:
    ModelDictionary() { Reset(); }

    // Only the single bytes again, and 9-bit codes.
    void Reset()
    {
        for (int code = 0; code < ENTRIES; ++code)
            m_entries[code] = {code < 257 ? code % 256 : 0, -1, -1};
        m_next = 257;
        m_width = 9;
    }

    // The code of the string, or -1 when it is not known yet.
    int Find(const Bytes& string) const
    {
        for (int code = string.back(); code != -1 && code < m_next; code = m_entries[code].chain)
            if (Spells(code, string))
                return code;
        return -1;
    }

    // The string of code prefix followed by byte gets the next code. The
    // codes widen once that code needs another bit, and past 11 bits the
    // dictionary starts over.
    void Add(int prefix, unsigned char byte)
    {
        int code = m_next++;
        m_entries[code] = {byte, prefix, -1};
        int last = byte;
        while (m_entries[last].chain != -1)
            last = m_entries[last].chain;
        m_entries[last].chain = code;
        while (m_next - 1 > (1 << m_width) - 1)
            ++m_width;
        if (m_width > 11)
            Reset();
    }

    int Width() const { return m_width; }

private:
    // Whether code stands for exactly this string, read back to front along
    // the prefixes.
    bool Spells(int code, const Bytes& string) const
    {
        for (std::size_t i = string.size(); i-- > 0; code = m_entries[code].prefix)
            if (code < 0 || m_entries[code].character != string[i])
                return false;
        return code == -1;
    }

    struct Entry {
        int character, prefix, chain;
    };
    // 11-bit codes, and the one whose adding makes them too wide.
    static constexpr int ENTRIES = 2049;
    Entry m_entries[ENTRIES];
    int m_next = 257;
    int m_width = 9;
};

// The stream the codes go to: the MaxCodeWidth byte, then each code at the
// width it is written with, least significant bit first.
class ModelCodeStream {
public:
    explicit ModelCodeStream(unsigned char maxWidth) : m_bytes{maxWidth} {}

    void Write(int code, int width)
    {
        for (int bit = 0; bit < width; ++bit, ++m_bits) {
            if (m_bits % 8 == 0)
                m_bytes.push_back(0);
            if (code >> bit & 1)
                m_bytes.back() = static_cast<unsigned char>(m_bytes.back() | 1 << m_bits % 8);
        }
    }

    const Bytes& Written() const { return m_bytes; }

private:
    Bytes m_bytes;
    std::size_t m_bits = 0;
};

} // namespace

// The longest known string is extended a byte at a time; where the extension
// is not known, the known string's code is written and the extension added.
Bytes ModelEncode(const Bytes& runs)
{
    ModelDictionary dictionary;
    ModelCodeStream stream(11);
    Bytes known;
    int code = -1;
    for (unsigned char byte : runs) {
        known.push_back(byte);
        if (int longer = dictionary.Find(known); longer >= 0) {
            code = longer;
            continue;
        }
        stream.Write(code, dictionary.Width());
        dictionary.Add(code, byte);
        known.assign(1, byte);
        code = byte;
    }
    if (code >= 0)
        stream.Write(code, dictionary.Width());
    return stream.Written();
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
