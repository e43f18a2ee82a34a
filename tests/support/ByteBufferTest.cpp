#include "converter/support/ByteBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

void Fill(ByteBuffer& buffer, const char* text)
{
    buffer.Clear();
    buffer.Append(text, static_cast<int>(std::strlen(text)));
}

TEST(ByteBuffer, NewBufferHoldsNothing)
{
    ByteBuffer buffer;
    char byte = 'x';
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Size(), 0);
    EXPECT_EQ(buffer.Read(&byte, 1), 0);
    EXPECT_EQ(byte, 'x');
}

TEST(ByteBuffer, SetSizeAboveCapacityDoesNotKeepBytesButResizeDoes)
{
    ByteBuffer reset;
    Fill(reset, "abcd");
    ASSERT_EQ(reset.Capacity(), 4) << "Append of 4 bytes to an empty buffer allocates exactly 4";
    EXPECT_EQ(reset.SetSize(10), 1);
    EXPECT_EQ(reset.Size(), 10);
    EXPECT_EQ(reset.Capacity(), 10);

    ByteBuffer kept;
    Fill(kept, "abcd");
    EXPECT_EQ(kept.Resize(10), 1);
    EXPECT_EQ(kept.Capacity(), 10) << "twice 4 is not above 10";
    EXPECT_EQ(std::memcmp(kept.Data(), "abcd", 4), 0);

    ByteBuffer doubled;
    Fill(doubled, "abcd");
    EXPECT_EQ(doubled.Resize(5), 1);
    EXPECT_EQ(doubled.Capacity(), 8);
    EXPECT_EQ(std::memcmp(doubled.Data(), "abcd", 4), 0);
}

TEST(ByteBuffer, AppendsGrowByDoubling)
{
    ByteBuffer buffer;
    buffer.Append("abc", 3);
    EXPECT_EQ(buffer.Capacity(), 3);
    for (char c = 'd'; c <= 'z'; ++c)
        buffer.Append(&c, 1);
    EXPECT_EQ(buffer.Size(), 26);
    EXPECT_EQ(buffer.Capacity(), 48);
    EXPECT_EQ(std::memcmp(buffer.Data(), "abcdefghijklmnopqrstuvwxyz", 26), 0);
}

TEST(ByteBuffer, ReadStopsAtTheEnd)
{
    ByteBuffer buffer;
    Fill(buffer, "01234567");
    buffer.Position = 6;
    char out[10] = {};
    EXPECT_EQ(buffer.Read(out, 10), 2);
    EXPECT_EQ(std::string(out), "67");
    EXPECT_EQ(buffer.Read(out, 10), 0);
    EXPECT_EQ(buffer.Read(out, -3), 0);

    // A position left past the end by a shrinking SetSize reads nothing.
    buffer.Position = 8;
    buffer.SetSize(4);
    EXPECT_EQ(buffer.Read(out, 1), 0);
    EXPECT_EQ(buffer.Position, 8);
}

TEST(ByteBuffer, SeekClampsToTheData)
{
    struct SeekCase {
        int start, offset, origin, expected;
    };
    const SeekCase cases[] = {
        {0, 3, -1, 5},        // from the end
        {4, -20, 0, 0},       // before the start
        {0, 100, 1, 8},       // past the end
        {2, 3, 0, 5},         // from the current position
        {2, 7, 1, 7},         // absolute
        {5, 2147483647, 0, 8} // no overflow on the way
    };
    for (const SeekCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " offset " << c.offset << " origin " << c.origin);
        ByteBuffer buffer;
        Fill(buffer, "01234567");
        buffer.Position = c.start;
        EXPECT_EQ(buffer.Seek(c.offset, c.origin), c.expected);
        EXPECT_EQ(buffer.Position, c.expected);
    }
}

TEST(ByteBuffer, ClearResetsCursorAndGrowModeEvenWithoutABlock)
{
    ByteBuffer buffer;
    buffer.Position = 5;
    buffer.SetGrowMode(3);
    EXPECT_EQ(buffer.Clear(), 1);
    EXPECT_EQ(buffer.Position, 0);
    EXPECT_EQ(buffer.GrowMode, 1);
}

