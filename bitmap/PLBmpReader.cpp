#include "bitmap/PLBmpReader.h"

#include "bitmap/PLBitmap.h"
#include "bitmap/PLTextException.h"
#include "bitmap/PLTrace.h"
#include "converter/support/LittleEndian.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr int FILE_HEADER_BYTES = 14;
constexpr int OS2_HEADER_BYTES = 12;
constexpr int WINDOWS_HEADER_BYTES = 40;
constexpr int MAX_BITS_PER_PIXEL = 8;
// Header versions from 52 bytes on hold the red, green and blue masks at
// byte 40, from 56 bytes on the alpha mask after them.
constexpr std::uint32_t MASKS_END = WINDOWS_HEADER_BYTES + 16;

// Compression values.
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_JPEG = 4;
constexpr std::uint32_t BI_PNG = 5;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

// RLE escapes: a zero count byte followed by one of these.
constexpr std::uint8_t END_OF_ROW = 0;
constexpr std::uint8_t END_OF_BITMAP = 1;
constexpr std::uint8_t DELTA = 2;

// The single-precision value nearest 1 / 39.37 inches per metre.
constexpr float INCHES_PER_METRE = 0.0254000518f;

bool IsSignature(const std::uint8_t* p, const char* signature)
{
    return p[0] == static_cast<std::uint8_t>(signature[0]) && p[1] == static_cast<std::uint8_t>(signature[1]);
}

// Consumes count bytes. A count the source cannot hold is still handed to it
// (as the largest int), so the source raises its usual end-of-file error.
const std::uint8_t* ReadBytes(PLInput& source, std::uint64_t count)
{
    return source.Read(static_cast<int>(std::min<std::uint64_t>(count, INT_MAX)));
}

[[noreturn]] void Refuse(int code, const std::string& text)
{
    ThrowDecoderError(code, text.c_str());
}

const char* CompressionName(std::uint32_t compression)
{
    // 4 is JPEG in Windows files, RLE24 in OS/2 ones.
    const char* const names[] = {"uncompressed",    "RLE8", "RLE4", "bit fields", "JPEG or RLE24", "PNG",
                                 "alpha bit fields"};
    return compression < sizeof names / sizeof names[0] ? names[compression] : "unknown";
}

// Writes count pixels of the alternating values first, second from column x,
// clipped to the row; returns the new column.
int FillPairs(std::uint8_t* row, int x, int width, int count, std::uint8_t first, std::uint8_t second)
{
    int end = std::min(width, x + count);
    for (int i = 0; x < end; ++x, ++i)
        row[x] = (i & 1) == 0 ? first : second;
    return x;
}

void ExpandBits(const std::uint8_t* data, std::uint8_t* row, int width)
{
    for (int x = 0; x < width; ++x)
        row[x] = static_cast<std::uint8_t>((data[x >> 3] >> (7 - (x & 7))) & 1);
}

void ExpandNibbles(const std::uint8_t* data, std::uint8_t* row, int width)
{
    for (int x = 0; x < width; ++x)
        row[x] = static_cast<std::uint8_t>((x & 1) == 0 ? data[x >> 1] >> 4 : data[x >> 1] & 0x0F);
}

// An encoded run: count pixels of value (RLE4: alternating its high and low
// nibble) from column x, clipped to the row; returns the new column.
int PutEncodedRun(std::uint8_t* row, int x, int width, int count, std::uint8_t value, bool nibbles)
{
    if (nibbles)
        return FillPairs(row, x, width, count, static_cast<std::uint8_t>(value >> 4),
                         static_cast<std::uint8_t>(value & 0x0F));
    int clipped = std::min(count, width - x);
    std::memset(row + x, value, static_cast<std::size_t>(clipped));
    return x + clipped;
}

// An absolute run of count pixels in count bytes (RLE4: ceil(count / 2)
// bytes), padded to an even number of bytes, from column x and clipped to the
// row; returns the new column.
int CopyAbsoluteRun(PLInput& source, std::uint8_t* row, int x, int width, int count, bool nibbles)
{
    int bytes = nibbles ? (count + 1) / 2 : count;
    const std::uint8_t* run = source.Read(bytes + (bytes & 1));
    int clipped = std::min(count, width - x);
    if (nibbles)
        ExpandNibbles(run, row + x, clipped);
    else
        std::memcpy(row + x, run, static_cast<std::size_t>(clipped));
    return x + clipped;
}

// The whole-bitmap decode of true colour: each row copied to its place in a
// 32-bit bitmap created from the announced info.
class BitmapRows : public PLRowSink {
public:
    explicit BitmapRows(PLBitmap& bitmap) : m_lines(bitmap.Lines()) {}

