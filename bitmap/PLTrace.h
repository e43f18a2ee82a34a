// Raising decoder errors, and the library's diagnostic trace: levelled
// messages appended to a trace file, silent unless SetTrace named one.
#pragma once

// Throws PLTextException(code, "Decoder error: <text>\n") after tracing it at
// level 0. A text too long for the 256-byte message is cut, keeping the
// prefix and the final newline.
[[noreturn]] void ThrowDecoderError(int code, const char* text);

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
