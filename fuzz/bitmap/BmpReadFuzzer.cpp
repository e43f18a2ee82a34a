// Feeds arbitrary bytes to the BMP reader as the converter would use it: the
// size judged from the header, then an 8-bit bitmap wanted. Any outcome but a
// decoded bitmap or a PLTextException (a crash, a leak, a hang, another
// exception) is a finding.
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"

#include <climits>
#include <cstddef>
#include <cstdint>

namespace {

// The converter refuses larger sides from the header, before any pixel.
constexpr int CONVERTER_MAX_SIDE = 32767;
// RLE data may end at once, so a few bytes can declare a picture of a
// gigabyte within those sides. Larger ones take the same paths and only cost
// the fuzzer time and memory: they are closed unread.
constexpr long long FUZZ_MAX_PIXELS = 4096LL * 4096LL;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > INT_MAX)
        return 0;
    PLMemBitmap bitmap;
    PLBmpReader reader;
    try {
        reader.OpenMemory(data, static_cast<int>(size));
        if (reader.Width() > CONVERTER_MAX_SIDE || reader.Height() > CONVERTER_MAX_SIDE ||
            static_cast<long long>(reader.Width()) * reader.Height() > FUZZ_MAX_PIXELS)
            return 0;
        reader.DecodeInto(bitmap, 8);
    } catch (const PLTextException&) {
        return 0;
    }
    // Touch every decoded pixel and its colour so the sanitizers see the bounds.
    unsigned sum = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.LineBytes(); ++x)
            sum += bitmap.ColorTable()[bitmap.Lines()[y][x]].r;
    // A sum nobody reads could be optimised away; this condition never holds.
    return sum == 0xFFFFFFFFu && bitmap.Width() == 0 ? -1 : 0;
}
