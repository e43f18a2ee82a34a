// A picture's rows of palette indices made into RGB rows of the size a caller
// asked for, as the decoder completes them: neither the indices nor the
// colours of the whole picture are ever held. Shrinking, each pixel is the
// rounded average of the box of source pixels it covers; growing, it is the
// source pixel it falls on. At the source's own size the colours are exactly
// the colour map's.
#pragma once

#include "pic/PicRowSink.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class PicRowScaler : public PicRowSink {
public:
    // out: toHeight rows of 3 x toWidth bytes (red, green, blue), rowStride
    // apart; colorMap: 256 RGB triples. Both must outlive the scaling. False
    // when a size is not positive or memory runs out.
    bool Start(int fromWidth, int fromHeight, int toWidth, int toHeight, const unsigned char* colorMap,
               unsigned char* out, std::size_t rowStride);
    // Rows skipped over are index 0; a row out of order or of another width
    // stops the decoding.
    bool TakeRow(int y, const unsigned char* indices, int width) override;
    // The source rows never handed over are index 0: every output row is
    // complete afterwards.
    void Finish();
    // Output rows complete so far, from the top.
    int RowsDone() const { return m_row; }

private:
    int BoxTop(int row) const;
    int BoxBottom(int row) const;
    int BoxLeft(int column) const { return m_left[static_cast<std::size_t>(column)]; }
    int BoxRight(int column) const;
    void AddRow(const unsigned char* indices);
    // count rows of index 0, all of them within the current output row's box.
    void AddZeroRows(int count);
    // Writes the current output row from the sums of its complete box.
    void AverageBox();
    // Moves past the current output row, once written, copying it to every
    // following row that shows the same source row.
    void CompleteBox();

    int m_fromWidth = 0;
    int m_fromHeight = 0;
    int m_toWidth = 0;
    int m_toHeight = 0;
    const unsigned char* m_colorMap = nullptr;
    unsigned char* m_out = nullptr;
    std::size_t m_rowStride = 0;
    // The first source column of each output column, and the source's width after them.
    std::unique_ptr<int[]> m_left;
    // Red, green, blue sums of each output column's box over the rows added so far.
    std::unique_ptr<std::uint64_t[]> m_sums;
    // The next source row expected, and the output row it goes to.
    int m_sourceRow = 0;
    int m_row = 0;
};
