#include "commandlinetokens.h"

namespace quirex::app
{

namespace
{

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

QStringList tokenizeCommandLine(const QString &line)
{
    QStringList tokens;
    const int size = line.size();
    int i = 0;
    while (i < size) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        const int start = i;
        if (line[i] == QLatin1Char('"')) {
            const int close = line.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? size : close + 1;
        } else {
            while (i < size && !isBlank(line[i]))
                ++i;
        }
        tokens.append(line.mid(start, i - start));
    }
    return tokens;
}

QString removeSwitch(const QString &line, const QString &word)
{
    if (word.isEmpty())
        return line;
    QString result = line;
    // Case-insensitive search compares character by character, so the found
    // span is the span to cut.
    for (int at = result.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
         at = result.indexOf(word, qMax(0, at - word.size()), Qt::CaseInsensitive))
        result.remove(at, word.size());
    return result;
}

} // namespace quirex::app
