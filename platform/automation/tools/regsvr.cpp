// regsvr: registers or unregisters a component library, or writes its interface description.
//
//   regsvr [-s] [-u] [--system] LIBRARY
//   regsvr [-s] --idl FILE LIBRARY
//
// --system registers into (or unregisters from) the system layer of the registry, which every
// user of the machine reads, instead of the registry in force. The system file is left readable
// by everyone; unregistering its last class removes it, and its folder when that is empty.
//
// Exit codes: 0 success, 1 bad arguments, 3 the library cannot be loaded, 4 it lacks the entry
// point, 5 the entry point failed.
#include "hresult.h"
#include "interfaces.h"
#include "objectcreation.h"
#include "registry.h"
#include "systemmessage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>
#include <dlfcn.h>

using namespace quirex::automation;

namespace
{

void printLine(FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stream);
}

int usage()
{
    printLine(stderr, QStringLiteral("usage: regsvr [-s] [-u] [--system] LIBRARY\n"
                                     "       regsvr [-s] --idl FILE LIBRARY"));
    return 1;
}

// Makes the registry in force the system layer's file, its folder made readable by everyone.
bool selectSystemRegistry(QString *path)
{
    *path = quirex::platform::Registry::systemPath();
    const QString folder = QFileInfo(*path).absolutePath();
    if (!QDir().mkpath(folder)) {
        printLine(stderr, QStringLiteral("regsvr: cannot make the folder %1").arg(folder));
        return false;
    }
    qputenv("QUIREX_REGISTRY", QFile::encodeName(*path));
    return true;
}

// True when `key` or a key below it holds a value: unregistering leaves the emptied parent
// keys (Software\Classes, ...) behind.
bool holdsValues(const quirex::platform::RegistryData &data, const QString &key)
{
    if (!data.valueNames(key).isEmpty())
        return true;
    const QString prefix = key.isEmpty() ? QString() : key + QLatin1Char('\\');
    for (const QString &subKey : data.subKeys(key)) {
        if (holdsValues(data, prefix + subKey))
            return true;
    }
    return false;
}

// The system file for everyone to read; removed with its lock file and folder once it is empty.
bool finishSystemRegistry(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    if (!holdsValues(quirex::platform::Registry(path, QString()).read(), QString())) {
        QFile::remove(path + QStringLiteral(".lock"));
        const bool removed = QFile::remove(path);
        QDir().rmdir(QFileInfo(path).absolutePath());
        return removed;
    }
    const auto everyoneReads = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ReadGroup | QFileDevice::ReadOther;
    return QFile::setPermissions(path, everyoneReads);
}

} // namespace

int main(int argc, char **argv)
{
    quirex::platform::Registry::reportDamageOnStandardError(QStringLiteral("regsvr"));
    bool unregister = false;
    bool silent = false;
    bool system = false;
    QString idlFile;
    QString library;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("-u") || arg == QLatin1String("--unregister")) {
            unregister = true;
        } else if (arg == QLatin1String("-s") || arg == QLatin1String("--silent")) {
            silent = true;
        } else if (arg == QLatin1String("--system")) {
            system = true;
        } else if (arg == QLatin1String("--idl")) {
            if (++i >= argc)
                return usage();
            idlFile = QString::fromLocal8Bit(argv[i]);
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            usage();
            return 0;
        } else if (arg.startsWith(QLatin1Char('-')) || !library.isEmpty()) {
            return usage();
        } else {
            library = arg;
        }
    }
    if (library.isEmpty() || (unregister && !idlFile.isEmpty()) || (system && !idlFile.isEmpty()))
        return usage();
    QString systemRegistry;
    if (system && !selectSystemRegistry(&systemRegistry))
        return 5;

    // The component library writes the registry with code of its own; a damaged file is
    // named here, where a reporter is set.
    if (idlFile.isEmpty())
        quirex::platform::Registry().read();

    // A bare name must not send the loader searching the library path.
    const QString path = QFileInfo(library).absoluteFilePath();
    QString error;
    void *handle = loadComponentLibrary(path, &error);
    if (!handle) {
        printLine(stderr, QStringLiteral("regsvr: cannot load %1: %2").arg(library, error));
        return 3;
    }

    const char *entryPoint = !idlFile.isEmpty() ? "DumpIDL"
                             : unregister       ? "DllUnregisterServer"
                                                : "DllRegisterServer";
    void *symbol = ::dlsym(handle, entryPoint);
    if (!symbol) {
        printLine(stderr, QStringLiteral("regsvr: %1 has no entry point %2")
                              .arg(library, QLatin1String(entryPoint)));
        return 4;
    }

    HRESULT hr;
    if (!idlFile.isEmpty())
        hr = reinterpret_cast<DumpIDLFunction>(symbol)(
            QFileInfo(idlFile).absoluteFilePath().toUtf8().constData(), nullptr);
    else
        hr = reinterpret_cast<DllRegisterServerFunction>(symbol)();

    if (FAILED(hr)) {
        QString text = systemMessageText(hr);
        printLine(stderr, QStringLiteral("regsvr: %1 in %2 failed: %3%4")
                              .arg(QLatin1String(entryPoint), library, hresultHex(hr),
                                   text.isEmpty() ? QString() : QLatin1Char(' ') + text));
        return 5;
    }
    if (system && !finishSystemRegistry(systemRegistry)) {
        printLine(stderr, QStringLiteral("regsvr: cannot update %1").arg(systemRegistry));
        return 5;
    }
    if (!silent)
        printLine(stdout,
                  QStringLiteral("%1 in %2 succeeded.").arg(QLatin1String(entryPoint), library));
    return 0;
}
