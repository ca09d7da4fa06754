#pragma once

#include "exceptioninfo.h"
#include "guid.h"
#include "hresult.h"
#include "interfaces.h"

#include <QString>

namespace quirex::automation
{

// These read the component registry of the per-user registry in force (QUIREX_REGISTRY, ...) at
// each call. Where `detail` is given, a failure also fills it with its code, the source
// "automation" and a description for logs (a library's loader message, an untrusted path).

// ProgID -> class id. CO_E_CLASSSTRING for an unknown ProgID.
HRESULT CLSIDFromProgID(const QString &progId, Guid *clsid);

// Creates an object of class `clsid` in the library registered for it and stores its interface
// `iid` in `*object`: REGDB_E_CLASSNOTREG when no trusted library is registered for it,
// CO_E_DLLNOTFOUND when the library is missing or cannot be loaded, CO_E_ERRORINDLL when it exports
// no DllGetClassObject, else what the library's class factory answers (RPC_E_WRONG_THREAD off the
// library's serving thread, E_NOINTERFACE, ...). The library stays loaded for the rest of the
// process: it may hold the Qt application object.
HRESULT CoCreateInstance(const Guid &clsid, const Guid &iid, void **object,
                         ExceptionInfo *detail = nullptr);

// The step of creating an object by ProgID that failed.
enum class CreationStep {
    None,          // nothing failed
    ResolveProgId, // the ProgID names no class (CLSIDFromProgID)
    CreateObject,  // the class gave no object with the interface asked for (CoCreateInstance)
};

// CLSIDFromProgID, then CoCreateInstance for IDispatch.
HRESULT createDispatchObject(const QString &progId, IDispatch **object,
                             ExceptionInfo *detail = nullptr);

// The same for the dispatch interface `iid`: IDispatch, or the class's own dispatch interface
// (its "InterfaceID"), which an object that has it gives as its IDispatch. E_NOINTERFACE when
// the object lacks it. Where `failedStep` is given it tells which of the two steps failed.
HRESULT createDispatchObject(const QString &progId, const Guid &iid, IDispatch **object,
                             ExceptionInfo *detail = nullptr, CreationStep *failedStep = nullptr);

// Loads a component library by absolute path (never unloaded) and returns the handle, or null
// with `error` set.
void *loadComponentLibrary(const QString &path, QString *error);

} // namespace quirex::automation
