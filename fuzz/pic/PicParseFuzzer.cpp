// Arbitrary bytes through the chunk walk and both decoder stages. Whatever
// they hold, the picture's pixels are exactly width x height bytes, and a
// picture that decoded encodes and decodes again to the same pixels.
#include "fuzz/pic/LargestPicture.h"
#include "pic/PicFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Small enough to run the round trip on every input that decodes to it.
constexpr std::size_t ROUND_TRIP_PIXELS = 1 << 16;
// Larger pictures only cost time (a big block filled with 0 after the few
// pixels the stream holds), which the fuzzer spends better elsewhere.
constexpr long long LARGEST_PICTURE = 1 << 20;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const PicFile& pic)
{
    ByteBuffer runs, stream, decodedRuns, pixels;
    Check(PicFile::EncodeRuns(pic.Width(), pic.Height(), pic.Pixels, runs));
    Check(PicFile::EncodeCodes(pic.Width(), pic.Height(), runs, stream));
    Check(PicFile::DecodeCodes(pic.Width(), pic.Height(), stream, decodedRuns));
    Check(PicFile::ExpandRuns(pic.Width(), pic.Height(), decodedRuns, pixels));
    Check(pixels.Equals(pic.Pixels));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 24 || LargestPicture(data, size) > LARGEST_PICTURE)
        return 0;
    PicFile pic;
    // The program shows a message per unknown chunk; random bytes are full of them.
    pic.OnUnknownChunk = [](std::uint16_t) {};
    pic.Parse(data, static_cast<int>(size));
    Check(pic.Width() >= 0 && pic.Height() >= 0);
    Check(pic.Width() <= PicFile::MAX_SIDE && pic.Height() <= PicFile::MAX_SIDE);
    std::size_t count = static_cast<std::size_t>(pic.Width()) * static_cast<std::size_t>(pic.Height());
    Check(static_cast<std::size_t>(pic.Pixels.Size()) == count);
    if (pic.HasImage && count <= ROUND_TRIP_PIXELS)
        CheckRoundTrip(pic);
    return 0;
}
