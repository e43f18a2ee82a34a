#include "tests/common/TestFiles.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path path =
        fs::temp_directory_path() / ("cantrel-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path);
    m_path = path.string();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

std::string ScratchFolder::operator/(const std::string& name) const
{
    return (fs::path(m_path) / name).string();
}

std::vector<std::string> ScratchFolder::Names() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string Written(const ScratchFolder& folder, const std::string& name, const Bytes& bytes)
{
    std::string path = folder / name;
    if (!WriteBytes(path, bytes))
        throw std::runtime_error("cannot write " + path);
    return path;
}

bool WriteSparseFile(const std::string& path, const Bytes& bytes, std::uint64_t size)
{
    if (!WriteBytes(path, bytes))
        return false;
    std::error_code error;
    fs::resize_file(path, size, error);
    return !error;
}

bool ReadBytes(const std::string& path, Bytes& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(path, ignored);
}

void AppendU16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void AppendU32(Bytes& bytes, std::uint32_t value)
{
    AppendU16(bytes, value & 0xFFFF);
    AppendU16(bytes, value >> 16);
}

std::uint32_t U16At(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t{bytes.at(at)} | std::uint32_t{bytes.at(at + 1)} << 8;
}

std::uint32_t U32At(const Bytes& bytes, std::size_t at)
{
    return U16At(bytes, at) | U16At(bytes, at + 2) << 16;
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}
