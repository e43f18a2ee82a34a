// The image encoder: the run-length stage (pixels to run-length bytes) and the
// LZW stage (run-length bytes to the compressed stream). The format fixes
// every byte, so the same picture always gives the same file.
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
#include "pic/CodeWriter.h"
#include "pic/PicSize.h"

#include <cstring>

namespace {

constexpr unsigned char RLE_ESCAPE = 0x90;
constexpr std::size_t LONGEST_REPEAT = 255;
constexpr unsigned char STREAM_MAX_CODE_WIDTH = 11;
constexpr unsigned FIRST_CODE_WIDTH = 9;
constexpr unsigned MAX_CODE_WIDTH = 11;
// Code 256 is never written; the decoder's own numbering gives that entry to
// the first code of each cycle, so both sides number the strings alike.
constexpr unsigned FIRST_STRING_CODE = 257;

std::uint64_t LoadEight(const unsigned char* p)
{
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value |= std::uint64_t{p[i]} << (8 * i);
    return value;
}

// Pixels come in maximal runs of one byte. Each run starts with that byte as
// a literal; the copies after it follow as a second literal (a pair) or as
// escape and count, the count naming all copies including the literal and
// never passing 255. The escape byte itself is always written 0x90 0x00.
class RunEncoder {
public:
    explicit RunEncoder(BufferWriter& out) : m_out(out) {}

    bool Encode(const unsigned char* pixels, std::size_t count)
    {
        for (std::size_t at = 0; at < count;) {
            std::size_t length = RunLength(pixels, at, count);
            if (!PutRun(pixels[at], length))
                return false;
            at += length;
        }
        return true;
    }

private:
    static std::size_t RunLength(const unsigned char* pixels, std::size_t at, std::size_t count)
    {
        unsigned char byte = pixels[at];
        std::size_t end = at + 1;
        if (end < count && pixels[end] == byte) {
            std::uint64_t pattern = byte * 0x0101010101010101ull;
            while (end + 8 <= count && LoadEight(pixels + end) == pattern)
                end += 8;
            while (end < count && pixels[end] == byte)
                ++end;
        }
        return end - at;
    }

    bool PutRun(unsigned char byte, std::size_t copies)
    {
        // Two bytes for the literal, four for every 255 copies, two for the rest.
        if (!m_out.MakeRoom(8 + 4 * (copies / LONGEST_REPEAT)))
            return false;
        PutLiteral(byte);
        if (copies == 1)
            return true;
        if (copies == 2 && byte != RLE_ESCAPE) {
            m_out.Put(byte);
            return true;
        }
        while (copies > LONGEST_REPEAT) {
            m_out.Put(RLE_ESCAPE);
            m_out.Put(static_cast<unsigned char>(LONGEST_REPEAT));
            copies -= LONGEST_REPEAT;
            PutLiteral(byte); // the first copy of what remains
        }
        if (copies > 1) {
            m_out.Put(RLE_ESCAPE);
            m_out.Put(static_cast<unsigned char>(copies));
        }
        return true;
    }

    void PutLiteral(unsigned char byte)
    {
        m_out.Put(byte);
        if (byte == RLE_ESCAPE)
            m_out.Put(0);
    }

    BufferWriter& m_out;
};

// The LZW stage. A string is known by its prefix code and last byte, and each
// occurs at most once in the dictionary, so a hash of that pair finds the
// same code as comparing whole strings would.
class LzwEncoder {
public:
    explicit LzwEncoder(BufferWriter& out) : m_out(out), m_codes(out) {}

    bool Encode(const unsigned char* in, std::size_t count)
    {
        if (!m_out.MakeRoom(1))
            return false;
        m_out.Put(STREAM_MAX_CODE_WIDTH);
        if (count == 0)
            return true; // no string, so no code
        ResetDictionary();
        unsigned prefix = in[0];
        for (std::size_t i = 1; i < count; ++i) {
            std::uint32_t key = prefix << 8 | in[i];
            std::uint32_t slot = FindSlot(key);
            if (m_table[slot] != 0) {
                prefix = m_table[slot] & CODE_MASK;
                continue;
            }
            if (!m_codes.Write(prefix, m_codeWidth))
                return false;
            AddEntry(key, slot);
            prefix = in[i];
        }
        return m_codes.Write(prefix, m_codeWidth) && m_codes.Flush();
    }

private:
    // 4,096 slots for at most 1,791 entries: short probe runs, and the table
    // stays in the first-level cache. A slot holds key << 12 | code, 0 when empty.
    static constexpr unsigned HASH_BITS = 12;
    static constexpr std::uint32_t HASH_SIZE = 1u << HASH_BITS;
    static constexpr std::uint32_t CODE_MASK = 0xFFF;

    // The slot holding key, or the empty slot where it belongs.
    std::uint32_t FindSlot(std::uint32_t key) const
    {
        std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - HASH_BITS);
        while (m_table[slot] != 0 && m_table[slot] >> 12 != key)
            slot = (slot + 1) & (HASH_SIZE - 1);
        return slot;
    }

    // The new entry's code grows the width once it passes the mask; at 12
    // bits the dictionary starts again, and the entry is lost with it.
    void AddEntry(std::uint32_t key, std::uint32_t slot)
    {
        unsigned code = m_nextCode++;
        if (code > m_mask) {
            ++m_codeWidth;
            m_mask = m_mask * 2 + 1;
        }
        if (m_codeWidth > MAX_CODE_WIDTH)
            ResetDictionary();
        else
            m_table[slot] = key << 12 | code;
    }

    void ResetDictionary()
    {
        std::memset(m_table, 0, sizeof m_table);
        m_codeWidth = FIRST_CODE_WIDTH;
        m_mask = (1u << FIRST_CODE_WIDTH) - 1;
        m_nextCode = FIRST_STRING_CODE;
    }

    BufferWriter& m_out;
    CodeWriter m_codes;
    unsigned m_codeWidth = FIRST_CODE_WIDTH;
    unsigned m_mask = (1u << FIRST_CODE_WIDTH) - 1;
    unsigned m_nextCode = FIRST_STRING_CODE;
    std::uint32_t m_table[HASH_SIZE];
};

} // namespace

bool PicFile::EncodeRuns(int width, int height, const ByteBuffer& pixels, ByteBuffer& out)
{
    std::size_t count = PixelCount(width, height);
    std::size_t held = static_cast<std::size_t>(pixels.Size());
    if (count > held)
        count = held;
    BufferWriter writer(out, count + count / 8 + 16);
    bool encoded = RunEncoder(writer).Encode(pixels.Data(), count);
    writer.Finish();
    return encoded;
}

bool PicFile::EncodeCodes(int, int, const ByteBuffer& in, ByteBuffer& out)
{
    std::size_t count = static_cast<std::size_t>(in.Size());
    BufferWriter writer(out, count + count / 2 + 16);
    bool encoded = LzwEncoder(writer).Encode(in.Data(), count);
    writer.Finish();
    return encoded;
}
