// Feeds arbitrary bytes to the BMP reader as its callers use it: the size
// judged from the header, then an 8-bit bitmap wanted (the converter), and for
// a true-colour picture also a 32-bit bitmap and the rows one at a time (a
// caller mapping colours onto a palette). Any outcome but a decoded picture or
// a PLTextException (a crash, a leak, a hang, another exception, or a whole
// and a row-by-row decode that disagree) is a finding.
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLMemBitmap.h"
#include "bitmap/PLRowSink.h"
#include "bitmap/PLTextException.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The converter refuses larger sides from the header, before any pixel.
constexpr int CONVERTER_MAX_SIDE = 32767;
// RLE data may end at once, so a few bytes can declare a picture of a
// gigabyte within those sides. Larger pictures take the same paths as this
// many pixels and only cost the fuzzer time (a decode clears every pixel
// first): they are closed unread. Four times as many halve the runs a second.
constexpr long long FUZZ_MAX_PIXELS = 512LL * 512LL;

// Opens the data and says whether the picture it announces is one to decode.
bool OpenWithinLimits(PLBmpReader& reader, const std::uint8_t* data, std::size_t size)
{
    reader.OpenMemory(data, static_cast<int>(size));
    return reader.Width() <= CONVERTER_MAX_SIDE && reader.Height() <= CONVERTER_MAX_SIDE &&
           static_cast<long long>(reader.Width()) * reader.Height() <= FUZZ_MAX_PIXELS;
}

// Returns the announced depth, or 0 when the data was not decoded.
int DecodeAsTheConverterDoes(const std::uint8_t* data, std::size_t size)
{
    PLMemBitmap bitmap;
    PLBmpReader reader;
    int announced = 0;
    try {
        if (!OpenWithinLimits(reader, data, size))
            return 0;
        announced = reader.BitsPerPixel();
        reader.DecodeInto(bitmap, 8);
    } catch (const PLTextException&) {
        return announced;
    }
    // Touch both ends of every row, and their colours, so the sanitizers
    // check each row address; what lies between is in the same block. (Every
    // pixel would cost more than the decode.)
    unsigned sum = 0;
    const int lineBytes = bitmap.LineBytes();
    const PLColor* table = bitmap.ColorTable();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.Lines()[y];
        sum += table[row[0]].r + table[row[lineBytes - 1]].r;
    }
    // A sum nobody reads could be optimised away; this condition never holds.
    if (sum == 0xFFFFFFFFu && bitmap.Width() == 0)
        std::abort();
    return announced;
}

// The picture top row first, each row where its y puts it, and how often each came.
class Rows : public PLRowSink {
public:
    void Start(int width, int height)
    {
        m_width = width;
        m_height = height;
    }

    void TakeRow(int y, const PLColor* row, int width) override
    {
        // Made at the first row: most pictures declared are refused before it.
        if (counts.empty()) {
            pixels.resize(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
            counts.resize(static_cast<std::size_t>(m_height));
        }
        if (width != m_width || y < 0 || y >= m_height)
            std::abort();
        ++counts[static_cast<std::size_t>(y)];
        std::memcpy(&pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)], row,
                    static_cast<std::size_t>(width) * sizeof(PLColor));
    }

    std::vector<PLColor> pixels;
    std::vector<int> counts;

private:
    int m_width = 0;
    int m_height = 0;
};

// A true-colour decode, whole (rows null) or row by row, of data that the
// converter's decode has opened and found within the limits: the text of its
// refusal, or empty.
std::string DecodeTrueColor(const std::uint8_t* data, std::size_t size, PLMemBitmap& bitmap, Rows* rows)
{
    PLBmpReader reader;
    try {
        reader.OpenMemory(data, static_cast<int>(size));
        if (rows == nullptr) {
            reader.DecodeInto(bitmap, 32);
        } else {
            rows->Start(reader.Width(), reader.Height());
            reader.DecodeRowsInto(*rows);
        }
    } catch (const PLTextException& e) {
        return e.Text();
    }
    return {};
}

void ExpectTheSameTrueColorBothWays(const std::uint8_t* data, std::size_t size)
{
    PLMemBitmap bitmap;
    std::string wholeRefusal = DecodeTrueColor(data, size, bitmap, nullptr);
    Rows rows;
    std::string rowsRefusal = DecodeTrueColor(data, size, bitmap, &rows);
    if (rowsRefusal != wholeRefusal)
        std::abort();
    if (!wholeRefusal.empty())
        return;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const PLColor* row = &rows.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.Width())];
        if (rows.counts[static_cast<std::size_t>(y)] != 1 ||
            std::memcmp(bitmap.Lines()[y], row, static_cast<std::size_t>(bitmap.LineBytes())) != 0)
            std::abort();
        for (int x = 0; x < bitmap.Width(); ++x)
            if (!bitmap.HasAlpha() && row[x].a != 255)
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > INT_MAX)
        return 0;
    if (DecodeAsTheConverterDoes(data, size) == 32)
        ExpectTheSameTrueColorBothWays(data, size);
    return 0;
}
