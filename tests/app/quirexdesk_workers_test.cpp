// quirexdesk converting in worker processes: a worker that crashes (sent
// SIGSEGV while it converts a slow page) and a page that never ends (ended
// by "/timeout") among good pages, with the serial run's results by default
// and every good PDF with "/keepgoing".
#include "desktestpages.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"
#include "waituntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>

using namespace quirex::test;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

class QuirexdeskWorkers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        work = makeFolder(QStringLiteral("work"));
        out = makeFolder(QStringLiteral("work/out"));
        for (const char *name : {"a", "b", "c", "d"})
            writeFile(QStringLiteral("work/%1.html").arg(QLatin1String(name)),
                      pagesHtml(QByteArray(name).toUpper(), 2));
        writeFile(QStringLiteral("work/slow.html"), slowHtml("slow"));
        writeFile(QStringLiteral("work/endless.html"), endlessHtml());
        quirex::test::letScriptsRunWithoutLimit();
        // A worker is ended with SIGSEGV below; in a sanitizer build its handler would turn
        // the signal into an exit code.
        const QByteArray sanitizer = qgetenv("ASAN_OPTIONS");
        qputenv("ASAN_OPTIONS", sanitizer + (sanitizer.isEmpty() ? "" : ":") + "handle_segv=0");
        // A PDF already at an output that the run does not reach stays as it was.
        writeFile(QStringLiteral("work/out/d.html.pdf"), "mine");
    }

    // Runs quirexdesk on the list `names`; once the PDF `crashAfter` is in
    // place, the newest worker (the one converting the slow page) gets SIGSEGV.
    void run(const QStringList &names, const QStringList &options, const QString &crashAfter)
    {
        writeFile(QStringLiteral("work/list.txt"), names.join(QLatin1Char('\n')).toUtf8());
        QProcess process;
        process.setWorkingDirectory(work);
        process.start(kBin + QStringLiteral("/quirexdesk"),
                      QStringList{QStringLiteral("/inlist"), QStringLiteral("list.txt"),
                                  QStringLiteral("/outdir"), QStringLiteral("out")} +
                          options);
        ASSERT_TRUE(process.waitForStarted());
        workers.clear();
        const auto noteWorkers = [&] {
            for (const qint64 pid : childProcesses(process.processId()))
                if (!workers.contains(pid))
                    workers.append(pid);
        };
        if (!crashAfter.isEmpty()) {
            ASSERT_TRUE(waitUntil(
                [&] {
                    noteWorkers();
                    return QFile::exists(out + QLatin1Char('/') + crashAfter);
                },
                60000));
            const QVector<qint64> children = childProcesses(process.processId());
            ASSERT_FALSE(children.isEmpty());
            ::kill(pid_t(children.constLast()), SIGSEGV);
        }
        while (!process.waitForFinished(50))
            noteWorkers();
        exitCode = process.exitCode();
        err = QString::fromUtf8(process.readAllStandardError());
    }

    QStringList pdfs() const
    {
        return QDir(out).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }

    void expectNothingLeft() const
    {
        EXPECT_TRUE(hiddenFiles(out).isEmpty()) << hiddenFiles(out).join(' ').toStdString();
        EXPECT_TRUE(hiddenFiles(work).isEmpty()) << hiddenFiles(work).join(' ').toStdString();
        EXPECT_FALSE(workers.isEmpty());
        for (const qint64 pid : workers)
            EXPECT_FALSE(processAlive(pid)) << "worker " << pid << " is still running";
        EXPECT_EQ(QFile(out + QStringLiteral("/d.html.pdf")).size(), 4);
    }

    QString work;
    QString out;
    QVector<qint64> workers;
    int exitCode = -1;
    QString err;
};

} // namespace

TEST_F(QuirexdeskWorkers, DefaultRunStopsAtTheFirstFailureWithTheSerialResults)
{
    // One worker: the crash is the first failure; the PDFs before it stay,
    // nothing after it is tried.
    run({QStringLiteral("a.html"), QStringLiteral("b.html"), QStringLiteral("slow.html"),
         QStringLiteral("c.html"), QStringLiteral("d.html")},
        {QStringLiteral("/jobs"), QStringLiteral("1")}, QStringLiteral("b.html.pdf"));
    EXPECT_EQ(exitCode, shell(-33)) << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("slow.html crashed"))) << qPrintable(err);
    EXPECT_EQ(pdfs(), (QStringList{QStringLiteral("a.html.pdf"), QStringLiteral("b.html.pdf"),
                                   QStringLiteral("d.html.pdf")}));
    EXPECT_EQ(PdfProbe(out + QStringLiteral("/b.html.pdf")).pageCount(), 2);
    expectNothingLeft();

    // Two workers: the endless page fails at the time limit; the page after
    // it, converted meanwhile by the other worker, is not put in place.
    run({QStringLiteral("a.html"), QStringLiteral("endless.html"), QStringLiteral("c.html"),
         QStringLiteral("d.html")},
        {QStringLiteral("/timeout"), QStringLiteral("2"), QStringLiteral("/jobs"),
         QStringLiteral("2")},
        QString());
    EXPECT_EQ(exitCode, shell(-34)) << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("endless.html took more than 2 s"))) << qPrintable(err);
    QFile::remove(out + QStringLiteral("/b.html.pdf"));
    EXPECT_EQ(pdfs(), (QStringList{QStringLiteral("a.html.pdf"), QStringLiteral("d.html.pdf")}));
    expectNothingLeft();
}

