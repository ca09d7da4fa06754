#pragma once

// Turns a library into a component library: declare its factory list once, at file scope of
// one source file of the library, and the library exports DllGetClassObject, DllCanUnloadNow,
// DllRegisterServer, DllUnregisterServer and DumpIDL.
//
//   class Gadget : public QObject {
//       Q_OBJECT
//       Q_CLASSINFO("ClassID", "{...}")
//       Q_CLASSINFO("InterfaceID", "{...}")
//       ...
//   };
//
//   QUIREX_AUTOMATION_FACTORY_BEGIN("{type library id}", "{application id}")
//       QUIREX_AUTOMATION_CLASS(Gadget)
//   QUIREX_AUTOMATION_FACTORY_END()
//
// Each class needs a public constructor callable without arguments (a widget class is created
// without parent). Its class and interface ids come from its class information "ClassID" and
// "InterfaceID", or are given with QUIREX_AUTOMATION_CLASS_WITH_IDS(Class, clsid, iid). Build the
// library as a MODULE without "lib" prefix (quirex_register_component does): its file name gives
// the type library name ("<library>Lib") and the ProgIDs ("<library>.<Class>", the class name
// without namespace). A class with a ProgID of its own names it in its class information
// "ProgID" or with QUIREX_AUTOMATION_CLASS_AS(Class, progId, clsid, iid), where null ids are
// read from the class information.
//
// In a process without a Qt application object the library makes one (a QApplication, see
// platform/qtapp) before its first object: the library links quirex_qtapp, as
// quirex_register_component arranges.

#include "guid.h"
#include "headlessapplication.h"
#include "hresult.h"
#include "servermodule.h"

#define QUIREX_AUTOMATION_EXPORT extern "C" __attribute__((visibility("default")))

#define QUIREX_AUTOMATION_FACTORY_BEGIN(typeLibraryId, applicationId)                              \
    namespace                                                                                      \
    {                                                                                              \
    const char quirexAutomationAnchor = 0;                                                         \
    void quirexAutomationCreateApplication()                                                       \
    {                                                                                              \
        ::quirex::platform::ensureApplication();                                                   \
    }                                                                                              \
    ::quirex::automation::ServerModule &quirexAutomationModule()                                   \
    {                                                                                              \
        /* Never destroyed: objects released by a client's static destructors at exit may          \
           still need it. */                                                                       \
        static ::quirex::automation::ServerModule *module =                                    \
            new ::quirex::automation::ServerModule(typeLibraryId, applicationId,                \
                                                   &quirexAutomationAnchor,                     \
                                                   &quirexAutomationCreateApplication, {

#define QUIREX_AUTOMATION_CLASS(Class) ::quirex::automation::ServerClass::of<Class>(),

#define QUIREX_AUTOMATION_CLASS_AS(Class, progId, clsid, iid)                                      \
    ::quirex::automation::ServerClass::of<Class>(clsid, iid, progId),

#define QUIREX_AUTOMATION_CLASS_WITH_IDS(Class, clsid, iid)                                        \
    ::quirex::automation::ServerClass::of<Class>(clsid, iid),

#define QUIREX_AUTOMATION_FACTORY_END()                                                            \
    });                                                                                            \
    return *module;                                                                                \
    }                                                                                              \
    }                                                                                              \
    QUIREX_AUTOMATION_EXPORT ::quirex::automation::HRESULT DllGetClassObject(                      \
        const ::quirex::automation::Guid *clsid, const ::quirex::automation::Guid *iid,            \
        void **object)                                                                             \
    {                                                                                              \
        return quirexAutomationModule().getClassObject(clsid, iid, object);                        \
    }                                                                                              \
    QUIREX_AUTOMATION_EXPORT ::quirex::automation::HRESULT DllCanUnloadNow()                       \
    {                                                                                              \
        return quirexAutomationModule().canUnloadNow();                                            \
    }                                                                                              \
    QUIREX_AUTOMATION_EXPORT ::quirex::automation::HRESULT DllRegisterServer()                     \
    {                                                                                              \
        return quirexAutomationModule().registerServer();                                          \
    }                                                                                              \
    QUIREX_AUTOMATION_EXPORT ::quirex::automation::HRESULT DllUnregisterServer()                   \
    {                                                                                              \
        return quirexAutomationModule().unregisterServer();                                        \
    }                                                                                              \
    QUIREX_AUTOMATION_EXPORT ::quirex::automation::HRESULT DumpIDL(const char *fileName,           \
                                                                   const char *version)            \
    {                                                                                              \
        return quirexAutomationModule().dumpIdl(fileName, version);                                \
    }
