// One PIC picture of the game: an optional palette of 6-bit components and one
// image of palette indices, run-length coded with the escape byte 0x90 and
// then LZW coded at 9 to 11 bits. Reads and writes whole files; never throws.
#pragma once

#include "converter/support/ByteBuffer.h"
#include "pic/PaletteEntry.h"
#include "pic/PicRefusal.h"
#include "pic/PicRowSink.h"

#include <cstdint>
#include <functional>
#include <string>

class FileHandle;

class PicFile {
public:
    // Sizes are stored as signed 16-bit numbers.
    static constexpr int MAX_SIDE = 32767;
    // An image chunk's 16-bit length counts the 4 size bytes too.
    static constexpr int MAX_STREAM_BYTES = 65531;
    // Tag "X0" read as a little-endian 16-bit number.
    static constexpr std::uint16_t IMAGE_TAG = 0x3058;

    PicFile();
    PicFile(const PicFile&) = delete;
    PicFile& operator=(const PicFile&) = delete;
    virtual ~PicFile();

    // False when the file cannot be opened, or cannot be read whole (too large
    // for a buffer or for memory: Refusal says which). Whatever it holds, it
    // loads; an image chunk it cannot hold leaves no image, and Refusal says why.
    bool Load(const char* path);
    bool LoadFrom(FileHandle& file);
    bool Parse(const unsigned char* data, int size);

    // The size the image chunk declares. The stream may give fewer pixels:
    // Pixels holds the DecodedPixels it gave, which CopyPixels pads with 0.
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int DecodedPixels() const { return m_decodedPixels; }
    // Entry i as 0x00BBGGRR; 0 for an index above 255.
    std::uint32_t PaletteEntry(unsigned int i) const;
    // Copies min(n, Width x Height) pixels; returns Width x Height, or 0 without an image.
    int CopyPixels(unsigned char* destination, int n) const;

    // palette: 256 entries of 0x00BBGGRR (1,024 bytes, little-endian), or null
    // for none. False, with nothing changed, for sizes a PIC file cannot hold
    // or pixels that cannot be copied (Refusal says which), and for null
    // pixels of a picture that has some.
    bool SetImage(int width, int height, const unsigned char* pixels, const unsigned char* palette);
    // As SetImage, but the pixels are taken over rather than copied: Pixels
    // and pixels change places, and a caller lending them swaps them back
    // after the save. pixels may hold more than width x height bytes (the
    // rest is never encoded); with fewer, false and nothing changed.
    bool TakeImage(int width, int height, ByteBuffer& pixels, const unsigned char* palette);
    // Writes the whole file, or nothing: the target is replaced only when every
    // byte was written. False when it could not be (Refusal says why).
    bool Save(const char* path, bool writePalette);
    // Writes the whole file at the handle's position; false when the picture is
    // refused (Refusal says why) or a write fails.
    bool SaveTo(FileHandle& file, bool writePalette);
    // What the last Load, Parse, SetImage or Save refused, and why. After a
    // load: a file that could not be read whole, or the last image chunk
    // walked, when it could not be held. Kind NONE when nothing was refused,
    // as after a file that could not even be opened.
    const PicRefusal& Refusal() const { return m_refusal; }

    void ResetPalette();

    // The chunk readers of the walk. data holds available bytes up to the end
    // of the file; the image chunk's length is already cut to them. An image
    // chunk whose size cannot be held is refused (false) and changes nothing.
    void ReadPaletteChunk(const unsigned char* data, int available);
    bool ReadImageChunk(const unsigned char* data, int length);

    // When set before a load, the walk leaves the image undecoded: it keeps the
    // last image chunk's compressed stream (its first byte, the largest code
    // width, included) as ImageStream, and the declared size as Width and
    // Height, with Pixels empty and DecodedPixels 0. The walk is otherwise the
    // same: the last image chunk wins, its length is cut to the bytes the file
    // has, and a size it cannot hold is refused as ever. For a caller that
    // wants the palette, which may follow the image chunk, before it decodes
    // the rows itself (DecodeRows), at a size of its own.
    bool DefersImage = false;
    const ByteBuffer& ImageStream() const { return m_imageStream; }

    // The two decoder stages: the compressed stream (its first byte, the largest
    // code width, included) to run-length bytes, and those to exactly
    // width x height pixels, padded with 0 when the runs end early. False only
    // when memory runs out (or the pixels would pass what a ByteBuffer holds);
    // damaged input yields wrong pixels, never a failure.
    static bool DecodeCodes(int width, int height, const ByteBuffer& stream, ByteBuffer& out);
    static bool ExpandRuns(int width, int height, const ByteBuffer& in, ByteBuffer& out);
    // Both stages at once, from size bytes of compressed stream at stream to the
    // pixels: the same pixels as DecodeCodes then ExpandRuns, without handing
    // the run-length bytes over in a buffer of their own.
    static bool DecodeImage(int width, int height, const unsigned char* stream, int size, ByteBuffer& pixels);
    // The same pixels, but only as many as the stream gives (up to width x
    // height, not padded): the buffer grows with them, so a stream that ends
    // early costs what it gives, not what the size declares.
    static bool DecodePixels(int width, int height, const unsigned char* stream, int size, ByteBuffer& pixels);
    // Decodes size bytes of compressed stream (its first byte, the largest code
    // width, included) and hands each row to sink as it is complete. The row in
    // which the data ends is handed on padded with index 0, and no row after
    // it. decodedPixels gets the number of pixels the data gave (0..width x
    // height). One pass, holding a few rows and one dictionary cycle's
    // run-length bytes. False only when memory runs out or the sink stopped.
    static bool DecodeRows(int width, int height, const unsigned char* stream, int size, PicRowSink& sink,
                           int& decodedPixels);
    // The two encoder stages: the first width x height pixels to run-length
    // bytes, and those to the compressed stream, starting with the byte 11.
    // False only when memory runs out.
    static bool EncodeRuns(int width, int height, const ByteBuffer& pixels, ByteBuffer& out);
    static bool EncodeCodes(int width, int height, const ByteBuffer& in, ByteBuffer& out);

    // The text shown for a chunk with an unknown tag (little-endian 16-bit).
    static std::string UnknownChunkMessage(std::uint16_t tag);
    // Called once for every chunk with an unknown tag. A new object shows
    // UnknownChunkMessage in the program's message box; a caller that must
    // stay silent (a fuzzer, a test) puts its own handler here.
    std::function<void(std::uint16_t tag)> OnUnknownChunk;

    bool HasImage = false;
    bool HasPalette = false;
    ByteBuffer Pixels;
    ByteBuffer RawData;
    std::uint32_t Palette[PALETTE_ENTRIES];

private:
    void WalkChunks();
    bool ComposeFile(bool writePalette, ByteBuffer& file);
    bool RefuseUnstorableSize(int width, int height);

    int m_width = 0;
    int m_height = 0;
    int m_decodedPixels = 0;
    ByteBuffer m_imageStream;
    PicRefusal m_refusal;
};
