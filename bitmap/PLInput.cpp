#include "bitmap/PLInput.h"

#include "bitmap/PLProgressListener.h"
#include "bitmap/PLTrace.h"
#include "bitmap/PLTextException.h"

#include <cstdio>

namespace {

constexpr int PROGRESS_STEP = 1024;

} // namespace

PLInput::PLInput(PLProgressListener* progress) : m_progress(progress)
{
}

PLInput::~PLInput() = default;

void PLInput::OpenNamed(const char* name, int size)
{
    m_name = name != nullptr ? name : "";
    m_size = size < 0 ? 0 : size;
    m_consumed = 0;
}

void PLInput::Close()
{
    if (m_progress != nullptr)
        m_progress->OnProgress(1.0);
    m_name.clear();
    m_size = 0;
}

void PLInput::CountRead(int n)
{
    if (n < 0) {
        char text[80];
        std::snprintf(text, sizeof text, "Reading %d bytes: a count cannot be negative", n);
        ThrowDecoderError(11, text);
    }
    // consumed <= size holds, so this subtraction cannot wrap; consumed + n could.
    if (n > m_size - m_consumed)
        throw PLTextException(11, "End of file reached while decoding.\n");
    int old = m_consumed;
    m_consumed += n;
    if (m_progress != nullptr && old / PROGRESS_STEP < m_consumed / PROGRESS_STEP)
        m_progress->OnProgress(static_cast<double>(m_consumed) / m_size);
}

const std::uint8_t* PLInput::ReadInMemory(const std::uint8_t*& position, int n)
{
    CountRead(n);
    const std::uint8_t* start = position;
    if (n > 0)
        position += n;
    return start;
}
