// The engine's component library: QUIREX as the automation class
// "quirex.QUIREX" of the type library quirexLib. The library file must be
// named quirex for that ProgID; the ids below never change, since clients
// and registries refer to them.
#include "quirex.h"

#include "automationserver.h"

#include <QMetaType>

namespace
{
const int quirexPointerType = qRegisterMetaType<QUIREX *>("QUIREX*");
} // namespace

QUIREX_AUTOMATION_FACTORY_BEGIN("{04D15413-DD1A-4973-8D55-4C7EAFB02765}",
                                "{8617C0DA-2238-42FD-A81C-B6035A396D5D}")
QUIREX_AUTOMATION_CLASS(QUIREX)
QUIREX_AUTOMATION_FACTORY_END()
