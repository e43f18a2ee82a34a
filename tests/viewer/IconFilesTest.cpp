// The icon files the resource scripts take in: 16-colour images, 4 bits per
// pixel, of the sizes the viewer's window class and About box ask for, and
// the converter's in the same two sizes for Explorer.
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// BITMAPINFOHEADER 40, 16 colours of 4 bytes, 4-bit rows and 1-bit mask
// rows, both padded to 4 bytes: 32 x 32 has rows of 16 and 4 bytes, 16 x 16
// rows of 8 and 4.
constexpr unsigned BYTES_32 = 40 + 64 + 32 * 16 + 32 * 4;
constexpr unsigned BYTES_16 = 40 + 64 + 16 * 8 + 16 * 4;

} // namespace

TEST(IconFiles, AreSixteenColorIconsOfTheRightSizes)
{
    const struct {
        const char* name;
        std::vector<unsigned> sizes;
    } icons[] = {
        {"viewer/Lumbrel.ico", {32, 16}}, {"viewer/LumbrelSmall.ico", {16}}, {"converter/Cantrel.ico", {32, 16}}};
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.name);
        Bytes file;
        ASSERT_TRUE(ReadBytes(std::string(CANTREL_SOURCE_DIR) + "/" + icon.name, file));
        // ICONDIR: reserved 0, type 1 (icon), image count.
        ASSERT_EQ(U16At(file, 0), 0u);
        ASSERT_EQ(U16At(file, 2), 1u);
        ASSERT_EQ(U16At(file, 4), icon.sizes.size());
        for (std::size_t i = 0; i < icon.sizes.size(); ++i) {
            SCOPED_TRACE(icon.sizes[i]);
            // ICONDIRENTRY: width, height, colour count, reserved, planes,
            // bits per pixel, bytes, offset.
            const std::size_t entry = 6 + 16 * i;
            const unsigned size = icon.sizes[i];
            ASSERT_LT(entry + 16, file.size() + 1);
            EXPECT_EQ(file[entry], size);
            EXPECT_EQ(file[entry + 1], size);
            EXPECT_EQ(file[entry + 2], 16);
            EXPECT_EQ(U16At(file, entry + 4), 1u);
            EXPECT_EQ(U16At(file, entry + 6), 4u);
            const unsigned bytes = U32At(file, entry + 8), offset = U32At(file, entry + 12);
            EXPECT_EQ(bytes, size == 32 ? BYTES_32 : BYTES_16);
            ASSERT_LE(std::size_t{offset} + bytes, file.size());
            // BITMAPINFOHEADER: size 40, width, twice the height (colours and
            // mask), 1 plane, 4 bits, no compression.
            EXPECT_EQ(U32At(file, offset), 40u);
            EXPECT_EQ(U32At(file, offset + 4), size);
            EXPECT_EQ(U32At(file, offset + 8), 2 * size);
            EXPECT_EQ(U16At(file, offset + 12), 1u);
            EXPECT_EQ(U16At(file, offset + 14), 4u);
            EXPECT_EQ(U32At(file, offset + 16), 0u);
        }
    }
}
