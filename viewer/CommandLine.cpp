#include "viewer/CommandLine.h"

#include <cstring>

void TakeFileName(const char* commandLine, char* fileName, std::size_t capacity)
{
    if (capacity == 0)
        return;
    fileName[0] = '\0';
    if (commandLine == nullptr || commandLine[0] == '\0')
        return;
    const char* begin = commandLine;
    if (*begin == '"')
        ++begin;
    std::size_t length = std::strlen(begin);
    if (length > 0 && begin[length - 1] == '"')
        --length;
    if (length > capacity - 1)
        length = capacity - 1;
    std::memcpy(fileName, begin, length);
    fileName[length] = '\0';
}
