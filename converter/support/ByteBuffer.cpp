#include "converter/support/ByteBuffer.h"

#include "converter/support/FileHandle.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// Sizes are signed 32-bit; growth that would pass INT_MAX is refused rather than wrapped.
int DoubledOrAtLeast(int capacity, int n)
{
    long long doubled = 2LL * capacity;
    if (doubled > n)
        return doubled > INT_MAX ? INT_MAX : static_cast<int>(doubled);
    return n;
}

} // namespace

ByteBuffer::~ByteBuffer()
{
    Clear();
}

int ByteBuffer::Clear()
{
    delete[] m_data;
    m_data = nullptr;
    m_capacity = 0;
    m_size = 0;
    Position = 0;
    GrowMode = 1;
    return 1;
}

int ByteBuffer::Reallocate(int newCapacity, int keep)
{
    auto* block = new (std::nothrow) unsigned char[static_cast<size_t>(newCapacity)];
    if (block == nullptr) {
        delete[] m_data;
        m_data = nullptr;
        m_capacity = 0;
        m_size = 0;
        return 0;
    }
    if (keep > 0)
        std::memcpy(block, m_data, static_cast<size_t>(keep));
    delete[] m_data;
    m_data = block;
    m_capacity = newCapacity;
    return 1;
}

int ByteBuffer::SetSize(int n)
{
    if (n < 0)
        return 0;
    if (n <= m_capacity) {
        m_size = n;
        return 1;
    }
    if (!Reserve(n))
        return 0;
    m_size = n;
    return 1;
}

int ByteBuffer::Reserve(int n)
{
    if (n <= m_capacity)
        return 1;
    int size = m_size;
    Clear();
    if (!Reallocate(n, 0))
        return 0;
    // The old bytes are gone; callers of Reserve overwrite the whole block.
    m_size = size;
    return 1;
}

int ByteBuffer::Resize(int n)
{
    if (n < 0)
        return 0;
    if (n < m_capacity) {
        m_size = n;
        return 1;
    }
    if (m_data == nullptr)
        return SetSize(n);
    int capacity = GrowMode == 1 ? DoubledOrAtLeast(m_capacity, n) : n;
    if (!Reallocate(capacity, m_size))
        return 0;
    m_size = n;
    return 1;
}

int ByteBuffer::Extend(int n)
{
    if (n > INT_MAX - m_size)
        return 0;
    return Resize(m_size + n);
}

void ByteBuffer::Append(const void* source, int n)
{
    if (n <= 0)
        return;
    int at = m_size;
    if (Extend(n))
        std::memcpy(m_data + at, source, static_cast<size_t>(n));
}

int ByteBuffer::Read(void* destination, int n)
{
    // A position past Size (after SetSize shrank the buffer) leaves nothing to read.
    int available = m_size - Position;
    int count = n > available ? available : n;
    if (count <= 0)
        return 0;
    std::memcpy(destination, m_data + Position, static_cast<size_t>(count));
    Position += count;
    return count;
}

int ByteBuffer::Seek(int offset, int origin)
{
    long long position;
    if (origin == 0)
        position = static_cast<long long>(Position) + offset;
    else if (origin < 0)
        position = static_cast<long long>(m_size) - offset;
    else
        position = offset;
    if (position < 0)
        position = 0;
    if (position > m_size)
        position = m_size;
    Position = static_cast<int>(position);
    return Position;
}

ByteBuffer& ByteBuffer::Assign(const ByteBuffer& other)
{
    if (&other == this)
        return *this;
    Clear();
    if (SetSize(other.m_size) && other.m_size > 0)
        std::memcpy(m_data, other.m_data, static_cast<size_t>(other.m_size));
    return *this;
}

int ByteBuffer::ReadFrom(FileHandle& file)
{
    long start = file.Seek(0, 0);
    std::uint64_t total = file.GetSize();
    if (start < 0 || static_cast<std::uint64_t>(start) >= total) {
        SetSize(0);
        return 1;
    }
    // Never cut to what fits: a file read as a smaller one is another file.
    std::uint64_t count = total - static_cast<std::uint64_t>(start);
    if (count > static_cast<std::uint64_t>(INT_MAX) || !SetSize(static_cast<int>(count))) {
        SetSize(0);
        return 0;
    }
    SetSize(file.Read(m_data, m_size));
    return 1;
}

void ByteBuffer::Adopt(std::unique_ptr<unsigned char[]> block, int size)
{
    Clear();
    if (block == nullptr || size <= 0)
        return;
    m_data = block.release();
    m_capacity = size;
    m_size = size;
}

int ByteBuffer::ResizeBy(int n, int increment)
{
    if (n <= 0) {
        delete[] m_data;
        m_data = nullptr;
        m_capacity = 0;
        m_size = 0;
        return 1;
    }
    if (n <= m_capacity) {
        m_size = n;
        return 1;
    }
    if (m_data == nullptr) {
        if (!Reallocate(n, 0))
            return 0;
        m_size = n;
        return 1;
    }
    long long capacity;
    if (GrowMode == 0) {
        capacity = static_cast<long long>(m_capacity) + increment;
        if (capacity < n)
            capacity = n;
    } else if (GrowMode == 1) {
        capacity = m_capacity;
        while (capacity < n)
            capacity *= 2;
    } else {
        capacity = increment < n ? n : increment;
    }
    if (capacity > INT_MAX)
        capacity = n;
    if (!Reallocate(static_cast<int>(capacity), m_size))
        return 0;
    m_size = n;
    return 1;
}

int ByteBuffer::ReserveKeep(int n)
{
    if (n <= m_capacity)
        return 1;
    if (m_data == nullptr) {
        int ok = Reserve(n);
        m_size = 0;
        return ok;
    }
    return Reallocate(n, m_size);
}

int ByteBuffer::ReserveMore(int n)
{
    if (n > INT_MAX - m_capacity)
        return 0;
    return ReserveKeep(m_capacity + n);
}

bool ByteBuffer::Swap(ByteBuffer& other)
{
    unsigned char* data = m_data;
    int capacity = m_capacity;
    int size = m_size;
    m_data = other.m_data;
    m_capacity = other.m_capacity;
    m_size = other.m_size;
    other.m_data = data;
    other.m_capacity = capacity;
    other.m_size = size;
    return true;
}

bool ByteBuffer::Equals(const ByteBuffer& other) const
{
    if (m_size != other.m_size)
        return false;
    return m_size == 0 || std::memcmp(m_data, other.m_data, static_cast<size_t>(m_size)) == 0;
}

bool ByteBuffer::LoadFile(const char* name)
{
    FileHandle file;
    if (!file.Open(name, 1))
        return false;
    ReadFrom(file);
    return true;
}

bool ByteBuffer::WriteTo(FileHandle& file) const
{
    return file.Write(m_data, m_size) == m_size;
}
