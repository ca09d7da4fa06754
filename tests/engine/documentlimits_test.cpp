// Documents that would hold the engine without end or crash it: each ends within its
// PageTimeout and a few seconds, as a failed load where it cannot be printed.
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QVariant>

#include <gtest/gtest.h>

using quirex::test::PdfProbe;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

QString engineLog()
{
    QFile log(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/quirex.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

// What is left in the output folder beside the PDF: temporary files of the output.
QStringList leftoverParts(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
}

// Converts `page` with PageTimeout `seconds` into out/out.pdf; returns the milliseconds taken.
qint64 convertFile(const QString &page, int seconds)
{
    QDir(scratchFolder()).mkpath(QStringLiteral("out"));
    QUIREX engine;
    engine.setProperty("PageTimeout", seconds);
    engine.setProperty("OutputFileName", scratchFolder() + QStringLiteral("/out/out.pdf"));
    QElapsedTimer clock;
    clock.start();
    engine.BeginDoc();
    engine.LoadHTMLFile(page);
    engine.ConvertAll();
    engine.EndDoc();
    return clock.elapsed();
}

struct ProbeRun {
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    qint64 ms = 0;
    QString errors;
};

// Converts `page` into out/out.pdf in a process of its own (convertprobe), for documents that
// may end the process they are converted in.
ProbeRun convertInOwnProcess(const QString &page, int seconds)
{
    QDir(scratchFolder()).mkpath(QStringLiteral("out"));
    QProcess probe;
    QElapsedTimer clock;
    clock.start();
    probe.start(QStringLiteral(QUIREX_CONVERT_PROBE),
                {page, scratchFolder() + QStringLiteral("/out/out.pdf"), QString::number(seconds)});
    probe.waitForFinished(120000);
    ProbeRun run;
    run.ms = clock.elapsed();
    run.status = probe.exitStatus();
    run.code = probe.exitCode();
    run.errors = QString::fromLocal8Bit(probe.readAllStandardError());
    return run;
}

// The probe ended on its own: with a failed conversion (3), or ended by the engine because
// the document held it past its page time-out (124); never by a signal.
void expectFailedWithoutCrash(const ProbeRun &run)
{
    EXPECT_EQ(run.status, QProcess::NormalExit) << qPrintable(run.errors);
    EXPECT_TRUE(run.code == 3 || run.code == 124) << run.code << qPrintable(run.errors);
}

} // namespace

// The web engine stops a script at its run limit only some of the time; when it does not, the
// engine ends its process once the page has not answered for PageTimeout and 2 s. Either way
// the conversion fails, its reason is logged, and no file is left.
TEST(DocumentLimits, AScriptThatNeverEndsFailsWithinItsPageTimeoutAndLeavesNoFile)
{
    const QString page = writeFile(QStringLiteral("doc/spin.html"),
                                   "<p>Before the loop</p><script>while (true) {}</script>"
                                   "<p>After the loop</p>");
    const ProbeRun run = convertInOwnProcess(page, 2);
    expectFailedWithoutCrash(run);
    // Two seconds of time-out, two of grace, the start of the process on a busy machine.
    EXPECT_LT(run.ms, 8000);
    const QString folder = scratchFolder() + QStringLiteral("/out");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/out.pdf")));
    EXPECT_EQ(leftoverParts(folder), QStringList());
    EXPECT_TRUE(engineLog().contains(QStringLiteral("load failed: ")) ||
                run.errors.contains(QStringLiteral("load failed: the document held the engine")))
        << qPrintable(engineLog()) << qPrintable(run.errors);
}

// Deep markup costs the web engine's parser the square of its depth in one stretch; it is
// refused before the parser sees it, while markup nested less deeply still converts.
TEST(DocumentLimits, MarkupNestedTooDeepIsRefusedAtOnceAndDeepEnoughMarkupConverts)
{
    const auto nested = [](int depth, const QByteArray &text) {
        return "<p>Start</p>" + QByteArray("<div>").repeated(depth) + text +
               QByteArray("</div>").repeated(depth) + "<p>End</p>";
    };
    const QString deep = writeFile(QStringLiteral("doc/deep.html"), nested(100000, "TOO DEEP"));
    const qint64 ms = convertFile(deep, 2);
    EXPECT_LT(ms, 5000);
    const QString folder = scratchFolder() + QStringLiteral("/out");
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/out.pdf")));
    EXPECT_EQ(leftoverParts(folder), QStringList());
    EXPECT_TRUE(engineLog().contains(
        QStringLiteral("load failed: the markup nests elements 100000 levels deep")))
        << qPrintable(engineLog());

    const QString fine = writeFile(QStringLiteral("doc/fine.html"), nested(2000, "DEEP TEXT"));
    convertFile(fine, 60);
    PdfProbe pdf(folder + QStringLiteral("/out.pdf"));
    ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
    EXPECT_TRUE(pdf.text().contains(QStringLiteral("DEEP TEXT"))) << qPrintable(pdf.text());
}

// A script building a chain deep enough to overflow the web engine's stack when it lays the
// chain out: the chain is cut (or the engine ends its process past the page time-out, as the
// page watching the chain costs the square of its depth), never a crash.
TEST(DocumentLimits, NestingAScriptBuildsNeverCrashes)
{
    // Each step a script of its own: the first may run into the script limit.
    const QString page = writeFile(QStringLiteral("doc/nest.html"), R"(<p>Deep start</p>
<script>
var node = document.body;
for (var i = 0; i < 200000; ++i) {
  var div = document.createElement('div'); node.appendChild(div); node = div;
}
node.textContent = 'BOTTOM OF THE CHAIN';
</script><script>
var loose = document.createElement('div'), end = loose;
for (var j = 0; j < 3000; ++j) { var d = document.createElement('div'); end.appendChild(d); end = d; }
end.textContent = 'BOTTOM OF THE LOOSE CHAIN';
document.body.appendChild(loose);
</script><script>
var frame = document.createElement('iframe'); document.body.appendChild(frame);
</script><script>
var p = document.createElement('p');
p.textContent = 'Deep end ' + (typeof WebSocket) + ' ' + (typeof frame.contentWindow.WebSocket) +
  ' ' + (typeof Worker) + ' ' + Object.getOwnPropertyNames(window).filter(function (name) {
    return /quirex/i.test(name);
  }).length;
document.body.appendChild(p);
</script>)");
    const ProbeRun run = convertInOwnProcess(page, 3);
    ASSERT_EQ(run.status, QProcess::NormalExit) << qPrintable(run.errors);
    const QString folder = scratchFolder() + QStringLiteral("/out");
    EXPECT_EQ(leftoverParts(folder), QStringList());
    if (run.code == 124) {
        EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/out.pdf")));
        return;
    }
    if (run.code == 3)
        return; // the web engine stopped the first script past the time-out
    ASSERT_EQ(run.code, 0) << qPrintable(run.errors);
    PdfProbe pdf(folder + QStringLiteral("/out.pdf"));
    ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
    const QString text = pdf.text();
    EXPECT_TRUE(text.contains(QStringLiteral("Deep start"))) << qPrintable(text);
    // The page's own names of the engine's scripts: only the count of script work, which
    // does not enumerate.
    EXPECT_TRUE(text.contains(QStringLiteral("Deep end undefined undefined undefined 1")))
        << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("BOTTOM OF THE")));
    const QString log = engineLog();
    EXPECT_TRUE(log.contains(QStringLiteral("document limited: elements nested deeper than ")))
        << qPrintable(log);
}
