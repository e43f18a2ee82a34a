#include "tests/bitmap/BmpTestSupport.h"

#include "bitmap/CMemSink.h"
#include "bitmap/PLBmpReader.h"
#include "bitmap/PLBmpWriter.h"
#include "bitmap/PLMemBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>

Bytes BuildBmp(const BmpLayout& layout)
{
    bool os2 = layout.headerSize == 12;
    std::size_t entryBytes = os2 ? 3 : 4;
    // Masks the header has no room for follow it.
    std::size_t headerRoom = layout.headerSize >= 52 ? (std::min<std::uint32_t>(layout.headerSize, 56) - 40) / 4 : 0;
    std::size_t masksInHeader = std::min(layout.masks.size(), headerRoom);
    std::size_t masksAfter = layout.masks.size() - masksInHeader;
    std::uint32_t tableEnd = 14 + layout.headerSize + static_cast<std::uint32_t>(4 * masksAfter) +
                             static_cast<std::uint32_t>(entryBytes * layout.colors.size());
    std::uint32_t dataOffset = layout.dataOffset < 0 ? tableEnd : static_cast<std::uint32_t>(layout.dataOffset);

    Bytes file = {'B', 'M'};
    AppendU32(file, tableEnd + static_cast<std::uint32_t>(layout.pixels.size())); // file size
    AppendU16(file, 0);                                                           // reserved
    AppendU16(file, 0);                                                           // reserved
    AppendU32(file, dataOffset);
    AppendU32(file, layout.headerSize);
    if (os2) {
        AppendU16(file, static_cast<std::uint32_t>(layout.width));
        AppendU16(file, static_cast<std::uint32_t>(layout.height));
        AppendU16(file, 1); // planes
        AppendU16(file, layout.bitCount);
    } else {
        AppendU32(file, static_cast<std::uint32_t>(layout.width));
        AppendU32(file, static_cast<std::uint32_t>(layout.height));
        AppendU16(file, 1); // planes
        AppendU16(file, layout.bitCount);
        AppendU32(file, layout.compression);
        AppendU32(file, static_cast<std::uint32_t>(layout.pixels.size())); // image size
        AppendU32(file, static_cast<std::uint32_t>(layout.xPixelsPerMetre));
        AppendU32(file, static_cast<std::uint32_t>(layout.yPixelsPerMetre));
        AppendU32(file, layout.colorsUsed);
        AppendU32(file, 0); // colours important
        std::size_t headerEnd = file.size() + std::min<std::uint32_t>(layout.headerSize - 40, 1024);
        for (std::size_t i = 0; i < masksInHeader; ++i)
            AppendU32(file, layout.masks[i]);
        // Absurd sizes stay absurd claims: the file carries at most 1 KB of them.
        if (layout.headerSize > 40)
            file.resize(headerEnd, 0);
    }
    for (std::size_t i = masksInHeader; i < layout.masks.size(); ++i)
        AppendU32(file, layout.masks[i]);
    for (const PLColor& color : layout.colors) {
        file.push_back(color.b);
        file.push_back(color.g);
        file.push_back(color.r);
        if (!os2)
            file.push_back(0);
    }
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

void DecodeBytes(const Bytes& file, PLMemBitmap& bitmap, int wantedDepth)
{
    PLBmpReader reader;
    reader.DecodeMemory(file.data(), static_cast<int>(file.size()), bitmap, wantedDepth);
}

Bytes EncodeBytes(const PLBitmap& bitmap)
{
    PLBmpWriter writer;
    CMemSink sink;
    auto size = static_cast<int>(writer.EncodedBytes(bitmap));
    EXPECT_EQ(sink.Open("memory", size), 0);
    writer.EncodeTo(bitmap, sink);
    EXPECT_EQ(sink.Position(), size) << "the file fills its computed size exactly";
    Bytes bytes(sink.GetBuffer(), sink.GetBuffer() + sink.Position());
    sink.Close();
    return bytes;
}

Bytes PixelsOf(const PLBitmap& bitmap)
{
    Bytes pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
        pixels.insert(pixels.end(), bitmap.Lines()[y], bitmap.Lines()[y] + bitmap.LineBytes());
    return pixels;
}

std::string FixturePath(const std::string& relative)
{
    return std::string(CANTREL_FIXTURES) + "/" + relative;
}
