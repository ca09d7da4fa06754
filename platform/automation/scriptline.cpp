#include "scriptline.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVector>

#include <cmath>
#include <optional>

namespace quirex::automation
{

namespace
{

struct Token {
    QString text;
    bool quoted = false;
};

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\v') || c == QLatin1Char('\f');
}

// Splits a line into words and quoted strings; false with `error` set when it cannot.
bool tokenize(const QString &line, QVector<Token> *tokens, QString *error)
{
    int i = 0;
    const int size = line.size();
    while (true) {
        while (i < size && isBlank(line.at(i)))
            ++i;
        if (i >= size)
            return true;
        Token token;
        if (line.at(i) == QLatin1Char('"')) {
            token.quoted = true;
            bool closed = false;
            for (++i; i < size; ++i) {
                const QChar c = line.at(i);
                if (c == QLatin1Char('"')) {
                    closed = true;
                    ++i;
                    break;
                }
                if (c != QLatin1Char('\\')) {
                    token.text += c;
                    continue;
                }
                if (++i >= size)
                    break;
                switch (line.at(i).unicode()) {
                case '"':
                    token.text += QLatin1Char('"');
                    break;
                case '\\':
                    token.text += QLatin1Char('\\');
                    break;
                case 'n':
                    token.text += QLatin1Char('\n');
                    break;
                case 't':
                    token.text += QLatin1Char('\t');
                    break;
                case 'r':
                    token.text += QLatin1Char('\r');
                    break;
                default:
                    *error = QStringLiteral("unknown escape \\%1 in a string").arg(line.at(i));
                    return false;
                }
            }
            if (!closed) {
                *error = QStringLiteral("string without closing quote");
                return false;
            }
            if (i < size && !isBlank(line.at(i))) {
                *error = QStringLiteral("text right after a closing quote");
                return false;
            }
        } else {
            while (i < size && !isBlank(line.at(i))) {
                if (line.at(i) == QLatin1Char('"')) {
                    *error = QStringLiteral("quote inside the word \"%1\"").arg(token.text);
                    return false;
                }
                token.text += line.at(i++);
            }
        }
        tokens->append(token);
    }
}

std::optional<Variant> parseValue(const Token &token, QString *error)
{
    if (token.quoted)
        return Variant(token.text);
    const QString &text = token.text;
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    static const QRegularExpression real(
        QStringLiteral("^[+-]?([0-9]+\\.[0-9]*|\\.[0-9]+|[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (integer.match(text).hasMatch()) {
        bool ok = false;
        const int number = text.toInt(&ok, 10);
        if (!ok) {
            *error = QStringLiteral("integer %1 does not fit 32 bits").arg(text);
            return std::nullopt;
        }
        return Variant(number);
    }
    if (real.match(text).hasMatch()) {
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        if (!ok || !std::isfinite(number)) {
            *error = QStringLiteral("number %1 is out of range").arg(text);
            return std::nullopt;
        }
        return Variant(number);
    }
    if (text == QLatin1String("true"))
        return Variant(true);
    if (text == QLatin1String("false"))
        return Variant(false);
    return Variant(text);
}

ScriptLineResult failure(const QString &error)
{
    ScriptLineResult result;
    result.error = error;
    return result;
}

} // namespace

ScriptLineResult parseScriptLine(const QString &line)
{
    const QString trimmed = line.trimmed();
    ScriptLineResult result;
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#'))) {
        result.ok = true;
        return result;
    }
    QVector<Token> tokens;
    QString error;
    if (!tokenize(line, &tokens, &error))
        return failure(error);

    const Token &keyword = tokens.first();
    const QString word = keyword.text.toLower();
    ScriptStatement &statement = result.statement;
    int wanted = -1; // words after the keyword; -1: at least one
    if (keyword.quoted)
        return failure(QStringLiteral("a line must begin with a statement, not a string"));
    if (word == QLatin1String("create")) {
        statement.kind = ScriptStatement::Kind::Create;
        wanted = 1;
    } else if (word == QLatin1String("put")) {
        statement.kind = ScriptStatement::Kind::Put;
        wanted = 2;
    } else if (word == QLatin1String("get")) {
        statement.kind = ScriptStatement::Kind::Get;
        wanted = 1;
    } else if (word == QLatin1String("call")) {
        statement.kind = ScriptStatement::Kind::Call;
    } else if (word == QLatin1String("release")) {
        statement.kind = ScriptStatement::Kind::Release;
        wanted = 0;
    } else {
        return failure(QStringLiteral("unknown statement \"%1\"").arg(keyword.text));
    }

    const int count = tokens.size() - 1;
    if ((wanted >= 0 && count != wanted) || (wanted < 0 && count < 1)) {
        static const char *const usage[] = {"",         "create PROGID",       "put NAME VALUE",
                                            "get NAME", "call NAME [ARG ...]", "release"};
        return failure(
            QStringLiteral("expected \"%1\"").arg(QLatin1String(usage[int(statement.kind)])));
    }
    if (count >= 1) {
        if (tokens.at(1).quoted)
            return failure(QStringLiteral("a name must be a word, not a quoted string"));
        statement.name = tokens.at(1).text;
    }
    for (int i = 2; i < tokens.size(); ++i) {
        const auto value = parseValue(tokens.at(i), &error);
        if (!value)
            return failure(error);
        statement.arguments.append(*value);
    }
    result.ok = true;
    return result;
}

QString formatScriptValue(const Variant &value)
{
    switch (value.type()) {
    case VarType::Empty:
        return QStringLiteral("empty");
    case VarType::I4:
        return QString::number(value.toInt());
    case VarType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case VarType::R8: {
        const double number = value.toDouble();
        if (std::isnan(number))
            return QStringLiteral("nan");
        if (std::isinf(number))
            return number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
        QString text = shortestDoubleText(number);
        if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')))
            text += QLatin1String(".0");
        return text;
    }
    case VarType::BStr: {
        QString text = QStringLiteral("\"");
        for (const QChar c : value.toString()) {
            switch (c.unicode()) {
            case '"':
                text += QLatin1String("\\\"");
                break;
            case '\\':
                text += QLatin1String("\\\\");
                break;
            case '\n':
                text += QLatin1String("\\n");
                break;
            case '\t':
                text += QLatin1String("\\t");
                break;
            case '\r':
                text += QLatin1String("\\r");
                break;
            default:
                text += c;
            }
        }
        return text + QLatin1Char('"');
    }
    }
    return QString();
}

} // namespace quirex::automation
