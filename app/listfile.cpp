#include "listfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace quirex::app
{

namespace
{

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool parseList(const char *data, qint64 size, QStringList *paths)
{
    paths->clear();
    if (size <= 0 || std::memchr(data, '\0', size_t(size)))
        return false;
    qint64 at = 0;
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0)
        at = 3;
    while (at < size) {
        const void *lf = std::memchr(data + at, '\n', size_t(size - at));
        const qint64 lineEnd = lf ? static_cast<const char *>(lf) - data : size;
        qint64 begin = at;
        qint64 end = lineEnd;
        while (begin < end && isSpace(data[begin]))
            ++begin;
        while (end > begin && isSpace(data[end - 1]))
            --end;
        // Trimmed again after decoding: other blanks (no-break spaces, a
        // stray byte-order mark) must not become part of a path either.
        const QString path =
            QFile::decodeName(QByteArray(data + begin, int(end - begin))).trimmed();
        if (!path.isEmpty())
            paths->append(path);
        at = lineEnd + 1;
    }
    return true;
}

} // namespace

bool parseListText(const QByteArray &text, QStringList *paths)
{
    return parseList(text.constData(), text.size(), paths);
}

bool readListFile(const QString &path, QStringList *paths)
{
    paths->clear();
    // A device or pipe could be endless; only a regular file is a list.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size <= 0)
        return false;
    const uchar *mapped = file.map(0, size);
    if (!mapped)
        return false;
    const bool ok = parseList(reinterpret_cast<const char *>(mapped), size, paths);
    file.unmap(const_cast<uchar *>(mapped));
    return ok;
}

bool readListDescriptor(int fd, QStringList *paths)
{
    paths->clear();
    constexpr int kMaxListBytes = 256 << 20;
    std::vector<char> chunk(64 * 1024);
    QByteArray text;
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (std::memchr(chunk.data(), '\0', size_t(got)) || text.size() > kMaxListBytes - got)
            return false;
        text.append(chunk.data(), int(got));
    }
    return parseListText(text, paths);
}

bool readListInput(const QString &path, QStringList *paths)
{
    if (path == standardInputListName())
        return readListDescriptor(STDIN_FILENO, paths);
    return readListFile(path, paths);
}

} // namespace quirex::app
