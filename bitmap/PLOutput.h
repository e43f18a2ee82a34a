// A data sink for the writers: one buffer of fixed capacity that refuses to
// overflow. What happens to the bytes at Close is up to the concrete sink.
#pragma once

#include "bitmap/PLObject.h"

#include <cstdint>
#include <string>

class PLOutput : public PLObject {
public:
    PLOutput();
    PLOutput(const PLOutput&) = delete;
    PLOutput& operator=(const PLOutput&) = delete;
    ~PLOutput() override;

    // Forgets name and buffer.
    virtual void Close();

    // Takes over a buffer of capacity bytes (not owned here); position 0.
    void OpenNamed(const char* name, std::uint8_t* buffer, int capacity);
    // Appends n bytes, or throws PLTextException (11) and writes nothing when
    // they do not fit.
    void Write(int n, const void* data);
    // Appends one byte, with the same capacity test as Write.
    void AppendByte(std::uint8_t value);

    const char* Name() const { return m_name.c_str(); }
    int Position() const { return m_position; }
    int Capacity() const { return m_capacity; }

protected:
    std::uint8_t* Buffer() const { return m_buffer; }

private:
    std::string m_name;
    std::uint8_t* m_buffer = nullptr;
    int m_capacity = 0;
    int m_position = 0;
};
