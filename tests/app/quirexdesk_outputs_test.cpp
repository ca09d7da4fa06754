// What the quirexdesk program does to files that were already there: a
// failing run leaves them byte for byte, an output never takes the place of
// an input, success means this run wrote the PDF. Run as a child process,
// as a user or script runs it.
#include "desktestpages.h"
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"
#include "waituntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
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

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every name in `folder`, hidden ones too.
QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

const QByteArray kOldPdf = "%PDF-1.4 the user's own file\n";

class QuirexdeskOutputs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        work = makeFolder(QStringLiteral("work"));
    }

    ToolRun run(const QStringList &arguments)
    {
        return runTool(QStringLiteral("quirexdesk"), arguments, {}, work, 120000);
    }
    QString file(const QString &name, const QByteArray &contents)
    {
        return writeFile(QStringLiteral("work/") + name, contents);
    }
    QString at(const QString &name) const { return work + QLatin1Char('/') + name; }

    QString work;
};

} // namespace

TEST_F(QuirexdeskOutputs, AFailedRunLeavesTheExistingPdfAsItWas)
{
    file(QStringLiteral("empty.txt"), QByteArray());
    QDir(work).mkdir(QStringLiteral("x.html"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at(QStringLiteral("pipe.html"))).constData(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(at(QStringLiteral("zero.txt"))).constData()),
              0);
    const QString keep = file(QStringLiteral("keep.pdf"), kOldPdf);
    const struct {
        const char *input;
        int code;
    } cases[] = {{"empty.txt", -6}, {"x.html", -10}, {"pipe.html", -10}, {"zero.txt", -6}};
    for (const auto &c : cases) {
        const ToolRun result = run({QString::fromLatin1(c.input), QStringLiteral("keep.pdf")});
        EXPECT_EQ(result.exitCode, shell(c.code)) << c.input << ": " << qPrintable(result.err);
        EXPECT_EQ(bytesOf(keep), kOldPdf) << c.input;
    }
    // The reason of a -10 names the input, not the engine in general.
    const ToolRun folder = run({QStringLiteral("x.html"), QStringLiteral("keep.pdf")});
    EXPECT_TRUE(folder.err.contains(QStringLiteral("is not a regular file")))
        << qPrintable(folder.err);

    // An all-to-one run whose second input is missing keeps the joined PDF.
    file(QStringLiteral("a.html"), pagesHtml("A", 2));
    file(QStringLiteral("list.txt"), "a.html\nmissing.html\n");
    const QString book = file(QStringLiteral("book.pdf"), kOldPdf);
    const ToolRun joined = run({QStringLiteral("/inlist"), QStringLiteral("list.txt"),
                                QStringLiteral("/all2one"), QStringLiteral("book.pdf")});
    EXPECT_EQ(joined.exitCode, shell(-6)) << qPrintable(joined.err);
    EXPECT_EQ(bytesOf(book), kOldPdf);

    // The output folder missing, the output a folder: -10 with the real cause.
    ToolRun missing = run({QStringLiteral("a.html"), QStringLiteral("nowhere/a.pdf")});
    EXPECT_EQ(missing.exitCode, shell(-10));
    EXPECT_TRUE(missing.err.contains(QStringLiteral("No such file or directory")))
        << qPrintable(missing.err);
    QDir(work).mkdir(QStringLiteral("out.pdf"));
    ToolRun ontoFolder = run({QStringLiteral("a.html"), QStringLiteral("out.pdf")});
    EXPECT_EQ(ontoFolder.exitCode, shell(-10));
    EXPECT_TRUE(ontoFolder.err.contains(QStringLiteral("is a folder")))
        << qPrintable(ontoFolder.err);

    // Nothing but what the test made is left: no temporary file anywhere.
    EXPECT_EQ(namesIn(work), (QStringList{"a.html", "book.pdf", "empty.txt", "keep.pdf", "list.txt",
                                          "out.pdf", "pipe.html", "x.html", "zero.txt"}));
}

