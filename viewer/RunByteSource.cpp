#include "viewer/RunByteSource.h"

RunByteSource::RunByteSource(const unsigned char* stream, std::size_t size) : m_codes(stream, size)
{
    // The stream names the widest code it uses; wider than 11 bits cannot be
    // stored, so such a value counts as 11. (It is 0 for an empty stream,
    // which yields no code anyway.)
    const unsigned declared = size > 0 ? stream[0] : 0;
    m_maxWidth = declared > WordCodeSource::MAX_CODE_WIDTH ? WordCodeSource::MAX_CODE_WIDTH : declared;
    ResetDictionary();
}

void RunByteSource::ResetDictionary()
{
    for (std::size_t i = 0; i < DICTIONARY_ENTRIES; ++i)
        m_dictionary[i] = Entry{static_cast<std::uint8_t>(i), NO_PREFIX};
    m_width = 9;
    m_mask = 511;
    m_nextCode = 256;
}

bool RunByteSource::NextRunByte(unsigned char& value)
{
    if (m_stackSize == 0 && !ExpandNextCode())
        return false;
    value = m_stack[--m_stackSize];
    return true;
}

bool RunByteSource::ExpandNextCode()
{
    std::uint16_t code = 0;
    if (!m_codes.NextCode(m_width, code))
        return false;
    std::uint16_t remembered = code;
    if (code >= m_nextCode) {
        // The code the encoder defined in this very step (or, in damaged
        // data, one beyond): the previous string plus its own first byte.
        Push(m_firstCharacter);
        remembered = m_nextCode;
        code = m_previousCode;
    }
    PushString(code);
    m_dictionary[m_nextCode] = Entry{m_firstCharacter, m_previousCode};
    m_previousCode = remembered;
    if (++m_nextCode > m_mask) {
        ++m_width;
        m_mask = static_cast<std::uint16_t>(m_mask * 2 + 1);
    }
    // The viewer starts a new dictionary cycle as soon as the width passes the
    // stream's own MaxCodeWidth (not a fixed 11 bits); for files written with
    // 11 this is the same point.
    if (m_width > m_maxWidth)
        ResetDictionary();
    return true;
}

void RunByteSource::PushString(std::uint16_t code)
{
    // The stack fills last byte first, so popping hands out reading order.
    // One slot stays free for the first byte; a chain that would need more
    // (a loop or a chain longer than any dictionary) is cut there.
    std::uint16_t entry = code;
    while (m_dictionary[entry].prefix != NO_PREFIX && m_stackSize + 1 < STACK_CAPACITY) {
        Push(m_dictionary[entry].character);
        entry = m_dictionary[entry].prefix;
    }
    m_firstCharacter = m_dictionary[entry].character;
    Push(m_firstCharacter);
}

void RunByteSource::Push(std::uint8_t value)
{
    if (m_stackSize < STACK_CAPACITY)
        m_stack[m_stackSize++] = value;
}
