#include "pic/PicPalette.h"

#include "converter/support/ByteBuffer.h"
#include "converter/support/LittleEndian.h"
#include "pic/DefaultPalette.h"

#include <cstring>

namespace PicPalette {

namespace {

// The chunk keeps 6 bits per component. Reading multiplies by 4 within a byte,
// so the top two bits of a byte above 63 are lost; writing drops the two low bits.
std::uint32_t EntryFromTriple(const unsigned char* rgb)
{
    std::uint32_t red = (rgb[0] * 4u) & 0xFFu;
    std::uint32_t green = (rgb[1] * 4u) & 0xFFu;
    std::uint32_t blue = (rgb[2] * 4u) & 0xFFu;
    return blue << 16 | green << 8 | red;
}

void TripleFromEntry(std::uint32_t entry, unsigned char* rgb)
{
    rgb[0] = static_cast<unsigned char>((entry & 0xFFu) >> 2);
    rgb[1] = static_cast<unsigned char>(((entry >> 8) & 0xFFu) >> 2);
    rgb[2] = static_cast<unsigned char>(((entry >> 16) & 0xFFu) >> 2);
}

} // namespace

void Reset(std::uint32_t palette[ENTRIES])
{
    std::memcpy(palette, DEFAULT_PALETTE, sizeof DEFAULT_PALETTE);
}

void ReadChunk(const unsigned char* data, int available, std::uint32_t palette[ENTRIES])
{
    Reset(palette);
    int first = available > 0 ? data[0] : 0;
    int last = available > 1 ? data[1] : 0;
    // first above last is a range without entries: the palette stays the default.
    for (int index = first; index <= last; ++index) {
        int offset = 2 + 3 * (index - first);
        if (offset > available - 3)
            break;
        palette[index] = EntryFromTriple(data + offset);
    }
}

void AppendChunk(const std::uint32_t palette[ENTRIES], ByteBuffer& out)
{
    unsigned char chunk[4 + WRITTEN_LENGTH];
    chunk[0] = 'M';
    chunk[1] = '0';
    StoreLittle16(chunk + 2, WRITTEN_LENGTH);
    chunk[4] = 0;
    chunk[5] = ENTRIES - 1;
    for (int index = 0; index < ENTRIES; ++index)
        TripleFromEntry(palette[index], chunk + 6 + 3 * index);
    out.Append(chunk, static_cast<int>(sizeof chunk));
}

} // namespace PicPalette
