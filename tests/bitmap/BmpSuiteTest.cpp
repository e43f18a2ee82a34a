#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "platform/Platform.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// What each file of the public BMP suite gives: a decoded image (0) or the
// code of the exception. g/ holds valid files, q/ debatable ones, b/ damaged ones.
const std::map<std::string, int> EXPECTED = {
    {"g/pal1.bmp", 0}, {"g/pal1bg.bmp", 0}, {"g/pal1wb.bmp", 0}, {"g/pal4.bmp", 0}, {"g/pal4rle.bmp", 0},
    {"g/pal8-0.bmp", 0}, {"g/pal8.bmp", 0}, {"g/pal8nonsquare.bmp", 0}, {"g/pal8os2.bmp", 0},
    {"g/pal8rle.bmp", 0}, {"g/pal8topdown.bmp", 0}, {"g/pal8v4.bmp", 0}, {"g/pal8v5.bmp", 0},
    {"g/pal8w124.bmp", 0}, {"g/pal8w125.bmp", 0}, {"g/pal8w126.bmp", 0},
    // True colour is refused for the depth.
    {"g/rgb16-565.bmp", 6}, {"g/rgb16-565pal.bmp", 6}, {"g/rgb16.bmp", 6}, {"g/rgb24.bmp", 6},
    {"g/rgb24pal.bmp", 6}, {"g/rgb32.bmp", 6}, {"g/rgb32bf.bmp", 6},
    {"q/pal1p1.bmp", 0}, {"q/pal2.bmp", 2}, {"q/pal4rletrns.bmp", 6}, {"q/pal8offs.bmp", 0},
    {"q/pal8os2sp.bmp", 1}, {"q/pal8os2v2-16.bmp", 1}, {"q/pal8os2v2.bmp", 0}, {"q/pal8oversizepal.bmp", 1},
    {"q/pal8rletrns.bmp", 6}, {"q/rgb16-231.bmp", 6}, {"q/rgb24jpeg.bmp", 2}, {"q/rgb24largepal.bmp", 6},
    {"q/rgb24lprof.bmp", 6}, {"q/rgb24png.bmp", 2}, {"q/rgb24prof.bmp", 6}, {"q/rgb32-111110.bmp", 6},
    {"q/rgb32bf-xbgr.bmp", 6}, {"q/rgb32fakealpha.bmp", 6}, {"q/rgb32h52.bmp", 6}, {"q/rgba16-4444.bmp", 6},
    {"q/rgba32.bmp", 6}, {"q/rgba32abf.bmp", 6}, {"q/rgba32h56.bmp", 6},
    {"b/badbitcount.bmp", 6}, {"b/badbitssize.bmp", 0}, {"b/baddens1.bmp", 0}, {"b/baddens2.bmp", 0},
    {"b/badfilesize.bmp", 0}, {"b/badheadersize.bmp", 0}, {"b/badpalettesize.bmp", 1}, {"b/badplanes.bmp", 0},
    {"b/badrle.bmp", 6}, {"b/badwidth.bmp", 1}, {"b/pal8badindex.bmp", 0}, {"b/reallybig.bmp", 6},
    {"b/rletopdown.bmp", 0}, {"b/shortfile.bmp", 11},
};

TEST(BmpSuite, EveryFileDecodesOrFailsWithAClearText)
{
    int files = 0;
    for (const char* group : {"g", "q", "b"}) {
        std::string folder = FixturePath(std::string("bmpsuite/") + group + "/");
        for (const std::string& name : Platform::FindMatches((folder + "*.bmp").c_str())) {
            std::string key = std::string(group) + "/" + name;
            SCOPED_TRACE(key);
            ++files;
            auto expected = EXPECTED.find(key);
            ASSERT_NE(expected, EXPECTED.end()) << "a suite file without an expected outcome";
            PLMemBitmap bitmap;
            try {
                PLBmpReader().DecodeFile((folder + name).c_str(), bitmap, 8);
                EXPECT_EQ(expected->second, 0) << "decoded";
                EXPECT_EQ(bitmap.BitsPerPixel(), 8);
                EXPECT_GT(bitmap.Width(), 0);
                EXPECT_GT(bitmap.Height(), 0);
                EXPECT_EQ(PixelsOf(bitmap).size(), static_cast<std::size_t>(bitmap.Width() * bitmap.Height()));
            } catch (const PLTextException& e) {
                EXPECT_EQ(e.Code(), expected->second) << e.Text();
                EXPECT_GT(std::string(e.Text()).size(), 20u) << e.Text();
            }
        }
    }
    EXPECT_EQ(files, static_cast<int>(EXPECTED.size())) << "every suite file was found";
}

TEST(BmpSuite, ValidFilesAgreeWithEachOther)
{
    // The 8-bit variants all show the same picture: header versions, OS/2
    // headers, RLE and top-down rows must not change a pixel.
    PLMemBitmap reference;
    PLBmpReader().DecodeFile(FixturePath("bmpsuite/g/pal8.bmp").c_str(), reference, 8);
    Bytes expectedColors;
    for (int y = 0; y < reference.Height(); ++y)
        for (int x = 0; x < reference.Width(); ++x) {
            const PLColor& c = reference.ColorTable()[reference.Lines()[y][x]];
            expectedColors.insert(expectedColors.end(), {c.r, c.g, c.b});
        }
    // pal8offs.bmp has a gap before its rows, pal8os2v2.bmp a 64-byte OS/2 header.
    for (const char* name : {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp", "g/pal8v4.bmp",
                             "g/pal8v5.bmp", "q/pal8offs.bmp", "q/pal8os2v2.bmp"}) {
        SCOPED_TRACE(name);
        PLMemBitmap bitmap;
        PLBmpReader().DecodeFile(FixturePath(std::string("bmpsuite/") + name).c_str(), bitmap, 8);
        ASSERT_EQ(bitmap.Size(), reference.Size());
        Bytes colors;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x) {
                const PLColor& c = bitmap.ColorTable()[bitmap.Lines()[y][x]];
                colors.insert(colors.end(), {c.r, c.g, c.b});
            }
        EXPECT_EQ(colors, expectedColors);
    }
}

} // namespace
