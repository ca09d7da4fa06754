#include "diagnostic.h"

#include <cstdio>

namespace quirex::app
{

QByteArray diagnosticRecord(const QString &message, int errorNumber, int line,
                            const QString &module)
{
    return "error:\nmsg: " + message.toUtf8() + "\nerrcode: " + QByteArray::number(errorNumber) +
           "\nline: " + QByteArray::number(line) + "\nfile: " + module.toUtf8() + '\n';
}

void writeDiagnostic(const QString &message, int errorNumber, int line, const QString &module)
{
    const QByteArray record = diagnosticRecord(message, errorNumber, line, module);
    std::fwrite(record.constData(), 1, size_t(record.size()), stderr);
    std::fflush(stderr);
}

} // namespace quirex::app
