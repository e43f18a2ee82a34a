#include "converter/CommandLineOptions.h"
#include "tests/common/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The record a command line should give; names empty unless set.
struct Expected {
    bool help = false;
    bool drop = false;
    bool use = false;
    bool fill = false;
    bool map = false;
    bool query = false;
    const char* input = "";
    const char* output = "";
    const char* usePalette = "";
    const char* fillPalette = "";
    const char* mapPalette = "";
    const char* errors = "";
    bool patternExpanded = false;
};

struct Case {
    std::vector<const char*> words; // without the program name
    Expected expected;
};

const char* const NO_INPUT = "You must specify an input filename and optionally an output filename.";

Expected Input(const char* input, const char* output = "")
{
    Expected e;
    e.input = input;
    e.output = output;
    return e;
}

using Platform::NameRules;

CommandLineOptions Parse(const std::vector<const char*>& words, NameRules rules = NameRules::WINDOWS)
{
    std::vector<const char*> argv{"cantrel"};
    argv.insert(argv.end(), words.begin(), words.end());
    argv.push_back(nullptr);
    return CommandLineOptions(argv.data(), rules);
}

std::string Describe(const std::vector<const char*>& words)
{
    std::string text = "command line:";
    for (const char* word : words)
        text += std::string(" [") + word + "]";
    return text;
}

// Windows rules unless said otherwise: the converter's own, which the POSIX
// build keeps but for absolute paths and the shell's expansion of patterns.
void Check(const Case& test, NameRules rules = NameRules::WINDOWS)
{
    SCOPED_TRACE(Describe(test.words));
    CommandLineOptions options = Parse(test.words, rules);
    const Expected& e = test.expected;
    EXPECT_EQ(options.Help, e.help);
    EXPECT_EQ(options.Drop, e.drop);
    EXPECT_EQ(options.UsePalette, e.use);
    EXPECT_EQ(options.FillPalette, e.fill);
    EXPECT_EQ(options.MapPalette, e.map);
    EXPECT_EQ(options.Query, e.query);
    EXPECT_STREQ(options.InputFile.Text(), e.input);
    EXPECT_STREQ(options.OutputFile.Text(), e.output);
    EXPECT_STREQ(options.UsePaletteFile.Text(), e.usePalette);
    EXPECT_STREQ(options.FillPaletteFile.Text(), e.fillPalette);
    EXPECT_STREQ(options.MapPaletteFile.Text(), e.mapPalette);
    EXPECT_STREQ(options.ErrorText.Text(), e.errors);
    EXPECT_EQ(options.HasErrors, *e.errors != '\0');
    EXPECT_EQ(options.HaveInput, *e.input != '\0');
    EXPECT_EQ(options.PatternExpanded, e.patternExpanded);
}

TEST(CommandLineOptions, NamesAndTheirPositions)
{
    Expected noWords;
    noWords.help = true;
    Expected emptyWord;
    emptyWord.errors = NO_INPUT;
    Expected extra = Input("a", "b");
    extra.errors = "Invalid Parameter: c\r\nInvalid Parameter: d\r\n";

    const Case cases[] = {
        {{}, noWords},
        {{""}, emptyWord},
        {{"a.pic", "", "b.bmp"}, Input("a.pic")},
        {{"in.pic"}, Input("in.pic")},
        {{"in.pic", "out.bmp"}, Input("in.pic", "out.bmp")},
        {{"a", "b", "c", "d"}, extra},
        {{"Dir\\Map.PIC", "Out Name.bmp"}, Input("Dir\\Map.PIC", "Out Name.bmp")},
        {{"*.pic", "ignored.bmp"}, Input("*.pic", "ignored.bmp")},
    };
    for (const Case& test : cases)
        Check(test);
}

