// The real quirexdesk program, run as a child process on the offscreen
// platform with the test's own registry, config and log folders; exit codes
// as the shell sees them, PDFs checked by their structure.
#include "desktestpages.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <tuple>
#include <unistd.h>

using quirex::test::makeFolder;
using quirex::test::pagesHtml;
using quirex::test::PdfProbe;
using quirex::test::runTool;
using quirex::test::scratchFolder;
using quirex::test::shell;
using quirex::test::ToolRun;
using quirex::test::writeFile;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList pdfsIn(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf"), QStringLiteral("*.Pdf")}, QDir::Files,
                                  QDir::Name);
}

class Quirexdesk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        work = makeFolder(QStringLiteral("work"));
    }

    // quirexdesk ARGUMENTS, run in the work folder.
    ToolRun run(const QStringList &arguments, int timeoutMs = 120000)
    {
        return runTool(QStringLiteral("quirexdesk"), arguments, {}, work, timeoutMs);
    }

    QString file(const QString &name, const QByteArray &contents)
    {
        return writeFile(QStringLiteral("work/") + name, contents);
    }

    QString at(const QString &name) const { return work + QLatin1Char('/') + name; }

    QString work;
};

} // namespace

TEST_F(Quirexdesk, SingleFileConvertsRelativeInputWithItsOptions)
{
    file(QStringLiteral("sub/page.html"), pagesHtml("Single", 2));
    ToolRun result = run({QStringLiteral("sub/page.html")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    PdfProbe derived(at(QStringLiteral("sub/page.html.pdf")));
    ASSERT_TRUE(derived.isValid()) << qPrintable(derived.error());
    EXPECT_EQ(derived.pageCount(), 2);
    EXPECT_TRUE(derived.text(1).contains(QStringLiteral("Single page 2")));

    // A relative output means the current folder too. Options with blanks,
    // quotes and non-ASCII text reach the PDF intact; "-" forms and letter
    // case of option words do not matter.
    result = run({QStringLiteral("sub/page.html"), QStringLiteral("out.pdf"),
                  QStringLiteral("/title"), QStringLiteral("Отчёт 2026"),
                  QStringLiteral("--AUTHOR"), QStringLiteral("\"Anna \"Q\" Ivanova\""),
                  QStringLiteral("/psize"), QStringLiteral("a5"), QStringLiteral("-pagenumstr"),
                  QStringLiteral("%c of %t"), QStringLiteral("/swapext"), QStringLiteral("yes")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_TRUE(result.err.isEmpty()) << qPrintable(result.err);
    PdfProbe pdf(at(QStringLiteral("out.pdf")));
    ASSERT_TRUE(pdf.isValid()) << qPrintable(pdf.error());
    EXPECT_EQ(pdf.info("/Title"), QStringLiteral("Отчёт 2026"));
    EXPECT_EQ(pdf.info("/Author"), QStringLiteral("Anna \"Q\" Ivanova"));
    EXPECT_NEAR(pdf.pageSizePoints(0).width(), 419.5, 2.0); // A5
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("2 of 2")));
    // "/swapext" is for the folder modes only.
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("sub/page.pdf"))));
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("sub/out.pdf"))));

    // The log holds the start record and every argument.
    const QString log =
        readAll(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/log.txt"));
    EXPECT_TRUE(log.contains(QStringLiteral("Start application"))) << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral("tmp Отчёт 2026\n\n"))) << qPrintable(log);
    EXPECT_TRUE(log.contains(QStringLiteral("strInFilePath : sub/page.html\n"))) << qPrintable(log);

    // An output that climbs above "/" converts nothing.
    EXPECT_EQ(
        run({QStringLiteral("sub/page.html"), QStringLiteral("../../../../../../../../../../"
                                                             "../../../../../../../../x.pdf")})
            .exitCode,
        shell(-30));
}

