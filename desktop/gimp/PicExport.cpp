// Exporting an indexed drawable as a PIC file, through the converter's own
// writer: the same pixels and colour map give the same bytes as the converter
// writes from a BMP file.
#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
#include "desktop/common/PicPicture.h"
#include "desktop/gimp/PicPlugIn.h"

#include <libgimp/gimpui.h>

#include <cstring>
#include <vector>

namespace {

constexpr const char* WITH_PALETTE = "with";
constexpr const char* WITHOUT_PALETTE = "without";

const char* DrawableKind(gint32 drawable)
{
    switch (gimp_drawable_type(drawable)) {
    case GIMP_RGB_IMAGE: return DesktopMessages::RGB_LAYER;
    case GIMP_RGBA_IMAGE: return DesktopMessages::RGBA_LAYER;
    case GIMP_GRAY_IMAGE: return DesktopMessages::GRAY_LAYER;
    case GIMP_GRAYA_IMAGE: return DesktopMessages::GRAYA_LAYER;
    case GIMP_INDEXEDA_IMAGE: return DesktopMessages::INDEXEDA_LAYER;
    default: return DesktopMessages::INDEXED_LAYER;
    }
}

// What GIMP must do to the image first: merge layers, drop alpha, or turn
// RGB and grayscale into indexed colour.
bool NeedsConversion(gint32 image, gint32 drawable)
{
    gint layers = 0;
    g_free(gimp_image_get_layers(image, &layers));
    return layers != 1 || gimp_drawable_type(drawable) != GIMP_INDEXED_IMAGE;
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

    gint colours = 0;
    guchar* colourMap = gimp_image_get_colormap(image, &colours);
    PicPicture picture;
    bool written = picture.SetImage(width, height, pixels.data(), colourMap, colours) &&
                   picture.Save(filename, withPalette);
    g_free(colourMap);
    if (!written)
        error = picture.Error();
    return written;
}

} // namespace

namespace PicPlugIn {

bool RemembersPalette(gint32 image)
{
    GimpParasite* parasite = gimp_image_get_parasite(image, PALETTE_PARASITE);
    if (parasite == nullptr)
        return true;
    bool without = gimp_parasite_data_size(parasite) == std::strlen(WITHOUT_PALETTE) &&
                   std::memcmp(gimp_parasite_data(parasite), WITHOUT_PALETTE, std::strlen(WITHOUT_PALETTE)) == 0;
    gimp_parasite_free(parasite);
    return !without;
}

void RememberPalette(gint32 image, bool withPalette)
{
    const char* value = withPalette ? WITH_PALETTE : WITHOUT_PALETTE;
    // Persistent, so that an XCF file keeps the choice for the next export.
    GimpParasite* parasite =
        gimp_parasite_new(PALETTE_PARASITE, GIMP_PARASITE_PERSISTENT, static_cast<guint32>(std::strlen(value)), value);
    gimp_image_attach_parasite(image, parasite);
    gimp_parasite_free(parasite);
}

bool ExportImage(const char* filename, gint32 image, gint32 drawable, int paletteChoice, bool interactive,
                 bool& cancelled, std::string& error)
{
    bool withPalette =
        paletteChoice == PALETTE_WRITE || (paletteChoice == PALETTE_AS_REMEMBERED && RemembersPalette(image));
    // GIMP offers its conversions (to indexed, merged, without alpha) on a
    // copy, which is ours to delete; a batch run gets an error instead.
    gint32 exportImage = image;
    gint32 exportDrawable = drawable;
    GimpExportReturn exported = GIMP_EXPORT_IGNORE;
    if (interactive || NeedsConversion(image, drawable)) {
        if (interactive || gimp_default_display() != -1) {
            gimp_ui_init(BINARY, FALSE);
            exported = gimp_export_image(&exportImage, &exportDrawable, DesktopMessages::FORMAT_NAME,
                                         GIMP_EXPORT_CAN_HANDLE_INDEXED);
            if (exported == GIMP_EXPORT_CANCEL) {
                cancelled = true;
                return false;
            }
        }
    }
    bool written = false;
    if (!interactive || AskForPalette(withPalette))
        written = WriteDrawable(filename, exportImage, exportDrawable, withPalette, error);
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
