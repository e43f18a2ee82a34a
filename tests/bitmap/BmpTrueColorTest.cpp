#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLRowSink.h"
#include "bitmap/PLTextException.h"
#include "tests/bitmap/BmpFixtures.h"
#include "tests/bitmap/BmpTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Keeps every row it is given, in the order given.
class RowCollector : public PLRowSink {
public:
    void TakeRow(int y, const PLColor* pixels, int width) override
    {
        order.push_back(y);
        rows.emplace_back(pixels, pixels + width);
    }

    // The picture top row first, each row where its y puts it.
    std::vector<PLColor> Picture() const
    {
        std::vector<std::vector<PLColor>> placed(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            placed.at(static_cast<std::size_t>(order[i])) = rows[i];
        std::vector<PLColor> pixels;
        for (const auto& row : placed)
            pixels.insert(pixels.end(), row.begin(), row.end());
        return pixels;
    }

    std::vector<int> order;
    std::vector<std::vector<PLColor>> rows;
};

std::vector<PLColor> ColorsOf(const PLBitmap& bitmap)
{
    std::vector<PLColor> pixels(static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height()));
    for (int y = 0; y < bitmap.Height(); ++y)
        std::memcpy(&pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.Width())], bitmap.Lines()[y],
                    static_cast<std::size_t>(bitmap.LineBytes()));
    return pixels;
}

void DecodeRows(const Bytes& file, RowCollector& sink)
{
    PLBmpReader reader;
    reader.OpenMemory(file.data(), static_cast<int>(file.size()));
    reader.DecodeRowsInto(sink);
}

TEST(BmpTrueColor, EveryFormDecodesToItsPixelsWholeAndRowByRow)
{
    for (const TrueColorFixture& fixture : TrueColorFixtures()) {
        SCOPED_TRACE(fixture.name);
        PLBmpReader reader;
        reader.OpenMemory(fixture.file.data(), static_cast<int>(fixture.file.size()));
        EXPECT_EQ(reader.BitsPerPixel(), 32);
        EXPECT_EQ(reader.Channels(), fixture.bits);
        EXPECT_EQ(reader.HasAlpha(), fixture.bits.alpha > 0);
        PLMemBitmap bitmap;
        reader.DecodeInto(bitmap, 32);
        reader.Close();
        EXPECT_EQ(bitmap.BitsPerPixel(), 32);
        EXPECT_EQ(bitmap.HasAlpha(), fixture.bits.alpha > 0);
        EXPECT_EQ(ColorsOf(bitmap), fixture.pixels);

        RowCollector sink;
        DecodeRows(fixture.file, sink);
        EXPECT_EQ(sink.Picture(), fixture.pixels);
        // In file order: bottom-up files give their last row first.
        std::vector<int> order;
        for (int k = 0; k < bitmap.Height(); ++k)
            order.push_back(fixture.name.find("top-down") != std::string::npos ? k : bitmap.Height() - 1 - k);
        EXPECT_EQ(sink.order, order);

        // Depth 0 takes the announced 32 bits.
        PLMemBitmap asAnnounced;
        DecodeBytes(fixture.file, asAnnounced, 0);
        EXPECT_EQ(ColorsOf(asAnnounced), fixture.pixels);
    }
}

BmpLayout TwoByOne24Bit()
{
    BmpLayout layout;
    layout.width = 2;
    layout.bitCount = 24;
    layout.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    return layout;
}

template <typename Change>
Bytes Variant(BmpLayout layout, Change change)
{
    change(layout);
    return BuildBmp(layout);
}

struct Refusal {
    const char* name;
    Bytes file;
    int code;
    std::string text;
};

