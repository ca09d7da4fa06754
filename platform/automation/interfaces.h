#pragma once

#include "exceptioninfo.h"
#include "guid.h"
#include "hresult.h"
#include "variant.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

namespace quirex::automation
{

using DISPID = std::int32_t;

inline constexpr DISPID DISPID_UNKNOWN = -1;

// Invoke flags; a client may combine METHOD and PROPERTYGET, as scripting languages do.
inline constexpr std::uint16_t DISPATCH_METHOD = 0x1;
inline constexpr std::uint16_t DISPATCH_PROPERTYGET = 0x2;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUT = 0x4;

// The interface ids Windows gives these interfaces.
inline constexpr Guid IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Reference counting and interface lookup. An object lives while its count is above zero; the
// last Release destroys it. Interfaces are only ever called on the thread that created the
// object; a call from another thread answers RPC_E_WRONG_THREAD where it can fail.
class IUnknown
{
public:
    // On success stores an interface pointer with one reference added in `*object`;
    // E_NOINTERFACE (with `*object` null) for an interface the object does not have,
    // E_POINTER when `object` is null.
    virtual HRESULT QueryInterface(const Guid &iid, void **object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

// Late-bound calls by dispatch id.
class IDispatch : public IUnknown
{
public:
    // names[0] is a member name, any further names are parameter names of that member. Names
    // compare case-insensitively. Fills `ids` with one id per name (parameter ids are their
    // positions); DISP_E_UNKNOWNNAME when any name is unknown, whose id is then DISPID_UNKNOWN.
    virtual HRESULT GetIDsOfNames(const QStringList &names, QVector<DISPID> *ids) = 0;

    // Calls member `id`: a method (DISPATCH_METHOD), a property read (DISPATCH_PROPERTYGET) or
    // a property write (DISPATCH_PROPERTYPUT, the new value being the only argument).
    // Arguments come in declaration order and are converted to the declared types. Results:
    // S_OK with `*result` set (when given; empty for methods without a result);
    // DISP_E_MEMBERNOTFOUND for an unknown id or a kind of call the member does not support (a
    // write to a read-only property); DISP_E_BADPARAMCOUNT; DISP_E_TYPEMISMATCH or
    // DISP_E_OVERFLOW with `*argError` the position of the argument that could not be converted;
    // DISP_E_EXCEPTION when the member failed, with `*exception` describing it.
    virtual HRESULT Invoke(DISPID id, std::uint16_t flags, const VariantList &args, Variant *result,
                           ExceptionInfo *exception, std::uint32_t *argError) = 0;

protected:
    ~IDispatch() = default;
};

class IClassFactory : public IUnknown
{
public:
    // Creates a new object and stores its interface `iid` in `*object`. CLASS_E_NOAGGREGATION
    // when `outer` is given; RPC_E_WRONG_THREAD off the serving thread.
    virtual HRESULT CreateInstance(IUnknown *outer, const Guid &iid, void **object) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

// The entry points a component library exports (extern "C").
using DllGetClassObjectFunction = HRESULT (*)(const Guid *clsid, const Guid *iid, void **object);
using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();
using DllCanUnloadNowFunction = HRESULT (*)();
// Writes the interface description to the file named by `fileName` (UTF-8); `version` may be
// null ("1.0").
using DumpIDLFunction = HRESULT (*)(const char *fileName, const char *version);

} // namespace quirex::automation
