// The gdk-pixbuf loader module for PIC files: viewers and thumbnailers built
// on gdk-pixbuf open them through it. It shows what the converter's BMP file
// of the picture shows, says nothing about unknown chunks, and fails for a
// file without a picture. Both ways in are served: the whole file at once,
// and the incremental one (begin, pieces, stop) that GdkPixbufLoader uses,
// where a caller (a thumbnailer) may ask for a size of its own: the picture
// is then made at that size, so a file that declares a huge picture and
// holds little costs what the size asked for costs.
#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
#include "desktop/common/PicPicture.h"
#include "desktop/common/PicPieces.h"
#include "desktop/common/PicRowScaler.h"

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

GdkPixbuf* PixbufWithoutMemory(int width, int height, GError** error)
{
    CharString text;
    Format(text, DesktopMessages::NO_MEMORY_FOR_PIXELS_FORMAT, width, height);
    Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, text.Text());
    return nullptr;
}

// RGB without alpha, of the size the caller asks for through sizeFunc (the
// picture's own without one), made row by row as the stream gives them: the
// picture is never held whole, as indices or colours, at any other size. The
// chunks are walked once all of them are in, since a palette chunk may follow
// the image it colours. Null, with error set, when the picture cannot be made;
// null without error when the caller wanted only the size.
GdkPixbuf* DecodePixbuf(PicPieces& pieces, GdkPixbufModuleSizeFunc sizeFunc, gpointer userData, GError** error)
{
    PicPicture picture;
    if (!pieces.FinishWithoutPixels(picture)) {
        if (pieces.OutOfMemory())
            Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, DesktopMessages::NO_MEMORY_FOR_FILE);
        else
            Fail(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, picture.Error());
        return nullptr;
    }
    int width = picture.Width();
    int height = picture.Height();
    // A caller that sets a side to 0 wanted only the size.
    if (sizeFunc != nullptr)
        sizeFunc(&width, &height, userData);
    if (width <= 0 || height <= 0)
        return nullptr;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
    if (pixbuf == nullptr)
        return PixbufWithoutMemory(width, height, error);
    PicRowScaler scaler;
    int decodedPixels = 0;
    if (!scaler.Start(picture.Width(), picture.Height(), width, height, picture.ColorMap(),
                      gdk_pixbuf_get_pixels(pixbuf), static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf))) ||
        !picture.DecodeRows(scaler, decodedPixels)) {
        g_object_unref(pixbuf);
        Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, DesktopMessages::NO_MEMORY);
        return nullptr;
    }
    // The rows past the data's end are index 0.
    scaler.Finish();
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
    return DecodePixbuf(pieces, nullptr, nullptr, error);
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

gboolean StopLoad(gpointer data, GError** error)
{
    auto* context = static_cast<LoadContext*>(data);
    GError* failure = nullptr;
    GdkPixbuf* pixbuf = DecodePixbuf(context->pieces, context->sizeFunc, context->userData, &failure);
    if (pixbuf != nullptr) {
        if (context->preparedFunc != nullptr)
            context->preparedFunc(pixbuf, nullptr, context->userData);
        if (context->updatedFunc != nullptr)
            context->updatedFunc(pixbuf, 0, 0, gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf),
                                 context->userData);
        g_object_unref(pixbuf);
    }
    delete context;
    if (failure == nullptr)
        return TRUE;
    g_propagate_error(error, failure);
    return FALSE;
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
