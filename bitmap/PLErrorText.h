// The words for a system error number in the library's messages. The C
// runtimes of the Linux and the Windows build word some errors differently
// (and the systems report a path through a file differently), so the common
// errors get one wording here and a message reads the same on both.
#pragma once

// The text for errno value error; the C runtime's own text for numbers this
// table does not know.
const char* PLErrorText(int error);
