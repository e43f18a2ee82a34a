// The PIC file object: reading a file whole, walking its chunks, and the
// pixel and palette access the converter uses.
#include "pic/PicFile.h"

#include "converter/support/FileHandle.h"
#include "converter/support/LittleEndian.h"
#include "pic/PicPalette.h"
#include "pic/PicSize.h"
#include "platform/Platform.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

struct ChunkHeader {
    std::uint16_t tag = 0;
    std::uint16_t length = 0;
};

// A header cut short by the end of the data leaves its missing bytes 0.
ChunkHeader ReadChunkHeader(ByteBuffer& data)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    data.Read(bytes, 4);
    ChunkHeader header;
    header.tag = LoadLittle16(bytes);
    header.length = LoadLittle16(bytes + 2);
    return header;
}

// A file that cannot be read whole: more bytes than a buffer's signed 32-bit
// size can count, or more than memory allows.
PicRefusal RefuseUnreadableFile(std::uint64_t size)
{
    if (size > static_cast<std::uint64_t>(INT_MAX))
        return PicRefusal::OfLength(PicRefusal::FILE_TOO_LARGE, size, INT_MAX);
    return PicRefusal::OfLength(PicRefusal::FILE_OUT_OF_MEMORY, size);
}

void ShowUnknownChunkMessage(std::uint16_t tag)
{
    Platform::ShowMessage(PicFile::UnknownChunkMessage(tag).c_str(), Platform::ProgramName().c_str());
}

} // namespace

PicFile::PicFile() : OnUnknownChunk(ShowUnknownChunkMessage)
{
    ResetPalette();
}

PicFile::~PicFile() = default;

bool PicFile::Load(const char* path)
{
    m_refusal = PicRefusal();
    FileHandle file;
    if (!file.Open(path, FileHandle::READ))
        return false;
    return LoadFrom(file);
}

bool PicFile::LoadFrom(FileHandle& file)
{
    if (!RawData.ReadFrom(file)) {
        m_refusal = RefuseUnreadableFile(file.GetSize());
        return false;
    }
    return Parse(RawData.Data(), RawData.Size());
}

bool PicFile::Parse(const unsigned char* data, int size)
{
    if (size < 0 || (data == nullptr && size > 0))
        size = 0;
    if (data != RawData.Data()) {
        RawData.Clear();
        RawData.Append(data, size);
    } else if (size < RawData.Size()) {
        RawData.SetSize(size);
    }
    WalkChunks();
    RawData.Clear();
    return true;
}

// Chunks follow each other to the end of the data, in any order and number;
// a later image replaces an earlier one.
void PicFile::WalkChunks()
{
    m_refusal = PicRefusal();
    RawData.Position = 0;
    while (RawData.Position < RawData.Size()) {
        ChunkHeader header = ReadChunkHeader(RawData);
        const unsigned char* data = RawData.Data() + RawData.Position;
        // Position <= Size holds after Read, so this cannot wrap; a chunk
        // running past the end is read from the bytes that are there.
        int available = RawData.Size() - RawData.Position;
        int length = header.length < available ? header.length : available;
        switch (header.tag) {
        case PicPalette::CHUNK_TAG:
            ReadPaletteChunk(data, available);
            break;
        case IMAGE_TAG:
            if (ReadImageChunk(data, length))
                HasImage = true;
            break;
        default:
            if (OnUnknownChunk)
                OnUnknownChunk(header.tag);
            break;
        }
        RawData.Seek(header.length, 0);
    }
}

void PicFile::ReadPaletteChunk(const unsigned char* data, int available)
{
    PicPalette::ReadChunk(data, available, Palette);
    HasPalette = true;
}

