// Numbers in the files' byte order, least significant byte first: a byte in
// the wrong place scrambles every size, offset and palette entry read or
// written with these.
#include "converter/support/LittleEndian.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Bytes whose every position holds a different value, and with the top bit
// set in the upper half, so that a swapped byte or a sign that spreads shows.
const unsigned char BYTES[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

TEST(LittleEndian, LoadsTheLowestAddressAsTheLeastSignificantByte)
{
    EXPECT_EQ(LoadLittle16(BYTES), 0x2301u);
    EXPECT_EQ(LoadLittle32(BYTES), 0x67452301u);
    EXPECT_EQ(LoadLittle64(BYTES), 0xEFCDAB8967452301ull);
    EXPECT_EQ(LoadLittle16(BYTES + 6), 0xEFCDu);
    EXPECT_EQ(LoadLittle32(BYTES + 4), 0xEFCDAB89u);
}

TEST(LittleEndian, LoadsSignedNumbersInTwosComplement)
{
    struct Case {
        unsigned char bytes[4];
        std::int16_t low16;
        std::int32_t all32;
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x00, 0x00}, 0, 0},
        {{0xFF, 0xFF, 0xFF, 0xFF}, -1, -1},
        {{0xFF, 0x7F, 0xFF, 0x7F}, 32767, 2147450879},
        {{0x00, 0x80, 0x00, 0x80}, -32768, -2147450880},
        {{0x38, 0xFF, 0xFF, 0xFF}, -200, -200}, // a top-down BMP's height
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.all32);
        EXPECT_EQ(LoadLittleSigned16(c.bytes), c.low16);
        EXPECT_EQ(LoadLittleSigned32(c.bytes), c.all32);
    }
}

TEST(LittleEndian, StoresWhatItLoadsAndTouchesNoOtherByte)
{
    struct Case {
        const char* name;
        unsigned width;
        void (*store)(unsigned char*);
    };
    const Case cases[] = {
        {"16 bits", 2, [](unsigned char* p) { StoreLittle16(p, 0x2301); }},
        {"32 bits", 4, [](unsigned char* p) { StoreLittle32(p, 0x67452301u); }},
        {"64 bits", 8, [](unsigned char* p) { StoreLittle64(p, 0xEFCDAB8967452301ull); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unsigned char stored[10];
        for (unsigned char& byte : stored)
            byte = 0x5A;
        c.store(stored + 1);
        EXPECT_EQ(stored[0], 0x5A) << "the byte before";
        for (unsigned i = 0; i < c.width; ++i)
            EXPECT_EQ(stored[1 + i], BYTES[i]) << "byte " << i;
        EXPECT_EQ(stored[1 + c.width], 0x5A) << "the byte after";
    }
}

} // namespace
