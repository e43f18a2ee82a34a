#include "converter/ImageDocument.h"

#include "converter/Messages.h"
#include "converter/support/PathParts.h"
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"
#include "pic/DefaultPalette.h"
#include "pic/PicFile.h"
#include "platform/Platform.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

// Palette entries are kept as 32-bit little-endian values, red in the first byte.
void StoreEntry(unsigned char* bytes, std::uint32_t value)
{
    bytes[0] = static_cast<unsigned char>(value & 0xFF);
    bytes[1] = static_cast<unsigned char>((value >> 8) & 0xFF);
    bytes[2] = static_cast<unsigned char>((value >> 16) & 0xFF);
    bytes[3] = static_cast<unsigned char>((value >> 24) & 0xFF);
}

std::uint32_t LoadEntry(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// Width x Height as a byte count; -1 when a side is negative or the product
// does not fit a buffer.
long long PixelCount(int width, int height)
{
    if (width < 0 || height < 0)
        return -1;
    long long count = static_cast<long long>(width) * height;
    return count > INT_MAX ? -1 : count;
}

} // namespace

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
    HasPalette = true;
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
    if (name == nullptr)
        return false;
    switch (FileTypeOf(name)) {
    case TYPE_BMP:
        FileType = TYPE_BMP;
        return LoadBmp(name);
    case TYPE_PIC:
        FileType = TYPE_PIC;
        return LoadPic(name);
    default:
        return false;
    }
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
        StoreEntry(Palette.Data() + 4 * i, DEFAULT_PALETTE[i]);
}

std::uint32_t ImageDocument::PaletteEntry(int i) const
{
    if (i < 0 || i >= PALETTE_ENTRIES || Palette.Size() < PALETTE_BYTES)
        return 0;
    return LoadEntry(Palette.Data() + 4 * i);
}

bool ImageDocument::LoadPic(const char* name)
{
    PicFile pic;
    bool read = pic.Load(name);
    // A picture the file holds but the reader could not is lost, not empty:
    // taken for a 0 x 0 image it would be saved as one.
    if (!pic.LoadRefusal().empty()) {
        m_refusalReason = Messages::PIC_FILE_REASON;
        m_refusalReason += pic.LoadRefusal().c_str();
        return false;
    }
    if (!read)
        return false;
    // The pixels are gathered aside, so that a failure leaves the document as it was.
    long long count = PixelCount(pic.Width(), pic.Height());
    if (count < 0)
        return false;
    ByteBuffer pixels;
    if (count > 0 && pic.HasImage && pic.Pixels.Size() == count) {
        // The decoded block is exactly the picture: take it over rather than copy it.
        pixels.Swap(pic.Pixels);
    } else if (count > 0) {
        if (!pixels.SetSize(static_cast<int>(count)))
            return false;
        // CopyPixels fills all of them when the file had an image; zeros
        // stand in when it did not.
        std::memset(pixels.Data(), 0, static_cast<size_t>(count));
        pic.CopyPixels(pixels.Data(), static_cast<int>(count));
    }
    Pixels.Swap(pixels);
    Width = pic.Width();
    Height = pic.Height();

    SetDefaultPalette();
    HasPalette = false;
    if (pic.HasPalette && Palette.SetSize(PALETTE_BYTES)) {
        for (int i = 0; i < PALETTE_ENTRIES; ++i)
            StoreEntry(Palette.Data() + 4 * i, pic.PaletteEntry(static_cast<unsigned>(i)));
        HasPalette = true;
    }
    return true;
}

bool ImageDocument::SavePic(const char* name)
{
    long long count = PixelCount(Width, Height);
    if (count < 0 || Pixels.Size() < count) {
        // SetImage would read Width x Height bytes from Pixels.
        Format(m_refusalReason, Messages::PIXELS_MISSING_FORMAT, Width, Height, Pixels.Size());
        return false;
    }
    // Without palette data the file gets no palette chunk.
    const unsigned char* palette = Palette.Size() >= PALETTE_BYTES ? Palette.Data() : nullptr;
    PicFile pic;
    if (!pic.SetImage(Width, Height, Pixels.Data(), palette)) {
        Format(m_refusalReason, Messages::TOO_LARGE_FOR_PIC_FORMAT, Width, Height, PicFile::MAX_SIDE,
               PicFile::MAX_SIDE);
        return false;
    }
    if (!pic.Save(name, true)) {
        if (!pic.RefusalReason().empty())
            m_refusalReason = pic.RefusalReason().c_str();
        else
            Format(m_refusalReason, Messages::FILE_NOT_WRITTEN_FORMAT, Platform::ErrorText(pic.SaveError()));
        return false;
    }
    return true;
}

