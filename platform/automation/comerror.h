#pragma once

#include "exceptioninfo.h"
#include "hresult.h"

#include <QByteArray>
#include <QString>

#include <exception>

namespace quirex::automation
{

// A failed automation call as an exception: its status code, the system text for the code
// (systemMessageText; may be empty) and what the server reported about it.
//
// A component's member may also throw it: the server module then answers the call with
// DISP_E_EXCEPTION and exception info carrying this code and description.
class ComError : public std::exception
{
public:
    explicit ComError(HRESULT code, const QString &description = QString(),
                      const QString &source = QString());
    ComError(HRESULT code, const ExceptionInfo &info);

    HRESULT code() const noexcept { return m_code; }
    QString text() const;
    QString description() const { return m_description; }
    QString source() const { return m_source; }
    ExceptionInfo exceptionInfo() const;

    // "0xHHHHHHHH text" and the description, if any, after a colon.
    const char *what() const noexcept override;

    // Throws ComError(code, info) when `code` is a failure.
    static void check(HRESULT code, const ExceptionInfo &info = ExceptionInfo());

private:
    HRESULT m_code;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

} // namespace quirex::automation
