// The viewer's own PIC loader: one picture and one palette that every load
// updates in place. Portable except for Load, whose file read lives in
// PicImageFile.cpp and is built on Windows only.
#pragma once

#include <cstddef>
#include <cstdint>

class PicImage {
public:
    static constexpr int PALETTE_ENTRIES = 256;
    // PixelCount is a signed 32-bit number, so no picture may hold more pixels.
    static constexpr std::size_t MAX_PIXELS = 0x7FFFFFFF;

    PicImage();
    PicImage(const PicImage&) = delete;
    PicImage& operator=(const PicImage&) = delete;
    ~PicImage();

    // Reads the named file whole and walks its chunks. False when it cannot be
    // opened or holds no bytes; true otherwise, whatever it holds.
    bool Load(const char* name);
    // The chunk walk over size bytes at data. Always true.
    bool Parse(const unsigned char* data, int size);

    // The colour (0x00BBGGRR) of pixel (x, y), palette entry 0 for one past
    // the stream's end; 0 outside the picture or without one.
    std::uint32_t PixelColor(std::uint32_t x, std::uint32_t y) const;
    // Palette entry i; 0 for an index above 255.
    std::uint32_t PaletteEntry(std::uint32_t i) const;

    // Pictures of more pixels than this are refused (the old one stays). The
    // program keeps MAX_PIXELS; tests and the fuzzer lower it.
    void SetPixelLimit(std::size_t limit) { m_pixelLimit = limit; }

    bool HasImage = false;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t Palette[PALETTE_ENTRIES];
    unsigned char* FileData = nullptr;
    int FileSize = 0;
    int ParsePos = 0;
    // The first PixelCount pixels of the picture, as many as its stream gave;
    // the pixels past them are index 0 and not held.
    unsigned char* Pixels = nullptr;
    int PixelCount = 0;
    int FirstIndex = 0;
    int LastIndex = 0;
    bool HasPalette = false;

private:
    // Makes size bytes at data FileData, copying them unless they are it
    // already. False when there are no bytes to walk.
    bool TakeFileData(const unsigned char* data, int size);
    void WalkChunks();
    void ReadPaletteChunk(std::size_t pos);
    void ReadImageChunk(std::size_t pos);
    void FreeFileData();

    std::size_t m_pixelLimit = MAX_PIXELS;
};
