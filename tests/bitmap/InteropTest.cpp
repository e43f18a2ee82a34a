// Checks the reader and the writer against independent peers, run at test
// time: ImageMagick (convert-im6.q16, mogrify-im6.q16) and netpbm (ppmtobmp).
// A missing tool fails the test; nothing is skipped.
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "platform/Platform.h"
#include "tests/bitmap/BmpTestSupport.h"
#include "tests/common/PeerTools.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

// The colours of a decoded 8-bit bitmap: RGB of colourTable[index] per pixel.
Bytes ColorsOf(const PLBitmap& bitmap)
{
    Bytes rgb;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const PLColor& c = bitmap.ColorTable()[bitmap.Lines()[y][x]];
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    return rgb;
}

// Every .bmp in bmpFolder decodes to the colours ImageMagick reads from it,
// or from the file reference names for it.
int ExpectSameColorsAsImageMagick(const ScratchFolder& folder, const std::string& bmpFolder,
                                  std::string (*reference)(const std::string& name) = nullptr)
{
    int files = 0;
    for (const std::string& name : Platform::FindMatches((bmpFolder + "/*.bmp").c_str())) {
        SCOPED_TRACE(name);
        ++files;
        PLMemBitmap bitmap;
        try {
            PLBmpReader().DecodeFile((bmpFolder + "/" + name).c_str(), bitmap, 8);
        } catch (const PLTextException& e) {
            ADD_FAILURE() << "refused: " << e.Text();
            continue;
        }
        RgbImage theirs;
        std::string base = name.substr(0, name.size() - 4);
        if (reference != nullptr)
            base = reference(base);
        if (!ReadPpm(folder / ("ppm/" + base + ".ppm"), theirs)) {
            ADD_FAILURE() << "no PPM from ImageMagick";
            continue;
        }
        if (bitmap.Size() != PLPoint{theirs.width, theirs.height}) {
            ADD_FAILURE() << "size " << bitmap.Width() << " x " << bitmap.Height() << ", ImageMagick reads "
                          << theirs.width << " x " << theirs.height;
            continue;
        }
        Bytes ours = ColorsOf(bitmap);
        EXPECT_TRUE(ours == theirs.rgb) << "first difference at " << FirstDifference(ours, theirs.rgb, theirs.width);
    }
    return files;
}

TEST(Interop, GoodSuiteFilesDecodeToImageMagicksColors)
{
    ScratchFolder folder;
    std::string suite = FixturePath("bmpsuite/g");
    ASSERT_TRUE(RunScript(folder, "mkdir -p bmp\ncp '" + suite + "'/pal*.bmp bmp/\n"));
    ASSERT_TRUE(ConvertAllToPpm(folder, "bmp"));
    EXPECT_EQ(ExpectSameColorsAsImageMagick(folder, folder / "bmp"), 16) << "the suite's 1-, 4- and 8-bit files";
}

TEST(Interop, QuestionableSuiteFilesWeDecodeAgreeWithImageMagick)
{
    // pal8offs.bmp keeps a gap between its colour table and its rows, which
    // only its data offset tells; pal1p1.bmp has a one-entry table. (The
    // 64-byte header of pal8os2v2.bmp ImageMagick reads with 3-byte colour
    // entries: that file is held against pal8.bmp instead.)
    ScratchFolder folder;
    std::string suite = FixturePath("bmpsuite/q");
    ASSERT_TRUE(RunScript(folder, "mkdir -p bmp\ncp '" + suite + "'/pal8offs.bmp '" + suite + "'/pal1p1.bmp bmp/\n"));
    ASSERT_TRUE(ConvertAllToPpm(folder, "bmp"));
    EXPECT_EQ(ExpectSameColorsAsImageMagick(folder, folder / "bmp"), 2);
}

