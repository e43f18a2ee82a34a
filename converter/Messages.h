// Every text the converter shows its user, in one place. They are fixed to the
// byte: line ends are CR LF pairs on every platform, and a few texts end
// without one on purpose, so that the next text continues their line.
#pragma once

#include "pic/PicRefusalWording.h"

namespace Messages {

constexpr const char* BANNER = "Fenwolds Pic <-> Bmp converter\r\n"
                               "By the Cantrel project\r\n"
                               "Released 2026, Version 1.0\r\n"
                               "https://cantrel.example.org/\r\n"
                               "\r\n"
                               "(BMP files are read and written by a bitmap library)\r\n"
                               "(of the Cantrel project's own, made for this converter)\r\n"
                               "\r\n";

// Begins with an empty line; line 2 ends with a blank before its line end.
constexpr const char* HELP = "\r\n"
                             "Cantrel converts Fenwold PIC files to and from windows BMP files. \r\n"
                             "The BMP files must be a 8 or less bit per pixel format with a palette.\r\n"
                             "(i.e. a 256 or less color BMP file)\r\n"
                             "\r\n"
                             "Use:\r\n"
                             " InputFilename OutputFilename [-help][-drop][-query]\r\n"
                             "         [-use PicPaletteFilename][-fill PicFillPaletteFilename]\r\n"
                             "\r\n"
                             "\r\n"
                             "InputFilename    Source image file (pic or bmp) (wildcards allowed)\r\n"
                             "OutputFilename   Destination image file (pic or bmp)\r\n"
                             "-? (-h,-help)    Show this help data\r\n"
                             "-d (-drop)       Don't include a palette in the output .PIC file\r\n"
                             "-u (-use)        Use palette from indicated .PIC file\r\n"
                             "-f (-fill)       Fill in palette from indicated .PIC file if missing\r\n"
                             "-m (-map)        Map colors onto palette from indicated .PIC file\r\n"
                             "-q (-query)      Query the details of the Input file, don't convert\r\n";

// Parameter errors, collected while the command line is read.
constexpr const char* INVALID_FLAG = "Invalid Flag: ";
constexpr const char* INVALID_PARAMETER = "Invalid Parameter: ";
constexpr const char* NO_INPUT_NAME =
    "You must specify an input filename and optionally an output filename."; // no line end
constexpr const char* LINE_END = "\r\n";
// Where a shell expanded an unquoted pattern into file names (POSIX only):
// "<input> and <output> are two existing ..." for two names, then the advice.
constexpr const char* AND = " and ";
constexpr const char* TWO_PICTURES_OF_ONE_FORMAT =
    " are two existing pictures of one format: converting could only write one over the other.\r\n";
constexpr const char* QUOTE_THE_PATTERN =
    "If the shell expanded a pattern into these names, quote it (for example \"*.pic\") so that Cantrel "
    "expands it. Nothing was converted.\r\n";

// Headings and results of the main flow.
constexpr const char* PARAMETER_ERRORS = "Parameter Errors (use -? for help):\r\n";
constexpr const char* CONVERSION_ERRORS = "Conversion Errors (use -? for help):\r\n";
constexpr const char* CONVERSION_SUCCEEDED = "Successful Conversion\r\n";
constexpr const char* IMAGE_DETAILS = "Image Details:\r\n";
constexpr const char* IMAGE_SIZE_FORMAT = " Width,Height: %d,%d\r\n";
constexpr const char* HAS_PALETTE = " Image has palette";       // no line end
constexpr const char* HAS_NO_PALETTE = " Image has no palette"; // no line end

// Conversion errors; each is completed with a file name as passed.
constexpr const char* INPUT_MISSING = "Input file ";
constexpr const char* PALETTE_MISSING = "Palette file ";
constexpr const char* FILL_PALETTE_MISSING = "Fill Palette file ";
constexpr const char* MAP_PALETTE_MISSING = "Map Palette file ";
constexpr const char* DOES_NOT_EXIST = " does not exist\r\n";
constexpr const char* INPUT_NOT_LOADED = "Unable to load input file ";
constexpr const char* PALETTE_NOT_LOADED = "Unable to load palette file ";
constexpr const char* FILL_PALETTE_NOT_LOADED = "Unable to load fill palette file ";
constexpr const char* MAP_PALETTE_NOT_LOADED = "Unable to load map palette file ";
// "Unable to map input file <input> onto the palette of <map file>\r\n",
// followed by the reasons below.
constexpr const char* INPUT_NOT_MAPPED = "Unable to map input file ";
constexpr const char* ONTO_PALETTE_OF = " onto the palette of ";
constexpr const char* UNKNOWN_OUTPUT_FORMAT = "Unrecognized save file format(extension) ";
constexpr const char* UNKNOWN_OUTPUT_FORMAT_HINT = "\r\n   (it's not a .bmp or a .pic)\r\n";
constexpr const char* NOT_SAVED = "Unable to save file ";
// Put before the reason a reader or writer gives for failing, on its own line.
constexpr const char* REASON_INDENT = "   ";
constexpr const char* NO_MATCHES = "No files match ";

// Reasons for not loading or not saving a picture, each shown as one line
// indented below the "Unable to ..." message it explains; the bitmap
// library's own texts take the same place for BMP files. All of them are said
// one way: what was looked at, a colon, what was found, and then what was
// expected or what stood in the way ("PIC image chunk: 32768 x 1 pixels, at
// most 32767 x 32767"). Numbers are plain digits, as the bitmap library
// writes them; "%s" after a count of bytes is "s" unless the count is 1.
constexpr const char* PIC_FILE_TOO_LARGE_FORMAT = "PIC file: %llu byte%s, at most %llu can be read";
constexpr const char* PIC_FILE_OUT_OF_MEMORY_FORMAT =
    "PIC file: %llu byte%s, but there is not enough memory to read them";
constexpr const char* PIC_IMAGE_CHUNK_TOO_LARGE_FORMAT = "PIC image chunk: %d x %d pixels, at most %llu x %llu";
constexpr const char* PIC_IMAGE_OUT_OF_MEMORY_FORMAT =
    "PIC image chunk: %d x %d pixels, but there is not enough memory to hold them";
constexpr const char* PIC_WITHOUT_IMAGE = "PIC file: no image chunk, so it holds no picture to convert";
constexpr const char* PIC_STREAM_TOO_LONG_FORMAT = "PIC image chunk: %llu bytes of compressed picture, at most %llu";
// A picture too large for a PIC file, whether it is to be saved as one or was
// read from a BMP file (which is refused from its header).
constexpr const char* TOO_LARGE_FOR_PIC_FORMAT = "Picture: %d x %d pixels, a PIC file holds at most %llu x %llu";
constexpr const char* EMPTY_FOR_BMP_FORMAT = "Picture: %d x %d pixels, a BMP file holds at least 1 x 1";
constexpr const char* PIXELS_OUT_OF_MEMORY_FORMAT =
    "Picture: %d x %d pixels, but there is not enough memory to hold them";
constexpr const char* PIXELS_MISSING_FORMAT = "Picture: %d x %d pixels, but its pixels stop after %d";
constexpr const char* SAVE_OUT_OF_MEMORY_FORMAT =
    "Picture: %d x %d pixels, but there is not enough memory to compress them";
constexpr const char* PALETTE_OUT_OF_MEMORY = "Palette: there is not enough memory to hold it";
constexpr const char* NOT_WRITTEN_FORMAT = "Writing the file: %s";
// After the bitmap library's refusal of a BMP file deeper than 8 bits: how
// such a file converts, and what a palette file must be.
constexpr const char* TRUE_COLOR_NEEDS_MAP = "True colour: convert it with -m and the picture it came from, as in "
                                             "cantrel -m ORIGINAL.PIC edited.bmp ORIGINAL.PIC";
constexpr const char* PALETTE_FILE_NEEDS_PALETTE =
    "Palette file: it must hold a palette, as a PIC file or a BMP file of 8 bits or fewer a pixel does";
// Why a picture could not be mapped onto a palette: the pixels of colours the
// palette lacks (how many, where the first is and its colour, the palette's
// nearest entry), and the pixels that are not fully opaque. Positions count
// from 0 at the top left, as image editors show them.
constexpr const char* COLORS_NOT_IN_PALETTE_FORMAT =
    "Colours: %llu pixel%s of colours that %s does not hold, the first at x %d, y %d: red %u, green %u, blue %u; "
    "its nearest entry is index %d: red %u, green %u, blue %u";
constexpr const char* NOT_OPAQUE_FORMAT =
    "Transparency: %llu pixel%s not fully opaque, the first at x %d, y %d with alpha %d of 255; a PIC picture "
    "holds only opaque pixels";

// What PicFile refuses, worded with the reasons above.
constexpr RefusalWording PIC_REFUSALS[] = {
    {PicRefusal::FILE_TOO_LARGE, RefusalNumbers::BYTES_PLURAL_AND_LIMIT, PIC_FILE_TOO_LARGE_FORMAT},
    {PicRefusal::FILE_OUT_OF_MEMORY, RefusalNumbers::BYTES_PLURAL, PIC_FILE_OUT_OF_MEMORY_FORMAT},
    {PicRefusal::IMAGE_CHUNK_TOO_LARGE, RefusalNumbers::SIZE_AND_LIMIT, PIC_IMAGE_CHUNK_TOO_LARGE_FORMAT},
    {PicRefusal::IMAGE_OUT_OF_MEMORY, RefusalNumbers::SIZE, PIC_IMAGE_OUT_OF_MEMORY_FORMAT},
    {PicRefusal::PICTURE_TOO_LARGE, RefusalNumbers::SIZE_AND_LIMIT, TOO_LARGE_FOR_PIC_FORMAT},
    {PicRefusal::STREAM_TOO_LONG, RefusalNumbers::BYTES_AND_LIMIT, PIC_STREAM_TOO_LONG_FORMAT},
    {PicRefusal::SAVE_OUT_OF_MEMORY, RefusalNumbers::SIZE, SAVE_OUT_OF_MEMORY_FORMAT},
    {PicRefusal::NOT_WRITTEN, RefusalNumbers::SYSTEM_ERROR, NOT_WRITTEN_FORMAT},
};
static_assert(CoversEveryRefusal(PIC_REFUSALS), "every refusal worded once, each format fitting its numbers");

// A match of a wildcard conversion that would write over a file of the same
// run: "Not converted: <input>, since its output <output>" and one of the
// endings, the second followed by "<other input> in this batch\r\n".
constexpr const char* NOT_CONVERTED = "Not converted: ";
constexpr const char* SINCE_ITS_OUTPUT = ", since its output ";
constexpr const char* IS_BATCH_INPUT = " is also an input of this batch\r\n";
constexpr const char* WAS_WRITTEN_FROM = " was written from ";
constexpr const char* IN_THIS_BATCH = " in this batch\r\n";
constexpr const char* IS_PALETTE_FILE = " is a palette file of this run\r\n";

// Notes on a conversion that succeeded, each one line "<file>: <what>\r\n",
// printed before "Successful Conversion" (in a batch, after the file's
// "Converted" line). They say what the user might not expect: indices that
// changed, colours that moved to other indices, an option that had no effect.
// The "%s" after a count makes its noun plural; a second one after a verb
// makes it singular ("1 pixel differs", "2 pixels differ").
constexpr const char* NOTE_SEPARATOR = ": ";
constexpr const char* NOTE_DATA_ENDS_FORMAT = "its data ends after %llu of %llu pixels; the rest is index 0";
constexpr const char* NOTE_LOWEST_INDEX_FORMAT =
    "%llu pixel%s of a colour that %s holds at several indices took the lowest of them";
constexpr const char* NOTE_USE_NOT_APPLIED_FORMAT =
    "the palette of %s (-u) is not used, since -m gives the picture the palette of %s";
constexpr const char* NOTE_DIFFER_FROM_REPLACED_FORMAT =
    "%llu pixel%s differ%s from the picture it replaced, within x %d to %d, y %d to %d";
constexpr const char* NOTE_NONE_DIFFER_FROM_REPLACED = "no pixel differs from the picture it replaced";
constexpr const char* NOTE_SIZE_OF_REPLACED_FORMAT = "the picture is %d x %d pixels, the one it replaced %d x %d";
constexpr const char* NOTE_DIFFER_FROM_MAP_FORMAT = "%llu pixel%s differ%s from %s, within x %d to %d, y %d to %d";
constexpr const char* NOTE_NONE_DIFFER_FROM_MAP_FORMAT = "no pixel differs from %s";
constexpr const char* NOTE_SIZE_OF_MAP_FORMAT = "the picture is %d x %d pixels, %s %d x %d";
constexpr const char* NOTE_USE_RENUMBERS_FORMAT =
    "%d of the indices it uses show other colours in %s, which holds those colours at other indices; -m maps "
    "the colours onto its indices";
constexpr const char* NOTE_REPLACED_COLORS_FORMAT =
    "%d of the indices the picture uses show other colours than in the picture it replaced; -m maps the "
    "colours onto that picture's indices";
constexpr const char* NOTE_PALETTE_ADDED =
    "the picture it replaced had no palette chunk, and this one has one; -d leaves it out";

// Progress of a wildcard conversion: "Converted <input> to <output>\r\n".
constexpr const char* CONVERTED = "Converted ";
constexpr const char* CONVERTED_TO = " to ";

} // namespace Messages
