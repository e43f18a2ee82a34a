#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLRowSink.h"
#include "bitmap/PLTextException.h"
#include "platform/Platform.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

// What each file of the public BMP suite gives: a decoded image (0) or the
// code of the exception, first at the depth the converter asks for (8), then
// at the depth the file announces (32 for true colour). g/ holds valid files,
// q/ debatable ones, b/ damaged ones.
struct Outcome {
    int at8;
    int asAnnounced;
};
// clang-format off
const std::map<std::string, Outcome> EXPECTED = {
    {"g/pal1.bmp", {0, 0}}, {"g/pal1bg.bmp", {0, 0}}, {"g/pal1wb.bmp", {0, 0}}, {"g/pal4.bmp", {0, 0}},
    {"g/pal4rle.bmp", {0, 0}}, {"g/pal8-0.bmp", {0, 0}}, {"g/pal8.bmp", {0, 0}}, {"g/pal8nonsquare.bmp", {0, 0}},
    {"g/pal8os2.bmp", {0, 0}}, {"g/pal8rle.bmp", {0, 0}}, {"g/pal8topdown.bmp", {0, 0}}, {"g/pal8v4.bmp", {0, 0}},
    {"g/pal8v5.bmp", {0, 0}}, {"g/pal8w124.bmp", {0, 0}}, {"g/pal8w125.bmp", {0, 0}}, {"g/pal8w126.bmp", {0, 0}},
    // True colour is refused for the converter's depth and read at its own.
    {"g/rgb16-565.bmp", {6, 0}}, {"g/rgb16-565pal.bmp", {6, 0}}, {"g/rgb16.bmp", {6, 0}}, {"g/rgb24.bmp", {6, 0}},
    {"g/rgb24pal.bmp", {6, 0}}, {"g/rgb32.bmp", {6, 0}}, {"g/rgb32bf.bmp", {6, 0}},
    {"q/pal1p1.bmp", {0, 0}}, {"q/pal2.bmp", {2, 2}}, {"q/pal4rletrns.bmp", {6, 6}}, {"q/pal8offs.bmp", {0, 0}},
    {"q/pal8os2sp.bmp", {1, 1}}, {"q/pal8os2v2-16.bmp", {1, 1}}, {"q/pal8os2v2.bmp", {0, 0}},
    {"q/pal8oversizepal.bmp", {1, 1}}, {"q/pal8rletrns.bmp", {6, 6}},
    // Embedded JPEG and PNG pictures are not read.
    {"q/rgb24jpeg.bmp", {6, 6}}, {"q/rgb24png.bmp", {6, 6}},
    // Unusual masks, colour tables and profiles in true-colour files, and
    // alpha: all read (tests/bitmap/InteropTest.cpp says where ImageMagick
    // reads them otherwise).
    {"q/rgb16-231.bmp", {6, 0}}, {"q/rgb24largepal.bmp", {6, 0}}, {"q/rgb24lprof.bmp", {6, 0}},
    {"q/rgb24prof.bmp", {6, 0}}, {"q/rgb32-111110.bmp", {6, 0}}, {"q/rgb32bf-xbgr.bmp", {6, 0}},
    {"q/rgb32fakealpha.bmp", {6, 0}}, {"q/rgb32h52.bmp", {6, 0}}, {"q/rgba16-4444.bmp", {6, 0}},
    {"q/rgba32.bmp", {6, 0}}, {"q/rgba32abf.bmp", {6, 0}}, {"q/rgba32h56.bmp", {6, 0}},
    // A bit count of 30000 is announced as true colour, and no decoder reads it.
    {"b/badbitcount.bmp", {6, 2}}, {"b/badbitssize.bmp", {0, 0}}, {"b/baddens1.bmp", {0, 0}},
    {"b/baddens2.bmp", {0, 0}}, {"b/badfilesize.bmp", {0, 0}}, {"b/badheadersize.bmp", {0, 0}},
    {"b/badpalettesize.bmp", {1, 1}}, {"b/badplanes.bmp", {0, 0}}, {"b/badrle.bmp", {6, 6}},
    {"b/badwidth.bmp", {1, 1}}, {"b/pal8badindex.bmp", {0, 0}},
    // 3,000,000 x 2,000,000 at 24 bits in 24 KB.
    {"b/reallybig.bmp", {6, 11}}, {"b/rletopdown.bmp", {0, 0}}, {"b/shortfile.bmp", {11, 11}},
};
// clang-format on

// Decodes path at wantedDepth: 0 when it decoded, else the exception's code.
int DecodeOutcome(const std::string& path, int wantedDepth, PLMemBitmap& bitmap)
{
    try {
        PLBmpReader().DecodeFile(path.c_str(), bitmap, wantedDepth);
    } catch (const PLTextException& e) {
        EXPECT_GT(std::string(e.Text()).size(), 20u) << e.Text();
        return e.Code();
    }
    EXPECT_GT(bitmap.Width(), 0);
    EXPECT_GT(bitmap.Height(), 0);
    EXPECT_EQ(PixelsOf(bitmap).size(), static_cast<std::size_t>(bitmap.LineBytes() * bitmap.Height()));
    return 0;
}

// The rows of a true-colour file, each copied to its place.
class RowsInBitmap : public PLRowSink {
public:
    explicit RowsInBitmap(PLBitmap& bitmap) : m_bitmap(bitmap) {}
    void TakeRow(int y, const PLColor* pixels, int width) override
    {
        std::memcpy(m_bitmap.Lines()[y], pixels, static_cast<std::size_t>(width) * sizeof(PLColor));
    }

private:
    PLBitmap& m_bitmap;
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
            EXPECT_EQ(DecodeOutcome(folder + name, 8, bitmap), expected->second.at8);
            if (expected->second.at8 == 0) {
                EXPECT_EQ(bitmap.BitsPerPixel(), 8);
            }
            EXPECT_EQ(DecodeOutcome(folder + name, 0, bitmap), expected->second.asAnnounced);
            if (expected->second.asAnnounced != 0 || bitmap.BitsPerPixel() != 32)
                continue;
            // Row by row the same pixels come.
            Bytes whole = PixelsOf(bitmap);
            PLBmpReader reader;
            reader.OpenFile((folder + name).c_str());
            RowsInBitmap rows(bitmap);
            reader.DecodeRowsInto(rows);
            EXPECT_TRUE(PixelsOf(bitmap) == whole);
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
