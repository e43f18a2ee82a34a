#include "bitmap/PLTrace.h"

#include "bitmap/PLTextException.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int INITIAL_TRACE_LEVEL = 5;
constexpr std::size_t ERROR_TEXT_BYTES = 256;

// Process-wide and unsynchronised: the programs that use the library are
// single-threaded.
int g_traceLevel = INITIAL_TRACE_LEVEL;
bool g_traceFileSet = false;
std::string g_traceFile;

} // namespace

void ThrowDecoderError(int code, const char* text)
{
    static const char PREFIX[] = "Decoder error: ";
    constexpr std::size_t prefixBytes = sizeof PREFIX - 1;
    // Room for the message between the prefix and the "\n" + terminator.
    constexpr std::size_t roomBytes = ERROR_TEXT_BYTES - prefixBytes - 2;
    if (text == nullptr)
        text = "";
    std::size_t textBytes = std::strlen(text);
    if (textBytes > roomBytes)
        textBytes = roomBytes;

    char message[ERROR_TEXT_BYTES];
    std::memcpy(message, PREFIX, prefixBytes);
    std::memcpy(message + prefixBytes, text, textBytes);
    message[prefixBytes + textBytes] = '\n';
    message[prefixBytes + textBytes + 1] = '\0';

    TraceMessage(0, message);
    throw PLTextException(code, message);
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