TEST(Interop, NetpbmFilesDecodeToImageMagicksColors)
{
    ScratchFolder folder;
    std::string script = "mkdir -p bmp\n";
    for (int width = 1; width <= 17; ++width) {
        std::string w = std::to_string(width);
        std::string size = w + "x" + std::to_string(3 + width % 5);
        // Sources of at most 2, 16 and 200 colours; ppmtobmp writes what they need.
        script += "convert-im6.q16 -size " + size + " -seed " + w + " plasma: -colors 2 ppm:c2.ppm\n";
        script += "convert-im6.q16 -size " + size + " -seed " + w + " plasma: -colors 16 ppm:c16.ppm\n";
        script += "convert-im6.q16 -size " + size + " -seed " + w + " plasma: -colors 200 ppm:c200.ppm\n";
        for (const char* header : {"-windows", "-os2"}) {
            std::string tag = std::string(header + 1) + "-" + w;
            script += "ppmtobmp " + std::string(header) + " -bpp 1 c2.ppm > bmp/" + tag + "-1.bmp\n";
            script += "ppmtobmp " + std::string(header) + " -bpp 4 c16.ppm > bmp/" + tag + "-4.bmp\n";
            script += "ppmtobmp " + std::string(header) + " -bpp 8 c200.ppm > bmp/" + tag + "-8.bmp\n";
        }
    }
    ASSERT_TRUE(RunScript(folder, script));
    ASSERT_TRUE(ConvertAllToPpm(folder, "bmp"));
    EXPECT_EQ(ExpectSameColorsAsImageMagick(folder, folder / "bmp"), 17 * 6);
}

// ImageMagick misreads its own RLE8 files of widths 1 and 2 (it writes runs
// over the padded row and its reader then loses the row's pixels), so a
// compressed file is held against ImageMagick's reading of its uncompressed
// twin, quantised from the same source the same way.
std::string UncompressedTwin(const std::string& name)
{
    if (name.rfind("rle8-", 0) == 0)
        return "bmp3-" + name.substr(5) + "-8";
    if (name == "big-rle")
        return "big";
    return name;
}

TEST(Interop, ImageMagickFilesDecodeToItsOwnColors)
{
    ScratchFolder folder;
    std::string script = "mkdir -p bmp\n";
    for (int width = 1; width <= 17; ++width) {
        std::string w = std::to_string(width);
        std::string source = "-size " + w + "x" + std::to_string(2 + width % 7) + " -seed " + w + " plasma:";
        // 1, 4 and 8 bits uncompressed, RLE8, and the 12-byte OS/2 header of BMP2.
        script += "convert-im6.q16 " + source + " -colors 2 -type Palette BMP3:bmp/bmp3-" + w + "-1.bmp\n";
        script += "convert-im6.q16 " + source + " -colors 16 -type Palette BMP3:bmp/bmp3-" + w + "-4.bmp\n";
        script +=
            "convert-im6.q16 " + source + " -colors 200 -type Palette -compress none BMP3:bmp/bmp3-" + w + "-8.bmp\n";
        script +=
            "convert-im6.q16 " + source + " -colors 200 -type Palette -compress RLE BMP3:bmp/rle8-" + w + ".bmp\n";
        script += "convert-im6.q16 " + source + " -colors 7 -type Palette BMP2:bmp/bmp2-" + w + "-4.bmp\n";
        script += "convert-im6.q16 " + source + " -colors 100 -type Palette BMP2:bmp/bmp2-" + w + "-8.bmp\n";
    }
    script +=
        "convert-im6.q16 -size 1024x768 -seed 3 plasma: -colors 256 -type Palette -compress none BMP3:bmp/big.bmp\n";
    script += "convert-im6.q16 bmp/big.bmp -compress RLE BMP3:bmp/big-rle.bmp\n";
    ASSERT_TRUE(RunScript(folder, script));
    ASSERT_TRUE(ConvertAllToPpm(folder, "bmp"));
    EXPECT_EQ(ExpectSameColorsAsImageMagick(folder, folder / "bmp", UncompressedTwin), 17 * 6 + 2);

    // The compressed files really are RLE8: compression field 1 at offset 30.
    for (const char* name : {"big-rle.bmp", "rle8-17.bmp"}) {
        Bytes file;
        ASSERT_TRUE(ReadBytes(folder / ("bmp/" + std::string(name)), file));
        ASSERT_GT(file.size(), 34u);
        EXPECT_EQ(file[30], 1) << name;
    }
}

// An RGBA picture, four bytes a pixel, rows top-down.
struct RgbaImage {
    int width = 0;
    int height = 0;
    Bytes rgba;
};

