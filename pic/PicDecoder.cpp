// The image decoder: the LZW stage (compressed stream to run-length bytes) and
// the run-length stage (run-length bytes to pixels).
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
#include "pic/ByteWords.h"
#include "pic/CodeReader.h"
#include "pic/PicSize.h"
#include "pic/PicRowSink.h"
#include "pic/PicStream.h"

#include <climits>
#include <cstdint>
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
// after the 256 one-byte strings and handed to runs (Take: first byte, count,
// bits read so far, bits of whole words in the stream; false stops the stage).
// Runs that compact take each dictionary cycle's bytes as the cycle ends, and
// the next cycle writes over them: no string of a cycle is copied from an
// earlier one, so a cycle's output is all that is ever held. Runs that do not
// compact take all the bytes at once at the end. False only when the output
// cannot grow.
template <class Runs>
bool DecodeLzw(const unsigned char* stream, std::size_t size, BufferWriter& writer, Runs& runs)
{
    unsigned char* at = writer.Data();
    unsigned char* limit = writer.Limit();
    if (!writer.MakeRoom(at, limit, LITERAL_BYTES + LONGEST_STRING + COPY_BLOCK))
        return false;
    at = WriteLiterals(at);
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
            std::uint32_t previousStart = dictionary.copyStart[codes.nextCode];
            if constexpr (Runs::COMPACTS) {
                unsigned char* first = base + LITERAL_BYTES;
                if (!runs.Take(first, static_cast<std::size_t>(at - first), reader.BitPosition(), endBit))
                    return true;
                at = first;
                // Of the string just read the next cycle needs only its first
                // byte, which the one-byte strings hold at its own offset.
                previousStart = base[previousStart];
            }
            dictionary.StartCycle(previousStart);
            codes = CodeSpace();
        }
    }
    unsigned char* first = base + LITERAL_BYTES;
    runs.Take(first, static_cast<std::size_t>(at - first), reader.BitPosition(), endBit);
    return true;
}

// All the run-length bytes, left after the one-byte strings for the caller.
struct KeptRuns {
    static constexpr bool COMPACTS = false;
    std::size_t count = 0;

    bool Take(const unsigned char*, std::size_t runCount, std::uint64_t, std::uint64_t)
    {
        count = runCount;
        return true;
    }
};

// The run-length stage writes whole words and blocks past the end of what it
// has written so far; every window of pixels keeps this much room after it.
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

// The run-length stage, a piece at a time: the run-length bytes come in
// pieces (a dictionary cycle's output each) and the pixels go to windows (a
// block of rows, or a buffer that grows), so what spans a seam carries over:
// a repeat cut at a window's end, an escape whose count is in the next piece,
// and the last byte written. A literal byte stands for itself; the escape 0x90
// followed by 0 is the byte 0x90, and followed by a count c it makes the last
// byte occur c times in a row, counting the copy already written. One sequence
// covers the whole picture, so runs go on across the ends of rows; a repeat at
// the very start repeats the byte 0.
class RunExpander {
public:
    // Expands from in towards inEnd into out towards outEnd, whose window
    // starts at windowStart and has PIXEL_SLACK bytes of room after outEnd,
    // until either end is reached; out moves on. Returns how far in was read.
    const unsigned char* Expand(const unsigned char* in, const unsigned char* inEnd, unsigned char*& out,
                                const unsigned char* outEnd, const unsigned char* windowStart)
    {
        // The state lives in locals while bytes are written: a store through
        // a byte pointer could otherwise stand for a store to any member.
        unsigned char* at = out;
        unsigned char last = m_last;
        std::size_t owed = m_owed;
        if (owed > 0 && at < outEnd) {
            std::size_t room = static_cast<std::size_t>(outEnd - at);
            std::size_t count = owed < room ? owed : room;
            FillRepeat(at, last, count);
            at += count;
            owed -= count;
        }
        if (m_escape && at < outEnd && in < inEnd) {
            m_escape = false;
            at = ExpandEscape(at, outEnd, at == windowStart ? last : at[-1], *in++, owed);
        }
        // Eight input bytes at a time while a ninth follows them: the literals
        // up to the next escape in one go, then the escape and its count,
        // which lies at most one byte past the word just read.
        while (inEnd - in > 8 && at < outEnd) {
            std::memcpy(at, in, 8);
            std::uint64_t word = LoadLittle64(in);
            std::uint64_t escapes = ZeroBytes(word ^ ESCAPE_WORD);
            if (escapes == 0) {
                in += 8, at += 8;
                continue;
            }
            unsigned literals = FirstMarkedByte(escapes);
            in += literals, at += literals;
            if (at >= outEnd)
                break;
            at = ExpandEscape(at, outEnd, at == windowStart ? last : at[-1], in[1], owed);
            in += 2;
        }
        // Literals copied past the window's end are the next window's: they
        // are read again from there.
        if (at > outEnd) {
            in -= at - outEnd;
            at = const_cast<unsigned char*>(outEnd);
        }
        // The last few bytes one at a time; an escape as a piece's last byte
        // waits for its count.
        while (in < inEnd && at < outEnd) {
            unsigned char byte = *in++;
            if (byte != RLE_ESCAPE) {
                *at++ = byte;
                continue;
            }
            if (in == inEnd) {
                m_escape = true;
                break;
            }
            at = ExpandEscape(at, outEnd, at == windowStart ? last : at[-1], *in++, owed);
        }
        // A repeat owed to the next window repeats the byte written last.
        m_last = at > windowStart ? at[-1] : last;
        m_owed = owed;
        out = at;
        return in;
    }

