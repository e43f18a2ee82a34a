#include "bitmap/PLImageInfo.h"

#include "bitmap/PLTrace.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* INFO_FORMAT = "{ Size: (%i, %i), bpp: %i, Resolution: (%i, %i), Alpha: %i, Greyscale: %i }";
constexpr int INFO_FIELDS = 7;

} // namespace

PLImageInfo::PLImageInfo(PLPoint size, int bitsPerPixel, PLPoint resolution, bool hasAlpha, bool isGreyscale)
{
    SetInfo(size, bitsPerPixel, resolution, hasAlpha, isGreyscale);
}

PLImageInfo::~PLImageInfo() = default;

void PLImageInfo::SetInfo(PLPoint size, int bitsPerPixel, PLPoint resolution, bool hasAlpha, bool isGreyscale)
{
    m_width = size.x;
    m_height = size.y;
    m_bitsPerPixel = bitsPerPixel;
    m_resolutionX = resolution.x;
    m_resolutionY = resolution.y;
    m_hasAlpha = hasAlpha;
    m_isGreyscale = isGreyscale;
}

void PLImageInfo::SetResolution(PLPoint resolution)
{
    m_resolutionX = resolution.x;
    m_resolutionY = resolution.y;
}

bool PLImageInfo::operator==(const PLImageInfo& other) const
{
    return m_width == other.m_width && m_height == other.m_height && m_bitsPerPixel == other.m_bitsPerPixel &&
           m_resolutionX == other.m_resolutionX && m_resolutionY == other.m_resolutionY &&
           m_hasAlpha == other.m_hasAlpha && m_isGreyscale == other.m_isGreyscale;
}

void PLImageInfo::AsText(char* buffer, std::size_t bufferSize) const
{
    if (buffer == nullptr || bufferSize == 0)
        return;
    std::snprintf(buffer, bufferSize, INFO_FORMAT, m_width, m_height, m_bitsPerPixel, m_resolutionX, m_resolutionY,
                  m_hasAlpha ? 1 : 0, m_isGreyscale ? 1 : 0);
}

PLImageInfo PLImageInfo::FromText(const char* text)
{
    int width = 0, height = 0, bitsPerPixel = 0, resolutionX = 0, resolutionY = 0, alpha = 0, grey = 0;
    int fields = text == nullptr ? 0
                                 : std::sscanf(text, INFO_FORMAT, &width, &height, &bitsPerPixel, &resolutionX,
                                               &resolutionY, &alpha, &grey);
    if (fields != INFO_FIELDS) {
        char message[128];
        std::snprintf(message, sizeof message, "Image info text: %d fields expected, %d found", INFO_FIELDS,
                      fields < 0 ? 0 : fields);
        ThrowDecoderError(1, message);
    }
    return PLImageInfo({width, height}, bitsPerPixel, {resolutionX, resolutionY}, alpha != 0, grey != 0);
}
