#pragma once

#include <QString>
#include <QStringList>

namespace quirex::app
{

// Splits a command line given as one string (as a hand-off message or a
// script may carry it) into tokens. A token that begins with a double quote
// runs to the next double quote, both quotes included; any other token runs
// to the next blank (space or tab). A token still open at the end of the line
// ends there; empty tokens (runs of blanks) are dropped. The program's own
// arguments arrive already split in argv and do not pass through here.
QStringList tokenizeCommandLine(const QString &line);

// Removes every occurrence of `word` from `line`, matched without regard to
// letter case, also inside longer words. An empty `word` changes nothing.
QString removeSwitch(const QString &line, const QString &word);

} // namespace quirex::app
