// A source over bytes the caller keeps in memory for the source's lifetime.
#pragma once

#include "bitmap/PLInput.h"

class PLMemInput : public PLInput {
public:
    PLMemInput();
    ~PLMemInput() override;

    // Result 0; a null data or negative size gives an empty source.
    virtual int Open(const std::uint8_t* data, int size);
    const std::uint8_t* Peek(int n) override;
    const std::uint8_t* Read(int n) override;
    const std::uint8_t* ReadRest() override;

private:
    const std::uint8_t* m_position = nullptr;
};
