#include "desktop/common/PicRowScaler.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// floor(i x from / to) without overflow: every factor is at most 32,767 or so.
int Scale(int i, int from, int to)
{
    return static_cast<int>(static_cast<std::int64_t>(i) * from / to);
}

void FillRow(unsigned char* out, int width, const unsigned char* rgb)
{
    for (int x = 0; x < width; ++x, out += 3) {
        out[0] = rgb[0];
        out[1] = rgb[1];
        out[2] = rgb[2];
    }
}

} // namespace

bool PicRowScaler::Start(int fromWidth, int fromHeight, int toWidth, int toHeight, const unsigned char* colorMap,
                         unsigned char* out, std::size_t rowStride)
{
    if (fromWidth <= 0 || fromHeight <= 0 || toWidth <= 0 || toHeight <= 0)
        return false;
    m_fromWidth = fromWidth;
    m_fromHeight = fromHeight;
    m_toWidth = toWidth;
    m_toHeight = toHeight;
    m_colorMap = colorMap;
    m_out = out;
    m_rowStride = rowStride;
    m_sourceRow = 0;
    m_row = 0;
    m_left.reset(new (std::nothrow) int[static_cast<std::size_t>(toWidth) + 1]);
    m_sums.reset(new (std::nothrow) std::uint64_t[3 * static_cast<std::size_t>(toWidth)]());
    if (!m_left || !m_sums)
        return false;
    for (int column = 0; column <= toWidth; ++column)
        m_left[static_cast<std::size_t>(column)] = Scale(column, fromWidth, toWidth);
    return true;
}

int PicRowScaler::BoxTop(int row) const
{
    return Scale(row, m_fromHeight, m_toHeight);
}

// Growing, boxes are one source row or column deep, and neighbours share it.
int PicRowScaler::BoxBottom(int row) const
{
    return std::max(BoxTop(row) + 1, BoxTop(row + 1));
}

int PicRowScaler::BoxRight(int column) const
{
    return std::max(BoxLeft(column) + 1, BoxLeft(column + 1));
}

bool PicRowScaler::TakeRow(int y, const unsigned char* indices, int width)
{
    if (y < m_sourceRow || y >= m_fromHeight || width != m_fromWidth || m_row >= m_toHeight)
        return false;
    while (m_sourceRow < y) {
        int count = std::min(y, BoxBottom(m_row)) - m_sourceRow;
        AddZeroRows(count);
    }
    AddRow(indices);
    return true;
}

void PicRowScaler::Finish()
{
    while (m_row < m_toHeight)
        AddZeroRows(std::min(m_fromHeight, BoxBottom(m_row)) - m_sourceRow);
}

void PicRowScaler::AddRow(const unsigned char* indices)
{
    unsigned char* out = m_out + static_cast<std::size_t>(m_row) * m_rowStride;
    // The source's own width, one row deep: the colours go straight out.
    if (m_toWidth == m_fromWidth && BoxBottom(m_row) - BoxTop(m_row) == 1) {
        for (int x = 0; x < m_fromWidth; ++x, out += 3) {
            const unsigned char* rgb = m_colorMap + 3 * indices[x];
            out[0] = rgb[0];
            out[1] = rgb[1];
            out[2] = rgb[2];
        }
        ++m_sourceRow;
        CompleteBox();
        return;
    }
    std::uint64_t* sums = m_sums.get();
    for (int column = 0; column < m_toWidth; ++column, sums += 3) {
        std::uint64_t red = 0;
        std::uint64_t green = 0;
        std::uint64_t blue = 0;
        for (int x = BoxLeft(column), right = BoxRight(column); x < right; ++x) {
            const unsigned char* rgb = m_colorMap + 3 * indices[x];
            red += rgb[0];
            green += rgb[1];
            blue += rgb[2];
        }
        sums[0] += red;
        sums[1] += green;
        sums[2] += blue;
    }
    ++m_sourceRow;
    if (m_sourceRow == BoxBottom(m_row))
        AverageBox();
}

void PicRowScaler::AddZeroRows(int count)
{
    const unsigned char* rgb = m_colorMap;
    // A box of index 0 alone is that colour, whatever its size: the rows
    // past the data's end cost one fill per output row.
    if (m_sourceRow == BoxTop(m_row) && count == BoxBottom(m_row) - m_sourceRow) {
        FillRow(m_out + static_cast<std::size_t>(m_row) * m_rowStride, m_toWidth, rgb);
        m_sourceRow += count;
        CompleteBox();
        return;
    }
    std::uint64_t* sums = m_sums.get();
    for (int column = 0; column < m_toWidth; ++column, sums += 3) {
        auto pixels =
            static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(BoxRight(column) - BoxLeft(column));
        sums[0] += pixels * rgb[0];
        sums[1] += pixels * rgb[1];
        sums[2] += pixels * rgb[2];
    }
    m_sourceRow += count;
    if (m_sourceRow == BoxBottom(m_row))
        AverageBox();
}

void PicRowScaler::AverageBox()
{
    unsigned char* out = m_out + static_cast<std::size_t>(m_row) * m_rowStride;
    auto rows = static_cast<std::uint64_t>(BoxBottom(m_row) - BoxTop(m_row));
    std::uint64_t* sums = m_sums.get();
    for (int column = 0; column < m_toWidth; ++column, sums += 3, out += 3) {
        std::uint64_t pixels = rows * static_cast<std::uint64_t>(BoxRight(column) - BoxLeft(column));
        for (int c = 0; c < 3; ++c) {
            out[c] = static_cast<unsigned char>((sums[c] + pixels / 2) / pixels);
            sums[c] = 0;
        }
    }
    CompleteBox();
}

void PicRowScaler::CompleteBox()
{
    const unsigned char* done = m_out + static_cast<std::size_t>(m_row) * m_rowStride;
    int top = BoxTop(m_row);
    for (++m_row; m_row < m_toHeight && BoxTop(m_row) == top; ++m_row)
        std::memcpy(m_out + static_cast<std::size_t>(m_row) * m_rowStride, done,
                    3 * static_cast<std::size_t>(m_toWidth));
}
