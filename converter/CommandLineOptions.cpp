#include "converter/CommandLineOptions.h"

#include "converter/Messages.h"
#include "converter/ImageDocument.h"

#include <string>

namespace {

// Every spelling of every flag, matched without regard to case.
struct FlagName {
    const char* name;
    bool CommandLineOptions::*flag;
};
// clang-format off
const FlagName FLAG_NAMES[] = {
    {"h", &CommandLineOptions::Help},     {"?", &CommandLineOptions::Help},
    {"help", &CommandLineOptions::Help},  {"d", &CommandLineOptions::Drop},
    {"drop", &CommandLineOptions::Drop},  {"u", &CommandLineOptions::UsePalette},
    {"use", &CommandLineOptions::UsePalette}, {"q", &CommandLineOptions::Query},
    {"query", &CommandLineOptions::Query}, {"f", &CommandLineOptions::FillPalette},
    {"fill", &CommandLineOptions::FillPalette}, {"m", &CommandLineOptions::MapPalette},
    {"map", &CommandLineOptions::MapPalette},
};
// clang-format on

const FlagName* FindFlag(const CharString& name)
{
    CharString lower = name.ToLower();
    for (const FlagName& flag : FLAG_NAMES) {
        if (lower == flag.name)
            return &flag;
    }
    return nullptr;
}

bool SameFormat(const char* left, const char* right)
{
    int type = ImageDocument::FileTypeOf(left);
    return type != ImageDocument::TYPE_NONE && type == ImageDocument::FileTypeOf(right);
}

} // namespace

CommandLineOptions::CommandLineOptions(const char* const* argv, Platform::NameRules rules) : m_rules(rules)
{
    Scan(argv);
}

bool CommandLineOptions::IsFlagWord(const char* word) const
{
    if (word[0] == '-')
        return true;
    // Every absolute path starts with '/' on POSIX: only a flag's name makes
    // such a word a flag there.
    if (word[0] == '/')
        return m_rules == Platform::NameRules::WINDOWS || FindFlag(CharString(word + 1)) != nullptr;
    return false;
}

void CommandLineOptions::Reset()
{
    HaveInput = Drop = UsePalette = FillPalette = MapPalette = Help = Query = false;
    HasErrors = false;
    UsePaletteFile.Empty();
    InputFile.Empty();
    OutputFile.Empty();
    FillPaletteFile.Empty();
    MapPaletteFile.Empty();
    ErrorText.Empty();
    PositionalCount = 0;
    PatternExpanded = false;
}

void CommandLineOptions::Scan(const char* const* argv)
{
    Reset();
    // A program started with an empty vector (possible on POSIX) has no entry 1
    // to look at; treat it like a command line without words.
    if (argv == nullptr || argv[0] == nullptr || argv[1] == nullptr) {
        Help = true;
    } else {
        CharString lastFlag;
        int wordsSinceFlag = 0;
        int fileNames = 0;
        // An empty word ends the scan: the words after it are never looked at.
        for (const char* const* word = argv + 1; *word != nullptr && **word != '\0'; ++word) {
            ++wordsSinceFlag;
            if (IsFlagWord(*word)) {
                CharString name(*word + 1);
                ParseWord(name, true, 0, lastFlag);
                lastFlag = name;
                wordsSinceFlag = 0;
            } else {
                ParseWord(CharString(*word), false, wordsSinceFlag, lastFlag);
                if (!NamesPaletteFile(wordsSinceFlag, lastFlag))
                    ++fileNames;
            }
        }
        if (m_rules == Platform::NameRules::POSIX)
            CheckShellExpansion(fileNames);
    }
    HaveInput = !InputFile.IsEmpty();
    if (!Help && !HaveInput) {
        HasErrors = true;
        ErrorText += Messages::NO_INPUT_NAME;
    }
}

void CommandLineOptions::ParseWord(const CharString& word, bool isFlag, int wordsSinceFlag, const CharString& lastFlag)
{
    if (isFlag)
        ParseFlag(word);
    else
        ParseValue(word, wordsSinceFlag, lastFlag);
}

void CommandLineOptions::ParseFlag(const CharString& name)
{
    if (const FlagName* flag = FindFlag(name))
        this->*(flag->flag) = true;
    else
        AddError(Messages::INVALID_FLAG, name);
}

bool CommandLineOptions::NamesPaletteFile(int wordsSinceFlag, const CharString& lastFlag)
{
    // The palette flags take the next word only when typed in lower case:
    // after -U or -USE the flag counts, but its file name reads as positional.
    return wordsSinceFlag == 1 && (lastFlag == "u" || lastFlag == "use" || lastFlag == "f" || lastFlag == "fill" ||
                                   lastFlag == "m" || lastFlag == "map");
}

void CommandLineOptions::ParseValue(const CharString& word, int wordsSinceFlag, const CharString& lastFlag)
{
    if (NamesPaletteFile(wordsSinceFlag, lastFlag)) {
        if (lastFlag == "u" || lastFlag == "use")
            UsePaletteFile = word;
        else if (lastFlag == "f" || lastFlag == "fill")
            FillPaletteFile = word;
        else
            MapPaletteFile = word;
    } else if (PositionalCount == 0) {
        InputFile = word;
        ++PositionalCount;
    } else if (PositionalCount == 1) {
        OutputFile = word;
        ++PositionalCount;
    } else {
        AddError(Messages::INVALID_PARAMETER, word);
    }
}

void CommandLineOptions::AddError(const char* message, const CharString& subject)
{
    HasErrors = true;
    ErrorText += message;
    ErrorText += subject;
    ErrorText += Messages::LINE_END;
}

// A shell expands an unquoted pattern into the names it matches, and the
// converter would then take the second match for the output name. More than
// two names can only come from that. Two names come from it when they are two
// existing pictures of one format and no palette option is given: such a
// conversion could only write one picture over the other. With a palette
// option, two names cannot be told from a deliberate conversion.
void CommandLineOptions::CheckShellExpansion(int fileNames)
{
    if (fileNames > 2) {
        PatternExpanded = true;
    } else if (fileNames == 2 && !Query && !Drop && !UsePalette && !FillPalette && !MapPalette) {
        std::string input = Platform::ResolveNameCase(InputFile.Text());
        std::string output = Platform::ResolveNameCase(OutputFile.Text());
        PatternExpanded = Platform::PathExists(input.c_str()) && Platform::PathExists(output.c_str()) &&
                          SameFormat(input.c_str(), output.c_str()) &&
                          !Platform::SameFile(input.c_str(), output.c_str());
        if (PatternExpanded) {
            ErrorText += InputFile;
            ErrorText += Messages::AND;
            ErrorText += OutputFile;
            ErrorText += Messages::TWO_PICTURES_OF_ONE_FORMAT;
        }
    }
    if (PatternExpanded) {
        HasErrors = true;
        ErrorText += Messages::QUOTE_THE_PATTERN;
    }
}
