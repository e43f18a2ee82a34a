// Wording refusals from a program's table: the check each program's table is
// held to (every kind once, every format fitting the numbers it shows), and
// the text made for each kind of numbers.
#include "pic/PicRefusalWording.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

TEST(RefusalWording, FormatFitsOnlyTheConversionsOfItsNumbers)
{
    struct Case {
        const char* format;
        RefusalNumbers shows;
        bool fits;
    };
    const Case cases[] = {
        {"%d x %d pixels", RefusalNumbers::SIZE, true},
        {"%d x %d, at most %llu x %llu", RefusalNumbers::SIZE_AND_LIMIT, true},
        {"%llu byte%s", RefusalNumbers::BYTES_PLURAL, true},
        {"%llu byte%s, at most %llu", RefusalNumbers::BYTES_PLURAL_AND_LIMIT, true},
        {"%llu bytes, at most %llu", RefusalNumbers::BYTES_AND_LIMIT, true},
        {"Writing: %s", RefusalNumbers::SYSTEM_ERROR, true},
        {"100%% sure: %s", RefusalNumbers::SYSTEM_ERROR, true},
        // A count of bytes is 64 bits wide: %d or %lu would read it wrongly.
        {"%d byte%s", RefusalNumbers::BYTES_PLURAL, false},
        {"%lu byte%s", RefusalNumbers::BYTES_PLURAL, false},
        {"%d x %d, at most %d x %d", RefusalNumbers::SIZE_AND_LIMIT, false},
        // One conversion too few, or too many.
        {"%d pixels wide", RefusalNumbers::SIZE, false},
        {"%llu bytes", RefusalNumbers::BYTES_PLURAL, false},
        {"%d x %d pixels, %s", RefusalNumbers::SIZE, false},
        {"%s, at %d", RefusalNumbers::SYSTEM_ERROR, false},
        // The numbers in another order.
        {"%s: %llu", RefusalNumbers::BYTES_PLURAL, false},
        // A width or a flag the entry does not say it wants.
        {"%5d x %d", RefusalNumbers::SIZE, false},
        {"%-s", RefusalNumbers::SYSTEM_ERROR, false},
        {"no numbers", RefusalNumbers::SYSTEM_ERROR, false},
        {"cut off %", RefusalNumbers::SYSTEM_ERROR, false},
        {"cut off %ll", RefusalNumbers::BYTES_AND_LIMIT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(FormatFits(c.format, c.shows), c.fits);
    }
}

// A table that words every kind, as each program's must.
constexpr RefusalWording COMPLETE[] = {
    {PicRefusal::FILE_TOO_LARGE, RefusalNumbers::BYTES_PLURAL_AND_LIMIT, "file of %llu byte%s, limit %llu"},
    {PicRefusal::FILE_OUT_OF_MEMORY, RefusalNumbers::BYTES_PLURAL, "no memory for %llu byte%s"},
    {PicRefusal::IMAGE_CHUNK_TOO_LARGE, RefusalNumbers::SIZE_AND_LIMIT, "chunk %d x %d, limit %llu x %llu"},
    {PicRefusal::IMAGE_OUT_OF_MEMORY, RefusalNumbers::SIZE, "no memory for %d x %d"},
    {PicRefusal::PICTURE_TOO_LARGE, RefusalNumbers::SIZE_AND_LIMIT, "picture %d x %d, limit %llu x %llu"},
    {PicRefusal::STREAM_TOO_LONG, RefusalNumbers::BYTES_AND_LIMIT, "stream %llu, limit %llu"},
    {PicRefusal::SAVE_OUT_OF_MEMORY, RefusalNumbers::SIZE, "no memory to save %d x %d"},
    {PicRefusal::NOT_WRITTEN, RefusalNumbers::SYSTEM_ERROR, "not written: %s"},
};
constexpr std::size_t KINDS_WORDED = sizeof COMPLETE / sizeof COMPLETE[0];

struct Table {
    RefusalWording entries[KINDS_WORDED];
};

// The complete table with one entry put in the place of entry index.
Table Replaced(std::size_t index, RefusalWording entry)
{
    Table table{};
    for (std::size_t i = 0; i < KINDS_WORDED; ++i)
        table.entries[i] = i == index ? entry : COMPLETE[i];
    return table;
}

TEST(RefusalWording, CoversEveryRefusalOnlyWithEveryKindOnceAndFittingFormats)
{
    EXPECT_TRUE(CoversEveryRefusal(COMPLETE));
    struct Case {
        const char* what;
        Table table;
    };
    const Case cases[] = {
        {"STREAM_TOO_LONG twice, SAVE_OUT_OF_MEMORY never", Replaced(6, COMPLETE[5])},
        {"NONE in the place of FILE_TOO_LARGE", Replaced(0, {PicRefusal::NONE, RefusalNumbers::SIZE, "%d x %d"})},
        {"a format with more numbers than its entry shows",
         Replaced(4, {PicRefusal::PICTURE_TOO_LARGE, RefusalNumbers::SIZE, "picture %d x %d, limit %llu x %llu"})},
        {"no format", Replaced(7, {PicRefusal::NOT_WRITTEN, RefusalNumbers::SYSTEM_ERROR, nullptr})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(CoversEveryRefusal(c.table.entries));
    }
}

TEST(RefusalWording, WordsEachKindWithTheNumbersItsEntryShows)
{
    struct Case {
        PicRefusal refusal;
        std::string text;
    };
    const Case cases[] = {
        {PicRefusal::OfLength(PicRefusal::FILE_TOO_LARGE, 3000000000u, 2147483647u),
         "file of 3000000000 bytes, limit 2147483647"},
        {PicRefusal::OfLength(PicRefusal::FILE_OUT_OF_MEMORY, 1), "no memory for 1 byte"},
        {PicRefusal::OfLength(PicRefusal::FILE_OUT_OF_MEMORY, 0), "no memory for 0 bytes"},
        {PicRefusal::OfLength(PicRefusal::FILE_OUT_OF_MEMORY, 2), "no memory for 2 bytes"},
        {PicRefusal::OfSize(PicRefusal::IMAGE_CHUNK_TOO_LARGE, 65535, 1, 32767),
         "chunk 65535 x 1, limit 32767 x 32767"},
        {PicRefusal::OfSize(PicRefusal::IMAGE_OUT_OF_MEMORY, 32767, 32767), "no memory for 32767 x 32767"},
        {PicRefusal::OfSize(PicRefusal::PICTURE_TOO_LARGE, -1, 40000, 32767),
         "picture -1 x 40000, limit 32767 x 32767"},
        {PicRefusal::OfLength(PicRefusal::STREAM_TOO_LONG, 70000, 65531), "stream 70000, limit 65531"},
        {PicRefusal::OfSize(PicRefusal::SAVE_OUT_OF_MEMORY, 10, 20), "no memory to save 10 x 20"},
        {PicRefusal::OfWrite(ENOENT), "not written: No such file or directory"},
        {PicRefusal(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WordRefusal(c.refusal, COMPLETE).Text(), c.text);
    }
    // A table without the kind says nothing, rather than something wrong.
    EXPECT_STREQ(WordRefusal(PicRefusal::OfSize(PicRefusal::SAVE_OUT_OF_MEMORY, 10, 20), COMPLETE, 6).Text(), "");
}

} // namespace
