// A source over a resource of a Windows module (Windows builds only).
#pragma once

#include "bitmap/PLInput.h"

class PLResourceInput : public PLInput {
public:
    PLResourceInput();
    ~PLResourceInput() override;

    // Finds resource number resourceNumber (low 16 bits) of resourceType (raw
    // data when null) in the module whose instance handle is moduleInstance
    // (null: the program itself). 0 on success, 4 when the resource cannot be
    // found, loaded or locked.
    virtual int Open(void* moduleInstance, int resourceNumber, const char* resourceType = nullptr);
    const std::uint8_t* Peek(int n) override;
    const std::uint8_t* Read(int n) override;
    const std::uint8_t* ReadRest() override;

private:
    void* m_resource = nullptr;
    void* m_loaded = nullptr;
    const std::uint8_t* m_position = nullptr;
};
