// The image decoder: the LZW stage (compressed stream to run-length bytes) and
// the run-length stage (run-length bytes to pixels).
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
#include "pic/ByteWords.h"
#include "pic/CodeReader.h"
#include "pic/PicSize.h"
#include "pic/PicStream.h"

#include <climits>
#include <cstring>

namespace {

// The entry the first code of every dictionary cycle defines.
constexpr unsigned FIRST_FREE_CODE = 256;
constexpr std::uint16_t NO_PREFIX = 0xFFFF;
// A chain of distinct entries visits at most all 2,048 of them; with the
// repeated first byte of a code that defines itself, a string never passes
// this length. A longer walk has met a loop that only damaged data makes.
constexpr std::size_t LONGEST_STRING = DICTIONARY_CODES + 1;
// Strings are copied in blocks of this many bytes, so the output keeps that
// much room past every string.
constexpr std::size_t COPY_BLOCK = 16;
// The LZW stage writes the 256 one-byte strings in front of its output, so a
// one-byte code is copied from there like any longer string: one path, and
// no hard-to-predict branch between the two.
constexpr std::size_t LITERAL_BYTES = 256;

// The entries of one dictionary cycle: for every code its prefix code and
// last byte, which the walk follows, and where its string was written when
// that is known to stay its string (a copy length of 0 means it is not known,
// or the entry is not defined yet).
//
// The entry at the next free code is half made before its code can arrive:
// the previous string plus one byte, copied from where the previous string
// starts, the byte after it being written in advance as that string's first
// byte. So a code that defines itself (previous string plus its own first
// byte) takes the same copy as any other code; its prefix and last byte, which
// a walk could meet, are set only once the entry is defined.
struct Dictionary {
    std::uint16_t prefix[DICTIONARY_CODES];
    unsigned char character[DICTIONARY_CODES];
    // One more than the codes: the half-made entry after entry 2047, which
    // moves to 256 when the cycle starts again.
    std::uint32_t copyStart[DICTIONARY_CODES + 1];
    std::uint16_t copyLength[DICTIONARY_CODES + 1];

    Dictionary()
    {
        // The one-byte entries are never redefined: they point at the bytes
        // written in front of the output for good.
        for (unsigned i = 0; i < FIRST_FREE_CODE; ++i) {
            copyStart[i] = i;
            copyLength[i] = 1;
        }
        // Before the first code: the string of code 0, unsettled.
        StartCycle(0);
    }

    // Entries from 256 on hold one byte again and no copy. The half-made
    // entry 256 keeps where the previous string starts, but no copy: its
    // prefix is a code from before the reset, which the cycle may define anew.
    void StartCycle(std::uint32_t previousStart)
    {
        for (unsigned i = 0; i < DICTIONARY_CODES; ++i) {
            prefix[i] = NO_PREFIX;
            character[i] = static_cast<unsigned char>(i);
        }
        std::memset(copyLength + FIRST_FREE_CODE, 0, sizeof copyLength - FIRST_FREE_CODE * sizeof copyLength[0]);
        copyStart[FIRST_FREE_CODE] = previousStart;
    }

    // The entry at code, once the string just read has been written at start
    // (start bytes from the output's base): the previous code's string plus
    // that string's first byte. The entry after it is half made from this
    // string, one byte longer than its copy; a walked string (copy length 0)
    // is not settled, so that entry gets no copy either.
    void Define(unsigned code, unsigned previousCode, unsigned char first, std::uint32_t start, unsigned length)
    {
        prefix[code] = static_cast<std::uint16_t>(previousCode);
        character[code] = first;
        copyStart[code + 1] = start;
        copyLength[code + 1] = static_cast<std::uint16_t>(length == 0 ? 0 : length + 1);
    }

