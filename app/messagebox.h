#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace quirex::app
{

enum class MessageIcon { Error, Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Shows a modal message box without an owner window and returns the answer.
// Without a display (no DISPLAY or WAYLAND_DISPLAY for a new application
// object, or an application object on a headless platform such as offscreen)
// nothing can answer a box: the line "TITLE: TEXT" (line breaks and other
// control characters turned into blanks) goes to the headless sink instead,
// and the box's default answer is returned: Ok, or No for Yes/No.
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

// The box for a COM error that escaped an engine call: "Quirex Addon has
// thrown an exception:", a blank line and "com error: CODE - TEXT" (the code
// as signed decimal, TEXT from comErrorText), literal title "Error".
void engineExceptionBox(int32_t code, const QString &errorText);
// The text of that box.
QString engineExceptionText(int32_t code, const QString &errorText);

// Receives the one-line form of boxes shown without a display. The default
// sink writes the line and a line feed to the standard error stream; an empty
// function restores it.
using HeadlessMessageSink = std::function<void(const QString &line)>;
void setHeadlessMessageSink(HeadlessMessageSink sink);

// The one-line form "TITLE: TEXT" of a box.
QString headlessMessageLine(const QString &title, const QString &text);

} // namespace quirex::app
