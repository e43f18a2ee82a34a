#include "desktop/common/RemappedPicture.h"

#include "converter/support/CharString.h"
#include "desktop/common/DesktopMessages.h"
#include "pic/PicSize.h"

namespace {

const char* PluralS(std::uint64_t count)
{
    return count == 1 ? "" : "s";
}

} // namespace

bool RemappedPicture::SetOriginal(const unsigned char* bytes, int size)
{
    m_mapper.reset();
    m_started = false;
    if (!m_original.Parse(bytes, size)) {
        m_error = m_original.Error();
        return false;
    }
    std::uint32_t palette[PALETTE_ENTRIES];
    for (int i = 0; i < PALETTE_ENTRIES; ++i)
        palette[i] = EntryFromRgb(LoadRgb(m_original.ColorMap() + 3 * i));
    // GIMP hands over 8 bits of each component, more than the game shows.
    m_mapper.emplace(palette, ComponentBits{});
    m_error.clear();
    return true;
}

bool RemappedPicture::Start(int width, int height, bool inPlace)
{
    m_started = false;
    // Without an original there is no palette to map onto; Error() says why.
    if (!m_mapper)
        return false;
    m_error = PicPicture::SizeRefusal(width, height);
    if (!m_error.empty())
        return false;
    if (!m_indices.SetSize(static_cast<int>(CountPixels(width, height)))) { // storable, so it fits
        m_error = DesktopMessages::NO_MEMORY;
        return false;
    }
    m_width = width;
    m_height = height;
    if (inPlace)
        m_mapper->SetReference(m_original.Pixels().Data(), m_original.Width(), m_original.Height());
    else
        m_mapper->SetReference(nullptr, 0, 0);
    m_mapper->Start(width, height);
    m_started = true;
    return true;
}

void RemappedPicture::MapRow(int y, const unsigned char* pixels, const PixelLayout& layout)
{
    if (!m_started || y < 0 || y >= m_height)
        return;
    unsigned char* row = m_indices.Data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
    // The picture's own indices went when it became colours: rule 2 has none.
    m_mapper->MapRow(y, pixels, layout, nullptr, row);
}

bool RemappedPicture::Finish(PicPicture& picture)
{
    // A picture that was not started has no pixels; Error() says why.
    if (!m_started)
        return false;
    if (!m_mapper->Succeeded()) {
        m_error = DescribeMisses();
        return false;
    }
    if (!picture.SetImage(m_width, m_height, m_indices.Data(), m_original.ColorMap(), PALETTE_ENTRIES)) {
        m_error = picture.Error();
        return false;
    }
    return true;
}

// Each kind of miss in a sentence of its own, the colours first: a soft
// brush makes both, and mending the colours may mend the alpha too.
std::string RemappedPicture::DescribeMisses() const
{
    std::string text;
    CharString part;
    const PaletteMapper::Misses& unmatched = m_mapper->Unmatched();
    if (unmatched.count > 0) {
        const Rgb color = RgbFromEntry(unmatched.color);
        const int nearest = m_mapper->NearestEntry(unmatched.color);
        const Rgb entry = LoadRgb(m_original.ColorMap() + 3 * nearest);
        text += Format(part, DesktopMessages::UNMATCHED_COLORS_FORMAT, static_cast<unsigned long long>(unmatched.count),
                       PluralS(unmatched.count), unmatched.x, unmatched.y, color.red, color.green, color.blue, nearest,
                       entry.red, entry.green, entry.blue)
                    .Text();
    }
    const PaletteMapper::Misses& translucent = m_mapper->Translucent();
    if (translucent.count > 0) {
        if (!text.empty())
            text += "\n";
        text += Format(part, DesktopMessages::TRANSLUCENT_FORMAT, static_cast<unsigned long long>(translucent.count),
                       PluralS(translucent.count), translucent.x, translucent.y, translucent.alpha)
                    .Text();
    }
    return text;
}

std::uint64_t RemappedPicture::LowestChoices() const
{
    return m_mapper ? m_mapper->LowestChoices() : 0;
}

std::string RemappedPicture::LowestChoicesNote() const
{
    const std::uint64_t count = LowestChoices();
    if (count == 0)
        return {};
    CharString text;
    return Format(text, DesktopMessages::LOWEST_CHOICES_FORMAT, static_cast<unsigned long long>(count), PluralS(count))
        .Text();
}
