#include "postscriptconverter.h"

#include "atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace quirex::engine
{

namespace
{

// Keeps the tail of a failing program's messages short enough for a log line.
constexpr int maxMessageLength = 500;

bool startsWithPostScriptHeader(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == "%!PS";
}

} // namespace

bool writesPostScript(const QString &outputFileName, bool postScriptFormat)
{
    const QString suffix = QFileInfo(outputFileName).suffix();
    if (suffix.compare(QLatin1String("ps"), Qt::CaseInsensitive) == 0)
        return true;
    if (suffix.compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return false;
    return postScriptFormat;
}

bool PostScriptConverter::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool PostScriptConverter::convert(const QString &pdfPath, const QString &psPath)
{
    m_error.clear();
    if (pdfPath.isEmpty() || psPath.isEmpty())
        return fail(QStringLiteral("no input or output file name"));

    // Absolute paths begin with '/', so the program never takes a file name
    // for one of its options.
    const QFileInfo input(pdfPath);
    const QFileInfo output(psPath);
    if (!input.isFile())
        return fail(QStringLiteral("input file %1 does not exist").arg(pdfPath));

    // Written beside the target and put in place whole; removed on failure.
    platform::AtomicFile result(output.absoluteFilePath());
    if (!result.open())
        return fail(result.errorString());
    const QString temporaryPath = result.temporaryPath();

    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(m_program,
                  {QStringLiteral("-level3"), QStringLiteral("-rasterize"), QStringLiteral("never"),
                   QStringLiteral("-origpagesizes"), input.absoluteFilePath(), temporaryPath});
    if (!process.waitForStarted(qMax(m_timeoutMs, 1000)))
        return fail(QStringLiteral("cannot start %1: %2").arg(m_program, process.errorString()));
    if (!process.waitForFinished(qMax(m_timeoutMs, 0))) {
        process.kill();
        process.waitForFinished(-1);
        return fail(QStringLiteral("%1 took longer than %2 ms").arg(m_program).arg(m_timeoutMs));
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return fail(QStringLiteral("%1 crashed").arg(m_program));
    if (process.exitCode() != 0) {
        const QString messages = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return fail(QStringLiteral("%1 failed with exit code %2: %3")
                        .arg(m_program)
                        .arg(process.exitCode())
                        .arg(messages.right(maxMessageLength)));
    }
    if (!startsWithPostScriptHeader(temporaryPath))
        return fail(QStringLiteral("%1 wrote no PostScript").arg(m_program));

    // A file replaced keeps its permissions, without set-id bits.
    if (!result.commit())
        return fail(result.errorString());
    return true;
}

} // namespace quirex::engine
