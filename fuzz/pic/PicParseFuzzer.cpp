// Arbitrary bytes through the chunk walk and both decoder stages. Whatever
// they hold, the picture's pixels are exactly width x height bytes, and a
// picture that decoded encodes and decodes again to the same pixels.
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

// Walks the chunk headers as the parser does and finds the largest picture
// an image chunk asks for (negative sizes are refused, so they ask for none).
long long LargestPicture(const std::uint8_t* data, std::size_t size)
{
    long long largest = 0;
    auto byteAt = [&](std::size_t i) -> unsigned { return i < size ? data[i] : 0; };
    for (std::size_t pos = 0; pos < size;) {
        unsigned tag = byteAt(pos) | byteAt(pos + 1) << 8, length = byteAt(pos + 2) | byteAt(pos + 3) << 8;
        pos += 4;
        if (tag == PicFile::IMAGE_TAG && length >= 4) {
            long long width = byteAt(pos) | byteAt(pos + 1) << 8, height = byteAt(pos + 2) | byteAt(pos + 3) << 8;
            if (width <= PicFile::MAX_SIDE && height <= PicFile::MAX_SIDE && width * height > largest)
                largest = width * height;
        }
        pos += length;
    }
    return largest;
}

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
