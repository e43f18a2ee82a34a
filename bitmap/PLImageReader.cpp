#include "bitmap/PLImageReader.h"

#include "bitmap/PLBitmap.h"
#include "bitmap/PLFileInput.h"
#include "bitmap/PLMemInput.h"
#include "bitmap/PLTextException.h"
#include "bitmap/PLTrace.h"

#include <cstdio>
#include <string>

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
    TraceMessage(1, FormatText("--- Decoding file %s. ---\n", path).c_str());
    auto source = std::make_unique<PLFileInput>(progress);
    int result = source->Open(path);
    if (result != 0) {
        std::string text = FormatText("Opening %s failed", path);
        if (!source->OpenFailure().empty())
            text += ": " + source->OpenFailure();
        ThrowDecoderError(result, text.c_str());
    }
    ReadHeaderFrom(std::move(source));
}

void PLImageReader::OpenMemory(const std::uint8_t* data, int size)
{
    Close();
    std::string address = FormatText("%p", static_cast<const void*>(data));
    TraceMessage(1, FormatText("--- Decoding from memory at %s. ---\n", address.c_str()).c_str());
    auto source = std::make_unique<PLMemInput>();
    int result = source->Open(data, size);
    if (result != 0)
        ThrowDecoderError(result, FormatText("Reading from memory at %s failed", address.c_str()).c_str());
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
        std::snprintf(text, sizeof text, "Depth conversion: %d bits per pixel wanted, the image has %d", wantedDepth,
                      announced);
        ThrowDecoderError(6, text);
    }
    CheckDataSize(HeaderSource());
    bitmap.CreateFromInfo(*this);
    ReadPixels(bitmap);
}

PLInput& PLImageReader::HeaderSource()
{
    if (m_source == nullptr)
        ThrowDecoderError(6, "Decoding: no image header has been read");
    return *m_source;
}

void PLImageReader::Close()
{
    if (m_source != nullptr)
        m_source->Close();
    m_source.reset();
}