TEST_F(Quirexdesk, StartUpHelpVersionAndEmptyCommandLine)
{
    ToolRun result = run({});
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_TRUE(result.err.contains(QStringLiteral("Usage: quirexdesk"))) << qPrintable(result.err);
    // The settings store exists from start-up, before any conversion.
    EXPECT_TRUE(QFileInfo(qEnvironmentVariable("XDG_CONFIG_HOME") +
                          QStringLiteral("/Ardenwyke/Quirex Desk"))
                    .isDir());

    for (const QString &help : {QStringLiteral("/?"), QStringLiteral("/h"), QStringLiteral("/help"),
                                QStringLiteral("--help")}) {
        result = run({help, QStringLiteral("ignored")});
        EXPECT_EQ(result.exitCode, 0) << qPrintable(help);
        EXPECT_TRUE(result.out.contains(kBin + QStringLiteral("/help/Quirex/_CMDLine.html")))
            << qPrintable(result.out);
        EXPECT_TRUE(result.out.contains(QStringLiteral("/inlist LIST /all2one OUTFILE")));
    }
    // In capitals it names an input file, which does not exist.
    EXPECT_EQ(run({QStringLiteral("/HELP")}).exitCode, shell(-6));

    result = run({QStringLiteral("--version")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.startsWith(QStringLiteral("quirexdesk " QUIREXDESK_VERSION "\n")))
        << qPrintable(result.out);
    EXPECT_TRUE(result.out.contains(
        QStringLiteral("Quirex Engine " QUIREX_ENGINE_VERSION ", quirex.QUIREX in ")))
        << qPrintable(result.out);
}

TEST_F(Quirexdesk, WrongCommandLinesConvertNothing)
{
    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    file(QStringLiteral("list.txt"), "a.html\n");
    makeFolder(QStringLiteral("work/out"));
    const QString longArgument(64 * 1024, QLatin1Char('x'));
    const QList<QStringList> wrong{
        {QStringLiteral("   ")},
        {QStringLiteral("/filemask")},
        {QStringLiteral("/filemask"), QStringLiteral("*.html")},
        {QStringLiteral("/filemask"), QStringLiteral("*.html"), QStringLiteral("/outdir")},
        {QStringLiteral("/filemask"), QStringLiteral("*.html"), QStringLiteral("/OUTDIR"),
         QStringLiteral("out")},
        {QStringLiteral("/inlist"), QStringLiteral("list.txt"), QStringLiteral("/outdir")},
        {QStringLiteral("/inlist"), QStringLiteral("list.txt"), QStringLiteral("/outdri"),
         QStringLiteral("out")},
        {QStringLiteral("/url")},
        {QStringLiteral("a.html"), QStringLiteral("b.pdf"), QStringLiteral("/zoom")},
        {QStringLiteral("a.html"), QStringLiteral("b.pdf"), QStringLiteral("/encoding"),
         QStringLiteral("utf-8")},
        {QStringLiteral("a.html"), QStringLiteral("/psize"), QStringLiteral("x297")},
        {QStringLiteral("a.html"), QStringLiteral("/pagenumbers"), QStringLiteral("top")},
        {QStringLiteral("/inlist"), QStringLiteral("list.txt"), QStringLiteral("/outdir"),
         QStringLiteral("out"), QStringLiteral("/preservelinks"), QStringLiteral("maybe")},
        {QStringLiteral("a.html"), QStringLiteral("b.pdf"), longArgument, QStringLiteral("1")},
        {QStringLiteral("a.html"), QStringLiteral("/margin-top"), QStringLiteral("999"),
         QStringLiteral("/margin-bottom"), QStringLiteral("999")},
    };
    for (const QStringList &arguments : wrong) {
        const ToolRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 255) << qPrintable(arguments.join(QLatin1Char(' ')).left(80));
        // One line saying what could not be used, then the usage.
        EXPECT_TRUE(result.err.startsWith(QStringLiteral("quirexdesk: ")))
            << qPrintable(result.err);
        EXPECT_EQ(result.err.indexOf(QStringLiteral("\nUsage: ")), result.err.indexOf('\n'))
            << qPrintable(result.err.left(200));
    }
    EXPECT_TRUE(pdfsIn(work).isEmpty());
    EXPECT_TRUE(pdfsIn(at(QStringLiteral("out"))).isEmpty());

    // A 64 KiB input name cannot be opened; a 64 KiB title converts.
    EXPECT_EQ(run({longArgument + QStringLiteral(".html")}).exitCode, shell(-6));
    EXPECT_EQ(run({QStringLiteral("a.html"), QStringLiteral("/title"), longArgument}).exitCode, 0);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("a.html.pdf"))).info("/Title"), longArgument);
}

