// An edited picture given as colours (GIMP's RGB mode), put back onto the
// palette of the PIC picture it was opened from, with that picture's indices
// deciding between entries of one colour. An editor that works in colours
// keeps what the picture looks like but not its indices, which the game needs.
#pragma once

#include "converter/support/ByteBuffer.h"
#include "desktop/common/PicPicture.h"
#include "pic/PaletteMapper.h"

#include <cstdint>
#include <optional>
#include <string>

class RemappedPicture {
public:
    // The most bytes of an original PIC file that an image keeps: far more
    // than a palette chunk and the largest image chunk (66,313 bytes), so only
    // a file padded with foreign chunks is left out.
    static constexpr int MAX_ORIGINAL_BYTES = 1 << 20;

    // The PIC file the picture was opened from, as its bytes. False, with
    // Error(), when they hold no picture.
    bool SetOriginal(const unsigned char* bytes, int size);
    const PicPicture& Original() const { return m_original; }

    // Starts an edited picture of this size, after a successful SetOriginal
    // (else false, Error() saying why that failed). inPlace: it lies where the
    // original lay, so the original's index at a place can decide there (an
    // edited picture of another size never uses them). False, with Error(),
    // for a size a PIC file cannot hold or that memory cannot.
    bool Start(int width, int height, bool inPlace);
    // Row y (from 0, top first) of width pixels in layout; rows outside the
    // picture are ignored.
    void MapRow(int y, const unsigned char* pixels, const PixelLayout& layout);
    // After every row: the picture in the original's palette, or false with
    // Error() naming the pixels that could not be mapped.
    bool Finish(PicPicture& picture);

    // After Finish: how many pixels, whose colour the palette holds at several
    // indices, took the lowest of them because the original did not decide,
    // and what to tell the user of them (empty when none did).
    std::uint64_t LowestChoices() const;
    std::string LowestChoicesNote() const;
    const std::string& Error() const { return m_error; }

private:
    std::string DescribeMisses() const;

    PicPicture m_original;
    std::optional<PaletteMapper> m_mapper;
    ByteBuffer m_indices;
    int m_width = 0;
    int m_height = 0;
    bool m_started = false;
    std::string m_error;
};
