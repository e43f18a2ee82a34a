// A source over a whole file, read lazily into one buffer of the file's size
// (its first 4,096 bytes at once, the rest when a read needs more).
// The buffer never moves, so every address Read hands out stays valid until
// Close and no byte is ever copied out of it.
#pragma once

#include "bitmap/PLInput.h"

#include "platform/Platform.h"

#include <memory>
#include <string>

class PLFileInput : public PLInput {
public:
    explicit PLFileInput(PLProgressListener* progress = nullptr);
    ~PLFileInput() override;

    // 0 on success; -1 for an empty path, a file that cannot be opened (or is
    // a folder), one larger than a signed 32-bit size, or a buffer that cannot
    // be allocated. OpenFailure then tells the last two apart.
    virtual int Open(const char* path);
    // Why the last Open failed when the file itself was found; empty else.
    const std::string& OpenFailure() const { return m_openFailure; }
    void Close() override;
    // Peek reads up to 4,096 more bytes from the file when fewer than n are
    // buffered; Read then reads all the rest.
    const std::uint8_t* Peek(int n) override;
    const std::uint8_t* Read(int n) override;
    const std::uint8_t* ReadRest() override;

    static constexpr int FILL_BYTES = 4096;

private:
    // Reads min(count, what the file has left) more bytes to the fill end.
    void Fill(int count);
    int Buffered() const { return static_cast<int>(m_fillEnd - m_position); }

    Platform::FileId m_file = Platform::INVALID_FILE;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::uint8_t* m_fillEnd = nullptr;
    int m_bytesFromFile = 0;
    std::uint8_t* m_position = nullptr;
    std::string m_openFailure;
};
