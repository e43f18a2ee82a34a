// The image encoder: the run-length stage (pixels to run-length bytes) and the
// LZW stage (run-length bytes to the compressed stream). The format fixes
// every byte, so the same picture always gives the same file.
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
#include "pic/ByteWords.h"
#include "pic/CodeWriter.h"
#include "pic/PicSize.h"
#include "pic/PicStream.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr std::size_t LONGEST_REPEAT = 255;
// Code 256 is never written; the decoder's own numbering gives that entry to
// the first code of each cycle, so both sides number the strings alike. The
// entry 2048 is lost in the reset it causes.
constexpr unsigned FIRST_STRING_CODE = 257;

// The end of the run of pixels[at]'s byte. Eight bytes at a time, and the
// first that differs found without a loop: most runs are short, and a loop
// over their bytes would end at a place the processor cannot foresee.
std::size_t RunEnd(const unsigned char* pixels, std::size_t at, std::size_t count)
{
    const unsigned char byte = pixels[at];
    const std::uint64_t pattern = byte * EVERY_BYTE;
    std::size_t end = at + 1;
    for (; end + 8 <= count; end += 8) {
        std::uint64_t word = LoadLittle64(pixels + end);
        if (word != pattern)
            return end + FirstMarkedByte(NonZeroBytes(word ^ pattern));
    }
    while (end < count && pixels[end] == byte)
        ++end;
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
        std::uint64_t threes =
            ZeroBytes(word ^ LoadLittle64(pixels + start + 1)) & ZeroBytes(word ^ LoadLittle64(pixels + start + 2));
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

// The LZW encoder's hash table: 16,384 slots of 4 bytes for at most 1,791
// entries. Every byte of the input waits on the lookup of the byte before it,
// so a lookup should end at its first slot: the sparse table makes that
// likely, and a slot of 4 bytes keeps the table at 64 KB, mostly in the
// nearest caches. (Measured: 4,096 or 8,192 slots cost more in probes that
// the processor cannot foresee than they save in cache misses.)
constexpr unsigned HASH_SLOT_BITS = 14;
constexpr unsigned HASH_SLOTS = 1u << HASH_SLOT_BITS;

// Every code has a number, the codes' numbers being a shuffle of 0 to 2047,
// and every byte a random slot index. A string's key is its prefix's number
// and its last byte, its first slot the prefix's number (moved up to cover
// the slots) xored with the byte's index. Because no two codes share a
// number, the key tells strings apart as the code would; and because a slot
// holds its code's number, the lookup of the next byte starts from what the
// last lookup loaded, with no table of codes in between.
struct HashNumbers {
    std::uint16_t ofCode[DICTIONARY_CODES];
    std::uint16_t codeOf[DICTIONARY_CODES];
    std::uint16_t ofByte[256];
};
constexpr HashNumbers MakeHashNumbers()
{
    HashNumbers numbers{};
    std::uint32_t state = 0x2545F491u;
    auto next = [&state] {
        state ^= state << 13; // xorshift32
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (unsigned code = 0; code < DICTIONARY_CODES; ++code)
        numbers.ofCode[code] = static_cast<std::uint16_t>(code);
    for (unsigned i = DICTIONARY_CODES - 1; i > 0; --i) { // Fisher-Yates
        unsigned j = next() % (i + 1);
        std::uint16_t swap = numbers.ofCode[i];
        numbers.ofCode[i] = numbers.ofCode[j];
        numbers.ofCode[j] = swap;
    }
    for (unsigned code = 0; code < DICTIONARY_CODES; ++code)
        numbers.codeOf[numbers.ofCode[code]] = static_cast<std::uint16_t>(code);
    for (auto& index : numbers.ofByte)
        index = static_cast<std::uint16_t>(next() & (HASH_SLOTS - 1));
    return numbers;
}
constexpr HashNumbers HASH = MakeHashNumbers();

// The LZW stage. A string is known by its prefix code and last byte, and each
// string occurs at most once in the dictionary, so an exact lookup of that
// pair finds the same code as comparing whole strings would.
class LzwEncoder {
public:
    // Writes the stream for count bytes at at, which has room for at least
    // RoomFor(count) bytes; returns the end of the stream.
    unsigned char* Encode(unsigned char* at, const unsigned char* in, std::size_t count);

    // The byte 11, at most 11 bits for each input byte, and the 8 bytes the
    // code writer stores at once.
    static std::size_t RoomFor(std::size_t count) { return 1 + count / 8 * 11 + 11 + CodeWriter::ROOM; }

private:
    static constexpr std::uint32_t SLOT_MASK = HASH_SLOTS - 1;
    static constexpr unsigned NUMBER_BITS = MAX_CODE_WIDTH;
    static constexpr std::uint32_t NUMBER_MASK = DICTIONARY_CODES - 1;
    // Keys carry this bit, so no taken slot is 0.
    static constexpr std::uint32_t KEY_TAKEN = 1u << 19;

    static std::uint32_t Key(std::uint32_t prefixNumber, unsigned char byte)
    {
        return KEY_TAKEN | prefixNumber << 8 | byte;
    }

    static std::uint32_t FirstSlot(std::uint32_t prefixNumber, unsigned char byte)
    {
        return (prefixNumber << (HASH_SLOT_BITS - NUMBER_BITS)) ^ HASH.ofByte[byte];
    }

    // The slot holding key, or the empty slot where it belongs.
    std::uint32_t FindSlot(std::uint32_t key, std::uint32_t slot) const
    {
        while (m_table[slot] != 0 && m_table[slot] >> NUMBER_BITS != key)
            slot = (slot + 1) & SLOT_MASK;
        return slot;
    }

    // A slot: the key, then the number of the string's code; 0 when empty.
    std::uint32_t m_table[HASH_SLOTS];
};

unsigned char* LzwEncoder::Encode(unsigned char* at, const unsigned char* in, std::size_t count)
{
    *at++ = static_cast<unsigned char>(MAX_CODE_WIDTH); // the stream's first byte: its largest code width
    if (count == 0)
        return at; // no string, so no code
    CodeWriter codes;
    unsigned width = 0, nextCode = 0, widenAt = 0; // set by startCycle
    auto startCycle = [&] {
        std::memset(m_table, 0, sizeof m_table);
        width = FIRST_CODE_WIDTH;
        nextCode = FIRST_STRING_CODE;
        widenAt = 1u << FIRST_CODE_WIDTH;
    };
    startCycle();
    std::uint32_t prefixNumber = HASH.ofCode[in[0]];
    for (std::size_t i = 1; i < count; ++i) {
        const unsigned char byte = in[i];
        const std::uint32_t key = Key(prefixNumber, byte);
        const std::uint32_t slot = FindSlot(key, FirstSlot(prefixNumber, byte));
        if (m_table[slot] != 0) {
            prefixNumber = m_table[slot] & NUMBER_MASK; // the string goes on
            continue;
        }
        at = codes.Write(at, HASH.codeOf[prefixNumber], width);
        // The new entry's code widens the codes once it passes the mask; at
        // 12 bits the dictionary starts again, and the entry is lost with it.
        const unsigned code = nextCode++;
        if (code < widenAt) {
            m_table[slot] = key << NUMBER_BITS | HASH.ofCode[code];
        } else if (++width > MAX_CODE_WIDTH) {
            startCycle();
        } else {
            m_table[slot] = key << NUMBER_BITS | HASH.ofCode[code];
            widenAt *= 2;
        }
        prefixNumber = HASH.ofCode[byte];
    }
    return codes.Flush(codes.Write(at, HASH.codeOf[prefixNumber], width));
}

} // namespace

bool PicFile::EncodeRuns(int width, int height, const ByteBuffer& pixels, ByteBuffer& out)
{
    // Pixels past the picture are not encoded, and missing ones cannot be.
    std::uint64_t wanted = CountPixels(width, height);
    auto held = static_cast<std::size_t>(pixels.Size());
    std::size_t count = wanted < held ? static_cast<std::size_t>(wanted) : held;
    BufferWriter writer(out, count + count / 8 + 16);
    return EncodeRunsInto(writer, pixels.Data(), count);
}

bool PicFile::EncodeCodes(int, int, const ByteBuffer& in, ByteBuffer& out)
{
    std::size_t count = static_cast<std::size_t>(in.Size());
    std::size_t room = LzwEncoder::RoomFor(count);
    BufferWriter writer(out, room);
    unsigned char* at = writer.Data();
    unsigned char* limit = writer.Limit();
    if (!writer.MakeRoom(at, limit, room))
        return false;
    // The hash table is too large for the stack of every caller.
    std::unique_ptr<LzwEncoder> encoder(new (std::nothrow) LzwEncoder);
    if (encoder == nullptr) {
        out.SetSize(0);
        return false;
    }
    writer.Finish(encoder->Encode(at, in.Data(), count));
    return true;
}
