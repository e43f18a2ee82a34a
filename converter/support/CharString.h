// The converter's text string: NUL-terminated bytes in a ByteBuffer. File
// names, extensions, option words and the messages the converter collects all
// live in one. Nothing here depends on a locale: case changes touch A-Z only.
#pragma once

#include "converter/support/ByteBuffer.h"

class CharString {
public:
    CharString() = default;
    CharString(const char* text);
    CharString(const CharString& other);
    CharString& operator=(const CharString& other);
    CharString& operator=(const char* text);
    virtual ~CharString() = default;

    CharString& operator+=(const char* text);
    CharString& operator+=(const CharString& other);
    CharString& operator+=(char c);

    // A string without text equals both a null pointer and "".
    bool operator==(const char* text) const;
    bool operator!=(const char* text) const { return !(*this == text); }
    // False when either side has no block, even for two empty strings.
    bool operator==(const CharString& other) const;
    bool operator!=(const CharString& other) const { return !(*this == other); }
    // True when the text is exactly this one character.
    bool operator==(char c) const;
    bool operator!=(char c) const { return !(*this == c); }

    // Never null: "" when the string holds no block.
    const char* Text() const;
    int Length() const;
    bool IsEmpty() const { return Length() < 1; }
    void Empty() { m_buffer.Clear(); }
    // The byte at index, 0 outside the buffer.
    char CharAt(int index) const;
    // Ignored outside the text.
    void SetAt(int index, char c);

    void MakeLower();
    void MakeUpper();
    CharString ToLower() const;
    CharString ToUpper() const;

    // Indices of a character, -1 when absent (and always in an empty string).
    int Find(char c) const;
    int ReverseFind(char c) const;
    int FindFrom(char c, int start) const;

    CharString Mid(int start) const;
    CharString Mid(int start, int count) const;
    CharString Left(int count) const;
    CharString Right(int count) const;

    // The storage itself, for callers that care how much was reserved.
    const ByteBuffer& Buffer() const { return m_buffer; }

private:
    friend CharString& Format(CharString& target, const char* format, ...);

    void AppendBytes(const char* text, int length);

    ByteBuffer m_buffer;
};

// printf-style formatting into target. The buffer is sized before formatting:
// twice the format's length, at least 255 bytes. Longer output is cut to fit,
// never written past the buffer. A null format leaves target as it was.
CharString& Format(CharString& target, const char* format, ...) __attribute__((format(printf, 2, 3)));