// The bitmap library reports every failure as a PLTextException; here it
// becomes a false result and a reason line, so nothing of it reaches the
// converter's callers. The library's objects live for this one load or save.
bool ImageDocument::LoadBmp(const char* name)
{
    try {
        PLBmpReader reader;
        reader.OpenFile(name);
        // No PIC file holds more, so a larger picture is refused from its
        // header, before a few bytes of RLE data can claim gigabytes.
        if (reader.Width() > PicFile::MAX_SIDE || reader.Height() > PicFile::MAX_SIDE) {
            Format(m_refusalReason, Messages::TOO_LARGE_FOR_PIC_FORMAT, reader.Width(), reader.Height(),
                   PicFile::MAX_SIDE, PicFile::MAX_SIDE);
            return false;
        }
        PLMemBitmap bitmap;
        reader.DecodeInto(bitmap, 8);
        reader.Close();
        return TakeBitmap(bitmap);
    } catch (const PLTextException& error) {
        SetRefusalReason(error.Text());
        return false;
    }
}

bool ImageDocument::TakeBitmap(PLMemBitmap& bitmap)
{
    int width = bitmap.Width();
    int height = bitmap.Height();
    long long count = PixelCount(width, height);
    // At 8 bits a row is Width bytes, rows top first without padding: the
    // bitmap's block is this document's pixels as they stand.
    if (count <= 0 || bitmap.BitsPerPixel() != 8 || bitmap.LineBytes() != width)
        return false;
    ByteBuffer palette;
    if (!palette.SetSize(PALETTE_BYTES)) {
        SetRefusalReason(Messages::NO_MEMORY);
        return false;
    }
    // The reader always delivers 256 entries; alpha has no place here.
    const PLColor* table = bitmap.ColorTable();
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreEntry(palette.Data() + 4 * i, static_cast<std::uint32_t>(table[i].b) << 16 |
                                               static_cast<std::uint32_t>(table[i].g) << 8 | table[i].r);

    Pixels.Adopt(bitmap.TakePixels(), static_cast<int>(count));
    Palette.Swap(palette);
    Width = width;
    Height = height;
    HasPalette = true;
    return true;
}

bool ImageDocument::SaveBmp(const char* name)
{
    long long count = PixelCount(Width, Height);
    if (count < 0 || Pixels.Size() < count) {
        Format(m_refusalReason, Messages::PIXELS_MISSING_FORMAT, Width, Height, Pixels.Size());
        return false;
    }
    if (count == 0) {
        // A BMP file without pixels is one that readers refuse (a PIC file
        // without an image chunk loads as 0 x 0).
        Format(m_refusalReason, Messages::EMPTY_FOR_BMP_FORMAT, Width, Height);
        return false;
    }
    try {
        PLMemBitmap bitmap;
        bitmap.Create(Width, Height, 8, false, false, PLPoint{0, 0});
        std::uint8_t** lines = bitmap.Lines();
        auto width = static_cast<std::size_t>(Width);
        for (int y = 0; y < Height; ++y)
            std::memcpy(lines[y], Pixels.Data() + static_cast<std::size_t>(y) * width, width);
        // Without palette data (the drop option) the colours are those a PIC
        // file without a palette shows.
        bool ownPalette = Palette.Size() >= PALETTE_BYTES;
        PLColor* table = bitmap.ColorTable();
        for (int i = 0; i < PALETTE_ENTRIES; ++i) {
            std::uint32_t entry = ownPalette ? LoadEntry(Palette.Data() + 4 * i) : DEFAULT_PALETTE[i];
            table[i] = PLColor(static_cast<std::uint8_t>(entry & 0xFF), static_cast<std::uint8_t>((entry >> 8) & 0xFF),
                               static_cast<std::uint8_t>((entry >> 16) & 0xFF), 0);
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
