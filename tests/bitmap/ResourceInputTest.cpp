// Windows only: a resource of this test program read as a data source.
#include "bitmap/PLResourceInput.h"
#include "bitmap/PLTextException.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Resource 1 (raw data) is g/pal8.bmp of the BMP suite; see BmpResources.rc.in.
constexpr int PAL8_RESOURCE = 1;

TEST(ResourceInput, DeliversTheResourceBytes)
{
    Bytes expected;
    ASSERT_TRUE(ReadBytes(FixturePath("bmpsuite/g/pal8.bmp"), expected));
    PLResourceInput source;
    ASSERT_EQ(source.Open(nullptr, PAL8_RESOURCE), 0);
    EXPECT_STREQ(source.Name(), "Resource: 1");
    // Resources are padded to a multiple of 4 bytes; the file's bytes come first.
    ASSERT_GE(source.Size(), static_cast<int>(expected.size()));
    const std::uint8_t* bytes = source.Read(static_cast<int>(expected.size()));
    EXPECT_EQ(Bytes(bytes, bytes + expected.size()), expected);
    EXPECT_THROW(source.Read(source.Remaining() + 1), PLTextException);
}

TEST(ResourceInput, AMissingResourceGivesFour)
{
    PLResourceInput source;
    EXPECT_EQ(source.Open(nullptr, 999), 4);
    EXPECT_EQ(source.Open(nullptr, PAL8_RESOURCE, "NOSUCHTYPE"), 4);
}

} // namespace
