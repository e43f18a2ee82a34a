#include "desktop/common/PicPieces.h"

#include "desktop/common/PicPicture.h"

#include <climits>

bool PicPieces::Add(const unsigned char* data, std::size_t size)
{
    if (m_failed)
        return false;
    if (size == 0)
        return true;
    // ByteBuffer counts in int; Size() <= INT_MAX holds, so this cannot wrap.
    if (size > static_cast<std::size_t>(INT_MAX - m_bytes.Size())) {
        m_failed = true;
        m_bytes.Clear();
        return false;
    }
    int expected = m_bytes.Size() + static_cast<int>(size);
    m_bytes.Append(data, static_cast<int>(size));
    // A failed allocation leaves the buffer empty.
    if (m_bytes.Size() != expected) {
        m_failed = true;
        m_bytes.Clear();
        return false;
    }
    return true;
}

bool PicPieces::Finish(PicPicture& picture)
{
    if (m_failed)
        return false;
    return picture.Parse(m_bytes.Data(), m_bytes.Size());
}

bool PicPieces::FinishWithoutPixels(PicPicture& picture)
{
    if (m_failed)
        return false;
    return picture.ParseWithoutPixels(m_bytes.Data(), m_bytes.Size());
}
