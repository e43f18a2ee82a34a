// Opening a PIC file as an indexed image: one layer of the file's palette
// indices, the colour map its palette as the converter gives it to a BMP file.
#include "desktop/common/PicPicture.h"
#include "desktop/gimp/PicPlugIn.h"
#include "pic/PicFile.h"

#include <cstdint>

namespace {

// Unknown chunks are told once per load: a damaged or foreign file can hold
// hundreds, and a message each would bury GIMP in dialogs. The first one's
// usual text, then how many more there were and the tags of a few.
class UnknownChunks {
public:
    void Add(std::uint16_t tag)
    {
        if (m_count < SHOWN_TAGS)
            m_tags[m_count] = tag;
        ++m_count;
    }
    int Count() const { return m_count; }
    std::string Report() const
    {
        if (m_count == 0)
            return {};
        std::string text = PicFile::UnknownChunkMessage(m_tags[0]);
        if (m_count == 1)
            return text;
        text += "\n(and " + std::to_string(m_count - 1) + " more chunk" + (m_count > 2 ? "s" : "") +
                " of unknown tags after it:";
        for (int i = 1; i < m_count && i < SHOWN_TAGS; ++i) {
            char tag[16];
            g_snprintf(tag, sizeof tag, " 0x%04x", static_cast<unsigned>(m_tags[i]));
            text += tag;
        }
        return text + (m_count > SHOWN_TAGS ? " ...)" : ")");
    }

private:
    static constexpr int SHOWN_TAGS = 8;
    std::uint16_t m_tags[SHOWN_TAGS] = {};
    int m_count = 0;
};

gint32 MakeImage(const PicPicture& picture, const char* filename)
{
    gint32 image = gimp_image_new(picture.Width(), picture.Height(), GIMP_INDEXED);
    if (image == -1)
        return -1;
    gimp_image_set_filename(image, filename);
    gimp_image_set_colormap(image, picture.ColourMap(), PALETTE_ENTRIES);
    gint32 layer = gimp_layer_new(image, "Background", picture.Width(), picture.Height(), GIMP_INDEXED_IMAGE, 100,
                                  gimp_image_get_default_new_layer_mode(image));
    if (layer == -1 || !gimp_image_insert_layer(image, layer, -1, 0)) {
        gimp_image_delete(image);
        return -1;
    }
    GeglBuffer* buffer = gimp_drawable_get_buffer(layer);
    const GeglRectangle whole = {0, 0, picture.Width(), picture.Height()};
    // The buffer's own format is the image's indexed one: one index per byte.
    gegl_buffer_set(buffer, &whole, 0, nullptr, picture.Pixels().Data(), GEGL_AUTO_ROWSTRIDE);
    g_object_unref(buffer);
    return image;
}

} // namespace

namespace PicPlugIn {

gint32 LoadImage(const char* filename, std::string& error)
{
    gimp_progress_init_printf("Opening '%s'", gimp_filename_to_utf8(filename));
    UnknownChunks unknown;
    PicPicture picture;
    picture.OnUnknownChunk = [&unknown](std::uint16_t tag) { unknown.Add(tag); };
    if (!picture.Load(filename)) {
        error = picture.Error();
        if (unknown.Count() > 0)
            error += " (it holds " + std::to_string(unknown.Count()) +
                     " chunks of unknown tags: is it a Fenwolds picture at all?)";
        return -1;
    }
    gint32 image = MakeImage(picture, filename);
    if (image == -1) {
        error = "GIMP could not make an image of " + std::to_string(picture.Width()) + " x " +
                std::to_string(picture.Height()) + " pixels";
        return -1;
    }
    RememberPalette(image, picture.HasPalette());
    if (unknown.Count() > 0)
        gimp_message(unknown.Report().c_str());
    gimp_progress_update(1.0);
    return image;
}

} // namespace PicPlugIn