// ImageMagick's reading of path at 8 bits a channel; false when it cannot
// read the file.
bool ReadRgbaWithImageMagick(const ScratchFolder& folder, const std::string& path, RgbaImage& image)
{
    if (!RunScript(folder, "rm -f im.rgba im.size\nconvert-im6.q16 '" + path +
                               "' -depth 8 -format '%w %h' -write info:im.size rgba:im.rgba || true\n"))
        return false;
    Bytes size;
    if (!ReadBytes(folder / "im.size", size) || !ReadBytes(folder / "im.rgba", image.rgba))
        return false;
    std::string text(size.begin(), size.end());
    return std::sscanf(text.c_str(), "%d %d", &image.width, &image.height) == 2 &&
           image.rgba.size() == 4 * static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

// Our reading of a true-colour file at 32 bits, as RGBA.
bool DecodeRgba(const std::string& path, RgbaImage& image, PLBmpReader::ChannelBits& bits)
{
    PLMemBitmap bitmap;
    try {
        PLBmpReader reader;
        reader.OpenFile(path.c_str());
        bits = reader.Channels();
        reader.DecodeInto(bitmap, 32);
    } catch (const PLTextException& e) {
        ADD_FAILURE() << "refused: " << e.Text();
        return false;
    }
    image.width = bitmap.Width();
    image.height = bitmap.Height();
    image.rgba.clear();
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint8_t* p = bitmap.Lines()[y] + 4 * x;
            image.rgba.insert(image.rgba.end(), {p[2], p[1], p[0], p[3]});
        }
    return true;
}

std::size_t FirstByteDifference(const RgbaImage& ours, const RgbaImage& theirs)
{
    std::size_t i = 0;
    while (i < ours.rgba.size() && i < theirs.rgba.size() && ours.rgba[i] == theirs.rgba[i])
        ++i;
    return i;
}

// How our reading of a true-colour file stands to ImageMagick's.
enum class Agreement {
    SAME,
    // ImageMagick shifts a channel of n < 8 bits up without repeating its
    // bits (a 4-bit 15 becomes 240, not 255): the top n bits agree.
    SAME_FILE_BITS,
    // ImageMagick rounds a channel of 10 or 11 bits; we keep its top 8 bits.
    WITHIN_ONE,
    // ImageMagick takes the fourth byte of an uncompressed 32-bit pixel as
    // alpha; it is padding, and our pixels are opaque.
    SAME_COLORS_OPAQUE,
    // ImageMagick cannot read the file; it holds the picture of another
    // suite file, which ImageMagick reads.
    AS_OTHER_FILE,
};

// Our reading of path against ImageMagick's (of other, when ImageMagick
// cannot read path itself), as agreement says they stand.
void ExpectAsImageMagickReads(const ScratchFolder& folder, const std::string& path, Agreement agreement,
                              const std::string& other = "")
{
    RgbaImage ours;
    PLBmpReader::ChannelBits bits;
    if (!DecodeRgba(path, ours, bits))
        return;
    RgbaImage theirs;
    bool theyRead = ReadRgbaWithImageMagick(folder, path, theirs);
    if (agreement == Agreement::AS_OTHER_FILE) {
        EXPECT_FALSE(theyRead) << "ImageMagick reads it now: compare with the file itself";
        theyRead = ReadRgbaWithImageMagick(folder, other, theirs);
    }
    ASSERT_TRUE(theyRead);
    ASSERT_EQ(ours.width, theirs.width);
    ASSERT_EQ(ours.height, theirs.height);
    if (agreement == Agreement::SAME || agreement == Agreement::AS_OTHER_FILE) {
        EXPECT_TRUE(ours.rgba == theirs.rgba) << "first difference at byte " << FirstByteDifference(ours, theirs);
        return;
    }
    // The table says where we differ; that must still hold.
    EXPECT_FALSE(ours.rgba == theirs.rgba) << "now the same as ImageMagick's";
    const int channelBits[4] = {bits.red, bits.green, bits.blue, bits.alpha > 0 ? bits.alpha : 8};
    for (std::size_t i = 0; i < ours.rgba.size(); ++i) {
        int n = channelBits[i % 4];
        int mine = ours.rgba[i];
        int peer = theirs.rgba[i];
        if (agreement == Agreement::SAME_FILE_BITS)
            ASSERT_EQ(mine >> (8 - n), peer >> (8 - n)) << "byte " << i;
        else if (agreement == Agreement::WITHIN_ONE)
            ASSERT_LE(std::abs(mine - peer), 1) << "byte " << i;
        else if (i % 4 == 3)
            ASSERT_EQ(mine, 255) << "byte " << i;
        else
            ASSERT_EQ(mine, peer) << "byte " << i;
    }
}

