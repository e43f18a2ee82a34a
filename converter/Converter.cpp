#include "converter/Converter.h"

#include "converter/BatchGuard.h"
#include "converter/ImageDocument.h"
#include "converter/Messages.h"
#include "converter/PictureComparison.h"
#include "converter/support/PathParts.h"
#include "pic/PaletteMapper.h"
#include "pic/PicSize.h"
#include "platform/Platform.h"

#include <cstring>
#include <memory>
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

// "s" after a count's noun, unless the count is 1; and after its verb, when it is.
const char* Plural(std::uint64_t count)
{
    return count == 1 ? "" : "s";
}

const char* Singular(std::uint64_t count)
{
    return count == 1 ? "s" : "";
}

bool IsPicture(const ImageDocument& document)
{
    return document.Width > 0 && document.Height > 0;
}

bool SameSize(const ImageDocument& left, const ImageDocument& right)
{
    return left.Width == right.Width && left.Height == right.Height;
}

void CopyEntries(const ImageDocument& document, std::uint32_t entries[PALETTE_ENTRIES])
{
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        entries[i] = document.PaletteEntry(i);
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
// input, and the palette files of the options given. The mapping onto the map
// file's palette is made once that file is loaded, since a true-colour input
// is mapped as it is read.
struct Converter::Sources {
    Sources(const char* input, const PaletteOptions& palettes)
        : inputFile(input), useFile(palettes.use.name), fillFile(palettes.fill.name), mapFile(palettes.map.name)
    {
    }

    NamedFile inputFile;
    NamedFile useFile;
    NamedFile fillFile;
    NamedFile mapFile;
    ImageDocument image;
    ImageDocument usePalette;
    ImageDocument fillPalette;
    ImageDocument mapPalette;
    std::unique_ptr<PaletteMapper> mapper;
    // The colours the input shows, after a fill: what its indices meant.
    std::uint32_t shownColors[PALETTE_ENTRIES] = {};
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
    return Convert(input, outputName, {drop, {usePalette, usePaletteFile}, {fillPalette, fillPaletteFile}, {}});
}

bool Converter::Convert(const char* input, const char* outputName, const PaletteOptions& palettes)
{
    if (HasWildcards(input)) {
        ConvertMatches(input, palettes);
    } else {
        CharString output = IsEmptyName(outputName) ? DefaultOutputName(OrEmpty(input)) : CharString(outputName);
        if (ConvertPicture(OrEmpty(input), output.Text(), palettes))
            PrintNotes();
    }
    return ErrorText.IsEmpty();
}

bool Converter::ConvertFile(const char* input, const char* outputName, bool drop, bool usePalette,
                            const char* usePaletteFile, bool fillPalette, const char* fillPaletteFile)
{
    bool converted =
        ConvertPicture(input, outputName, {drop, {usePalette, usePaletteFile}, {fillPalette, fillPaletteFile}, {}});
    if (converted)
        PrintNotes();
    return converted;
}

void Converter::ConvertMatches(const char* pattern, const PaletteOptions& palettes)
{
    // The search reports bare names; joined to the pattern's directory they
    // name the matches wherever they are, and outputs land next to them. The
    // whole list is taken before anything is written.
    std::string folder = Platform::FolderPart(pattern);
    std::vector<std::string> inputs = Platform::FindMatches(pattern);
    if (inputs.empty()) {
        // Converting nothing without a word would look like success.
        AddError(Messages::NO_MATCHES, pattern, Messages::LINE_END);
        return;
    }
    for (std::string& input : inputs)
        input = folder + input;
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
        PrintNotes();
    }
}

void Converter::PrintNotes()
{
    std::fputs(m_notes.Text(), m_output);
    m_notes.Empty();
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
    // Notes of a file that fails are not shown: it changed nothing.
    m_notes.Empty();
    Sources sources(input, palettes);
    if (!CheckFilesExist(sources, palettes) || !LoadFiles(sources, palettes) || !ApplyPalettes(sources, palettes))
        return false;
    NamedFile output(outputName);
    NoteChanges(sources, palettes, output);
    return SaveImage(sources.image, output);
}

