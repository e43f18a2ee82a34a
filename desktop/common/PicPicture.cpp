#include "desktop/common/PicPicture.h"

#include "converter/support/CharString.h"
#include "converter/support/LittleEndian.h"
#include "converter/support/FileHandle.h"
#include "desktop/common/DesktopMessages.h"
#include "pic/DefaultPalette.h"
#include "pic/PicFile.h"
#include "pic/PicSize.h"
#include "platform/Platform.h"

#include <cerrno>
#include <cstring>

namespace {

// What PicFile refused, in the desktop programs' words.
std::string WordDesktopRefusal(const PicRefusal& refusal)
{
    return WordRefusal(refusal, DesktopMessages::PIC_REFUSALS).Text();
}

} // namespace

PicPicture::PicPicture()
{
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreRgb(m_colorMap + 3 * i, RgbFromEntry(DEFAULT_PALETTE[i]));
}

bool PicPicture::Load(const char* path)
{
    PicFile pic;
    pic.OnUnknownChunk = OnUnknownChunk;
    errno = 0;
    if (!pic.Load(path)) {
        // Without a refusal the file did not open; the system's reason is
        // what a user can act on (a wrong name, a folder, missing rights).
        int error = errno;
        if (pic.Refusal().kind != PicRefusal::NONE) {
            m_error = WordDesktopRefusal(pic.Refusal());
        } else {
            CharString text;
            m_error = Format(text, DesktopMessages::FILE_NOT_OPENED_FORMAT,
                             Platform::DescribeError(error != 0 ? error : ENOENT))
                          .Text();
        }
        return false;
    }
    return TakePicture(pic);
}

bool PicPicture::Load(const char* path, ByteBuffer& file)
{
    FileHandle handle;
    if (handle.Open(path, FileHandle::READ) && file.ReadFrom(handle)) {
        if (Parse(file.Data(), file.Size()))
            return true;
        file.Clear();
        return false;
    }
    file.Clear();
    // Not opened, or not read whole: Load words why, as for any file.
    return Load(path);
}

bool PicPicture::Parse(const unsigned char* data, int size)
{
    return ParseFile(data, size, true);
}

bool PicPicture::ParseWithoutPixels(const unsigned char* data, int size)
{
    return ParseFile(data, size, false);
}

bool PicPicture::ParseFile(const unsigned char* data, int size, bool withPixels)
{
    PicFile pic;
    pic.OnUnknownChunk = OnUnknownChunk;
    pic.DefersImage = !withPixels;
    pic.Parse(data, size);
    return TakePicture(pic);
}

bool PicPicture::DecodeRows(PicRowSink& sink, int& decodedPixels) const
{
    return PicFile::DecodeRows(m_width, m_height, m_imageStream.Data(), m_imageStream.Size(), sink, decodedPixels);
}

bool PicPicture::TakePicture(PicFile& pic)
{
    m_error.clear();
    // A refused image chunk is checked first: an earlier image may still be
    // there, but the file's last word on its picture could not be read.
    if (pic.Refusal().kind != PicRefusal::NONE) {
        m_error = WordDesktopRefusal(pic.Refusal());
        return false;
    }
    if (!pic.HasImage) {
        m_error = DesktopMessages::NO_IMAGE_CHUNK;
        return false;
    }
    // PicFile holds only sizes it can store, whose product fits an int.
    auto count = static_cast<int>(CountPixels(pic.Width(), pic.Height()));
    if (count == 0) {
        CharString text;
        m_error = Format(text, DesktopMessages::EMPTY_PICTURE_FORMAT, pic.Width(), pic.Height()).Text();
        return false;
    }
    ByteBuffer pixels;
    if (!pic.DefersImage) {
        if (!pixels.SetSize(count)) {
            m_error = DesktopMessages::NO_MEMORY;
            return false;
        }
        pic.CopyPixels(pixels.Data(), count);
    }
    ByteBuffer stream;
    if (stream.Assign(pic.ImageStream()).Size() != pic.ImageStream().Size()) {
        m_error = DesktopMessages::NO_MEMORY;
        return false;
    }
    m_pixels.Swap(pixels);
    m_imageStream.Swap(stream);
    m_width = pic.Width();
    m_height = pic.Height();
    m_givenPixels = pic.DecodedPixels();
    // Without a palette chunk PicFile holds the default palette, as the
    // converter's BMP file of the picture does.
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreRgb(m_colorMap + 3 * i, RgbFromEntry(pic.PaletteEntry(static_cast<unsigned>(i))));
    m_hasPalette = pic.HasPalette;
    return true;
}

bool PicPicture::SetImage(int width, int height, const unsigned char* pixels, const unsigned char* colorMap, int colors)
{
    m_error = SizeRefusal(width, height);
    if (!m_error.empty())
        return false;
    auto count = static_cast<int>(CountPixels(width, height)); // storable, so it fits
    ByteBuffer copy;
    if (!copy.SetSize(count)) {
        m_error = DesktopMessages::NO_MEMORY;
        return false;
    }
    if (count > 0)
        std::memcpy(copy.Data(), pixels, static_cast<size_t>(count));
    m_pixels.Swap(copy);
    m_width = width;
    m_height = height;
    m_givenPixels = static_cast<long long>(CountPixels(width, height));
    if (colors < 0)
        colors = 0;
    if (colors > PALETTE_ENTRIES)
        colors = PALETTE_ENTRIES;
    // Entries the colour map does not supply are black, as the BMP reader
    // makes them for a short colour table.
    std::memset(m_colorMap, 0, sizeof m_colorMap);
    if (colors > 0)
        std::memcpy(m_colorMap, colorMap, static_cast<size_t>(3 * colors));
    m_hasPalette = true;
    return true;
}

std::string PicPicture::SizeRefusal(int width, int height)
{
    if (IsStorableSize(width, height))
        return {};
    return WordDesktopRefusal(PicRefusal::OfSize(PicRefusal::PICTURE_TOO_LARGE, width, height, PicFile::MAX_SIDE));
}

bool PicPicture::Save(const char* path, bool writePalette)
{
    m_error.clear();
    // The palette as PicFile takes it: 256 little-endian entries 0x00BBGGRR.
    unsigned char palette[PALETTE_BYTES];
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        StoreLittle32(palette + 4 * i, EntryFromRgb(LoadRgb(m_colorMap + 3 * i)));
    PicFile pic;
    if (pic.SetImage(m_width, m_height, m_pixels.Data(), palette) && pic.Save(path, writePalette))
        return true;
    m_error = WordDesktopRefusal(pic.Refusal());
    return false;
}

std::string PicPicture::DataEndsNote() const
{
    auto count = static_cast<long long>(CountPixels(m_width, m_height));
    if (m_givenPixels >= count)
        return std::string();
    CharString text;
    return Format(text, DesktopMessages::DATA_ENDS_FORMAT, m_givenPixels, count).Text();
}
