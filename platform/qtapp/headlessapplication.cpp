#include "headlessapplication.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace quirex::platform {

void chooseHeadlessPlatformIfNoDisplay()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool isHeadlessPlatform()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

namespace {

// Without XDG_RUNTIME_DIR Qt falls back to a private folder in the temporary
// folder and warns about it on standard error, which command-line users
// would see on every run. The same folder is named here, quietly, when it is
// ours and private (or can be made so).
void provideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const QString folder =
        QDir::tempPath() + QStringLiteral("/runtime-") + QString::number(::getuid());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    struct stat info{};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)
        || info.st_uid != ::getuid() || (info.st_mode & 0077) != 0)
        return;
    qputenv("XDG_RUNTIME_DIR", path);
}

} // namespace

QApplication *ensureApplication()
{
    if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return existing;
    chooseHeadlessPlatformIfNoDisplay();
    provideRuntimeFolder();
    // QApplication keeps references to argc and argv for its whole life.
    static int argc = 1;
    static char name[] = "quirex";
    static char *argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

} // namespace quirex::platform
