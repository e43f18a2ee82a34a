// What PicFile refused to load or save, with the numbers that say why. PicFile
// words no refusal: each program that uses it words them for its own users
// from a table of its own texts (pic/PicRefusalWording.h), the converter in
// converter/Messages.h, the desktop programs in desktop/common/DesktopMessages.h.
// PicFile's one text is its message box about a chunk of an unknown tag
// (PicFile::UnknownChunkMessage), which is no refusal: the walk goes on after it.
#pragma once

#include <cstdint>

struct PicRefusal {
    enum Kind {
        NONE,
        // Loading: the file has more bytes than a buffer holds (bytes, limit).
        FILE_TOO_LARGE,
        // Loading: there is no memory for the file's bytes (bytes).
        FILE_OUT_OF_MEMORY,
        // Loading: an image chunk declares sides that no picture has (width
        // and height as stored, 0 to 65,535; limit, the longest side).
        IMAGE_CHUNK_TOO_LARGE,
        // Loading: there is no memory for an image chunk's pixels (width, height).
        IMAGE_OUT_OF_MEMORY,
        // SetImage: sides that a PIC file cannot store (width, height; limit,
        // the longest side).
        PICTURE_TOO_LARGE,
        // Saving: the compressed picture is longer than an image chunk holds
        // (bytes, limit).
        STREAM_TOO_LONG,
        // SetImage or saving: there is no memory to copy or compress the
        // picture, or to compose the file (width, height).
        SAVE_OUT_OF_MEMORY,
        // Saving: the file could not be written (systemError, an errno value).
        NOT_WRITTEN,
    };
    // Every kind but NONE has a text in each program; NOT_WRITTEN stays last.
    static constexpr int KINDS = NOT_WRITTEN + 1;

    // A picture refused for its sides, or for the memory its pixels need.
    static PicRefusal OfSize(Kind kind, int width, int height, std::uint64_t limit = 0)
    {
        PicRefusal refusal;
        refusal.kind = kind;
        refusal.width = width;
        refusal.height = height;
        refusal.limit = limit;
        return refusal;
    }

    // A file or a stream refused for its length.
    static PicRefusal OfLength(Kind kind, std::uint64_t bytes, std::uint64_t limit = 0)
    {
        PicRefusal refusal;
        refusal.kind = kind;
        refusal.bytes = bytes;
        refusal.limit = limit;
        return refusal;
    }

    // A file that could not be written.
    static PicRefusal OfWrite(int systemError)
    {
        PicRefusal refusal;
        refusal.kind = NOT_WRITTEN;
        refusal.systemError = systemError;
        return refusal;
    }

    Kind kind = NONE;
    int width = 0;
    int height = 0;
    std::uint64_t bytes = 0;
    std::uint64_t limit = 0;
    int systemError = 0;
};
