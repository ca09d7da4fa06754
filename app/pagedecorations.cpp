#include "pagedecorations.h"

namespace quirex::app
{

namespace
{

// The value of the bracket word `word` (without its brackets); false for a
// word that is no placeholder.
bool bracketValue(QStringView word, const PageFacts &facts, QString *value)
{
    if (word == QLatin1String("page"))
        *value = QString::number(facts.page);
    else if (word == QLatin1String("topage"))
        *value = QString::number(facts.toPage);
    else if (word == QLatin1String("frompage"))
        *value = QString::number(facts.fromPage);
    else if (word == QLatin1String("sitepage"))
        *value = QString::number(facts.sitePage);
    else if (word == QLatin1String("sitepages"))
        *value = QString::number(facts.sitePages);
    else if (word == QLatin1String("date"))
        *value = facts.date;
    else if (word == QLatin1String("time"))
        *value = facts.time;
    else if (word == QLatin1String("title"))
        *value = facts.title;
    else if (word == QLatin1String("webpage"))
        *value = facts.webpage;
    else if (word == QLatin1String("section") || word == QLatin1String("subsection"))
        value->clear();
    else
        return false;
    return true;
}

QString expandBrackets(const QString &text, const PageFacts &facts)
{
    QString result;
    result.reserve(text.size());
    int from = 0;
    while (from < text.size()) {
        const int open = text.indexOf(QLatin1Char('['), from);
        if (open < 0)
            break;
        const int close = text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0)
            break;
        // The last "[" before the "]" opens the word: "[[page]" keeps its
        // first bracket.
        const int start = text.lastIndexOf(QLatin1Char('['), close);
        QString value;
        result += QStringView(text).mid(from, start - from);
        if (bracketValue(QStringView(text).mid(start + 1, close - start - 1), facts, &value))
            result += value;
        else
            result += QStringView(text).mid(start, close - start + 1);
        from = close + 1;
    }
    result += QStringView(text).mid(from);
    return result;
}

QString expandPercent(const QString &text, const PageFacts &facts)
{
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (text.at(i) == QLatin1Char('%') && next == QLatin1Char('c')) {
            result += QString::number(facts.page);
            ++i;
        } else if (text.at(i) == QLatin1Char('%') && next == QLatin1Char('t')) {
            result += QString::number(facts.toPage);
            ++i;
        } else {
            result += text.at(i);
        }
    }
    return result;
}

} // namespace

bool PageBand::isEmpty() const
{
    return left.isEmpty() && center.isEmpty() && right.isEmpty() && !line;
}

bool PageBand::operator==(const PageBand &other) const
{
    return left == other.left && center == other.center && right == other.right &&
           fontName == other.fontName && fontSize == other.fontSize &&
           spacingMm == other.spacingMm && line == other.line;
}

bool PageDecorations::isEmpty() const
{
    return header.isEmpty() && footer.isEmpty();
}

bool PageDecorations::operator==(const PageDecorations &other) const
{
    return header == other.header && footer == other.footer && syntax == other.syntax;
}

QString expandPlaceholders(const QString &text, const PageFacts &facts, PlaceholderSyntax syntax)
{
    return syntax == PlaceholderSyntax::Percent ? expandPercent(text, facts)
                                                : expandBrackets(text, facts);
}

} // namespace quirex::app