    // The run-length bytes have ended: an escape as their very last byte has the count 0.
    void Finish(unsigned char*& out, const unsigned char* outEnd)
    {
        if (m_escape && out < outEnd)
            *out++ = RLE_ESCAPE;
        m_escape = false;
    }

private:
    // The escape and its count at at, which is below outEnd, after the byte
    // last; returns the cursor past what it wrote. The copies that would pass
    // outEnd are owed to the next window.
    static unsigned char* ExpandEscape(unsigned char* at, const unsigned char* outEnd, unsigned char last,
                                       unsigned count, std::size_t& owed)
    {
        std::size_t repeat = count == 0 ? 1 : count - 1;
        std::size_t room = static_cast<std::size_t>(outEnd - at);
        std::size_t written = repeat < room ? repeat : room;
        FillRepeat(at, count == 0 ? RLE_ESCAPE : last, written);
        owed = repeat - written;
        return at + written;
    }

    unsigned char m_last = 0;
    std::size_t m_owed = 0; // copies of m_last owed to the next window
    bool m_escape = false;  // the last piece ended with an escape
};

// Takes the LZW stage's pieces of run-length bytes through the run-length
// stage into a target's windows: start, out and end, with Advance (progress)
// called whenever a window is full, false when no more pixels are wanted, and
// Finish once the runs have ended. Progress is the share of the stream read
// so far, for targets that size themselves by it.
template <class Target>
class RunFeed {
public:
    static constexpr bool COMPACTS = true;

    explicit RunFeed(Target& target) : m_target(target) {}

    bool Take(const unsigned char* runs, std::size_t count, std::uint64_t bitsRead, std::uint64_t bitsInStream)
    {
        const unsigned char* in = runs;
        const unsigned char* end = runs + count;
        for (;;) {
            in = m_expander.Expand(in, end, m_target.out, m_target.end, m_target.start);
            if (m_target.out < m_target.end)
                break; // the piece is used up
            // Within the piece, its share of the stream is taken as evenly spread.
            double piece = count == 0 ? 1.0 : static_cast<double>(in - runs) / static_cast<double>(count);
            double bits = static_cast<double>(m_bitsBefore) + piece * static_cast<double>(bitsRead - m_bitsBefore);
            double progress = bitsInStream == 0 ? 1.0 : bits / static_cast<double>(bitsInStream);
            if (!m_target.Advance(progress))
                return false;
        }
        m_bitsBefore = bitsRead;
        return true;
    }

    void Finish()
    {
        m_expander.Finish(m_target.out, m_target.end);
        m_target.Finish();
    }

private:
    Target& m_target;
    RunExpander m_expander;
    std::uint64_t m_bitsBefore = 0;
};

// Room for the run-length bytes of one dictionary cycle: valid streams give
// at most about two run-length bytes per pixel and usually far fewer, and a
// cycle's strings add up to about 1.6 MB at most. The guess only saves
// regrowing; the writer grows as needed.
std::size_t RunBytesGuess(std::uint64_t pixels, std::size_t streamSize, std::size_t most)
{
    std::uint64_t guess = 64 * static_cast<std::uint64_t>(streamSize) + 4096;
    guess = pixels < guess ? pixels : guess;
    return LITERAL_BYTES + static_cast<std::size_t>(guess < most ? guess : most);
}

constexpr std::size_t CYCLE_RUN_BYTES = 2u << 20;

