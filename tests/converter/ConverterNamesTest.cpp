#include "converter/Converter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Converter, DefaultOutputNameSwapsTheFormatAndKeepsTheRest)
{
    struct Case {
        const char* input;
        const char* output;
    };
    const Case cases[] = {
        {"in.pic", "in.bmp"},
        {"in.bmp", "in.pic"},
        {"notes.txt", "notes.error.bmp"},
        {"C:\\art\\Map.PIC", "C:\\art\\Map.bmp"},
        {"C:\\art\\Map.Bmp", "C:\\art\\Map.pic"},
        {"\\\\server\\share\\a.pic", "\\\\server\\share\\a.bmp"},
        {"art/Map.pic", "art/Map.bmp"},
        {"archive.bmp.old", "archive.bmp.error.bmp"},
        {"archive.d\\file", "archive.d\\file.error.bmp"},
        {"noextension", "noextension.error.bmp"},
        {"file.", "file.error.bmp"},
        {".pic", ".bmp"},
        {"map.pic2", "map.error.bmp"},
        {"", ".error.bmp"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string("input \"") + test.input + "\"");
        EXPECT_STREQ(Converter::DefaultOutputName(test.input).Text(), test.output);
    }
}

TEST(Converter, HasWildcardsLooksAtTheWholeName)
{
    struct Case {
        const char* name;
        bool wildcards;
    };
    // clang-format off
    const Case cases[] = {
        {"*.pic", true},     {"map?.pic", true},  {"art*\\map.pic", true}, {"art/?/map.pic", true},
        {"*", true},         {"?", true},         {"map.pic", false},      {"C:\\art\\map.pic", false},
        {"", false},         {nullptr, false},    {"[ab].pic", false},     {"map.pic*", true},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string("name \"") + (test.name ? test.name : "(null)") + "\"");
        EXPECT_EQ(Converter::HasWildcards(test.name), test.wildcards);
    }
}

} // namespace
