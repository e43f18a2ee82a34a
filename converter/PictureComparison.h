// How a converted picture compares with another of the same picture: the
// pixels whose index changed, and the indices whose colour changed. They are
// the modder's check that a picture put back holds what was painted and
// nothing else, and that no index moved to another colour on the way.
#pragma once

#include "pic/PaletteEntry.h"

#include <cstdint>

class ImageDocument;

// The pixels whose index differs between two pictures of one size, and the
// rectangle that holds them (inclusive, from 0 at the top left).
struct IndexDifference {
    std::uint64_t count = 0;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
// picture and other must be of one size.
IndexDifference CompareIndices(const ImageDocument& picture, const ImageDocument& other);

// Which of the 256 indices the picture's pixels use.
struct UsedIndices {
    bool used[PALETTE_ENTRIES] = {};
};
UsedIndices FindUsedIndices(const ImageDocument& picture);

// Of the used indices, how many show another colour in palette than in
// colors, compared as the game shows them (6 bits a component). With
// elsewhere, only those whose colour palette holds at another index count:
// the colours were renumbered rather than changed.
int CountChangedColors(const UsedIndices& indices, const std::uint32_t colors[PALETTE_ENTRIES],
                       const std::uint32_t palette[PALETTE_ENTRIES], bool elsewhere);
