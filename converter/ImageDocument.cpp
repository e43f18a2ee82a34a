#include "converter/ImageDocument.h"

#include "converter/Messages.h"
#include "converter/support/LittleEndian.h"
#include "converter/support/PathParts.h"
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBorrowedBitmap.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLRowSink.h"
#include "bitmap/PLTextException.h"
#include "pic/DefaultPalette.h"
#include "pic/PaletteMapper.h"
#include "pic/PaletteEntry.h"
#include "pic/PicFile.h"
#include "pic/PicSize.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

ImageDocument::ImageDocument()
{
    Reset();
}

void ImageDocument::Reset()
{
    FileType = TYPE_NONE;
    Palette.Clear();
    Pixels.Clear();
    Width = 0;
    Height = 0;
    GivenPixels = 0;
    HasPalette = true;
    m_hadImage = false;
}

int ImageDocument::FileTypeOf(const char* name)
{
    CharString extension = PathParts(name).GetParts(PathParts::EXTENSION);
    extension.MakeLower();
    if (extension == "bmp")
        return TYPE_BMP;
    if (extension == "pic")
        return TYPE_PIC;
    return TYPE_NONE;
}

bool ImageDocument::Load(const char* name)
{
    m_refusalReason.Empty();
    m_trueColor = m_refusedTrueColor = false;
    if (name == nullptr)
        return false;
    switch (FileTypeOf(name)) {
    case TYPE_BMP:
        FileType = TYPE_BMP;
        return LoadBmp(name, nullptr);
    case TYPE_PIC:
        FileType = TYPE_PIC;
        return LoadPic(name);
    default:
        return false;
    }
}

bool ImageDocument::LoadQuietly(const char* name)
{
    m_quiet = true;
    bool loaded = Load(name);
    m_quiet = false;
    return loaded;
}

bool ImageDocument::LoadMapped(const char* name, PaletteMapper& mapper)
{
    if (name == nullptr || FileTypeOf(name) != TYPE_BMP)
        return Load(name);
    m_refusalReason.Empty();
    m_trueColor = m_refusedTrueColor = false;
    FileType = TYPE_BMP;
    return LoadBmp(name, &mapper);
}

bool ImageDocument::MapOnto(PaletteMapper& mapper)
{
    if (!CheckPixels())
        return false;
    const auto width = static_cast<std::size_t>(Width);
    ByteBuffer mapped;
    std::vector<unsigned char> colors(3 * width);
    if (!mapped.SetSize(Pixels.Size()))
        return false;
    std::uint32_t entries[PALETTE_ENTRIES];
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        entries[i] = PaletteEntry(i);
    mapper.Start(Width, Height);
    for (int y = 0; y < Height; ++y) {
        const unsigned char* indices = Pixels.Data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x)
            StoreRgb(colors.data() + 3 * x, RgbFromEntry(entries[indices[x]]));
        mapper.MapRow(y, colors.data(), RGB_PIXELS, indices, mapped.Data() + static_cast<std::size_t>(y) * width);
    }
    Pixels.Swap(mapped);
    TakePalette(mapper.Palette());
    return true;
}

void ImageDocument::TakePalette(const std::uint32_t* entries)
{
    if (!Palette.SetSize(PALETTE_BYTES))
        return;
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreLittle32(Palette.Data() + 4 * i, entries[i]);
}

bool ImageDocument::Save(const char* name, int fileType)
{
    m_refusalReason.Empty();
    if (name == nullptr)
        return false;
    switch (fileType) {
    case TYPE_BMP:
        return SaveBmp(name);
    case TYPE_PIC:
        return SavePic(name);
    default:
        return true;
    }
}

bool ImageDocument::Save(const char* name)
{
    return Save(name, FileType);
}

void ImageDocument::SetDefaultPalette()
{
    if (!Palette.SetSize(PALETTE_BYTES))
        return;
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreLittle32(Palette.Data() + 4 * i, DEFAULT_PALETTE[i]);
}

std::uint32_t ImageDocument::PaletteEntry(int i) const
{
    if (i < 0 || i >= PALETTE_ENTRIES || Palette.Size() < PALETTE_BYTES)
        return 0;
    return LoadLittle32(Palette.Data() + 4 * i);
}

