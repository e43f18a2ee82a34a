// The converter's command line, read once into a record: six flags, the
// input, output and palette file names, and the text of every parameter error.
// Reading never stops and never prints; the main flow decides what to do.
#pragma once

#include "converter/support/CharString.h"
#include "platform/Platform.h"

class CommandLineOptions {
public:
    // argv as the C runtime passes it: entry 0 the program, then the words,
    // then a null entry. Nothing of it is kept. rules: the system's, which
    // tell a flag from an absolute path and whether a shell expanded a pattern.
    explicit CommandLineOptions(const char* const* argv, Platform::NameRules rules = Platform::NativeNameRules());
    virtual ~CommandLineOptions() = default;

    void Reset();
    // One word. For a flag word, word is its name (the word without its first
    // character). wordsSinceFlag counts the words since the last flag word,
    // this one included (0 for flag words); lastFlag is that flag's name as typed.
    void ParseWord(const CharString& word, bool isFlag, int wordsSinceFlag, const CharString& lastFlag);

    bool HaveInput = false;
    bool Drop = false;
    bool UsePalette = false;
    bool FillPalette = false;
    // Map the picture's colours onto the palette of MapPaletteFile.
    bool MapPalette = false;
    bool Help = false;
    bool Query = false;
    CharString UsePaletteFile;
    CharString InputFile;
    CharString OutputFile;
    CharString FillPaletteFile;
    CharString MapPaletteFile;
    bool HasErrors = false;
    CharString ErrorText;
    int PositionalCount = 0;
    // The shell expanded an unquoted pattern into the file names (POSIX
    // rules only): no job may run on them, and ErrorText says so.
    bool PatternExpanded = false;

private:
    void Scan(const char* const* argv);
    bool IsFlagWord(const char* word) const;
    void CheckShellExpansion(int fileNames);
    void ParseFlag(const CharString& name);
    void ParseValue(const CharString& word, int wordsSinceFlag, const CharString& lastFlag);
    static bool NamesPaletteFile(int wordsSinceFlag, const CharString& lastFlag);
    void AddError(const char* message, const CharString& subject);

    Platform::NameRules m_rules;
};
