#include "comerrortext.h"

#include "systemmessage.h"

namespace quirex::app
{

QString comErrorText(int32_t code, const QString &systemMessage)
{
    if (!systemMessage.isEmpty()) {
        QString text = systemMessage;
        if (text.endsWith(QLatin1Char('\n'))) {
            text.chop(1);
            if (text.endsWith(QLatin1Char('\r')))
                text.chop(1);
        }
        return text;
    }
    const uint32_t value = static_cast<uint32_t>(code);
    const uint32_t low = value & 0xFFFFu;
    if (value >= 0x80040200u && value <= 0x8004FFFFu && low != 0x0200u)
        return QStringLiteral("IDispatch error #%1").arg(low - 0x200u);
    return QStringLiteral("Unknown error 0x") + QString::number(value, 16).toUpper();
}

QString comErrorText(int32_t code, const SystemMessageLookup &lookup)
{
    return comErrorText(code, lookup ? lookup(code) : automation::systemMessageText(code));
}

} // namespace quirex::app
