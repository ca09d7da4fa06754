#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace quirex::test {

namespace {
std::unique_ptr<QTemporaryDir> &scratch()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}
} // namespace

QString scratchFolder()
{
    if (!scratch())
        isolateEnvironment();
    return scratch()->path();
}

QString makeFolder(const QString &name)
{
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QDir().mkpath(path);
    return path;
}

QString writeFile(const QString &relativePath, const QByteArray &contents)
{
    const QString path = scratchFolder() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(contents);
    return path;
}

void isolateEnvironment()
{
    if (scratch())
        return;
    scratch() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quirex-test-XXXXXX"));
    const QString root = scratch()->path();
    for (const char *folder : {"log", "config", "runtime", "home"})
        QDir(root).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QUIREX_LOG_DIR", QFile::encodeName(root + QStringLiteral("/log")));
    qputenv("QUIREX_REGISTRY", QFile::encodeName(root + QStringLiteral("/config/registry.ini")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("HOME", QFile::encodeName(root + QStringLiteral("/home")));
}

} // namespace quirex::test