TEST(CommandLineOptions, FlagsInEverySpelling)
{
    struct FlagCase {
        const char* word;
        bool Expected::*field;
    };
    // clang-format off
    const FlagCase flags[] = {
        {"-h", &Expected::help},     {"/?", &Expected::help},     {"-?", &Expected::help},
        {"-help", &Expected::help},  {"-HELP", &Expected::help},  {"/Help", &Expected::help},
        {"-H", &Expected::help},     {"-d", &Expected::drop},     {"/D", &Expected::drop},
        {"-drop", &Expected::drop},  {"-DrOp", &Expected::drop},  {"-u", &Expected::use},
        {"/U", &Expected::use},      {"-use", &Expected::use},    {"-USE", &Expected::use},
        {"-q", &Expected::query},    {"/Q", &Expected::query},    {"-query", &Expected::query},
        {"-Query", &Expected::query}, {"-f", &Expected::fill},    {"/F", &Expected::fill},
        {"-fill", &Expected::fill},  {"-FILL", &Expected::fill},  {"-m", &Expected::map},
        {"/M", &Expected::map},      {"-map", &Expected::map},    {"-MAP", &Expected::map},
    };
    // clang-format on
    for (const FlagCase& flag : flags) {
        // Flag after the names, so that use, fill and map take no file name.
        Expected e = Input("in.pic", "out.bmp");
        e.*flag.field = true;
        Check({{"in.pic", "out.bmp", flag.word}, e});
    }
}

TEST(CommandLineOptions, PaletteFlagsTakeTheNextWordOnlyInLowerCase)
{
    Expected use = Input("in.bmp", "out.pic");
    use.use = true;
    use.usePalette = "pal.pic";
    Expected fill = Input("in.bmp", "out.pic");
    fill.fill = true;
    fill.fillPalette = "pal.pic";
    Expected map = Input("edited.bmp", "VALLEY.PIC");
    map.map = true;
    map.mapPalette = "VALLEY.PIC";
    Expected upperMap = Input("VALLEY.PIC", "edited.bmp");
    upperMap.map = true;
    Expected all = Input("in.pic", "out.pic");
    all.use = all.fill = all.map = true;
    all.usePalette = "u.pic";
    all.fillPalette = "f.pic";
    all.mapPalette = "m.bmp";
    Expected useTakesInput = Input("out.pic");
    useTakesInput.use = true;
    useTakesInput.usePalette = "in.bmp";
    Expected upperU = Input("pal.pic", "in.bmp");
    upperU.use = true;
    Expected upperFill = Input("pal.pic", "in.bmp");
    upperFill.fill = true;
    Expected useThenDrop = Input("pal.pic", "x");
    useThenDrop.use = true;
    useThenDrop.drop = true;
    Expected useLast = Input("in.pic");
    useLast.use = true;
    Expected useFlagLike = Input("in.pic");
    useFlagLike.use = true;
    useFlagLike.help = true;
    Expected both = Input("in.pic", "out.pic");
    both.use = true;
    both.fill = true;
    both.usePalette = "b.pic";
    both.fillPalette = "a.pic";
    Expected secondWins = Input("in.pic");
    secondWins.use = true;
    secondWins.usePalette = "second.pic";
    Expected slashFlag = Input("in.pic");
    slashFlag.use = true;
    slashFlag.usePalette = "pal.pic";

    const Case cases[] = {
        {{"-u", "pal.pic", "in.bmp", "out.pic"}, use},
        {{"in.bmp", "-u", "pal.pic", "out.pic"}, use},
        {{"in.bmp", "out.pic", "-use", "pal.pic"}, use},
        {{"-f", "pal.pic", "in.bmp", "out.pic"}, fill},
        {{"in.bmp", "-fill", "pal.pic", "out.pic"}, fill},
        {{"-m", "VALLEY.PIC", "edited.bmp", "VALLEY.PIC"}, map},
        {{"edited.bmp", "-map", "VALLEY.PIC", "VALLEY.PIC"}, map},
        {{"-M", "VALLEY.PIC", "edited.bmp"}, upperMap},
        {{"-MAP", "VALLEY.PIC", "edited.bmp"}, upperMap},
        {{"-m", "m.bmp", "-f", "f.pic", "-u", "u.pic", "in.pic", "out.pic"}, all},
        {{"-u", "in.bmp", "out.pic"}, useTakesInput},
        {{"-U", "pal.pic", "in.bmp"}, upperU},
        {{"-USE", "pal.pic", "in.bmp"}, upperU},
        {{"-F", "pal.pic", "in.bmp"}, upperFill},
        {{"-Fill", "pal.pic", "in.bmp"}, upperFill},
        {{"-u", "-d", "pal.pic", "x"}, useThenDrop},
        {{"in.pic", "-u"}, useLast},
        {{"in.pic", "-u", "-?"}, useFlagLike},
        {{"-f", "a.pic", "-u", "b.pic", "in.pic", "out.pic"}, both},
        {{"-u", "first.pic", "-u", "second.pic", "in.pic"}, secondWins},
        {{"/u", "pal.pic", "in.pic"}, slashFlag},
    };
    for (const Case& test : cases)
        Check(test);
}

