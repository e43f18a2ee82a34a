// The image decoder: the LZW stage (compressed stream to run-length bytes) and
// the run-length stage (run-length bytes to pixels).
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
#include "pic/ByteWords.h"
#include "pic/CodeReader.h"
#include "pic/PicSize.h"

#include <cstring>

namespace {

constexpr unsigned FIRST_CODE_WIDTH = 9;
constexpr unsigned MAX_CODE_WIDTH = 11;
constexpr unsigned DICTIONARY_SIZE = 1u << MAX_CODE_WIDTH;
// The entry the first code of every dictionary cycle defines.
constexpr unsigned FIRST_FREE_CODE = 256;
constexpr std::uint16_t NO_PREFIX = 0xFFFF;
// A chain of distinct entries visits at most all 2,048 of them; with the
// repeated first byte of a code that defines itself, a string never passes
// this length. A longer walk has met a loop that only damaged data makes.
constexpr std::size_t LONGEST_STRING = DICTIONARY_SIZE + 1;
// Strings are copied in blocks of this many bytes, so the output keeps that
// much room past every string.
constexpr std::size_t COPY_BLOCK = 16;
constexpr unsigned char RLE_ESCAPE = 0x90;

// The entries of one dictionary cycle: for every code its prefix code and
// last byte, and where its string was last written when that is known to
// stay its string (a copy length of 0 means it is not known).
struct Dictionary {
    std::uint16_t prefix[DICTIONARY_SIZE];
    unsigned char character[DICTIONARY_SIZE];
    std::uint32_t copyStart[DICTIONARY_SIZE] = {};
    std::uint16_t copyLength[DICTIONARY_SIZE] = {};

