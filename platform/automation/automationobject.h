#pragma once

#include "exceptioninfo.h"
#include "hresult.h"
#include "interfaces.h"
#include "objectcreation.h"
#include "variant.h"

#include <QHash>
#include <QString>

namespace quirex::automation
{

// A client's reference to an automation object, created by ProgID and called by member name or
// dispatch id.
//
// Every call returns its status code and keeps what went wrong in exceptionInfo() (cleared by
// the next call). When the server answers DISP_E_EXCEPTION with a failure code of its own in the
// exception info, that code is returned. The ...OrThrow forms raise ComError instead. Names are
// resolved once per object and remembered. Like the object, the reference belongs to the thread
// that created it.
class AutomationObject final
{
public:
    AutomationObject() = default;
    // Takes over one reference of `dispatch` (which may be null).
    explicit AutomationObject(IDispatch *dispatch);
    ~AutomationObject();
    AutomationObject(AutomationObject &&other) noexcept;
    AutomationObject &operator=(AutomationObject &&other) noexcept;

    // Releases the current object and creates a new one of class `progId`: CO_E_CLASSSTRING,
    // REGDB_E_CLASSNOTREG, CO_E_DLLNOTFOUND, ... (see createDispatchObject).
    HRESULT create(const QString &progId);
    // The same, asking for the dispatch interface `iid` (see createDispatchObject); where
    // `failedStep` is given it tells whether the ProgID did not resolve or no object was made.
    HRESULT create(const QString &progId, const Guid &iid, CreationStep *failedStep = nullptr);
    void release();
    bool isNull() const { return m_dispatch == nullptr; }
    IDispatch *dispatch() const { return m_dispatch; }

    // DISP_E_UNKNOWNNAME for a name the object does not have.
    HRESULT dispatchId(const QString &name, DISPID *id);

    HRESULT property(const QString &name, Variant *value);
    HRESULT property(DISPID id, Variant *value);
    HRESULT setProperty(const QString &name, const Variant &value);
    HRESULT setProperty(DISPID id, const Variant &value);
    HRESULT call(const QString &name, const VariantList &args = {}, Variant *result = nullptr);
    HRESULT call(DISPID id, const VariantList &args = {}, Variant *result = nullptr);

    const ExceptionInfo &exceptionInfo() const { return m_exception; }

    Variant propertyOrThrow(const QString &name);
    void setPropertyOrThrow(const QString &name, const Variant &value);
    Variant callOrThrow(const QString &name, const VariantList &args = {});

private:
    Q_DISABLE_COPY(AutomationObject)
    HRESULT invoke(DISPID id, std::uint16_t flags, const VariantList &args, Variant *result);
    HRESULT finish(HRESULT hr, const QString &member);

    IDispatch *m_dispatch = nullptr;
    QHash<QString, DISPID> m_ids;
    ExceptionInfo m_exception;
};

} // namespace quirex::automation
