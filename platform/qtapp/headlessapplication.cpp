#include "headlessapplication.h"

#include <QApplication>
#include <QByteArray>

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

QApplication *ensureApplication()
{
    if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return existing;
    chooseHeadlessPlatformIfNoDisplay();
    // QApplication keeps references to argc and argv for its whole life.
    static int argc = 1;
    static char name[] = "quirex";
    static char *argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

} // namespace quirex::platform