TEST_F(Quirexdesk, FileMaskStopsAtTheFirstFailure)
{
    makeFolder(QStringLiteral("work/out"));
    for (int i = 0; i < 10; ++i) {
        const QString name = QStringLiteral("f%1.HTML").arg(i, 2, 10, QLatin1Char('0'));
        if (i == 3) // listed by the mask, but cannot be opened
            ASSERT_EQ(::symlink("missing.html", QFile::encodeName(at(name)).constData()), 0);
        else
            file(name, pagesHtml("F" + QByteArray::number(i), 1));
    }
    file(QStringLiteral("other.htm"), pagesHtml("Other", 1));

    ToolRun result = run({QStringLiteral("/filemask"), work + QStringLiteral("/F*.html"),
                          QStringLiteral("/outdir"), QStringLiteral("out"),
                          QStringLiteral("/swapext"), QStringLiteral("Pdf")});
    EXPECT_EQ(result.exitCode, shell(-6));
    // Not a terminal: no progress lines, only the reason of the failure.
    EXPECT_EQ(result.err,
              QStringLiteral("quirexdesk: an input is missing or cannot be read (-6)\n"));
    EXPECT_EQ(pdfsIn(at(QStringLiteral("out"))),
              (QStringList{QStringLiteral("f00.Pdf"), QStringLiteral("f01.Pdf"),
                           QStringLiteral("f02.Pdf")}));

    // Without "/outdir" the PDFs go beside the inputs; a relative mask means
    // the current folder.
    QFile::remove(at(QStringLiteral("f03.HTML")));
    result = run({QStringLiteral("/filemask"), QStringLiteral("o*.htm"), QStringLiteral("/zoom"),
                  QStringLiteral("50")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("other.htm.pdf"))).pageCount(), 1);

    // A mask in quotes matches nothing; a missing folder is named on stderr.
    EXPECT_EQ(run({QStringLiteral("/filemask"), QStringLiteral("\"*.HTML\""),
                   QStringLiteral("/outdir"), QStringLiteral("out")})
                  .exitCode,
              shell(-4));
    result = run({QStringLiteral("/filemask"), QStringLiteral("*.HTML"), QStringLiteral("/outdir"),
                  QStringLiteral("no-such-folder")});
    EXPECT_EQ(result.exitCode, shell(-2));
    EXPECT_TRUE(result.err.contains(QStringLiteral("no-such-folder"))) << qPrintable(result.err);
    EXPECT_EQ(pdfsIn(at(QStringLiteral("out"))).size(), 3);
}