    // The general expansion: from the code's entry along the prefixes to a
    // one-byte entry, which holds the string's first byte. Null for a chain
    // that loops, which only damaged data makes.
    unsigned char* Walk(unsigned char* at, unsigned code) const
    {
        unsigned char stack[LONGEST_STRING];
        std::size_t top = 0;
        unsigned entry = code;
        for (; prefix[entry] != NO_PREFIX; entry = prefix[entry]) {
            if (top == LONGEST_STRING - 1)
                return nullptr;
            stack[top++] = character[entry];
        }
        stack[top++] = character[entry];
        while (top > 0)
            *at++ = stack[--top];
        return at;
    }
};

// The codes of one dictionary cycle: the next free code, and the width of the
// codes that define it.
struct CodeSpace {
    unsigned width = FIRST_CODE_WIDTH;
    unsigned mask = (1u << FIRST_CODE_WIDTH) - 1;
    unsigned nextCode = FIRST_FREE_CODE;

    // One more entry defined. The width grows once the next free code passes
    // the mask; false when it would pass MAX_CODE_WIDTH, and then, as there is
    // no clear code, the dictionary starts again.
    bool AddCode()
    {
        if (++nextCode > mask) {
            ++width;
            mask = mask * 2 + 1;
        }
        return width <= MAX_CODE_WIDTH;
    }
};

// Copies an earlier string in whole blocks; the bytes written past its end are
// overwritten by the next string. Every byte the string needs lies before the
// cursor, or is the one written in advance at it, so no block reads a byte of
// this copy before that byte is right; a block may still overlap the one it is
// copied to, hence the load into a local first. The first block is copied
// unconditionally: most strings fit in it.
unsigned char* CopyString(unsigned char* at, const unsigned char* from, std::size_t length)
{
    std::size_t done = 0;
    do {
        unsigned char block[COPY_BLOCK];
        std::memcpy(block, from + done, COPY_BLOCK);
        std::memcpy(at + done, block, COPY_BLOCK);
        done += COPY_BLOCK;
    } while (done < length);
    return at + length;
}

// The codes whose string is not known to be where it was written: the first
// code of each cycle when it defines itself, and strings that lead through
// entry 256 (whose prefix is a code from before the reset, which the cycle may
// define anew). They take the walk; a code that defines itself is the previous
// string, walked from the previous code, and its first byte. Null for a
// looping chain.
unsigned char* WalkCode(const Dictionary& dictionary, unsigned char* at, const unsigned char* base, unsigned code,
                        unsigned nextCode, unsigned previousCode)
{
    if (code < nextCode)
        return dictionary.Walk(at, code);
    unsigned char previousFirst = base[dictionary.copyStart[nextCode]];
    at = dictionary.Walk(at, previousCode);
    if (at != nullptr)
        *at++ = previousFirst;
    return at;
}

// The 256 one-byte strings, which the one-byte codes are copied from.
unsigned char* WriteLiterals(unsigned char* at)
{
    for (unsigned i = 0; i < LITERAL_BYTES; ++i)
        *at++ = static_cast<unsigned char>(i);
    return at;
}

// Room at at for the longest string and the block copied past its end. The
// block may move to grow, and the strings' base with it.
bool KeepRoomForString(BufferWriter& writer, unsigned char*& at, unsigned char*& limit, unsigned char*& base)
{
    if (static_cast<std::size_t>(limit - at) >= LONGEST_STRING + COPY_BLOCK)
        return true;
    if (!writer.MakeRoom(at, limit, LONGEST_STRING + COPY_BLOCK))
        return false;
    base = writer.Data();
    return true;
}

// The LZW stage: the run-length bytes from the compressed stream, written
// after the 256 one-byte strings; end is set past the last one. False only
// when the output cannot grow.
bool DecodeLzw(const unsigned char* stream, std::size_t size, BufferWriter& writer, unsigned char*& end)
{
    unsigned char* at = writer.Data();
    unsigned char* limit = writer.Limit();
    if (!writer.MakeRoom(at, limit, LITERAL_BYTES + LONGEST_STRING + COPY_BLOCK))
        return false;
    end = at = WriteLiterals(at);
    unsigned char* base = writer.Data();
    // The stream's first byte is the largest code width; it is not needed, as
    // the dictionary always starts again where a code would need 12 bits.
    CodeReader reader(stream, size, 8);
    // Decoding goes on while the codes end within the stream's whole 16-bit
    // words: the code that first ends past them is still decoded (an odd
    // stream's last byte, or padding and zeros), and then it stops.
    const std::uint64_t endBit = 16 * static_cast<std::uint64_t>(size / 2);
    Dictionary dictionary;
    CodeSpace codes;
    unsigned previousCode = 0; // before the first code: code 0, byte 0 (the first of the one-byte strings)
    while (reader.BitPosition() <= endBit) {
        unsigned code = reader.Read(codes.width);
        // Any code past the next free one (damaged data) stands for it.
        code = code < codes.nextCode ? code : codes.nextCode;
        if (!KeepRoomForString(writer, at, limit, base))
            return false;
        unsigned char* start = at;
        unsigned length = dictionary.copyLength[code];
        at = length != 0 ? CopyString(at, base + dictionary.copyStart[code], length)
                         : WalkCode(dictionary, at, base, code, codes.nextCode, previousCode);
        if (at == nullptr) {
            at = start; // a looping chain: the rest of the stream is lost
            break;
        }
        dictionary.Define(codes.nextCode, previousCode, *start, static_cast<std::uint32_t>(start - base), length);
        *at = *start; // the half-made entry's last byte, in advance
        previousCode = code;
        if (!codes.AddCode()) {
            dictionary.StartCycle(dictionary.copyStart[codes.nextCode]);
            codes = CodeSpace();
        }
    }
    end = at;
    return true;
}

// The run-length stage writes whole words and blocks past the end of what it
// has written so far; the pixel block keeps this much room after the picture.
constexpr std::size_t FILL_BLOCK = 16;
constexpr std::size_t PIXEL_SLACK = FILL_BLOCK;
constexpr std::uint64_t ESCAPE_WORD = RLE_ESCAPE * EVERY_BYTE;

// Writes count copies of byte in whole 16-byte blocks, at least one: no
// branch on the count for the short runs that dithered pictures are full of.
void FillRepeat(unsigned char* out, unsigned char byte, std::size_t count)
{
    unsigned char block[FILL_BLOCK];
    std::memset(block, byte, FILL_BLOCK);
    std::size_t done = 0;
    do {
        std::memcpy(out + done, block, FILL_BLOCK);
        done += FILL_BLOCK;
    } while (done < count);
}

// The escape and its count at out, which is below outEnd; returns the cursor
// past what it wrote. A count of 0 is the escape byte itself; any other makes
// the last byte written occur count times in a row, counting the copy already
// there, cut at the picture's end. A repeat at the very start repeats the byte 0.
unsigned char* ExpandEscape(const unsigned char* outStart, unsigned char* out, const unsigned char* outEnd,
                            unsigned count)
{
    unsigned char last = out == outStart ? 0 : out[-1];
    std::size_t repeat = count == 0 ? 1 : count - 1;
    std::size_t room = static_cast<std::size_t>(outEnd - out);
    repeat = repeat < room ? repeat : room;
    FillRepeat(out, count == 0 ? RLE_ESCAPE : last, repeat);
    return out + repeat;
}

// The run-length stage over in[0, inSize) into out[0, total), out having
// PIXEL_SLACK bytes of room after total. A literal byte stands for itself; the
// escape 0x90 followed by 0 is the byte 0x90, and followed by a count c it makes
// the last byte occur c times in a row, counting the copy already written. One
// sequence covers the whole picture, so runs go on across the ends of rows.
void ExpandRunsInto(const unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t total)
{
    const unsigned char* inEnd = in + inSize;
    unsigned char* const outStart = out;
    unsigned char* const outEnd = out + total;
    // Eight input bytes at a time while a ninth follows them: the literals up
    // to the next escape in one go, then the escape and its count, which lies
    // at most one byte past the word just read.
    while (inEnd - in > 8 && out < outEnd) {
        std::memcpy(out, in, 8);
        std::uint64_t word = LoadLittle64(in);
        std::uint64_t escapes = ZeroBytes(word ^ ESCAPE_WORD);
        if (escapes == 0) {
            in += 8, out += 8;
            continue;
        }
        unsigned literals = FirstMarkedByte(escapes);
        in += literals, out += literals;
        if (out >= outEnd)
            break;
        out = ExpandEscape(outStart, out, outEnd, in[1]);
        in += 2;
    }
    // A word of literals may have run past the picture's end.
    if (out > outEnd)
        out = outEnd;
    // The last few bytes one at a time; an escape as the very last byte reads
    // its missing count as 0.
    while (in < inEnd && out < outEnd) {
        unsigned char byte = *in++;
        if (byte != RLE_ESCAPE) {
            *out++ = byte;
            continue;
        }
        unsigned count = in < inEnd ? *in++ : 0;
        out = ExpandEscape(outStart, out, outEnd, count);
    }
    // Runs that end early leave the rest of the picture 0.
    std::memset(out, 0, static_cast<std::size_t>(outEnd - out));
}

// Valid streams give at most about two run-length bytes per pixel and usually
// far fewer; the guess only saves regrowing, the writer grows as needed.
std::size_t RunBytesGuess(int width, int height, std::size_t streamSize)
{
    std::uint64_t pixels = CountPixels(width, height);
    std::size_t streamGuess = 64 * streamSize + 4096;
    return LITERAL_BYTES + (pixels < streamGuess ? static_cast<std::size_t>(pixels) : streamGuess);
}

// Sizes out for exactly that many pixels plus the slack the run-length stage
// writes into; false when it cannot be had.
bool ExpandRunsToBuffer(const unsigned char* in, std::size_t inSize, std::uint64_t pixels, ByteBuffer& out)
{
    out.SetSize(0);
    if (pixels == 0)
        return true;
    // ByteBuffer sizes are int: a larger picture cannot be held.
    if (pixels > static_cast<std::uint64_t>(INT_MAX) - PIXEL_SLACK)
        return false;
    auto total = static_cast<int>(pixels);
    if (!out.SetSize(total + static_cast<int>(PIXEL_SLACK)))
        return false;
    ExpandRunsInto(in, inSize, out.Data(), static_cast<std::size_t>(total));
    out.SetSize(total);
    return true;
}

} // namespace

