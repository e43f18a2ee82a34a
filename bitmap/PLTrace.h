// Raising decoder errors, and the library's diagnostic trace: levelled
// messages appended to a trace file, silent unless SetTrace named one.
#pragma once

#include <string>

// Throws PLTextException(code, "Decoder error: <text>\n") after tracing it at
// level 0. The message holds the whole text, however long: a file name in it
// is shown as given, and the reason after it is never cut off.
[[noreturn]] void ThrowDecoderError(int code, const char* text);

// printf-style formatting into a string of the length the text needs. The
// compiler checks each format against its arguments.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends text, unchanged (not a format), to the trace file when one is set
// and level does not exceed the trace level. A file that cannot be opened is
// skipped.
void TraceMessage(int level, const char* text);

// Sets the trace level; a non-null fileName starts a new, empty trace file of
// that name, null turns file tracing off.
void SetTrace(int level, const char* fileName);

// Turns file tracing off and leaves the level as it is (what a reader's
// destruction does).
void StopFileTrace();
