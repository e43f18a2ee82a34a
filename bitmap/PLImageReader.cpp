#include "bitmap/PLImageReader.h"

#include "bitmap/PLBitmap.h"
#include "bitmap/PLFileInput.h"
#include "bitmap/PLMemInput.h"
#include "bitmap/PLTextException.h"
#include "bitmap/PLTrace.h"

#include <cstdio>
#include <string>

namespace {

// The path can be long; the message is cut where it is raised.
std::string Formatted(const char* format, const char* path)
{
    std::string text(std::snprintf(nullptr, 0, format, path) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, path);
    text.pop_back();
    return text;
}

} // namespace

PLImageReader::PLImageReader() = default;

PLImageReader::~PLImageReader()
{
    StopFileTrace();
}

void PLImageReader::DecodeFile(const char* path, PLBitmap& bitmap, int wantedDepth, PLProgressListener* progress)
{
    OpenFile(path, progress);
    DecodeAndClose(bitmap, wantedDepth);
}

void PLImageReader::DecodeMemory(const std::uint8_t* data, int size, PLBitmap& bitmap, int wantedDepth,
                                 PLProgressListener*)
{
    OpenMemory(data, size);
    DecodeAndClose(bitmap, wantedDepth);
}

void PLImageReader::OpenFile(const char* path, PLProgressListener* progress)
{
    Close();
    if (path == nullptr)
        path = "";
    TraceMessage(1, Formatted("--- Decoding file %s. ---\n", path).c_str());
    auto source = std::make_unique<PLFileInput>(progress);
    int result = source->Open(path);
    if (result != 0) {
        std::string text = Formatted("Opening %s failed", path);
        if (!source->OpenFailure().empty())
            text += ": " + source->OpenFailure();
        ThrowDecoderError(result, text.c_str());
    }
    ReadHeaderFrom(std::move(source));
}

void PLImageReader::OpenMemory(const std::uint8_t* data, int size)
{
    Close();
    char address[32];
    std::snprintf(address, sizeof address, "%p", static_cast<const void*>(data));
    TraceMessage(1, Formatted("--- Decoding from memory at %s. ---\n", address).c_str());
    auto source = std::make_unique<PLMemInput>();
    int result = source->Open(data, size);
    if (result != 0)
        ThrowDecoderError(result, Formatted("Reading from memory at %s failed", address).c_str());
    ReadHeaderFrom(std::move(source));
}

void PLImageReader::ReadHeaderFrom(std::unique_ptr<PLInput> source)
{
    m_source = std::move(source);
    try {
        ReadHeader(*m_source);
    } catch (const PLTextException&) {
        Close();
        throw;
    }
}

void PLImageReader::DecodeAndClose(PLBitmap& bitmap, int wantedDepth)
{
    try {
        DecodeInto(bitmap, wantedDepth);
    } catch (const PLTextException&) {
        Close();
        throw;
    }
    Close();
}

void PLImageReader::DecodeInto(PLBitmap& bitmap, int wantedDepth)
{
    int announced = BitsPerPixel();
    if (wantedDepth != 0 && wantedDepth < announced)
        throw PLTextException(6, "Image bit depth doesn't match request.");
    if (wantedDepth > announced) {
        // Conversion to a deeper bitmap is not part of this library.
        char text[128];
        std::snprintf(text, sizeof text, "Depth conversion: %d bits per pixel wanted, the image has %d",
                      wantedDepth, announced);
        ThrowDecoderError(6, text);
    }
    if (m_source == nullptr)
        ThrowDecoderError(6, "Decoding: no image header has been read");
    CheckDataSize(*m_source);
    bitmap.CreateFromInfo(*this);
    ReadPixels(bitmap);
}

void PLImageReader::Close()
{
    if (m_source != nullptr)
        m_source->Close();
    m_source.reset();
}
