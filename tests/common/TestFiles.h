// Small file helpers for tests: a scratch folder that removes itself,
// whole-file reads and writes, and the numbers in files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // The folder's path joined with a file name.
    std::string operator/(const std::string& name) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

bool WriteBytes(const std::string& path, const Bytes& bytes);
// The path of the file name in folder, written with bytes, for the call that
// opens it. A file that cannot be written throws, which fails the test there.
std::string Written(const ScratchFolder& folder, const std::string& name, const Bytes& bytes);
// bytes, then zeros up to size bytes in all, left as a hole that costs no
// writing where the file system has holes: a file of gigabytes in an instant.
bool WriteSparseFile(const std::string& path, const Bytes& bytes, std::uint64_t size);
bool ReadBytes(const std::string& path, Bytes& bytes);
bool FileExists(const std::string& path);

// Numbers as PIC, BMP and icon files store them, least significant byte
// first, written out here apart from the code under test. A number read or
// put past the end throws, which fails the test there.
void AppendU16(Bytes& bytes, std::uint32_t value);
void AppendU32(Bytes& bytes, std::uint32_t value);
std::uint32_t U16At(const Bytes& bytes, std::size_t at);
std::uint32_t U32At(const Bytes& bytes, std::size_t at);
void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value);
