#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <functional>

namespace quirex::app
{

enum class MessageIcon { Error, Warning, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Shows a message to the user and returns the answer: in the program a modal
// message box (ui::showMessageBox), in tests a recorder. The application's
// core reports through such a function and never shows a box itself.
using MessageBoxFunction = std::function<MessageAnswer(const QString &text, const QString &title,
                                                       MessageIcon icon, MessageButtons buttons)>;

// What a box does where nobody can answer it: the line "TITLE: TEXT" (see
// headlessMessageLine) goes to the headless sink, and the box's default
// answer is returned: Ok, or No for Yes/No. Usable as a MessageBoxFunction.
MessageAnswer reportWithoutDisplay(const QString &text, const QString &title, MessageIcon icon,
                                   MessageButtons buttons = MessageButtons::Ok);

// Receives the one-line form of boxes shown without a display. The default
// sink writes the line and a line feed to the standard error stream; an empty
// function restores it.
using HeadlessMessageSink = std::function<void(const QString &line)>;
void setHeadlessMessageSink(HeadlessMessageSink sink);

// The one-line form "TITLE: TEXT" of a box, line breaks and other control
// characters turned into blanks.
QString headlessMessageLine(const QString &title, const QString &text);

// Writes `text` as UTF-8 to `stream` (stdout or stderr) and flushes it.
void writeText(std::FILE *stream, const QString &text);

// The text of the box for a COM error that escaped an engine call: "Quirex
// Addon has thrown an exception:", a blank line and "com error: CODE - TEXT"
// (the code as signed decimal, TEXT from comErrorText). Its title is the
// literal "Error".
QString engineExceptionText(int32_t code, const QString &errorText);

} // namespace quirex::app
