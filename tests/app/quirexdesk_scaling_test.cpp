// One list spread over several quirexdesk processes, as a scheduler runs
// them: "/shard K/N" and "/inlist -" driven by GNU parallel on this machine,
// and the shares of each batch mode. Every input is converted exactly once
// and nothing else is written.
#include "desktestpages.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using quirex::test::makeFolder;
using quirex::test::pagesHtml;
using quirex::test::PdfProbe;
using quirex::test::runTool;
using quirex::test::shell;
using quirex::test::ToolRun;
using quirex::test::writeFile;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

class QuirexdeskScaling : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        work = makeFolder(QStringLiteral("work"));
    }

    // Writes in/NAME.html holding "LABEL page 1" for each name; returns the
    // list text naming them relative to the work folder.
    QByteArray inputs(const QStringList &names)
    {
        QByteArray list;
        for (const QString &name : names) {
            writeFile(QStringLiteral("work/in/") + name + QStringLiteral(".html"),
                      pagesHtml(name.toUtf8(), 1));
            list += "in/" + name.toUtf8() + ".html\n";
        }
        return list;
    }

    ToolRun run(const QStringList &arguments, const QByteArray &input = {})
    {
        return runTool(QStringLiteral("quirexdesk"), arguments, input, work, 300000);
    }

    // A shell command line in the work folder with quirexdesk on the PATH.
    ToolRun shellRun(const QString &script)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"),
                           kBin + QLatin1Char(':') + environment.value(QStringLiteral("PATH")));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work);
        process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        ToolRun result;
        if (!process.waitForFinished(600000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    // The PDFs in `folder` are exactly NAME.html.pdf for `names`, each with
    // its own input's text.
    void expectOnePdfEach(const QString &folder, const QStringList &names)
    {
        QStringList expected;
        for (const QString &name : names)
            expected.append(name + QStringLiteral(".html.pdf"));
        expected.sort();
        EXPECT_EQ(namesIn(work + QLatin1Char('/') + folder), expected) << qPrintable(folder);
        for (const QString &name : names) {
            PdfProbe pdf(work + QLatin1Char('/') + folder + QLatin1Char('/') + name +
                         QStringLiteral(".html.pdf"));
            ASSERT_TRUE(pdf.isValid()) << qPrintable(name) << ": " << qPrintable(pdf.error());
            EXPECT_EQ(pdf.pageCount(), 1) << qPrintable(name);
            EXPECT_TRUE(pdf.text(0).contains(name + QStringLiteral(" page 1")))
                << qPrintable(name) << ": " << qPrintable(pdf.text(0));
        }
    }

    // How often each input was converted, by the logs of the jobs: each
    // job has its own log folder under `root`.
    QMap<QString, int> convertedInputs(const QString &root)
    {
        QMap<QString, int> counts;
        for (const QString &job : namesIn(root)) {
            QFile log(root + QLatin1Char('/') + job + QStringLiteral("/log.txt"));
            EXPECT_TRUE(log.open(QIODevice::ReadOnly)) << qPrintable(log.fileName());
            const QString text = QString::fromUtf8(log.readAll());
            const QRegularExpression input(QStringLiteral("^strInFilePath : (.*)$"),
                                           QRegularExpression::MultilineOption);
            for (auto match = input.globalMatch(text); match.hasNext();)
                ++counts[match.next().captured(1)];
        }
        return counts;
    }

    QString work;
};

} // namespace

