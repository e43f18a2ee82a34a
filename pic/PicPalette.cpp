#include "pic/PicPalette.h"

#include "converter/support/ByteBuffer.h"
#include "converter/support/LittleEndian.h"
#include "pic/DefaultPalette.h"

#include <cstring>

namespace PicPalette {

void Reset(std::uint32_t palette[PALETTE_ENTRIES])
{
    std::memcpy(palette, DEFAULT_PALETTE, sizeof DEFAULT_PALETTE);
}

void ReadChunk(const unsigned char* data, int available, std::uint32_t palette[PALETTE_ENTRIES])
{
    Reset(palette);
    int first = available > 0 ? data[0] : 0;
    int last = available > 1 ? data[1] : 0;
    // first above last is a range without entries: the palette stays the default.
    for (int index = first; index <= last; ++index) {
        int offset = 2 + 3 * (index - first);
        if (offset > available - 3)
            break;
        palette[index] = EntryFromSixBitRgb(LoadRgb(data + offset));
    }
}

void AppendChunk(const std::uint32_t palette[PALETTE_ENTRIES], ByteBuffer& out)
{
    unsigned char chunk[4 + WRITTEN_LENGTH];
    StoreLittle16(chunk, CHUNK_TAG);
    StoreLittle16(chunk + 2, WRITTEN_LENGTH);
    chunk[4] = 0;
    chunk[5] = PALETTE_ENTRIES - 1;
    for (int index = 0; index < PALETTE_ENTRIES; ++index)
        StoreRgb(chunk + 6 + 3 * index, SixBitRgbFromEntry(palette[index]));
    out.Append(chunk, static_cast<int>(sizeof chunk));
}

} // namespace PicPalette