bool Converter::CheckFilesExist(const Sources& sources, const PaletteOptions& palettes)
{
    // All the checks are made, so that one run names every missing file.
    bool found = CheckExists(Messages::INPUT_MISSING, sources.inputFile);
    if (palettes.use.given)
        found = CheckExists(Messages::PALETTE_MISSING, sources.useFile) && found;
    if (palettes.fill.given)
        found = CheckExists(Messages::FILL_PALETTE_MISSING, sources.fillFile) && found;
    if (palettes.map.given)
        found = CheckExists(Messages::MAP_PALETTE_MISSING, sources.mapFile) && found;
    return found;
}

bool Converter::LoadFiles(Sources& sources, const PaletteOptions& palettes)
{
    // The first file that does not load ends the conversion. The map file
    // comes first: a true-colour input is mapped onto its palette as it is
    // read. Its own picture, when it has the input's size, decides between
    // entries of one colour: it is the original the input was edited from.
    if (palettes.map.given) {
        if (!LoadInto(sources.mapPalette, Messages::MAP_PALETTE_NOT_LOADED, sources.mapFile, true))
            return false;
        std::uint32_t entries[PALETTE_ENTRIES];
        CopyEntries(sources.mapPalette, entries);
        sources.mapper.reset(new PaletteMapper(entries));
        sources.mapper->SetReference(sources.mapPalette.Pixels.Data(), sources.mapPalette.Width,
                                     sources.mapPalette.Height);
        if (!sources.image.LoadMapped(sources.inputFile.found.c_str(), *sources.mapper)) {
            AddError(Messages::INPUT_NOT_LOADED, sources.inputFile.passed, Messages::LINE_END);
            AddReason(sources.image);
            return false;
        }
    } else if (!LoadInto(sources.image, Messages::INPUT_NOT_LOADED, sources.inputFile, false)) {
        return false;
    }
    // Any file named .pic loads, since the walk takes what it finds; one with
    // no image chunk (a text, another format, nothing at all) would convert to
    // an empty picture, or be refused as if the output were at fault. As a
    // palette file it still serves, so this is the input's rule alone.
    if (sources.image.FileType == ImageDocument::TYPE_PIC && !sources.image.HadImage()) {
        AddError(Messages::INPUT_NOT_LOADED, sources.inputFile.passed, Messages::LINE_END);
        AddReasonLine(Messages::PIC_WITHOUT_IMAGE);
        return false;
    }
    if (palettes.use.given && !LoadInto(sources.usePalette, Messages::PALETTE_NOT_LOADED, sources.useFile, true))
        return false;
    return !palettes.fill.given ||
           LoadInto(sources.fillPalette, Messages::FILL_PALETTE_NOT_LOADED, sources.fillFile, true);
}

// Fill, then map, then use, then drop: use wins over fill, map replaces the
// palette that use would give, and drop wins over all. Fill supplies colours
// but not the claim to a palette of one's own.
bool Converter::ApplyPalettes(Sources& sources, const PaletteOptions& palettes)
{
    ImageDocument& image = sources.image;
    if (palettes.fill.given && !image.HasPalette)
        image.Palette.Assign(sources.fillPalette.Palette);
    CopyEntries(image, sources.shownColors);
    if (palettes.map.given && !MapColors(sources))
        return false;
    if (palettes.use.given && !palettes.map.given)
        image.Palette.Assign(sources.usePalette.Palette);
    if (palettes.drop) {
        image.HasPalette = false;
        image.Palette.Clear();
    }
    return true;
}

