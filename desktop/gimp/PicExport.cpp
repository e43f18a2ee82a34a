// Exporting an indexed drawable as a PIC file, through the converter's own
// writer: the same pixels and colour map give the same bytes as the converter
// writes from a BMP file. An RGB image opened from a PIC file goes back onto
// the palette and indices of the picture it was opened from instead, since
// GIMP's conversion to indexed would renumber its colours.
#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
#include "desktop/common/PicPicture.h"
#include "desktop/gimp/PicPlugIn.h"

#include <libgimp/gimpui.h>

#include <algorithm>
#include <vector>

namespace {

const char* DrawableKind(gint32 drawable)
{
    switch (gimp_drawable_type(drawable)) {
    case GIMP_RGB_IMAGE:
        return DesktopMessages::RGB_LAYER;
    case GIMP_RGBA_IMAGE:
        return DesktopMessages::RGBA_LAYER;
    case GIMP_GRAY_IMAGE:
        return DesktopMessages::GRAY_LAYER;
    case GIMP_GRAYA_IMAGE:
        return DesktopMessages::GRAYA_LAYER;
    case GIMP_INDEXEDA_IMAGE:
        return DesktopMessages::INDEXEDA_LAYER;
    default:
        return DesktopMessages::INDEXED_LAYER;
    }
}

bool IsRgb(gint32 drawable)
{
    GimpImageType type = gimp_drawable_type(drawable);
    return type == GIMP_RGB_IMAGE || type == GIMP_RGBA_IMAGE;
}

// What GIMP must do to the image first: merge layers, drop alpha, or turn
// RGB and grayscale into indexed colour. An image mapped back onto its
// original keeps its RGB, and its alpha for the export to check.
bool NeedsConversion(gint32 image, gint32 drawable, bool mapped)
{
    gint layers = 0;
    g_free(gimp_image_get_layers(image, &layers));
    return layers != 1 || !(mapped ? IsRgb(drawable) : gimp_drawable_type(drawable) == GIMP_INDEXED_IMAGE);
}

// The export dialog's one question; false when the user cancels.
bool AskForPalette(bool& withPalette)
{
    GtkWidget* dialog =
        gimp_export_dialog_new(DesktopMessages::FORMAT_NAME, PicPlugIn::BINARY, PicPlugIn::EXPORT_PROCEDURE);
    GtkWidget* area = gimp_export_dialog_get_content_area(dialog);
    GtkWidget* toggle = gtk_check_button_new_with_mnemonic(DesktopMessages::SAVE_PALETTE_TOGGLE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(toggle), withPalette);
    gtk_box_pack_start(GTK_BOX(area), toggle, FALSE, FALSE, 0);
    GtkWidget* note = gtk_label_new(DesktopMessages::SAVE_PALETTE_NOTE);
    gtk_misc_set_alignment(GTK_MISC(note), 0.0, 0.5);
    gtk_box_pack_start(GTK_BOX(area), note, FALSE, FALSE, 0);
    gtk_widget_show_all(dialog);
    bool confirmed = gimp_dialog_run(GIMP_DIALOG(dialog)) == GTK_RESPONSE_OK;
    withPalette = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(toggle));
    gtk_widget_destroy(dialog);
    return confirmed;
}

bool WriteDrawable(const char* filename, gint32 image, gint32 drawable, bool withPalette, std::string& error)
{
    if (gimp_drawable_type(drawable) != GIMP_INDEXED_IMAGE) {
        CharString text;
        error = Format(text, DesktopMessages::NOT_INDEXED_FORMAT, DrawableKind(drawable)).Text();
        return false;
    }
    int width = gimp_drawable_width(drawable);
    int height = gimp_drawable_height(drawable);
    error = PicPicture::SizeRefusal(width, height);
    if (!error.empty())
        return false;
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    GeglBuffer* buffer = gimp_drawable_get_buffer(drawable);
    const GeglRectangle whole = {0, 0, width, height};
    // The buffer's own indexed format: one colour map index per byte.
    gegl_buffer_get(buffer, &whole, 1.0, nullptr, pixels.data(), GEGL_AUTO_ROWSTRIDE, GEGL_ABYSS_NONE);
    g_object_unref(buffer);

    gint colors = 0;
    guchar* colorMap = gimp_image_get_colormap(image, &colors);
    PicPicture picture;
    bool written =
        picture.SetImage(width, height, pixels.data(), colorMap, colors) && picture.Save(filename, withPalette);
    g_free(colorMap);
    if (!written)
        error = picture.Error();
    return written;
}

// Rows fetched at a time: a few megabytes even for the widest picture.
constexpr int STRIP_ROWS = 64;

