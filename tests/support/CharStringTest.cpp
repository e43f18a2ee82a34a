#include "converter/support/CharString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The sizing rule looks at the format text itself, so the tests need formats of
// chosen lengths, which cannot be literals.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-security"
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
void FormatWithoutArguments(CharString& target, const std::string& format)
{
    Format(target, format.c_str());
}
#pragma GCC diagnostic pop

TEST(CharString, StringWithoutBlockActsAsEmptyText)
{
    CharString none;
    EXPECT_EQ(none.Buffer().Data(), nullptr);
    EXPECT_TRUE(none == "");
    EXPECT_TRUE(none == static_cast<const char*>(nullptr));
    EXPECT_EQ(none.Length(), 0);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.Find('a'), -1);
    EXPECT_EQ(none.ReverseFind('a'), -1);
    EXPECT_EQ(none.FindFrom('a', 0), -1);
    EXPECT_EQ(none.CharAt(0), 0);
    EXPECT_STREQ(none.Text(), "");
    none.MakeLower();
    EXPECT_EQ(none.Buffer().Data(), nullptr) << "lower-casing nothing allocates nothing";

    CharString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.Buffer().Data(), nullptr);
    CharString text("abc");
    text = static_cast<const char*>(nullptr);
    EXPECT_EQ(text.Buffer().Data(), nullptr) << "assigning null empties the string";
}

TEST(CharString, ComparesWithTextNullAndOtherStrings)
{
    struct Case {
        const char* left;
        const char* right;
        bool equal;
    };
    // clang-format off
    const Case cases[] = {
        {"abc", "abc", true},   {"abc", "abd", false}, {"abc", "ab", false},
        {"ab", "abc", false},   {"", "", true},        {"", nullptr, true},
        {"a", nullptr, false},  {"ABC", "abc", false},
    };
    // clang-format on
    for (const Case& test : cases) {
        SCOPED_TRACE(std::string(test.left) + " vs " + (test.right ? test.right : "(null)"));
        CharString left(test.left);
        EXPECT_EQ(left == test.right, test.equal);
        EXPECT_EQ(left != test.right, !test.equal);
    }
    // Between two strings both need a block; two blockless strings differ.
    EXPECT_TRUE(CharString("x") == CharString("x"));
    EXPECT_FALSE(CharString("x") == CharString("y"));
    EXPECT_FALSE(CharString() == CharString());
    EXPECT_TRUE(CharString("") == CharString(""));
    // A single character matches a one-character text only.
    EXPECT_TRUE(CharString("u") == 'u');
    EXPECT_FALSE(CharString("us") == 'u');
    EXPECT_FALSE(CharString() == 'u');
}

TEST(CharString, AppendsTextStringsAndCharacters)
{
    CharString text;
    text += "Input file ";
    text += static_cast<const char*>(nullptr);
    text += CharString("a.pic");
    text += ' ';
    text += "does not exist\r\n";
    EXPECT_STREQ(text.Text(), "Input file a.pic does not exist\r\n");
    EXPECT_EQ(text.Length(), 33);

    CharString chars;
    for (char c = 'a'; c <= 'e'; ++c)
        chars += c;
    EXPECT_STREQ(chars.Text(), "abcde");

    // Appending a string to itself must survive the block moving under it.
    CharString twice("abcdefgh");
    twice += twice;
    twice += twice.Text() + 4;
    EXPECT_STREQ(twice.Text(), "abcdefghabcdefghefghabcdefgh");
}

TEST(CharString, CopiesAreDeep)
{
    CharString original("name.pic");
    CharString copy(original);
    CharString assigned;
    assigned = original;
    original.MakeUpper();
    EXPECT_STREQ(copy.Text(), "name.pic");
    EXPECT_STREQ(assigned.Text(), "name.pic");
    EXPECT_STREQ(original.Text(), "NAME.PIC");
    CharString& same = assigned;
    assigned = same; // self-assignment keeps the text
    EXPECT_STREQ(assigned.Text(), "name.pic");
    assigned = assigned.Text() + 5;
    EXPECT_STREQ(assigned.Text(), "pic");
}

