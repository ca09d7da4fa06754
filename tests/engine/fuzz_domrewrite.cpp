// libFuzzer entry point for the markup rewriting. Checks the properties every
// result must have whatever the input: values are pieces of the markup, and
// the paragraph pass only ever adds markers.
#include "domrewrite.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString markup =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<int>(size));

    for (const char *name : {"width", "height", "poster", " ", "=", "\""}) {
        const QString value = GetAttributeValue(markup, QString::fromLatin1(name));
        if (!markup.contains(value))
            std::abort();
    }

    const QString replacement = videoReplacement(markup);
    if (replacement != QLatin1String("VIDEO") && !replacement.startsWith(QLatin1String("<img ")))
        std::abort();

    const MarkedParagraph marked = insertParagraphMarkers(markup);
    const int added = marked.markup.size() - markup.size();
    if (!marked.changed && marked.markup != markup)
        std::abort();
    if (marked.changed && (added <= 0 || added % paragraphMarker.size() != 0))
        std::abort();
    if (marked.changed && markup.size() <= paragraphLengthThreshold)
        std::abort();
    return 0;
}
