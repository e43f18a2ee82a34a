// Turns the rows of a true-colour BMP file (16, 24 or 32 bits a pixel, each
// channel one run of bits that a mask marks) into PLColor pixels, one row at a
// time, so that no caller has to hold the whole picture at 4 bytes a pixel.
#pragma once

#include "bitmap/PLColor.h"

#include <cstdint>
#include <memory>
#include <string>

class PLTrueColorRows {
public:
    // Where each channel sits in a pixel read as a little-endian number of
    // bitCount bits. An alpha mask of 0: the pixels have no alpha channel and
    // are opaque.
    struct Masks {
        std::uint32_t red = 0;
        std::uint32_t green = 0;
        std::uint32_t blue = 0;
        std::uint32_t alpha = 0;
    };

    // How many bits of each channel the file gave, as the decoded 8-bit value
    // carries them: for n bits (1 to 8), value8 >> (8 - n) is the file's value
    // exactly, since narrower channels are widened by repeating their bits. A
    // channel wider than 8 bits keeps its top 8, and counts 8. alpha is 0 when
    // the file has no alpha channel (every pixel's alpha is then 255).
    struct ChannelBits {
        int red = 0;
        int green = 0;
        int blue = 0;
        int alpha = 0;
        bool operator==(const ChannelBits& other) const
        {
            return red == other.red && green == other.green && blue == other.blue && alpha == other.alpha;
        }
        bool operator!=(const ChannelBits& other) const { return !(*this == other); }
    };

    PLTrueColorRows();
    PLTrueColorRows(const PLTrueColorRows&) = delete;
    PLTrueColorRows& operator=(const PLTrueColorRows&) = delete;
    ~PLTrueColorRows();

    // The masks uncompressed pixels imply: 5-5-5 at 16 bits, 8-8-8 at 24 and
    // 32 (whose fourth byte is padding, not alpha).
    static Masks UncompressedMasks(int bitCount);
    // Empty when the masks can describe pixels of bitCount bits (16, 24 or
    // 32): every colour mask non-zero, each mask one run of bits inside the
    // pixel, no two overlapping. Otherwise what is wrong, for a refusal.
    static std::string CheckMasks(const Masks& masks, int bitCount);

    // Takes masks that CheckMasks accepted, for pixels of bitCount bits.
    void SetLayout(const Masks& masks, int bitCount);
    ChannelBits Bits() const;

    // A row of width pixels. Throws PLTextException, naming the row's size,
    // when it cannot be held.
    static std::unique_ptr<PLColor[]> AllocateRow(int width);
    // Decodes width pixels, width x bitCount / 8 bytes at data (the caller
    // has made sure they are there), into row. Needs SetLayout.
    void DecodeRow(const std::uint8_t* data, PLColor* row, int width) const;

private:
    // One channel's way from a pixel to 8 bits: (pixel >> shift) & low, then
    // through widen (which repeats the bits of narrow channels).
    struct Channel {
        int shift = 0;
        std::uint32_t low = 0;
        int bits = 0;
        // The byte of the pixel that is the channel, when it is exactly one
        // whole byte; -1 otherwise.
        int byteIndex = -1;
        std::uint8_t widen[256] = {};
    };
    enum { RED, GREEN, BLUE, ALPHA, CHANNELS };

    static void SetChannel(Channel& channel, std::uint32_t mask);
    void DecodeByteRow(const std::uint8_t* data, PLColor* row, int width) const;
    template <int BYTES>
    void DecodeMaskedRow(const std::uint8_t* data, PLColor* row, int width) const;

    Channel m_channels[CHANNELS];
    int m_bytesPerPixel = 0;
    // Every colour channel (and alpha, if any) is one whole byte: no shifts needed.
    bool m_wholeBytes = false;
};
