#include "servermodule.h"

#include "componentregistry.h"
#include "dispatchobject.h"
#include "idlwriter.h"
#include "interfaces.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMetaClassInfo>
#include <QSaveFile>
#include <QThread>

#include <dlfcn.h>
#include <new>

namespace quirex::automation
{

struct ServerModule::Entry {
    explicit Entry(const ServerClass &serverClass)
        : cls(serverClass)
        , interface(serverClass.metaObject)
    {
    }
    ServerClass cls;
    DispatchInterface interface;
    QString version = QStringLiteral("1.0");
};

namespace
{

Guid classInfoId(const QMetaObject *metaObject, const char *name)
{
    const int index = metaObject->indexOfClassInfo(name);
    if (index < 0)
        return Guid();
    return ServerClass::parseId(metaObject->classInfo(index).value());
}

// Asked by class name, so that this layer needs no widget code of its own.
bool isWidgetClass(const QMetaObject *metaObject)
{
    for (; metaObject; metaObject = metaObject->superClass())
        if (qstrcmp(metaObject->className(), "QWidget") == 0)
            return true;
    return false;
}

class ClassFactory final : public IClassFactory
{
public:
    ClassFactory(ServerModule::Entry &entry, void *servingThread,
                 ServerModule::ApplicationFactory createApplication)
        : m_entry(entry)
        , m_servingThread(servingThread)
        , m_createApplication(createApplication)
    {
    }