TEST_F(QuirexdeskWorkers, KeepGoingConvertsEveryGoodPageAndNamesTheBadOnes)
{
    run({QStringLiteral("a.html"), QStringLiteral("slow.html"), QStringLiteral("b.html"),
         QStringLiteral("endless.html"), QStringLiteral("c.html")},
        {QStringLiteral("/keepgoing"), QStringLiteral("/timeout"), QStringLiteral("3"),
         QStringLiteral("-jobs"), QStringLiteral("2")},
        QStringLiteral("a.html.pdf"));
    // The first failure in list order gives the exit code.
    EXPECT_EQ(exitCode, shell(-33)) << qPrintable(err);
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        PdfProbe pdf(out + QLatin1Char('/') + name + QStringLiteral(".html.pdf"));
        ASSERT_TRUE(pdf.isValid()) << qPrintable(name);
        EXPECT_EQ(pdf.pageCount(), 2);
        EXPECT_TRUE(pdf.text(1).contains(name.toUpper() + QStringLiteral(" page 2")));
    }
    EXPECT_TRUE(err.contains(QStringLiteral("quirexdesk: 2 inputs failed:\n"))) << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("  [2/5] slow.html: the worker process converting "
                                            "slow.html crashed (ended by a signal) (-33)\n")))
        << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("  [4/5] endless.html: endless.html took more than "
                                            "3 s; its worker process was ended (-34)\n")))
        << qPrintable(err);
    expectNothingLeft();

    // Absurd worker counts are a wrong command line that names the word.
    const ToolRun wrong = runTool(
        QStringLiteral("quirexdesk"),
        {QStringLiteral("a.html"), QStringLiteral("/jobs"), QStringLiteral("-1")}, {}, work);
    EXPECT_EQ(wrong.exitCode, shell(-1));
    EXPECT_TRUE(wrong.err.startsWith(QStringLiteral("quirexdesk: \"-1\" is not a value of "
                                                    "\"/jobs\"\n")))
        << qPrintable(wrong.err);
}

TEST_F(QuirexdeskWorkers, InputsWaitingBehindAFailureAreConvertedElsewhereOrAbandoned)
{
    // One worker holds the slow page and, waiting behind it, b: when the
    // worker crashes, b goes to a new worker instead of being lost.
    run({QStringLiteral("a.html"), QStringLiteral("slow.html"), QStringLiteral("b.html"),
         QStringLiteral("c.html")},
        {QStringLiteral("/keepgoing"), QStringLiteral("/jobs"), QStringLiteral("1")},
        QStringLiteral("a.html.pdf"));
    EXPECT_EQ(exitCode, shell(-33)) << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("quirexdesk: 1 input failed:\n"))) << qPrintable(err);
    for (const QString &name : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
        EXPECT_EQ(PdfProbe(out + QLatin1Char('/') + name + QStringLiteral(".html.pdf")).pageCount(),
                  2)
            << qPrintable(name);
    expectNothingLeft();
    for (const char *name : {"a", "b", "c"})
        QFile::remove(out + QStringLiteral("/%1.html.pdf").arg(QLatin1String(name)));

    // Two workers: a FIFO (second) fails at once while the first worker is
    // still on a three-second page (first), with a waiting behind it. The
    // first page is finished and put in place; a and b are never converted.
    QByteArray three = "<html><body><p>three</p>";
    for (int i = 0; i < 2; ++i)
        three += "<script>var t = Date.now(); while (Date.now() - t < 1500) {}</script>";
    writeFile(QStringLiteral("work/three.html"), three + "</body></html>");
    ASSERT_EQ(::mkfifo(QFile::encodeName(work + QStringLiteral("/pipe.html")).constData(), 0600),
              0);
    run({QStringLiteral("three.html"), QStringLiteral("pipe.html"), QStringLiteral("a.html"),
         QStringLiteral("b.html")},
        {QStringLiteral("/jobs"), QStringLiteral("2")}, QString());
    EXPECT_EQ(exitCode, shell(-10)) << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("pipe.html is not a regular file"))) << qPrintable(err);
    EXPECT_EQ(pdfs(),
              (QStringList{QStringLiteral("d.html.pdf"), QStringLiteral("three.html.pdf")}));
    EXPECT_TRUE(PdfProbe(out + QStringLiteral("/three.html.pdf")).text().contains("three"));
    expectNothingLeft();
}