    void TakeRow(int y, const PLColor* pixels, int width) override
    {
        std::memcpy(m_lines[y], pixels, static_cast<std::size_t>(width) * sizeof(PLColor));
    }

private:
    std::uint8_t** m_lines;
};

} // namespace

PLBmpReader::PLBmpReader() = default;

PLBmpReader::~PLBmpReader() = default;

void PLBmpReader::Close()
{
    m_header.reset();
    PLImageReader::Close();
}

int PLBmpReader::DotsPerInch(std::int32_t pixelsPerMetre)
{
    if (pixelsPerMetre <= 0)
        return 0;
    auto dpi = static_cast<int>(static_cast<double>(pixelsPerMetre) * static_cast<double>(INCHES_PER_METRE) + 0.5);
    return dpi <= 1 ? 0 : dpi;
}

void PLBmpReader::ReadHeader(PLInput& source)
{
    m_header = std::make_unique<BmpHeader>();
    m_layoutRefusal.clear();
    m_layoutRefusalCode = 0;
    ReadFileHeader(source);
    ReadInfoHeader(source);
    ReadColorTable(source);
    ReadChannelMasks(source);
    TraceMessage(2, "Bitmap header is ok.\n");
    SkipToPixels(source);
    Announce();
}

void PLBmpReader::ReadFileHeader(PLInput& source)
{
    m_prefixBytes = 0;
    const std::uint8_t* signature = source.Read(2);
    // A bitmap array puts one 14-byte header per image in front of the image's
    // own file header; the first image is the one read.
    while (IsSignature(signature, "BA")) {
        source.Read(FILE_HEADER_BYTES - 2);
        m_prefixBytes += FILE_HEADER_BYTES;
        signature = source.Read(2);
    }
    if (!IsSignature(signature, "BM") && !IsSignature(signature, "IC") && !IsSignature(signature, "CI") &&
        !IsSignature(signature, "CP"))
        ThrowDecoderError(1, "Bitmap decoder: This isn't a bitmap.");
    TraceMessage(2, "Bitmap file signature found\n");
    // File size (ignored), two reserved words, the data offset.
    const std::uint8_t* fields = source.Read(FILE_HEADER_BYTES - 2);
    m_dataOffset = LoadLittle32(fields + 8);
}

void PLBmpReader::ReadInfoHeader(PLInput& source)
{
    BmpHeader& header = *m_header;
    header.size = LoadLittle32(source.Read(4));
    m_headerMaskCount = 0;
    if (header.size == OS2_HEADER_BYTES) {
        const std::uint8_t* p = source.Read(OS2_HEADER_BYTES - 4);
        header.width = LoadLittle16(p);
        header.height = LoadLittle16(p + 2);
        header.planes = LoadLittle16(p + 4);
        header.bitCount = LoadLittle16(p + 6);
    } else if (header.size < WINDOWS_HEADER_BYTES) {
        Refuse(1, FormatText("BMP info header: size %u, expected 12 or at least 40", header.size));
    } else {
        const std::uint8_t* p = source.Read(WINDOWS_HEADER_BYTES - 4);
        header.width = LoadLittleSigned32(p);
        header.height = LoadLittleSigned32(p + 4);
        header.planes = LoadLittle16(p + 8);
        header.bitCount = LoadLittle16(p + 10);
        header.compression = LoadLittle32(p + 12);
        header.imageSize = LoadLittle32(p + 16);
        header.xPixelsPerMetre = LoadLittleSigned32(p + 20);
        header.yPixelsPerMetre = LoadLittleSigned32(p + 24);
        header.colorsUsed = LoadLittle32(p + 28);
        header.colorsImportant = LoadLittle32(p + 32);
        ReadHeaderMasks(source);
        // Later header versions add fields this reader does not use.
        ReadBytes(source, header.size - std::min(header.size, MASKS_END));
    }
    CheckImageSize();
}

void PLBmpReader::ReadHeaderMasks(PLInput& source)
{
    // Part of the header whether or not the pixels use them.
    std::uint32_t bytes = std::min(m_header->size, MASKS_END) - WINDOWS_HEADER_BYTES;
    const std::uint8_t* p = source.Read(static_cast<int>(bytes));
    m_headerMaskCount = static_cast<int>(bytes / 4);
    for (int i = 0; i < m_headerMaskCount; ++i)
        m_headerMasks[i] = LoadLittle32(p + 4 * i);
}

