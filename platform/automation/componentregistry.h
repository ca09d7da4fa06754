#pragma once

#include "guid.h"
#include "hresult.h"
#include "registry.h"

#include <QString>
#include <QVector>

#include <optional>

namespace quirex::automation
{

// What the registry records about one component class.
struct ComponentClass {
    QString className; // "QUIREX"
    QString progId;    // version-independent, "<library base name>.<class name>"
    QString version;   // "1.0"; the versioned ProgID ends in its major number
    Guid clsid;
    Guid iid; // the dispatch interface
    Guid typeLibrary;
    Guid application;
    QString typeLibraryName; // "quirexLib"
    QString libraryPath;     // absolute

    QString versionedProgId() const;
    QString interfaceName() const { return QLatin1Char('I') + className; }
};

// The component classes kept in the per-user registry, below the keys Windows keeps under
// Software\Classes:
//   <ProgID>\CLSID, <ProgID>\CurVer, <ProgID>.<major>\CLSID,
//   CLSID\{clsid} (AppID), its InprocServer32 (library path), ProgID,
//   VersionIndependentProgID, TypeLib and Version subkeys,
//   Interface\{iid}, TypeLib\{typelib}\<version>, AppID\{appid}.
//
// Lookups read the registry (the user's file, then its system layer), then the installation
// registry that an installed program finds beside its component libraries. A library path in
// the installation registry may be relative to that file's folder, so that an installation
// keeps working wherever its folder tree is moved; the resolved path is checked like any other.
class ComponentRegistry final
{
public:
    explicit ComponentRegistry(const platform::Registry &registry = platform::Registry(),
                               const QString &installationRegistry = installationRegistryPath());

    // lib/quirex/registry.ini beside the running program's folder (<program folder>/..); empty
    // when the program file cannot be found.
    static QString installationRegistryPath();

    // The class id registered for `progId`. CO_E_CLASSSTRING when the ProgID is not registered,
    // holds no valid class id, or is not a usable name (empty, backslashes, control characters).
    HRESULT clsidFromProgId(const QString &progId, Guid *clsid) const;

    // The library file that serves `clsid`. REGDB_E_CLASSNOTREG when the class is not
    // registered or its library path is not trusted (see isTrustedLibraryPath), CO_E_DLLNOTFOUND
    // when the registered file does not exist; `reason`, when given, then says why.
    HRESULT libraryPath(const Guid &clsid, QString *path, QString *reason = nullptr) const;

    // Writes (or removes) all keys of the classes in one change. REGDB_E_WRITEREGDB when the
    // registry file cannot be written. Unregistering removes a ProgID only while it still names
    // the class being unregistered.
    HRESULT registerClasses(const QVector<ComponentClass> &classes);
    HRESULT unregisterClasses(const QVector<ComponentClass> &classes);

    // A library path is trusted when it is absolute and names a regular file that neither the
    // file nor its folder lets group or others write: anybody who can change either could make
    // every client run code of theirs. `reason` says why not.
    static bool isTrustedLibraryPath(const QString &path, QString *reason = nullptr);

    static QString classesKey() { return QStringLiteral("Software\\Classes"); }

private:
    std::optional<platform::RegistryValue> lookUp(const QString &path, bool *installed) const;

    platform::Registry m_registry;
    QString m_installationRegistry;
};

} // namespace quirex::automation
