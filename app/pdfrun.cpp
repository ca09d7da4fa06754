#include "pdfrun.h"

#include "commandlinerun.h"
#include "converter.h"
#include "engineclient.h"
#include "interruption.h"
#include "messagereport.h"
#include "outputclash.h"
#include "pdfcommandline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace quirex::app
{

namespace
{

void say(const QString &text)
{
    writeText(stderr, QStringLiteral("quirexpdf: ") + text + QLatin1Char('\n'));
}

bool isNetworkAddress(const QString &input)
{
    return input.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           input.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Reads all of standard input into `path`. False, with `error`, when it
// cannot be read or the file cannot be written.
bool readStandardInput(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count == 0)
            break;
        if (count < 0) {
            if (errno == EINTR && interruptionSignal() == 0)
                continue;
            *error = QStringLiteral("standard input cannot be read: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (file.write(buffer, count) != count) {
            *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
            return false;
        }
    }
    if (!file.flush()) {
        *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// Copies the finished PDF to standard output. False when a byte could not be
// written (a closed pipe, a full disk).
bool copyToStandardOutput(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            return false;
        const char *data = chunk.constData();
        qint64 left = chunk.size();
        while (left > 0) {
            const ssize_t written = ::write(STDOUT_FILENO, data, size_t(left));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            left -= written;
        }
    }
    return true;
}

// The "Name: value" lines the engine sends: the custom headers, and the
// cookies as one Cookie header.
QString requestHeaderLines(const PdfOptions &options)
{
    QStringList lines;
    for (const auto &header : options.customHeaders)
        lines.append(header.first + QStringLiteral(": ") + header.second);
    QStringList cookies;
    for (const auto &cookie : options.cookies)
        cookies.append(cookie.first + QLatin1Char('=') + cookie.second);
    if (!cookies.isEmpty())
        lines.append(QStringLiteral("Cookie: ") + cookies.join(QStringLiteral("; ")));
    return lines.join(QLatin1Char('\n'));
}

// A header or cookie that would break its request line: its own line ends.
QString headerProblem(const PdfOptions &options)
{
    const auto bad = [](const QString &text) {
        return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    };
    for (const auto &header : options.customHeaders)
        if (bad(header.first) || bad(header.second) || header.first.contains(QLatin1Char(':')))
            return QStringLiteral("the header \"%1\" cannot be sent").arg(header.first);
    for (const auto &cookie : options.cookies)
        if (bad(cookie.first) || bad(cookie.second) || cookie.first.contains(QLatin1Char(';')) ||
            cookie.second.contains(QLatin1Char(';')))
            return QStringLiteral("the cookie \"%1\" cannot be sent").arg(cookie.first);
    return QString();
}

void configure(CConverter &converter, const PdfOptions &options)
{
    converter.setMessagesEnabled(false);
    converter.setSettings(options.settings);
    // The title goes in through the engine: no second pass over the PDF.
    converter.settings().Title.clear();
    converter.setPageDecorations(options.decorations);
    converter.setReservesPageNumberSpace(false);
    converter.setAllToOne(true);
    const QString title = options.settings.Title;
    const QString headers = requestHeaderLines(options);
    converter.setEngineSetup([options, title, headers](EngineClient &engine) {
        engine.setGrayScaleMode(options.grayscale);
        if (!title.isEmpty())
            engine.setDocumentTitle(title);
        engine.setJavaScriptEnabled(options.javascript);
        engine.setJavaScriptDelay(options.javascript ? options.javascriptDelayMs : 0);
        engine.setLoadImages(options.loadImages);
        engine.setRequestHeaders(headers);
        engine.setOutlineDepth(options.outline ? options.outlineDepth : 0);
    });
}

struct Outcome {
    int exitCode = PdfExit::Success;
    int failedInput = -1; // the index of the input that did not load
    QString reason;
};

// One PDF of `inputs` at `output`.
Outcome convertAll(CConverter &converter, const QStringList &inputs, const QString &output)
{
    Outcome outcome;
    for (int i = 0; i < inputs.size(); ++i) {
        converter.setFirstFile(i == 0);
        converter.setLastFile(i == inputs.size() - 1);
        const int result = converter.ConvertQuirex(inputs[i], output);
        if (result == ConvertResult::Success)
            continue;
        outcome.reason = converter.failureReason();
        if (outcome.reason.isEmpty())
            outcome.reason = QStringLiteral("%1 (%2)").arg(failureText(result)).arg(result);
        if (interruptionSignal() != 0) {
            outcome.exitCode = interruptedExitCode(interruptionSignal());
            outcome.reason = QStringLiteral("interrupted, nothing written");
        } else if (result == ConvertResult::EngineFailed || result == ConvertResult::InputMissing) {
            // The output's folder was checked before: what fails here is the
            // input's load.
            outcome.exitCode = PdfExit::LoadFailed;
            outcome.failedInput = i;
        } else {
            outcome.exitCode = PdfExit::Failed;
        }
        // A joined PDF still open is abandoned; the output stays as it was.
        converter.CloseEngine(true);
        return outcome;
    }
    return outcome;
}

bool showsTotal(const PageDecorations &decorations)
{
    const QString word = QStringLiteral("[topage]");
    for (const PageBand *band : {&decorations.header, &decorations.footer})
        for (const QString *text : {&band->left, &band->center, &band->right})
            if (text->contains(word))
                return true;
    return false;
}

// One PDF of several inputs that shows "[topage]": a first pass into `scratch` counts the
// joined PDF's pages, so that every page shows the total.
Outcome convertJoined(CConverter &converter, const QStringList &inputs, const QString &output,
                      const PdfOptions &options, const QTemporaryDir &scratch)
{
    converter.setTotalPages(0);
    if (inputs.size() > 1 && showsTotal(options.decorations)) {
        const QString counting = scratch.filePath(QStringLiteral("counting.pdf"));
        const Outcome counted = convertAll(converter, inputs, counting);
        QFile::remove(counting);
        if (counted.exitCode != PdfExit::Success)
            return counted;
        converter.setTotalPages(converter.pageCount());
    }
    return convertAll(converter, inputs, output);
}

} // namespace

QString pdfVersionText()
{
    // The option set's version comes first after the name: wrappers read the
    // first "N.N.N" of the line, or the one after the name of the program
    // whose options these are.
    return QStringLiteral("quirexpdf 0.12.6 (wkhtmltopdf 0.12.6 compatible options; Quirex "
                          "Engine " QUIREX_ENGINE_VERSION ", quirexdesk " QUIREXDESK_VERSION ")\n");
}

int runPdfCommandLine(const PdfCommandLine &line, CConverter &converter)
{
    switch (line.mode) {
    case PdfCommandMode::Help:
        writeText(stdout, pdfUsageText());
        return PdfExit::Success;
    case PdfCommandMode::Version:
        writeText(stdout, pdfVersionText());
        return PdfExit::Success;
    case PdfCommandMode::Wrong:
        say(line.error + QStringLiteral(" (see quirexpdf --help)"));
        return PdfExit::Failed;
    case PdfCommandMode::Convert:
        break;
    }
    const PdfOptions &options = line.options;
    const QString headers = headerProblem(options);
    if (!headers.isEmpty()) {
        say(headers);
        return PdfExit::Failed;
    }
    if (options.verbose)
        for (const QString &option : options.ignored)
            say(QStringLiteral("%1 is accepted and has no effect here").arg(option));
    if (options.untrusted) {
        // The engine reads it when an object is made and at every BeginDoc.
        qputenv("QUIREX_UNTRUSTED", "1");
        if (!options.allowedPaths.isEmpty() && !options.quiet)
            say(QStringLiteral("--allow has no effect with --disable-local-file-access: only "
                               "the input's own folder is read"));
    }

    // A private folder for standard input and a PDF bound for standard
    // output; removed with everything in it on every way out.
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/quirexpdf-XXXXXX"));
    if (!scratch.isValid()) {
        say(QStringLiteral("no temporary folder could be made: %1").arg(scratch.errorString()));
        return PdfExit::Failed;
    }

    QStringList inputs;
    for (const QString &input : line.inputs) {
        if (input == QLatin1String("-")) {
            const QString path = scratch.filePath(QStringLiteral("stdin.html"));
            QString error;
            if (!readStandardInput(path, &error)) {
                say(error);
                return PdfExit::Failed;
            }
            inputs.append(path);
        } else if (isNetworkAddress(input)) {
            inputs.append(input);
        } else if (input.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
            inputs.append(QUrl(input).toLocalFile());
        } else {
            inputs.append(QFileInfo(input).absoluteFilePath());
        }
    }

    const bool toStandardOutput = line.output == QLatin1String("-");
    const QString output = toStandardOutput ? scratch.filePath(QStringLiteral("output.pdf"))
                                            : QFileInfo(line.output).absoluteFilePath();
    if (!toStandardOutput) {
        for (const QString &input : inputs)
            if (!isNetworkAddress(input) && isSameFile(input, output)) {
                say(QStringLiteral("the output %1 is the input %2; nothing converted")
                        .arg(line.output, input));
                return PdfExit::Failed;
            }
        const QFileInfo target(output);
        if (target.isDir() || !QFileInfo(target.absolutePath()).isDir() ||
            ::access(QFile::encodeName(target.absolutePath()).constData(), W_OK | X_OK) != 0) {
            say(QStringLiteral("the output %1 cannot be written (its folder is missing or "
                               "read-only, or it is a folder)")
                    .arg(line.output));
            return PdfExit::Failed;
        }
    }

    configure(converter, options);
    Outcome outcome = convertJoined(converter, inputs, output, options, scratch);
    // Inputs that do not load are left out and the others converted again:
    // the joined PDF was abandoned with the failed load.
    QStringList remaining = inputs;
    while (outcome.failedInput >= 0 && options.loadErrors != LoadErrorHandling::Abort) {
        if (!options.quiet)
            say(QStringLiteral("warning: %1 left out: %2")
                    .arg(remaining[outcome.failedInput], outcome.reason));
        remaining.removeAt(outcome.failedInput);
        if (remaining.isEmpty()) {
            say(QStringLiteral("no input could be loaded; nothing written"));
            return PdfExit::Failed;
        }
        outcome = convertJoined(converter, remaining, output, options, scratch);
    }
    if (outcome.exitCode != PdfExit::Success) {
        say(QStringLiteral("error: %1 (exit code %2)")
                .arg(outcome.reason.isEmpty() ? QStringLiteral("the conversion failed")
                                              : outcome.reason)
                .arg(outcome.exitCode));
        return outcome.exitCode;
    }
    if (toStandardOutput && !copyToStandardOutput(output)) {
        say(QStringLiteral("error: the PDF could not be written to standard output"));
        return PdfExit::Failed;
    }
    if (!options.quiet)
        say(QStringLiteral("done: %1")
                .arg(toStandardOutput ? QStringLiteral("standard output") : line.output));
    return PdfExit::Success;
}

} // namespace quirex::app
