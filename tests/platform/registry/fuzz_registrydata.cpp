// libFuzzer entry point for the registry file parser. Whatever the bytes, parsing ends with a
// tree or a refusal, and a tree's file form reads back as the same tree.
#include "registrydata.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using quirex::platform::RegistryData;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto parsed = RegistryData::parse(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size)));
    if (!parsed)
        return 0;
    const QByteArray text = parsed->serialize();
    const auto again = RegistryData::parse(text);
    if (!again || !(*again == *parsed) || again->serialize() != text)
        std::abort();
    return 0;
}
