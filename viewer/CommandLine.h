// The viewer's command line: the whole text names one file, spaces included;
// one pair of enclosing double quotes is dropped.
#pragma once

#include <cstddef>

// Copies the file name out of commandLine into fileName (capacity bytes with
// the terminator). A name longer than that is cut, never overrun.
void TakeFileName(const char* commandLine, char* fileName, std::size_t capacity);
