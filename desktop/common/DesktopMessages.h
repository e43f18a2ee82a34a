// Every text the desktop programs (the GIMP plug-in, the image loader module)
// show their users, in one place: above all what they say about a PIC file
// they cannot read or write, the refusals of PicFile and PicPicture's own
// checks worded for the users of those programs. Those become the programs'
// error messages, so each is one sentence without a final stop: what is wrong,
// then what a PIC picture can be. The GIMP plug-in's procedure descriptions,
// which GIMP's procedure browser shows, stay with its registration.
#pragma once

#include "pic/PicRefusalWording.h"

namespace DesktopMessages {

// With the system's reason, as "No such file or directory".
constexpr const char* FILE_NOT_OPENED_FORMAT = "The file cannot be opened for reading: %s";
constexpr const char* NO_IMAGE_CHUNK = "The file holds no image chunk (tag X0), so there is no picture in it";
constexpr const char* EMPTY_PICTURE_FORMAT = "The image is %d x %d pixels; a picture has at least 1 x 1";
constexpr const char* NO_MEMORY = "There is not enough memory for the picture";

// PicFile's refusals; "%s" after a count of bytes is "s" unless the count is 1.
constexpr const char* FILE_TOO_LARGE_FORMAT = "The file is %llu bytes; at most %llu can be read";
constexpr const char* FILE_OUT_OF_MEMORY_FORMAT = "There is not enough memory to read the file's %llu byte%s";
constexpr const char* IMAGE_CHUNK_TOO_LARGE_FORMAT =
    "The picture cannot be loaded: the image chunk declares %d x %d pixels; a PIC picture has at most %llu x %llu";
constexpr const char* IMAGE_OUT_OF_MEMORY_FORMAT =
    "The picture cannot be loaded: there is not enough memory for its %d x %d pixels";
constexpr const char* PICTURE_TOO_LARGE_FORMAT = "The image is %d x %d pixels; a PIC file holds at most %llu x %llu";
constexpr const char* STREAM_TOO_LONG_FORMAT = "The picture cannot be stored in a PIC file: compressed, it needs "
                                               "%llu bytes; a PIC image chunk holds at most %llu";
constexpr const char* SAVE_OUT_OF_MEMORY_FORMAT =
    "The picture cannot be stored: there is not enough memory for its %d x %d pixels";
constexpr const char* NOT_WRITTEN_FORMAT = "The file could not be written (nothing was changed): %s";

constexpr RefusalWording PIC_REFUSALS[] = {
    {PicRefusal::FILE_TOO_LARGE, RefusalNumbers::BYTES_AND_LIMIT, FILE_TOO_LARGE_FORMAT},
    {PicRefusal::FILE_OUT_OF_MEMORY, RefusalNumbers::BYTES_PLURAL, FILE_OUT_OF_MEMORY_FORMAT},
    {PicRefusal::IMAGE_CHUNK_TOO_LARGE, RefusalNumbers::SIZE_AND_LIMIT, IMAGE_CHUNK_TOO_LARGE_FORMAT},
    {PicRefusal::IMAGE_OUT_OF_MEMORY, RefusalNumbers::SIZE, IMAGE_OUT_OF_MEMORY_FORMAT},
    {PicRefusal::PICTURE_TOO_LARGE, RefusalNumbers::SIZE_AND_LIMIT, PICTURE_TOO_LARGE_FORMAT},
    {PicRefusal::STREAM_TOO_LONG, RefusalNumbers::BYTES_AND_LIMIT, STREAM_TOO_LONG_FORMAT},
    {PicRefusal::SAVE_OUT_OF_MEMORY, RefusalNumbers::SIZE, SAVE_OUT_OF_MEMORY_FORMAT},
    {PicRefusal::NOT_WRITTEN, RefusalNumbers::SYSTEM_ERROR, NOT_WRITTEN_FORMAT},
};
static_assert(CoversEveryRefusal(PIC_REFUSALS), "every refusal worded once, each format fitting its numbers");

// The image loader module.
constexpr const char* NO_MEMORY_FOR_FILE = "There is not enough memory to hold the PIC file";
constexpr const char* FILE_NOT_READ = "The PIC file could not be read";
constexpr const char* NO_MEMORY_TO_START = "There is not enough memory to start loading";
constexpr const char* NO_MEMORY_FOR_PIXELS_FORMAT = "There is not enough memory for %d x %d pixels";

// The GIMP plug-in: opening a file.
constexpr const char* OPENING_FORMAT = "Opening '%s'"; // the progress bar's text, with the file's name
constexpr const char* LAYER_NAME = "Background";
constexpr const char* NO_GIMP_IMAGE_FORMAT = "GIMP could not make an image of %d x %d pixels";
// Shown once the picture is open, when its data gave fewer pixels than it declares.
constexpr const char* DATA_ENDS_FORMAT = "The picture's data ends after %lld of %lld pixels; the rest is index 0";
// After the reason a file was not opened, when it held chunks of unknown tags.
constexpr const char* UNKNOWN_CHUNKS_IN_REFUSED_FORMAT =
    " (it holds %d chunks of unknown tags: is it a Fenwolds picture at all?)";
// After PicFile's message on the first chunk of an unknown tag, when there
// were more: "(and 2 more chunks of unknown tags after it: 0x4241 0x4443)",
// with " ..." before the ")" when not all their tags are listed.
constexpr const char* MORE_UNKNOWN_CHUNKS_FORMAT = "\n(and %d more chunk%s of unknown tags after it:";
constexpr const char* UNKNOWN_TAG_FORMAT = " 0x%04x";
constexpr const char* MORE_TAGS_NOT_LISTED = " ...";
constexpr const char* END_OF_TAGS = ")";

// The GIMP plug-in: exporting.
constexpr const char* FORMAT_NAME = "PIC"; // in "Export Image as PIC" and GIMP's other export texts
constexpr const char* SAVE_PALETTE_TOGGLE = "Save the _palette in the file";
constexpr const char* SAVE_PALETTE_NOTE = "Without it the game shows the picture in its default palette.\n"
                                          "Colours are kept with 6 bits per component.";
// "The layer is RGB with alpha; a PIC file holds ...", with one of the kinds below.
constexpr const char* NOT_INDEXED_FORMAT = "The layer is %s; a PIC file holds an indexed picture without alpha "
                                           "(Image > Mode > Indexed, Layer > Transparency > Remove Alpha Channel)";
constexpr const char* RGB_LAYER = "RGB";
constexpr const char* RGBA_LAYER = "RGB with alpha";
constexpr const char* GRAY_LAYER = "grayscale";
constexpr const char* GRAYA_LAYER = "grayscale with alpha";
constexpr const char* INDEXEDA_LAYER = "indexed with alpha";
constexpr const char* INDEXED_LAYER = "indexed";
// An RGB image opened from a PIC file goes back onto the palette and indices
// of the picture it was opened from; "%s" after a count of pixels is "s"
// unless the count is 1. Colours are red, green, blue from 0 to 255.
constexpr const char* UNMATCHED_COLORS_FORMAT =
    "The layer has %llu pixel%s in colours that the palette of the picture it was opened from lacks, the first "
    "at x %d, y %d in %d, %d, %d, nearest to palette index %d in %d, %d, %d; a PIC picture shows only its "
    "palette's colours (paint with hard edges in the colours of its entries)";
constexpr const char* TRANSLUCENT_FORMAT =
    "The layer has %llu pixel%s not fully opaque, the first at x %d, y %d with alpha %d; a PIC picture has no "
    "transparency (paint with hard edges at full opacity, or Layer > Transparency > Remove Alpha Channel)";
// Told after an export that wrote such pixels.
constexpr const char* LOWEST_CHOICES_FORMAT =
    "The export wrote the lowest of several palette entries of one colour for %llu pixel%s, where the picture it "
    "was opened from gave no index of that colour: the game shows them in the colours painted, though their "
    "indices may differ from the original's";
// The record a persistent parasite keeps (in an XCF file too) could not be
// read back, as after tampering: nothing is guessed.
constexpr const char* ORIGINAL_UNREADABLE_FORMAT =
    "The image's record of the PIC picture it was opened from cannot be read (%s); export it in indexed mode "
    "(Image > Mode > Indexed)";
// Told at opening a file too large to keep with the image.
constexpr const char* ORIGINAL_NOT_KEPT_FORMAT =
    "The file is %d bytes, more than the %d that an image keeps of the picture it was opened from: export it in "
    "indexed mode, since from RGB mode it would not get its own indices back";
constexpr const char* PALETTE_ARGUMENT_FORMAT =
    "The palette argument is %d; it is 0 (as remembered), 1 (write) or 2 (leave out)";

} // namespace DesktopMessages