// Decodes the stream into target through both stages in one pass. False only
// when the LZW stage's output cannot grow.
template <class Target>
bool DecodeInto(const unsigned char* stream, int size, std::uint64_t pixels, Target& target)
{
    auto streamSize = static_cast<std::size_t>(size > 0 && stream != nullptr ? size : 0);
    ByteBuffer runs;
    BufferWriter writer(runs, RunBytesGuess(pixels, streamSize, CYCLE_RUN_BYTES));
    RunFeed<Target> feed(target);
    if (!DecodeLzw(stream, streamSize, writer, feed))
        return false;
    feed.Finish();
    return true;
}

// The picture in one buffer that grows as the runs make pixels, never past
// total: a stream that ends early never has room made for the pixels it does
// not give. The growth goes by the share of the stream read, so a picture
// whose stream fills it grows about once, early, and holds little more than
// its pixels at its peak.
class GrowingPicture {
public:
    // Room for first pixels to begin with; false from Ready when even that cannot be had.
    GrowingPicture(ByteBuffer& pixels, std::uint64_t total, std::uint64_t first) : m_pixels(pixels), m_total(total)
    {
        m_ready = Make(first < total ? first : total, 0);
    }

    bool Ready() const { return m_ready; }
    bool Failed() const { return m_failed; }

    // A full window: more room, by an estimate of the pixels still to come,
    // with at least a quarter more each time so that a poor estimate still
    // grows geometrically.
    bool Advance(double progress)
    {
        auto made = static_cast<std::uint64_t>(out - start);
        if (made >= m_total)
            return false;
        double estimate = progress > 0 ? static_cast<double>(made) / progress * 1.125 : 0;
        std::uint64_t least = made + made / 4 + GROWTH_STEP;
        std::uint64_t room = estimate > static_cast<double>(m_total) ? m_total : static_cast<std::uint64_t>(estimate);
        room = room > least ? room : least;
        if (!Make(room < m_total ? room : m_total, made)) {
            m_failed = true;
            return false;
        }
        return true;
    }

    void Finish() { m_pixels.SetSize(m_failed ? 0 : static_cast<int>(out - start)); }

    unsigned char* start = nullptr;
    unsigned char* out = nullptr;
    unsigned char* end = nullptr;

private:
    static constexpr std::uint64_t GROWTH_STEP = 64 * 1024;

    // A block of room pixels (and the slack) holding the made ones; total fits an int.
    bool Make(std::uint64_t room, std::uint64_t made)
    {
        ByteBuffer grown;
        if (!grown.SetSize(static_cast<int>(room + PIXEL_SLACK)))
            return false;
        if (made > 0)
            std::memcpy(grown.Data(), start, static_cast<std::size_t>(made));
        m_pixels.Swap(grown);
        start = m_pixels.Data();
        out = start + made;
        end = start + room;
        return true;
    }

    ByteBuffer& m_pixels;
    std::uint64_t m_total;
    bool m_ready = false;
    bool m_failed = false;
};

// Rows handed to a sink out of a block of a few rows, which the runs fill
// again after each hand-over; the row the runs end in goes padded with 0.
class RowBlocks {
public:
    RowBlocks(int width, int height, PicRowSink& sink) : m_width(width), m_height(height), m_sink(sink)
    {
        int rows = static_cast<int>(BLOCK_BYTES / static_cast<std::size_t>(width));
        m_blockRows = rows < 1 ? 1 : rows < height ? rows : height;
        m_ready = m_block.SetSize(m_blockRows * width + static_cast<int>(PIXEL_SLACK)) != 0;
        start = out = m_block.Data();
        end = start + static_cast<std::size_t>(m_blockRows) * static_cast<std::size_t>(width);
    }

    bool Ready() const { return m_ready; }
    bool Stopped() const { return m_stopped; }
    int Decoded() const { return m_decoded; }

    bool Advance(double)
    {
        m_decoded += static_cast<int>(out - start);
        if (!HandRows(static_cast<int>((out - start) / m_width)))
            return false;
        int rows = m_height - m_y < m_blockRows ? m_height - m_y : m_blockRows;
        out = start;
        end = start + static_cast<std::size_t>(rows) * static_cast<std::size_t>(m_width);
        return rows > 0;
    }

    void Finish()
    {
        if (m_stopped || m_y == m_height)
            return;
        auto made = static_cast<int>(out - start);
        m_decoded += made;
        int rows = made / m_width;
        int rest = made % m_width;
        if (rest > 0) {
            std::memset(out, 0, static_cast<std::size_t>(m_width - rest));
            ++rows;
        }
        HandRows(rows);
    }

    unsigned char* start = nullptr;
    unsigned char* out = nullptr;
    unsigned char* end = nullptr;

private:
    // About this much of the picture at a time, at least a row.
    static constexpr std::size_t BLOCK_BYTES = 64 * 1024;