void PLBmpReader::CheckImageSize() const
{
    const BmpHeader& header = *m_header;
    if (header.width <= 0)
        Refuse(1, FormatText("BMP width: %d pixels, expected 1 or more", header.width));
    if (header.height == 0)
        ThrowDecoderError(1, "BMP height: 0 rows, expected at least 1 (or -1 and less for top-down rows)");
    if (header.height == INT_MIN)
        Refuse(6, FormatText("BMP height: %d rows, at most 2147483647 top-down rows", header.height));
}

void PLBmpReader::ReadColorTable(PLInput& source)
{
    // Entries the file does not supply are black; every decode starts afresh.
    std::fill(std::begin(m_colorTable), std::end(m_colorTable), PLColor(0, 0, 0, 255));
    m_colorEntries = 0;
    const BmpHeader& header = *m_header;
    if (header.bitCount > MAX_BITS_PER_PIXEL)
        return;
    // A count of 0 means the full 2^depth.
    std::uint32_t entries = header.colorsUsed != 0 ? header.colorsUsed : 1u << header.bitCount;
    if (entries > MAX_COLORS)
        Refuse(1, FormatText("BMP colour table: %u entries, at most 256", entries));
    TraceMessage(3, "Reading palette.\n");
    // OS/2 headers store blue, green, red; Windows headers add a fourth, unused byte.
    int entryBytes = header.size == OS2_HEADER_BYTES ? 3 : 4;
    m_colorEntries = static_cast<int>(entries);
    const std::uint8_t* table = source.Read(m_colorEntries * entryBytes);
    for (int i = 0; i < m_colorEntries; ++i) {
        const std::uint8_t* entry = table + i * entryBytes;
        m_colorTable[i] = PLColor(entry[2], entry[1], entry[0], 255);
    }
}

bool PLBmpReader::IsTrueColor() const
{
    int bitCount = m_header->bitCount;
    return bitCount == 16 || bitCount == 24 || bitCount == 32;
}

void PLBmpReader::RefuseLayout(int code, const std::string& text)
{
    if (!m_layoutRefusal.empty())
        return;
    m_layoutRefusal = text;
    m_layoutRefusalCode = code;
}

void PLBmpReader::ReadChannelMasks(PLInput& source)
{
    if (!IsTrueColor())
        return;
    const BmpHeader& header = *m_header;
    PLTrueColorRows::Masks masks = PLTrueColorRows::UncompressedMasks(header.bitCount);
    if (header.compression == BI_BITFIELDS || header.compression == BI_ALPHABITFIELDS) {
        // Red, green, blue (and alpha for BI_ALPHABITFIELDS) follow a 40-byte
        // header; longer ones hold them, and from 56 bytes on alpha as well.
        std::uint32_t found[4] = {};
        std::copy(m_headerMasks, m_headerMasks + m_headerMaskCount, found);
        int wanted = header.compression == BI_ALPHABITFIELDS ? 4 : 3;
        if (m_headerMaskCount < wanted) {
            const std::uint8_t* p = source.Read(4 * (wanted - m_headerMaskCount));
            for (int i = m_headerMaskCount; i < wanted; ++i)
                found[i] = LoadLittle32(p + 4 * (i - m_headerMaskCount));
        }
        masks = {found[0], found[1], found[2], found[3]};
    } else if (header.compression != BI_RGB) {
        RefuseLayout(6,
                     FormatText("BMP compression: %u (%s) is not supported for %d bits per pixel", header.compression,
                                CompressionName(header.compression), static_cast<int>(header.bitCount)));
        return;
    }
    std::string problem = PLTrueColorRows::CheckMasks(masks, header.bitCount);
    if (!problem.empty()) {
        RefuseLayout(1, problem);
        return;
    }
    m_trueColor.SetLayout(masks, header.bitCount);
}

void PLBmpReader::SkipToPixels(PLInput& source)
{
    long long skip = static_cast<long long>(m_dataOffset) - source.Consumed();
    if (IsTrueColor()) {
        // The data offset is the one way past the optional colour table a
        // true-colour file may carry ("colours used"), and every writer of
        // such files sets it. One inside the headers contradicts them, and
        // this reader cannot go back: such a file, like one whose offset lies
        // past its end, is refused rather than read from a guessed place.
        if (skip < 0)
            RefuseLayout(1,
                         FormatText("BMP data offset: %u, but the headers end at %d", m_dataOffset, source.Consumed()));
        else if (m_dataOffset > static_cast<std::uint32_t>(source.Size()))
            RefuseLayout(
                1, FormatText("BMP data offset: %u, past the end of the file at %d", m_dataOffset, source.Size()));
        else
            ReadBytes(source, static_cast<std::uint64_t>(skip));
        return;
    }
    if (m_header->size != OS2_HEADER_BYTES) {
        // Windows files may leave a gap before their rows (a colour table
        // shorter than the room made for it, or bytes of their own): an
        // offset beyond what was read and inside the file says where the
        // rows are. Many writers leave the offset 0 or too small, so such an
        // offset, like one past the end, is not trusted: the rows then follow
        // the colour table directly.
        if (skip > 0 && m_dataOffset <= static_cast<std::uint32_t>(source.Size()))
            ReadBytes(source, static_cast<std::uint64_t>(skip));
        return;
    }
    if (m_header->bitCount > MAX_BITS_PER_PIXEL)
        return;
    if (skip < 0)
        Refuse(1, FormatText("BMP data offset: %u, but the headers and colour table end at %d", m_dataOffset,
                             source.Consumed()));
    ReadBytes(source, static_cast<std::uint64_t>(skip));
}

