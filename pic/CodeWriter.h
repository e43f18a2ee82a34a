// Packs LZW codes least-significant bit first into a BufferWriter: each code
// continues in the unused high bits of the byte before it.
#pragma once

#include "pic/BufferWriter.h"

#include <cstdint>

class CodeWriter {
public:
    explicit CodeWriter(BufferWriter& out) : m_out(out) {}

    // A code of up to 32 bits; false when the output cannot grow.
    bool Write(std::uint32_t code, unsigned width)
    {
        // Eight bytes are stored whatever the width; the ones past the last
        // complete byte are rewritten by the next code or dropped by Finish.
        if (!m_out.MakeRoom(8))
            return false;
        m_pending |= std::uint64_t{code} << m_pendingBits;
        m_pendingBits += width;
        StoreEight(m_out.Cursor(), m_pending);
        unsigned wholeBytes = m_pendingBits >> 3;
        m_out.Advance(wholeBytes);
        m_pending >>= 8 * wholeBytes; // at most 39 bits were pending, so at most 4 bytes go
        m_pendingBits &= 7;
        return true;
    }

    // Ends the stream with the byte holding the last code's top bit, its
    // unused high bits 0.
    bool Flush()
    {
        if (m_pendingBits == 0)
            return true;
        if (!m_out.MakeRoom(1))
            return false;
        m_out.Put(static_cast<unsigned char>(m_pending));
        m_pending = 0;
        m_pendingBits = 0;
        return true;
    }

private:
    static void StoreEight(unsigned char* p, std::uint64_t value)
    {
        for (int i = 0; i < 8; ++i)
            p[i] = static_cast<unsigned char>(value >> (8 * i));
    }

    BufferWriter& m_out;
    std::uint64_t m_pending = 0;
    unsigned m_pendingBits = 0;
};
