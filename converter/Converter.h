// The conversion job: checks that the named files exist, loads the input and
// the palette files, applies the fill, map, use and drop options, and saves
// the result in the format of the output name's extension. Problems become
// messages in ErrorText; what a successful conversion changed that the user
// might not expect becomes note lines on the output. Wildcard inputs convert
// every match.
#pragma once

#include "converter/PaletteOptions.h"
#include "converter/support/CharString.h"

#include <cstdint>
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
    // The same with every palette option, the map option among them.
    bool Convert(const char* input, const char* outputName, const PaletteOptions& palettes);
    // One file to one non-empty output name; true when it raised no error.
    bool ConvertFile(const char* input, const char* outputName, bool drop, bool usePalette, const char* usePaletteFile,
                     bool fillPalette, const char* fillPaletteFile);

    // '*' or '?' anywhere in the name, its directory included.
    static bool HasWildcards(const char* name);
    // The input name with its extension replaced: pic gives .bmp, bmp gives
    // .pic, anything else .error.bmp. Case and directory are kept.
    static CharString DefaultOutputName(const char* name);

    CharString ErrorText;

private:
    struct NamedFile;
    struct Sources;

    void ConvertMatches(const char* pattern, const PaletteOptions& palettes);
    bool MayWrite(const BatchGuard& guard, const std::string& input, const char* output);
    // One file, step by step: the checks and the loads add their messages and
    // return false when the file cannot go on; the palette options change the
    // loaded image; the save says whether it wrote the output.
    bool ConvertPicture(const char* input, const char* outputName, const PaletteOptions& palettes);
    bool CheckFilesExist(const Sources& sources, const PaletteOptions& palettes);
    bool LoadFiles(Sources& sources, const PaletteOptions& palettes);
    bool ApplyPalettes(Sources& sources, const PaletteOptions& palettes);
    bool MapColors(Sources& sources);
    void NoteChanges(Sources& sources, const PaletteOptions& palettes, const NamedFile& output);
    void NoteDifference(const char* file, const ImageDocument& image, const ImageDocument& reference,
                        const char* referenceName);
    bool SaveImage(ImageDocument& image, const NamedFile& output);
    // The notes of the file just converted, and ready for the next.
    void PrintNotes();

    bool CheckExists(const char* prefix, const NamedFile& file);
    // paletteFile: the file serves for its palette (-u, -f, -m).
    bool LoadInto(ImageDocument& document, const char* prefix, const NamedFile& file, bool paletteFile);
    void AddError(const char* prefix, const char* name, const char* suffix);
    void AddReason(const ImageDocument& document);
    void AddReasonLine(const char* text);
    // One note line: about file (as passed), what text says.
    void AddNote(const char* file, const CharString& text);

    std::FILE* m_output;
    CharString m_notes;
};
