// The GIMP file plug-in for Fenwolds PIC pictures: its procedures' names and
// the two halves that do the work.
#pragma once

#include "converter/support/ByteBuffer.h"
#include "desktop/common/RemappedPicture.h"

#include <libgimp/gimp.h>

#include <string>

namespace PicPlugIn {

constexpr const char* LOAD_PROCEDURE = "file-fenwolds-pic-load";
constexpr const char* EXPORT_PROCEDURE = "file-fenwolds-pic-export";
constexpr const char* BINARY = "file-fenwolds-pic";
constexpr const char* MIME_TYPE = "image/x-fenwolds-pic";
// How GIMP knows a PIC file whose name does not end in .pic: the mime type's
// magic as far as GIMP's can say it, offset, type and value in threes, "&"
// after an offset joining it with the next. A palette chunk first (GIMP
// cannot look for the image chunk anywhere within a range, as the mime type
// does), or an image chunk first whose stream starts with the code width 11.
constexpr const char* MAGIC = "0,string,M0,0&,string,X0,8,byte,11";

// The image's record of its palette chunk: "with" or "without". Loading sets
// it from the file; exporting with an explicit choice sets it to that choice,
// and exporting "as remembered" reads it. An image without it gets the chunk.
constexpr const char* PALETTE_PARASITE = "fenwolds-pic-palette";

// The export procedure's palette argument.
constexpr int PALETTE_AS_REMEMBERED = 0;
constexpr int PALETTE_WRITE = 1;
constexpr int PALETTE_LEAVE_OUT = 2;

// The new image's ID, or -1 with error set.
gint32 LoadImage(const char* filename, std::string& error);
// paletteChoice is one of the PALETTE_ values; interactive runs ask the user,
// starting from it. False with error set when nothing was written; cancelled
// is set when the user called it off.
bool ExportImage(const char* filename, gint32 image, gint32 drawable, int paletteChoice, bool interactive,
                 bool& cancelled, std::string& error);

// Whether an export "as remembered" writes the palette chunk.
bool RemembersPalette(gint32 image);
void RememberPalette(gint32 image, bool withPalette);

// The image's record of the PIC file it was opened from: the file's own
// bytes, which give its palette and indices back exactly as they were opened,
// wherever the file has gone since. An export of the image in RGB mode maps
// its colours back onto them.
constexpr const char* ORIGINAL_PARASITE = "fenwolds-pic-original";

// False, keeping no record, when the file is larger than a record holds.
bool RememberOriginal(gint32 image, const ByteBuffer& file);
enum class OriginalRecord { NONE, READ, UNREADABLE };
// The record read into remapped; UNREADABLE with error set when it is there
// but holds no picture.
OriginalRecord ReadOriginal(gint32 image, RemappedPicture& remapped, std::string& error);

} // namespace PicPlugIn
