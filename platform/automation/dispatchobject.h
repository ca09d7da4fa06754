#pragma once

#include "dispatchinterface.h"
#include "interfaces.h"

#include <QPointer>

#include <atomic>

class QObject;

namespace quirex::automation
{

// The server side of one automation object: a QObject called through its DispatchInterface.
//
// Owns the object: the last Release deletes it (later, through the event loop, when released
// on another thread). Calls from a thread other than the object's answer RPC_E_WRONG_THREAD.
// No C++ exception leaves Invoke: a member that throws ComError answers DISP_E_EXCEPTION with
// that error's code and description; any other exception with E_FAIL (E_OUTOFMEMORY for
// std::bad_alloc).
class DispatchObject final : public IDispatch
{
public:
    // Takes ownership of `object`; `interface` must outlive this. `iid` is the class's own
    // dispatch interface id, answered by QueryInterface beside IUnknown and IDispatch.
    DispatchObject(QObject *object, const DispatchInterface *interface, const Guid &iid);

    HRESULT QueryInterface(const Guid &iid, void **object) override;
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;
    HRESULT GetIDsOfNames(const QStringList &names, QVector<DISPID> *ids) override;
    HRESULT Invoke(DISPID id, std::uint16_t flags, const VariantList &args, Variant *result,
                   ExceptionInfo *exception, std::uint32_t *argError) override;

private:
    ~DispatchObject();
    Q_DISABLE_COPY(DispatchObject)

    HRESULT invokeMember(DISPID id, std::uint16_t flags, const VariantList &args, Variant *result,
                         std::uint32_t *argError);

    std::atomic<std::uint32_t> m_references{1};
    QPointer<QObject> m_object;
    const DispatchInterface *m_interface;
    Guid m_iid;
};

} // namespace quirex::automation
