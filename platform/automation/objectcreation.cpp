#include "objectcreation.h"

#include "componentregistry.h"

#include <QFile>

#include <dlfcn.h>

namespace quirex::automation
{

namespace
{

HRESULT fail(HRESULT code, ExceptionInfo *detail, const QString &description)
{
    if (detail) {
        detail->code = code;
        detail->source = QStringLiteral("automation");
        detail->description = description;
    }
    return code;
}

} // namespace

HRESULT CLSIDFromProgID(const QString &progId, Guid *clsid)
{
    return ComponentRegistry().clsidFromProgId(progId, clsid);
}

void *loadComponentLibrary(const QString &path, QString *error)
{
    // RTLD_LOCAL keeps two components' symbols apart. There is no matching dlclose: a library
    // that created Qt objects or threads cannot be unloaded safely. Functions are bound when
    // first called: binding every function of the libraries a component pulls in (the web
    // engine's among them) at load took about a tenth of a short conversion.
    void *handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle && error) {
        const char *message = ::dlerror();
        *error = message ? QString::fromLocal8Bit(message) : QStringLiteral("cannot load ") + path;
    }
    return handle;
}

HRESULT CoCreateInstance(const Guid &clsid, const Guid &iid, void **object, ExceptionInfo *detail)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    QString path;
    QString reason;
    HRESULT hr = ComponentRegistry().libraryPath(clsid, &path, &reason);
    if (FAILED(hr))
        return fail(hr, detail, reason);

    QString error;
    void *library = loadComponentLibrary(path, &error);
    if (!library)
        return fail(CO_E_DLLNOTFOUND, detail, error);
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(::dlsym(library, "DllGetClassObject"));
    if (!getClassObject)
        return fail(CO_E_ERRORINDLL, detail,
                    QStringLiteral("%1 exports no DllGetClassObject").arg(path));

    IClassFactory *factory = nullptr;
    hr = getClassObject(&clsid, &IID_IClassFactory, reinterpret_cast<void **>(&factory));
    if (FAILED(hr) || !factory)
        return fail(FAILED(hr) ? hr : E_UNEXPECTED, detail,
                    QStringLiteral("%1 gives no class object for %2").arg(path, clsid.toString()));
    hr = factory->CreateInstance(nullptr, iid, object);
    factory->Release();
    if (FAILED(hr))
        return fail(hr, detail,
                    QStringLiteral("class %1 of %2 created no object").arg(clsid.toString(), path));
    return hr;
}

HRESULT createDispatchObject(const QString &progId, IDispatch **object, ExceptionInfo *detail)
{
    return createDispatchObject(progId, IID_IDispatch, object, detail);
}

HRESULT createDispatchObject(const QString &progId, const Guid &iid, IDispatch **object,
                             ExceptionInfo *detail, CreationStep *failedStep)
{
    CreationStep ignored = CreationStep::None;
    CreationStep &step = failedStep ? *failedStep : ignored;
    step = CreationStep::None;
    if (!object)
        return E_POINTER;
    *object = nullptr;
    Guid clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) {
        step = CreationStep::ResolveProgId;
        return fail(hr, detail, QString()); // the code says it all
    }
    hr = CoCreateInstance(clsid, iid, reinterpret_cast<void **>(object), detail);
    if (FAILED(hr))
        step = CreationStep::CreateObject;
    return hr;
}

} // namespace quirex::automation
