// The frame every image writer shares: size a file sink to the encoded file,
// let the format write into it, and put the file on disk only when all of it
// was produced.
#pragma once

#include "bitmap/PLObject.h"

#include <cstdint>

class PLBitmap;
class PLOutput;

class PLImageWriter : public PLObject {
public:
    PLImageWriter();
    PLImageWriter(const PLImageWriter&) = delete;
    PLImageWriter& operator=(const PLImageWriter&) = delete;
    ~PLImageWriter() override;

    // Failures are PLTextException; the target file is then left as it was.
    virtual void EncodeFile(const char* path, const PLBitmap& bitmap);
    // Writes the image into an opened sink with room for EncodedBytes(bitmap).
    virtual void EncodeTo(const PLBitmap& bitmap, PLOutput& sink);
    // The exact size of the file the bitmap encodes to.
    virtual std::uint64_t EncodedBytes(const PLBitmap& bitmap) const = 0;

protected:
    virtual void WriteImage(const PLBitmap& bitmap, PLOutput& sink) = 0;
};
