// The conversion job: checks that the named files exist, loads the input and
// the palette files, applies the fill, use and drop options, and saves the
// result in the format of the output name's extension. Problems become
// messages in ErrorText; wildcard inputs convert every match.
#pragma once

#include "converter/support/CharString.h"

#include <cstdio>
#include <string>

class BatchGuard;
class ImageDocument;

class Converter {
public:
    // Progress lines of a wildcard conversion go to output.
    explicit Converter(std::FILE* output = stdout);
    virtual ~Converter() = default;

    // True when ErrorText is empty afterwards. outputName may be null or
    // empty (the name is then derived from the input); it is not used when
    // input holds wildcards.
    bool Convert(const char* input, const char* outputName, bool drop, bool usePalette, const char* usePaletteFile,
                 bool fillPalette, const char* fillPaletteFile);
    // One file to one non-empty output name; true when it raised no error.
    bool ConvertFile(const char* input, const char* outputName, bool drop, bool usePalette,
                     const char* usePaletteFile, bool fillPalette, const char* fillPaletteFile);

    // '*' or '?' anywhere in the name, its directory included.
    static bool HasWildcards(const char* name);
    // The input name with its extension replaced: pic gives .bmp, bmp gives
    // .pic, anything else .error.bmp. Case and directory are kept.
    static CharString DefaultOutputName(const char* name);

    CharString ErrorText;

private:
    void ConvertMatches(const char* pattern, bool drop, bool usePalette, const char* usePaletteFile,
                        bool fillPalette, const char* fillPaletteFile);
    bool MayWrite(const BatchGuard& guard, const std::string& input, const char* output);
    // name: as passed, for the message; file: as the file system finds it.
    bool CheckExists(const char* prefix, const char* name, const std::string& file);
    bool LoadInto(ImageDocument& document, const char* prefix, const char* name, const std::string& file);
    void AddError(const char* prefix, const char* name, const char* suffix);
    void AddReason(const ImageDocument& document);

    std::FILE* m_output;
};
