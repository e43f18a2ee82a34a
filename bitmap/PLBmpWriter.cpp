#include "bitmap/PLBmpWriter.h"

#include "bitmap/PLBitmap.h"
#include "bitmap/PLOutput.h"
#include "bitmap/PLTrace.h"
#include "converter/support/LittleEndian.h"

#include <climits>

namespace {

constexpr int FILE_HEADER_BYTES = 14;
constexpr int INFO_HEADER_BYTES = 40;
constexpr int HEADERS_BYTES = FILE_HEADER_BYTES + INFO_HEADER_BYTES;
constexpr int COLOR_ENTRY_BYTES = 4;
constexpr int TRUE_COLOR_BITS = 24;
// 39.37 inches per metre, held in single precision as the format's writers do.
constexpr float INCHES_PER_METRE = 39.37f;
// The padding of 24-bit rows, as many of these bytes as the row needs.
constexpr std::uint8_t TRUE_COLOR_PADDING[3] = {0x20, 0x00, 0x00};
constexpr std::uint8_t ZERO_PADDING[3] = {0, 0, 0};

bool IsIndexed(const PLBitmap& bitmap)
{
    return bitmap.BitsPerPixel() <= 8;
}

} // namespace

PLBmpWriter::PLBmpWriter() = default;

PLBmpWriter::~PLBmpWriter() = default;

std::uint64_t PLBmpWriter::PaddedLineBytes(int width, int bitsPerPixel)
{
    if (width <= 0)
        return 0;
    if (bitsPerPixel > 8) {
        // Three bytes a pixel; 3 x width + width mod 4 is a multiple of 4.
        auto w = static_cast<std::uint64_t>(width);
        return 3 * w + w % 4;
    }
    return (PLBitmap::RowBytes(width, bitsPerPixel) + 3) / 4 * 4;
}

std::int32_t PLBmpWriter::PixelsPerMetre(int dotsPerInch)
{
    if (dotsPerInch <= 0)
        return 0;
    double value = static_cast<double>(dotsPerInch) * static_cast<double>(INCHES_PER_METRE) + 0.5;
    return value >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<std::int32_t>(value);
}

std::uint64_t PLBmpWriter::EncodedBytes(const PLBitmap& bitmap) const
{
    std::uint64_t tableBytes =
        IsIndexed(bitmap) ? COLOR_ENTRY_BYTES * static_cast<std::uint64_t>(bitmap.ColorCount()) : 0;
    std::uint64_t height = bitmap.Height() > 0 ? static_cast<std::uint64_t>(bitmap.Height()) : 0;
    return HEADERS_BYTES + tableBytes + height * PaddedLineBytes(bitmap.Width(), bitmap.BitsPerPixel());
}

void PLBmpWriter::WriteImage(const PLBitmap& bitmap, PLOutput& sink)
{
    if (IsIndexed(bitmap)) {
        WriteHeaders(bitmap, sink, bitmap.BitsPerPixel(), bitmap.ColorCount());
        sink.Write(COLOR_ENTRY_BYTES * bitmap.ColorCount(), bitmap.ColorTable());
        WriteIndexedRows(bitmap, sink);
    } else {
        WriteHeaders(bitmap, sink, TRUE_COLOR_BITS, 0);
        WriteTrueColorRows(bitmap, sink);
    }
}

void PLBmpWriter::WriteHeaders(const PLBitmap& bitmap, PLOutput& sink, int bitCount, int colorEntries)
{
    // EncodeFile has checked that the whole file stays below 2 GB.
    auto fileBytes = static_cast<std::uint32_t>(EncodedBytes(bitmap));
    auto dataOffset = static_cast<std::uint32_t>(HEADERS_BYTES + COLOR_ENTRY_BYTES * colorEntries);
    PLPoint resolution = bitmap.Resolution();

    std::uint8_t header[HEADERS_BYTES] = {'B', 'M'};
    StoreLittle32(header + 2, fileBytes);
    StoreLittle16(header + 6, 0); // reserved
    StoreLittle16(header + 8, 0); // reserved
    StoreLittle32(header + 10, dataOffset);
    StoreLittle32(header + 14, INFO_HEADER_BYTES);
    StoreLittle32(header + 18, static_cast<std::uint32_t>(bitmap.Width()));
    StoreLittle32(header + 22, static_cast<std::uint32_t>(bitmap.Height())); // positive: rows bottom-up
    StoreLittle16(header + 26, 1);                                           // planes
    StoreLittle16(header + 28, static_cast<std::uint16_t>(bitCount));        // 1 to 8, or 24
    StoreLittle32(header + 30, 0);                                           // no compression
    StoreLittle32(header + 34, 0);                                           // image size, may be 0 when uncompressed
    StoreLittle32(header + 38, static_cast<std::uint32_t>(PixelsPerMetre(resolution.x)));
    StoreLittle32(header + 42, static_cast<std::uint32_t>(PixelsPerMetre(resolution.y)));
    StoreLittle32(header + 46, 0); // colours used: all of them
    StoreLittle32(header + 50, 0); // colours important: all
    sink.Write(HEADERS_BYTES, header);
}

void PLBmpWriter::WriteIndexedRows(const PLBitmap& bitmap, PLOutput& sink)
{
    int lineBytes = bitmap.LineBytes();
    int padding = static_cast<int>(PaddedLineBytes(bitmap.Width(), bitmap.BitsPerPixel())) - lineBytes;
    const std::uint8_t* const* lines = bitmap.Lines();
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        sink.Write(lineBytes, lines[y]);
        sink.Write(padding, ZERO_PADDING);
    }
}

void PLBmpWriter::WriteTrueColorRows(const PLBitmap& bitmap, PLOutput& sink)
{
    int depth = bitmap.BitsPerPixel();
    if (depth != 24 && depth != 32) {
        char text[100];
        std::snprintf(text, sizeof text, "Encoding bmp: %d bits per pixel, expected at most 8, 24 or 32", depth);
        ThrowDecoderError(2, text);
    }
    int pixelBytes = depth / 8;
    int width = bitmap.Width();
    int padding = width % 4;
    const std::uint8_t* const* lines = bitmap.Lines();
    for (int y = bitmap.Height() - 1; y >= 0; --y) {
        const std::uint8_t* pixel = lines[y];
        // Blue, green, red; the fourth byte of a 32-bit pixel is dropped.
        for (int x = 0; x < width; ++x, pixel += pixelBytes)
            sink.Write(3, pixel);
        sink.Write(padding, TRUE_COLOR_PADDING);
    }
}
