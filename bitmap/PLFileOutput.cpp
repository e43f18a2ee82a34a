#include "bitmap/PLFileOutput.h"

#include "bitmap/PLErrorText.h"
#include "bitmap/PLTrace.h"

#include "platform/Platform.h"

#include <cerrno>
#include <cstring>
#include <new>

PLFileOutput::PLFileOutput() = default;

PLFileOutput::~PLFileOutput()
{
    if (m_stream != nullptr)
        Discard();
}

int PLFileOutput::Open(const char* path, int capacity)
{
    if (path == nullptr || *path == '\0' || capacity < 0) {
        errno = ENOENT;
        return -1;
    }
    std::unique_ptr<std::uint8_t[]> storage(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(capacity) + 1]);
    if (storage == nullptr) {
        errno = ENOMEM;
        return -1;
    }
    std::string temporaryPath = Platform::TemporaryNameBeside(path);
    std::FILE* stream = std::fopen(temporaryPath.c_str(), "wb");
    if (stream == nullptr)
        return -1;
    m_stream = stream;
    m_storage = std::move(storage);
    m_path = path;
    m_temporaryPath = temporaryPath;
    OpenNamed(path, m_storage.get(), capacity);
    return 0;
}

void PLFileOutput::Close()
{
    if (m_stream == nullptr) {
        PLOutput::Close();
        return;
    }
    // A short write or a failed close (a full disk shows there) is a failed
    // save, never a truncated file reported as written.
    auto bytes = static_cast<std::size_t>(Position());
    int error = 0;
    errno = 0;
    if (bytes > 0 && std::fwrite(Buffer(), 1, bytes, m_stream) != bytes)
        error = errno != 0 ? errno : EIO;
    errno = 0;
    if (std::fclose(m_stream) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    m_stream = nullptr;
    bool moved = error == 0 && Platform::RenameOver(m_temporaryPath.c_str(), m_path.c_str());
    if (!moved)
        Platform::RemoveFile(m_temporaryPath.c_str());

    std::string path = m_path;
    m_storage.reset();
    m_path.clear();
    m_temporaryPath.clear();
    PLOutput::Close();

    char text[512];
    if (error != 0) {
        std::snprintf(text, sizeof text, "Writing %s failed: %s", path.c_str(), PLErrorText(error));
        ThrowDecoderError(-1, text);
    }
    if (!moved) {
        std::snprintf(text, sizeof text, "Replacing %s failed: the finished file could not take its place",
                      path.c_str());
        ThrowDecoderError(-1, text);
    }
}

void PLFileOutput::Discard()
{
    std::fclose(m_stream);
    m_stream = nullptr;
    Platform::RemoveFile(m_temporaryPath.c_str());
    m_storage.reset();
    m_path.clear();
    m_temporaryPath.clear();
    PLOutput::Close();
}
