#include "outputname.h"

#include "commandline.h"

namespace quirex::app
{

QString outputPathInFolder(const QString &input, const QString &folder, bool swapExtension,
                           const QString &extension)
{
    QString name = input.mid(input.lastIndexOf(QLatin1Char('/')) + 1);
    if (swapExtension)
        name = name.left(name.lastIndexOf(QLatin1Char('.')) + 1) + extension;
    else
        name += QLatin1Char('.') + extension;
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return trimmedToken(path + name);
}

QString numberedDocumentPath(const QString &folder,
                             const std::function<bool(const QString &)> &exists)
{
    const QString stem = (folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')) +
                         QStringLiteral("ConvertedDocument");
    QString path = stem + QStringLiteral(".pdf");
    for (int n = 1; exists(path); ++n)
        path = QStringLiteral("%1_%2.pdf").arg(stem).arg(n);
    return path;
}

} // namespace quirex::app