    HRESULT QueryInterface(const Guid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++m_references; }
    std::uint32_t Release() override
    {
        const std::uint32_t left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT LockServer(bool) override { return S_OK; }

    HRESULT CreateInstance(IUnknown *outer, const Guid &iid, void **object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        if (QThread::currentThreadId() != m_servingThread)
            return RPC_E_WRONG_THREAD;
        try {
            return create(iid, object);
        } catch (const std::bad_alloc &) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

private:
    ~ClassFactory() = default;

    HRESULT create(const Guid &iid, void **object)
    {
        if (!QCoreApplication::instance() && m_createApplication)
            m_createApplication();
        const QMetaObject *metaObject = m_entry.cls.metaObject;
        if (isWidgetClass(metaObject)) {
            // Widgets need a QApplication and live on its thread only.
            QCoreApplication *application = QCoreApplication::instance();
            if (!application || !application->inherits("QApplication"))
                return E_UNEXPECTED;
            if (application->thread() != QThread::currentThread())
                return RPC_E_WRONG_THREAD;
        }
        std::unique_ptr<QObject> created(m_entry.cls.create());
        if (!created)
            return E_OUTOFMEMORY;
        auto *dispatch = new DispatchObject(created.get(), &m_entry.interface, m_entry.cls.iid);
        created.release(); // the dispatch object owns it now
        const HRESULT hr = dispatch->QueryInterface(iid, object);
        dispatch->Release();
        return hr;
    }

    std::atomic<std::uint32_t> m_references{1};
    ServerModule::Entry &m_entry;
    void *m_servingThread;
    ServerModule::ApplicationFactory m_createApplication;
};

} // namespace

Guid ServerClass::parseId(const char *text)
{
    if (!text)
        return Guid();
    QString id = QString::fromLatin1(text).trimmed();
    if (!id.startsWith(QLatin1Char('{')))
        id = QLatin1Char('{') + id + QLatin1Char('}');
    return Guid::fromString(id).value_or(Guid());
}

QString componentBaseName(const QString &libraryPath)
{
    QString name = QFileInfo(libraryPath).fileName();
    name = name.section(QLatin1Char('.'), 0, 0);
    if (name.startsWith(QLatin1String("lib")) && name.size() > 3)
        name = name.mid(3);
    return name;
}

ServerModule::ServerModule(const char *typeLibraryId, const char *applicationId, const void *anchor,
                           ApplicationFactory createApplication,
                           std::initializer_list<ServerClass> classes)
    : m_typeLibrary(ServerClass::parseId(typeLibraryId))
    , m_application(ServerClass::parseId(applicationId))
    , m_anchor(anchor)
    , m_createApplication(createApplication)
{
    for (const ServerClass &cls : classes) {
        auto entry = std::make_unique<Entry>(cls);
        const QMetaObject *metaObject = cls.metaObject;
        if (entry->cls.clsid.isNull())
            entry->cls.clsid = classInfoId(metaObject, "ClassID");
        if (entry->cls.iid.isNull())
            entry->cls.iid = classInfoId(metaObject, "InterfaceID");
        const int progId = metaObject->indexOfClassInfo("ProgID");
        if (entry->cls.progId.isEmpty() && progId >= 0)
            entry->cls.progId = QString::fromLatin1(metaObject->classInfo(progId).value());
        const int version = metaObject->indexOfClassInfo("Version");
        if (version >= 0)
            entry->version = QString::fromLatin1(metaObject->classInfo(version).value());
        m_entries.push_back(std::move(entry));
    }
}

ServerModule::~ServerModule() = default;

QString ServerModule::libraryPath() const
{
    Dl_info info;
    if (::dladdr(m_anchor, &info) == 0 || !info.dli_fname)
        return QString();
    const QString path = QFile::decodeName(info.dli_fname);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

QString ServerModule::libraryName() const
{
    return componentBaseName(libraryPath());
}

QString ServerModule::progIdOf(const Entry &entry, const QString &libraryName) const
{
    if (!entry.cls.progId.isEmpty())
        return entry.cls.progId;
    return libraryName + QLatin1Char('.') + entry.interface.className();
}

HRESULT ServerModule::resolveIds() noexcept
{
    if (m_typeLibrary.isNull() || m_application.isNull())
        return SELFREG_E_CLASS;
    for (const auto &entry : m_entries) {
        if (entry->cls.clsid.isNull() || entry->cls.iid.isNull())
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

bool ServerModule::onServingThread()
{
    void *current = QThread::currentThreadId();
    void *expected = nullptr;
    if (m_servingThread.compare_exchange_strong(expected, current))
        return true;
    return expected == current;
}

HRESULT ServerModule::getClassObject(const Guid *clsid, const Guid *iid, void **object) noexcept
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!clsid || !iid)
        return E_INVALIDARG;
    try {
        for (const auto &entry : m_entries) {
            if (entry->cls.clsid.isNull() || entry->cls.clsid != *clsid)
                continue;
            if (!onServingThread())
                return RPC_E_WRONG_THREAD;
            auto *factory = new ClassFactory(*entry, m_servingThread.load(), m_createApplication);
            const HRESULT hr = factory->QueryInterface(*iid, object);
            factory->Release();
            return hr;
        }
        return CLASS_E_CLASSNOTAVAILABLE;
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

QVector<ComponentClass> ServerModule::components(const QString &path) const
{
    const QString name = componentBaseName(path);
    QVector<ComponentClass> components;
    for (const auto &entry : m_entries) {
        ComponentClass component;
        component.className = entry->interface.className();
        component.progId = progIdOf(*entry, name);
        component.version = entry->version;
        component.clsid = entry->cls.clsid;
        component.iid = entry->cls.iid;
        component.typeLibrary = m_typeLibrary;
        component.application = m_application;
        component.typeLibraryName = name + QLatin1String("Lib");
        component.libraryPath = path;
        components.append(component);
    }
    return components;
}

HRESULT ServerModule::registerServer() noexcept
{
    try {
        const HRESULT hr = resolveIds();
        if (FAILED(hr))
            return hr;
        const QString path = libraryPath();
        if (!ComponentRegistry::isTrustedLibraryPath(path))
            return E_ACCESSDENIED;
        return ComponentRegistry().registerClasses(components(path));
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ServerModule::unregisterServer() noexcept
{
    try {
        const HRESULT hr = resolveIds();
        if (FAILED(hr))
            return hr;
        return ComponentRegistry().unregisterClasses(components(libraryPath()));
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT ServerModule::dumpIdl(const char *fileName, const char *version) noexcept
{
    try {
        if (!fileName || !*fileName)
            return E_INVALIDARG;
        const HRESULT hr = resolveIds();
        if (FAILED(hr))
            return hr;
        QVector<IdlClass> classes;
        for (const auto &entry : m_entries)
            classes.append(IdlClass{&entry->interface, entry->cls.clsid, entry->cls.iid});
        const QString text = interfaceDescription(
            libraryName(), m_typeLibrary,
            version && *version ? QString::fromUtf8(version) : QStringLiteral("1.0"), classes);
        QSaveFile file(QString::fromUtf8(fileName));
        if (!file.open(QIODevice::WriteOnly))
            return HRESULT_PATH_NOT_FOUND;
        file.write(text.toUtf8());
        return file.commit() ? S_OK : HRESULT_WRITE_FAULT;
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace quirex::automation