TEST_F(Quirexdesk, ListModes)
{
    file(QStringLiteral("a.html"), pagesHtml("A", 3));
    file(QStringLiteral("b b.html"), pagesHtml("B", 2));
    makeFolder(QStringLiteral("work/out"));
    // Relative paths in a list mean the current folder; CR LF, blanks and
    // empty lines are fine.
    file(QStringLiteral("in.txt"),
         "  a.html \r\n\r\n" + QFile::encodeName(at("b b.html")) + "\r\n");
    file(QStringLiteral("names.txt"), "one.pdf\n" + QFile::encodeName(at("out/two.pdf")) + "\n");
    file(QStringLiteral("short.txt"), "one.pdf\n");

    ToolRun result = run({QStringLiteral("/inlist"), QStringLiteral("in.txt"),
                          QStringLiteral("/outdir"), at(QStringLiteral("out"))});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(pdfsIn(at(QStringLiteral("out"))),
              (QStringList{QStringLiteral("a.html.pdf"), QStringLiteral("b b.html.pdf")}));

    result = run({QStringLiteral("-INLIST"), QStringLiteral("in.txt"), QStringLiteral("--outlist"),
                  QStringLiteral("names.txt")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("one.pdf"))).pageCount(), 3);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("out/two.pdf"))).pageCount(), 2);

    result =
        run({QStringLiteral("/inlist"), QStringLiteral("in.txt"), QStringLiteral("/all2one"),
             QStringLiteral("all.pdf"), QStringLiteral("/pagenumstr"), QStringLiteral("%c / %t")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    PdfProbe joined(at(QStringLiteral("all.pdf")));
    ASSERT_EQ(joined.pageCount(), 5);
    EXPECT_TRUE(joined.text(4).contains(QStringLiteral("B page 2")));
    // One counter across the inputs; the total is each input's own (small
    // print: the text extraction may drop the blanks).
    EXPECT_TRUE(joined.text(4).remove(QLatin1Char(' ')).contains(QStringLiteral("5/2")))
        << qPrintable(joined.text(4));

    EXPECT_EQ(run({QStringLiteral("/inlist"), QStringLiteral("in.txt"), QStringLiteral("/outlist"),
                   QStringLiteral("short.txt")})
                  .exitCode,
              shell(-3));
    EXPECT_EQ(run({QStringLiteral("/inlist"), QStringLiteral("in.txt"), QStringLiteral("/outlist"),
                   QStringLiteral("missing.txt")})
                  .exitCode,
              shell(-5));
    EXPECT_EQ(run({QStringLiteral("/inlist"), QStringLiteral("in.txt"), QStringLiteral("/outdir"),
                   QStringLiteral("missing")})
                  .exitCode,
              shell(-2));
}

TEST_F(Quirexdesk, BadListFiles)
{
    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    makeFolder(QStringLiteral("work/out"));
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) & 0xFF);
    file(QStringLiteral("empty.txt"), "");
    file(QStringLiteral("binary.txt"), binary);
    for (const QString &list : {QStringLiteral("empty.txt"), QStringLiteral("missing.txt"),
                                QStringLiteral("binary.txt"), work}) {
        EXPECT_EQ(
            run({QStringLiteral("/inlist"), list, QStringLiteral("/outdir"), QStringLiteral("out")})
                .exitCode,
            shell(-4))
            << qPrintable(list);
        EXPECT_EQ(run({QStringLiteral("/inlist"), list, QStringLiteral("/all2one"),
                       QStringLiteral("all.pdf")})
                      .exitCode,
                  shell(-4));
    }
    // A list of only blank lines converts nothing and succeeds.
    file(QStringLiteral("blank.txt"), "\n \r\n\t\n");
    EXPECT_EQ(run({QStringLiteral("/inlist"), QStringLiteral("blank.txt"),
                   QStringLiteral("/outdir"), QStringLiteral("out")})
                  .exitCode,
              0);

    // 100,000 lines: read in well under the time of one conversion.
    QByteArray lines;
    for (int i = 0; i < 100000; ++i)
        lines += i == 50000 ? QByteArray("a.html\n") : QByteArray("   \r\n");
    file(QStringLiteral("long.txt"), lines);
    QElapsedTimer timer;
    timer.start();
    const ToolRun result = run({QStringLiteral("/inlist"), QStringLiteral("long.txt"),
                                QStringLiteral("/outdir"), QStringLiteral("out")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(pdfsIn(at(QStringLiteral("out"))), QStringList{QStringLiteral("a.html.pdf")});
    QByteArray many;
    for (int i = 0; i < 100000; ++i)
        many += "missing" + QByteArray::number(i) + ".html\n";
    file(QStringLiteral("many.txt"), many);
    EXPECT_EQ(run({QStringLiteral("/inlist"), QStringLiteral("many.txt"),
                   QStringLiteral("/outlist"), QStringLiteral("long.txt")})
                  .exitCode,
              shell(-3));
    EXPECT_LT(timer.elapsed(), 60000);
}

TEST_F(Quirexdesk, UrlModeNumbersItsDocumentsAndReportsOnStderr)
{
    const QString input = file(QStringLiteral("web.html"), pagesHtml("Web", 2));
    const QString saveFolder = makeFolder(QStringLiteral("saved"));
    writeFile(QStringLiteral("config/Ardenwyke/Quirex Desk/settings.ini"),
              "[Main]\nSaveFolder=" + QFile::encodeName(saveFolder) + "\n");
    const QString url = QStringLiteral("file://") + input;

    ToolRun result = run({QStringLiteral("/url"), url});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    // The question box answers No without a display; its text goes to stderr.
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("Quirex Desk: "))) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(saveFolder + QStringLiteral("/ConvertedDocument.pdf")));
    EXPECT_EQ(PdfProbe(saveFolder + QStringLiteral("/ConvertedDocument.pdf")).pageCount(), 2);
    EXPECT_EQ(run({QStringLiteral("/url"), url}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(saveFolder + QStringLiteral("/ConvertedDocument_1.pdf")));

    // Without the engine component: exit code -9 and the failure box on stderr.
    const QByteArray registry = qgetenv("QUIREX_REGISTRY");
    qputenv("QUIREX_REGISTRY", QFile::encodeName(scratchFolder() + QStringLiteral("/none.ini")));
    result = run({QStringLiteral("-url"), QStringLiteral("example.org")});
    qputenv("QUIREX_REGISTRY", registry);
    EXPECT_EQ(result.exitCode, shell(-9));
    EXPECT_TRUE(result.err.contains(QStringLiteral("\"http://example.org\"")))
        << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("-9")));
    EXPECT_FALSE(QFile::exists(saveFolder + QStringLiteral("/ConvertedDocument_2.pdf")));

    // A file mode says how to register the engine.
    qputenv("QUIREX_REGISTRY", QFile::encodeName(scratchFolder() + QStringLiteral("/none.ini")));
    result = run({input, QStringLiteral("out.pdf")});
    qputenv("QUIREX_REGISTRY", registry);
    EXPECT_EQ(result.exitCode, shell(-9));
    EXPECT_TRUE(result.err.contains(QStringLiteral("regsvr -s "))) << qPrintable(result.err);
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("out.pdf"))));
}

