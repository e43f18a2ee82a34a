#include "converter/Converter.h"

#include "converter/BatchGuard.h"
#include "converter/ImageDocument.h"
#include "converter/Messages.h"
#include "converter/support/PathParts.h"
#include "platform/Platform.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsEmptyName(const char* name)
{
    return name == nullptr || *name == '\0';
}

const char* OrEmpty(const char* name)
{
    return name == nullptr ? "" : name;
}

} // namespace

// A file named on the command line: as passed, for the messages, and as the
// file system finds it, whatever its case, for opening it.
struct Converter::NamedFile {
    explicit NamedFile(const char* name) : passed(OrEmpty(name)), found(Platform::ResolveNameCase(passed)) {}

    const char* passed;
    std::string found;
};

// The files one conversion reads, and the pictures loaded from them: the
// input, and the palette files of the options given.
struct Converter::Sources {
    Sources(const char* input, const PaletteOptions& palettes)
        : inputFile(input), useFile(palettes.use.name), fillFile(palettes.fill.name)
    {
    }

    NamedFile inputFile;
    NamedFile useFile;
    NamedFile fillFile;
    ImageDocument image;
    ImageDocument usePalette;
    ImageDocument fillPalette;
};

Converter::Converter(std::FILE* output) : m_output(output)
{
}

bool Converter::HasWildcards(const char* name)
{
    return name != nullptr && std::strpbrk(name, "*?") != nullptr;
}

CharString Converter::DefaultOutputName(const char* name)
{
    PathParts parts(name);
    CharString result = parts.GetParts(PathParts::DRIVE | PathParts::DIRECTORY | PathParts::NAME);
    CharString extension = parts.GetParts(PathParts::EXTENSION);
    extension.MakeLower();
    if (extension == "pic")
        result += ".bmp";
    else if (extension == "bmp")
        result += ".pic";
    else
        result += ".error.bmp";
    return result;
}

bool Converter::Convert(const char* input, const char* outputName, bool drop, bool usePalette,
                        const char* usePaletteFile, bool fillPalette, const char* fillPaletteFile)
{
    const PaletteOptions palettes{drop, {usePalette, usePaletteFile}, {fillPalette, fillPaletteFile}};
    if (HasWildcards(input)) {
        ConvertMatches(input, palettes);
    } else {
        CharString output = IsEmptyName(outputName) ? DefaultOutputName(OrEmpty(input)) : CharString(outputName);
        ConvertPicture(OrEmpty(input), output.Text(), palettes);
    }
    return ErrorText.IsEmpty();
}

bool Converter::ConvertFile(const char* input, const char* outputName, bool drop, bool usePalette,
                            const char* usePaletteFile, bool fillPalette, const char* fillPaletteFile)
{
    return ConvertPicture(input, outputName, {drop, {usePalette, usePaletteFile}, {fillPalette, fillPaletteFile}});
}

void Converter::ConvertMatches(const char* pattern, const PaletteOptions& palettes)
{
    // The search reports bare names; joined to the pattern's directory they
    // name the matches wherever they are, and outputs land next to them. The
    // whole list is taken before anything is written.
    std::string directory = Platform::DirectoryPart(pattern);
    std::vector<std::string> inputs = Platform::FindMatches(pattern);
    if (inputs.empty()) {
        // Converting nothing without a word would look like success.
        AddError(Messages::NO_MATCHES, pattern, Messages::LINE_END);
        return;
    }
    for (std::string& input : inputs)
        input = directory + input;
    BatchGuard guard(inputs, palettes);
    // Every match frees and allocates blocks of the same sizes again.
    Platform::KeepFreedMemory();
    for (const std::string& input : inputs) {
        CharString output = DefaultOutputName(input.c_str());
        if (!MayWrite(guard, input, output.Text()))
            continue;
        if (!ConvertPicture(input.c_str(), output.Text(), palettes))
            continue;
        guard.NoteWritten(input, output.Text());
        std::fputs(Messages::CONVERTED, m_output);
        std::fputs(input.c_str(), m_output);
        std::fputs(Messages::CONVERTED_TO, m_output);
        std::fputs(output.Text(), m_output);
        std::fputs(Messages::LINE_END, m_output);
    }
}