TEST(CommandLineOptions, ErrorsInTheOrderTheyArise)
{
    Expected onlyQuery;
    onlyQuery.query = true;
    onlyQuery.errors = NO_INPUT;
    Expected doubleDash = Input("in.pic");
    doubleDash.errors = "Invalid Flag: -help\r\n";
    Expected upperX = Input("in.pic");
    upperX.errors = "Invalid Flag: X\r\n";
    Expected lone = Input("in.pic");
    lone.errors = "Invalid Flag: \r\n";
    Expected mixed = Input("a", "b");
    mixed.errors = "Invalid Flag: x\r\nInvalid Parameter: c\r\nInvalid Flag: Why\r\n";
    Expected nothingButBadFlags;
    nothingButBadFlags.errors =
        "Invalid Flag: zz\r\nYou must specify an input filename and optionally an output filename.";
    Expected slashName = Input("out.pic");
    slashName.errors = "Invalid Flag: home/me/in.pic\r\n";
    Expected queryThenName = Input("in.pic");
    queryThenName.query = true;
    Expected helpAndInput = Input("in.pic");
    helpAndInput.help = true;
    Expected helpOnly;
    helpOnly.help = true;

    const Case cases[] = {
        {{"-q"}, onlyQuery},
        {{"--help", "in.pic"}, doubleDash},
        {{"-X", "in.pic"}, upperX},
        {{"-", "in.pic"}, lone},
        {{"-x", "a", "b", "c", "/Why"}, mixed},
        {{"-zz"}, nothingButBadFlags},
        {{"/home/me/in.pic", "out.pic"}, slashName},
        {{"-q", "in.pic"}, queryThenName},
        {{"-?", "in.pic"}, helpAndInput},
        {{"-?"}, helpOnly},
    };
    for (const Case& test : cases)
        Check(test);
}

TEST(CommandLineOptions, EmptyArgumentVectorReadsAsNoWords)
{
    const char* const empty[] = {nullptr};
    CommandLineOptions options(empty);
    EXPECT_TRUE(options.Help);
    EXPECT_FALSE(options.HasErrors);
    EXPECT_FALSE(options.HaveInput);
}

TEST(CommandLineOptions, ResetClearsEveryField)
{
    CommandLineOptions options = Parse({"-d", "-u", "p.pic", "-f", "f.pic", "-m", "m.pic", "-q", "-?", "a", "b", "c"});
    ASSERT_TRUE(options.HasErrors);
    options.Reset();
    EXPECT_FALSE(options.HaveInput || options.Drop || options.UsePalette || options.FillPalette || options.MapPalette ||
                 options.Help || options.Query || options.HasErrors);
    EXPECT_TRUE(options.InputFile.IsEmpty() && options.OutputFile.IsEmpty() && options.UsePaletteFile.IsEmpty() &&
                options.FillPaletteFile.IsEmpty() && options.MapPaletteFile.IsEmpty() && options.ErrorText.IsEmpty());
    EXPECT_EQ(options.PositionalCount, 0);
    EXPECT_FALSE(options.PatternExpanded);
}

const char* const QUOTE_LINE =
    "If the shell expanded a pattern into these names, quote it (for example \"*.pic\") so that Cantrel expands "
    "it. Nothing was converted.\r\n";

