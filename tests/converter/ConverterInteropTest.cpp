// The converter program against independent peers, run at test time: BMP
// files written by ImageMagick (convert-im6.q16) and netpbm (ppmtobmp) go
// through Cantrel to PIC and back to BMP, and what comes back must show, by
// ImageMagick's reading, the original's pixels in the original's colours
// truncated to the PIC palette's 6 bits. A missing tool fails the test.
#include "converter/ImageDocument.h"
#include "platform/Platform.h"
#include "tests/common/PeerTools.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// Runs Cantrel in folder/sub with the words; returns what it printed.
std::string RunConverter(const ScratchFolder& folder, const std::string& sub, const std::vector<std::string>& words)
{
    std::string command = "cd '" + sub + "'\n'" CANTREL_PROGRAM "'";
    for (const std::string& word : words)
        command += " '" + word + "'";
    command += " > ../converter.out\n";
    Bytes printed;
    if (!RunScript(folder, command) || !ReadBytes(folder / "converter.out", printed))
        return std::string();
    return std::string(printed.begin(), printed.end());
}

// The colours of a BMP file as this converter writes them (8 bits, 40-byte
// header, 256 entries, uncompressed rows bottom-up padded to 4 bytes), read
// here from the format itself. False for any other file.
bool ColorsOfOurBmp(const Bytes& file, RgbImage& image)
{
    if (file.size() < 1078 || file[0] != 'B' || file[1] != 'M' || U32At(file, 10) != 1078 || U32At(file, 14) != 40 ||
        file[28] != 8 || file[29] != 0 || U32At(file, 30) != 0 || U32At(file, 46) != 0)
        return false;
    image.width = static_cast<int>(U32At(file, 18));
    image.height = static_cast<int>(U32At(file, 22));
    if (image.width <= 0 || image.height <= 0)
        return false;
    std::size_t padded = (static_cast<std::size_t>(image.width) + 3) / 4 * 4;
    if (file.size() != 1078 + padded * static_cast<std::size_t>(image.height) || U32At(file, 2) != file.size())
        return false;
    image.rgb.clear();
    for (int y = image.height - 1; y >= 0; --y) {
        const unsigned char* row = file.data() + 1078 + padded * static_cast<std::size_t>(y);
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* entry = file.data() + 54 + 4 * row[x];
            image.rgb.insert(image.rgb.end(), {entry[2], entry[1], entry[0]});
        }
        // Padding is zero.
        for (std::size_t x = static_cast<std::size_t>(image.width); x < padded; ++x)
            if (row[x] != 0)
                return false;
    }
    return true;
}

Bytes SixBits(Bytes rgb)
{
    for (unsigned char& c : rgb)
        c = static_cast<unsigned char>(c & 0xFC);
    return rgb;
}

// A copy of an uncompressed 1-, 4- or 8-bit file with a 40-byte header whose
// colour table holds only the entries its pixels use (peers always write
// 2^depth of them). False when the file is not of that kind.
bool WithShortColorTable(const Bytes& file, Bytes& shortened)
{
    if (file.size() < 54 || U32At(file, 14) != 40 || U32At(file, 30) != 0)
        return false;
    int bits = file[28];
    if (bits != 1 && bits != 4 && bits != 8)
        return false;
    auto width = static_cast<std::size_t>(U32At(file, 18));
    auto height = static_cast<std::size_t>(U32At(file, 22));
    std::size_t offset = U32At(file, 10);
    std::size_t entries = std::size_t{1} << bits;
    std::size_t rowBytes = (width * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    if (offset != 54 + 4 * entries || file.size() < offset + rowBytes * height)
        return false;
    std::size_t used = 1;
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            std::size_t bit = x * static_cast<std::size_t>(bits);
            unsigned char byte = file[offset + y * rowBytes + bit / 8];
            std::size_t index = (byte >> (8 - bits - static_cast<int>(bit % 8))) & ((1u << bits) - 1);
            used = std::max(used, index + 1);
        }
    shortened.assign(file.begin(), file.begin() + 54 + static_cast<long>(4 * used));
    shortened.insert(shortened.end(), file.begin() + static_cast<long>(offset), file.end());
    PutU32(shortened, 2, static_cast<std::uint32_t>(shortened.size()));
    PutU32(shortened, 10, static_cast<std::uint32_t>(54 + 4 * used));
    PutU32(shortened, 46, static_cast<std::uint32_t>(used));
    return true;
}