bool ImageDocument::LoadPic(const char* name)
{
    PicFile pic;
    if (m_quiet)
        pic.OnUnknownChunk = nullptr;
    bool read = pic.Load(name);
    // A picture the file holds but the reader could not is lost, not empty:
    // taken for a 0 x 0 image it would be saved as one.
    if (pic.Refusal().kind != PicRefusal::NONE) {
        m_refusalReason = WordRefusal(pic.Refusal(), Messages::PIC_REFUSALS);
        return false;
    }
    if (!read)
        return false;
    // The pixels are gathered aside, so that a failure leaves the document as
    // it was. PicFile holds only sizes it can store, whose product fits an int.
    auto count = static_cast<int>(CountPixels(pic.Width(), pic.Height()));
    ByteBuffer pixels;
    if (count > 0 && pic.HasImage && pic.Pixels.Size() == count) {
        // The decoded block is exactly the picture: take it over rather than copy it.
        pixels.Swap(pic.Pixels);
    } else if (count > 0) {
        // The picture is written out whole, so the pixels its data did not
        // give are made here, as index 0.
        if (!pixels.SetSize(count))
            return false;
        // CopyPixels pads with 0 when the file had an image; zeros stand in
        // when it did not.
        if (!pic.HasImage)
            std::memset(pixels.Data(), 0, static_cast<size_t>(count));
        pic.CopyPixels(pixels.Data(), count);
    }
    Pixels.Swap(pixels);
    Width = pic.Width();
    Height = pic.Height();
    m_hadImage = pic.HasImage;
    GivenPixels = pic.HasImage ? static_cast<std::uint64_t>(pic.DecodedPixels()) : 0;

    SetDefaultPalette();
    HasPalette = false;
    if (pic.HasPalette && Palette.SetSize(PALETTE_BYTES)) {
        for (int i = 0; i < PALETTE_ENTRIES; ++i)
            StoreLittle32(Palette.Data() + 4 * i, pic.PaletteEntry(static_cast<unsigned>(i)));
        HasPalette = true;
    }
    return true;
}

bool ImageDocument::SavePic(const char* name)
{
    if (!CheckPixels())
        return false;
    // Without palette data the file gets no palette chunk.
    const unsigned char* palette = Palette.Size() >= PALETTE_BYTES ? Palette.Data() : nullptr;
    PicFile pic;
    // The encoder reads the document's own pixels, lent rather than copied,
    // so the picture is in memory once; they come back whatever the outcome.
    if (!pic.TakeImage(Width, Height, Pixels, palette)) {
        m_refusalReason = WordRefusal(pic.Refusal(), Messages::PIC_REFUSALS);
        return false;
    }
    bool saved = pic.Save(name, true);
    Pixels.Swap(pic.Pixels);
    if (!saved)
        m_refusalReason = WordRefusal(pic.Refusal(), Messages::PIC_REFUSALS);
    return saved;
}

bool ImageDocument::CheckPixels()
{
    // Both savers read Width x Height bytes from Pixels.
    if (Width >= 0 && Height >= 0 && CountPixels(Width, Height) <= static_cast<std::uint64_t>(Pixels.Size()))
        return true;
    Format(m_refusalReason, Messages::PIXELS_MISSING_FORMAT, Width, Height, Pixels.Size());
    return false;
}

// The bitmap library reports every failure as a PLTextException; here it
// becomes a false result and a reason line, so nothing of it reaches the
// converter's callers. The library's objects live for this one load or save.
bool ImageDocument::LoadBmp(const char* name, PaletteMapper* trueColorMapper)
{
    try {
        PLBmpReader reader;
        reader.OpenFile(name);
        // The reader announces every file of more than 8 bits a pixel as 32.
        const bool trueColor = reader.BitsPerPixel() == 32;
        // No PIC file holds more, so a larger picture is refused from its
        // header, before a few bytes of RLE data can claim gigabytes.
        if (reader.Width() > PicFile::MAX_SIDE || reader.Height() > PicFile::MAX_SIDE) {
            auto limit = static_cast<unsigned long long>(PicFile::MAX_SIDE);
            Format(m_refusalReason, Messages::TOO_LARGE_FOR_PIC_FORMAT, reader.Width(), reader.Height(), limit, limit);
            return false;
        }
        if (trueColor && trueColorMapper != nullptr) {
            m_trueColor = TakeMappedRows(reader, *trueColorMapper);
            return m_trueColor;
        }
        PLMemBitmap bitmap;
        // A true-colour file is refused here for its depth, before any pixel.
        m_refusedTrueColor = trueColor;
        reader.DecodeInto(bitmap, 8);
        reader.Close();
        return TakeBitmap(bitmap);
    } catch (const PLTextException& error) {
        SetRefusalReason(error.Text());
        return false;
    }
}

