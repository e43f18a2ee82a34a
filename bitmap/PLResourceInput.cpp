#include "bitmap/PLResourceInput.h"

#include <cstdio>

#include <windows.h>

namespace {

constexpr int RESOURCE_NOT_AVAILABLE = 4;

} // namespace

PLResourceInput::PLResourceInput() = default;

PLResourceInput::~PLResourceInput() = default;

int PLResourceInput::Open(void* moduleInstance, int resourceNumber, const char* resourceType)
{
    auto module = static_cast<HMODULE>(moduleInstance);
    LPCSTR type = resourceType != nullptr ? resourceType : MAKEINTRESOURCEA(10); // RT_RCDATA
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceNumber & 0xFFFF), type);
    if (resource == nullptr)
        return RESOURCE_NOT_AVAILABLE;
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr)
        return RESOURCE_NOT_AVAILABLE;
    const void* data = LockResource(loaded);
    if (data == nullptr)
        return RESOURCE_NOT_AVAILABLE;
    // Resources are never freed explicitly: they live as long as their module.
    m_resource = resource;
    m_loaded = loaded;
    m_position = static_cast<const std::uint8_t*>(data);
    char name[32];
    std::snprintf(name, sizeof name, "Resource: %i", resourceNumber & 0xFFFF);
    OpenNamed(name, static_cast<int>(SizeofResource(module, resource)));
    return 0;
}

const std::uint8_t* PLResourceInput::Peek(int)
{
    return m_position;
}

const std::uint8_t* PLResourceInput::Read(int n)
{
    return ReadInMemory(m_position, n);
}

const std::uint8_t* PLResourceInput::ReadRest()
{
    return m_position;
}