std::vector<Refusal> Refusals()
{
    BmpLayout fields = TwoByOne24Bit();
    fields.bitCount = 16;
    fields.compression = 3;
    fields.masks = {0xF800, 0x07E0, 0x001F};
    fields.pixels = {1, 2, 3, 4};
    return {
        {"overlapping masks", Variant(fields, [](BmpLayout& l) { l.masks[1] = 0x0FE0; }), 1,
         "Decoder error: BMP colour masks: red 0x0000F800 and green 0x00000FE0 overlap\n"},
        {"a mask in two runs", Variant(fields, [](BmpLayout& l) { l.masks[2] = 0x0019; }), 1,
         "Decoder error: BMP colour masks: blue 0x00000019 is not one run of bits\n"},
        {"no red mask", Variant(fields, [](BmpLayout& l) { l.masks[0] = 0; }), 1,
         "Decoder error: BMP colour masks: the red mask is 0, every colour channel needs bits\n"},
        {"a mask past the pixel", Variant(fields, [](BmpLayout& l) { l.masks[0] = 0x1F0000; }), 1,
         "Decoder error: BMP colour masks: red 0x001F0000 reaches past the 16 bits of a pixel\n"},
        {"an alpha mask over green, in a 56-byte header",
         Variant(fields,
                 [](BmpLayout& l) {
                     l.headerSize = 56;
                     l.masks.push_back(0x0020);
                 }),
         1, "Decoder error: BMP colour masks: green 0x000007E0 and alpha 0x00000020 overlap\n"},
        {"RLE8 on 24 bits", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.compression = 1; }), 6,
         "Decoder error: BMP compression: 1 (RLE8) is not supported for 24 bits per pixel\n"},
        {"RLE4 on 32 bits",
         Variant(TwoByOne24Bit(),
                 [](BmpLayout& l) {
                     l.compression = 2;
                     l.bitCount = 32;
                 }),
         6, "Decoder error: BMP compression: 2 (RLE4) is not supported for 32 bits per pixel\n"},
        {"JPEG", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.compression = 4; }), 6,
         "Decoder error: BMP compression: 4 (JPEG or RLE24) is not supported for 24 bits per pixel\n"},
        {"PNG",
         Variant(TwoByOne24Bit(),
                 [](BmpLayout& l) {
                     l.compression = 5;
                     l.bitCount = 16;
                 }),
         6, "Decoder error: BMP compression: 5 (PNG) is not supported for 16 bits per pixel\n"},
        {"compression 99", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.compression = 99; }), 6,
         "Decoder error: BMP compression: 99 (unknown) is not supported for 24 bits per pixel\n"},
        // The rows are where the offset says, or nowhere.
        {"data offset 0", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.dataOffset = 0; }), 1,
         "Decoder error: BMP data offset: 0, but the headers end at 54\n"},
        {"data offset inside the masks", Variant(fields, [](BmpLayout& l) { l.dataOffset = 62; }), 1,
         "Decoder error: BMP data offset: 62, but the headers end at 66\n"},
        {"data offset past the end", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.dataOffset = 63; }), 1,
         "Decoder error: BMP data offset: 63, past the end of the file at 62\n"},
        {"data offset far past the end", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.dataOffset = 0xFFFFFFFF; }), 1,
         "Decoder error: BMP data offset: 4294967295, past the end of the file at 62\n"},
        {"too little pixel data", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.pixels.resize(5); }), 11,
         "Decoder error: BMP pixel data: 5 bytes left in the file, at least 6 needed for 2 x 1 pixels\n"},
        {"32767 x 32767 in a few bytes", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.width = l.height = 32767; }), 11,
         "Decoder error: BMP pixel data: 8 bytes left in the file, at least 3221028867 needed for 32767 x 32767 "
         "pixels\n"},
        {"12 bits per pixel", Variant(TwoByOne24Bit(), [](BmpLayout& l) { l.bitCount = 12; }), 2,
         "Decoder error: Decoding bmp: Illegal bpp value.\n"},
    };
}

TEST(BmpTrueColor, UnreadableLayoutsAreRefusedBeforeAnyRow)
{
    for (const Refusal& refusal : Refusals()) {
        SCOPED_TRACE(refusal.name);
        PLBmpReader reader;
        reader.OpenMemory(refusal.file.data(), static_cast<int>(refusal.file.size()));
        EXPECT_EQ(reader.BitsPerPixel(), 32);
        if (refusal.code != 11) {
            EXPECT_EQ(reader.Channels(), PLBmpReader::ChannelBits{}) << "no precision for pixels that cannot be read";
        }
        for (bool rows : {false, true}) {
            SCOPED_TRACE(rows ? "row by row" : "whole");
            RowCollector sink;
            PLMemBitmap bitmap;
            try {
                if (rows)
                    DecodeRows(refusal.file, sink);
                else
                    DecodeBytes(refusal.file, bitmap, 32);
                ADD_FAILURE() << "decoded";
            } catch (const PLTextException& e) {
                EXPECT_EQ(e.Code(), refusal.code);
                EXPECT_EQ(e.Text(), refusal.text);
            }
            EXPECT_TRUE(sink.rows.empty());
            if (refusal.code != 2) { // an unknown depth is found when the pixels are read
                EXPECT_EQ(bitmap.Size(), (PLPoint{16, 16})) << "no bitmap was made";
            }
        }
    }
}

