#include "bitmap/PLTrace.h"

#include "bitmap/PLTextException.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int INITIAL_TRACE_LEVEL = 5;

// Process-wide and unsynchronised: the programs that use the library are
// single-threaded.
int g_traceLevel = INITIAL_TRACE_LEVEL;
bool g_traceFileSet = false;
std::string g_traceFile;

} // namespace

void ThrowDecoderError(int code, const char* text)
{
    std::string message = "Decoder error: ";
    message += text != nullptr ? text : "";
    message += '\n';
    TraceMessage(0, message.c_str());
    throw PLTextException(code, message.c_str());
}

std::string FormatText(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

void TraceMessage(int level, const char* text)
{
    if (level > g_traceLevel || !g_traceFileSet || text == nullptr)
        return;
    std::FILE* file = std::fopen(g_traceFile.c_str(), "a");
    if (file == nullptr)
        return;
    std::fputs(text, file);
    std::fclose(file);
}

void SetTrace(int level, const char* fileName)
{
    g_traceLevel = level;
    g_traceFile.clear();
    g_traceFileSet = fileName != nullptr;
    if (fileName != nullptr) {
        g_traceFile = fileName;
        // Each configuration starts an empty trace.
        std::remove(fileName);
    }
}

void StopFileTrace()
{
    g_traceFile.clear();
    g_traceFileSet = false;
}
