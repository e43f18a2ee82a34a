// A PIC file handed to the image loader in pieces of random sizes, as
// viewers hand it over: the picture read from the pieces is the one read
// from the whole file, or both fail with the same reason. The last input
// byte seeds the piece sizes, so that a PIC file as a seed stays one.
#include "desktop/common/PicPicture.h"
#include "desktop/common/PicPieces.h"
#include "fuzz/pic/LargestPicture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr long long LARGEST_PICTURE = 1 << 20;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 1 << 24 || LargestPicture(data, size - 1) > LARGEST_PICTURE)
        return 0;
    unsigned state = data[size - 1];
    const std::uint8_t* file = data;
    std::size_t fileSize = size - 1;

    PicPicture whole;
    bool wholeRead = whole.Parse(file, static_cast<int>(fileSize));

    PicPieces pieces;
    for (std::size_t at = 0; at < fileSize;) {
        state = state * 1103515245u + 12345u;
        std::size_t piece = 1 + (state >> 16) % 4099;
        if (piece > fileSize - at)
            piece = fileSize - at;
        Check(pieces.Add(file + at, piece));
        at += piece;
    }
    PicPicture inPieces;
    bool piecesRead = pieces.Finish(inPieces);

    Check(wholeRead == piecesRead);
    Check(whole.Error() == inPieces.Error());
    if (!wholeRead)
        return 0;
    Check(whole.Width() == inPieces.Width() && whole.Height() == inPieces.Height());
    Check(whole.Pixels().Equals(inPieces.Pixels()));
    Check(static_cast<long long>(whole.Pixels().Size()) == static_cast<long long>(whole.Width()) * whole.Height());
    Check(std::memcmp(whole.ColorMap(), inPieces.ColorMap(), PicPicture::COLOR_MAP_BYTES) == 0);
    return 0;
}
