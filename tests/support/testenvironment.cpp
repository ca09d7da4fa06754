#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace quirex::test
{

namespace
{
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
    scratch() =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quirex-test-XXXXXX"));
    const QString root = scratch()->path();
    for (const char *folder : {"log", "config", "xdg", "runtime", "home"})
        QDir(root).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("QUIREX_LOG_DIR", QFile::encodeName(root + QStringLiteral("/log")));
    qputenv("QUIREX_REGISTRY", QFile::encodeName(root + QStringLiteral("/config/registry.ini")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    // An empty system layer, whatever this machine has installed in /etc/xdg.
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root + QStringLiteral("/xdg")));
    // The interface language the tests expect, whatever this machine's locale.
    qputenv("QUIREX_LANGUAGE", "ru");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("HOME", QFile::encodeName(root + QStringLiteral("/home")));
}

QProcessEnvironment xvfbEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    // The windows need no OpenGL. With it, Qt loads Mesa's driver, which
    // leaves an allocation that the sanitizer build reports as a leak of a
    // library already unloaded at exit (no name to suppress it by).
    environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    return environment;
}

} // namespace quirex::test
