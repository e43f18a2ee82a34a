// What the desktop programs (the GIMP plug-in, the image loader module) say
// about a PIC file they cannot read or write, in one place: the refusals of
// PicFile and PicPicture's own checks, worded for the users of those programs.
// They become the programs' error messages, so each is one sentence without a
// final stop: what is wrong, then what a PIC picture can be.
#pragma once

#include "pic/PicRefusalWording.h"

namespace DesktopMessages {

constexpr const char* FILE_NOT_OPENED = "The file cannot be opened for reading";
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

} // namespace DesktopMessages
