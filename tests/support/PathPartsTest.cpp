#include "converter/support/PathParts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A part as the splitter sees it: absent, or present with its text (which may be empty).
struct Part {
    bool present;
    const char* text;
};
constexpr Part NONE{false, ""};
Part Is(const char* text)
{
    return Part{true, text};
}

struct SplitCase {
    const char* path;
    Part drive, folder, name, extension;
};

void ExpectPart(const char* what, bool present, const CharString& text, const Part& expected)
{
    SCOPED_TRACE(what);
    EXPECT_EQ(present, expected.present);
    EXPECT_STREQ(text.Text(), expected.text);
}

TEST(PathParts, SplitFindsEachPartOrReportsItAbsent)
{
    const SplitCase cases[] = {
        {"C:\\dir\\file.pic", Is("C:"), Is("\\dir\\"), Is("file"), Is("pic")},
        {"file.pic", NONE, NONE, Is("file"), Is("pic")},
        {"C:file.pic", Is("C:"), NONE, Is("file"), Is("pic")},
        {"\\\\server\\share\\a.b", Is("\\\\server"), Is("\\share\\"), Is("a"), Is("b")},
        {"\\\\server", Is("\\\\server"), NONE, NONE, NONE},
        {"archive.d\\file", NONE, Is("archive.d\\"), Is("file"), NONE},
        {"dir\\", NONE, Is("dir\\"), Is(""), NONE},
        {"file.", NONE, NONE, Is("file"), Is("")},
        {".cfg", NONE, NONE, Is(""), Is("cfg")},
        {"C:/dir/file.pic", Is("C:"), NONE, Is("/dir/file"), Is("pic")},
        {"", NONE, NONE, NONE, NONE},
        // Beyond the basic table: a share with a trailing name, a lone
        // character, a bare drive, and a path whose only dot is in a folder.
        {"\\\\server\\share", Is("\\\\server"), Is("\\"), Is("share"), NONE},
        {"a", NONE, NONE, Is("a"), NONE},
        {"C:", Is("C:"), NONE, Is(""), NONE},
        {"\\dir.x\\name", NONE, Is("\\dir.x\\"), Is("name"), NONE},
        {"archive.bmp.old", NONE, NONE, Is("archive.bmp"), Is("old")},
    };
    for (const SplitCase& test : cases) {
        SCOPED_TRACE(std::string("path \"") + test.path + "\"");
        PathParts parts(test.path);
        ExpectPart("drive", parts.hasDrive, parts.GetParts(PathParts::DRIVE), test.drive);
        ExpectPart("directory", parts.hasDir, parts.GetParts(PathParts::DIRECTORY), test.folder);
        ExpectPart("name", parts.hasName, parts.GetParts(PathParts::NAME), test.name);
        ExpectPart("extension", parts.hasExt, parts.GetParts(PathParts::EXTENSION), test.extension);
        EXPECT_STREQ(parts.GetParts(PathParts::WHOLE_PATH).Text(), test.path);
    }
}

TEST(PathParts, GetPartsJoinsTheSelectedPartsInPathOrder)
{
    struct Case {
        const char* path;
        int flags;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\dir\\file.pic", 8, "pic"},
        {"C:\\dir\\file.pic", 7, "C:\\dir\\file"},
        {"C:\\dir\\file.pic", 4 + 16 + 8, "file.pic"},
        {"C:\\dir\\file.pic", 31, "C:\\dir\\file.pic"},
        {"C:\\dir\\file.pic", 1 + 4, "C:file"},
        {"C:\\dir\\file.pic", 16, "."},
        {"C:\\dir\\file.pic", 0, ""},
        {"file.", 16 + 8, "."},
        {"file", 16 + 8, ""},
        {"\\\\server\\share\\a.b", 7, "\\\\server\\share\\a"},
        {"art/Map.PIC", 7, "art/Map"},
        {"", 1, ""},
        {"", 2, ""},
        {"", 4, ""},
        {"", 8, ""},
        {"", 16, ""},
        {"", 31, ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string("path \"") + test.path + "\", flags " + std::to_string(test.flags));
        EXPECT_STREQ(PathParts(test.path).GetParts(test.flags).Text(), test.expected);
        EXPECT_STREQ(GetPathParts(test.path, test.flags).Text(), test.expected);
    }
}

TEST(PathParts, SplitAgainForgetsTheEarlierPath)
{
    PathParts parts("C:\\dir\\file.pic");
    parts.Split("name");
    EXPECT_FALSE(parts.hasDrive);
    EXPECT_FALSE(parts.hasDir);
    EXPECT_FALSE(parts.hasExt);
    EXPECT_STREQ(parts.GetParts(7).Text(), "name");
}

TEST(PathParts, NewObjectHoldsNothing)
{
    PathParts parts;
    EXPECT_FALSE(parts.hasDrive || parts.hasDir || parts.hasName || parts.hasExt);
    EXPECT_EQ(parts.path.Length(), 0);
    EXPECT_STREQ(parts.GetParts(31).Text(), "");
}

} // namespace
