// The worked examples of docs/pic-format.md, read from the document itself:
// every hex table there must be what the encoder writes, and what the
// converter's decoder (and for whole files the viewer's) reads back. A
// document edited by hand cannot drift from the programs unnoticed.
#include "pic/PicFile.h"
#include "tests/common/TestFiles.h"
#include "tests/pic/PicTestSupport.h"
#include "viewer/PicImage.h"

#include "tests/viewer/WholePicture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The multiplication sign of "300 × 7" and "(2 × 1)", as UTF-8.
const std::string TIMES = " \xC3\x97 ";

struct Table {
    int line = 0; // of the header row, counted from 1
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

std::vector<std::string> Cells(const std::string& line)
{
    std::vector<std::string> cells;
    std::size_t at = line.find('|');
    while (at != std::string::npos) {
        std::size_t next = line.find('|', at + 1);
        if (next == std::string::npos)
            break;
        std::string cell = line.substr(at + 1, next - at - 1);
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        cells.push_back(cell);
        at = next;
    }
    return cells;
}

// Every Markdown table of the document: a header row, a separator, rows.
std::vector<Table> ReadTables()
{
    std::ifstream in(std::string(CANTREL_SOURCE_DIR) + "/docs/pic-format.md");
    EXPECT_TRUE(in) << "docs/pic-format.md cannot be read";
    std::vector<Table> tables;
    std::string line;
    bool inTable = false;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] != '|') {
            inTable = false;
        } else if (!inTable) {
            tables.push_back(Table{number, Cells(line), {}});
            inTable = true;
        } else if (line.compare(0, 4, "|---") != 0) {
            tables.back().rows.push_back(Cells(line));
        }
    }
    return tables;
}

// The one table with exactly this header; a failure when there is none.
const Table* FindTable(const std::vector<Table>& tables, const std::vector<std::string>& header)
{
    for (const Table& table : tables)
        if (table.header == header && !table.rows.empty())
            return &table;
    std::string wanted;
    for (const std::string& cell : header)
        wanted += "| " + cell + " ";
    ADD_FAILURE() << "docs/pic-format.md has no table headed " << wanted << "|";
    return nullptr;
}

std::string Unquoted(std::string text)
{
    if (text.size() >= 2 && text.front() == '`' && text.back() == '`')
        text = text.substr(1, text.size() - 2);
    return text;
}

// "0x90", "144" or "`0x90`" as a number; -1 when the text is none.
long ParseNumber(const std::string& text)
{
    const std::string number = Unquoted(text);
    if (number.empty())
        return -1;
    char* end = nullptr;
    const long value = std::strtol(number.c_str(), &end, 0);
    return *end == '\0' ? value : -1;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + separator.size())
        parts.push_back(text.substr(at, next - at));
    parts.push_back(text.substr(at));
    return parts;
}

// "`58 30 08 00`": the bytes, two hex digits each.
Bytes ParseHex(const std::string& cell)
{
    Bytes bytes;
    std::istringstream in(Unquoted(cell));
    std::string pair;
    while (in >> pair) {
        char* end = nullptr;
        const long value = std::strtol(pair.c_str(), &end, 16);
        EXPECT_TRUE(pair.size() == 2 && *end == '\0') << "not a hex byte: " << pair << " in " << cell;
        bytes.push_back(static_cast<unsigned char>(value));
    }
    EXPECT_FALSE(bytes.empty()) << "no bytes in " << cell;
    return bytes;
}

// "1, 2", "`0x90`, 7" or "300 × 7" (300 pixels of 7): the pixels, in order.
Bytes ParsePixels(const std::string& cell)
{
    Bytes pixels;
    for (const std::string& item : Split(cell, ", ")) {
        const std::vector<std::string> repeat = Split(item, TIMES);
        const long count = repeat.size() == 2 ? ParseNumber(repeat[0]) : 1;
        const long value = ParseNumber(repeat.back());
        EXPECT_TRUE(count >= 1 && value >= 0 && value <= 255) << "not a pixel list: " << cell;
        if (count >= 1 && value >= 0 && value <= 255)
            pixels.insert(pixels.end(), static_cast<std::size_t>(count), static_cast<unsigned char>(value));
    }
    return pixels;
}

// "1, 2 (2 × 1)": the pixels and the picture's size.
Bytes ParseSizedPixels(const std::string& cell, int& width, int& height)
{
    const std::size_t open = cell.rfind(" (");
    width = height = 0;
    if (open == std::string::npos || cell.back() != ')') {
        ADD_FAILURE() << "no (width × height) in " << cell;
        return {};
    }
    const std::vector<std::string> size = Split(cell.substr(open + 2, cell.size() - open - 3), TIMES);
    if (size.size() == 2) {
        width = static_cast<int>(ParseNumber(size[0]));
        height = static_cast<int>(ParseNumber(size[1]));
    }
    EXPECT_TRUE(width > 0 && height > 0) << "no (width × height) in " << cell;
    return ParsePixels(cell.substr(0, open));
}

std::vector<unsigned> ParseCodes(const std::string& cell)
{
    std::vector<unsigned> codes;
    for (const std::string& item : Split(cell, ", ")) {
        const long code = ParseNumber(item);
        EXPECT_TRUE(code >= 0 && code < 512) << "not a 9-bit code: " << item;
        codes.push_back(static_cast<unsigned>(code));
    }
    return codes;
}

