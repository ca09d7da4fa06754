#include "comerror.h"

#include "systemmessage.h"

namespace quirex::automation
{

ComError::ComError(HRESULT code, const QString &description, const QString &source)
    : m_code(code)
    , m_description(description)
    , m_source(source)
{
    QString what = hresultHex(code);
    const QString message = systemMessageText(code);
    if (!message.isEmpty())
        what += QLatin1Char(' ') + message;
    if (!description.isEmpty())
        what += QLatin1String(": ") + description;
    m_what = what.toUtf8();
}

ComError::ComError(HRESULT code, const ExceptionInfo &info)
    : ComError(code, info.description, info.source)
{
}

QString ComError::text() const
{
    return systemMessageText(m_code);
}

ExceptionInfo ComError::exceptionInfo() const
{
    return ExceptionInfo{m_code, m_source, m_description};
}

const char *ComError::what() const noexcept
{
    return m_what.constData();
}

void ComError::check(HRESULT code, const ExceptionInfo &info)
{
    if (FAILED(code))
        throw ComError(code, info);
}

} // namespace quirex::automation
