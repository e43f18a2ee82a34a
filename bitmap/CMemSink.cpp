#include "bitmap/CMemSink.h"

#include "bitmap/PLTextException.h"

#include <new>

CMemSink::CMemSink() = default;

CMemSink::~CMemSink() = default;

void CMemSink::Close()
{
    m_storage.reset();
    PLOutput::Close();
}

int CMemSink::Open(const char* name, int capacity)
{
    if (capacity < 0)
        return -1;
    std::unique_ptr<std::uint8_t[]> storage(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(capacity) + 1]);
    if (storage == nullptr)
        return -1;
    m_storage = std::move(storage);
    OpenNamed(name, m_storage.get(), capacity);
    return 0;
}

std::uint8_t* CMemSink::GetBuffer()
{
    if (m_storage == nullptr)
        throw PLTextException(7, "Open was not called for CMemSink");
    return m_storage.get();
}