TEST_F(QuirexdeskOutputs, AnOutputNeverTakesThePlaceOfAnInput)
{
    const QByteArray html = pagesHtml("Report", 1);
    const QString report = file(QStringLiteral("report.html"), html);
    ToolRun result = run({QStringLiteral("report.html"), QStringLiteral("report.html")});
    EXPECT_EQ(result.exitCode, shell(-31));
    EXPECT_TRUE(result.err.contains(report)) << qPrintable(result.err);
    // The same file by another path.
    EXPECT_EQ(run({QStringLiteral("report.html"), QStringLiteral("./sub/../report.html")}).exitCode,
              shell(-31));
    EXPECT_EQ(bytesOf(report), html);

    const QString page = file(QStringLiteral("site/page.htm"), html);
    EXPECT_EQ(run({QStringLiteral("/filemask"), QStringLiteral("site/*.htm"),
                   QStringLiteral("/swapext"), QStringLiteral("htm")})
                  .exitCode,
              shell(-31));
    EXPECT_EQ(bytesOf(page), html);

    // An output list naming a later input: refused before the first input.
    const QString second = file(QStringLiteral("second.html"), html);
    file(QStringLiteral("in.txt"), "report.html\nsecond.html\n");
    file(QStringLiteral("out.txt"), "second.html\nr.pdf\n");
    EXPECT_EQ(run({QStringLiteral("/inlist"), QStringLiteral("in.txt"), QStringLiteral("/outlist"),
                   QStringLiteral("out.txt")})
                  .exitCode,
              shell(-31));
    EXPECT_EQ(bytesOf(second), html);
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("r.pdf"))));

    // Two inputs with one output name: refused, both named, nothing written.
    file(QStringLiteral("x/page.html"), html);
    file(QStringLiteral("y/page.html"), html);
    file(QStringLiteral("pages.txt"), "x/page.html\ny/page.html\n");
    makeFolder(QStringLiteral("work/pdf"));
    result = run({QStringLiteral("/inlist"), QStringLiteral("pages.txt"), QStringLiteral("/outdir"),
                  QStringLiteral("pdf")});
    EXPECT_EQ(result.exitCode, shell(-32));
    EXPECT_TRUE(result.err.contains(at(QStringLiteral("x/page.html"))) &&
                result.err.contains(at(QStringLiteral("y/page.html"))))
        << qPrintable(result.err);
    EXPECT_TRUE(namesIn(at(QStringLiteral("pdf"))).isEmpty());
}

TEST_F(QuirexdeskOutputs, TempFileNeverTouchesAFileItDidNotMake)
{
    const QByteArray html = "<html><body><video poster=p.png></video><p>Clip</p></body></html>";
    file(QStringLiteral("clip.html"), html);
    const QString notes = file(QStringLiteral("notes.html"), "the user's notes");
    const QString elsewhere = writeFile(QStringLiteral("elsewhere/keep.txt"), "kept");
    for (const QString &name :
         {QStringLiteral("notes.html"), QStringLiteral("../elsewhere/keep.txt")}) {
        const ToolRun result =
            run({QStringLiteral("clip.html"), QStringLiteral("/tempfile"), name});
        EXPECT_EQ(result.exitCode, 2034 & 0xFF) << qPrintable(name);
        EXPECT_TRUE(result.err.contains(name)) << qPrintable(result.err);
    }
    EXPECT_EQ(bytesOf(notes), QByteArray("the user's notes"));
    EXPECT_EQ(bytesOf(elsewhere), QByteArray("kept"));
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("clip.html.pdf"))));

    // A conversion that fails after the copy was made removes the copy.
    QDir(work).mkdir(QStringLiteral("out.pdf"));
    EXPECT_EQ(run({QStringLiteral("clip.html"), QStringLiteral("out.pdf"),
                   QStringLiteral("/tempfile"), QStringLiteral("copy.html")})
                  .exitCode,
              shell(-10));
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("copy.html"))));
    EXPECT_EQ(
        run({QStringLiteral("clip.html"), QStringLiteral("/tempfile"), QStringLiteral("copy.html")})
            .exitCode,
        0);
    EXPECT_TRUE(
        PdfProbe(at(QStringLiteral("clip.html.pdf"))).text(0).contains(QStringLiteral("Clip")));
    EXPECT_FALSE(QFile::exists(at(QStringLiteral("copy.html"))));
}

TEST_F(QuirexdeskOutputs, AnOldPdfInAReadOnlyFolderIsNoSuccess)
{
    if (::geteuid() != 0 || !QFileInfo(QStringLiteral("/usr/bin/setpriv")).isExecutable())
        GTEST_SKIP() << "needs root and setpriv to run the program as another user";
    // Everything the other user needs is readable to it; the folder "ro" is not writable.
    const QString shared = makeFolder(QStringLiteral("shared"));
    for (const QString &folder : {scratchFolder(), shared})
        ::chmod(QFile::encodeName(folder).constData(), 0777);
    QFile::copy(qEnvironmentVariable("QUIREX_REGISTRY"), shared + QStringLiteral("/registry.ini"));
    ::chmod(QFile::encodeName(shared + QStringLiteral("/registry.ini")).constData(), 0644);
    const QString input = writeFile(QStringLiteral("shared/b.htm"), pagesHtml("B", 1));
    ::chmod(QFile::encodeName(input).constData(), 0644);
    const QString old = writeFile(QStringLiteral("shared/ro/old.pdf"), kOldPdf);
    ::chmod(QFile::encodeName(old).constData(), 0644);
    ::chmod(QFile::encodeName(shared + QStringLiteral("/ro")).constData(), 0555);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUIREX_REGISTRY"), shared + QStringLiteral("/registry.ini"));
    environment.insert(QStringLiteral("HOME"), shared);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), shared + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), shared);
    environment.remove(QStringLiteral("QUIREX_LOG_DIR"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(shared);
    process.start(QStringLiteral("/usr/bin/setpriv"),
                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                   QStringLiteral("--clear-groups"), kBin + QStringLiteral("/quirexdesk"),
                   QStringLiteral("b.htm"), QStringLiteral("ro/old.pdf")});
    ASSERT_TRUE(process.waitForFinished(120000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), shell(-10)) << qPrintable(err);
    EXPECT_TRUE(err.contains(QStringLiteral("cannot be written")) ||
                err.contains(QStringLiteral("Permission denied")))
        << qPrintable(err);
    EXPECT_EQ(bytesOf(old), kOldPdf);
}

