#include "bitmap/PLFileInput.h"

#include "bitmap/PLTextException.h"
#include "bitmap/PLTrace.h"

#include <climits>
#include <new>

PLFileInput::PLFileInput(PLProgressListener* progress) : PLInput(progress)
{
}

PLFileInput::~PLFileInput()
{
    if (m_file != Platform::INVALID_FILE)
        Close();
}

int PLFileInput::Open(const char* path)
{
    m_openFailure.clear();
    if (path == nullptr || *path == '\0')
        return -1;
    Platform::FileId file = Platform::OpenFile(path, Platform::OPEN_READ);
    if (file == Platform::INVALID_FILE)
        return -1;
    // Sizes and counts are signed 32-bit throughout the library; a larger
    // file is refused whole, never read as the part of it that fits.
    std::uint64_t size = Platform::FileSize(file);
    if (size > static_cast<std::uint64_t>(INT_MAX)) {
        Platform::CloseFile(file);
        m_openFailure =
            FormatText("%llu bytes, at most %d can be read", static_cast<unsigned long long>(size), INT_MAX);
        return -1;
    }
    // One byte more than the file keeps the buffer's address valid for an empty file.
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size + 1]);
    if (buffer == nullptr) {
        Platform::CloseFile(file);
        m_openFailure = FormatText("%llu byte%s, but there is not enough memory to read them",
                                   static_cast<unsigned long long>(size), size == 1 ? "" : "s");
        return -1;
    }
    m_file = file;
    m_buffer = std::move(buffer);
    m_fillEnd = m_position = m_buffer.get();
    m_bytesFromFile = 0;
    OpenNamed(path, static_cast<int>(size));
    Fill(FILL_BYTES);
    return 0;
}

void PLFileInput::Close()
{
    m_buffer.reset();
    m_fillEnd = m_position = nullptr;
    m_bytesFromFile = 0;
    PLInput::Close();
    Platform::CloseFile(m_file);
    m_file = Platform::INVALID_FILE;
}

void PLFileInput::Fill(int count)
{
    int left = Size() - m_bytesFromFile;
    int wanted = count < left ? count : left;
    if (wanted <= 0 || m_file == Platform::INVALID_FILE)
        return;
    int got = Platform::ReadFile(m_file, m_fillEnd, wanted);
    m_fillEnd += got;
    m_bytesFromFile += got;
}

const std::uint8_t* PLFileInput::Peek(int n)
{
    if (Buffered() < n)
        Fill(FILL_BYTES);
    return m_position;
}

const std::uint8_t* PLFileInput::Read(int n)
{
    CountRead(n);
    // The rest of the file in one go: the decoders read a row at a time, and
    // a system call for each row cost more than the whole decoding.
    if (Buffered() < n)
        Fill(Size() - m_bytesFromFile);
    // A file that shrank since it was opened delivers less than its size:
    // that is its end too, and no byte past what was read is handed out.
    if (Buffered() < n)
        throw PLTextException(11, "End of file reached while decoding.\n");
    std::uint8_t* start = m_position;
    m_position += n;
    return start;
}

const std::uint8_t* PLFileInput::ReadRest()
{
    Fill(Size() - m_bytesFromFile);
    return m_position;
}
