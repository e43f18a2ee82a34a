// A PIC file arriving in pieces, as an image loader is handed it: the pieces
// are kept in order and the picture is read once the last one is in. The
// format's chunks can only be walked whole (a palette chunk may come after
// the image), so nothing is decoded before then.
#pragma once

#include "converter/support/ByteBuffer.h"

#include <cstddef>

class PicPicture;

class PicPieces {
public:
    // False when the bytes so far and these no longer fit in memory; the
    // pieces held are then dropped, and every later Add fails too.
    bool Add(const unsigned char* data, std::size_t size);
    // Reads the picture from every piece added; false as PicPicture::Parse
    // fails (the picture's Error() says why), or when an Add failed.
    bool Finish(PicPicture& picture);
    // The same, leaving the pixels for PicPicture::DecodeRows.
    bool FinishWithoutPixels(PicPicture& picture);
    bool OutOfMemory() const { return m_failed; }

private:
    ByteBuffer m_bytes;
    bool m_failed = false;
};
