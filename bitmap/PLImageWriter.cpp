#include "bitmap/PLImageWriter.h"

#include "bitmap/PLFileOutput.h"
#include "bitmap/PLTrace.h"

#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

PLImageWriter::PLImageWriter() = default;

PLImageWriter::~PLImageWriter() = default;

void PLImageWriter::EncodeFile(const char* path, const PLBitmap& bitmap)
{
    if (path == nullptr)
        path = "";
    TraceMessage(1, FormatText("--- Encoding file %s. ---\n", path).c_str());
    // The buffer is exactly the file: no estimate that a valid image could outgrow.
    std::uint64_t fileBytes = EncodedBytes(bitmap);
    if (fileBytes > INT_MAX) {
        ThrowDecoderError(6, FormatText("Encoding: the file would take %llu bytes, at most 2147483647",
                                        static_cast<unsigned long long>(fileBytes))
                                 .c_str());
    }
    PLFileOutput sink;
    int result = sink.Open(path, static_cast<int>(fileBytes));
    if (result != 0)
        ThrowDecoderError(result, FormatText("Opening %s failed: %s", path, Platform::DescribeError(errno)).c_str());
    // A failure here destroys the sink unclosed, which touches no file.
    EncodeTo(bitmap, sink);
    sink.Close();
}

void PLImageWriter::EncodeTo(const PLBitmap& bitmap, PLOutput& sink)
{
    WriteImage(bitmap, sink);
}
