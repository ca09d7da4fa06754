#include "componentregistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace quirex::automation
{

namespace
{

using platform::RegistryData;
using platform::RegistryValue;

QString key(const QString &path)
{
    return ComponentRegistry::classesKey() + QLatin1Char('\\') + path;
}

QString clsidKey(const Guid &clsid)
{
    return key(QStringLiteral("CLSID\\") + clsid.toString());
}

bool isUsableProgId(const QString &progId)
{
    if (progId.trimmed().isEmpty())
        return false;
    for (const QChar c : progId) {
        if (c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

bool setDefault(RegistryData &data, const QString &path, const QString &text)
{
    return data.setValue(path, QString(), RegistryValue::fromString(text));
}

bool isWritableByOthers(const QByteArray &path, QString *reason, const char *what)
{
    struct stat info;
    if (::stat(path.constData(), &info) != 0) {
        if (reason)
            *reason = QStringLiteral("%1 does not exist").arg(QLatin1String(what));
        return true;
    }
    if (info.st_mode & (S_IWGRP | S_IWOTH)) {
        if (reason)
            *reason = QStringLiteral("%1 is writable by group or others").arg(QLatin1String(what));
        return true;
    }
    return false;
}

} // namespace

QString ComponentClass::versionedProgId() const
{
    const QString major = version.section(QLatin1Char('.'), 0, 0);
    return progId + QLatin1Char('.') + (major.isEmpty() ? QStringLiteral("1") : major);
}

ComponentRegistry::ComponentRegistry(const platform::Registry &registry,
                                     const QString &installationRegistry)
    : m_registry(registry)
    , m_installationRegistry(installationRegistry)
{
}

QString ComponentRegistry::installationRegistryPath()
{
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    if (program.isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(program).absolutePath() +
                           QStringLiteral("/../lib/quirex/registry.ini"));
}

std::optional<RegistryValue> ComponentRegistry::lookUp(const QString &path, bool *installed) const
{
    *installed = false;
    if (auto found = m_registry.value(path, QString()))
        return found;
    // Only a file that nobody but its owner can change or replace may name libraries to load.
    if (m_installationRegistry.isEmpty() ||
        isWritableByOthers(QFile::encodeName(m_installationRegistry), nullptr, "the registry") ||
        isWritableByOthers(QFile::encodeName(QFileInfo(m_installationRegistry).absolutePath()),
                           nullptr, "the registry's folder"))
        return std::nullopt;
    auto found = platform::Registry(m_installationRegistry, QString()).value(path, QString());
    *installed = found.has_value();
    return found;
}

HRESULT ComponentRegistry::clsidFromProgId(const QString &progId, Guid *clsid) const
{
    if (!clsid)
        return E_POINTER;
    if (!isUsableProgId(progId))
        return CO_E_CLASSSTRING;
    bool installed = false;
    const auto value = lookUp(key(progId + QStringLiteral("\\CLSID")), &installed);
    const auto parsed = Guid::fromString(value ? value->toString() : QString());
    if (!parsed)
        return CO_E_CLASSSTRING;
    *clsid = *parsed;
    return S_OK;
}

HRESULT ComponentRegistry::libraryPath(const Guid &clsid, QString *path, QString *reason) const
{
    if (!path)
        return E_POINTER;
    bool installed = false;
    const auto value = lookUp(clsidKey(clsid) + QStringLiteral("\\InprocServer32"), &installed);
    if (!value || value->toString().isEmpty()) {
        if (reason)
            *reason = QStringLiteral("no library is registered for class %1").arg(clsid.toString());
        return REGDB_E_CLASSNOTREG;
    }
    QString registered = value->toString();
    if (installed && QDir::isRelativePath(registered))
        registered =
            QFileInfo(m_installationRegistry).absolutePath() + QLatin1Char('/') + registered;
    if (!QDir::isRelativePath(registered) && !QFileInfo::exists(registered)) {
        if (reason)
            *reason = QStringLiteral("library \"%1\" does not exist").arg(registered);
        return CO_E_DLLNOTFOUND;
    }
    if (!isTrustedLibraryPath(registered, reason))
        return REGDB_E_CLASSNOTREG;
    *path = registered;
    return S_OK;
}

bool ComponentRegistry::isTrustedLibraryPath(const QString &path, QString *reason)
{
    if (path.isEmpty() || QDir::isRelativePath(path)) {
        if (reason)
            *reason = QStringLiteral("library path \"%1\" is not absolute").arg(path);
        return false;
    }
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !QFileInfo(canonical).isFile()) {
        if (reason)
            *reason = QStringLiteral("library \"%1\" is not a file").arg(path);
        return false;
    }
    QString why;
    if (isWritableByOthers(QFile::encodeName(canonical), &why, "the library") ||
        isWritableByOthers(QFile::encodeName(QFileInfo(canonical).absolutePath()), &why,
                           "the library's folder")) {
        if (reason)
            *reason = QStringLiteral("library \"%1\" is not trusted: %2").arg(path, why);
        return false;
    }
    return true;
}

namespace
{

bool writeClass(RegistryData &data, const ComponentClass &entry)
{
    const QString clsid = entry.clsid.toString();
    const QString typeLibrary = entry.typeLibrary.toString();
    const QString version = entry.version.isEmpty() ? QStringLiteral("1.0") : entry.version;
    const QString classKey = clsidKey(entry.clsid);
    const QString interfaceKey = key(QStringLiteral("Interface\\") + entry.iid.toString());
    const QString typeLibraryKey = key(QStringLiteral("TypeLib\\%1\\%2").arg(typeLibrary, version));
    bool ok = true;
    for (const QString &progId : {entry.progId, entry.versionedProgId()}) {
        ok = ok && setDefault(data, key(progId), entry.className) &&
             setDefault(data, key(progId + QStringLiteral("\\CLSID")), clsid);
    }
    return ok &&
           setDefault(data, key(entry.progId + QStringLiteral("\\CurVer")),
                      entry.versionedProgId()) &&
           setDefault(data, classKey, entry.className) &&
           data.setValue(classKey, QStringLiteral("AppID"),
                         RegistryValue::fromString(entry.application.toString())) &&
           setDefault(data, classKey + QStringLiteral("\\InprocServer32"), entry.libraryPath) &&
           data.setValue(classKey + QStringLiteral("\\InprocServer32"),
                         QStringLiteral("ThreadingModel"),
                         RegistryValue::fromString(QStringLiteral("Apartment"))) &&
           setDefault(data, classKey + QStringLiteral("\\ProgID"), entry.versionedProgId()) &&
           setDefault(data, classKey + QStringLiteral("\\VersionIndependentProgID"),
                      entry.progId) &&
           setDefault(data, classKey + QStringLiteral("\\TypeLib"), typeLibrary) &&
           setDefault(data, classKey + QStringLiteral("\\Version"), version) &&
           setDefault(data, interfaceKey, entry.interfaceName()) &&
           setDefault(data, interfaceKey + QStringLiteral("\\TypeLib"), typeLibrary) &&
           setDefault(data, typeLibraryKey, entry.typeLibraryName) &&
           setDefault(data, typeLibraryKey + QStringLiteral("\\0\\linux64"), entry.libraryPath) &&
           setDefault(data, key(QStringLiteral("AppID\\") + entry.application.toString()),
                      entry.typeLibraryName);
}

void removeClass(RegistryData &data, const ComponentClass &entry)
{
    for (const QString &progId : {entry.progId, entry.versionedProgId()}) {
        const auto owner = data.value(key(progId + QStringLiteral("\\CLSID")), QString());
        if (owner && Guid::fromString(owner->toString()) == entry.clsid)
            data.removeKey(key(progId));
    }
    data.removeKey(clsidKey(entry.clsid));
    data.removeKey(key(QStringLiteral("Interface\\") + entry.iid.toString()));
    data.removeKey(key(QStringLiteral("TypeLib\\") + entry.typeLibrary.toString()));
    data.removeKey(key(QStringLiteral("AppID\\") + entry.application.toString()));
}

} // namespace

HRESULT ComponentRegistry::registerClasses(const QVector<ComponentClass> &classes)
{
    const bool written = m_registry.edit([&](RegistryData &data) {
        for (const ComponentClass &entry : classes) {
            if (!writeClass(data, entry))
                return false;
        }
        return true;
    });
    return written ? S_OK : REGDB_E_WRITEREGDB;
}

HRESULT ComponentRegistry::unregisterClasses(const QVector<ComponentClass> &classes)
{
    const bool written = m_registry.edit([&](RegistryData &data) {
        for (const ComponentClass &entry : classes)
            removeClass(data, entry);
        return true;
    });
    return written ? S_OK : REGDB_E_WRITEREGDB;
}

} // namespace quirex::automation