TEST(BmpTrueColor, TheConverterRequestOfEightBitsIsRefusedForEveryTrueColorFile)
{
    // Readable or not, a true-colour file answers a request for 8 bits as it
    // always has: before its pixels are looked at.
    std::vector<Bytes> files;
    for (const TrueColorFixture& fixture : TrueColorFixtures())
        files.push_back(fixture.file);
    for (const Refusal& refusal : Refusals())
        files.push_back(refusal.file);
    for (std::size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(i);
        PLMemBitmap bitmap;
        try {
            DecodeBytes(files[i], bitmap, 8);
            ADD_FAILURE() << "decoded";
        } catch (const PLTextException& e) {
            EXPECT_EQ(e.Code(), 6);
            EXPECT_STREQ(e.Text(), "Image bit depth doesn't match request.");
        }
    }
}

TEST(BmpTrueColor, AFileCutInItsRowsDeliversTheRowsBeforeTheCut)
{
    // Three rows of 6 bytes and 2 padding: the last row's padding is missing,
    // which the size check allows but the row read does not.
    BmpLayout layout = TwoByOne24Bit();
    layout.height = 3;
    layout.pixels = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0, 13, 14, 15, 16, 17, 18};
    RowCollector sink;
    try {
        DecodeRows(BuildBmp(layout), sink);
        ADD_FAILURE() << "decoded";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), 11);
        EXPECT_STREQ(e.Text(), "End of file reached while decoding.\n");
    }
    EXPECT_EQ(sink.order, (std::vector<int>{2, 1}));
    EXPECT_EQ(sink.rows.at(1), (std::vector<PLColor>{{9, 8, 7}, {12, 11, 10}}));
}

TEST(BmpTrueColor, ASinkMayEndTheDecode)
{
    class Refusing : public PLRowSink {
    public:
        void TakeRow(int y, const PLColor* pixels, int) override
        {
            ++calls;
            if (pixels[0].a != 255)
                throw PLTextException(6, ("row " + std::to_string(y) + " is not opaque").c_str());
        }
        int calls = 0;
    } sink;
    Bytes file = ImageMagickAlpha32();
    PLBmpReader reader;
    reader.OpenMemory(file.data(), static_cast<int>(file.size()));
    try {
        reader.DecodeRowsInto(sink);
        ADD_FAILURE() << "decoded";
    } catch (const PLTextException& e) {
        EXPECT_STREQ(e.Text(), "row 1 is not opaque");
    }
    EXPECT_EQ(sink.calls, 1) << "the bottom row comes first, and ends it";
    reader.Close();
    reader.OpenMemory(file.data(), static_cast<int>(file.size()));
    EXPECT_EQ(reader.Width(), 2) << "the reader is usable again";
}

TEST(BmpTrueColor, RowsNeedATrueColorFileAndItsHeaders)
{
    RowCollector sink;
    PLBmpReader reader;
    try {
        reader.DecodeRowsInto(sink);
        ADD_FAILURE() << "decoded without headers";
    } catch (const PLTextException& e) {
        EXPECT_STREQ(e.Text(), "Decoder error: Decoding: no image header has been read\n");
    }
    Bytes file = ThreeByTwo8Bit();
    reader.OpenMemory(file.data(), static_cast<int>(file.size()));
    EXPECT_EQ(reader.Channels(), (PLBmpReader::ChannelBits{8, 8, 8, 0}));
    try {
        reader.DecodeRowsInto(sink);
        ADD_FAILURE() << "decoded an 8-bit file";
    } catch (const PLTextException& e) {
        EXPECT_EQ(e.Code(), 6);
        EXPECT_STREQ(e.Text(), "Decoder error: Decoding rows: the image has 8 bits per pixel, rows are delivered "
                               "for 16, 24 and 32 bits only\n");
    }
    EXPECT_TRUE(sink.rows.empty());
}

} // namespace
