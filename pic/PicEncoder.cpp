// The image encoder: the run-length stage (pixels to run-length bytes) and the
// LZW stage (run-length bytes to the compressed stream). The format fixes
// every byte, so the same picture always gives the same file.
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
#include "pic/ByteWords.h"
#include "pic/CodeWriter.h"
#include "pic/PicSize.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr unsigned char RLE_ESCAPE = 0x90;
constexpr std::size_t LONGEST_REPEAT = 255;
constexpr unsigned char STREAM_MAX_CODE_WIDTH = 11;
constexpr unsigned FIRST_CODE_WIDTH = 9;
constexpr unsigned MAX_CODE_WIDTH = 11;
// Code 256 is never written; the decoder's own numbering gives that entry to
// the first code of each cycle, so both sides number the strings alike.
constexpr unsigned FIRST_STRING_CODE = 257;
// Codes 0 to 2047; the entry 2048 is lost in the reset it causes.
constexpr unsigned DICTIONARY_CODES = 1u << MAX_CODE_WIDTH;

// The end of the run of pixels[at]'s byte, eight bytes at a time while it lasts.
std::size_t RunEnd(const unsigned char* pixels, std::size_t at, std::size_t count)
{
    unsigned char byte = pixels[at];
    std::size_t end = at + 1;
    if (end < count && pixels[end] == byte) {
        const std::uint64_t pattern = byte * EVERY_BYTE;
        while (end + 8 <= count && LoadLittle64(pixels + end) == pattern)
            end += 8;
        while (end < count && pixels[end] == byte)
            ++end;
    }
    return end;
}

// Two bytes for the literal, four for every 255 copies, two for the rest.
std::size_t RoomForRun(std::size_t copies)
{
    return copies < LONGEST_REPEAT ? 4 : 8 + 4 * (copies / LONGEST_REPEAT);
}

unsigned char* PutLiteral(unsigned char* at, unsigned char byte)
{
    *at++ = byte;
    if (byte == RLE_ESCAPE)
        *at++ = 0;
    return at;
}

// A run of copies of one byte: the byte as a literal, then the other copies
// as a second literal (a pair) or as escape and count, the count naming all
// copies including the literal before it and never passing 255.
unsigned char* PutRun(unsigned char* at, unsigned char byte, std::size_t copies)
{
    at = PutLiteral(at, byte);
    if (copies == 1)
        return at;
    if (copies == 2 && byte != RLE_ESCAPE) {
        *at++ = byte;
        return at;
    }
    while (copies > LONGEST_REPEAT) {
        *at++ = RLE_ESCAPE;
        *at++ = static_cast<unsigned char>(LONGEST_REPEAT);
        copies -= LONGEST_REPEAT;
        at = PutLiteral(at, byte); // the first copy of what remains
    }
    if (copies > 1) {
        *at++ = RLE_ESCAPE;
        *at++ = static_cast<unsigned char>(copies);
    }
    return at;
}

// Copies the bytes that the run-length stage passes on as they are: singles
// and pairs of any byte but the escape. Dithered pictures are made of little
// else, and noise of nothing else, so they go eight at a time without a
// decision per byte. Reads only bytes before stop (each word and the two
// bytes after it); returns where it stopped: at the first byte that starts
// three or more copies or is the escape, or near stop.
std::size_t CopyPlainBytes(const unsigned char* pixels, std::size_t start, std::size_t stop, unsigned char* at)
{
    const std::uint64_t escapes = RLE_ESCAPE * EVERY_BYTE;
    for (; start + 10 <= stop; start += 8, at += 8) {
        std::uint64_t word = LoadLittle64(pixels + start);
        StoreLittle64(at, word);
        std::uint64_t threes = ZeroBytes(word ^ LoadLittle64(pixels + start + 1)) &
                               ZeroBytes(word ^ LoadLittle64(pixels + start + 2));
        std::uint64_t marks = threes | ZeroBytes(word ^ escapes);
        if (marks != 0)
            return start + FirstMarkedByte(marks);
    }
    return start;
}

bool EncodeRunsInto(BufferWriter& writer, const unsigned char* pixels, std::size_t count)
{
    unsigned char* at = writer.Data();
    unsigned char* limit = writer.Limit();
    for (std::size_t start = 0; start < count;) {
        // Room for a stretch of plain bytes up to 256 long.
        if (!writer.MakeRoom(at, limit, 264))
            return false;
        std::size_t plainEnd = CopyPlainBytes(pixels, start, start + 256 < count ? start + 256 : count, at);
        at += plainEnd - start;
        start = plainEnd;
        if (start >= count)
            break;
        std::size_t end = RunEnd(pixels, start, count);
        if (!writer.MakeRoom(at, limit, RoomForRun(end - start)))
            return false;
        at = PutRun(at, pixels[start], end - start);
        start = end;
    }
    writer.Finish(at);
    return true;
}

// The LZW encoder's hash table: 16,384 slots for at most 1,791 entries. Most
// lookups of noise find nothing, and a sparse table ends those searches at
// the first slot, which is worth more than keeping the table (128 KB) in the
// first-level cache.
constexpr unsigned HASH_SLOTS = 16384;

