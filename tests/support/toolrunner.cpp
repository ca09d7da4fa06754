#include "toolrunner.h"

#include <QFileInfo>
#include <QProcess>

namespace quirex::test
{

ToolRun runTool(const QString &tool, const QStringList &arguments, const QByteArray &input,
                const QString &workingDirectory, int timeoutMs)
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(QUIREX_BIN_DIR "/") + tool, arguments);
    ToolRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

bool registerComponent(const QString &path)
{
    return runTool(QStringLiteral("regsvr"),
                   {QStringLiteral("-s"), QFileInfo(path).canonicalFilePath()})
               .exitCode == 0;
}

} // namespace quirex::test
