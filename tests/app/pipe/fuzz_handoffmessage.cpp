// libFuzzer entry point for the hand-off message decoder. Whatever the bytes, the text holds no
// NUL, is never longer than the whole UTF-16 units received, and encodes back to the bytes it
// was read from; the registry form of it never begins or ends with a double quote.
#include "handoffmessage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QString text = decodeHandOffMessage(bytes);
    if (text.size() > bytes.size() / 2 || text.contains(QChar(0)))
        std::abort();
    if (!text.isEmpty() && !bytes.startsWith(encodeHandOffMessage(text)))
        std::abort();
    const QString stored = handOffRegistryText(text);
    if (stored.startsWith(QLatin1Char('"')) || stored.endsWith(QLatin1Char('"')) ||
        !text.contains(stored))
        std::abort();
    return 0;
}