TEST(Interop, TrueColorSuiteFilesDecodeToImageMagicksPixels)
{
    struct Case {
        const char* name;
        Agreement agreement;
        const char* other; // for AS_OTHER_FILE
    } cases[] = {
        {"g/rgb16-565.bmp", Agreement::SAME, nullptr},
        {"g/rgb16-565pal.bmp", Agreement::SAME, nullptr},
        {"g/rgb16.bmp", Agreement::SAME, nullptr},
        {"g/rgb24.bmp", Agreement::SAME, nullptr},
        {"g/rgb24pal.bmp", Agreement::SAME, nullptr},
        {"g/rgb32.bmp", Agreement::SAME, nullptr},
        {"g/rgb32bf.bmp", Agreement::SAME, nullptr},
        {"q/rgb16-231.bmp", Agreement::SAME_FILE_BITS, nullptr},
        {"q/rgb24largepal.bmp", Agreement::SAME, nullptr},
        {"q/rgb24lprof.bmp", Agreement::SAME, nullptr},
        {"q/rgb24prof.bmp", Agreement::SAME, nullptr},
        {"q/rgb32-111110.bmp", Agreement::WITHIN_ONE, nullptr},
        {"q/rgb32bf-xbgr.bmp", Agreement::SAME, nullptr},
        {"q/rgb32fakealpha.bmp", Agreement::SAME_COLORS_OPAQUE, nullptr},
        {"q/rgb32h52.bmp", Agreement::SAME, nullptr},
        {"q/rgba16-4444.bmp", Agreement::SAME_FILE_BITS, nullptr},
        {"q/rgba32.bmp", Agreement::SAME, nullptr},
        {"q/rgba32abf.bmp", Agreement::AS_OTHER_FILE, "q/rgba32.bmp"}, // BI_ALPHABITFIELDS
        {"q/rgba32h56.bmp", Agreement::SAME, nullptr},
    };
    ScratchFolder folder;
    int files = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++files;
        ExpectAsImageMagickReads(folder, FixturePath(std::string("bmpsuite/") + c.name), c.agreement,
                                 c.other != nullptr ? FixturePath(std::string("bmpsuite/") + c.other) : "");
    }
    // Every true-colour file of the suite but the embedded JPEG and PNG pictures.
    int suiteFiles = 0;
    for (const char* pattern : {"bmpsuite/g/rgb*.bmp", "bmpsuite/q/rgb*.bmp"})
        suiteFiles += static_cast<int>(Platform::FindMatches(FixturePath(pattern).c_str()).size());
    EXPECT_EQ(files, suiteFiles - 2);
}

