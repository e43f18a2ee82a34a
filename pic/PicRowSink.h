// Where a decoder hands a picture's rows as it completes them, so that a
// caller can scale, convert or store them without the whole picture at once.
#pragma once

// Takes a picture's rows of palette indices, top to bottom, as a decoder completes them.
class PicRowSink {
public:
    virtual ~PicRowSink() = default;
    // Row y (ascending from 0, each once) of width indices. False stops the decoding.
    virtual bool TakeRow(int y, const unsigned char* indices, int width) = 0;
};
