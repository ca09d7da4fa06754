#include "guid.h"

namespace quirex::automation
{

namespace
{

bool readHex(const QString &text, int from, int digits, std::uint64_t *out)
{
    std::uint64_t value = 0;
    for (int i = from; i < from + digits; ++i) {
        const ushort c = text.at(i).unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + std::uint64_t(digit);
    }
    *out = value;
    return true;
}

} // namespace

std::optional<Guid> Guid::fromString(const QString &text)
{
    // {01234567-0123-0123-0123-0123456789ab}
    if (text.size() != 38 || text.at(0) != QLatin1Char('{') || text.at(37) != QLatin1Char('}'))
        return std::nullopt;
    for (int dash : {9, 14, 19, 24}) {
        if (text.at(dash) != QLatin1Char('-'))
            return std::nullopt;
    }
    Guid guid;
    std::uint64_t part = 0;
    if (!readHex(text, 1, 8, &part))
        return std::nullopt;
    guid.data1 = std::uint32_t(part);
    if (!readHex(text, 10, 4, &part))
        return std::nullopt;
    guid.data2 = std::uint16_t(part);
    if (!readHex(text, 15, 4, &part))
        return std::nullopt;
    guid.data3 = std::uint16_t(part);
    for (int i = 0; i < 8; ++i) {
        const int at = i < 2 ? 20 + 2 * i : 25 + 2 * (i - 2);
        if (!readHex(text, at, 2, &part))
            return std::nullopt;
        guid.data4[size_t(i)] = std::uint8_t(part);
    }
    return guid;
}

QString Guid::toBareString() const
{
    auto hex = [](std::uint64_t value, int digits) {
        return QString::number(value, 16).rightJustified(digits, QLatin1Char('0')).toUpper();
    };
    QString text = hex(data1, 8) + QLatin1Char('-') + hex(data2, 4) + QLatin1Char('-') +
                   hex(data3, 4) + QLatin1Char('-');
    for (size_t i = 0; i < 8; ++i) {
        if (i == 2)
            text += QLatin1Char('-');
        text += hex(data4[i], 2);
    }
    return text;
}

QString Guid::toString() const
{
    return QLatin1Char('{') + toBareString() + QLatin1Char('}');
}

} // namespace quirex::automation
