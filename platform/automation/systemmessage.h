#pragma once

#include "hresult.h"

#include <QString>

namespace quirex::automation
{

// The system's message text for a status code the automation layer produces, in English and
// without a trailing line break ("Class not registered", "Unknown name."). Empty for a code the
// table does not know; callers then build their own fallback text.
QString systemMessageText(HRESULT code);

// The code as "0x" and eight upper-case hex digits ("0x80020006").
QString hresultHex(HRESULT code);

} // namespace quirex::automation