void PLBmpReader::Announce()
{
    const BmpHeader& header = *m_header;
    int depth = header.bitCount > MAX_BITS_PER_PIXEL ? 32 : 8;
    m_topDown = header.height < 0;
    m_rows = m_topDown ? -header.height : header.height;
    PLPoint resolution{DotsPerInch(header.xPixelsPerMetre), DotsPerInch(header.yPixelsPerMetre)};
    // Only an alpha mask makes an alpha channel: the fourth byte of an
    // uncompressed 32-bit pixel is padding, which writers fill with anything.
    bool hasAlpha = Channels().alpha > 0;
    SetInfo({header.width, m_rows}, depth, resolution, hasAlpha, false);
}

PLBmpReader::ChannelBits PLBmpReader::Channels() const
{
    if (m_header == nullptr || !m_layoutRefusal.empty())
        return {};
    if (m_header->bitCount <= MAX_BITS_PER_PIXEL)
        return {8, 8, 8, 0};
    return IsTrueColor() ? m_trueColor.Bits() : ChannelBits{};
}

void PLBmpReader::CheckDataSize(const PLInput& source) const
{
    // What the headers said the pixels cannot be read as comes first.
    if (!m_layoutRefusal.empty())
        Refuse(m_layoutRefusalCode, m_layoutRefusal);
    const BmpHeader& header = *m_header;
    // RLE data may end any row, and the bitmap itself, early ("00 00",
    // "00 01"): the pixels it never reaches are 0, so a few bytes can
    // rightly stand for any size. What such an image may cost is for the
    // caller to judge from the size announced (OpenFile, then DecodeInto).
    if (header.compression != 0 && (header.bitCount == 4 || header.bitCount == 8))
        return;
    // (width x height) x 4 stays below 2^64, since both sides are below 2^31.
    std::uint64_t pixels = static_cast<std::uint64_t>(Width()) * static_cast<std::uint64_t>(Height());
    std::uint64_t needed = 0;
    switch (header.bitCount) {
    case 1:
        needed = (pixels + 7) / 8;
        break;
    case 4:
        needed = (pixels + 1) / 2;
        break;
    case 8:
        needed = pixels;
        break;
    case 16:
    case 24:
    case 32:
        needed = pixels * (header.bitCount / 8u);
        break;
    default:
        return; // a depth no decoder reads: refused before any pixel
    }
    auto left = static_cast<std::uint64_t>(source.Remaining());
    if (needed > left)
        ThrowDecoderError(11, FormatText("BMP pixel data: %llu byte%s left in the file, at least %llu needed for "
                                         "%d x %d pixels",
                                         static_cast<unsigned long long>(left), left == 1 ? "" : "s",
                                         static_cast<unsigned long long>(needed), Width(), Height())
                                  .c_str());
}

void PLBmpReader::ReadPixels(PLBitmap& bitmap)
{
    if (BitsPerPixel() == 8)
        bitmap.SetColorTable(m_colorTable);
    bitmap.BeginAccess(false, true);
    try {
        DecodeRows(bitmap);
    } catch (const PLTextException&) {
        bitmap.EndAccess();
        throw;
    }
    bitmap.EndAccess();
}

