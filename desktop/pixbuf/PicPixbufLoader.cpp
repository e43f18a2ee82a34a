// The gdk-pixbuf loader module for PIC files: viewers and thumbnailers built
// on gdk-pixbuf open them through it. It shows what the converter's BMP file
// of the picture shows, says nothing about unknown chunks, and fails for a
// file without a picture. Both ways in are served: the whole file at once,
// and the incremental one (begin, pieces, stop) that GdkPixbufLoader uses.
#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
#include "desktop/common/PicPicture.h"
#include "desktop/common/PicPieces.h"

#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>

#include <cstdio>
#include <new>

namespace {

struct LoadContext {
    GdkPixbufModuleSizeFunc sizeFunc;
    GdkPixbufModulePreparedFunc preparedFunc;
    GdkPixbufModuleUpdatedFunc updatedFunc;
    gpointer userData;
    PicPieces pieces;
};

bool Fail(GError** error, GdkPixbufError code, const std::string& text)
{
    g_set_error_literal(error, GDK_PIXBUF_ERROR, code, text.c_str());
    return false;
}

bool ReadPicture(PicPieces& pieces, PicPicture& picture, GError** error)
{
    if (pieces.Finish(picture))
        return true;
    if (pieces.OutOfMemory())
        return Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, DesktopMessages::NO_MEMORY_FOR_FILE);
    return Fail(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, picture.Error());
}

// RGB without alpha: every index through the colour map.
GdkPixbuf* MakePixbuf(const PicPicture& picture, GError** error)
{
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, picture.Width(), picture.Height());
    if (pixbuf == nullptr) {
        CharString text;
        Format(text, DesktopMessages::NO_MEMORY_FOR_PIXELS_FORMAT, picture.Width(), picture.Height());
        Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, text.Text());
        return nullptr;
    }
    guchar* rows = gdk_pixbuf_get_pixels(pixbuf);
    auto rowStride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf));
    auto width = static_cast<std::size_t>(picture.Width());
    const unsigned char* index = picture.Pixels().Data();
    const unsigned char* colors = picture.ColorMap();
    for (int y = 0; y < picture.Height(); ++y) {
        guchar* out = rows + static_cast<std::size_t>(y) * rowStride;
        for (std::size_t x = 0; x < width; ++x, ++index, out += 3) {
            const unsigned char* rgb = colors + 3 * *index;
            out[0] = rgb[0];
            out[1] = rgb[1];
            out[2] = rgb[2];
        }
    }
    return pixbuf;
}

GdkPixbuf* LoadWhole(FILE* file, GError** error)
{
    PicPieces pieces;
    unsigned char piece[65536];
    std::size_t got = 0;
    while ((got = std::fread(piece, 1, sizeof piece, file)) > 0) {
        if (!pieces.Add(piece, got)) {
            Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, DesktopMessages::NO_MEMORY_FOR_FILE);
            return nullptr;
        }
    }
    if (std::ferror(file)) {
        Fail(error, GDK_PIXBUF_ERROR_FAILED, DesktopMessages::FILE_NOT_READ);
        return nullptr;
    }
    PicPicture picture;
    if (!ReadPicture(pieces, picture, error))
        return nullptr;
    return MakePixbuf(picture, error);
}

gpointer BeginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                   GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error)
{
    auto* context = new (std::nothrow) LoadContext{sizeFunc, preparedFunc, updatedFunc, userData, {}};
    if (context == nullptr)
        Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, DesktopMessages::NO_MEMORY_TO_START);
    return context;
}

gboolean LoadIncrement(gpointer data, const guchar* buffer, guint size, GError** error)
{
    auto* context = static_cast<LoadContext*>(data);
    if (!context->pieces.Add(buffer, size))
        return Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, DesktopMessages::NO_MEMORY_FOR_FILE);
    return TRUE;
}

// The chunks are walked once all of them are in: a palette chunk may follow
// the image it colours.
gboolean StopLoad(gpointer data, GError** error)
{
    auto* context = static_cast<LoadContext*>(data);
    PicPicture picture;
    bool loaded = ReadPicture(context->pieces, picture, error);
    GdkPixbuf* pixbuf = nullptr;
    if (loaded) {
        int width = picture.Width();
        int height = picture.Height();
        // A caller that sets a side to 0 wanted only the size.
        if (context->sizeFunc != nullptr)
            context->sizeFunc(&width, &height, context->userData);
        if (width > 0 && height > 0)
            pixbuf = MakePixbuf(picture, error);
        loaded = pixbuf != nullptr || width <= 0 || height <= 0;
    }
    if (pixbuf != nullptr) {
        if (context->preparedFunc != nullptr)
            context->preparedFunc(pixbuf, nullptr, context->userData);
        if (context->updatedFunc != nullptr)
            context->updatedFunc(pixbuf, 0, 0, picture.Width(), picture.Height(), context->userData);
        g_object_unref(pixbuf);
    }
    delete context;
    return loaded;
}

} // namespace

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module)
{
    module->load = LoadWhole;
    module->begin_load = BeginLoad;
    module->stop_load = StopLoad;
    module->load_increment = LoadIncrement;
}

G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info)
{
    // The first chunk's tag: a palette chunk, or the image chunk of a file
    // without a palette. Two bytes say little, hence the low relevance.
    static GdkPixbufModulePattern signature[] = {
        {const_cast<gchar*>("M0"), nullptr, 30},
        {const_cast<gchar*>("X0"), nullptr, 30},
        {nullptr, nullptr, 0},
    };
    static gchar* mimeTypes[] = {const_cast<gchar*>("image/x-fenwolds-pic"), nullptr};
    static gchar* extensions[] = {const_cast<gchar*>("pic"), nullptr};
    info->name = const_cast<gchar*>("fenwolds-pic");
    info->signature = signature;
    info->description = const_cast<gchar*>("Fenwolds PIC picture");
    info->mime_types = mimeTypes;
    info->extensions = extensions;
    info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
    info->license = const_cast<gchar*>("MIT");
}

} // extern "C"
