#include "bitmap/PLImageWriter.h"

#include "bitmap/PLErrorText.h"
#include "bitmap/PLFileOutput.h"
#include "bitmap/PLTrace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Formatted(const char* format, const char* path, const char* detail = "")
{
    std::string text(std::snprintf(nullptr, 0, format, path, detail) + 1, '\0');
    std::snprintf(&text[0], text.size(), format, path, detail);
    text.pop_back();
    return text;
}

} // namespace

PLImageWriter::PLImageWriter() = default;

PLImageWriter::~PLImageWriter() = default;

void PLImageWriter::EncodeFile(const char* path, const PLBitmap& bitmap)
{
    if (path == nullptr)
        path = "";
    TraceMessage(1, Formatted("--- Encoding file %s. ---\n", path).c_str());
    // The buffer is exactly the file: no estimate that a valid image could outgrow.
    std::uint64_t fileBytes = EncodedBytes(bitmap);
    if (fileBytes > INT_MAX) {
        char text[160];
        std::snprintf(text, sizeof text, "Encoding: the file would take %llu bytes, at most 2147483647",
                      static_cast<unsigned long long>(fileBytes));
        ThrowDecoderError(6, text);
    }
    PLFileOutput sink;
    int result = sink.Open(path, static_cast<int>(fileBytes));
    if (result != 0)
        ThrowDecoderError(result, Formatted("Opening %s failed: %s", path, PLErrorText(errno)).c_str());
    // A failure here destroys the sink unclosed, which discards its temporary file.
    EncodeTo(bitmap, sink);
    sink.Close();
}

void PLImageWriter::EncodeTo(const PLBitmap& bitmap, PLOutput& sink)
{
    WriteImage(bitmap, sink);
}
