#pragma once

#include "hresult.h"

#include <QString>

namespace quirex::automation
{

// What a dispatch call reports beside its status code when it fails with DISP_E_EXCEPTION
// (and what the client side keeps about any failed call).
struct ExceptionInfo {
    HRESULT code = S_OK;
    QString source;
    QString description;

    void clear() { *this = ExceptionInfo(); }
};

} // namespace quirex::automation