bool PicFile::ReadImageChunk(const unsigned char* data, int length)
{
    // Too short to hold a size: the chunk changes nothing, yet still counts as an image.
    if (length < 4)
        return true;
    int width = LoadLittleSigned16(data);
    int height = LoadLittleSigned16(data + 2);
    // Negative sizes (32,768 and up as stored) cannot be pictures.
    if (!IsStorableSize(width, height)) {
        // Said as stored: the file holds 32768, not -32768.
        m_refusal =
            PicRefusal::OfSize(PicRefusal::IMAGE_CHUNK_TOO_LARGE, LoadLittle16(data), LoadLittle16(data + 2), MAX_SIDE);
        return false;
    }
    ByteBuffer pixels, stream;
    if (DefersImage) {
        stream.Append(data + 4, length - 4);
        if (stream.Size() != length - 4) {
            m_refusal = PicRefusal::OfSize(PicRefusal::IMAGE_OUT_OF_MEMORY, width, height);
            return false;
        }
    } else if (!DecodePixels(width, height, data + 4, length - 4, pixels)) {
        // The stream is decoded where it lies in the file's data.
        m_refusal = PicRefusal::OfSize(PicRefusal::IMAGE_OUT_OF_MEMORY, width, height);
        return false;
    }
    m_refusal = PicRefusal();
    m_width = width;
    m_height = height;
    m_decodedPixels = pixels.Size();
    Pixels.Swap(pixels);
    m_imageStream.Swap(stream);
    return true;
}

std::string PicFile::UnknownChunkMessage(std::uint16_t tag)
{
    char text[128];
    std::snprintf(text, sizeof text, "You have found an unknown InternalData format!\nFormat ID= %c%c (0x%4x)",
                  tag & 0xFF, tag >> 8, static_cast<unsigned>(tag));
    // The message is a NUL-terminated text: a tag byte 0 ends it there.
    return std::string(text);
}

void PicFile::ResetPalette()
{
    PicPalette::Reset(Palette);
}

std::uint32_t PicFile::PaletteEntry(unsigned int i) const
{
    return i < PALETTE_ENTRIES ? Palette[i] : 0;
}

int PicFile::CopyPixels(unsigned char* destination, int n) const
{
    if (!HasImage)
        return 0;
    // Only storable sizes are ever set, and their product fits an int.
    auto total = static_cast<int>(CountPixels(m_width, m_height));
    int wanted = n < total ? n : total;
    if (wanted <= 0 || destination == nullptr)
        return total;
    // Pixels is a public field; should it have been cut short, the rest reads as 0.
    int held = wanted < Pixels.Size() ? wanted : Pixels.Size();
    if (held > 0)
        std::memcpy(destination, Pixels.Data(), static_cast<size_t>(held));
    std::memset(destination + held, 0, static_cast<size_t>(wanted - held));
    return total;
}

bool PicFile::RefuseUnstorableSize(int width, int height)
{
    m_refusal = PicRefusal();
    if (IsStorableSize(width, height))
        return false;
    m_refusal = PicRefusal::OfSize(PicRefusal::PICTURE_TOO_LARGE, width, height, MAX_SIDE);
    return true;
}

bool PicFile::SetImage(int width, int height, const unsigned char* pixels, const unsigned char* palette)
{
    if (RefuseUnstorableSize(width, height))
        return false;
    auto count = static_cast<int>(CountPixels(width, height)); // storable, so it fits
    if (count > 0 && pixels == nullptr)
        return false;
    ByteBuffer copy;
    if (!copy.SetSize(count)) {
        m_refusal = PicRefusal::OfSize(PicRefusal::SAVE_OUT_OF_MEMORY, width, height);
        return false;
    }
    if (count > 0)
        std::memcpy(copy.Data(), pixels, static_cast<size_t>(count));
    return TakeImage(width, height, copy, palette);
}

bool PicFile::TakeImage(int width, int height, ByteBuffer& pixels, const unsigned char* palette)
{
    if (RefuseUnstorableSize(width, height))
        return false;
    if (static_cast<std::uint64_t>(pixels.Size()) < CountPixels(width, height))
        return false;
    m_width = width;
    m_height = height;
    m_decodedPixels = static_cast<int>(CountPixels(width, height));
    Pixels.Swap(pixels);
    if (palette != nullptr) {
        // 1,024 bytes of little-endian 0x00BBGGRR entries.
        for (int i = 0; i < PALETTE_ENTRIES; ++i)
            Palette[i] = LoadLittle32(palette + 4 * i);
    }
    HasPalette = palette != nullptr;
    return true;
}