TEST(ByteBuffer, AssignIsADeepCopy)
{
    ByteBuffer source;
    Fill(source, "palette");
    ByteBuffer copy;
    copy.Assign(source);
    source.Data()[0] = 'P';
    EXPECT_EQ(copy.Size(), 7);
    EXPECT_EQ(std::memcmp(copy.Data(), "palette", 7), 0);
    copy.Assign(copy);
    EXPECT_EQ(std::memcmp(copy.Data(), "palette", 7), 0);

    ByteBuffer empty;
    copy.Assign(empty);
    EXPECT_EQ(copy.Size(), 0);
    EXPECT_TRUE(copy.Equals(empty));
}

TEST(ByteBuffer, RefusesImpossibleSizes)
{
    ByteBuffer buffer;
    Fill(buffer, "abcd");
    EXPECT_EQ(buffer.SetSize(-1), 0);
    EXPECT_EQ(buffer.Size(), 4);
    EXPECT_EQ(buffer.Extend(2147483647), 0);
}

TEST(ByteBuffer, FailedAllocationLeavesTheBufferEmpty)
{
    ByteBuffer buffer;
    Fill(buffer, "abcd");
    buffer.Position = 2;
    // Close to 2 GiB: on the 32-bit build this cannot be allocated; where it
    // can, the size must then be right.
    if (buffer.Resize(2147483000) == 0) {
        EXPECT_EQ(buffer.Data(), nullptr);
        EXPECT_EQ(buffer.Size(), 0);
        EXPECT_EQ(buffer.Capacity(), 0);
        EXPECT_EQ(buffer.Position, 2);
    } else {
        EXPECT_EQ(buffer.Size(), 2147483000);
    }
}

TEST(ByteBuffer, ResizeByFollowsTheGrowMode)
{
    struct GrowCase {
        int mode, n, increment, expectedCapacity;
    };
    const GrowCase cases[] = {
        {1, 9, 0, 16},    // doubled from 4 until at least 9
        {0, 9, 100, 104}, // additive
        {0, 9, 2, 9},     // additive, but at least n
        {2, 9, 20, 20},   // the increment itself
        {2, 9, 5, 9},     // raised to n
    };
    for (const GrowCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " n " << c.n << " increment " << c.increment);
        ByteBuffer buffer;
        Fill(buffer, "abcd");
        buffer.SetGrowMode(c.mode);
        EXPECT_EQ(buffer.ResizeBy(c.n, c.increment), 1);
        EXPECT_EQ(buffer.Capacity(), c.expectedCapacity);
        EXPECT_EQ(buffer.Size(), c.n);
        EXPECT_EQ(std::memcmp(buffer.Data(), "abcd", 4), 0);
    }
    ByteBuffer buffer;
    Fill(buffer, "abcd");
    EXPECT_EQ(buffer.ResizeBy(0, 0), 1);
    EXPECT_EQ(buffer.Data(), nullptr);
}

TEST(ByteBuffer, AdoptTakesOverABlockWithoutACopy)
{
    ByteBuffer buffer;
    buffer.Append("old", 3);
    buffer.Position = 2;
    std::unique_ptr<unsigned char[]> block(new unsigned char[5]{1, 2, 3, 4, 5});
    unsigned char* address = block.get();
    buffer.Adopt(std::move(block), 5);
    EXPECT_EQ(buffer.Data(), address);
    EXPECT_EQ(buffer.Size(), 5);
    EXPECT_EQ(buffer.Capacity(), 5);
    EXPECT_EQ(buffer.Position, 0);
    // The buffer owns it now: growing copies and frees it (the sanitizer
    // build checks the new[] / delete[] pairing).
    buffer.Append("6", 1);
    EXPECT_EQ(buffer.Size(), 6);
    EXPECT_EQ(buffer.Data()[4], 5);

    buffer.Adopt(nullptr, 10);
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Size(), 0);
}

TEST(ByteBuffer, ReserveKeepAndSwap)
{
    ByteBuffer a;
    Fill(a, "abc");
    EXPECT_EQ(a.ReserveMore(5), 1);
    EXPECT_EQ(a.Capacity(), 8);
    EXPECT_EQ(a.Size(), 3);
    EXPECT_EQ(std::memcmp(a.Data(), "abc", 3), 0);

    ByteBuffer b;
    EXPECT_EQ(b.ReserveKeep(6), 1);
    EXPECT_EQ(b.Size(), 0);
    b.Position = 1;
    a.Position = 2;
    EXPECT_TRUE(a.Swap(b));
    EXPECT_EQ(a.Size(), 0);
    EXPECT_EQ(b.Size(), 3);
    EXPECT_EQ(a.Position, 2) << "the cursor stays with its buffer";
    EXPECT_EQ(b.Position, 1);
}

} // namespace
