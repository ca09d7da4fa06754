#include "filemask.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quirex::app
{

namespace
{

bool sameLetter(QChar a, QChar b)
{
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

bool matchesMask(const QString &name, const QString &pattern)
{
    // Greedy match that falls back to the last '*' only: each '*' fixes the
    // text before it, so earlier stars never need to be revisited.
    int n = 0;
    int p = 0;
    int starAt = -1;
    int resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

MaskMatches expandFileMask(const QString &mask)
{
    MaskMatches result;
    const int slash = mask.lastIndexOf(QLatin1Char('/'));
    const QString folderPart = mask.left(slash + 1);
    const QString pattern = mask.mid(slash + 1);
    if (pattern.isEmpty())
        return result;
    const bool dotNames = pattern.startsWith(QLatin1Char('.'));

    QDir folder(folderPart.isEmpty() ? QStringLiteral(".") : folderPart);
    if (!folder.exists() || !QFileInfo(folder.path()).isReadable())
        return result;
    const QFileInfoList entries = folder.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList names;
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(QLatin1Char('.')) && !dotNames)
            continue;
        if (!matchesMask(name, pattern))
            continue;
        result.found = true;
        if (!entry.isDir())
            names.append(name);
    }
    std::sort(names.begin(), names.end());
    result.paths.reserve(names.size());
    for (const QString &name : qAsConst(names))
        result.paths.append(folderPart + name);
    return result;
}

} // namespace quirex::app