TEST_F(Quirexdesk, ProgressLinesOnlyOnATerminal)
{
    const QString script = QStringLiteral("/usr/bin/script");
    if (!QFileInfo(script).isExecutable())
        GTEST_SKIP() << "no script(1) to give the program a terminal";
    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    file(QStringLiteral("b.html"), pagesHtml("B", 2));
    file(QStringLiteral("in.txt"), "a.html\nb.html\nmissing.html\n");
    const auto onTerminal = [&](const QString &extra) {
        QProcess process;
        process.setWorkingDirectory(work);
        process.start(
            script, {QStringLiteral("-qec"),
                     QStringLiteral("'%1/quirexdesk' /inlist in.txt /outdir . %2").arg(kBin, extra),
                     QStringLiteral("/dev/null")});
        process.waitForFinished(120000);
        return std::make_pair(process.exitCode(),
                              QString::fromUtf8(process.readAllStandardOutput()));
    };
    auto [code, output] = onTerminal(QString());
    EXPECT_EQ(code, shell(-6));
    EXPECT_TRUE(output.contains(QStringLiteral("[1/3] a.html -> a.html.pdf (1 page, ")))
        << qPrintable(output);
    EXPECT_TRUE(output.contains(QStringLiteral("[2/3] b.html -> b.html.pdf (2 pages, ")));
    EXPECT_TRUE(output.contains(QStringLiteral("[3/3] missing.html: failed (-6)")));
    std::tie(code, output) = onTerminal(QStringLiteral("/quiet"));
    EXPECT_EQ(code, shell(-6));
    EXPECT_FALSE(output.contains(QStringLiteral("[1/3]"))) << qPrintable(output);
}

TEST_F(Quirexdesk, AutolaunchOpensEveryFinishedPdf)
{
    const QString record = scratchFolder() + QStringLiteral("/opened.txt");
    const QString opener =
        writeFile(QStringLiteral("opener.sh"),
                  "#!/bin/sh\necho \"$1\" >> '" + QFile::encodeName(record) + "'\n");
    QFile::setPermissions(opener, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(opener));
    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    const ToolRun result = run({QStringLiteral("a.html"), QStringLiteral("/AUTOLAUNCH")});
    qunsetenv("QUIREX_OPEN_COMMAND");
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(readAll(record), at(QStringLiteral("a.html.pdf")) + QLatin1Char('\n'));

    // A failure keeps its own code and opens nothing.
    qputenv("QUIREX_OPEN_COMMAND", QFile::encodeName(opener));
    const ToolRun failed = run({QStringLiteral("missing.html"), QStringLiteral("/autolaunch")});
    qunsetenv("QUIREX_OPEN_COMMAND");
    EXPECT_EQ(failed.exitCode, shell(-6));
    EXPECT_EQ(readAll(record), at(QStringLiteral("a.html.pdf")) + QLatin1Char('\n'));
}