TEST_F(QuirexdeskOutputs, ASignalEndsTheConversionInOrder)
{
    // Long enough that the signal arrives while the PDF is being written.
    QByteArray html = "<html><body>";
    for (int i = 0; i < 3000; ++i)
        html += "<p>Line " + QByteArray::number(i) + " of a long document to convert</p>";
    file(QStringLiteral("long.html"), html + "</body></html>");
    const QString keep = file(QStringLiteral("keep.pdf"), kOldPdf);
    QProcess process;
    process.setWorkingDirectory(work);
    process.start(kBin + QStringLiteral("/quirexdesk"),
                  {QStringLiteral("long.html"), QStringLiteral("keep.pdf")});
    ASSERT_TRUE(process.waitForStarted());
    const auto partFile = [&] {
        for (const QString &name : namesIn(work))
            if (name.endsWith(QLatin1String(".part")))
                return true;
        return false;
    };
    ASSERT_TRUE(quirex::test::waitUntil(partFile, 120000));
    ::kill(pid_t(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
    EXPECT_FALSE(partFile());
    EXPECT_EQ(bytesOf(keep), kOldPdf);
}

TEST_F(QuirexdeskOutputs, AUrlThatDoesNotLoadIsAFailure)
{
    // A port that was just free: nothing listens there.
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    server.close();
    const QString saveFolder = makeFolder(QStringLiteral("saved"));
    writeFile(QStringLiteral("config/Ardenwyke/Quirex Desk/settings.ini"),
              "[Main]\nSaveFolder=" + QFile::encodeName(saveFolder) + "\n");
    const ToolRun result =
        run({QStringLiteral("/url"), QStringLiteral("http://127.0.0.1:%1/").arg(port)});
    EXPECT_EQ(result.exitCode, shell(-10)) << qPrintable(result.err);
    // The failure box (136, with the result code), not the success box.
    EXPECT_TRUE(result.err.contains(QStringLiteral("-10"))) << qPrintable(result.err);
    EXPECT_FALSE(result.err.contains(QStringLiteral("ConvertedDocument")))
        << qPrintable(result.err);
    EXPECT_TRUE(namesIn(saveFolder).isEmpty()) << qPrintable(namesIn(saveFolder).join(' '));
}

TEST_F(QuirexdeskOutputs, AJunkLineInTheRegistryLosesNoRegistration)
{
    const QString registry = qEnvironmentVariable("QUIREX_REGISTRY");
    QByteArray bytes = bytesOf(registry);
    ASSERT_TRUE(bytes.contains("quirex.QUIREX")) << bytes.constData();
    // A junk line and a Latin-1 byte in the middle of the file.
    const int middle = bytes.indexOf("\n[", bytes.size() / 2);
    ASSERT_GT(middle, 0);
    bytes.insert(middle, "\njunk line\n\"caf\xe9\"=\"x\"");
    QFile damaged(registry);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(bytes);
    damaged.close();

    file(QStringLiteral("a.html"), pagesHtml("A", 1));
    const ToolRun converted = run({QStringLiteral("a.html")});
    EXPECT_EQ(converted.exitCode, 0) << qPrintable(converted.err);
    EXPECT_TRUE(converted.err.contains(registry + QStringLiteral(" is damaged")))
        << qPrintable(converted.err);
    EXPECT_EQ(PdfProbe(at(QStringLiteral("a.html.pdf"))).pageCount(), 1);

    // A registration says so too, and rewrites the file with every entry it held.
    const ToolRun registered = quirex::test::runTool(
        QStringLiteral("regsvr"), {QStringLiteral("-s"), kBin + QStringLiteral("/pdfdocument.so")});
    ASSERT_EQ(registered.exitCode, 0) << qPrintable(registered.err);
    EXPECT_TRUE(registered.err.startsWith(QStringLiteral("regsvr: the registry file ") + registry +
                                          QStringLiteral(" is damaged")))
        << qPrintable(registered.err);
    EXPECT_EQ(bytesOf(registry + QStringLiteral(".corrupt")), bytes);
    const QByteArray rewritten = bytesOf(registry);
    EXPECT_TRUE(rewritten.contains("quirex.QUIREX") && rewritten.contains("Leafcraft.PDFDocument4"))
        << rewritten.constData();
    EXPECT_FALSE(rewritten.contains("junk line"));
    EXPECT_EQ(run({QStringLiteral("a.html"), QStringLiteral("again.pdf")}).exitCode, 0);
}
