#include "profileparser.h"

#include <QList>

#include <limits>

namespace quirex::platform
{

namespace
{

enum class LineKind { Other, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed, quotes not yet removed
    bool blank = false;
};

ParsedLine parseLine(const QByteArray &raw)
{
    ParsedLine line;
    QString text = QString::fromUtf8(raw);
    // Editors may start a UTF-8 file with a byte-order mark.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text = text.trimmed();
    if (text.isEmpty()) {
        line.blank = true;
        return line;
    }
    if (text.startsWith(QLatin1Char(';'))) {
        line.kind = LineKind::Comment;
        return line;
    }
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        line.kind = LineKind::Section;
        line.name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
        return line;
    }
    const int equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return line;
    line.kind = LineKind::Key;
    line.name = text.left(equals).trimmed();
    line.value = text.mid(equals + 1).trimmed();
    return line;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isQuoted(const QString &value)
{
    if (value.size() < 2)
        return false;
    const QChar first = value.front();
    return (first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first;
}

QString unquote(const QString &value)
{
    return isQuoted(value) ? value.mid(1, value.size() - 2) : value;
}

// The lines of `contents` without their LF; a final LF does not start a line.
QList<QByteArray> splitLines(const QByteArray &contents)
{
    QList<QByteArray> lines = contents.split('\n');
    if (contents.endsWith('\n'))
        lines.removeLast();
    if (contents.isEmpty())
        lines.clear();
    return lines;
}

} // namespace

std::optional<QString> findProfileValue(const QByteArray &contents, const QString &section,
                                        const QString &key)
{
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    if (wantedKey.isEmpty())
        return std::nullopt;
    bool inSection = false;
    for (const QByteArray &raw : splitLines(contents)) {
        const ParsedLine line = parseLine(raw);
        if (line.kind == LineKind::Section)
            inSection = sameName(line.name, wantedSection);
        else if (inSection && line.kind == LineKind::Key && sameName(line.name, wantedKey))
            return unquote(line.value);
    }
    return std::nullopt;
}

int parseProfileInt(const QString &text, int defaultValue)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return defaultValue;
    int pos = 0;
    bool negative = false;
    if (trimmed[0] == QLatin1Char('-') || trimmed[0] == QLatin1Char('+')) {
        negative = trimmed[0] == QLatin1Char('-');
        ++pos;
    }
    qint64 magnitude = 0;
    const qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; pos < trimmed.size() && trimmed[pos] >= QLatin1Char('0') &&
           trimmed[pos] <= QLatin1Char('9');
         ++pos) {
        magnitude = magnitude * 10 + (trimmed[pos].unicode() - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    const qint64 result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return int(result);
}

QString truncateToBuffer(const QString &value, int bufferBytes)
{
    if (bufferBytes < 1)
        return QString();
    const QByteArray utf8 = value.toUtf8();
    if (utf8.size() <= bufferBytes - 1)
        return value;
    int cut = bufferBytes - 1;
    // Step back over continuation bytes so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return QString::fromUtf8(utf8.left(cut));
}

bool isWritableProfileEntry(const QString &section, const QString &key, const QString &value)
{
    for (const QString *text : {&section, &key, &value})
        for (const QChar c : *text)
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.isNull())
                return false;
    const QString name = key.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('=')) || name.startsWith(QLatin1Char('[')) ||
        name.startsWith(QLatin1Char(';')))
        return false;
    return !section.contains(QLatin1Char(']'));
}

std::optional<QByteArray> setProfileValue(const QByteArray &contents, const QString &section,
                                          const QString &key, const QString &value)
{
    if (!isWritableProfileEntry(section, key, value))
        return std::nullopt;
    const QString wantedSection = section.trimmed();
    const QString wantedKey = key.trimmed();
    const QByteArray eol = contents.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    const bool needsQuotes = value != value.trimmed() || isQuoted(value);
    const QByteArray entry =
        wantedKey.toUtf8() + '=' + (needsQuotes ? '"' + value.toUtf8() + '"' : value.toUtf8());

    QList<QByteArray> lines = splitLines(contents);
    int keyLine = -1;
    int firstSectionEnd = -1; // last non-blank line of the first matching section
    bool inSection = false;
    bool inFirstSection = false;
    for (int i = 0; i < lines.size() && keyLine < 0; ++i) {
        const ParsedLine line = parseLine(lines[i]);
        if (line.kind == LineKind::Section) {
            inSection = sameName(line.name, wantedSection);
            inFirstSection = inSection && firstSectionEnd < 0;
            if (inFirstSection)
                firstSectionEnd = i;
            continue;
        }
        if (inFirstSection && !line.blank)
            firstSectionEnd = i;
        if (inSection && line.kind == LineKind::Key && sameName(line.name, wantedKey))
            keyLine = i;
    }

    if (keyLine >= 0) {
        // Keep the line's own ending (a CR before the LF).
        lines[keyLine] = entry + (lines[keyLine].endsWith('\r') ? "\r" : "");
    } else if (firstSectionEnd >= 0) {
        lines.insert(firstSectionEnd + 1, entry + (eol == "\r\n" ? "\r" : ""));
    } else {
        const QByteArray cr = eol == "\r\n" ? QByteArray("\r") : QByteArray();
        lines.append('[' + wantedSection.toUtf8() + ']' + cr);
        lines.append(entry + cr);
    }
    QByteArray result;
    for (const QByteArray &line : qAsConst(lines))
        result += line + '\n';
    return result;
}

} // namespace quirex::platform
