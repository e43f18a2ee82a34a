// What the converter asks of the operating system, and nothing more. One
// implementation per platform (platform/win32, platform/posix); CMake compiles
// the one that fits, so no other code needs an #ifdef or a system header.
#pragma once

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
std::string DirectoryPart(const char* pattern);

// A name for a temporary file in the same folder as target, not in use at the
// time of the call; empty when none is free. Writers put their output there
// first and move it over the target only when all of it was written.
std::string TemporaryNameBeside(const char* target);
// Moves from over to, replacing an existing file; false when that fails.
bool RenameOver(const char* from, const char* to);
// Deletes a file; false when that fails.
bool RemoveFile(const char* path);

// The converter's one window: a modal box with an OK button. Off Windows the
// text goes to standard error and nothing waits, so batches never block.
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
