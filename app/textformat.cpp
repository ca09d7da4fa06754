#include "textformat.h"

#include <vector>

namespace quirex::app
{

namespace
{

QString toText(const FormatArgument &argument)
{
    if (const QString *text = std::get_if<QString>(&argument))
        return *text;
    return QString::number(std::get<qint64>(argument));
}

} // namespace

QString fillFormat(const QString &format, std::initializer_list<FormatArgument> arguments)
{
    const std::vector<FormatArgument> args(arguments);
    size_t next = 0;
    QString result;
    result.reserve(format.size());
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            result += c;
            continue;
        }
        const QChar directive = format[i + 1];
        if (directive == QLatin1Char('%')) {
            result += QLatin1Char('%');
            ++i;
        } else if ((directive == QLatin1Char('s') || directive == QLatin1Char('d') ||
                    directive == QLatin1Char('i') || directive == QLatin1Char('u')) &&
                   next < args.size()) {
            result += toText(args[next++]);
            ++i;
        } else {
            result += c;
        }
    }
    return result;
}

} // namespace quirex::app
