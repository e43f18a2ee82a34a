// What an image opened from a PIC file remembers for its exports, as
// persistent parasites, so that an XCF file of it keeps them too: whether the
// file had a palette chunk, and the file itself.
#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
#include "desktop/gimp/PicPlugIn.h"

#include <climits>
#include <cstring>

namespace {

constexpr const char* WITH_PALETTE = "with";
constexpr const char* WITHOUT_PALETTE = "without";

void Attach(gint32 image, const char* name, const void* data, std::size_t size)
{
    GimpParasite* parasite = gimp_parasite_new(name, GIMP_PARASITE_PERSISTENT, static_cast<guint32>(size), data);
    gimp_image_attach_parasite(image, parasite);
    gimp_parasite_free(parasite);
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
    Attach(image, PALETTE_PARASITE, value, std::strlen(value));
}

bool RememberOriginal(gint32 image, const ByteBuffer& file)
{
    if (file.Size() <= 0 || file.Size() > RemappedPicture::MAX_ORIGINAL_BYTES)
        return false;
    Attach(image, ORIGINAL_PARASITE, file.Data(), static_cast<std::size_t>(file.Size()));
    return true;
}

OriginalRecord ReadOriginal(gint32 image, RemappedPicture& remapped, std::string& error)
{
    GimpParasite* parasite = gimp_image_get_parasite(image, ORIGINAL_PARASITE);
    if (parasite == nullptr)
        return OriginalRecord::NONE;
    const glong size = gimp_parasite_data_size(parasite);
    bool read =
        size >= 0 && size <= INT_MAX &&
        remapped.SetOriginal(static_cast<const unsigned char*>(gimp_parasite_data(parasite)), static_cast<int>(size));
    gimp_parasite_free(parasite);
    if (read)
        return OriginalRecord::READ;
    CharString text;
    error = Format(text, DesktopMessages::ORIGINAL_UNREADABLE_FORMAT,
                   remapped.Error().empty() ? DesktopMessages::NO_IMAGE_CHUNK : remapped.Error().c_str())
                .Text();
    return OriginalRecord::UNREADABLE;
}

} // namespace PicPlugIn
