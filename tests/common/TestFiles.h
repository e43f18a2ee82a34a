// Small file helpers for tests: a scratch folder that removes itself, and
// whole-file reads and writes.
#pragma once

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
// bytes, then zeros up to size bytes in all, left as a hole that costs no
// writing where the file system has holes: a file of gigabytes in an instant.
bool WriteSparseFile(const std::string& path, const Bytes& bytes, std::uint64_t size);
bool ReadBytes(const std::string& path, Bytes& bytes);
bool FileExists(const std::string& path);
