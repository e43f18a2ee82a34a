// Feeds arbitrary bytes to the BMP reader as the converter would use it: an
// 8-bit bitmap wanted. Any outcome but a decoded bitmap or a PLTextException
// (a crash, a leak, a hang, another exception) is a finding.
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLTextException.h"

#include <climits>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > INT_MAX)
        return 0;
    PLMemBitmap bitmap;
    PLBmpReader reader;
    try {
        reader.DecodeMemory(data, static_cast<int>(size), bitmap, 8);
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