// Tabulation hashing: a fixed random number for every code and for every
// byte; a pair's first slot is the two numbers xored. Every slot keeps
// its code's number beside the code, so the lookup of the next byte needs
// no arithmetic on the code it has just found: each byte of the input
// waits on the one before it, and that wait is the encoder's speed.
struct HashNumbers {
    std::uint16_t code[DICTIONARY_CODES];
    std::uint16_t byte[256];
};
constexpr HashNumbers MakeHashNumbers()
{
    HashNumbers numbers{};
    std::uint32_t state = 0x2545F491u;
    auto next = [&state] {
        state ^= state << 13; // xorshift32
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<std::uint16_t>(state & (HASH_SLOTS - 1));
    };
    for (auto& number : numbers.code)
        number = next();
    for (auto& number : numbers.byte)
        number = next();
    return numbers;
}
constexpr HashNumbers HASH = MakeHashNumbers();

// The LZW stage. A string is known by its prefix code and last byte, and each
// string occurs at most once in the dictionary, so a hash of that pair finds
// the same code as comparing whole strings would.
class LzwEncoder {
public:
    bool Encode(BufferWriter& writer, const unsigned char* in, std::size_t count);

private:
    static constexpr std::uint32_t HASH_MASK = HASH_SLOTS - 1;

    // A slot: key << 32 | code << 16 | the code's hash number; 0 when empty
    // (codes in the table are 257 and up).
    static std::uint64_t MakeSlot(std::uint32_t key, unsigned code)
    {
        return std::uint64_t{key} << 32 | std::uint64_t{code} << 16 | HASH.code[code];
    }

    // The slot holding key, or the empty slot where it belongs.
    std::uint32_t FindSlot(std::uint32_t key, std::uint32_t slot) const
    {
        while (m_table[slot] != 0 && m_table[slot] >> 32 != key)
            slot = (slot + 1) & HASH_MASK;
        return slot;
    }

    std::uint64_t m_table[HASH_MASK + 1];
};

bool LzwEncoder::Encode(BufferWriter& writer, const unsigned char* in, std::size_t count)
{
    unsigned char* at = writer.Data();
    unsigned char* limit = writer.Limit();
    if (!writer.MakeRoom(at, limit, 1))
        return false;
    *at++ = STREAM_MAX_CODE_WIDTH;
    if (count == 0) {
        writer.Finish(at); // no string, so no code
        return true;
    }
    CodeWriter codes;
    unsigned width = FIRST_CODE_WIDTH, mask = (1u << FIRST_CODE_WIDTH) - 1, nextCode = FIRST_STRING_CODE;
    std::memset(m_table, 0, sizeof m_table);
    unsigned prefix = in[0], prefixHash = HASH.code[prefix];
    for (std::size_t i = 1; i < count; ++i) {
        std::uint32_t key = prefix << 8 | in[i];
        std::uint32_t slot = FindSlot(key, prefixHash ^ HASH.byte[in[i]]);
        if (m_table[slot] != 0) {
            prefix = static_cast<unsigned>(m_table[slot] >> 16 & 0xFFF);
            prefixHash = static_cast<unsigned>(m_table[slot] & HASH_MASK);
            continue;
        }
        if (!writer.MakeRoom(at, limit, CodeWriter::ROOM))
            return false;
        at = codes.Write(at, prefix, width);
        // The new entry's code widens the codes once it passes the mask; at
        // 12 bits the dictionary starts again, and the entry is lost with it.
        unsigned code = nextCode++;
        if (code > mask) {
            ++width;
            mask = mask * 2 + 1;
        }
        if (width > MAX_CODE_WIDTH) {
            std::memset(m_table, 0, sizeof m_table);
            width = FIRST_CODE_WIDTH, mask = (1u << FIRST_CODE_WIDTH) - 1, nextCode = FIRST_STRING_CODE;
        } else {
            m_table[slot] = MakeSlot(key, code);
        }
        prefix = in[i];
        prefixHash = HASH.code[prefix];
    }
    if (!writer.MakeRoom(at, limit, CodeWriter::ROOM))
        return false;
    writer.Finish(codes.Flush(codes.Write(at, prefix, width)));
    return true;
}

} // namespace

bool PicFile::EncodeRuns(int width, int height, const ByteBuffer& pixels, ByteBuffer& out)
{
    std::size_t count = PixelCount(width, height);
    std::size_t held = static_cast<std::size_t>(pixels.Size());
    if (count > held)
        count = held;
    BufferWriter writer(out, count + count / 8 + 16);
    return EncodeRunsInto(writer, pixels.Data(), count);
}

bool PicFile::EncodeCodes(int, int, const ByteBuffer& in, ByteBuffer& out)
{
    std::size_t count = static_cast<std::size_t>(in.Size());
    BufferWriter writer(out, count + count / 2 + 16);
    // The hash table is too large for the stack of every caller.
    std::unique_ptr<LzwEncoder> encoder(new (std::nothrow) LzwEncoder);
    if (encoder == nullptr) {
        out.SetSize(0);
        return false;
    }
    return encoder->Encode(writer, in.Data(), count);
}