TEST(Interop, TrueColorFilesFromPeersAreReadAsThePeersRead)
{
    // What modders' editors write: ImageMagick's 24-bit files, its 32-bit
    // files with an alpha mask in a 124-byte header (after any drawing, or
    // with alpha), its 16-bit subtypes, and netpbm's 24-bit files.
    ScratchFolder folder;
    const std::string picture = "convert-im6.q16 -size 9x4 -seed 2 plasma: ";
    ASSERT_TRUE(RunScript(
        folder,
        picture + "-type TrueColor BMP3:rgb24.bmp\n" + picture +
            "-alpha on -channel A -evaluate set 50% +channel BMP:rgba32.bmp\n" + picture +
            "-fill red -draw 'point 1,1' BMP:drawn.bmp\n" + picture + "-define bmp:subtype=RGB565 BMP:rgb565.bmp\n" +
            picture + "-define bmp:subtype=RGB555 BMP:rgb555.bmp\n" + picture +
            "-alpha on -channel A -fx 'i/9' +channel -define bmp:subtype=ARGB4444 BMP:argb4444.bmp\n" + picture +
            "-alpha on -channel A -fx 'i>4' +channel -define bmp:subtype=ARGB1555 BMP:argb1555.bmp\n" + picture +
            "ppm:- | ppmtobmp -bpp 24 > netpbm24.bmp\n"));
    // clang-format off
    const std::pair<const char*, Agreement> cases[] = {
        {"rgb24.bmp", Agreement::SAME}, {"rgba32.bmp", Agreement::SAME}, {"drawn.bmp", Agreement::SAME},
        {"rgb565.bmp", Agreement::SAME}, {"rgb555.bmp", Agreement::SAME},
        // ImageMagick reads its own 1-bit alpha as 128, its 4-bit 15 as 240.
        {"argb4444.bmp", Agreement::SAME_FILE_BITS}, {"argb1555.bmp", Agreement::SAME_FILE_BITS},
        {"netpbm24.bmp", Agreement::SAME},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ExpectAsImageMagickReads(folder, folder / c.first, c.second);
        // The converter still refuses them: there is no palette to map them onto.
        PLMemBitmap bitmap;
        try {
            PLBmpReader().DecodeFile((folder / c.first).c_str(), bitmap, 8);
            ADD_FAILURE() << "decoded at 8 bits";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), 6);
            EXPECT_STREQ(e.Text(), "Image bit depth doesn't match request.");
        }
    }
}

void FillRandomly(PLMemBitmap& bitmap, unsigned seed)
{
    unsigned state = seed * 2654435761u + 1;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.LineBytes(); ++x)
            bitmap.Lines()[y][x] = next();
    if (bitmap.ColorTable() != nullptr)
        for (int i = 0; i < bitmap.ColorCount(); ++i)
            bitmap.ColorTable()[i] = PLColor(next(), next(), next(), 0);
}

// The colours a bitmap of depth 1, 4 or 8 shows, unpacking its rows.
Bytes IndexedColors(const PLBitmap& bitmap)
{
    Bytes rgb;
    int depth = bitmap.BitsPerPixel();
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            int bit = x * depth;
            int index = (bitmap.Lines()[y][bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1);
            const PLColor& c = bitmap.ColorTable()[index];
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    return rgb;
}

TEST(Interop, ImageMagickReadsOurFilesWithIdenticalColors)
{
    struct Case {
        int width;
        int height;
        int depth;
    } cases[] = {
        {1, 1, 8}, {3, 2, 8}, {17, 5, 8}, {320, 200, 8}, {1, 1383, 8}, {13, 9, 4}, {10, 3, 1}, {33, 2, 1}, {7, 3, 32},
    };
    ScratchFolder folder;
    ASSERT_TRUE(RunScript(folder, "mkdir -p bmp\n"));
    std::vector<Bytes> expected;
    for (const Case& c : cases) {
        PLMemBitmap bitmap;
        bitmap.Create(c.width, c.height, c.depth, false, false, {96, 96});
        FillRandomly(bitmap, static_cast<unsigned>(c.width * 100 + c.depth));
        if (c.depth == 32) {
            Bytes rgb;
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x) {
                    const std::uint8_t* p = bitmap.Lines()[y] + 4 * x;
                    rgb.insert(rgb.end(), {p[2], p[1], p[0]});
                }
            expected.push_back(rgb);
        } else {
            expected.push_back(IndexedColors(bitmap));
        }
        std::string name = "case" + std::to_string(expected.size() - 1);
        PLBmpWriter().EncodeFile((folder / ("bmp/" + name + ".bmp")).c_str(), bitmap);
    }
    ASSERT_TRUE(ConvertAllToPpm(folder, "bmp"));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(testing::Message() << cases[i].width << " x " << cases[i].height << " at " << cases[i].depth);
        RgbImage theirs;
        ASSERT_TRUE(ReadPpm(folder / ("ppm/case" + std::to_string(i) + ".ppm"), theirs));
        EXPECT_EQ(theirs.width, cases[i].width);
        EXPECT_EQ(theirs.height, cases[i].height);
        EXPECT_TRUE(theirs.rgb == expected[i])
            << "first difference at " << FirstDifference(expected[i], theirs.rgb, theirs.width);
    }
}

} // namespace
