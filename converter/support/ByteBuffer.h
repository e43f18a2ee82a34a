// The converter's growable byte block with a read position: a PIC file while
// its chunks are walked, codec output, palettes, pixels, and the storage under
// CharString. Operations answer 1/true for success and 0/false for failure;
// nothing throws, and a failed allocation leaves the buffer empty.
#pragma once

#include <memory>

class FileHandle;

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer&) = delete; // copies are explicit: Assign
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    virtual ~ByteBuffer();

    int Clear();
    unsigned char* Data() const { return m_data; }
    int Size() const { return m_size; }
    int Capacity() const { return m_capacity; }

    // Size changes that do not keep the bytes (callers overwrite them all).
    int SetSize(int n);
    int Reserve(int n);
    // Size changes that keep the bytes.
    int Resize(int n);
    int Extend(int n);
    void Append(const void* source, int n);

    int Read(void* destination, int n);
    int Seek(int offset, int origin);
    ByteBuffer& Assign(const ByteBuffer& other);
    // The file from its position to its end; 0, with the buffer empty, when
    // the bytes cannot be held (more than a signed 32-bit size, or more than
    // memory allows).
    int ReadFrom(FileHandle& file);
    // Takes over size bytes at block, which new[] allocated as this buffer
    // allocates its own, and frees the block it held: a block made elsewhere
    // (a decoder's pixels) becomes the buffer's without a copy.
    void Adopt(std::unique_ptr<unsigned char[]> block, int size);

    void SetGrowMode(int mode) { GrowMode = mode; }
    int ResizeBy(int n, int increment);
    int ReserveKeep(int n);
    int ReserveMore(int n);
    bool Swap(ByteBuffer& other);
    bool Equals(const ByteBuffer& other) const;
    bool LoadFile(const char* name);
    bool WriteTo(FileHandle& file) const;

    // Owners read and set the cursor directly (the PIC chunk walk does).
    int Position = 0;
    // 1 doubles on growth, 0 adds ResizeBy's increment, anything else is exact.
    int GrowMode = 1;

private:
    // Replaces the block by a fresh one of newCapacity bytes holding the first
    // keep bytes of the old one; on failure the buffer is left empty.
    int Reallocate(int newCapacity, int keep);

    unsigned char* m_data = nullptr;
    int m_capacity = 0;
    int m_size = 0;
};
