// Takes a decoded picture one row at a time, so that a caller can turn each
// row into something smaller (palette indices, say) as it comes and never
// hold the whole picture at 4 bytes a pixel. PLBmpReader::DecodeRowsInto
// feeds one.
#pragma once

#include "bitmap/PLColor.h"

class PLRowSink {
public:
    PLRowSink() = default;
    PLRowSink(const PLRowSink&) = default;
    PLRowSink& operator=(const PLRowSink&) = default;
    virtual ~PLRowSink();

    // Row y of the picture (0 the top row), width pixels of blue, green, red
    // and alpha, left to right. The pixels are the reader's and valid only
    // during the call: keep what you need. Rows come in the file's order,
    // which for most BMP files is the bottom row first. Throwing a
    // PLTextException stops the decode; the reader passes it on.
    virtual void TakeRow(int y, const PLColor* pixels, int width) = 0;
};
