#include "pic/PicRefusalWording.h"

#include "platform/Platform.h"

namespace {

const RefusalWording* FindWording(PicRefusal::Kind kind, const RefusalWording* table, std::size_t entries)
{
    for (std::size_t i = 0; i < entries; ++i) {
        if (table[i].kind == kind)
            return &table[i];
    }
    return nullptr;
}

} // namespace

CharString WordRefusal(const PicRefusal& refusal, const RefusalWording* table, std::size_t entries)
{
    CharString text;
    const RefusalWording* wording = FindWording(refusal.kind, table, entries);
    if (refusal.kind == PicRefusal::NONE || wording == nullptr)
        return text;
    // The formats were checked against these arguments where each table is made.
    const char* format = wording->format;
    auto bytes = static_cast<unsigned long long>(refusal.bytes);
    auto limit = static_cast<unsigned long long>(refusal.limit);
    const char* plural = bytes == 1 ? "" : "s";
    switch (wording->shows) {
    case RefusalNumbers::SIZE:
        return Format(text, format, refusal.width, refusal.height);
    case RefusalNumbers::SIZE_AND_LIMIT:
        return Format(text, format, refusal.width, refusal.height, limit, limit);
    case RefusalNumbers::BYTES_PLURAL:
        return Format(text, format, bytes, plural);
    case RefusalNumbers::BYTES_PLURAL_AND_LIMIT:
        return Format(text, format, bytes, plural, limit);
    case RefusalNumbers::BYTES_AND_LIMIT:
        return Format(text, format, bytes, limit);
    case RefusalNumbers::SYSTEM_ERROR:
        return Format(text, format, Platform::DescribeError(refusal.systemError));
    }
    return text;
}