// The input's colours onto the map file's palette. A true-colour input was
// mapped as it was read; an indexed one is mapped here, after the fill, its
// own indices deciding between entries of one colour. A pixel the palette
// cannot show refuses the whole picture: the game would show another colour.
bool Converter::MapColors(Sources& sources)
{
    ImageDocument& image = sources.image;
    PaletteMapper& mapper = *sources.mapper;
    if (!image.IsTrueColor() && !image.MapOnto(mapper)) {
        AddError(Messages::INPUT_NOT_MAPPED, sources.inputFile.passed, Messages::ONTO_PALETTE_OF);
        AddError("", sources.mapFile.passed, Messages::LINE_END);
        CharString reason;
        AddReasonLine(Format(reason, Messages::PIXELS_OUT_OF_MEMORY_FORMAT, image.Width, image.Height).Text());
        return false;
    }
    if (mapper.Succeeded())
        return true;
    AddError(Messages::INPUT_NOT_MAPPED, sources.inputFile.passed, Messages::ONTO_PALETTE_OF);
    AddError("", sources.mapFile.passed, Messages::LINE_END);
    CharString reason;
    const PaletteMapper::Misses& unmatched = mapper.Unmatched();
    if (unmatched.count != 0) {
        Rgb color = RgbFromEntry(unmatched.color);
        int nearest = mapper.NearestEntry(unmatched.color);
        Rgb entry = RgbFromEntry(mapper.Palette()[nearest]);
        AddReasonLine(Format(reason, Messages::COLORS_NOT_IN_PALETTE_FORMAT,
                             static_cast<unsigned long long>(unmatched.count), Plural(unmatched.count),
                             sources.mapFile.passed, unmatched.x, unmatched.y, unsigned{color.red},
                             unsigned{color.green}, unsigned{color.blue}, nearest, unsigned{entry.red},
                             unsigned{entry.green}, unsigned{entry.blue})
                          .Text());
    }
    const PaletteMapper::Misses& translucent = mapper.Translucent();
    if (translucent.count != 0) {
        AddReasonLine(Format(reason, Messages::NOT_OPAQUE_FORMAT, static_cast<unsigned long long>(translucent.count),
                             Plural(translucent.count), translucent.x, translucent.y, translucent.alpha)
                          .Text());
    }
    return false;
}

// What the user might not expect of this conversion, worked out before the
// output replaces anything: the file it replaces is read for it.
void Converter::NoteChanges(Sources& sources, const PaletteOptions& palettes, const NamedFile& output)
{
    const ImageDocument& image = sources.image;
    const char* input = sources.inputFile.passed;
    const std::uint64_t pixels = CountPixels(image.Width, image.Height);
    if (image.FileType == ImageDocument::TYPE_PIC && image.GivenPixels < pixels) {
        CharString text;
        AddNote(input, Format(text, Messages::NOTE_DATA_ENDS_FORMAT, static_cast<unsigned long long>(image.GivenPixels),
                              static_cast<unsigned long long>(pixels)));
    }
    if (palettes.map.given) {
        if (palettes.use.given) {
            CharString text;
            AddNote(input, Format(text, Messages::NOTE_USE_NOT_APPLIED_FORMAT, sources.useFile.passed,
                                  sources.mapFile.passed));
        }
        std::uint64_t lowest = sources.mapper->LowestChoices();
        if (lowest != 0) {
            CharString text;
            AddNote(input, Format(text, Messages::NOTE_LOWEST_INDEX_FORMAT, static_cast<unsigned long long>(lowest),
                                  Plural(lowest), sources.mapFile.passed));
        }
    }
    const UsedIndices used = FindUsedIndices(image);
    // -u keeps the indices and changes their colours: where the colours the
    // input shows are in the -u palette at other indices, the editor
    // renumbered them, and the picture would show wrong colours.
    bool renumberedByUse = false;
    if (palettes.use.given && !palettes.map.given && image.FileType == ImageDocument::TYPE_BMP) {
        std::uint32_t palette[PALETTE_ENTRIES];
        CopyEntries(sources.usePalette, palette);
        int count = CountChangedColors(used, sources.shownColors, palette, true);
        if (count != 0) {
            CharString text;
            AddNote(input, Format(text, Messages::NOTE_USE_RENUMBERS_FORMAT, count, sources.useFile.passed));
            renumberedByUse = true;
        }
    }

    ImageDocument replaced;
    const bool replacesPicture = ImageDocument::FileTypeOf(output.passed) == ImageDocument::TYPE_PIC &&
                                 Platform::PathExists(output.found.c_str()) &&
                                 replaced.LoadQuietly(output.found.c_str()) && IsPicture(replaced);
    if (replacesPicture) {
        // Only PIC files carry the claim to a palette: without -d a
        // conversion gives every PIC file one.
        if (!replaced.HasPalette && image.Palette.Size() >= PALETTE_BYTES)
            AddNote(output.passed, CharString(Messages::NOTE_PALETTE_ADDED));
        bool sameUseFile =
            palettes.use.given && Platform::SameFile(sources.useFile.found.c_str(), output.found.c_str());
        if (!palettes.map.given && !(renumberedByUse && sameUseFile)) {
            std::uint32_t palette[PALETTE_ENTRIES];
            CopyEntries(replaced, palette);
            int count = CountChangedColors(used, sources.shownColors, palette, false);
            if (count != 0) {
                CharString text;
                AddNote(output.passed, Format(text, Messages::NOTE_REPLACED_COLORS_FORMAT, count));
            }
        }
    }
    // Which pixels now carry another index than in the picture put back: the
    // one replaced, or else the map file's own of the same size.
    const ImageDocument* reference = nullptr;
    const char* referenceName = nullptr;
    const bool mapIsPicture = palettes.map.given && IsPicture(sources.mapPalette);
    if (replacesPicture && (SameSize(image, replaced) || !mapIsPicture || !SameSize(image, sources.mapPalette))) {
        reference = &replaced;
    } else if (mapIsPicture) {
        reference = &sources.mapPalette;
        referenceName = sources.mapFile.passed;
    }
    if (reference != nullptr)
        NoteDifference(output.passed, image, *reference, referenceName);
}