namespace {

// Maps each decoded row into its place among the document's indices.
class MappedRows : public PLRowSink {
public:
    MappedRows(PaletteMapper& mapper, unsigned char* pixels, int width)
        : m_mapper(mapper), m_pixels(pixels), m_width(static_cast<std::size_t>(width))
    {
    }

    void TakeRow(int y, const PLColor* row, int) override
    {
        // PLColor is four bytes in memory order blue, green, red, alpha.
        m_mapper.MapRow(y, reinterpret_cast<const unsigned char*>(row), BGRA_PIXELS, nullptr,
                        m_pixels + static_cast<std::size_t>(y) * m_width);
    }

private:
    PaletteMapper& m_mapper;
    unsigned char* m_pixels;
    std::size_t m_width;
};

} // namespace

bool ImageDocument::TakeMappedRows(PLBmpReader& reader, PaletteMapper& mapper)
{
    int width = reader.Width();
    int height = reader.Height();
    // The sides are at most 32,767 each (checked above), so the count fits an int.
    auto count = static_cast<int>(CountPixels(width, height));
    ByteBuffer pixels;
    if (count == 0 || !pixels.SetSize(count)) {
        Format(m_refusalReason, Messages::PIXELS_OUT_OF_MEMORY_FORMAT, width, height);
        return false;
    }
    const PLBmpReader::ChannelBits bits = reader.Channels();
    mapper.SetBits({bits.red, bits.green, bits.blue});
    mapper.Start(width, height);
    MappedRows rows(mapper, pixels.Data(), width);
    reader.DecodeRowsInto(rows);
    reader.Close();
    Pixels.Swap(pixels);
    Width = width;
    Height = height;
    m_hadImage = true;
    TakePalette(mapper.Palette());
    HasPalette = true;
    return true;
}

bool ImageDocument::TakeBitmap(PLMemBitmap& bitmap)
{
    int width = bitmap.Width();
    int height = bitmap.Height();
    std::uint64_t count = CountPixels(width, height);
    // At 8 bits a row is Width bytes, rows top first without padding: the
    // bitmap's block is this document's pixels as they stand.
    if (count == 0 || count > INT_MAX || bitmap.BitsPerPixel() != 8 || bitmap.LineBytes() != width)
        return false;
    ByteBuffer palette;
    if (!palette.SetSize(PALETTE_BYTES)) {
        SetRefusalReason(Messages::PALETTE_OUT_OF_MEMORY);
        return false;
    }
    // The reader always delivers 256 entries; alpha has no place here.
    const PLColor* table = bitmap.ColorTable();
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreLittle32(palette.Data() + 4 * i, EntryFromRgb({table[i].r, table[i].g, table[i].b}));

    Pixels.Adopt(bitmap.TakePixels(), static_cast<int>(count));
    Palette.Swap(palette);
    Width = width;
    Height = height;
    m_hadImage = true;
    HasPalette = true;
    return true;
}

bool ImageDocument::SaveBmp(const char* name)
{
    if (!CheckPixels())
        return false;
    if (CountPixels(Width, Height) == 0) {
        // A BMP file without pixels is one that readers refuse (a PIC file
        // without an image chunk loads as 0 x 0).
        Format(m_refusalReason, Messages::EMPTY_FOR_BMP_FORMAT, Width, Height);
        return false;
    }
    try {
        // The writer reads the rows where the document holds them: the
        // picture is in memory once, beside the file being composed.
        PLBorrowedBitmap bitmap(Pixels.Data(), Width, Height, 8, static_cast<std::size_t>(Width));
        // Without palette data (the drop option) the colours are those a PIC
        // file without a palette shows.
        bool ownPalette = Palette.Size() >= PALETTE_BYTES;
        PLColor* table = bitmap.ColorTable();
        for (int i = 0; i < PALETTE_ENTRIES; ++i) {
            Rgb rgb = RgbFromEntry(ownPalette ? LoadLittle32(Palette.Data() + 4 * i) : DEFAULT_PALETTE[i]);
            table[i] = PLColor(rgb.red, rgb.green, rgb.blue, 0);
        }
        PLBmpWriter writer;
        writer.EncodeFile(name, bitmap);
        return true;
    } catch (const PLTextException& error) {
        SetRefusalReason(error.Text());
        return false;
    }
}

void ImageDocument::SetRefusalReason(const char* text)
{
    // The reason is shown as one line of its own, which the converter ends:
    // the line ends the library's texts carry are dropped, and any inside
    // (a file name may hold one) become blanks.
    std::string line = text != nullptr ? text : "";
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    m_refusalReason = line.c_str();
}
