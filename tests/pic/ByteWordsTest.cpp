// The eight-bytes-at-a-time helpers the codec steps over plain stretches
// with: a wrong mark here makes a run or an escape go unseen.
#include "pic/ByteWords.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint64_t TOP_BITS = 0x8080808080808080ull;

// Builds a word from its eight bytes, lowest address first.
std::uint64_t Word(const unsigned char (&bytes)[8])
{
    return LoadLittle64(bytes);
}

TEST(ByteWords, MarksExactlyTheZeroBytes)
{
    struct Case {
        const char* name;
        unsigned char bytes[8];
        std::uint64_t zeros;
    };
    // The bytes around the carry of the trick: 0x00, 0x01, 0x7F, 0x80, 0x81, 0xFF.
    const Case cases[] = {
        {"no zero", {1, 2, 0x7F, 0x80, 0x81, 0xFF, 0x10, 0x90}, 0},
        {"all zero", {0, 0, 0, 0, 0, 0, 0, 0}, TOP_BITS},
        {"a zero after 0x80 and before 0x01", {0x80, 0, 0x01, 5, 5, 5, 5, 5}, 0x8000},
        {"zeros at both ends", {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}, 0x8000000000000080ull},
        {"0x80 is not zero", {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, 0},
        {"zeros between 0x7F and 0x81", {0x7F, 0, 0x81, 0, 0x7F, 0, 0x81, 0}, 0x8000800080008000ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ZeroBytes(Word(c.bytes)), c.zeros);
        EXPECT_EQ(NonZeroBytes(Word(c.bytes)), c.zeros ^ TOP_BITS);
    }
}

TEST(ByteWords, FindsTheFirstMarkedByte)
{
    // One mark in every place, then every later place marked as well: the
    // lowest address counts, whatever follows it.
    for (unsigned first = 0; first < 8; ++first) {
        SCOPED_TRACE(first);
        std::uint64_t only = std::uint64_t{0x80} << (8 * first);
        std::uint64_t andLater = TOP_BITS << (8 * first);
        EXPECT_EQ(FirstMarkedByte(only), first);
        EXPECT_EQ(FirstMarkedByte(andLater), first);
        EXPECT_EQ(FirstMarkedByte(only | 0x8000000000000000ull), first);
    }
}

} // namespace