TEST_F(QuirexdeskScaling, ParallelJobsTogetherConvertEveryInputOnce)
{
    if (QStandardPaths::findExecutable(QStringLiteral("parallel")).isEmpty())
        GTEST_SKIP() << "GNU parallel is not installed (scripts/install-deps.sh installs it)";
    QStringList names;
    for (int i = 1; i <= 50; ++i)
        names.append(QStringLiteral("doc%1").arg(i, 2, 10, QLatin1Char('0')));
    QByteArray list = inputs(names);
    // Blank lines and CR LF ends are no entries: the shares stay even.
    list.replace("in/doc10.html\n", "in/doc10.html\r\n\n \n");
    writeFile(QStringLiteral("work/files.txt"), list);
    ASSERT_TRUE(QDir(work).mkdir(QStringLiteral("pdf")));
    ASSERT_TRUE(QDir(work).mkdir(QStringLiteral("piped")));

    // Three shares on two job slots, as in docs/scaling.md, each job with its
    // own log folder (outside the work folder) to count what it converted.
    const QString logs = quirex::test::scratchFolder() + QStringLiteral("/logs");
    const QString jobLog = QStringLiteral("mkdir -p %1/{#} && QUIREX_LOG_DIR=%1/{#} ");
    ToolRun result = shellRun(QStringLiteral("parallel --will-cite -j2 --halt now,fail=1 '") +
                              jobLog.arg(logs + QStringLiteral("/shards")) +
                              QStringLiteral("quirexdesk /inlist files.txt /shard {}/3 "
                                             "/outdir pdf' ::: 1 2 3"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    expectOnePdfEach(QStringLiteral("pdf"), names);
    QMap<QString, int> once;
    for (const QString &name : names)
        once.insert(QStringLiteral("in/") + name + QStringLiteral(".html"), 1);
    EXPECT_EQ(namesIn(logs + QStringLiteral("/shards")).size(), 3);
    EXPECT_EQ(convertedInputs(logs + QStringLiteral("/shards")), once);

    // The list through a pipe: each job reads its block of lines on stdin.
    result = shellRun(QStringLiteral("cat files.txt | parallel --will-cite -j2 --pipe -N 13 "
                                     "--halt now,fail=1 '") +
                      jobLog.arg(logs + QStringLiteral("/piped")) +
                      QStringLiteral("quirexdesk /inlist - /outdir piped'"));
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    expectOnePdfEach(QStringLiteral("piped"), names);
    EXPECT_GE(namesIn(logs + QStringLiteral("/piped")).size(), 4);
    EXPECT_EQ(convertedInputs(logs + QStringLiteral("/piped")), once);

    // Nothing else was written beside them.
    EXPECT_EQ(namesIn(work), (QStringList{QStringLiteral("files.txt"), QStringLiteral("in"),
                                          QStringLiteral("pdf"), QStringLiteral("piped")}));
    EXPECT_EQ(namesIn(work + QStringLiteral("/in")).size(), 50);
}

TEST_F(QuirexdeskScaling, EachModeTakesTheSameShareOfItsList)
{
    const QByteArray list = inputs({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                    QStringLiteral("d"), QStringLiteral("e")});
    writeFile(QStringLiteral("work/files.txt"), list);
    writeFile(QStringLiteral("work/names.txt"), "out/1.pdf\nout/2.pdf\nout/3.pdf\nout/4.pdf\n"
                                                "out/5.pdf\n");
    ASSERT_TRUE(QDir(work).mkpath(QStringLiteral("out")));

    // Line i of the output list still names the PDF of input i.
    ToolRun result =
        run({QStringLiteral("/inlist"), QStringLiteral("files.txt"), QStringLiteral("/outlist"),
             QStringLiteral("names.txt"), QStringLiteral("/shard"), QStringLiteral("2/2")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(namesIn(work + QStringLiteral("/out")),
              (QStringList{QStringLiteral("2.pdf"), QStringLiteral("4.pdf")}));
    EXPECT_TRUE(
        PdfProbe(work + QStringLiteral("/out/2.pdf")).text(0).contains(QStringLiteral("b page 1")));
    EXPECT_TRUE(
        PdfProbe(work + QStringLiteral("/out/4.pdf")).text(0).contains(QStringLiteral("d page 1")));

    // The sorted matches of a mask; the list read from standard input.
    ASSERT_TRUE(QDir(work).mkdir(QStringLiteral("mask")));
    result = run({QStringLiteral("/shard"), QStringLiteral("1/2"), QStringLiteral("/filemask"),
                  QStringLiteral("in/*.html"), QStringLiteral("/outdir"), QStringLiteral("mask")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    expectOnePdfEach(QStringLiteral("mask"),
                     {QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("e")});
    ASSERT_TRUE(QDir(work).mkdir(QStringLiteral("stdin")));
    result = run({QStringLiteral("/inlist"), QStringLiteral("-"), QStringLiteral("/outdir"),
                  QStringLiteral("stdin"), QStringLiteral("/shard"), QStringLiteral("3/3")},
                 list);
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    expectOnePdfEach(QStringLiteral("stdin"), {QStringLiteral("c")});

    // All-to-one joins the share's inputs in list order.
    result =
        run({QStringLiteral("/inlist"), QStringLiteral("files.txt"), QStringLiteral("/all2one"),
             QStringLiteral("joined.pdf"), QStringLiteral("/shard"), QStringLiteral("2/3")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    PdfProbe joined(work + QStringLiteral("/joined.pdf"));
    ASSERT_TRUE(joined.isValid()) << qPrintable(joined.error());
    ASSERT_EQ(joined.pageCount(), 2);
    EXPECT_TRUE(joined.text(0).contains(QStringLiteral("b page 1")));
    EXPECT_TRUE(joined.text(1).contains(QStringLiteral("e page 1")));

    const QStringList before = namesIn(work);
    // An empty share converts nothing, and is no failure.
    result =
        run({QStringLiteral("/inlist"), QStringLiteral("files.txt"), QStringLiteral("/all2one"),
             QStringLiteral("none.pdf"), QStringLiteral("/shard"), QStringLiteral("6/9")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    // Two inputs writing one PDF are refused by every share, also by one
    // holding only one of them: the shares never overwrite each other.
    writeFile(QStringLiteral("work/x/page.html"), pagesHtml("x", 1));
    writeFile(QStringLiteral("work/y/page.html"), pagesHtml("y", 1));
    writeFile(QStringLiteral("work/clash.txt"), "x/page.html\ny/page.html\n");
    for (const QString &shard : {QStringLiteral("1/2"), QStringLiteral("2/2")}) {
        result =
            run({QStringLiteral("/inlist"), QStringLiteral("clash.txt"), QStringLiteral("/outdir"),
                 QStringLiteral("out"), QStringLiteral("/shard"), shard});
        EXPECT_EQ(result.exitCode, shell(-32)) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(QStringLiteral("y/page.html"))) << qPrintable(result.err);
    }
    // One standard input cannot hold both lists.
    result = run({QStringLiteral("/inlist"), QStringLiteral("-"), QStringLiteral("/outlist"),
                  QStringLiteral("-")},
                 list);
    EXPECT_EQ(result.exitCode, shell(-1));
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("quirexdesk: \"/outlist\" - and")))
        << qPrintable(result.err);
    QStringList expected =
        before + QStringList{QStringLiteral("clash.txt"), QStringLiteral("x"), QStringLiteral("y")};
    expected.sort();
    EXPECT_EQ(namesIn(work), expected);
    EXPECT_EQ(namesIn(work + QStringLiteral("/out")),
              (QStringList{QStringLiteral("2.pdf"), QStringLiteral("4.pdf")}));
}