// A batch must never convert over its own inputs: a match whose output is
// another match, an output the batch has written already, or a palette file
// the batch reads is not converted, and the failure names both files.
bool Converter::MayWrite(const BatchGuard& guard, const std::string& input, const char* output)
{
    const char* suffix = nullptr;
    std::string other;
    switch (guard.Check(input, output, other)) {
    case BatchGuard::NONE:
        return true;
    case BatchGuard::OTHER_INPUT:
        suffix = Messages::IS_BATCH_INPUT;
        break;
    case BatchGuard::WRITTEN:
        suffix = Messages::WAS_WRITTEN_FROM;
        break;
    case BatchGuard::PALETTE_FILE:
        suffix = Messages::IS_PALETTE_FILE;
        break;
    }
    AddError(Messages::NOT_CONVERTED, input.c_str(), Messages::SINCE_ITS_OUTPUT);
    AddError("", output, suffix);
    if (!other.empty())
        AddError("", other.c_str(), Messages::IN_THIS_BATCH);
    return false;
}

bool Converter::ConvertPicture(const char* input, const char* outputName, const PaletteOptions& palettes)
{
    Sources sources(input, palettes);
    if (!CheckFilesExist(sources, palettes) || !LoadFiles(sources, palettes))
        return false;
    ApplyPalettes(sources, palettes);
    return SaveImage(sources.image, outputName);
}

bool Converter::CheckFilesExist(const Sources& sources, const PaletteOptions& palettes)
{
    // All the checks are made, so that one run names every missing file.
    bool found = CheckExists(Messages::INPUT_MISSING, sources.inputFile);
    if (palettes.use.given)
        found = CheckExists(Messages::PALETTE_MISSING, sources.useFile) && found;
    if (palettes.fill.given)
        found = CheckExists(Messages::FILL_PALETTE_MISSING, sources.fillFile) && found;
    return found;
}

bool Converter::LoadFiles(Sources& sources, const PaletteOptions& palettes)
{
    // The first file that does not load ends the conversion.
    if (!LoadInto(sources.image, Messages::INPUT_NOT_LOADED, sources.inputFile))
        return false;
    if (palettes.use.given && !LoadInto(sources.usePalette, Messages::PALETTE_NOT_LOADED, sources.useFile))
        return false;
    return !palettes.fill.given || LoadInto(sources.fillPalette, Messages::FILL_PALETTE_NOT_LOADED, sources.fillFile);
}

// Fill, then use, then drop: use wins over fill, and drop over both. Fill
// supplies colours but not the claim to a palette of one's own.
void Converter::ApplyPalettes(Sources& sources, const PaletteOptions& palettes)
{
    ImageDocument& image = sources.image;
    if (palettes.fill.given && !image.HasPalette)
        image.Palette.Assign(sources.fillPalette.Palette);
    if (palettes.use.given)
        image.Palette.Assign(sources.usePalette.Palette);
    if (palettes.drop) {
        image.HasPalette = false;
        image.Palette.Clear();
    }
}

bool Converter::SaveImage(ImageDocument& image, const char* outputName)
{
    NamedFile output(outputName);
    bool succeeded = true;
    int fileType = ImageDocument::FileTypeOf(output.passed);
    if (fileType == ImageDocument::TYPE_NONE) {
        AddError(Messages::UNKNOWN_OUTPUT_FORMAT, output.passed, Messages::UNKNOWN_OUTPUT_FORMAT_HINT);
        succeeded = false;
    }
    if (!image.Save(output.found.c_str(), fileType)) {
        AddError(Messages::NOT_SAVED, output.passed, Messages::LINE_END);
        AddReason(image);
        succeeded = false;
    }
    return succeeded;
}

bool Converter::CheckExists(const char* prefix, const NamedFile& file)
{
    if (PathParts(file.found.c_str()).Exists())
        return true;
    AddError(prefix, file.passed, Messages::DOES_NOT_EXIST);
    return false;
}

bool Converter::LoadInto(ImageDocument& document, const char* prefix, const NamedFile& file)
{
    if (document.Load(file.found.c_str()))
        return true;
    AddError(prefix, file.passed, Messages::LINE_END);
    AddReason(document);
    return false;
}

void Converter::AddReason(const ImageDocument& document)
{
    // The document says why when it knows: on a line of its own, indented.
    if (!document.RefusalReason().IsEmpty())
        AddError(Messages::REASON_INDENT, document.RefusalReason().Text(), Messages::LINE_END);
}

void Converter::AddError(const char* prefix, const char* name, const char* suffix)
{
    ErrorText += prefix;
    ErrorText += OrEmpty(name);
    ErrorText += suffix;
}