    bool HandRows(int rows)
    {
        for (int i = 0; i < rows; ++i, ++m_y) {
            if (!m_sink.TakeRow(m_y, start + static_cast<std::size_t>(i) * static_cast<std::size_t>(m_width),
                                m_width)) {
                m_stopped = true;
                return false;
            }
        }
        return true;
    }

    int m_width;
    int m_height;
    PicRowSink& m_sink;
    ByteBuffer m_block;
    int m_blockRows = 1;
    int m_y = 0;
    int m_decoded = 0;
    bool m_ready = false;
    bool m_stopped = false;
};

// Pads pixels with 0 to exactly total bytes; false when that cannot be had.
bool PadPixels(ByteBuffer& pixels, std::uint64_t total)
{
    int made = pixels.Size();
    if (!pixels.Resize(static_cast<int>(total)))
        return false;
    std::memset(pixels.Data() + made, 0, static_cast<std::size_t>(total) - static_cast<std::size_t>(made));
    return true;
}

// ByteBuffer sizes are int, with the slack after the pixels.
bool HoldablePixels(std::uint64_t pixels)
{
    return pixels <= static_cast<std::uint64_t>(INT_MAX) - PIXEL_SLACK;
}

// Where a growing decode begins: most pictures fit, and a stream that gives a
// handful of pixels costs no more.
constexpr std::uint64_t FIRST_ROOM = 1u << 20;

// The pixels the stream gives, up to width x height, in a buffer that starts
// with room for firstRoom of them and grows as they come.
bool DecodeGrowing(int width, int height, const unsigned char* stream, int size, ByteBuffer& pixels,
                   std::uint64_t firstRoom)
{
    std::uint64_t total = CountPixels(width, height);
    pixels.SetSize(0);
    if (total == 0)
        return true;
    if (!HoldablePixels(total))
        return false;
    GrowingPicture picture(pixels, total, firstRoom);
    if (!picture.Ready() || !DecodeInto(stream, size, total, picture) || picture.Failed()) {
        pixels.Clear();
        return false;
    }
    return true;
}

} // namespace

bool PicFile::DecodeCodes(int width, int height, const ByteBuffer& stream, ByteBuffer& out)
{
    if (width <= 0 || height <= 0)
        return true;
    auto size = static_cast<std::size_t>(stream.Size());
    BufferWriter writer(out, RunBytesGuess(CountPixels(width, height), size, SIZE_MAX));
    KeptRuns runs;
    if (!DecodeLzw(stream.Data(), size, writer, runs)) {
        writer.Finish(writer.Data());
        return false;
    }
    // Only the run-length bytes are the stage's output: the one-byte strings
    // in front go.
    std::memmove(writer.Data(), writer.Data() + LITERAL_BYTES, runs.count);
    writer.Finish(writer.Data() + runs.count);
    return true;
}

bool PicFile::ExpandRuns(int width, int height, const ByteBuffer& in, ByteBuffer& out)
{
    std::uint64_t total = CountPixels(width, height);
    out.SetSize(0);
    if (total == 0)
        return true;
    if (!HoldablePixels(total))
        return false;
    GrowingPicture picture(out, total, total);
    if (!picture.Ready())
        return false;
    RunFeed<GrowingPicture> feed(picture);
    feed.Take(in.Data(), static_cast<std::size_t>(in.Size()), 0, 0);
    feed.Finish();
    return PadPixels(out, total);
}

bool PicFile::DecodePixels(int width, int height, const unsigned char* stream, int size, ByteBuffer& pixels)
{
    return DecodeGrowing(width, height, stream, size, pixels, FIRST_ROOM);
}

bool PicFile::DecodeImage(int width, int height, const unsigned char* stream, int size, ByteBuffer& pixels)
{
    // The whole picture is wanted anyway: its room is made at once.
    return DecodeGrowing(width, height, stream, size, pixels, CountPixels(width, height)) &&
           PadPixels(pixels, CountPixels(width, height));
}

bool PicFile::DecodeRows(int width, int height, const unsigned char* stream, int size, PicRowSink& sink,
                         int& decodedPixels)
{
    decodedPixels = 0;
    std::uint64_t total = CountPixels(width, height);
    if (total == 0)
        return true;
    if (!HoldablePixels(total))
        return false;
    RowBlocks rows(width, height, sink);
    if (!rows.Ready())
        return false;
    bool decoded = DecodeInto(stream, size, total, rows);
    decodedPixels = rows.Decoded();
    return decoded && !rows.Stopped();
}
