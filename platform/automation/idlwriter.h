#pragma once

#include "dispatchinterface.h"
#include "guid.h"

#include <QString>
#include <QVector>

namespace quirex::automation
{

struct IdlClass {
    const DispatchInterface *interface;
    Guid clsid;
    Guid iid;
};

// The interface description of a component library in the interface definition language: type
// library "<libraryName>Lib" holding, per class, the dispatch interface "I<Class>" with its
// properties and methods by dispatch id (parameters named "p_<name>") and the coclass "<Class>".
QString interfaceDescription(const QString &libraryName, const Guid &typeLibrary,
                             const QString &version, const QVector<IdlClass> &classes);

} // namespace quirex::automation