// referenceName null: the reference is the picture the output replaced.
void Converter::NoteDifference(const char* file, const ImageDocument& image, const ImageDocument& reference,
                               const char* referenceName)
{
    CharString text;
    if (!SameSize(image, reference)) {
        if (referenceName == nullptr)
            Format(text, Messages::NOTE_SIZE_OF_REPLACED_FORMAT, image.Width, image.Height, reference.Width,
                   reference.Height);
        else
            Format(text, Messages::NOTE_SIZE_OF_MAP_FORMAT, image.Width, image.Height, referenceName, reference.Width,
                   reference.Height);
        AddNote(file, text);
        return;
    }
    const IndexDifference difference = CompareIndices(image, reference);
    const auto count = static_cast<unsigned long long>(difference.count);
    if (difference.count == 0 && referenceName == nullptr)
        text = Messages::NOTE_NONE_DIFFER_FROM_REPLACED;
    else if (difference.count == 0)
        Format(text, Messages::NOTE_NONE_DIFFER_FROM_MAP_FORMAT, referenceName);
    else if (referenceName == nullptr)
        Format(text, Messages::NOTE_DIFFER_FROM_REPLACED_FORMAT, count, Plural(difference.count),
               Singular(difference.count), difference.left, difference.right, difference.top, difference.bottom);
    else
        Format(text, Messages::NOTE_DIFFER_FROM_MAP_FORMAT, count, Plural(difference.count), Singular(difference.count),
               referenceName, difference.left, difference.right, difference.top, difference.bottom);
    AddNote(file, text);
}

bool Converter::SaveImage(ImageDocument& image, const NamedFile& output)
{
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

bool Converter::LoadInto(ImageDocument& document, const char* prefix, const NamedFile& file, bool paletteFile)
{
    if (document.Load(file.found.c_str()))
        return true;
    AddError(prefix, file.passed, Messages::LINE_END);
    AddReason(document);
    // A true-colour file is refused for its depth; what to do instead
    // depends on what it was meant for.
    if (document.RefusedTrueColor())
        AddReasonLine(paletteFile ? Messages::PALETTE_FILE_NEEDS_PALETTE : Messages::TRUE_COLOR_NEEDS_MAP);
    return false;
}

void Converter::AddReason(const ImageDocument& document)
{
    // The document says why when it knows: on a line of its own, indented.
    if (!document.RefusalReason().IsEmpty())
        AddReasonLine(document.RefusalReason().Text());
}

void Converter::AddReasonLine(const char* text)
{
    AddError(Messages::REASON_INDENT, text, Messages::LINE_END);
}

void Converter::AddNote(const char* file, const CharString& text)
{
    m_notes += file;
    m_notes += Messages::NOTE_SEPARATOR;
    m_notes += text;
    m_notes += Messages::LINE_END;
}

void Converter::AddError(const char* prefix, const char* name, const char* suffix)
{
    ErrorText += prefix;
    ErrorText += OrEmpty(name);
    ErrorText += suffix;
}
