// The image decoder: the LZW stage (compressed stream to run-length bytes) and
// the run-length stage (run-length bytes to pixels).
#include "pic/PicFile.h"

#include "pic/BufferWriter.h"
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

// The LZW stage. Every code is expanded exactly as the prefix chains of the
// dictionary spell it, but without walking them when that is known to give
// the bytes of an earlier step again: an entry defined from the previous
// step's string, while that string could not change any more, is that output
// plus one byte, so it is copied from where it was written. Only the first
// code of each dictionary cycle and entries that lead through entry 256 (whose
// prefix is a code from before the reset, which the cycle may define anew)
// take the walk; streams from the encoder never use the latter.
class LzwDecoder {
public:
    LzwDecoder(const ByteBuffer& stream, BufferWriter& out)
        : m_reader(stream.Data(), static_cast<std::size_t>(stream.Size()), 8), m_out(out)
    {
        // The reader starts at bit 8: the stream's first byte is the largest
        // code width, which this decoder does not need, as it always resets
        // where a code would need 12 bits.
    }

    // False only when the output cannot grow.
    bool Decode(std::size_t streamBytes);

private:
    struct Step {
        std::size_t start = 0;
        std::size_t length = 0;
        // The output equals the remembered code's string, and no later entry
        // of this cycle can change that string.
        bool settled = false;
    };

    void ResetDictionary();
    bool ExpandCode(unsigned code, Step& step, unsigned& remember);
    bool WalkString(unsigned code, bool repeatFirstByte);
    void CopyString(std::size_t start, std::size_t length);
    void DefineEntry();

    CodeReader m_reader;
    BufferWriter& m_out;
    unsigned m_codeWidth = FIRST_CODE_WIDTH;
    unsigned m_mask = (1u << FIRST_CODE_WIDTH) - 1;
    unsigned m_nextCode = FIRST_FREE_CODE;
    unsigned m_previousCode = 0;
    unsigned char m_firstByte = 0;
    Step m_previous;

    std::uint16_t m_prefix[DICTIONARY_SIZE];
    unsigned char m_character[DICTIONARY_SIZE];
    // Where an entry's string was last written, for entries known to be settled;
    // a length of 0 sends the entry through the walk.
    std::uint32_t m_copyStart[DICTIONARY_SIZE] = {};
    std::uint16_t m_copyLength[DICTIONARY_SIZE] = {};
};

bool LzwDecoder::Decode(std::size_t streamBytes)
{
    // Decoding goes on while the codes read end within the stream's whole
    // 16-bit words: the code that first ends past them is still decoded (an
    // odd stream's last byte, or padding and zeros), and then it stops.
    std::uint64_t endBit = 16 * static_cast<std::uint64_t>(streamBytes / 2);
    if (endBit == 0)
        return true;
    ResetDictionary();
    do {
        unsigned code = m_reader.Read(m_codeWidth);
        if (!m_out.MakeRoom(LONGEST_STRING + COPY_BLOCK))
            return false;
        Step step;
        unsigned remember = code;
        if (!ExpandCode(code, step, remember))
            return true; // a looping prefix chain: the rest of the stream is lost
        DefineEntry();
        m_previousCode = remember;
        m_previous = step;
        if (++m_nextCode > m_mask) {
            ++m_codeWidth;
            m_mask = m_mask * 2 + 1;
        }
        // No clear code: after the entry 2047 the dictionary starts again.
        if (m_codeWidth > MAX_CODE_WIDTH)
            ResetDictionary();
    } while (m_reader.BitPosition() <= endBit);
    return true;
}

void LzwDecoder::ResetDictionary()
{
    for (unsigned i = 0; i < DICTIONARY_SIZE; ++i) {
        m_prefix[i] = NO_PREFIX;
        m_character[i] = static_cast<unsigned char>(i);
    }
    // The previous code and first byte live on across the reset.
    m_codeWidth = FIRST_CODE_WIDTH;
    m_mask = (1u << FIRST_CODE_WIDTH) - 1;
    m_nextCode = FIRST_FREE_CODE;
}

// Writes the code's string and tells whether the step is settled. A code at
// or above the next free one (the code this very step defines) is the
// previous string followed by its own first byte.
bool LzwDecoder::ExpandCode(unsigned code, Step& step, unsigned& remember)
{
    step.start = m_out.Used();
    bool firstOfCycle = m_nextCode == FIRST_FREE_CODE;
    bool sound = true;
    if (code >= m_nextCode) {
        remember = m_nextCode;
        if (!firstOfCycle && m_previous.settled) {
            CopyString(m_previous.start, m_previous.length);
            m_out.Put(m_out.Data()[m_previous.start]);
            step.settled = true;
        } else {
            sound = WalkString(m_previousCode, true);
        }
    } else if (code < FIRST_FREE_CODE) {
        m_out.Put(static_cast<unsigned char>(code));
        step.settled = true;
    } else if (m_copyLength[code] != 0) {
        CopyString(m_copyStart[code], m_copyLength[code]);
        step.settled = true;
    } else {
        sound = WalkString(code, false);
    }
    step.length = m_out.Used() - step.start;
    m_firstByte = m_out.Data()[step.start];
    return sound;
}

