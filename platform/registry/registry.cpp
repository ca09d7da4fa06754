#include "registry.h"

#include "atomicfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::platform
{

namespace
{

enum class FileState { Missing, Unreadable, Valid, Damaged };

struct Contents {
    FileState state = FileState::Missing;
    RegistryData data;
    QByteArray bytes;
    QVector<int> badLines;
};

std::mutex reporterMutex;
Registry::DamageReporter damageReporter;
// The damaged files already reported, by path, size and time of change: a
// file is named once, not at every read.
QSet<QString> reportedDamage;

void reportDamage(const QString &path, const QVector<int> &badLines)
{
    const QFileInfo info(path);
    const QString identity = QStringLiteral("%1|%2|%3")
                                 .arg(info.absoluteFilePath())
                                 .arg(info.size())
                                 .arg(info.lastModified().toMSecsSinceEpoch());
    Registry::DamageReporter reporter;
    {
        const std::lock_guard<std::mutex> lock(reporterMutex);
        if (!damageReporter || reportedDamage.contains(identity))
            return;
        reportedDamage.insert(identity);
        reporter = damageReporter;
    }
    reporter(path, badLines);
}

Contents readContents(const QString &path)
{
    Contents contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (QFileInfo::exists(path))
            contents.state = FileState::Unreadable;
        return contents;
    }
    contents.bytes = file.readAll();
    contents.data = RegistryData::parseGoodLines(contents.bytes, &contents.badLines);
    contents.state = contents.badLines.isEmpty() ? FileState::Valid : FileState::Damaged;
    if (contents.state == FileState::Damaged)
        reportDamage(path, contents.badLines);
    return contents;
}

// What tells one version of a file from another: a change in place moves its
// time of change, a replacement gives it a new inode.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileIdentity &other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

// The last file read and what it held: every object creation looks its
// component up, and the file seldom changes between two.
std::mutex lastReadMutex;
QString lastReadPath;
FileIdentity lastReadIdentity;
Contents lastReadContents;

// readContents(), parsed again only when the file changed since the last read.
Contents readCurrentContents(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return readContents(path);
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    identity.changed = info.st_ctim;
    {
        const std::lock_guard<std::mutex> lock(lastReadMutex);
        if (path == lastReadPath && identity == lastReadIdentity)
            return lastReadContents;
    }
    // Taken before the read: a file replaced meanwhile has another identity
    // at the next read, which then reads it again.
    Contents contents = readContents(path);
    if (contents.state == FileState::Valid || contents.state == FileState::Damaged) {
        const std::lock_guard<std::mutex> lock(lastReadMutex);
        lastReadPath = path;
        lastReadIdentity = identity;
        lastReadContents = contents;
    }
    return contents;
}

// Writes `bytes` to a new file beside `path` and renames it over `path`; a
// new file is private to the user.
bool replaceFile(const QString &path, const QByteArray &bytes)
{
    AtomicFile file(path);
    file.setNewFileMode(0600);
    return file.open() && file.write(bytes) && file.commit();
}

} // namespace

void Registry::setDamageReporter(DamageReporter reporter)
{
    const std::lock_guard<std::mutex> lock(reporterMutex);
    damageReporter = std::move(reporter);
}

QString Registry::damageNotice(const QString &path, const QVector<int> &lines)
{
    QStringList numbers;
    for (const int line : lines)
        numbers.append(QString::number(line));
    return QStringLiteral("the registry file %1 is damaged: line %2 skipped; the next change "
                          "keeps a copy of it as %1.corrupt")
        .arg(path, numbers.join(QStringLiteral(", ")));
}

void Registry::reportDamageOnStandardError(const QString &program)
{
    setDamageReporter([program](const QString &path, const QVector<int> &lines) {
        const QByteArray bytes =
            (program + QStringLiteral(": ") + damageNotice(path, lines) + QLatin1Char('\n'))
                .toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    });
}

namespace
{

// Holds an exclusive flock on "<path>.lock" for its lifetime.
class FileLock final
{
public:
    explicit FileLock(const QString &path)
    {
        const QByteArray name = QFile::encodeName(path + QStringLiteral(".lock"));
        m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd < 0)
            return;
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(m_fd);
                m_fd = -1;
                return;
            }
        }
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isLocked() const { return m_fd >= 0; }

private:
    Q_DISABLE_COPY(FileLock)
    int m_fd = -1;
};

} // namespace

QString Registry::defaultPath()
{
    const QString fromEnvironment = qEnvironmentVariable("QUIREX_REGISTRY");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/Ardenwyke/registry.ini");
}

QString Registry::systemPath()
{
    const QString name = QStringLiteral("/Ardenwyke/registry.ini");
    QStringList folders;
    for (const QString &folder :
         qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isRelativePath(folder))
            folders.append(folder);
    }
    if (folders.isEmpty())
        folders.append(QStringLiteral("/etc/xdg"));
    for (const QString &folder : folders) {
        if (QFileInfo::exists(folder + name))
            return folder + name;
    }
    return folders.first() + name;
}

Registry::Registry(const QString &path, const QString &systemLayer)
    : m_path(path)
    , m_systemLayer(systemLayer)
{
}

RegistryData Registry::read() const
{
    return readCurrentContents(m_path).data;
}

RegistryData Registry::readSystemLayer() const
{
    if (m_systemLayer.isEmpty() || m_systemLayer == m_path)
        return RegistryData();
    struct stat info;
    if (::stat(QFile::encodeName(m_systemLayer).constData(), &info) != 0 ||
        (info.st_mode & (S_IWGRP | S_IWOTH)))
        return RegistryData();
    return readCurrentContents(m_systemLayer).data;
}

std::optional<RegistryValue> Registry::value(const QString &key, const QString &name) const
{
    const auto own = read().value(key, name);
    return own ? own : readSystemLayer().value(key, name);
}

QString Registry::stringValue(const QString &key, const QString &name,
                              const QString &fallback) const
{
    const auto found = value(key, name);
    return found ? found->toString() : fallback;
}

bool Registry::keyExists(const QString &key) const
{
    return read().keyExists(key) || readSystemLayer().keyExists(key);
}

bool Registry::edit(const std::function<bool(RegistryData &)> &change)
{
    if (m_path.isEmpty())
        return false;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder))
            return false;
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }
    FileLock lock(m_path);
    if (!lock.isLocked())
        return false;
    Contents contents = readContents(m_path);
    // Replacing a file that exists but cannot be read would lose all its values.
    if (contents.state == FileState::Unreadable || !change(contents.data))
        return false;
    // The damaged file is kept as it was, for inspection; the new file holds
    // every value that could be read from it, and the change.
    if (contents.state == FileState::Damaged &&
        !replaceFile(m_path + QStringLiteral(".corrupt"), contents.bytes))
        return false;
    return replaceFile(m_path, contents.data.serialize());
}

bool Registry::setValue(const QString &key, const QString &name, const RegistryValue &value)
{
    return edit([&](RegistryData &data) { return data.setValue(key, name, value); });
}

bool Registry::setString(const QString &key, const QString &name, const QString &text)
{
    return setValue(key, name, RegistryValue::fromString(text));
}

bool Registry::setInteger(const QString &key, const QString &name, qint32 number)
{
    return setValue(key, name, RegistryValue::fromInteger(number));
}

bool Registry::removeValue(const QString &key, const QString &name)
{
    return edit([&](RegistryData &data) { return data.removeValue(key, name); });
}

bool Registry::removeKey(const QString &key)
{
    return edit([&](RegistryData &data) { return data.removeKey(key); });
}

} // namespace quirex::platform
