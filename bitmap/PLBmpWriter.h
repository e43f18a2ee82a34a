// Writes a bitmap as an uncompressed BMP file: 14-byte file header, 40-byte
// info header, the colour table (depths of 8 and less) and bottom-up rows
// padded with zeros to 4 bytes. Deeper bitmaps are written as 24-bit files.
#pragma once

#include "bitmap/PLImageWriter.h"

class PLBmpWriter : public PLImageWriter {
public:
    PLBmpWriter();
    ~PLBmpWriter() override;

    std::uint64_t EncodedBytes(const PLBitmap& bitmap) const override;

    // Bytes of a row of that width and depth in the file: whole bytes padded
    // to a multiple of 4.
    static std::uint64_t PaddedLineBytes(int width, int bitsPerPixel);
    // Pixels per metre for a resolution in dots per inch.
    static std::int32_t PixelsPerMetre(int dotsPerInch);

protected:
    void WriteImage(const PLBitmap& bitmap, PLOutput& sink) override;

private:
    void WriteHeaders(const PLBitmap& bitmap, PLOutput& sink, int bitCount, int colorEntries);
    void WriteIndexedRows(const PLBitmap& bitmap, PLOutput& sink);
    void WriteTrueColorRows(const PLBitmap& bitmap, PLOutput& sink);
};