std::vector<std::string> BmpNames(const ScratchFolder& folder, const std::string& sub)
{
    return Platform::FindMatches((folder / (sub + "/*.bmp")).c_str());
}

std::string Base(const std::string& name)
{
    return name.substr(0, name.size() - 4);
}

// ImageMagick misreads its own RLE8 files of widths 1 and 2, so compressed
// files are held against its reading of their uncompressed twins, quantised
// from the same source the same way.
std::string Reference(const std::string& base)
{
    if (base.rfind("rle8-", 0) == 0)
        return "im3-" + base.substr(5) + "-8";
    if (base == "big-rle")
        return "big";
    return base;
}

// One file of a round trip: ImageMagick's readings of the original (or its
// reference) and of what came back, and the colours the file we wrote holds.
void CheckRoundTrip(const ScratchFolder& folder, const std::string& name, std::string (*reference)(const std::string&))
{
    RgbImage original;
    RgbImage read;
    RgbImage written;
    Bytes file;
    ASSERT_TRUE(ReadPpm(folder / ("ppm-src/" + reference(Base(name)) + ".ppm"), original));
    ASSERT_TRUE(ReadBytes(folder / ("back/" + name), file)) << "no BMP came back";
    ASSERT_TRUE(ColorsOfOurBmp(file, written)) << "not the layout the converter writes";
    ASSERT_TRUE(ReadPpm(folder / ("ppm-back/" + Base(name) + ".ppm"), read));
    EXPECT_EQ(written.width, original.width);
    EXPECT_EQ(written.height, original.height);
    EXPECT_TRUE(read.rgb == written.rgb) << "ImageMagick reads our file differently, first at "
                                         << FirstDifference(read.rgb, written.rgb, written.width);
    Bytes wanted = SixBits(original.rgb);
    EXPECT_TRUE(written.rgb == wanted) << "first difference at " << FirstDifference(written.rgb, wanted, written.width);
}

// Every .bmp in folder/src goes through Cantrel to PIC (in folder/pic) and
// back to BMP (in folder/back); the result must show ImageMagick's reading of
// the original (or of its reference) at 6 bits, and ImageMagick must read the
// file we wrote with exactly the colours it holds. Returns the files checked.
int ExpectRoundTripsKeepPeerColors(const ScratchFolder& folder, std::string (*reference)(const std::string&))
{
    std::vector<std::string> names = BmpNames(folder, "src");
    if (!RunScript(folder, "mkdir -p pic back\ncp src/*.bmp pic/\n"))
        return 0;
    std::string there = RunConverter(folder, "pic", {"*.bmp"});
    std::string expected;
    for (const std::string& name : names)
        expected += "Converted " + name + " to " + Base(name) + ".pic\r\n";
    EXPECT_NE(there.find(expected + "Successful Conversion\r\n"), std::string::npos) << there;
    if (!RunScript(folder, "mv pic/*.pic back/\n"))
        return 0;
    std::string back = RunConverter(folder, "back", {"*.pic", "ignored.pic"});
    EXPECT_NE(back.find("Successful Conversion\r\n"), std::string::npos) << back;
    if (!ConvertAllToPpm(folder, "src", "ppm-src") || !ConvertAllToPpm(folder, "back", "ppm-back"))
        return 0;

    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        CheckRoundTrip(folder, name, reference);
    }
    return static_cast<int>(names.size());
}

