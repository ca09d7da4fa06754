// quirexscript: a script host that creates automation objects by ProgID and drives them.
//
//   quirexscript [-k] [FILE]
//
// Reads FILE (or standard input, also for "-") and runs it line by line; see scriptline.h for
// the statements and values. The whole script is parsed before anything runs. Exit codes:
// 0 every statement succeeded; 1 a statement failed (the run stops there, or with -k goes on);
// 2 bad arguments, an unreadable file or a line that cannot be parsed.
#include "automationobject.h"
#include "registry.h"
#include "scriptline.h"
#include "systemmessage.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextCodec>

#include <cstdio>

using namespace quirex::automation;

namespace
{

void printLine(FILE *stream, const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), stream);
    std::fflush(stream);
}

int usage()
{
    printLine(stderr, QStringLiteral("usage: quirexscript [-k] [FILE]"));
    return 2;
}

void reportFailure(int line, const QString &name, HRESULT hr, const ExceptionInfo &info)
{
    QString message =
        QStringLiteral("quirexscript: line %1: %2: %3").arg(line).arg(name, hresultHex(hr));
    const QString text = systemMessageText(hr);
    if (!text.isEmpty())
        message += QLatin1Char(' ') + text;
    if (!info.description.isEmpty())
        message += QLatin1String(" (") + info.description + QLatin1Char(')');
    printLine(stderr, message);
}

// Runs one statement; returns its status code.
HRESULT run(const ScriptStatement &statement, AutomationObject &object, int line)
{
    HRESULT hr = S_OK;
    bool isId = false;
    const int id = statement.name.toInt(&isId);
    Variant value;
    switch (statement.kind) {
    case ScriptStatement::Kind::Nothing:
        return S_OK;
    case ScriptStatement::Kind::Create:
        hr = object.create(statement.name);
        break;
    case ScriptStatement::Kind::Release:
        object.release();
        return S_OK;
    case ScriptStatement::Kind::Put:
        hr = isId ? object.setProperty(id, statement.arguments.first())
                  : object.setProperty(statement.name, statement.arguments.first());
        break;
    case ScriptStatement::Kind::Get:
        hr = isId ? object.property(id, &value) : object.property(statement.name, &value);
        if (SUCCEEDED(hr))
            printLine(stdout, statement.name + QLatin1String(" = ") + formatScriptValue(value));
        break;
    case ScriptStatement::Kind::Call:
        hr = isId ? object.call(id, statement.arguments, &value)
                  : object.call(statement.name, statement.arguments, &value);
        if (SUCCEEDED(hr) && !value.isEmpty())
            printLine(stdout, statement.name + QLatin1String(" -> ") + formatScriptValue(value));
        break;
    }
    if (FAILED(hr))
        reportFailure(line, statement.name, hr, object.exceptionInfo());
    return hr;
}

} // namespace

int main(int argc, char **argv)
{
    quirex::platform::Registry::reportDamageOnStandardError(QStringLiteral("quirexscript"));
    bool keepGoing = false;
    QString fileName;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("-k") || arg == QLatin1String("--keep-going")) {
            keepGoing = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            usage();
            return 0;
        } else if ((arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) ||
                   !fileName.isEmpty()) {
            return usage();
        } else {
            fileName = arg;
        }
    }

    QFile file;
    bool opened;
    if (fileName.isEmpty() || fileName == QLatin1String("-")) {
        opened = file.open(stdin, QIODevice::ReadOnly);
    } else {
        file.setFileName(fileName);
        opened = file.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        printLine(
            stderr,
            QStringLiteral("quirexscript: cannot read %1: %2").arg(fileName, file.errorString()));
        return 2;
    }
    QTextCodec::ConverterState state;
    const QByteArray bytes = file.readAll();
    const QString text =
        QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0) {
        printLine(stderr, QStringLiteral("quirexscript: %1 is not UTF-8 text")
                              .arg(fileName.isEmpty() ? QStringLiteral("input") : fileName));
        return 2;
    }

    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QVector<ScriptStatement> statements;
    for (int i = 0; i < lines.size(); ++i) {
        const ScriptLineResult parsed = parseScriptLine(lines.at(i));
        if (!parsed.ok) {
            printLine(stderr, QStringLiteral("quirexscript: line %1: cannot parse: %2")
                                  .arg(i + 1)
                                  .arg(parsed.error));
            return 2;
        }
        statements.append(parsed.statement);
    }

    AutomationObject object;
    bool failed = false;
    for (int i = 0; i < statements.size(); ++i) {
        if (FAILED(run(statements.at(i), object, i + 1))) {
            failed = true;
            if (!keepGoing)
                break;
        }
    }
    return failed ? 1 : 0;
}
