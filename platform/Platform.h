// What the converter asks of the operating system, and nothing more. One
// implementation per platform (platform/win32, platform/posix); CMake compiles
// the one that fits, so no other code needs an #ifdef or a system header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// An open file. On Windows this is the HANDLE's value, so INVALID_FILE matches
// INVALID_HANDLE_VALUE; on POSIX it is the descriptor.
using FileId = std::intptr_t;
constexpr FileId INVALID_FILE = -1;

// Flag bits of OpenFile: read access, write access, create the file when it is
// missing. Without OPEN_CREATE only an existing file opens. No flag truncates.
constexpr int OPEN_READ = 1;
constexpr int OPEN_WRITE = 2;
constexpr int OPEN_CREATE = 4;

// Seek origins, numbered as the converter's FileHandle numbers them.
constexpr int SEEK_FROM_CURRENT = 0;
constexpr int SEEK_FROM_BEGIN = 1;
constexpr int SEEK_FROM_END = 2;

// Opens a regular file (never a directory); INVALID_FILE on failure.
FileId OpenFile(const char* name, int flags);
// Reads up to count bytes, fewer only at the end of the file; 0 on failure.
int ReadFile(FileId file, void* buffer, int count);
// Writes count bytes; returns the bytes written, less than count on failure.
int WriteFile(FileId file, const void* buffer, int count);
// Moves the file position; returns the new position, -1 on failure.
long SeekFile(FileId file, long distance, int origin);
// The file's size in bytes, whatever it is (sizes past 4 GiB included); 0 on
// failure. Callers decide what they can hold.
std::uint64_t FileSize(FileId file);
void CloseFile(FileId file);

// True for an existing file or directory, and whenever the system fails to
// answer for a reason other than a missing file or a missing folder.
bool PathExists(const char* path);

// The names of the directory entries that match the wildcard pattern's last
// component ('*' any run, '?' one character, letters matched without regard
// to case), without the pattern's directory part. "." and ".." are never
// reported. Empty when nothing matches or the directory cannot be read.
std::vector<std::string> FindMatches(const char* pattern);
// The pattern's directory part as typed, with its trailing separator ("art\"
// of "art\*.pic"); empty when the pattern names the current directory.
std::string FolderPart(const char* pattern);

// Why an operation on a file failed: a C runtime errno value (the Windows side
// maps its system's errors onto these), or NOT_A_FILE for a target that is a
// device, a pipe or the like, which a picture never replaces.
constexpr int NOT_A_FILE = -2;
// The words for such an error, the same in both builds.
const char* DescribeError(int error);

// False, with the error a plain open for writing would give, when
// ReplaceFileContent could not replace target: a folder, a file the user may
// not write, a file in a missing folder or in one that takes no new files.
// Looks only; changes nothing.
bool MayReplaceFile(const char* target, int& error);

// Makes size bytes at data the whole content of the file target, or leaves
// the file as it was (and no stray file beside it) and says why in error.
// What the user set on the file stays: a link keeps pointing where it did and
// its target gets the content; a file with other hard links stays one file;
// its permissions (and, for root, its owner and group; on Windows, its
// attributes) stay. A file the user may not write is refused, as a plain
// open would refuse it. Where it can, the new content goes to a temporary
// file beside the target, which then takes the target's place, so that the
// old content is never half overwritten; where the folder takes no new files
// or the target has other links, the file is written in place, its old
// content kept in memory and written back should the new one not go in whole.
bool ReplaceFileContent(const char* target, const void* data, std::size_t size, int& error);

// The rules for names of the system the program runs on. Windows file systems
// ignore case, its shell hands wildcard patterns to the program as typed, and
// a word starting with '/' is an option. POSIX file systems tell case apart,
// shells expand unquoted patterns into names, and '/' starts every absolute
// path.
enum class NameRules { WINDOWS, POSIX };
NameRules NativeNameRules();

// The name under which the file system finds name, as Windows would find it:
// name itself when it exists (or on Windows, which ignores case anyway); else,
// when exactly one entry of its folder equals its last part but for case,
// that entry joined to the folder as typed; else name itself.
std::string ResolveNameCase(const char* name);
// True when the file system takes both names for the same entry: equal on
// POSIX, equal but for case on Windows.
bool SameName(const char* left, const char* right);
// True when both names reach one existing file, under two names or links.
bool SameFile(const char* left, const char* right);

// The converter's one window: a modal box with an OK button. Off Windows the
// text goes to standard error, with bytes outside printable ASCII written as
// \xNN, and nothing waits, so batches never block.
void ShowMessage(const char* text, const char* caption);
// The running program's file name without its folder and its extension.
std::string ProgramName();

// Makes standard output carry exactly the bytes written to it (see the Windows
// side for why this is not a given).
void UseBinaryStandardOutput();

// Lets the process keep the memory it frees for its next blocks rather than
// hand it back to the system at once: a wildcard batch frees and allocates
// the same large blocks for every file, and each return costs the system
// calls and page faults of taking the memory back. Nothing where the
// allocator already keeps it.
void KeepFreedMemory();

} // namespace Platform
