// Packs LZW codes least-significant bit first: each code continues in the
// unused high bits of the byte before it. A small value kept in a local
// variable by the encoder; the bytes go to a cursor the caller owns.
#pragma once

#include "converter/support/LittleEndian.h"

#include <cstdint>

class CodeWriter {
public:
    // Room the caller keeps at the cursor before every Write.
    static constexpr unsigned ROOM = 8;

    // A code of up to 32 bits. Returns the cursor past the bytes it completed;
    // the bytes after them are scratch, rewritten by the next code or Flush.
    unsigned char* Write(unsigned char* at, std::uint32_t code, unsigned width)
    {
        m_pending |= std::uint64_t{code} << m_pendingBits;
        m_pendingBits += width;
        StoreLittle64(at, m_pending);
        unsigned wholeBytes = m_pendingBits >> 3;
        m_pending >>= 8 * wholeBytes; // at most 39 bits were pending, so at most 4 bytes go
        m_pendingBits &= 7;
        return at + wholeBytes;
    }

    // Ends the stream with the byte holding the last code's top bit, its
    // unused high bits 0 (already stored by the last Write).
    unsigned char* Flush(unsigned char* at) const { return m_pendingBits > 0 ? at + 1 : at; }

private:
    std::uint64_t m_pending = 0;
    unsigned m_pendingBits = 0;
};