// The drawable's colours as 8-bit R'G'B'(A), whatever the image's precision,
// in its own colour space (no profile conversion moves a colour), row by row
// onto the original's palette.
bool MapDrawable(gint32 drawable, RemappedPicture& remapped, PicPicture& picture, std::string& error)
{
    int width = gimp_drawable_width(drawable);
    int height = gimp_drawable_height(drawable);
    gint x = 0;
    gint y = 0;
    gimp_drawable_offsets(drawable, &x, &y);
    // Moved, the layer's places are not the original's: they decide no tie.
    if (!remapped.Start(width, height, x == 0 && y == 0)) {
        error = remapped.Error();
        return false;
    }
    const bool alpha = gimp_drawable_has_alpha(drawable);
    const PixelLayout& layout = alpha ? RGBA_PIXELS : RGB_PIXELS;
    const Babl* format = babl_format_with_space(alpha ? "R'G'B'A u8" : "R'G'B' u8", gimp_drawable_get_format(drawable));
    const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(layout.bytes);
    std::vector<unsigned char> strip(rowBytes * STRIP_ROWS);
    GeglBuffer* buffer = gimp_drawable_get_buffer(drawable);
    for (int top = 0; top < height; top += STRIP_ROWS) {
        const int rows = std::min(STRIP_ROWS, height - top);
        const GeglRectangle area = {0, top, width, rows};
        gegl_buffer_get(buffer, &area, 1.0, format, strip.data(), static_cast<gint>(rowBytes), GEGL_ABYSS_NONE);
        for (int row = 0; row < rows; ++row)
            remapped.MapRow(top + row, strip.data() + static_cast<std::size_t>(row) * rowBytes, layout);
    }
    g_object_unref(buffer);
    if (!remapped.Finish(picture)) {
        error = remapped.Error();
        return false;
    }
    return true;
}

bool WriteMapped(const char* filename, gint32 drawable, RemappedPicture& remapped, bool withPalette, std::string& error)
{
    if (!IsRgb(drawable)) {
        CharString text;
        error = Format(text, DesktopMessages::NOT_INDEXED_FORMAT, DrawableKind(drawable)).Text();
        return false;
    }
    PicPicture picture;
    if (!MapDrawable(drawable, remapped, picture, error))
        return false;
    if (!picture.Save(filename, withPalette)) {
        error = picture.Error();
        return false;
    }
    // The file is right, but where the original gave no index it may differ
    // from the original although it shows no difference: the user is told.
    const std::string note = remapped.LowestChoicesNote();
    if (!note.empty())
        gimp_message(note.c_str());
    return true;
}

// Whether the export maps the image back onto the picture it was opened
// from: an RGB image that keeps one. False, with error set, when its record
// cannot be read. Read from the image itself: the copy GIMP's conversions
// make need not carry it.
bool FindOriginal(gint32 image, RemappedPicture& remapped, bool& mapped, std::string& error)
{
    mapped = false;
    if (gimp_image_base_type(image) != GIMP_RGB)
        return true;
    PicPlugIn::OriginalRecord record = PicPlugIn::ReadOriginal(image, remapped, error);
    mapped = record == PicPlugIn::OriginalRecord::READ;
    return record != PicPlugIn::OriginalRecord::UNREADABLE;
}

} // namespace

namespace PicPlugIn {

bool ExportImage(const char* filename, gint32 image, gint32 drawable, int paletteChoice, bool interactive,
                 bool& cancelled, std::string& error)
{
    bool withPalette =
        paletteChoice == PALETTE_WRITE || (paletteChoice == PALETTE_AS_REMEMBERED && RemembersPalette(image));
    RemappedPicture remapped;
    bool mapped = false;
    if (!FindOriginal(image, remapped, mapped, error))
        return false;
    // GIMP offers its conversions (to indexed, merged, without alpha) on a
    // copy, which is ours to delete; a batch run gets an error instead.
    gint32 exportImage = image;
    gint32 exportDrawable = drawable;
    GimpExportReturn exported = GIMP_EXPORT_IGNORE;
    if (interactive || NeedsConversion(image, drawable, mapped)) {
        if (interactive || gimp_default_display() != -1) {
            gimp_ui_init(BINARY, FALSE);
            exported = gimp_export_image(
                &exportImage, &exportDrawable, DesktopMessages::FORMAT_NAME,
                mapped ? static_cast<GimpExportCapabilities>(GIMP_EXPORT_CAN_HANDLE_RGB | GIMP_EXPORT_CAN_HANDLE_ALPHA)
                       : GIMP_EXPORT_CAN_HANDLE_INDEXED);
            if (exported == GIMP_EXPORT_CANCEL) {
                cancelled = true;
                return false;
            }
        }
    }
    bool written = false;
    if (!interactive || AskForPalette(withPalette))
        written = mapped ? WriteMapped(filename, exportDrawable, remapped, withPalette, error)
                         : WriteDrawable(filename, exportImage, exportDrawable, withPalette, error);
    else
        cancelled = true;
    if (exported == GIMP_EXPORT_EXPORT)
        gimp_image_delete(exportImage);
    // Only an explicit choice is remembered; "as remembered" keeps the record.
    if (written && (interactive || paletteChoice != PALETTE_AS_REMEMBERED))
        RememberPalette(image, withPalette);
    return written;
}

} // namespace PicPlugIn
