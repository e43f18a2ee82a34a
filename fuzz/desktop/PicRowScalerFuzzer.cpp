// The image loader's way to a picture of the size its caller asks for: a PIC
// file read without its pixels, its rows scaled as they come into the size
// the input's last two bytes choose. Every output row is made, nothing is
// written between or after them, and at the picture's own size (a last byte
// 0) the colours are those of the pixels the whole read gives. A declared
// size costs nothing by itself here, so huge ones are let through; the rows
// a stream gives are cut off after 262,144 pixels instead.
#include "desktop/common/PicPicture.h"
#include "desktop/common/PicRowScaler.h"
#include "pic/PicRowSink.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr long long MOST_PIXELS_GIVEN = 1 << 18;
// Beyond this the own-size case would hold a large picture in RGB.
constexpr long long LARGEST_OWN_SIZE = 1 << 16;
constexpr unsigned char UNTOUCHED = 0xA5;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

class CappedRows : public PicRowSink {
public:
    explicit CappedRows(PicRowSink& sink) : m_sink(sink) {}
    bool TakeRow(int y, const unsigned char* indices, int width) override
    {
        m_left -= width;
        return m_left >= 0 && m_sink.TakeRow(y, indices, width);
    }

private:
    PicRowSink& m_sink;
    long long m_left = MOST_PIXELS_GIVEN;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > 1 << 20)
        return 0;
    const int fileSize = static_cast<int>(size - 2);
    PicPicture picture;
    picture.OnUnknownChunk = [](std::uint16_t) {};
    if (!picture.ParseWithoutPixels(data, fileSize))
        return 0;
    const long long area = static_cast<long long>(picture.Width()) * picture.Height();
    const bool ownSize = data[size - 1] == 0 && area <= LARGEST_OWN_SIZE;
    const int width = ownSize ? picture.Width() : 1 + data[size - 1];
    const int height = ownSize ? picture.Height() : 1 + data[size - 2];

    // One guard byte after every row.
    const std::size_t stride = 3 * static_cast<std::size_t>(width) + 1;
    std::vector<unsigned char> out(stride * static_cast<std::size_t>(height), UNTOUCHED);
    PicRowScaler scaler;
    Check(scaler.Start(picture.Width(), picture.Height(), width, height, picture.ColorMap(), out.data(), stride));
    CappedRows capped(scaler);
    int decoded = 0;
    bool complete = picture.DecodeRows(capped, decoded);
    scaler.Finish();
    Check(scaler.RowsDone() == height);
    Check(decoded >= 0 && decoded <= area);
    for (int y = 0; y < height; ++y)
        Check(out[static_cast<std::size_t>(y) * stride + stride - 1] == UNTOUCHED);
    if (!ownSize || !complete)
        return 0;

    PicPicture whole;
    whole.OnUnknownChunk = [](std::uint16_t) {};
    Check(whole.Parse(data, fileSize));
    const unsigned char* index = whole.Pixels().Data();
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = out.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x, ++index)
            for (int c = 0; c < 3; ++c)
                Check(row[3 * x + c] == whole.ColorMap()[3 * *index + c]);
    }
    return 0;
}