TEST(CharString, CaseChangesTouchAsciiLettersOnly)
{
    CharString text("Map.PIC \xC4-Z[a]z@`");
    EXPECT_STREQ(text.ToLower().Text(), "map.pic \xC4-z[a]z@`");
    EXPECT_STREQ(text.ToUpper().Text(), "MAP.PIC \xC4-Z[A]Z@`");
    EXPECT_STREQ(text.Text(), "Map.PIC \xC4-Z[a]z@`") << "the copies leave the original alone";
}

TEST(CharString, SearchesGiveAbsoluteIndices)
{
    CharString path("C:\\art\\map.v2.pic");
    EXPECT_EQ(path.Find('\\'), 2);
    EXPECT_EQ(path.ReverseFind('\\'), 6);
    EXPECT_EQ(path.ReverseFind('.'), 13);
    EXPECT_EQ(path.Find('#'), -1);
    EXPECT_EQ(path.FindFrom('\\', 2), 2);
    EXPECT_EQ(path.FindFrom('\\', 3), 6);
    EXPECT_EQ(path.FindFrom('\\', 7), -1);
    EXPECT_EQ(path.FindFrom('C', -5), 0);
    EXPECT_EQ(path.FindFrom('c', 100), -1);
}

TEST(CharString, CharAtAndSetAtStayInsideTheString)
{
    CharString text("abc");
    EXPECT_EQ(text.CharAt(0), 'a');
    EXPECT_EQ(text.CharAt(2), 'c');
    EXPECT_EQ(text.CharAt(3), 0) << "the terminator";
    EXPECT_EQ(text.CharAt(4), 0);
    EXPECT_EQ(text.CharAt(-1), 0);
    text.SetAt(1, 'X');
    text.SetAt(3, 'Y');
    text.SetAt(-1, 'Y');
    EXPECT_STREQ(text.Text(), "aXc");
}

TEST(CharString, MidLeftAndRightCopyRanges)
{
    CharString text("file.pic");
    struct Case {
        CharString result;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {text.Mid(5), "pic"},         {text.Mid(0), "file.pic"},  {text.Mid(8), ""},
        {text.Mid(0, 4), "file"},     {text.Mid(4, 1), "."},      {text.Mid(2, 0), ""},
        {text.Left(4), "file"},       {text.Right(3), "pic"},     {text.Right(20), "file.pic"},
        // Ranges outside the text are cut to it, never read past it.
        {text.Mid(6, 50), "ic"},      {text.Mid(-3, 2), "fi"},    {text.Mid(40), ""},
        {text.Mid(3, -2), ""},
    };
    // clang-format on
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_STREQ(cases[i].result.Text(), cases[i].expected);
        EXPECT_EQ(cases[i].result.Length(), static_cast<int>(std::string(cases[i].expected).size()));
    }
}

TEST(CharString, FormatSizesItsBufferFromTheFormatLength)
{
    struct Case {
        size_t formatLength;
        int bufferSize;
    };
    const Case cases[] = {{200, 400}, {100, 255}, {128, 256}, {127, 255}, {0, 255}};
    for (const Case& test : cases) {
        SCOPED_TRACE("format of " + std::to_string(test.formatLength) + " characters");
        std::string format(test.formatLength, 'x');
        CharString target("old");
        FormatWithoutArguments(target, format);
        EXPECT_EQ(target.Buffer().Size(), test.bufferSize);
        EXPECT_EQ(target.Length(), static_cast<int>(test.formatLength));
    }
}

TEST(CharString, FormatCutsOutputThatWouldNotFit)
{
    std::string longName(1000, 'n');
    CharString target;
    Format(target, " Width,Height: %s\r\n", longName.c_str());
    EXPECT_EQ(target.Buffer().Size(), 255);
    EXPECT_EQ(target.Length(), 254) << "cut to the buffer, terminator included";
    EXPECT_EQ(std::string(target.Text()), (" Width,Height: " + longName).substr(0, 254));
}

TEST(CharString, FormatWritesNumbersAndMayReadItsOwnTarget)
{
    CharString target;
    Format(target, " Width,Height: %d,%d\r\n", 320, 200);
    EXPECT_STREQ(target.Text(), " Width,Height: 320,200\r\n");
    Format(target, "[%s]", target.Text());
    EXPECT_STREQ(target.Text(), "[ Width,Height: 320,200\r\n]");
    Format(target, nullptr);
    EXPECT_STREQ(target.Text(), "[ Width,Height: 320,200\r\n]") << "a null format changes nothing";
}

} // namespace
