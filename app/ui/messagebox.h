#pragma once

#include "messagereport.h"

#include <QString>

#include <cstdint>

namespace quirex::app::ui
{

// Shows a modal message box without an owner window and returns the answer;
// the program's MessageBoxFunction. Without a display (no DISPLAY or
// WAYLAND_DISPLAY for a new application object, or an application object on
// a headless platform such as offscreen) nothing can answer a box: it is
// reported as reportWithoutDisplay does, one line on the headless sink and
// the box's default answer.
MessageAnswer showMessageBox(const QString &text, const QString &title, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok);

// Error and warning boxes built from string-table ids (stringids.h).
void errorBox(int textId, int titleId);
void warningBox(int textId, int titleId);

// An error box whose text is the string-table format `formatId` filled with
// the arguments in order ("%s", then "%d"); the arguments are never read as
// formats.
void formattedErrorBox(int formatId, const QString &text, int titleId);
void formattedErrorBox(int formatId, const QString &text, qint64 number, int titleId);

// The box for a COM error that escaped an engine call (engineExceptionText),
// literal title "Error".
void engineExceptionBox(int32_t code, const QString &errorText);

} // namespace quirex::app::ui
