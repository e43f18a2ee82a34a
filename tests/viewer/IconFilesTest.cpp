// The icon files the resource scripts take in: 16-colour images, 4 bits per
// pixel, of the sizes the viewer's window class and About box ask for, and
// the converter's in the same two sizes for Explorer; then, for Explorer's
// large views and displays of more than 96 DPI, 48 x 48 and 256 x 256 in
// 32-bit colour whose mask agrees with their alpha.
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

struct Image {
    unsigned size, bits;
};

// BITMAPINFOHEADER 40, for 4 bits 16 colours of 4 bytes, the colour rows
// and the 1-bit mask rows, both padded to 4 bytes.
unsigned ImageBytes(const Image& image)
{
    const unsigned table = image.bits == 4 ? 16 * 4 : 0;
    const unsigned colorRow = (image.size * image.bits + 31) / 32 * 4;
    const unsigned maskRow = (image.size + 31) / 32 * 4;
    return 40 + table + (colorRow + maskRow) * image.size;
}

// A 32-bit image's alpha and mask, pixel by pixel (rows bottom-up in both):
// the mask is set exactly where the alpha is 0, the drawing has see-through
// and opaque pixels, and more colours than 16, which its smoothed edges mix.
void ExpectAlphaAndMask(const Bytes& file, std::size_t offset, unsigned size)
{
    const std::size_t pixels = offset + 40, mask = pixels + std::size_t{size} * size * 4;
    const unsigned maskRow = (size + 31) / 32 * 4;
    unsigned clear = 0, opaque = 0, disagreeing = 0;
    std::set<std::uint32_t> colors;
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            const unsigned alpha = file[pixels + (std::size_t{y} * size + x) * 4 + 3];
            const bool masked = (file[mask + std::size_t{y} * maskRow + x / 8] & (0x80 >> x % 8)) != 0;
            clear += alpha == 0;
            opaque += alpha == 255;
            if (alpha != 0)
                colors.insert(U32At(file, pixels + (std::size_t{y} * size + x) * 4) & 0xFFFFFFu);
            disagreeing += masked != (alpha == 0);
        }
    EXPECT_EQ(disagreeing, 0u);
    EXPECT_GT(clear, 0u);
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_GT(colors.size(), 16u);
}

} // namespace

TEST(IconFiles, HoldTheSizesAndDepthsWindowsAsksFor)
{
    const std::vector<Image> full = {{32, 4}, {16, 4}, {48, 32}, {256, 32}};
    const struct {
        const char* name;
        std::vector<Image> images;
    } icons[] = {{"viewer/Lumbrel.ico", full}, {"viewer/LumbrelSmall.ico", {{16, 4}}}, {"converter/Cantrel.ico", full}};
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.name);
        Bytes file;
        ASSERT_TRUE(ReadBytes(std::string(CANTREL_SOURCE_DIR) + "/" + icon.name, file));
        // ICONDIR: reserved 0, type 1 (icon), image count.
        ASSERT_EQ(U16At(file, 0), 0u);
        ASSERT_EQ(U16At(file, 2), 1u);
        ASSERT_EQ(U16At(file, 4), icon.images.size());
        for (std::size_t i = 0; i < icon.images.size(); ++i) {
            const Image& image = icon.images[i];
            SCOPED_TRACE(image.size);
            // ICONDIRENTRY: width, height (256 written as 0), colour count (0
            // beyond 256), reserved, planes, bits per pixel, bytes, offset.
            const std::size_t entry = 6 + 16 * i;
            ASSERT_LT(entry + 16, file.size() + 1);
            EXPECT_EQ(file[entry], image.size % 256);
            EXPECT_EQ(file[entry + 1], image.size % 256);
            EXPECT_EQ(file[entry + 2], image.bits == 4 ? 16 : 0);
            EXPECT_EQ(U16At(file, entry + 4), 1u);
            EXPECT_EQ(U16At(file, entry + 6), image.bits);
            const unsigned bytes = U32At(file, entry + 8), offset = U32At(file, entry + 12);
            EXPECT_EQ(bytes, ImageBytes(image));
            ASSERT_LE(std::size_t{offset} + bytes, file.size());
            // BITMAPINFOHEADER: size 40, width, twice the height (colours and
            // mask), 1 plane, the bits, no compression.
            EXPECT_EQ(U32At(file, offset), 40u);
            EXPECT_EQ(U32At(file, offset + 4), image.size);
            EXPECT_EQ(U32At(file, offset + 8), 2 * image.size);
            EXPECT_EQ(U16At(file, offset + 12), 1u);
            EXPECT_EQ(U16At(file, offset + 14), image.bits);
            EXPECT_EQ(U32At(file, offset + 16), 0u);
            if (image.bits == 32 && bytes == ImageBytes(image))
                ExpectAlphaAndMask(file, offset, image.size);
        }
    }
}