TEST_F(Quirexdesk, UntrustedSwitchHandsTheEngineItsStrictMode)
{
    file(QStringLiteral("script.html"),
         "<html><body><p>static</p><script>document.write('<p>scripted</p>')</script></body></"
         "html>");
    const auto textOf = [&](const QStringList &arguments) {
        const ToolRun result = run(arguments);
        EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
        return PdfProbe(at(arguments[1])).text();
    };
    const QString plain = textOf({QStringLiteral("script.html"), QStringLiteral("plain.pdf")});
    EXPECT_TRUE(plain.contains(QStringLiteral("scripted"))) << "documents run their scripts";
    qputenv("QUIREX_UNTRUSTED", "1");
    const QString direct = textOf({QStringLiteral("script.html"), QStringLiteral("direct.pdf")});
    qunsetenv("QUIREX_UNTRUSTED");
    EXPECT_FALSE(direct.contains(QStringLiteral("scripted"))) << "the engine's untrusted mode";

    const QString strict = textOf({QStringLiteral("script.html"), QStringLiteral("strict.pdf"),
                                   QStringLiteral("/untrusted")});
    EXPECT_TRUE(strict.contains(QStringLiteral("static"))) << qPrintable(strict);
    EXPECT_FALSE(strict.contains(QStringLiteral("scripted"))) << qPrintable(strict);
}

TEST_F(Quirexdesk, UnreachableDisplayFallsBackToOffscreen)
{
    if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X99")))
        GTEST_SKIP() << "an X server listens on :99";
    qputenv("DISPLAY", ":99");
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("QT_QPA_PLATFORM");
    file(QStringLiteral("a.html"), pagesHtml("A", 2));
    ToolRun result = run({QStringLiteral("a.html")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("a.html.pdf"))).pageCount(), 2);
    // Boxes become stderr lines.
    result = run({QStringLiteral("/filemask"), QStringLiteral("*.html"), QStringLiteral("/outdir"),
                  QStringLiteral("gone")});
    EXPECT_EQ(result.exitCode, shell(-2));
    EXPECT_TRUE(result.err.contains(QStringLiteral("gone"))) << qPrintable(result.err);

    // The engine's own application object, for any automation client.
    const ToolRun script = runTool(QStringLiteral("quirexscript"), {},
                                   "create quirex.QUIREX\nput OutputFileName \"" +
                                       QFile::encodeName(at(QStringLiteral("s.pdf"))) +
                                       "\"\ncall BeginDoc\ncall LoadHTMLString \"<p>x</p>\"\n"
                                       "call ConvertAll\ncall EndDoc\nrelease\n");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EXPECT_EQ(script.exitCode, 0) << qPrintable(script.err);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("s.pdf"))).pageCount(), 1);
}

TEST_F(Quirexdesk, BoxesSpeakTheLanguageOfTheLocale)
{
    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    const QStringList arguments{QStringLiteral("/filemask"), QStringLiteral("*.html"),
                                QStringLiteral("/outdir"), QStringLiteral("gone")};
    const QByteArray language = qgetenv("QUIREX_LANGUAGE");
    qunsetenv("QUIREX_LANGUAGE");
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    const struct {
        const char *override, *lang, *title;
    } cases[] = {
        {nullptr, "en_US.UTF-8", "Error: "}, {nullptr, "ru_RU.UTF-8", "Ошибка: "},
        {nullptr, "C", "Ошибка: "},          {"en", "ru_RU.UTF-8", "Error: "},
        {"ru", "de_DE.UTF-8", "Ошибка: "},
    };
    const QByteArray lang = qgetenv("LANG");
    for (const auto &c : cases) {
        if (c.override)
            qputenv("QUIREX_LANGUAGE", c.override);
        else
            qunsetenv("QUIREX_LANGUAGE");
        qputenv("LANG", c.lang);
        const ToolRun result = run(arguments);
        EXPECT_EQ(result.exitCode, shell(-2));
        EXPECT_TRUE(result.err.startsWith(QString::fromUtf8(c.title)))
            << c.lang << ": " << qPrintable(result.err);
    }
    qputenv("LANG", lang);
    qputenv("QUIREX_LANGUAGE", language);
}
