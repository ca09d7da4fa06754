#include "handoffmessage.h"

#include "localsocket.h"

namespace quirex::app
{

QString handOffSocketPath(int *error)
{
    const QString folder = platform::runtimeFolder(error);
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + QLatin1String(kHandOffSocketName);
}

QString decodeHandOffMessage(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const int units = bytes.size() / 2;
    QString text;
    text.reserve(units);
    for (int i = 0; i < units; ++i) {
        const char16_t unit = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

QString handOffRegistryText(const QString &text)
{
    int end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char('"'))
        --end;
    int begin = 0;
    while (begin < end && text.at(begin) == QLatin1Char('"'))
        ++begin;
    return text.mid(begin, end - begin);
}

QByteArray encodeHandOffMessage(const QString &text)
{
    if (text.isEmpty())
        return QByteArray(2, '\0');
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace quirex::app
