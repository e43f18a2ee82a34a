// Reads BMP files: Windows and OS/2 headers, "BA" array prefixes, colour
// tables of 3- and 4-byte entries, uncompressed 1-, 4- and 8-bit rows, RLE4
// and RLE8 data, and true-colour pixels of 16, 24 and 32 bits (uncompressed,
// or with channel masks: BI_BITFIELDS, BI_ALPHABITFIELDS). Every image of 8
// bits or less is announced, and delivered, as an 8-bit bitmap with a
// 256-entry colour table; true-colour images are announced as 32 bits and
// delivered as PLColor pixels, whole (DecodeInto at depth 32 or 0) or a row
// at a time (DecodeRowsInto).
#pragma once

#include "bitmap/PLColor.h"
#include "bitmap/PLImageReader.h"
#include "bitmap/PLRowSink.h"
#include "bitmap/PLTrueColorRows.h"

#include <cstdint>
#include <memory>
#include <string>

class PLBmpReader : public PLImageReader {
public:
    // The fields of a Windows info header; an OS/2 header fills the first five.
    struct BmpHeader {
        std::uint32_t size = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::uint16_t planes = 0;
        std::uint16_t bitCount = 0;
        std::uint32_t compression = 0;
        std::uint32_t imageSize = 0;
        std::int32_t xPixelsPerMetre = 0;
        std::int32_t yPixelsPerMetre = 0;
        std::uint32_t colorsUsed = 0;
        std::uint32_t colorsImportant = 0;
    };

    static constexpr int MAX_COLORS = 256;

    // How many bits of red, green, blue and alpha the file gave each pixel,
    // as the decoded 8-bit components carry them (see PLTrueColorRows): for n
    // bits, component >> (8 - n) is the file's own value. alpha 0 means the
    // file has no alpha channel and every pixel is opaque (alpha 255).
    using ChannelBits = PLTrueColorRows::ChannelBits;

    PLBmpReader();
    ~PLBmpReader() override;

    void Close() override;

    // After ReadHeader (OpenFile or OpenMemory). For a true-colour file: 8,
    // 8, 8 and 0 for uncompressed 24- and 32-bit pixels (the fourth byte of a
    // 32-bit pixel is padding, not alpha), 5, 5, 5 and 0 for uncompressed
    // 16-bit ones, and what the masks say for BI_BITFIELDS and
    // BI_ALPHABITFIELDS; alpha is non-zero exactly when HasAlpha() is true.
    // For 1-, 4- and 8-bit files, whose colour tables hold bytes: 8, 8, 8, 0.
    // All 0 when the file's pixel layout is one the decode will refuse.
    ChannelBits Channels() const;

    // The other way to decode a true-colour file, after ReadHeader, instead
    // of DecodeInto: its rows go to sink one at a time, in the order the file
    // stores them, each as Width() PLColor pixels (blue, green, red, alpha)
    // with the bitmap row it is (0 the top row): a bottom-up file gives row
    // Height() - 1 first, a top-down file row 0. Every row is delivered
    // exactly once, unless the decode fails; only one row is held at a time.
    // Refuses, before the first row, what DecodeInto at depth 32 refuses
    // (a pixel layout that cannot be read, too little pixel data, a row that
    // cannot be held) and files of 8 bits or less (DecodeInto at depth 8
    // reads those). A file cut short fails at the row it ends in, after the
    // rows before it were delivered; a PLTextException from TakeRow ends the
    // decode too. Either way the exception passes on and the caller closes
    // the reader (Close), as after DecodeInto. In use:
    //
    //     PLBmpReader reader;
    //     reader.OpenFile(path);         // the headers: Width(), Height(), Channels()
    //     if (reader.BitsPerPixel() == 32) {
    //         // judge the size, prepare for Channels() ...
    //         reader.DecodeRowsInto(mapper); // mapper: a PLRowSink
    //     }
    //     reader.Close();
    //
    // OpenFile accepts a file whose pixels cannot be read (its Channels() are
    // then all 0): the refusal, with its reason, comes from DecodeRowsInto.
    void DecodeRowsInto(PLRowSink& sink);

    // Dots per inch for a pixels-per-metre value: 0 when unknown or 1 and less.
    static int DotsPerInch(std::int32_t pixelsPerMetre);

protected:
    void ReadHeader(PLInput& source) override;
    void CheckDataSize(const PLInput& source) const override;
    void ReadPixels(PLBitmap& bitmap) override;

private:
    void ReadFileHeader(PLInput& source);
    void ReadInfoHeader(PLInput& source);
    void ReadHeaderMasks(PLInput& source);
    void CheckImageSize() const;
    void ReadColorTable(PLInput& source);
    void ReadChannelMasks(PLInput& source);
    void SkipToPixels(PLInput& source);
    void Announce();
    bool IsTrueColor() const;
    // Keeps the first reason the pixels cannot be read; the decode raises it.
    void RefuseLayout(int code, const std::string& text);

    void DecodeRows(PLBitmap& bitmap);
    void DecodeUncompressed(PLBitmap& bitmap);
    void DecodeRle(PLBitmap& bitmap);
    void DecodeTrueColor(PLRowSink& sink);
    // The bitmap row that the k-th row of the file fills.
    int TargetRow(int fileRow) const;

    PLColor m_colorTable[MAX_COLORS];
    std::unique_ptr<BmpHeader> m_header;
    // Channel masks stored inside a header longer than 40 bytes (red, green,
    // blue, alpha), and how many of them it holds.
    std::uint32_t m_headerMasks[4] = {};
    int m_headerMaskCount = 0;
    PLTrueColorRows m_trueColor;
    // Why the pixels cannot be read (empty when they can). A refusal found in
    // the headers waits for the decode, so that a request for the wrong depth
    // is answered first, as for every true-colour file.
    std::string m_layoutRefusal;
    int m_layoutRefusalCode = 0;
    // Bytes of "BA" array headers in front of the bitmap's own file header.
    int m_prefixBytes = 0;
    std::uint32_t m_dataOffset = 0;
    int m_colorEntries = 0;
    int m_rows = 0;
    bool m_topDown = false;
};
