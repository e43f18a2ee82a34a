// Reads BMP files: Windows and OS/2 headers, "BA" array prefixes, colour
// tables of 3- and 4-byte entries, uncompressed 1-, 4- and 8-bit rows and
// RLE4/RLE8 data. Every image of 8 bits or less is announced, and delivered,
// as an 8-bit bitmap with a 256-entry colour table; deeper files are
// announced as 32 bits, whose pixels this reader does not decode.
#pragma once

#include "bitmap/PLColor.h"
#include "bitmap/PLImageReader.h"

#include <cstdint>
#include <memory>

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

    PLBmpReader();
    ~PLBmpReader() override;

    void Close() override;

    // Dots per inch for a pixels-per-metre value: 0 when unknown or 1 and less.
    static int DotsPerInch(std::int32_t pixelsPerMetre);

protected:
    void ReadHeader(PLInput& source) override;
    void CheckDataSize(const PLInput& source) const override;
    void ReadPixels(PLBitmap& bitmap) override;

private:
    void ReadFileHeader(PLInput& source);
    void ReadInfoHeader(PLInput& source);
    void CheckImageSize() const;
    void ReadColorTable(PLInput& source);
    void SkipToPixels(PLInput& source);
    void Announce();

    void DecodeRows(PLBitmap& bitmap);
    void DecodeUncompressed(PLBitmap& bitmap);
    void DecodeRle(PLBitmap& bitmap);
    // The bitmap row that the k-th row of the file fills.
    int TargetRow(int fileRow) const;

    PLColor m_colorTable[MAX_COLORS];
    std::unique_ptr<BmpHeader> m_header;
    // Bytes of "BA" array headers in front of the bitmap's own file header.
    int m_prefixBytes = 0;
    std::uint32_t m_dataOffset = 0;
    int m_colorEntries = 0;
    int m_rows = 0;
    bool m_topDown = false;
};
