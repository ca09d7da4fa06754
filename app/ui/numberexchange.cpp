#include "numberexchange.h"

namespace quirex::app::ui
{

NumberExchange exchangeNumber(const QString &text)
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        return {0, true};
    if (number < 0)
        return {0, true};
    if (number > MaxSettingNumber)
        return {MaxSettingNumber, true};
    return {int(number), false};
}

} // namespace quirex::app::ui
