#include "headlessapplication.h"

#include <QApplication>
#include <QByteArray>

namespace quirex::platform
{

QApplication *ensureApplication(const char *programName)
{
    if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return existing;
    prepareApplicationEnvironment();
    // QApplication keeps references to argc and argv for its whole life.
    static int argc = 1;
    static QByteArray name;
    name = programName ? QByteArray(programName) : QByteArray("quirex");
    static char *argv[] = {name.data(), nullptr};
    return new QApplication(argc, argv);
}

} // namespace quirex::platform