// The codes of a stream read by hand as 9-bit fields, least-significant bit
// first from the byte after MaxCodeWidth; the stream's bits after them must be 0.
std::vector<unsigned> NineBitCodes(const Bytes& stream, std::size_t count, bool& restIsZero)
{
    std::vector<unsigned> codes;
    const auto bit = [&](std::size_t at) { return (stream[1 + at / 8] >> (at % 8)) & 1u; };
    const std::size_t bits = 8 * (stream.size() - 1);
    std::size_t at = 0;
    for (; codes.size() < count && at + 9 <= bits; at += 9) {
        unsigned code = 0;
        for (unsigned i = 0; i < 9; ++i)
            code |= bit(at + i) << i;
        codes.push_back(code);
    }
    restIsZero = true;
    for (; at < bits; ++at)
        restIsZero = restIsZero && bit(at) == 0;
    return codes;
}

} // namespace

TEST(FormatExamples, RunLengthTableIsWhatTheRunStagesWriteAndRead)
{
    const std::vector<Table> tables = ReadTables();
    const Table* table = FindTable(tables, {"Pixels", "Run-length bytes"});
    ASSERT_NE(table, nullptr);
    for (const auto& row : table->rows) {
        SCOPED_TRACE("docs/pic-format.md table at line " + std::to_string(table->line) + ": " + row.at(0));
        ASSERT_EQ(row.size(), 2u);
        const Bytes pixels = ParsePixels(row[0]);
        const Bytes runs = ParseHex(row[1]);
        EXPECT_EQ(Hex(EncodeRunBytes(pixels)), Hex(runs));
        EXPECT_EQ(Hex(ExpandRunBytes(runs, pixels.size())), Hex(pixels));
    }
}

TEST(FormatExamples, StreamTableIsWhatTheEncoderWritesAndTheDecoderReads)
{
    const std::vector<Table> tables = ReadTables();
    const Table* table = FindTable(tables, {"Pixels", "Run-length bytes", "Codes (9 bits)", "Stream"});
    ASSERT_NE(table, nullptr);
    for (const auto& row : table->rows) {
        SCOPED_TRACE("docs/pic-format.md table at line " + std::to_string(table->line) + ": " + row.at(0));
        ASSERT_EQ(row.size(), 4u);
        const Bytes pixels = ParsePixels(row[0]);
        const Bytes runs = ParseHex(row[1]);
        const std::vector<unsigned> codes = ParseCodes(row[2]);
        const Bytes stream = ParseHex(row[3]);
        const int width = static_cast<int>(pixels.size());

        EXPECT_EQ(Hex(EncodeRunBytes(pixels)), Hex(runs));
        EXPECT_EQ(Hex(EncodePixels(width, 1, pixels)), Hex(stream));
        ASSERT_EQ(stream.at(0), 11) << "MaxCodeWidth";
        bool restIsZero = false;
        EXPECT_EQ(NineBitCodes(stream, codes.size(), restIsZero), codes);
        EXPECT_TRUE(restIsZero) << "the stream holds more than the listed codes";

        // The LZW stage gives the run-length bytes (and maybe one more code
        // made of padding, which the run-length stage ignores).
        ByteBuffer in, decodedRuns;
        Fill(in, stream);
        ASSERT_TRUE(PicFile::DecodeCodes(width, 1, in, decodedRuns));
        const Bytes decoded = ToBytes(decodedRuns);
        ASSERT_GE(decoded.size(), runs.size());
        EXPECT_EQ(Hex(Bytes(decoded.begin(), decoded.begin() + static_cast<long>(runs.size()))), Hex(runs));
        EXPECT_EQ(Hex(DecodeStream(width, 1, stream)), Hex(pixels));
    }
}

TEST(FormatExamples, WholeFileTableIsWhatTheConverterWritesAndBothProgramsRead)
{
    const std::vector<Table> tables = ReadTables();
    const Table* table = FindTable(tables, {"Pixels (width × height)", "File without palette"});
    ASSERT_NE(table, nullptr);
    for (const auto& row : table->rows) {
        SCOPED_TRACE("docs/pic-format.md table at line " + std::to_string(table->line) + ": " + row.at(0));
        ASSERT_EQ(row.size(), 2u);
        int width = 0, height = 0;
        const Bytes pixels = ParseSizedPixels(row[0], width, height);
        const Bytes file = ParseHex(row[1]);
        ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

        PicFile written;
        ASSERT_TRUE(written.SetImage(width, height, pixels.data(), nullptr));
        EXPECT_EQ(Hex(SavedBytes(written, true)), Hex(file));

        PicFile read;
        read.OnUnknownChunk = [](std::uint16_t tag) { ADD_FAILURE() << "unknown chunk " << tag; };
        read.Parse(file.data(), static_cast<int>(file.size()));
        ASSERT_TRUE(read.HasImage);
        EXPECT_FALSE(read.HasPalette);
        EXPECT_EQ(read.Width(), width);
        EXPECT_EQ(read.Height(), height);
        EXPECT_EQ(Hex(ToBytes(read.Pixels)), Hex(pixels));

        PicImage viewer;
        viewer.Parse(file.data(), static_cast<int>(file.size()));
        ASSERT_TRUE(viewer.HasImage);
        ASSERT_EQ(viewer.Width, static_cast<std::uint32_t>(width));
        ASSERT_EQ(viewer.Height, static_cast<std::uint32_t>(height));
        EXPECT_EQ(Hex(WholePicture(viewer)), Hex(pixels));
    }
}
