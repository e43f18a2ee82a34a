#include "bitmap/PLTrueColorRows.h"

#include "bitmap/PLTrace.h"
#include "converter/support/LittleEndian.h"

#include <climits>
#include <new>

namespace {

// Row blocks obey the same bound as the bitmap's pixel block.
constexpr std::uint64_t MAX_ROW_BYTES = INT_MAX;

int LowestBit(std::uint32_t mask)
{
    int bit = 0;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++bit;
    }
    return bit;
}

// mask != 0. Shifted down to bit 0, one run of ones plus 1 is a power of two.
bool IsOneRun(std::uint32_t mask)
{
    std::uint64_t run = mask >> LowestBit(mask);
    return (run & (run + 1)) == 0;
}

int CountBits(std::uint32_t mask)
{
    int bits = 0;
    for (; mask != 0; mask >>= 1)
        bits += static_cast<int>(mask & 1);
    return bits;
}

// An n-bit value repeated until 8 bits are filled: 0 stays 0, the largest
// value becomes 255, and the top n bits are the value itself.
std::uint8_t Widen(std::uint32_t value, int bits)
{
    std::uint32_t wide = 0;
    int filled = 0;
    for (; filled < 8; filled += bits)
        wide = wide << bits | value;
    return static_cast<std::uint8_t>(wide >> (filled - 8));
}

} // namespace

PLTrueColorRows::PLTrueColorRows() = default;

PLTrueColorRows::~PLTrueColorRows() = default;

PLTrueColorRows::Masks PLTrueColorRows::UncompressedMasks(int bitCount)
{
    if (bitCount == 16)
        return {0x7C00, 0x03E0, 0x001F, 0};
    return {0xFF0000, 0x00FF00, 0x0000FF, 0};
}

std::string PLTrueColorRows::CheckMasks(const Masks& masks, int bitCount)
{
    struct Named {
        const char* name;
        std::uint32_t mask;
    };
    const Named named[CHANNELS] = {
        {"red", masks.red}, {"green", masks.green}, {"blue", masks.blue}, {"alpha", masks.alpha}};
    for (int i = 0; i < CHANNELS; ++i) {
        std::uint32_t mask = named[i].mask;
        if (mask == 0) {
            if (i == ALPHA)
                continue;
            return FormatText("BMP colour masks: the %s mask is 0, every colour channel needs bits", named[i].name);
        }
        if (bitCount < 32 && mask >> bitCount != 0)
            return FormatText("BMP colour masks: %s 0x%08X reaches past the %d bits of a pixel", named[i].name,
                              static_cast<unsigned>(mask), bitCount);
        if (!IsOneRun(mask))
            return FormatText("BMP colour masks: %s 0x%08X is not one run of bits", named[i].name,
                              static_cast<unsigned>(mask));
        for (int j = 0; j < i; ++j)
            if ((named[j].mask & mask) != 0)
                return FormatText("BMP colour masks: %s 0x%08X and %s 0x%08X overlap", named[j].name,
                                  static_cast<unsigned>(named[j].mask), named[i].name, static_cast<unsigned>(mask));
    }
    return {};
}

void PLTrueColorRows::SetChannel(Channel& channel, std::uint32_t mask)
{
    channel = Channel();
    if (mask == 0) {
        // No such channel: every pixel gets the opaque value.
        channel.widen[0] = 255;
        return;
    }
    int lowest = LowestBit(mask);
    channel.bits = CountBits(mask);
    // A wider channel keeps its top 8 bits.
    int kept = channel.bits < 8 ? channel.bits : 8;
    channel.shift = lowest + channel.bits - kept;
    channel.low = (1u << kept) - 1;
    for (std::uint32_t value = 0; value <= channel.low; ++value)
        channel.widen[value] = Widen(value, kept);
    if (channel.bits == 8 && lowest % 8 == 0)
        channel.byteIndex = lowest / 8;
}

