#pragma once

// For the test programs of the hand-off server; they link quirexdesk_pipe and quirex_registry.
#include "handoffcallback.h"
#include "registry.h"

#include <QString>

namespace quirex::test
{

// The text the hand-off server last stored in the registry in force; empty when there is none.
inline QString storedHandOffText()
{
    return platform::Registry().stringValue(QLatin1String(app::HandOffCallback::kRegistryKey),
                                            QLatin1String(app::HandOffCallback::kRegistryValue));
}

} // namespace quirex::test
