// libFuzzer entry point for the video step's rewriting and attribute lookup. Whatever the bytes,
// the text before the first element is kept, a text without elements comes back unchanged, and
// a looked-up value is a piece of the markup (with both quotes when quoted).
#include "videoreplacement.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QByteArray result = replaceVideoElements(text);
    const int first = text.size() > 1 ? text.indexOf("<video", 1) : -1;
    if (first < 0 && result != text)
        std::abort();
    if (first >= 0 && result.left(first) != text.left(first))
        std::abort();
    for (const char *name : {"width", "height", "poster"}) {
        const QByteArray value = videoAttributeValue(text, name);
        if (!value.isEmpty() && !text.contains(value))
            std::abort();
        if (value.startsWith('"') && (value.size() < 2 || !value.endsWith('"')))
            std::abort();
    }
    return 0;
}
