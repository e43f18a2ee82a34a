// Arbitrary bytes through the chunk walk and both decoder stages. Whatever
// they hold, the picture holds the pixels its data gave, at most width x
// height, and a picture that decoded encodes and decodes again to the same
// pixels. A picture too large to decode whole on every run is decoded row by
// row instead, for its first rows.
#include "fuzz/pic/LargestPicture.h"
#include "pic/PicFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Small enough to run the round trip on every input that decodes to it.
constexpr std::size_t ROUND_TRIP_PIXELS = 1 << 16;
// Larger pictures take the same paths and only cost time; they are decoded
// row by row, their first ROW_PIXELS pixels only.
constexpr long long LARGEST_PICTURE = 1 << 20;
constexpr long long ROW_PIXELS = 1 << 16;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const PicFile& pic, std::size_t count)
{
    ByteBuffer whole, runs, stream, decodedRuns, pixels;
    Check(whole.SetSize(static_cast<int>(count)));
    pic.CopyPixels(whole.Data(), static_cast<int>(count));
    Check(PicFile::EncodeRuns(pic.Width(), pic.Height(), whole, runs));
    Check(PicFile::EncodeCodes(pic.Width(), pic.Height(), runs, stream));
    Check(PicFile::DecodeCodes(pic.Width(), pic.Height(), stream, decodedRuns));
    Check(PicFile::ExpandRuns(pic.Width(), pic.Height(), decodedRuns, pixels));
    Check(pixels.Equals(whole));
}

// Rows in order, each once, until enough pixels have come.
class FirstRows : public PicRowSink {
public:
    bool TakeRow(int y, const unsigned char* indices, int width) override
    {
        Check(y == m_rows++ && indices != nullptr && width > 0);
        m_pixels += width;
        return m_pixels < ROW_PIXELS;
    }

    long long Pixels() const { return m_pixels; }

private:
    int m_rows = 0;
    long long m_pixels = 0;
};

void CheckLargePicture(const std::uint8_t* data, std::size_t size)
{
    PicFile pic;
    pic.OnUnknownChunk = [](std::uint16_t) {};
    pic.DefersImage = true;
    pic.Parse(data, static_cast<int>(size));
    Check(pic.Pixels.Size() == 0 && pic.DecodedPixels() == 0);
    if (!pic.HasImage)
        return;
    FirstRows rows;
    int decoded = -1;
    const ByteBuffer& stream = pic.ImageStream();
    bool finished = PicFile::DecodeRows(pic.Width(), pic.Height(), stream.Data(), stream.Size(), rows, decoded);
    long long count = static_cast<long long>(pic.Width()) * pic.Height();
    Check(decoded >= 0 && decoded <= count);
    // Decoding that ran to its end handed every pixel the data gave, in whole rows.
    if (finished)
        Check(decoded <= rows.Pixels() && (count == 0 || rows.Pixels() - decoded < pic.Width()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 24)
        return 0;
    if (LargestPicture(data, size) > LARGEST_PICTURE) {
        CheckLargePicture(data, size);
        return 0;
    }
    PicFile pic;
    // The program shows a message per unknown chunk; random bytes are full of them.
    pic.OnUnknownChunk = [](std::uint16_t) {};
    pic.Parse(data, static_cast<int>(size));
    Check(pic.Width() >= 0 && pic.Height() >= 0);
    Check(pic.Width() <= PicFile::MAX_SIDE && pic.Height() <= PicFile::MAX_SIDE);
    std::size_t count = static_cast<std::size_t>(pic.Width()) * static_cast<std::size_t>(pic.Height());
    Check(pic.Pixels.Size() == pic.DecodedPixels());
    Check(static_cast<std::size_t>(pic.DecodedPixels()) <= count);
    if (pic.HasImage && count <= ROUND_TRIP_PIXELS)
        CheckRoundTrip(pic, count);
    return 0;
}
