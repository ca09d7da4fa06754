#pragma once

#include "componentregistry.h"
#include "dispatchinterface.h"
#include "guid.h"
#include "hresult.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <vector>

class QObject;
struct QMetaObject;

namespace quirex::automation
{

// One class of a component library's factory list.
struct ServerClass {
    const QMetaObject *metaObject = nullptr;
    QObject *(*create)() = nullptr;
    // Null ids are read from the class information "ClassID" and "InterfaceID".
    Guid clsid;
    Guid iid;
    // Empty: the class information "ProgID", else "<library base name>.<class name>".
    QString progId;

    template <class T>
    static ServerClass of(const char *clsid = nullptr, const char *iid = nullptr,
                          const char *progId = nullptr)
    {
        ServerClass entry;
        entry.metaObject = &T::staticMetaObject;
        entry.create = []() -> QObject * { return new T(); };
        entry.clsid = parseId(clsid);
        entry.iid = parseId(iid);
        entry.progId = QString::fromLatin1(progId);
        return entry;
    }

    static Guid parseId(const char *text);
};

// The server side of a component library: its factory list and the work behind the entry points
// DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer and DumpIDL (see
// automationserver.h, whose macros create one per library).
//
// The library's base name (its file name without a "lib" prefix and without extensions) gives
// the type library name "<base name>Lib" and the ProgIDs "<base name>.<class name>" of classes
// that name no ProgID of their own.
//
// Threads: the first thread that asks for a class object becomes the serving thread; class
// objects, objects and their calls are refused with RPC_E_WRONG_THREAD on any other. The first
// object creation has the library create the Qt application object when the process has none.
class ServerModule final
{
public:
    // Creates the process's Qt application object; the library supplies it, so that the kind of
    // application object (a QApplication for widget classes) is the library's choice.
    using ApplicationFactory = void (*)();

    // `anchor` is any address inside the component library, to find its file.
    // `createApplication` runs before an object is created while the process has no application
    // object; null creates none. A widget class is refused with E_UNEXPECTED unless a
    // QApplication exists then.
    ServerModule(const char *typeLibraryId, const char *applicationId, const void *anchor,
                 ApplicationFactory createApplication, std::initializer_list<ServerClass> classes);
    ~ServerModule();

    HRESULT getClassObject(const Guid *clsid, const Guid *iid, void **object) noexcept;
    // Always S_FALSE: a library that created Qt objects cannot be unloaded safely.
    HRESULT canUnloadNow() noexcept { return S_FALSE; }
    // Writes every class into the per-user registry in force: SELFREG_E_CLASS when a class
    // lacks valid ids, E_ACCESSDENIED when the library's path would not be trusted by clients,
    // REGDB_E_WRITEREGDB when the registry cannot be written.
    HRESULT registerServer() noexcept;
    HRESULT unregisterServer() noexcept;
    // Writes the interface description (see idlwriter.h) to `fileName` (UTF-8):
    // HRESULT_PATH_NOT_FOUND when the file cannot be created, HRESULT_WRITE_FAULT when it
    // cannot be written, SELFREG_E_CLASS when a class lacks valid ids.
    HRESULT dumpIdl(const char *fileName, const char *version) noexcept;

    QString libraryPath() const;
    QString libraryName() const;

    struct Entry;

private:
    Q_DISABLE_COPY(ServerModule)

    HRESULT resolveIds() noexcept;
    QString progIdOf(const Entry &entry, const QString &libraryName) const;
    QVector<ComponentClass> components(const QString &libraryPath) const;
    bool onServingThread();

    Guid m_typeLibrary;
    Guid m_application;
    const void *m_anchor;
    ApplicationFactory m_createApplication;
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::atomic<void *> m_servingThread{nullptr};
};

// The library base name of a file path: "/x/libquirex.so.5" and "/x/quirex.so" give "quirex".
QString componentBaseName(const QString &libraryPath);

} // namespace quirex::automation