TEST(ConverterInterop, ImageMagickBitmapsSurviveTheRoundTripThroughPic)
{
    ScratchFolder folder;
    std::string script = "mkdir -p src\n";
    for (int width = 1; width <= 17; ++width) {
        std::string w = std::to_string(width);
        std::string source = "-size " + w + "x" + std::to_string(2 + width % 7) + " -seed " + w + " plasma:";
        std::string im = "convert-im6.q16 " + source;
        // 1, 4 and 8 bits uncompressed, RLE8, the OS/2 header of BMP2, the 124-byte header of BMP.
        script += im + " -colors 2 -type Palette BMP3:src/im3-" + w + "-1.bmp\n";
        script += im + " -colors 16 -type Palette BMP3:src/im3-" + w + "-4.bmp\n";
        script += im + " -colors 200 -type Palette -compress none BMP3:src/im3-" + w + "-8.bmp\n";
        script += im + " -colors 200 -type Palette -compress RLE BMP3:src/rle8-" + w + ".bmp\n";
        script += im + " -colors 7 -type Palette BMP2:src/im2-" + w + "-4.bmp\n";
        script += im + " -colors 100 -type Palette BMP2:src/im2-" + w + "-8.bmp\n";
        script += im + " -colors 5 -type Palette BMP:src/im5-" + w + ".bmp\n";
    }
    // A PIC image chunk holds at most 64 KB of compressed data: a smooth picture fits.
    script +=
        "convert-im6.q16 -size 1024x768 -seed 3 plasma: -blur 0x10 +dither -colors 100 -type Palette -compress none "
        "BMP3:src/big.bmp\n";
    script += "convert-im6.q16 src/big.bmp -compress RLE BMP3:src/big-rle.bmp\n";
    ASSERT_TRUE(RunScript(folder, script));

    // Colour tables shorter than 2^depth: the same files, cut to the entries
    // their pixels use.
    int shortened = 0;
    for (const std::string& name : BmpNames(folder, "src")) {
        Bytes file;
        Bytes cut;
        if (name.rfind("im3-", 0) != 0 || !ReadBytes(folder / ("src/" + name), file) || !WithShortColorTable(file, cut))
            continue;
        ASSERT_TRUE(WriteBytes(folder / ("src/short-" + name.substr(4)), cut));
        ++shortened;
    }
    EXPECT_EQ(shortened, 17 * 3);

    EXPECT_EQ(ExpectRoundTripsKeepPeerColors(folder, Reference), 17 * 7 + 2 + 17 * 3);

    // The compressed files really are RLE8: compression field 1 at offset 30.
    for (const char* name : {"big-rle.bmp", "rle8-17.bmp"}) {
        Bytes file;
        ASSERT_TRUE(ReadBytes(folder / ("src/" + std::string(name)), file));
        ASSERT_GT(file.size(), 34u);
        EXPECT_EQ(file[30], 1) << name;
    }
    // And some tables really are short.
    Bytes file;
    ASSERT_TRUE(ReadBytes(folder / "src/short-9-8.bmp", file));
    EXPECT_LT(U32At(file, 46), 256u);
    EXPECT_GT(U32At(file, 46), 0u);
}

TEST(ConverterInterop, NetpbmBitmapsSurviveTheRoundTripThroughPic)
{
    ScratchFolder folder;
    std::string script = "mkdir -p src\n";
    for (int width = 1; width <= 17; ++width) {
        std::string w = std::to_string(width);
        std::string size = w + "x" + std::to_string(3 + width % 5);
        // Sources of at most 2, 16 and 200 colours; ppmtobmp writes what they need.
        for (const char* colors : {"2", "16", "200"})
            script += "convert-im6.q16 -size " + size + " -seed " + w + " plasma: -colors " + colors +
                      " -depth 8 ppm:c" + colors + ".ppm\n";
        for (const char* header : {"-windows", "-os2"}) {
            std::string tag = std::string(header + 1) + "-" + w;
            script += "ppmtobmp " + std::string(header) + " -bpp 1 c2.ppm > src/" + tag + "-1.bmp 2>/dev/null\n";
            script += "ppmtobmp " + std::string(header) + " -bpp 4 c16.ppm > src/" + tag + "-4.bmp 2>/dev/null\n";
            script += "ppmtobmp " + std::string(header) + " -bpp 8 c200.ppm > src/" + tag + "-8.bmp 2>/dev/null\n";
        }
    }
    ASSERT_TRUE(RunScript(folder, script));
    EXPECT_EQ(ExpectRoundTripsKeepPeerColors(folder, [](const std::string& base) { return base; }), 17 * 6);
}

TEST(ConverterInterop, GoodSuiteBitmapsSurviveTheRoundTripThroughPic)
{
    ScratchFolder folder;
    ASSERT_TRUE(
        RunScript(folder, "mkdir -p src\ncp '" + std::string(CANTREL_FIXTURES) + "'/bmpsuite/g/pal*.bmp src/\n"));
    EXPECT_EQ(ExpectRoundTripsKeepPeerColors(folder, [](const std::string& base) { return base; }), 16)
        << "the suite's 1-, 4- and 8-bit files";
}

