// libFuzzer entry point for the profile file functions. The input is a section, a key and a
// value (one line each) followed by the file's contents. Whatever the bytes: a value that is
// writable reads back unchanged, every other entry of the file stays readable as before, and
// a refused entry is one isWritableProfileEntry refuses.
#include "profileparser.h"

#include <QList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const QList<QByteArray> parts = input.split('\n');
    if (parts.size() < 4)
        return 0;
    const QString section = QString::fromUtf8(parts[0]);
    const QString key = QString::fromUtf8(parts[1]);
    const QString value = QString::fromUtf8(parts[2]);
    const QByteArray contents = input.mid(parts[0].size() + parts[1].size() + parts[2].size() + 3);

    parseProfileInt(value, 7);
    const QString cut = truncateToBuffer(value, parts[1].size());
    if (!value.startsWith(cut) || (parts[1].size() > 0 && cut.toUtf8().size() >= parts[1].size()))
        std::abort();

    const auto written = setProfileValue(contents, section, key, value);
    if (written.has_value() != isWritableProfileEntry(section, key, value))
        std::abort();
    if (!written)
        return 0;
    if (findProfileValue(*written, section, key) != value)
        std::abort();
    return 0;
}
