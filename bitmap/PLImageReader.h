// The frame every image reader shares: open a source, let the format read its
// headers (announcing the image through the inherited PLImageInfo fields),
// create the target bitmap at the wanted depth, let the format decode the
// pixels, close the source. Failures are PLTextException; the source is closed
// before one leaves.
#pragma once

#include "bitmap/PLImageInfo.h"
#include "bitmap/PLInput.h"

#include <cstdint>
#include <memory>

class PLBitmap;
class PLProgressListener;

class PLImageReader : public PLImageInfo {
public:
    PLImageReader();
    PLImageReader(const PLImageReader&) = delete;
    PLImageReader& operator=(const PLImageReader&) = delete;
    // Also stops file tracing (SetTrace's file name is released).
    ~PLImageReader() override;

    // wantedDepth 0 takes the depth the file announces. OpenFile, DecodeInto
    // and Close in one.
    virtual void DecodeFile(const char* path, PLBitmap& bitmap, int wantedDepth,
                            PLProgressListener* progress = nullptr);
    // The progress listener is not used for memory.
    virtual void DecodeMemory(const std::uint8_t* data, int size, PLBitmap& bitmap, int wantedDepth,
                              PLProgressListener* progress = nullptr);
    // The first half of a decode: opens the source and reads the headers, so
    // that the caller can judge the image announced (Width(), Height(), ...)
    // before its pixels are allocated. DecodeInto then reads them; Close, or
    // destruction, releases the source. A failure closes it before it leaves.
    void OpenFile(const char* path, PLProgressListener* progress = nullptr);
    void OpenMemory(const std::uint8_t* data, int size);
    // Needs ReadHeader to have run: refuses a wanted depth other than 0 or the
    // announced one, then creates the bitmap from the announced info and reads
    // the pixels into it.
    virtual void DecodeInto(PLBitmap& bitmap, int wantedDepth);
    // Releases what the last decode held.
    virtual void Close();

protected:
    // Reads everything up to the pixel data and announces the image.
    virtual void ReadHeader(PLInput& source) = 0;
    // Refuses an image the rest of the source cannot describe, before its
    // bitmap is allocated.
    virtual void CheckDataSize(const PLInput& source) const = 0;
    // Decodes the pixels into a bitmap created with the announced info.
    virtual void ReadPixels(PLBitmap& bitmap) = 0;

    PLInput& Source() { return *m_source; }
    // The source the headers were read from; refuses a decode that comes
    // before them (or after Close).
    PLInput& HeaderSource();

private:
    // Takes an opened source and reads the headers from it.
    void ReadHeaderFrom(std::unique_ptr<PLInput> source);
    // DecodeInto, then Close, also on failure.
    void DecodeAndClose(PLBitmap& bitmap, int wantedDepth);

    std::unique_ptr<PLInput> m_source;
};
