// The LZW stage of a PIC image stream, pulled one run-length byte at a time:
// each code is expanded through its prefix chain onto a string stack, and the
// stack is handed out byte by byte in reading order.
#pragma once

#include "viewer/WordCodeSource.h"

#include <cstddef>
#include <cstdint>

class RunByteSource {
public:
    static constexpr std::size_t DICTIONARY_ENTRIES = 2048;
    // A valid string is at most 1,794 bytes (a full dictionary's longest entry
    // plus the repeated first byte of a code defined by itself); damaged data
    // can chain further or loop, and the walk stops when the stack is full.
    static constexpr std::size_t STACK_CAPACITY = 2 * DICTIONARY_ENTRIES;

    // stream: the image chunk's data from offset 4 on (MaxCodeWidth first).
    RunByteSource(const unsigned char* stream, std::size_t size);

    // False when the stream has run out.
    bool NextRunByte(unsigned char& value);

private:
    struct Entry {
        std::uint8_t character;
        std::uint16_t prefix;
    };
    static constexpr std::uint16_t NO_PREFIX = 0xFFFF;

    void ResetDictionary();
    bool ExpandNextCode();
    void PushString(std::uint16_t code);
    void Push(std::uint8_t value);

    WordCodeSource m_codes;
    unsigned m_maxWidth;
    unsigned m_width = 9;
    std::uint16_t m_mask = 511;
    std::uint16_t m_nextCode = 256;
    std::uint16_t m_previousCode = 0;
    std::uint8_t m_firstCharacter = 0;
    Entry m_dictionary[DICTIONARY_ENTRIES];
    std::uint8_t m_stack[STACK_CAPACITY];
    std::size_t m_stackSize = 0;
};
