#include "platform/win32/Win32Io.h"

namespace Platform {

namespace {

// Well inside a DWORD, and a size every system takes in one call.
constexpr std::size_t MAX_CALL_BYTES = 0x40000000u;

DWORD CallBytes(std::size_t left)
{
    return static_cast<DWORD>(left > MAX_CALL_BYTES ? MAX_CALL_BYTES : left);
}

} // namespace

std::size_t ReadFully(HANDLE file, void* buffer, std::size_t size)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!::ReadFile(file, bytes + done, CallBytes(size - done), &got, nullptr) || got == 0)
            break;
        done += got;
    }
    return done;
}

std::size_t WriteFully(HANDLE file, const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < size) {
        DWORD put = 0;
        if (!::WriteFile(file, bytes + done, CallBytes(size - done), &put, nullptr) || put == 0)
            break;
        done += put;
    }
    return done;
}

} // namespace Platform