void PLTrueColorRows::SetLayout(const Masks& masks, int bitCount)
{
    SetChannel(m_channels[RED], masks.red);
    SetChannel(m_channels[GREEN], masks.green);
    SetChannel(m_channels[BLUE], masks.blue);
    SetChannel(m_channels[ALPHA], masks.alpha);
    m_bytesPerPixel = bitCount / 8;
    m_wholeBytes = m_channels[RED].byteIndex >= 0 && m_channels[GREEN].byteIndex >= 0 &&
                   m_channels[BLUE].byteIndex >= 0 && (masks.alpha == 0 || m_channels[ALPHA].byteIndex >= 0);
}

PLTrueColorRows::ChannelBits PLTrueColorRows::Bits() const
{
    auto kept = [this](int channel) { return m_channels[channel].bits < 8 ? m_channels[channel].bits : 8; };
    return {kept(RED), kept(GREEN), kept(BLUE), kept(ALPHA)};
}

std::unique_ptr<PLColor[]> PLTrueColorRows::AllocateRow(int width)
{
    // In 64 bits the product cannot wrap, and the bound keeps the block
    // addressable on 32-bit Windows too.
    auto bytes = static_cast<std::uint64_t>(width < 0 ? 0 : width) * sizeof(PLColor);
    if (bytes > MAX_ROW_BYTES)
        ThrowDecoderError(6, FormatText("BMP row of %d pixels at 32 bits per pixel is too large, at most "
                                        "2147483647 bytes",
                                        width)
                                 .c_str());
    std::unique_ptr<PLColor[]> row(new (std::nothrow) PLColor[static_cast<std::size_t>(bytes / sizeof(PLColor))]);
    if (row == nullptr)
        ThrowDecoderError(-1, FormatText("BMP row of %d pixels at 32 bits per pixel (%llu bytes) does not fit in "
                                         "memory",
                                         width, static_cast<unsigned long long>(bytes))
                                  .c_str());
    return row;
}

void PLTrueColorRows::DecodeRow(const std::uint8_t* data, PLColor* row, int width) const
{
    if (m_wholeBytes)
        DecodeByteRow(data, row, width);
    else if (m_bytesPerPixel == 2)
        DecodeMaskedRow<2>(data, row, width);
    else if (m_bytesPerPixel == 3)
        DecodeMaskedRow<3>(data, row, width);
    else
        DecodeMaskedRow<4>(data, row, width);
}

void PLTrueColorRows::DecodeByteRow(const std::uint8_t* data, PLColor* row, int width) const
{
    // The common files (24-bit, 32-bit with or without alpha): each channel
    // is a byte of the pixel.
    const int step = m_bytesPerPixel;
    const int red = m_channels[RED].byteIndex;
    const int green = m_channels[GREEN].byteIndex;
    const int blue = m_channels[BLUE].byteIndex;
    const int alpha = m_channels[ALPHA].byteIndex;
    for (int x = 0; x < width; ++x, data += step) {
        row[x].b = data[blue];
        row[x].g = data[green];
        row[x].r = data[red];
        row[x].a = alpha >= 0 ? data[alpha] : 255;
    }
}

template <int BYTES>
void PLTrueColorRows::DecodeMaskedRow(const std::uint8_t* data, PLColor* row, int width) const
{
    const Channel& red = m_channels[RED];
    const Channel& green = m_channels[GREEN];
    const Channel& blue = m_channels[BLUE];
    const Channel& alpha = m_channels[ALPHA];
    for (int x = 0; x < width; ++x, data += BYTES) {
        std::uint32_t pixel = BYTES == 2 ? LoadLittle16(data)
                              : BYTES == 3
                                  ? std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16
                                  : LoadLittle32(data);
        row[x].b = blue.widen[pixel >> blue.shift & blue.low];
        row[x].g = green.widen[pixel >> green.shift & green.low];
        row[x].r = red.widen[pixel >> red.shift & red.low];
        row[x].a = alpha.widen[pixel >> alpha.shift & alpha.low];
    }
}
