#include "converter/BatchGuard.h"

#include "platform/Platform.h"

BatchGuard::BatchGuard(std::vector<std::string> inputs, const PaletteOptions& palettes) : m_inputs(std::move(inputs))
{
    for (const char* name : palettes.ListFiles())
        m_paletteFiles.push_back(Platform::ResolveNameCase(name));
}

BatchGuard::Conflict BatchGuard::Check(const std::string& input, const char* output, std::string& from) const
{
    // An output and the matches lie in one folder and are spelled alike, so
    // comparing names suffices there; a palette file may be named any way.
    std::string target = Platform::ResolveNameCase(output);
    for (const std::string& other : m_inputs) {
        if (other != input && Platform::SameName(other.c_str(), target.c_str()))
            return OTHER_INPUT;
    }
    for (const auto& written : m_written) {
        if (Platform::SameName(written.first.c_str(), target.c_str())) {
            from = written.second;
            return WRITTEN;
        }
    }
    for (const std::string& palette : m_paletteFiles) {
        if (Platform::SameName(palette.c_str(), target.c_str()) || Platform::SameFile(palette.c_str(), target.c_str()))
            return PALETTE_FILE;
    }
    return NONE;
}

void BatchGuard::NoteWritten(const std::string& input, const char* output)
{
    m_written.emplace_back(Platform::ResolveNameCase(output), input);
}
