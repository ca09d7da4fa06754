#include "jobfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::app
{

JobFiles::JobFiles(const QString &written, const QString &videoCopy, bool staged)
    : m_staged(staged)
    , m_written(written)
    , m_videoCopy(videoCopy)
{
    m_videoCopyExisted = !videoCopy.isEmpty() && QFileInfo::exists(videoCopy);
    if (!staged)
        m_partsBefore = partFiles();
}

QSet<QString> JobFiles::partFiles() const
{
    QSet<QString> found;
    if (m_written.isEmpty())
        return found;
    const QFileInfo info(m_written);
    const QDir folder = info.absoluteDir();
    QStringList patterns{QLatin1Char('.') + info.fileName() + QLatin1String(".*.part")};
    if (!m_staged)
        patterns.append(QStringLiteral(".atomic.*.part"));
    const QStringList names = folder.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        found.insert(folder.filePath(name));
    return found;
}

void JobFiles::removeLeftovers(bool staged) const
{
    const QSet<QString> now = partFiles();
    for (const QString &path : now)
        if (!m_partsBefore.contains(path))
            QFile::remove(path);
    if (staged && !m_written.isEmpty())
        QFile::remove(m_written);
    if (!m_videoCopy.isEmpty() && !m_videoCopyExisted)
        QFile::remove(m_videoCopy);
}

QString stagingPath(const QString &target, int run, int index)
{
    const QFileInfo info(target);
    const QString suffix = info.suffix();
    QString name = QStringLiteral(".%1-%2-%3.staged").arg(::getpid()).arg(run).arg(index);
    if (!suffix.isEmpty() && suffix.size() < 32)
        name += QLatin1Char('.') + suffix;
    return info.absolutePath() + QLatin1Char('/') + name;
}

bool commitStaged(const QString &staged, const QString &target, QString *error)
{
    const QByteArray from = QFile::encodeName(staged);
    const QByteArray to = QFile::encodeName(target);
    const auto fail = [&](const QString &why) {
        *error = why;
        ::unlink(from.constData());
        return false;
    };
    struct stat existing {
    };
    if (::stat(to.constData(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode))
            return fail(QStringLiteral("%1 is a folder").arg(target));
        if (::chmod(from.constData(), existing.st_mode & 01777) != 0)
            return fail(QStringLiteral("cannot finish writing %1: %2")
                            .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (::rename(from.constData(), to.constData()) != 0)
        return fail(QStringLiteral("cannot put %1 in place: %2")
                        .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    return true;
}

} // namespace quirex::app
