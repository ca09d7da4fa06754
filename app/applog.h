#pragma once

#include <QByteArray>
#include <QString>

class QDateTime;

namespace quirex::app
{

// The application log, "log.txt" in the log folder (platform/logfolder). The
// folder is never created: without it nothing is written. Failures of the
// log are never reported.

// The start record for the UTC time `utc`: day.month.year, two blanks,
// hour:minute:second (no zero padding), CR LF, "Start application", CR LF,
// CR LF.
QByteArray logStartRecord(const QDateTime &utc);

// Creates (or truncates) the log and writes the start record for the current
// UTC time, or for `utc`.
void logStart();
void logStart(const QDateTime &utc);

// Off: logStart() does nothing, so that a worker process appends to the log
// of the program that started it instead of starting it anew.
void setLogStartEnabled(bool on);

// Appends `text` and a line feed to the existing log in one write. A log that
// does not exist (never started, or deleted since) stays absent: the entry is
// dropped. `text` is written as it is, never read as a format.
void logLine(const QString &text);

} // namespace quirex::app
