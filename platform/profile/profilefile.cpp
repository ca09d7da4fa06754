#include "profilefile.h"

#include "profileparser.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quirex::platform
{

namespace
{

// The file's contents; nothing when it exists but cannot be read, empty when
// it does not exist.
std::optional<QByteArray> readContents(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<QString> lookUp(const QString &path, const QString &section, const QString &key)
{
    if (path.isEmpty())
        return std::nullopt;
    const std::optional<QByteArray> contents = readContents(path);
    if (!contents)
        return std::nullopt;
    return findProfileValue(*contents, section, key);
}

} // namespace

QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int bufferBytes)
{
    return truncateToBuffer(lookUp(path, section, key).value_or(defaultValue), bufferBytes);
}

int readProfileInt(const QString &path, const QString &section, const QString &key,
                   int defaultValue)
{
    const std::optional<QString> value = lookUp(path, section, key);
    return value ? parseProfileInt(*value, defaultValue) : defaultValue;
}

bool writeProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    const std::optional<QByteArray> contents = readContents(path);
    if (!contents)
        return false;
    const std::optional<QByteArray> updated = setProfileValue(*contents, section, key, value);
    if (!updated)
        return false;
    QSaveFile file(path);
    // Without the folder there is nothing to write into; QSaveFile never makes it.
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(*updated) != updated->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace quirex::platform
