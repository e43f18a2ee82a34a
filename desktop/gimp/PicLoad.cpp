// Opening a PIC file as an indexed image: one layer of the file's palette
// indices, the colour map its palette as the converter gives it to a BMP file,
// and the file itself kept with the image for an export from RGB mode.
#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
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
        CharString part;
        text += Format(part, DesktopMessages::MORE_UNKNOWN_CHUNKS_FORMAT, m_count - 1, m_count > 2 ? "s" : "").Text();
        for (int i = 1; i < m_count && i < SHOWN_TAGS; ++i)
            text += Format(part, DesktopMessages::UNKNOWN_TAG_FORMAT, static_cast<unsigned>(m_tags[i])).Text();
        if (m_count > SHOWN_TAGS)
            text += DesktopMessages::MORE_TAGS_NOT_LISTED;
        return text + DesktopMessages::END_OF_TAGS;
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
    gimp_image_set_colormap(image, picture.ColorMap(), PALETTE_ENTRIES);
    gint32 layer = gimp_layer_new(image, DesktopMessages::LAYER_NAME, picture.Width(), picture.Height(),
                                  GIMP_INDEXED_IMAGE, 100, gimp_image_get_default_new_layer_mode(image));
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
    gimp_progress_init_printf(DesktopMessages::OPENING_FORMAT, gimp_filename_to_utf8(filename));
    UnknownChunks unknown;
    PicPicture picture;
    picture.OnUnknownChunk = [&unknown](std::uint16_t tag) { unknown.Add(tag); };
    ByteBuffer file;
    if (!picture.Load(filename, file)) {
        error = picture.Error();
        CharString text;
        if (unknown.Count() > 0)
            error += Format(text, DesktopMessages::UNKNOWN_CHUNKS_IN_REFUSED_FORMAT, unknown.Count()).Text();
        return -1;
    }
    gint32 image = MakeImage(picture, filename);
    if (image == -1) {
        CharString text;
        error = Format(text, DesktopMessages::NO_GIMP_IMAGE_FORMAT, picture.Width(), picture.Height()).Text();
        return -1;
    }
    RememberPalette(image, picture.HasPalette());
    if (unknown.Count() > 0)
        gimp_message(unknown.Report().c_str());
    std::string dataEnds = picture.DataEndsNote();
    if (!dataEnds.empty())
        gimp_message(dataEnds.c_str());
    if (!RememberOriginal(image, file) && file.Size() > 0) {
        CharString text;
        gimp_message(
            Format(text, DesktopMessages::ORIGINAL_NOT_KEPT_FORMAT, file.Size(), RemappedPicture::MAX_ORIGINAL_BYTES)
                .Text());
    }
    gimp_progress_update(1.0);
    return image;
}

} // namespace PicPlugIn