void PLBmpReader::DecodeRows(PLBitmap& bitmap)
{
    const BmpHeader& header = *m_header;
    switch (header.bitCount) {
    case 1:
        TraceMessage(2, "Decoding 1 bit per pixel bitmap.\n");
        DecodeUncompressed(bitmap);
        break;
    case 4:
        if (header.compression != 0) {
            TraceMessage(2, "Decoding RLE4-compressed bitmap.\n");
            DecodeRle(bitmap);
        } else {
            TraceMessage(2, "Decoding uncompressed 4 bit per pixel bitmap.\n");
            DecodeUncompressed(bitmap);
        }
        break;
    case 8:
        if (header.compression != 0) {
            TraceMessage(2, "Decoding RLE8-compressed bitmap.\n");
            DecodeRle(bitmap);
        } else {
            TraceMessage(2, "Decoding uncompressed 8 bit per pixel bitmap.\n");
            DecodeUncompressed(bitmap);
        }
        break;
    case 16:
    case 24:
    case 32: {
        TraceMessage(2, "Decoding true-color bitmap.\n");
        BitmapRows rows(bitmap);
        DecodeTrueColor(rows);
        break;
    }
    default:
        // A JPEG or PNG picture inside a BMP file has no bit count of its own.
        if (header.bitCount == 0 && (header.compression == BI_JPEG || header.compression == BI_PNG))
            Refuse(6, FormatText("BMP compression: %u (%s) is not supported", header.compression,
                                 header.compression == BI_JPEG ? "JPEG" : "PNG"));
        ThrowDecoderError(2, "Decoding bmp: Illegal bpp value.");
    }
}

void PLBmpReader::DecodeRowsInto(PLRowSink& sink)
{
    PLInput& source = HeaderSource();
    if (!IsTrueColor()) {
        if (BitsPerPixel() == 32)
            ThrowDecoderError(2, "Decoding bmp: Illegal bpp value.");
        ThrowDecoderError(6, FormatText("Decoding rows: the image has %d bits per pixel, rows are delivered for "
                                        "16, 24 and 32 bits only",
                                        static_cast<int>(m_header->bitCount))
                                 .c_str());
    }
    CheckDataSize(source);
    TraceMessage(2, "Decoding true-color bitmap.\n");
    DecodeTrueColor(sink);
}

void PLBmpReader::DecodeTrueColor(PLRowSink& sink)
{
    int width = Width();
    // Rows in the file are padded to a multiple of 4 bytes.
    std::uint64_t paddedBytes = (PLBitmap::RowBytes(width, m_header->bitCount) + 3) / 4 * 4;
    std::unique_ptr<PLColor[]> row = PLTrueColorRows::AllocateRow(width);
    for (int k = 0; k < m_rows; ++k) {
        m_trueColor.DecodeRow(ReadBytes(Source(), paddedBytes), row.get(), width);
        sink.TakeRow(TargetRow(k), row.get(), width);
    }
}

int PLBmpReader::TargetRow(int fileRow) const
{
    return m_topDown ? fileRow : m_rows - 1 - fileRow;
}

void PLBmpReader::DecodeUncompressed(PLBitmap& bitmap)
{
    int bitCount = m_header->bitCount;
    int width = Width();
    // Rows in the file are padded to a multiple of 4 bytes.
    std::uint64_t dataBytes = PLBitmap::RowBytes(width, bitCount);
    std::uint64_t paddedBytes = (dataBytes + 3) / 4 * 4;
    std::uint8_t** lines = bitmap.Lines();
    for (int k = 0; k < m_rows; ++k) {
        const std::uint8_t* data = ReadBytes(Source(), paddedBytes);
        std::uint8_t* row = lines[TargetRow(k)];
        if (bitCount == 8)
            std::memcpy(row, data, static_cast<std::size_t>(width));
        else if (bitCount == 4)
            ExpandNibbles(data, row, width);
        else
            ExpandBits(data, row, width);
    }
}

void PLBmpReader::DecodeRle(PLBitmap& bitmap)
{
    // RLE8 and RLE4 share their escapes; they differ only in how many pixels
    // a byte holds.
    const bool nibbles = m_header->bitCount == 4;
    PLInput& source = Source();
    int width = Width();
    std::uint8_t** lines = bitmap.Lines();
    // Pixels the data never reaches (rows ended early, the bitmap ended
    // early) stay 0.
    for (int y = 0; y < m_rows; ++y)
        std::memset(lines[y], 0, static_cast<std::size_t>(width));

    int fileRow = 0;
    int x = 0;
    while (fileRow < m_rows) {
        const std::uint8_t* pair = source.Read(2);
        std::uint8_t* row = lines[TargetRow(fileRow)];
        if (pair[0] != 0) {
            x = PutEncodedRun(row, x, width, pair[0], pair[1], nibbles);
            continue;
        }
        switch (pair[1]) {
        case END_OF_ROW:
            ++fileRow;
            x = 0;
            break;
        case END_OF_BITMAP:
            return;
        case DELTA:
            ThrowDecoderError(6, "Encountered delta escape.");
        default:
            x = CopyAbsoluteRun(source, row, x, width, pair[1], nibbles);
            break;
        }
    }
}
