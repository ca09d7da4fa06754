#include "postscriptconverter.h"

#include "outputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quirex::engine
{

namespace
{

// Keeps the tail of a failing program's messages short enough for a log line.
constexpr int maxMessageLength = 500;

// Removes the temporary file unless the result was put in place.
class TemporaryFileGuard final
{
public:
    explicit TemporaryFileGuard(const QString &path)
        : m_path(path)
    {
    }
    ~TemporaryFileGuard()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    void release() { m_path.clear(); }

private:
    Q_DISABLE_COPY(TemporaryFileGuard)
    QString m_path;
};

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

    const QString temporaryPath =
        createFileBeside(output.absoluteFilePath(), QStringLiteral(".tmp"));
    if (temporaryPath.isEmpty())
        return fail(QStringLiteral("cannot create a temporary file beside %1: %2")
                        .arg(psPath, QString::fromLocal8Bit(std::strerror(errno))));
    TemporaryFileGuard guard(temporaryPath);

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

    // A file replaced keeps its permissions; rename(2) replaces it in one
    // step.
    if (!keepPermissionsOf(output.absoluteFilePath(), temporaryPath))
        return fail(QStringLiteral("cannot give the result the permissions of %1: %2")
                        .arg(psPath, QString::fromLocal8Bit(std::strerror(errno))));
    if (std::rename(QFile::encodeName(temporaryPath).constData(),
                    QFile::encodeName(output.absoluteFilePath()).constData()) != 0)
        return fail(QStringLiteral("cannot rename the result to %1").arg(psPath));
    guard.release();
    return true;
}

} // namespace quirex::engine