TEST(CommandLineOptions, PosixPathsAreNamesUnlessTheyAreFlags)
{
    Expected absolute = Input("/home/me/in.pic", "/tmp/out.bmp");
    Expected why = Input("in.pic", "/Why");
    Expected help = Input("/abs/in.pic");
    help.help = true;
    Expected drop = Input("/abs/in.pic", "out.pic");
    drop.drop = true;
    Expected use = Input("/abs/in.bmp", "out.pic");
    use.use = true;
    use.usePalette = "/abs/pal.pic";
    const Case cases[] = {
        {{"/home/me/in.pic", "/tmp/out.bmp"}, absolute},
        {{"in.pic", "/Why"}, why},
        {{"/?", "/abs/in.pic"}, help},
        {{"/abs/in.pic", "/HELP"}, help},
        {{"/D", "/abs/in.pic", "out.pic"}, drop},
        {{"/u", "/abs/pal.pic", "/abs/in.bmp", "out.pic"}, use},
    };
    for (const Case& test : cases)
        Check(test, NameRules::POSIX);
}

TEST(CommandLineOptions, MoreThanTwoNamesOnPosixAreAShellExpandedPattern)
{
    Expected three = Input("a.pic", "b.pic");
    three.errors = "Invalid Parameter: c.pic\r\n";
    three.patternExpanded = true;
    Expected queried = three;
    queried.query = true;
    Expected withPalette = three;
    withPalette.use = true;
    withPalette.usePalette = "pal.pic";
    Expected two = Input("a.pic", "b.pic"); // neither exists
    const Case cases[] = {
        {{"a.pic", "b.pic", "c.pic"}, three},
        {{"-q", "a.pic", "b.pic", "c.pic"}, queried},
        {{"-u", "pal.pic", "a.pic", "b.pic", "c.pic"}, withPalette},
        {{"a.pic", "b.pic"}, two},
    };
    for (Case test : cases) {
        std::string errors = std::string(test.expected.errors) + (test.expected.patternExpanded ? QUOTE_LINE : "");
        test.expected.errors = errors.c_str();
        Check(test, NameRules::POSIX);
    }
    // The Windows shell hands patterns over as typed: extra names are only
    // parameter errors there.
    Expected windows = Input("a.pic", "b.pic");
    windows.errors = "Invalid Parameter: c.pic\r\n";
    Check({{"a.pic", "b.pic", "c.pic"}, windows}, NameRules::WINDOWS);
}

TEST(CommandLineOptions, TwoExistingPicturesOfOneFormatOnPosixAreAShellExpandedPattern)
{
    ScratchFolder folder;
    for (const char* name : {"a.pic", "b.pic", "c.bmp", "d.bmp", "VALLEY.PIC"})
        ASSERT_TRUE(WriteBytes(folder / name, {0}));
    std::string a = folder / "a.pic", b = folder / "b.pic", c = folder / "c.bmp", d = folder / "d.bmp";
    std::string valley = folder / "VALLEY.PIC", lowerValley = folder / "valley.pic", missing = folder / "e.pic";
    struct PairCase {
        std::vector<std::string> words;
        bool refused;
    };
    const PairCase cases[] = {
        {{a, b}, true},
        {{c, d}, true},
        // One of the two is the other's case twin: found as one file.
        {{lowerValley, a}, true},
        {{a, c}, false},
        {{a, missing}, false},
        {{a, a}, false},
        {{valley, lowerValley}, false},
        {{"-d", a, b}, false},
        {{"-u", a, a, b}, false},
        {{"-f", a, a, b}, false},
        {{"-m", a, a, b}, false},
        {{"-q", a, b}, false},
    };
    for (const PairCase& test : cases) {
        std::vector<const char*> words;
        for (const std::string& word : test.words)
            words.push_back(word.c_str());
        SCOPED_TRACE(Describe(words));
        CommandLineOptions posix = Parse(words, NameRules::POSIX);
        EXPECT_EQ(posix.PatternExpanded, test.refused);
        std::string typedInput = posix.InputFile.Text(), typedOutput = posix.OutputFile.Text();
        std::string expected = test.refused ? typedInput + " and " + typedOutput +
                                                  " are two existing pictures of one format: converting could only "
                                                  "write one over the other.\r\n" +
                                                  QUOTE_LINE
                                            : "";
        EXPECT_EQ(posix.ErrorText.Text(), expected);
        EXPECT_FALSE(Parse(words, NameRules::WINDOWS).PatternExpanded);
    }
}

} // namespace
