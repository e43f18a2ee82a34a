// One PIC picture of the game: an optional palette of 6-bit components and one
// image of palette indices, run-length coded with the escape byte 0x90 and
// then LZW coded at 9 to 11 bits. Reads and writes whole files; never throws.
#pragma once

#include "converter/support/ByteBuffer.h"

#include <cstdint>
#include <string>

class FileHandle;

class PicFile {
public:
    static constexpr int PALETTE_ENTRIES = 256;
    // Sizes are stored as signed 16-bit numbers.
    static constexpr int MAX_SIDE = 32767;
    // An image chunk's 16-bit length counts the 4 size bytes too.
    static constexpr int MAX_STREAM_BYTES = 65531;

    PicFile();
    PicFile(const PicFile&) = delete;
    PicFile& operator=(const PicFile&) = delete;
    virtual ~PicFile();

    // False only when the file cannot be opened: whatever it holds, it loads.
    bool Load(const char* path);
    bool LoadFrom(FileHandle& file);
    bool Parse(const unsigned char* data, int size);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Entry i as 0x00BBGGRR; 0 for an index above 255.
    std::uint32_t PaletteEntry(unsigned int i) const;
    // Copies min(n, Width x Height) pixels; returns Width x Height, or 0 without an image.
    int CopyPixels(unsigned char* destination, int n) const;

    // palette: 256 entries of 0x00BBGGRR (1,024 bytes, little-endian), or null
    // for none. False, with nothing changed, for sizes a PIC file cannot hold.
    bool SetImage(int width, int height, const unsigned char* pixels, const unsigned char* palette);
    // Writes the whole file, or nothing: the target is replaced only when every
    // byte was written. False when it could not be (see RefusalReason).
    bool Save(const char* path, bool writePalette);
    bool SaveTo(FileHandle& file, bool writePalette);
    // Why the last Save refused the picture itself (too large to store);
    // empty when it did not, e.g. when only the file could not be written.
    const std::string& RefusalReason() const { return m_refusalReason; }

    void ResetPalette();

    bool HasImage = false;
    bool HasPalette = false;
    ByteBuffer Pixels;
    ByteBuffer RawData;
    std::uint32_t Palette[PALETTE_ENTRIES];

private:
    int m_width = 0;
    int m_height = 0;
    std::string m_refusalReason;
};
