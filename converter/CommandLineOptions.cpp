#include "converter/CommandLineOptions.h"

#include "converter/Messages.h"

namespace {

bool IsFlagWord(const char* word)
{
    return word[0] == '-' || word[0] == '/';
}

} // namespace

CommandLineOptions::CommandLineOptions(const char* const* argv)
{
    Scan(argv);
}

void CommandLineOptions::Reset()
{
    HaveInput = Drop = UsePalette = FillPalette = Help = Query = false;
    HasErrors = false;
    UsePaletteFile.Empty();
    InputFile.Empty();
    OutputFile.Empty();
    FillPaletteFile.Empty();
    ErrorText.Empty();
    PositionalCount = 0;
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
            }
        }
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
    CharString lower = name.ToLower();
    if (lower == "h" || lower == "?" || lower == "help")
        Help = true;
    else if (lower == "d" || lower == "drop")
        Drop = true;
    else if (lower == "u" || lower == "use")
        UsePalette = true;
    else if (lower == "q" || lower == "query")
        Query = true;
    else if (lower == "f" || lower == "fill")
        FillPalette = true;
    else
        AddError(Messages::INVALID_FLAG, name);
}

void CommandLineOptions::ParseValue(const CharString& word, int wordsSinceFlag, const CharString& lastFlag)
{
    // The palette flags take the next word only when typed in lower case:
    // after -U or -USE the flag counts, but its file name reads as positional.
    bool followsFlag = wordsSinceFlag == 1;
    if (followsFlag && (lastFlag == "u" || lastFlag == "use")) {
        UsePaletteFile = word;
    } else if (followsFlag && (lastFlag == "f" || lastFlag == "fill")) {
        FillPaletteFile = word;
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
