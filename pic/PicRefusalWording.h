// How a program words what PicFile refused: a table of its own, one entry a
// kind of refusal, each with the printf format of its text and the refusal's
// numbers that the format shows, in order. WordRefusal formats a refusal from
// such a table. The formats are not literals where they are formatted, so the
// compiler cannot match them against their arguments there; instead each
// program asserts CoversEveryRefusal of its table beside the table, and the
// compiler checks that every kind is worded once and every format fits the
// numbers its entry says it shows.
#pragma once

#include "converter/support/CharString.h"
#include "pic/PicRefusal.h"

#include <cstddef>

// The numbers a text shows, named with the conversions its format has for them.
enum class RefusalNumbers {
    SIZE,                   // width, height: %d %d
    SIZE_AND_LIMIT,         // width, height, and the longest side twice: %d %d %llu %llu
    BYTES_PLURAL,           // bytes, and "s" unless they are 1: %llu %s
    BYTES_PLURAL_AND_LIMIT, // bytes, "s" unless 1, and the limit: %llu %s %llu
    BYTES_AND_LIMIT,        // bytes and the limit: %llu %llu
    SYSTEM_ERROR,           // the system's words for systemError: %s
};

struct RefusalWording {
    PicRefusal::Kind kind;
    RefusalNumbers shows;
    const char* format;
};

// The text of refusal from table, formatted with the numbers its entry
// shows; empty for NONE, or for a kind the table does not word.
CharString WordRefusal(const PicRefusal& refusal, const RefusalWording* table, std::size_t entries);

template <std::size_t N>
CharString WordRefusal(const PicRefusal& refusal, const RefusalWording (&table)[N])
{
    return WordRefusal(refusal, table, N);
}

// The conversions that a format of these numbers has, in order.
constexpr const char* ConversionsFor(RefusalNumbers shows)
{
    switch (shows) {
    case RefusalNumbers::SIZE:
        return "%d%d";
    case RefusalNumbers::SIZE_AND_LIMIT:
        return "%d%d%llu%llu";
    case RefusalNumbers::BYTES_PLURAL:
        return "%llu%s";
    case RefusalNumbers::BYTES_PLURAL_AND_LIMIT:
        return "%llu%s%llu";
    case RefusalNumbers::BYTES_AND_LIMIT:
        return "%llu%llu";
    case RefusalNumbers::SYSTEM_ERROR:
        return "%s";
    }
    return "";
}

constexpr bool IsConversionLetter(char c)
{
    for (const char* letter = "diouxXeEfFgGaAcspn"; *letter != '\0'; ++letter) {
        if (*letter == c)
            return true;
    }
    return false;
}

// True when the conversions of format are exactly those of shows, in order and
// spelled alike ("%%" is a percent sign, no conversion).
constexpr bool FormatFits(const char* format, RefusalNumbers shows)
{
    const char* wanted = ConversionsFor(shows);
    for (const char* at = format; *at != '\0';) {
        if (*at++ != '%')
            continue;
        if (*at == '%') {
            ++at;
            continue;
        }
        // This conversion, from its '%' to its letter, is the next one wanted.
        if (*wanted++ != '%')
            return false;
        char c = 0;
        do {
            c = *at++;
            if (c == '\0' || c != *wanted++)
                return false;
        } while (!IsConversionLetter(c));
    }
    return *wanted == '\0';
}

// True when table words every kind but NONE exactly once, each entry with a
// format that fits the numbers it shows.
template <std::size_t N>
constexpr bool CoversEveryRefusal(const RefusalWording (&table)[N])
{
    for (int kind = PicRefusal::NONE + 1; kind < PicRefusal::KINDS; ++kind) {
        int entries = 0;
        for (const RefusalWording& wording : table)
            entries += wording.kind == kind ? 1 : 0;
        if (entries != 1)
            return false;
    }
    for (const RefusalWording& wording : table) {
        if (wording.kind == PicRefusal::NONE || wording.format == nullptr || !FormatFits(wording.format, wording.shows))
            return false;
    }
    return true;
}
