#include "headlessplatform.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirex::platform
{

bool x11DisplayReachable(const QByteArray &display)
{
    // Asked through the X11 client library that Qt's own platform would use,
    // loaded at run time so that nothing links against X11.
    using Connect = void *(*)(const char *, int *);
    using HasError = int (*)(void *);
    using Disconnect = void (*)(void *);
    static void *const library = ::dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!library || display.isEmpty())
        return false;
    const auto connect = reinterpret_cast<Connect>(::dlsym(library, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(library, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(library, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect)
        return false;
    void *connection = connect(display.constData(), nullptr);
    const bool reachable = connection && hasError(connection) == 0;
    if (connection)
        disconnect(connection); // also frees a connection in error
    return reachable;
}

void chooseHeadlessPlatformIfNoDisplay()
{
    if (QCoreApplication::instance() || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const QByteArray display = qgetenv("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (display.isEmpty() ? !wayland : !x11DisplayReachable(display))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool isHeadlessPlatform()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

namespace
{

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
    struct stat info {
    };
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 0077) != 0)
        return;
    qputenv("XDG_RUNTIME_DIR", path);
}

} // namespace

void prepareApplicationEnvironment()
{
    if (QCoreApplication::instance())
        return;
    chooseHeadlessPlatformIfNoDisplay();
    provideRuntimeFolder();
}

} // namespace quirex::platform
