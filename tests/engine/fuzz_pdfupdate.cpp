// libFuzzer entry point for the PDF update: any file given to it either
// stays byte for byte what it was, or keeps its bytes and gets a complete
// update appended that reads back.
#include "pdfnavigation.h"
#include "pdfobjectreader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace quirex::engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("input.pdf"));
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<int>(size));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(input) != input.size())
            return 0;
    }
    PdfNavigation navigation;
    navigation.links.push_back({0, QRectF(1, 2, 3, 4), {0, 5, 6}, QString()});
    navigation.links.push_back({0, QRectF(1, 2, 3, 4), {}, QStringLiteral("https://a.b/(c)")});
    navigation.outline.push_back({QStringLiteral("T\u00FCtle"), 2, {0, 7, 8}});
    QString error;
    const bool added = addNavigation(path, navigation, &error);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray output = file.readAll();
    if (!added) {
        if (output != input || error.isEmpty())
            std::abort();
        return 0;
    }
    if (!output.startsWith(input) || !output.endsWith("%%EOF\n"))
        std::abort();
    PdfObjectReader reader;
    if (!reader.open(&file, &error))
        std::abort();
    return 0;
}
