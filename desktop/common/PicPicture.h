// A PIC picture as the desktop programs (the GIMP plug-in, the image loader
// module) see it: size, palette indices and a colour map of 256 RGB triples.
// It reads and writes through PicFile, so the pixels and colours are those the
// converter gives a BMP file of the same picture, and the bytes written are
// those the converter writes.
#pragma once

#include "converter/support/ByteBuffer.h"
#include "pic/PaletteEntry.h"

#include <cstdint>
#include <functional>
#include <string>

class PicFile;
class PicRowSink;

class PicPicture {
public:
    static constexpr int COLOR_MAP_BYTES = 3 * PALETTE_ENTRIES;

    PicPicture();
    PicPicture(const PicPicture&) = delete;
    PicPicture& operator=(const PicPicture&) = delete;

    // False, with Error() saying why, when the file cannot be read or holds
    // nothing to show: no image chunk, an image that could not be held, or
    // one without pixels.
    bool Load(const char* path);
    // The same, handing over the bytes the picture was read from, for a
    // record of the original; file holds nothing when the picture was not
    // read from it, as when the load failed.
    bool Load(const char* path, ByteBuffer& file);
    bool Parse(const unsigned char* data, int size);
    // The same, but the pixels are left undecoded: Pixels stays empty and the
    // image's compressed stream is kept for DecodeRows, which hands them on
    // at whatever size the caller makes of them.
    bool ParseWithoutPixels(const unsigned char* data, int size);
    // The rows of a picture read by ParseWithoutPixels, each once, top to
    // bottom, as PicFile::DecodeRows hands them (none after the row in which
    // the data ends). False when memory runs out or sink stopped.
    bool DecodeRows(PicRowSink& sink, int& decodedPixels) const;

    // Takes the pixels and the first colours triples of colorMap (at most
    // 256); the entries past them are black, as in a BMP file whose colour
    // table is short. False, with Error(), for sizes a PIC file cannot hold.
    bool SetImage(int width, int height, const unsigned char* pixels, const unsigned char* colorMap, int colors);
    // Why a picture of this size cannot be stored; empty when it can.
    static std::string SizeRefusal(int width, int height);
    // Writes the whole file or nothing; false, with Error(), when the picture
    // is refused (too large to store) or the file could not be written.
    bool Save(const char* path, bool writePalette);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const ByteBuffer& Pixels() const { return m_pixels; }
    // Red, green, blue of index i at 3 x i.
    const unsigned char* ColorMap() const { return m_colorMap; }
    // Whether the file had a palette chunk; without one the colour map is the
    // default palette.
    bool HasPalette() const { return m_hasPalette; }
    const std::string& Error() const { return m_error; }
    // How many of the Width x Height pixels the file's data gave; the rest are
    // index 0. After SetImage, all of them.
    long long GivenPixels() const { return m_givenPixels; }
    // The sentence that tells of a picture whose data ends early, for its
    // user to see once it is open; empty when the data gave every pixel.
    std::string DataEndsNote() const;

    // Called once for every chunk with an unknown tag while reading; nothing
    // by default, so a program that shows nothing need not set it.
    std::function<void(std::uint16_t tag)> OnUnknownChunk;

private:
    bool ParseFile(const unsigned char* data, int size, bool withPixels);
    bool TakePicture(PicFile& pic);

    int m_width = 0;
    int m_height = 0;
    long long m_givenPixels = 0;
    ByteBuffer m_pixels;
    ByteBuffer m_imageStream;
    unsigned char m_colorMap[COLOR_MAP_BYTES];
    bool m_hasPalette = false;
    std::string m_error;
};
