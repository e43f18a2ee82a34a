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
    if (HasWildcards(input)) {
        ConvertMatches(input, drop, usePalette, usePaletteFile, fillPalette, fillPaletteFile);
    } else {
        CharString output = IsEmptyName(outputName) ? DefaultOutputName(OrEmpty(input)) : CharString(outputName);
        ConvertFile(OrEmpty(input), output.Text(), drop, usePalette, usePaletteFile, fillPalette, fillPaletteFile);
    }
    return ErrorText.IsEmpty();
}

void Converter::ConvertMatches(const char* pattern, bool drop, bool usePalette, const char* usePaletteFile,
                               bool fillPalette, const char* fillPaletteFile)
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
    BatchGuard guard(inputs, {usePalette ? OrEmpty(usePaletteFile) : "", fillPalette ? OrEmpty(fillPaletteFile) : ""});
    // Every match frees and allocates blocks of the same sizes again.
    Platform::KeepFreedMemory();
    for (const std::string& input : inputs) {
        CharString output = DefaultOutputName(input.c_str());
        if (!MayWrite(guard, input, output.Text()))
            continue;
        if (!ConvertFile(input.c_str(), output.Text(), drop, usePalette, usePaletteFile, fillPalette,
                         fillPaletteFile))
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

bool Converter::ConvertFile(const char* input, const char* outputName, bool drop, bool usePalette,
                            const char* usePaletteFile, bool fillPalette, const char* fillPaletteFile)
{
    // Names are found as Windows finds them, whatever their case; messages
    // keep them as they were passed.
    std::string inputFile = Platform::ResolveNameCase(OrEmpty(input));
    std::string usePaletteName = Platform::ResolveNameCase(OrEmpty(usePaletteFile));
    std::string fillPaletteName = Platform::ResolveNameCase(OrEmpty(fillPaletteFile));
    std::string outputFile = Platform::ResolveNameCase(OrEmpty(outputName));

    // All three checks are made, so that one run names every missing file.
    bool found = CheckExists(Messages::INPUT_MISSING, input, inputFile);
    if (usePalette)
        found = CheckExists(Messages::PALETTE_MISSING, usePaletteFile, usePaletteName) && found;
    if (fillPalette)
        found = CheckExists(Messages::FILL_PALETTE_MISSING, fillPaletteFile, fillPaletteName) && found;
    if (!found)
        return false;

    ImageDocument image;
    ImageDocument usePaletteImage;
    ImageDocument fillPaletteImage;
    if (!LoadInto(image, Messages::INPUT_NOT_LOADED, input, inputFile))
        return false;
    if (usePalette && !LoadInto(usePaletteImage, Messages::PALETTE_NOT_LOADED, usePaletteFile, usePaletteName))
        return false;
    if (fillPalette &&
        !LoadInto(fillPaletteImage, Messages::FILL_PALETTE_NOT_LOADED, fillPaletteFile, fillPaletteName))
        return false;

    // Fill, then use, then drop: use wins over fill, and drop over both.
    // Fill supplies colours but not the claim to a palette of one's own.
    if (fillPalette && !image.HasPalette)
        image.Palette.Assign(fillPaletteImage.Palette);
    if (usePalette)
        image.Palette.Assign(usePaletteImage.Palette);
    if (drop) {
        image.HasPalette = false;
        image.Palette.Clear();
    }

    bool succeeded = true;
    int fileType = ImageDocument::FileTypeOf(OrEmpty(outputName));
    if (fileType == ImageDocument::TYPE_NONE) {
        AddError(Messages::UNKNOWN_OUTPUT_FORMAT, outputName, Messages::UNKNOWN_OUTPUT_FORMAT_HINT);
        succeeded = false;
    }
    if (!image.Save(outputFile.c_str(), fileType)) {
        AddError(Messages::NOT_SAVED, outputName, Messages::LINE_END);
        AddReason(image);
        succeeded = false;
    }
    return succeeded;
}

bool Converter::CheckExists(const char* prefix, const char* name, const std::string& file)
{
    if (PathParts(file.c_str()).Exists())
        return true;
    AddError(prefix, name, Messages::DOES_NOT_EXIST);
    return false;
}

bool Converter::LoadInto(ImageDocument& document, const char* prefix, const char* name, const std::string& file)
{
    if (document.Load(file.c_str()))
        return true;
    AddError(prefix, name, Messages::LINE_END);
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
