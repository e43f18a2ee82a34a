// The command line names one file: quotes dropped, spaces kept, never overrun.
#include "viewer/CommandLine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(CommandLine, TakesTheWholeTextAsOneFileName)
{
    const std::string longName(300, 'n');
    struct Case {
        const char* name;
        std::string commandLine;
        std::string fileName;
    };
    const Case cases[] = {
        {"quoted path", "\"C:\\pics\\a.pic\"", "C:\\pics\\a.pic"},
        {"plain name", "a.pic", "a.pic"},
        {"two words are one name", "a.pic b.pic", "a.pic b.pic"},
        {"a single quote", "\"", ""},
        {"empty", "", ""},
        {"two quotes", "\"\"", ""},
        {"opening quote only", "\"a b.pic", "a b.pic"},
        {"closing quote only", "a.pic\"", "a.pic"},
        {"inner quotes stay", "\"a\" \"b\"", "a\" \"b"},
        {"blanks stay", " a.pic ", " a.pic "},
        {"263 characters fit", std::string(263, 'x'), std::string(263, 'x')},
        {"long name is cut", longName, longName.substr(0, 263)},
        {"long quoted name is cut", "\"" + longName + "\"", longName.substr(0, 263)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Guard bytes around the 264-byte buffer catch a write past its end.
        char buffer[8 + 264 + 8];
        std::memset(buffer, '#', sizeof buffer);
        TakeFileName(c.commandLine.c_str(), buffer + 8, 264);
        EXPECT_EQ(std::string(buffer + 8), c.fileName);
        EXPECT_EQ(std::string(buffer, 8), std::string(8, '#'));
        EXPECT_EQ(std::string(buffer + 8 + 264, 8), std::string(8, '#'));
    }
    char buffer[4] = {'#', '#', '#', '#'};
    TakeFileName(nullptr, buffer, sizeof buffer);
    EXPECT_EQ(buffer[0], '\0');
}