TEST(ConverterInterop, TrueColorPeerFilesAreRefusedWithoutOutput)
{
    ScratchFolder folder;
    ASSERT_TRUE(RunScript(
        folder,
        "mkdir -p src\n"
        "convert-im6.q16 -size 9x4 -seed 2 plasma: -type TrueColor BMP3:src/rgb24.bmp\n"
        "convert-im6.q16 -size 9x4 -seed 2 plasma: -alpha on -channel A -evaluate set 50% +channel BMP:src/rgba32.bmp\n"
        "convert-im6.q16 -size 9x4 -seed 2 plasma: -depth 8 ppm:- | ppmtobmp -bpp 24 > src/netpbm24.bmp "
        "2>/dev/null\n"));
    for (const char* name : {"rgb24.bmp", "rgba32.bmp", "netpbm24.bmp"}) {
        SCOPED_TRACE(name);
        std::string printed = RunConverter(folder, "src", {name});
        EXPECT_NE(printed.find(std::string("Conversion Errors (use -? for help):\r\nUnable to load input file ") +
                               name + "\r\n   Image bit depth doesn't match request.\r\n"),
                  std::string::npos)
            << printed;
    }
    EXPECT_EQ(folder.Names().size(), 4u) << "src, the script, its log and the converter's output";
    EXPECT_EQ(BmpNames(folder, "src").size(), 3u);
    EXPECT_TRUE(Platform::FindMatches((folder / "src/*.pic").c_str()).empty());
    EXPECT_EQ(Platform::FindMatches((folder / "src/*").c_str()).size(), 3u) << "no stray file";
}

TEST(ConverterInterop, PictureTooBusyForAPicFileIsRefusedWithoutOutput)
{
    // 1024 x 768 pixels of noise in 256 colours compress to far more than a
    // PIC image chunk holds.
    ScratchFolder folder;
    ASSERT_TRUE(RunScript(folder,
                          "mkdir -p src\nconvert-im6.q16 -size 1024x768 -seed 3 plasma: -colors 256 -type Palette "
                          "-compress none BMP3:src/noisy.bmp\n"));
    std::string printed = RunConverter(folder, "src", {"noisy.bmp"});
    EXPECT_NE(printed.find("Conversion Errors (use -? for help):\r\nUnable to save file noisy.pic\r\n   "),
              std::string::npos)
        << printed;
    EXPECT_EQ(printed.back(), '\n');
    EXPECT_EQ(Platform::FindMatches((folder / "src/*").c_str()), std::vector<std::string>{"noisy.bmp"})
        << "no partial or temporary file";
}

// The sample picture, as the converter writes it to BMP with its own palette
// and with the default one (drop), is read by ImageMagick in the PIC's colours.
TEST(ConverterInterop, ImageMagickReadsOurBitmapsInThePicturesColors)
{
    ScratchFolder folder;
    std::string sample = std::string(CANTREL_SOURCE_DIR) + "/samples/valley.pic";
    ASSERT_TRUE(RunScript(folder, "mkdir -p out\ncp '" + sample + "' out/valley.pic\n"));
    EXPECT_NE(RunConverter(folder, "out", {"valley.pic"}).find("Successful Conversion\r\n"), std::string::npos);
    EXPECT_NE(RunConverter(folder, "out", {"-d", "valley.pic", "dropped.bmp"}).find("Successful Conversion\r\n"),
              std::string::npos);
    ASSERT_TRUE(ConvertAllToPpm(folder, "out", "ppm"));

    ImageDocument picture;
    ASSERT_TRUE(picture.Load(sample.c_str()));
    ASSERT_TRUE(picture.HasPalette);
    ImageDocument defaults;
    defaults.SetDefaultPalette();
    struct Case {
        const char* name;
        const ImageDocument& palette;
    } cases[] = {{"valley", picture}, {"dropped", defaults}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes wanted;
        for (int i = 0; i < picture.Width * picture.Height; ++i) {
            std::uint32_t entry = c.palette.PaletteEntry(picture.Pixels.Data()[i]);
            wanted.insert(wanted.end(), {static_cast<unsigned char>(entry), static_cast<unsigned char>(entry >> 8),
                                         static_cast<unsigned char>(entry >> 16)});
        }
        RgbImage read;
        ASSERT_TRUE(ReadPpm(folder / ("ppm/" + std::string(c.name) + ".ppm"), read));
        EXPECT_EQ(read.width, 320);
        EXPECT_EQ(read.height, 200);
        EXPECT_TRUE(read.rgb == wanted) << "first difference at " << FirstDifference(read.rgb, wanted, 320);
    }
}

} // namespace
