#include "automationobject.h"

#include "comerror.h"
#include "objectcreation.h"

#include <utility>

namespace quirex::automation
{

AutomationObject::AutomationObject(IDispatch *dispatch)
    : m_dispatch(dispatch)
{
}

AutomationObject::~AutomationObject()
{
    release();
}

AutomationObject::AutomationObject(AutomationObject &&other) noexcept
    : m_dispatch(std::exchange(other.m_dispatch, nullptr))
    , m_ids(std::move(other.m_ids))
    , m_exception(std::move(other.m_exception))
{
}

AutomationObject &AutomationObject::operator=(AutomationObject &&other) noexcept
{
    if (this != &other) {
        release();
        m_dispatch = std::exchange(other.m_dispatch, nullptr);
        m_ids = std::move(other.m_ids);
        m_exception = std::move(other.m_exception);
    }
    return *this;
}

HRESULT AutomationObject::create(const QString &progId)
{
    return create(progId, IID_IDispatch);
}

HRESULT AutomationObject::create(const QString &progId, const Guid &iid, CreationStep *failedStep)
{
    release();
    m_exception.clear();
    IDispatch *dispatch = nullptr;
    const HRESULT hr = createDispatchObject(progId, iid, &dispatch, &m_exception, failedStep);
    if (SUCCEEDED(hr))
        m_dispatch = dispatch;
    return hr;
}

void AutomationObject::release()
{
    if (m_dispatch)
        std::exchange(m_dispatch, nullptr)->Release();
    m_ids.clear();
}

HRESULT AutomationObject::finish(HRESULT hr, const QString &member)
{
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION && FAILED(m_exception.code))
            hr = m_exception.code;
        m_exception.code = hr;
        if (m_exception.source.isEmpty())
            m_exception.source = member;
    }
    return hr;
}

HRESULT AutomationObject::dispatchId(const QString &name, DISPID *id)
{
    if (!id)
        return E_POINTER;
    m_exception.clear();
    if (!m_dispatch)
        return finish(E_POINTER, name);
    const QString key = name.toLower();
    auto it = m_ids.constFind(key);
    if (it != m_ids.constEnd()) {
        *id = *it;
        return S_OK;
    }
    QVector<DISPID> ids;
    const HRESULT hr = m_dispatch->GetIDsOfNames(QStringList{name}, &ids);
    if (FAILED(hr) || ids.isEmpty())
        return finish(FAILED(hr) ? hr : DISP_E_UNKNOWNNAME, name);
    m_ids.insert(key, ids.first());
    *id = ids.first();
    return S_OK;
}

HRESULT AutomationObject::invoke(DISPID id, std::uint16_t flags, const VariantList &args,
                                 Variant *result)
{
    m_exception.clear();
    if (!m_dispatch)
        return finish(E_POINTER, QString());
    std::uint32_t argError = 0;
    Variant ignored;
    const HRESULT hr =
        m_dispatch->Invoke(id, flags, args, result ? result : &ignored, &m_exception, &argError);
    return finish(hr, QString());
}

HRESULT AutomationObject::property(DISPID id, Variant *value)
{
    return invoke(id, DISPATCH_PROPERTYGET, {}, value);
}

HRESULT AutomationObject::property(const QString &name, Variant *value)
{
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = dispatchId(name, &id);
    return FAILED(hr) ? hr : property(id, value);
}

HRESULT AutomationObject::setProperty(DISPID id, const Variant &value)
{
    return invoke(id, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

HRESULT AutomationObject::setProperty(const QString &name, const Variant &value)
{
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = dispatchId(name, &id);
    return FAILED(hr) ? hr : setProperty(id, value);
}

HRESULT AutomationObject::call(DISPID id, const VariantList &args, Variant *result)
{
    return invoke(id, DISPATCH_METHOD, args, result);
}

HRESULT AutomationObject::call(const QString &name, const VariantList &args, Variant *result)
{
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = dispatchId(name, &id);
    return FAILED(hr) ? hr : call(id, args, result);
}

Variant AutomationObject::propertyOrThrow(const QString &name)
{
    Variant value;
    ComError::check(property(name, &value), m_exception);
    return value;
}

void AutomationObject::setPropertyOrThrow(const QString &name, const Variant &value)
{
    ComError::check(setProperty(name, value), m_exception);
}

Variant AutomationObject::callOrThrow(const QString &name, const VariantList &args)
{
    Variant result;
    ComError::check(call(name, args, &result), m_exception);
    return result;
}

} // namespace quirex::automation