    void Reset()
    {
        for (unsigned i = 0; i < DICTIONARY_SIZE; ++i) {
            prefix[i] = NO_PREFIX;
            character[i] = static_cast<unsigned char>(i);
        }
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

// What one code wrote, and whether that is settled: equal to the string of
// the code it remembers, with no later entry of the cycle able to change it.
struct Step {
    std::size_t start = 0;
    std::size_t length = 0;
    bool settled = false;
    unsigned remember = 0;
    unsigned char firstByte = 0;
};

// Copies an earlier string in whole blocks; the bytes written past its end are
// overwritten by the next string. The source ends before the cursor, so no
// block reads a byte of this copy before that byte is right; a block may
// still overlap the one it is copied to, hence the load into a local first.
unsigned char* CopyString(unsigned char* at, const unsigned char* from, std::size_t length)
{
    for (std::size_t done = 0; done < length; done += COPY_BLOCK) {
        unsigned char block[COPY_BLOCK];
        std::memcpy(block, from + done, COPY_BLOCK);
        std::memcpy(at + done, block, COPY_BLOCK);
    }
    return at + length;
}

// Writes the string of one code at at. A code at or above the next free one
// (the entry this very step defines) is the previous string followed by its
// own first byte. Strings are copied from where they were written before when
// that is known to give the same bytes as the walk, which is the rule for
// streams from the encoder; the first code of each cycle, and strings that
// lead through entry 256 (whose prefix is a code from before the reset, which
// the cycle may define anew), take the walk. Null for a looping chain.
unsigned char* ExpandCode(const Dictionary& dictionary, unsigned char* at, const unsigned char* base, unsigned code,
                          unsigned nextCode, const Step& previous, Step& step)
{
    unsigned char* start = at;
    step.start = static_cast<std::size_t>(at - base);
    step.settled = true;
    step.remember = code;
    // The first byte is taken from where each string comes from, not read
    // back from the output the copy has just written.
    if (code >= nextCode) {
        step.remember = nextCode;
        if (nextCode != FIRST_FREE_CODE && previous.settled) {
            step.firstByte = previous.firstByte;
            at = CopyString(at, base + previous.start, previous.length);
        } else {
            at = dictionary.Walk(at, previous.remember);
            step.settled = false;
            step.firstByte = at != nullptr ? *start : 0;
        }
        if (at != nullptr)
            *at++ = previous.firstByte;
    } else if (code < FIRST_FREE_CODE) {
        step.firstByte = static_cast<unsigned char>(code);
        *at++ = step.firstByte;
    } else if (dictionary.copyLength[code] != 0) {
        const unsigned char* from = base + dictionary.copyStart[code];
        step.firstByte = *from;
        at = CopyString(at, from, dictionary.copyLength[code]);
    } else {
        at = dictionary.Walk(at, code);
        step.settled = false;
        step.firstByte = at != nullptr ? *start : 0;
    }
    if (at != nullptr)
        step.length = static_cast<std::size_t>(at - start);
    return at;
}

// The LZW stage: the run-length bytes from the compressed stream. False only
// when the output cannot grow.
bool DecodeLzw(const ByteBuffer& stream, BufferWriter& writer)
{
    // The stream's first byte is the largest code width; it is not needed, as
    // the dictionary always starts again where a code would need 12 bits.
    auto size = static_cast<std::size_t>(stream.Size());
    CodeReader reader(stream.Data(), size, 8);
    // Decoding goes on while the codes end within the stream's whole 16-bit
    // words: the code that first ends past them is still decoded (an odd
    // stream's last byte, or padding and zeros), and then it stops.
    const std::uint64_t endBit = 16 * static_cast<std::uint64_t>(size / 2);
    unsigned char* at = writer.Data();
    unsigned char* limit = writer.Limit();
    Dictionary dictionary;
    dictionary.Reset();
    unsigned width = FIRST_CODE_WIDTH, mask = (1u << FIRST_CODE_WIDTH) - 1, nextCode = FIRST_FREE_CODE;
    Step previous; // before the first code: code 0 and first byte 0, nothing written
    while (reader.BitPosition() <= endBit) {
        unsigned code = reader.Read(width);
        if (!writer.MakeRoom(at, limit, LONGEST_STRING + COPY_BLOCK))
            return false;
        unsigned char* base = writer.Data();
        Step step;
        unsigned char* end = ExpandCode(dictionary, at, base, code, nextCode, previous, step);
        if (end == nullptr)
            break; // the rest of the stream is lost
        at = end;
        // The entry at the next free code: the previous code's string plus this
        // step's first byte, which follows the previous string in the output.
        dictionary.prefix[nextCode] = static_cast<std::uint16_t>(previous.remember);
        dictionary.character[nextCode] = step.firstByte;
        bool copyable = nextCode != FIRST_FREE_CODE && previous.settled;
        dictionary.copyStart[nextCode] = static_cast<std::uint32_t>(previous.start);
        dictionary.copyLength[nextCode] = static_cast<std::uint16_t>(copyable ? previous.length + 1 : 0);
        previous = step;
        if (++nextCode > mask) {
            ++width;
            mask = mask * 2 + 1;
        }
        // No clear code: after entry 2047 the dictionary starts again.
        if (width > MAX_CODE_WIDTH) {
            dictionary.Reset();
            width = FIRST_CODE_WIDTH, mask = (1u << FIRST_CODE_WIDTH) - 1, nextCode = FIRST_FREE_CODE;
        }
    }
    writer.Finish(at);
    return true;
}

// The run-length stage writes whole words past the end of what it has
// written so far; the pixel block keeps this much room after the picture.
constexpr std::size_t WORD_SLACK = 8;

// Copies the literal bytes before the next escape, at most room of them, and
// returns how many. Copies whole words while the input holds them.
std::size_t CopyLiterals(const unsigned char* in, std::size_t available, unsigned char* out, std::size_t room)
{
    const std::size_t limit = available < room ? available : room;
    std::size_t count = 0;
    for (; count < limit && count + 8 <= available; count += 8) {
        std::uint64_t word = LoadLittle64(in + count);
        StoreLittle64(out + count, word);
        std::uint64_t escapes = ZeroBytes(word ^ (RLE_ESCAPE * EVERY_BYTE));
        if (escapes != 0) {
            count += FirstMarkedByte(escapes);
            return count < limit ? count : limit;
        }
    }
    for (; count < limit && in[count] != RLE_ESCAPE; ++count)
        out[count] = in[count];
    return count < limit ? count : limit;
}

void FillRepeat(unsigned char* out, unsigned char byte, std::size_t count)
{
    if (count > 64) {
        std::memset(out, byte, count);
        return;
    }
    for (std::size_t done = 0; done < count; done += 8)
        StoreLittle64(out + done, byte * EVERY_BYTE);
}

// The run-length stage. A literal byte stands for itself; the escape 0x90
// followed by 0 is the byte 0x90, and followed by a count c it makes the last
// byte occur c times in a row, counting the copy already written. One
// sequence covers the whole picture, so runs go on across the ends of rows.
void ExpandRunsInto(const unsigned char* in, std::size_t inSize, unsigned char* out, std::size_t total)
{
    std::size_t inPos = 0, filled = 0;
    unsigned char last = 0; // a repeat at the very start repeats the byte 0
    while (inPos < inSize && filled < total) {
        std::size_t literals = CopyLiterals(in + inPos, inSize - inPos, out + filled, total - filled);
        if (literals > 0) {
            last = in[inPos + literals - 1];
            inPos += literals;
            filled += literals;
        }
        if (inPos == inSize || filled == total)
            break;
        // An escape as the very last byte reads its missing count as 0.
        unsigned count = inPos + 1 < inSize ? in[inPos + 1] : 0;
        inPos = inPos + 2 < inSize ? inPos + 2 : inSize;
        if (count == 0) {
            out[filled++] = RLE_ESCAPE;
            last = RLE_ESCAPE;
            continue;
        }
        std::size_t repeat = count - 1 < total - filled ? count - 1 : total - filled;
        FillRepeat(out + filled, last, repeat);
        filled += repeat;
    }
    // Runs that end early leave the rest of the picture 0.
    std::memset(out + filled, 0, total - filled);
}

} // namespace

bool PicFile::DecodeCodes(int width, int height, const ByteBuffer& stream, ByteBuffer& out)
{
    if (width <= 0 || height <= 0)
        return true;
    // Valid streams give at most about two run-length bytes per pixel and
    // usually far fewer; the guess only saves regrowing, the writer grows as needed.
    std::size_t guess = PixelCount(width, height);
    std::size_t streamGuess = 64 * static_cast<std::size_t>(stream.Size()) + 4096;
    BufferWriter writer(out, guess < streamGuess ? guess : streamGuess);
    return DecodeLzw(stream, writer);
}

bool PicFile::ExpandRuns(int width, int height, const ByteBuffer& in, ByteBuffer& out)
{
    std::size_t total = PixelCount(width, height);
    out.SetSize(0);
    if (total == 0)
        return true;
    if (!out.SetSize(static_cast<int>(total + WORD_SLACK)))
        return false;
    ExpandRunsInto(in.Data(), static_cast<std::size_t>(in.Size()), out.Data(), total);
    out.SetSize(static_cast<int>(total));
    return true;
}
