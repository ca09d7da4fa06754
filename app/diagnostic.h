#pragma once

#include <QByteArray>
#include <QString>

namespace quirex::app
{

// The diagnostic record for a failed system call: "error:", then the lines
// "msg: MESSAGE", "errcode: NUMBER", "line: LINE" and "file: MODULE", each
// ended by LF. Texts are inserted as they are, never read as formats.
QByteArray diagnosticRecord(const QString &message, int errorNumber, int line,
                            const QString &module);

// Writes diagnosticRecord(...) to the standard error stream in one write.
// Meant for the program's start-up and pipe server, which have no other
// channel when a system call fails.
void writeDiagnostic(const QString &message, int errorNumber, int line, const QString &module);

} // namespace quirex::app