bool PicFile::DecodeCodes(int width, int height, const ByteBuffer& stream, ByteBuffer& out)
{
    if (width <= 0 || height <= 0)
        return true;
    auto size = static_cast<std::size_t>(stream.Size());
    BufferWriter writer(out, RunBytesGuess(width, height, size));
    unsigned char* end = nullptr;
    if (!DecodeLzw(stream.Data(), size, writer, end)) {
        writer.Finish(writer.Data());
        return false;
    }
    // Only the run-length bytes are the stage's output: the one-byte strings
    // in front go.
    unsigned char* runs = writer.Data() + LITERAL_BYTES;
    std::size_t count = static_cast<std::size_t>(end - runs);
    std::memmove(writer.Data(), runs, count);
    writer.Finish(writer.Data() + count);
    return true;
}

bool PicFile::ExpandRuns(int width, int height, const ByteBuffer& in, ByteBuffer& out)
{
    return ExpandRunsToBuffer(in.Data(), static_cast<std::size_t>(in.Size()), CountPixels(width, height), out);
}

bool PicFile::DecodeImage(int width, int height, const unsigned char* stream, int size, ByteBuffer& pixels)
{
    std::uint64_t total = CountPixels(width, height);
    if (total == 0) {
        pixels.SetSize(0);
        return true;
    }
    auto streamSize = static_cast<std::size_t>(size > 0 && stream != nullptr ? size : 0);
    // The run-length bytes stay in a block of their own, read straight from
    // where the LZW stage left them.
    ByteBuffer runs;
    BufferWriter writer(runs, RunBytesGuess(width, height, streamSize));
    unsigned char* end = nullptr;
    if (!DecodeLzw(stream, streamSize, writer, end))
        return false;
    const unsigned char* first = writer.Data() + LITERAL_BYTES;
    return ExpandRunsToBuffer(first, static_cast<std::size_t>(end - first), total, pixels);
}
