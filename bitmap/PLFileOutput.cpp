#include "bitmap/PLFileOutput.h"

#include "bitmap/PLTrace.h"

#include "platform/Platform.h"

#include <cerrno>
#include <new>

PLFileOutput::PLFileOutput() = default;

PLFileOutput::~PLFileOutput()
{
    if (m_open)
        Release();
}

int PLFileOutput::Open(const char* path, int capacity)
{
    if (path == nullptr || *path == '\0' || capacity < 0) {
        errno = ENOENT;
        return -1;
    }
    // Refused now, before any encoding, where a plain open would refuse it.
    int error = 0;
    if (!Platform::MayReplaceFile(path, error)) {
        errno = error;
        return -1;
    }
    std::unique_ptr<std::uint8_t[]> storage(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(capacity) + 1]);
    if (storage == nullptr) {
        errno = ENOMEM;
        return -1;
    }
    m_open = true;
    m_storage = std::move(storage);
    m_path = path;
    OpenNamed(path, m_storage.get(), capacity);
    return 0;
}

void PLFileOutput::Close()
{
    if (!m_open) {
        PLOutput::Close();
        return;
    }
    int error = 0;
    bool written = Platform::ReplaceFileContent(m_path.c_str(), Buffer(), static_cast<std::size_t>(Position()), error);
    std::string path = m_path;
    Release();
    if (!written) {
        ThrowDecoderError(-1,
                          FormatText("Writing %s failed: %s", path.c_str(), Platform::DescribeError(error)).c_str());
    }
}

void PLFileOutput::Release()
{
    m_open = false;
    m_storage.reset();
    m_path.clear();
    PLOutput::Close();
}
