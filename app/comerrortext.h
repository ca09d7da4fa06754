#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace quirex::app
{

// Looks up the system's message text for a failure code; empty when there is
// none. The automation layer's message table provides one.
using SystemMessageLookup = std::function<QString(int32_t code)>;

// The readable text of a failure code: the system text with one trailing LF
// (and a CR before it) removed; without a system text, "IDispatch error #N"
// for codes 0x80040201..0x8004FFFF (N = low 16 bits minus 0x200), else
// "Unknown error 0xHEX" (upper-case hexadecimal, no padding).
QString comErrorText(int32_t code, const QString &systemMessage);

// The same, asking `lookup` for the system text; without one, the automation
// layer's table of system messages.
QString comErrorText(int32_t code, const SystemMessageLookup &lookup = {});

} // namespace quirex::app