// The general expansion: from the code's entry along the prefixes to a
// one-byte entry, which gives the string's first byte.
bool LzwDecoder::WalkString(unsigned code, bool repeatFirstByte)
{
    unsigned char stack[LONGEST_STRING];
    std::size_t top = 0;
    if (repeatFirstByte)
        stack[top++] = m_firstByte;
    unsigned entry = code;
    while (m_prefix[entry] != NO_PREFIX) {
        if (top == LONGEST_STRING - 1)
            return false;
        stack[top++] = m_character[entry];
        entry = m_prefix[entry];
    }
    stack[top++] = m_character[entry];
    unsigned char* out = m_out.Cursor();
    for (std::size_t i = 0; i < top; ++i)
        out[i] = stack[top - 1 - i];
    m_out.Advance(top);
    return true;
}

// Copies an earlier string in whole blocks; the bytes written past its end are
// overwritten by the next string. The source ends before the cursor, so no
// block reads a byte of this string's own copy before that byte is right.
void LzwDecoder::CopyString(std::size_t start, std::size_t length)
{
    const unsigned char* from = m_out.Data() + start;
    unsigned char* to = m_out.Cursor();
    for (std::size_t done = 0; done < length; done += COPY_BLOCK)
        std::memcpy(to + done, from + done, COPY_BLOCK);
    m_out.Advance(length);
}

// The entry at the next free code: the previous code's string plus this
// step's first byte. When the previous step was settled, that string is the
// previous output followed by the first byte of this one, written right after it.
void LzwDecoder::DefineEntry()
{
    m_prefix[m_nextCode] = static_cast<std::uint16_t>(m_previousCode);
    m_character[m_nextCode] = m_firstByte;
    bool settled = m_nextCode != FIRST_FREE_CODE && m_previous.settled;
    m_copyStart[m_nextCode] = static_cast<std::uint32_t>(m_previous.start);
    m_copyLength[m_nextCode] = static_cast<std::uint16_t>(settled ? m_previous.length + 1 : 0);
}

// The run-length stage. A literal byte stands for itself; the escape 0x90
// followed by 0 is the byte 0x90, and followed by a count c it makes the last
// byte occur c times in a row, counting the copy already written.
class RunExpander {
public:
    RunExpander(const ByteBuffer& in, unsigned char* out, std::size_t total)
        : m_in(in.Data()), m_inSize(static_cast<std::size_t>(in.Size())), m_out(out), m_total(total)
    {
    }

    void Expand()
    {
        while (m_inPos < m_inSize && m_filled < m_total) {
            CopyLiterals();
            if (m_inPos < m_inSize && m_filled < m_total)
                ExpandEscape();
        }
        // Runs that end early leave the rest of the picture 0.
        std::memset(m_out + m_filled, 0, m_total - m_filled);
    }

private:
    // Copies the bytes up to the next escape, or until the picture is full.
    void CopyLiterals()
    {
        std::size_t span = m_inSize - m_inPos;
        if (span > m_total - m_filled)
            span = m_total - m_filled;
        const unsigned char* from = m_in + m_inPos;
        const auto* escape = static_cast<const unsigned char*>(std::memchr(from, RLE_ESCAPE, span));
        std::size_t count = escape != nullptr ? static_cast<std::size_t>(escape - from) : span;
        if (count == 0)
            return;
        std::memcpy(m_out + m_filled, from, count);
        m_last = from[count - 1];
        m_inPos += count;
        m_filled += count;
    }

    void ExpandEscape()
    {
        // An escape as the very last byte reads its missing count as 0.
        unsigned count = m_inPos + 1 < m_inSize ? m_in[m_inPos + 1] : 0;
        m_inPos = m_inPos + 2 < m_inSize ? m_inPos + 2 : m_inSize;
        if (count == 0) {
            m_out[m_filled++] = RLE_ESCAPE;
            m_last = RLE_ESCAPE;
            return;
        }
        std::size_t repeat = count - 1;
        if (repeat > m_total - m_filled)
            repeat = m_total - m_filled;
        std::memset(m_out + m_filled, m_last, repeat);
        m_filled += repeat;
    }

    const unsigned char* m_in;
    std::size_t m_inSize;
    std::size_t m_inPos = 0;
    unsigned char* m_out;
    std::size_t m_total;
    std::size_t m_filled = 0;
    // A repeat at the very start repeats the byte 0.
    unsigned char m_last = 0;
};

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
    LzwDecoder decoder(stream, writer);
    bool decoded = decoder.Decode(static_cast<std::size_t>(stream.Size()));
    writer.Finish();
    return decoded;
}

bool PicFile::ExpandRuns(int width, int height, const ByteBuffer& in, ByteBuffer& out)
{
    std::size_t total = PixelCount(width, height);
    out.SetSize(0);
    if (total == 0)
        return true;
    if (!out.SetSize(static_cast<int>(total)))
        return false;
    RunExpander(in, out.Data(), total).Expand();
    return true;
}
