#include "viewer/PicImage.h"

#include "viewer/RunByteSource.h"

#include <cstring>
#include <new>

namespace {

constexpr std::uint16_t PALETTE_TAG = 0x304D; // 'M','0'
constexpr std::uint16_t IMAGE_TAG = 0x3058;   // 'X','0'
constexpr std::size_t CHUNK_HEADER_BYTES = 4; // tag, length
constexpr std::size_t IMAGE_HEADER_BYTES = 4; // width, height
constexpr unsigned char RLE_ESCAPE = 0x90;

// The viewer's own copy of the default palette, as it shares no source with
// the converter (pic/DefaultPalette.cpp); the cross-check tests hold the two
// to the same colours. 0x00BBGGRR. Entries 16 to 255 are the VGA start-up
// palette (6-bit values times 4, the last eight black); 0 to 15 are the 16
// basic colours.
// clang-format off
constexpr std::uint32_t DEFAULT_PALETTE[PicImage::PALETTE_ENTRIES] = {
    0x000000, 0x7F0000, 0x007F00, 0x7F7F00, 0x00007F, 0x7F007F, 0x007F7F, 0xC0C0C0,
    0x7F7F7F, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
    0x000000, 0x141414, 0x202020, 0x2C2C2C, 0x383838, 0x444444, 0x505050, 0x606060,
    0x707070, 0x808080, 0x909090, 0xA0A0A0, 0xB4B4B4, 0xC8C8C8, 0xE0E0E0, 0xFCFCFC,
    0xFC0000, 0xFC0040, 0xFC007C, 0xFC00BC, 0xFC00FC, 0xBC00FC, 0x7C00FC, 0x4000FC,
    0x0000FC, 0x0040FC, 0x007CFC, 0x00BCFC, 0x00FCFC, 0x00FCBC, 0x00FC7C, 0x00FC40,
    0x00FC00, 0x40FC00, 0x7CFC00, 0xBCFC00, 0xFCFC00, 0xFCBC00, 0xFC7C00, 0xFC4000,
    0xFC7C7C, 0xFC7C9C, 0xFC7CBC, 0xFC7CDC, 0xFC7CFC, 0xDC7CFC, 0xBC7CFC, 0x9C7CFC,
    0x7C7CFC, 0x7C9CFC, 0x7CBCFC, 0x7CDCFC, 0x7CFCFC, 0x7CFCDC, 0x7CFCBC, 0x7CFC9C,
    0x7CFC7C, 0x9CFC7C, 0xBCFC7C, 0xDCFC7C, 0xFCFC7C, 0xFCDC7C, 0xFCBC7C, 0xFC9C7C,
    0xFCB4B4, 0xFCB4C4, 0xFCB4D8, 0xFCB4E8, 0xFCB4FC, 0xE8B4FC, 0xD8B4FC, 0xC4B4FC,
    0xB4B4FC, 0xB4C4FC, 0xB4D8FC, 0xB4E8FC, 0xB4FCFC, 0xB4FCE8, 0xB4FCD8, 0xB4FCC4,
    0xB4FCB4, 0xC4FCB4, 0xD8FCB4, 0xE8FCB4, 0xFCFCB4, 0xFCE8B4, 0xFCD8B4, 0xFCC4B4,
    0x700000, 0x70001C, 0x700038, 0x700054, 0x700070, 0x540070, 0x380070, 0x1C0070,
    0x000070, 0x001C70, 0x003870, 0x005470, 0x007070, 0x007054, 0x007038, 0x00701C,
    0x007000, 0x1C7000, 0x387000, 0x547000, 0x707000, 0x705400, 0x703800, 0x701C00,
    0x703838, 0x703844, 0x703854, 0x703860, 0x703870, 0x603870, 0x543870, 0x443870,
    0x383870, 0x384470, 0x385470, 0x386070, 0x387070, 0x387060, 0x387054, 0x387044,
    0x387038, 0x447038, 0x547038, 0x607038, 0x707038, 0x706038, 0x705438, 0x704438,
    0x705050, 0x705058, 0x705060, 0x705068, 0x705070, 0x685070, 0x605070, 0x585070,
    0x505070, 0x505870, 0x506070, 0x506870, 0x507070, 0x507068, 0x507060, 0x507058,
    0x507050, 0x587050, 0x607050, 0x687050, 0x707050, 0x706850, 0x706050, 0x705850,
    0x400000, 0x400010, 0x400020, 0x400030, 0x400040, 0x300040, 0x200040, 0x100040,
    0x000040, 0x001040, 0x002040, 0x003040, 0x004040, 0x004030, 0x004020, 0x004010,
    0x004000, 0x104000, 0x204000, 0x304000, 0x404000, 0x403000, 0x402000, 0x401000,
    0x402020, 0x402028, 0x402030, 0x402038, 0x402040, 0x382040, 0x302040, 0x282040,
    0x202040, 0x202840, 0x203040, 0x203840, 0x204040, 0x204038, 0x204030, 0x204028,
    0x204020, 0x284020, 0x304020, 0x384020, 0x404020, 0x403820, 0x403020, 0x402820,
    0x402C2C, 0x402C30, 0x402C34, 0x402C3C, 0x402C40, 0x3C2C40, 0x342C40, 0x302C40,
    0x2C2C40, 0x2C3040, 0x2C3440, 0x2C3C40, 0x2C4040, 0x2C403C, 0x2C4034, 0x2C4030,
    0x2C402C, 0x30402C, 0x34402C, 0x3C402C, 0x40402C, 0x403C2C, 0x40342C, 0x40302C,
    0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000,
};
// clang-format on

std::uint16_t ReadU16(const unsigned char* at)
{
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// A 6-bit VGA component times 4; the top two bits of a larger byte are lost.
std::uint32_t Scale6To8(unsigned char component)
{
    return (component * 4u) & 0xFFu;
}

// The block the decoded pixels go into. It grows as the stream produces them
// rather than being made at the declared size first: a few bytes of stream
// may declare a gigabyte, and the pixels it never gives are index 0 without
// being held (PixelColor).
class PixelBlock {
public:
    explicit PixelBlock(std::size_t total) : m_total(total) {}
    PixelBlock(const PixelBlock&) = delete;
    PixelBlock& operator=(const PixelBlock&) = delete;
    ~PixelBlock() { delete[] m_data; }

    // Room for the pixel at index i; false when memory runs out.
    bool MakeRoom(std::size_t i)
    {
        if (i < m_capacity)
            return true;
        std::size_t capacity = m_capacity == 0 ? FIRST_CAPACITY : 2 * m_capacity;
        capacity = capacity < m_total ? capacity : m_total;
        auto* data = new (std::nothrow) unsigned char[capacity];
        if (data == nullptr)
            return false;
        if (m_data != nullptr)
            std::memcpy(data, m_data, m_capacity);
        delete[] m_data;
        m_data = data;
        m_capacity = capacity;
        return true;
    }

    unsigned char* Data() const { return m_data; }

    // Hands the block over; the caller frees it with delete[].
    unsigned char* Release()
    {
        unsigned char* data = m_data;
        m_data = nullptr;
        m_capacity = 0;
        return data;
    }

private:
    static constexpr std::size_t FIRST_CAPACITY = std::size_t{1} << 16;

    std::size_t m_total;
    unsigned char* m_data = nullptr;
    std::size_t m_capacity = 0;
};

// The viewer's run-length stage: fills the picture pixel by pixel, pulling
// run-length bytes as it goes (the converter expands a whole buffer of them
// instead). A pending repeat runs on across row ends; a count of 1 means 256
// more copies of the last pixel (the 8-bit counter wraps), which the
// converter's writer never produces. Returns how many of the total pixels the
// stream gave: when it runs out (or memory does), the rest of the picture is
// black (index 0) rather than an earlier picture's bytes.
std::size_t FillPixels(RunByteSource& runs, PixelBlock& block, std::size_t total)
{
    std::uint8_t pending = 0;
    unsigned char last = 0;
    for (std::size_t i = 0; i < total; ++i) {
        unsigned char pixel = last;
        if (pending > 0) {
            --pending;
        } else {
            unsigned char value = 0;
            if (!runs.NextRunByte(value))
                return i;
            if (value != RLE_ESCAPE) {
                pixel = value;
            } else {
                unsigned char count = 0; // an escape at the very end counts 0
                runs.NextRunByte(count);
                if (count == 0)
                    pixel = RLE_ESCAPE;
                else
                    pending = static_cast<std::uint8_t>(count - 2);
            }
        }
        if (!block.MakeRoom(i))
            return i;
        block.Data()[i] = pixel;
        last = pixel;
    }
    return total;
}

} // namespace

PicImage::PicImage()
{
    std::memcpy(Palette, DEFAULT_PALETTE, sizeof Palette);
}

PicImage::~PicImage()
{
    FreeFileData();
    delete[] Pixels;
}

void PicImage::FreeFileData()
{
    delete[] FileData;
    FileData = nullptr;
    FileSize = 0;
}

bool PicImage::Parse(const unsigned char* data, int size)
{
    if (TakeFileData(data, size)) {
        WalkChunks();
        FreeFileData();
    }
    return true;
}

bool PicImage::TakeFileData(const unsigned char* data, int size)
{
    if (data == FileData && data != nullptr) {
        // Load's own block, held already: a size beyond what it holds is not believed.
        if (size < FileSize)
            FileSize = size < 0 ? 0 : size;
        return true;
    }
    FreeFileData();
    if (data == nullptr || size <= 0)
        return false;
    FileData = new (std::nothrow) unsigned char[static_cast<std::size_t>(size)];
    if (FileData == nullptr)
        return false;
    std::memcpy(FileData, data, static_cast<std::size_t>(size));
    FileSize = size;
    return true;
}

void PicImage::WalkChunks()
{
    const std::size_t fileSize = static_cast<std::size_t>(FileSize);
    std::size_t pos = 0;
    ParsePos = 0;
    // A chunk header that does not fit in the bytes left ends the walk, and so
    // does an unknown tag: unlike the converter, the viewer does not skip it.
    while (pos < fileSize && fileSize - pos >= CHUNK_HEADER_BYTES) {
        const std::uint16_t tag = ReadU16(FileData + pos);
        const std::uint16_t length = ReadU16(FileData + pos + 2);
        pos += CHUNK_HEADER_BYTES;
        if (tag == PALETTE_TAG) {
            ReadPaletteChunk(pos);
        } else if (tag == IMAGE_TAG) {
            if (fileSize - pos < IMAGE_HEADER_BYTES)
                break; // width and height cut off by the end of the file
            ReadImageChunk(pos);
            HasImage = true;
        } else {
            break;
        }
        // pos <= fileSize holds here, so the subtraction cannot wrap.
        pos += length < fileSize - pos ? length : fileSize - pos;
    }
    ParsePos = static_cast<int>(pos);
}

void PicImage::ReadPaletteChunk(std::size_t pos)
{
    const std::size_t fileSize = static_cast<std::size_t>(FileSize);
    if (fileSize - pos < 2)
        return;
    FirstIndex = FileData[pos];
    LastIndex = FileData[pos + 1];
    HasPalette = true;
    // No reset to the default palette first: entries outside first..last keep
    // what earlier chunks, also of earlier files, gave them. The chunk length is
    // not consulted; triples cut off by the end of the file are not read.
    std::size_t triple = pos + 2;
    for (int i = FirstIndex; i <= LastIndex && fileSize - triple >= 3; ++i, triple += 3) {
        const unsigned char* rgb = FileData + triple;
        Palette[i] = Scale6To8(rgb[2]) << 16 | Scale6To8(rgb[1]) << 8 | Scale6To8(rgb[0]);
    }
}

void PicImage::ReadImageChunk(std::size_t pos)
{
    // Width and height are unsigned here (the converter takes them as signed).
    const std::uint32_t width = ReadU16(FileData + pos);
    const std::uint32_t height = ReadU16(FileData + pos + 2);
    if (width == 0 || height == 0) {
        // Nothing to show; the old block stays but lies outside the new size.
        Width = width;
        Height = height;
        return;
    }
    const std::size_t total = static_cast<std::size_t>(width) * height;
    if (total > MAX_PIXELS || total > m_pixelLimit)
        return; // refused: the old picture stays

    // The chunk length is not consulted: the stream runs on to the end of the
    // file (for a file the converter wrote, the image chunk is the last one).
    // The decoder reads past that end as zeros, never beyond it.
    const std::size_t streamStart = pos + IMAGE_HEADER_BYTES;
    RunByteSource runs(FileData + streamStart, static_cast<std::size_t>(FileSize) - streamStart);
    PixelBlock block(total);
    const std::size_t decoded = FillPixels(runs, block, total);

    delete[] Pixels;
    Pixels = block.Release();
    PixelCount = static_cast<int>(decoded);
    Width = width;
    Height = height;
}

std::uint32_t PicImage::PixelColor(std::uint32_t x, std::uint32_t y) const
{
    if (!HasImage || x >= Width || y >= Height)
        return 0;
    // Pixels holds the first PixelCount pixels of the picture, those its
    // stream gave; the rest are index 0. (A later chunk of width or height 0
    // changes Width and Height alone, and nothing lies inside them then.)
    const std::uint64_t index = static_cast<std::uint64_t>(y) * Width + x;
    if (index >= static_cast<std::uint64_t>(PixelCount))
        return Palette[0];
    return Palette[Pixels[index]];
}

std::uint32_t PicImage::PaletteEntry(std::uint32_t i) const
{
    return i < PALETTE_ENTRIES ? Palette[i] : 0;
}
