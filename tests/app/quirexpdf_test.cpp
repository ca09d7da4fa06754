// The real quirexpdf program, run as a child process with the test's own
// registry, config and log folders: directly, and through the wrappers that
// scripts use (Debian's pdfkit, the npm package). PDFs are checked by their
// structure: pages, paper, margins from word boxes, title, outline, links.
#include "pdfprobe.h"
#include "testenvironment.h"
#include "toolrunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

using quirex::test::makeFolder;
using quirex::test::PdfProbe;
using quirex::test::PdfWord;

namespace
{

const QString kBin = QStringLiteral(QUIREX_BIN_DIR);
const QString kWrappers = QStringLiteral(QUIREXPDF_WRAPPERS_DIR);
const QString kNpmPrefix = QStringLiteral(QUIREXPDF_NPM_PREFIX);
constexpr double kMm = 72 / 25.4; // points per millimetre
constexpr double kBodyMargin = 6; // the default body margin, 8 px, in points

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

ProgramRun run(const QString &program, const QStringList &arguments, const QString &folder,
               const QByteArray &input = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ProgramRun result;
    if (!process.waitForStarted(30000))
        return result;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Points Python at Debian's pdfkit as the set-up step unpacked it into the build; false when
// it is not there.
bool usePdfkitOfTheBuild()
{
    const QString packages = QStringLiteral(QUIREXPDF_PDFKIT_ROOT "/usr/lib/python3/dist-packages");
    if (!QFileInfo::exists(packages + QStringLiteral("/pdfkit/api.py")))
        return false;
    qputenv("PYTHONPATH", QFile::encodeName(packages));
    return true;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The smallest left and top and the largest right and bottom edge of the
// words of a page, in points from its top-left corner.
QRectF wordExtent(const PdfProbe &pdf, int page)
{
    const QVector<PdfWord> words = pdf.words(page);
    QRectF extent;
    for (const PdfWord &word : words)
        extent = extent.isNull() ? word.box : extent.united(word.box);
    return extent;
}

// Two documents that link to each other's places, with headings for the
// outline and text long enough to reach the right margin.
const QByteArray kAlpha =
    "<html><head><title>Alpha Doc</title></head><body><h1>Alpha</h1><h2>Alpha two</h2>"
    "<p>" +
    QByteArray("wrapping words fill the line ").repeated(20) +
    "</p><p><a href='b.html#target'>to beta</a></p>"
    "<p style='page-break-before:always'>Alpha page 2</p></body></html>";
const QByteArray kBeta = "<html><head><title>Beta Doc</title></head><body><h1>Beta</h1>"
                         "<p id='target'>Beta target</p><a href='a.html'>back</a></body></html>";

class Quirexpdf : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/quirex.so")));
        ASSERT_TRUE(quirex::test::registerComponent(kBin + QStringLiteral("/pdfdocument.so")));
        work = makeFolder(QStringLiteral("work"));
        ASSERT_TRUE(write(at("a.html"), kAlpha));
        ASSERT_TRUE(write(at("b.html"), kBeta));
    }

    ProgramRun quirexpdf(const QStringList &arguments, const QByteArray &input = {})
    {
        return run(kBin + QStringLiteral("/quirexpdf"), arguments, work, input);
    }

    QString at(const char *name) const { return work + QLatin1Char('/') + QLatin1String(name); }

    QString work;
};

} // namespace

TEST_F(Quirexpdf, JoinsInputsFromFilesAndStandardInputOntoStandardOutput)
{
    const ProgramRun result = quirexpdf(
        {QStringLiteral("-q"), QStringLiteral("--title"), QStringLiteral("Joined"),
         QStringLiteral("--outline-depth"), QStringLiteral("1"), QStringLiteral("a.html"),
         QStringLiteral("-"), QStringLiteral("file://") + at("b.html"), QStringLiteral("-")},
        "<html><body><h1>Piped</h1><p>From stdin</p></body></html>");
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    // Standard output holds the PDF and nothing else; --quiet says nothing.
    EXPECT_TRUE(result.out.startsWith("%PDF-"));
    EXPECT_TRUE(result.out.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(result.err.isEmpty()) << qPrintable(result.err);
    ASSERT_TRUE(write(at("joined.pdf"), result.out));
    PdfProbe pdf(at("joined.pdf"));
    ASSERT_TRUE(pdf.isValid()) << qPrintable(pdf.error());
    ASSERT_EQ(pdf.pageCount(), 4);
    EXPECT_TRUE(pdf.text(2).contains(QStringLiteral("From stdin")));
    EXPECT_TRUE(pdf.text(3).contains(QStringLiteral("Beta target")));
    EXPECT_EQ(pdf.info("/Title"), QStringLiteral("Joined"));
    // A4 and 10 mm margins (the body's own 8 px inside them).
    EXPECT_NEAR(pdf.pageSizePoints(0).width(), 595.3, 1);
    EXPECT_NEAR(pdf.pageSizePoints(0).height(), 841.9, 1);
    const QRectF extent = wordExtent(pdf, 0);
    EXPECT_NEAR(extent.left(), 10 * kMm + kBodyMargin, 1.5);
    EXPECT_GT(extent.top(), 10 * kMm + kBodyMargin - 1);
    EXPECT_LT(extent.top(), 10 * kMm + 25);
    EXPECT_LE(extent.right(), 595.3 - 10 * kMm + 0.5);
    EXPECT_GT(extent.right(), 595.3 - 10 * kMm - 40);
    // The link into the second file jumps inside the PDF, to its target.
    int jumps = 0;
    for (const auto &link : pdf.links(0))
        if (link.targetPage == 3)
            ++jumps;
    EXPECT_EQ(jumps, 1);
    // Outline depth 1: the first-level headings of every input, no "Alpha two".
    QStringList titles;
    for (const auto &entry : pdf.outline())
        titles << entry.title;
    EXPECT_EQ(titles, QStringList({QStringLiteral("Alpha"), QStringLiteral("Piped"),
                                   QStringLiteral("Beta")}));
}

TEST_F(Quirexpdf, LoadErrorsAbortWithTwoOrLeaveTheInputOut)
{
    ASSERT_TRUE(write(at("out.pdf"), "keep me"));
    ProgramRun result = quirexpdf(
        {QStringLiteral("a.html"), QStringLiteral("missing.html"), QStringLiteral("out.pdf")});
    EXPECT_EQ(result.exitCode, 2) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("missing.html"))) << qPrintable(result.err);
    EXPECT_EQ(readAll(at("out.pdf")), QByteArray("keep me"));

    result = quirexpdf({QStringLiteral("--load-error-handling"), QStringLiteral("skip"),
                        QStringLiteral("missing.html"), QStringLiteral("b.html"),
                        QStringLiteral("out.pdf")});
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("warning: "))) << qPrintable(result.err);
    PdfProbe pdf(at("out.pdf"));
    ASSERT_TRUE(pdf.isValid()) << qPrintable(pdf.error());
    EXPECT_EQ(pdf.pageCount(), 1);
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Beta target")));
    // Every input failing is a failure, not an empty PDF.
    result = quirexpdf({QStringLiteral("--load-error-handling"), QStringLiteral("ignore"),
                        QStringLiteral("missing.html"), QStringLiteral("none.pdf")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(QFile::exists(at("none.pdf")));
}

TEST_F(Quirexpdf, WrongLinesAndDangerousOutputsConvertNothing)
{
    ProgramRun result = quirexpdf(
        {QStringLiteral("--no-such-thing"), QStringLiteral("a.html"), QStringLiteral("x.pdf")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.count(QLatin1Char('\n')), 1) << qPrintable(result.err);
    EXPECT_TRUE(result.err.contains(QStringLiteral("\"--no-such-thing\"")));
    EXPECT_FALSE(QFile::exists(at("x.pdf")));
    // The output may not replace an input.
    result = quirexpdf({QStringLiteral("a.html"), QStringLiteral("./a.html")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(readAll(at("a.html")), kAlpha);
    // Ignored options are named under --verbose only; --version names both
    // programs' versions.
    result = quirexpdf({QStringLiteral("--verbose"), QStringLiteral("--dpi"), QStringLiteral("300"),
                        QStringLiteral("b.html"), QStringLiteral("v.pdf")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.err.contains(QStringLiteral("--dpi 300 is accepted and has no effect")));
    result = quirexpdf({QStringLiteral("--version")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.out.startsWith("quirexpdf 0.12.6 (wkhtmltopdf 0.12.6 "));
}

TEST_F(Quirexpdf, PrintStyleSheetFromOutsideTheInputsFolderEndsCleanly)
{
    // A print style sheet outside the input's folder is read through an
    // opaque address: the engine and its network access end cleanly after it
    // (they once deleted its reply twice).
    QDir(work).mkpath(QStringLiteral("doc"));
    ASSERT_TRUE(write(at("print.css"), "p { display: none } .shown { display: block }"));
    ASSERT_TRUE(write(at("doc/page.html"),
                      "<html><head><link href='../print.css' rel='stylesheet' media='print'>"
                      "</head><body><p>Screen only</p><p class='shown'>Printed</p></body></html>"));
    const ProgramRun result = quirexpdf({QStringLiteral("--print-media-type"),
                                         QStringLiteral("doc/page.html"), QStringLiteral("p.pdf")});
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err);
    PdfProbe pdf(at("p.pdf"));
    ASSERT_TRUE(pdf.isValid()) << qPrintable(pdf.error());
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Printed")));
}

TEST_F(Quirexpdf, PdfkitFromStringFilesAndUrl)
{
    if (!usePdfkitOfTheBuild())
        GTEST_SKIP() << "python3-pdfkit was not unpacked into " QUIREXPDF_PDFKIT_ROOT
                        " (the set-up step quirexpdf_pdfkit_wrapper_setup says why)";
    ASSERT_TRUE(write(at("string.html"),
                      "<html><head><meta charset='utf-8'></head><body><p style='color:red'>"
                      "Grüße in red</p><script>document.write('<p>SCRIPT RAN</p>')</script>"
                      "</body></html>"));
    const ProgramRun result = run(
        QStringLiteral("/usr/bin/python3"),
        {kWrappers + QStringLiteral("/pdfkit_run.py"), work, kBin + QStringLiteral("/quirexpdf")},
        work);
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err) << result.out.constData();

    // from_string: A5 landscape, the margins in their four units, the title,
    // UTF-8 text, no script, gray only.
    PdfProbe string(at("string.pdf"));
    ASSERT_TRUE(string.isValid()) << qPrintable(string.error());
    EXPECT_EQ(string.pageCount(), 1);
    EXPECT_NEAR(string.pageSizePoints(0).width(), 595.3, 1);
    EXPECT_NEAR(string.pageSizePoints(0).height(), 419.5, 1);
    EXPECT_EQ(string.info("/Title"), QStringLiteral("From pdfkit"));
    EXPECT_TRUE(string.text(0).contains(QStringLiteral("Grüße in red")));
    EXPECT_FALSE(string.text(0).contains(QStringLiteral("SCRIPT RAN")));
    EXPECT_TRUE(string.usesOnlyGray());
    QRectF extent;
    for (const PdfWord &word : string.words(0))
        if (word.text == QStringLiteral("Grüße"))
            extent = word.box;
    EXPECT_NEAR(extent.left(), 0.75 * 72 + kBodyMargin, 1.5);
    EXPECT_GT(extent.top(), 20 * kMm + kBodyMargin - 1);
    EXPECT_LT(extent.top(), 20 * kMm + 25);

    // from_file with a list, to bytes: both files in one PDF, outline depth 1.
    PdfProbe files(at("files.pdf"));
    ASSERT_TRUE(files.isValid()) << qPrintable(files.error());
    EXPECT_EQ(files.pageCount(), 3);
    EXPECT_EQ(files.info("/Title"), QStringLiteral("Joined"));
    EXPECT_EQ(files.outline().size(), 2);
    EXPECT_TRUE(files.text(2).contains(QStringLiteral("Beta target")));

    // from_url: the custom header and the cookie reached the server.
    PdfProbe url(at("url.pdf"));
    ASSERT_TRUE(url.isValid()) << qPrintable(url.error());
    EXPECT_EQ(url.pageCount(), 2);
    EXPECT_EQ(url.info("/Title"), QStringLiteral("Alpha Doc"));
    const QByteArray headers = readAll(at("headers.txt"));
    EXPECT_TRUE(headers.contains("X-Test: yes")) << headers.constData();
    EXPECT_TRUE(headers.contains("Cookie: session=abc")) << headers.constData();
}

TEST_F(Quirexpdf, PdfkitHeadersAndFootersCarryPageNumbers)
{
    if (!usePdfkitOfTheBuild())
        GTEST_SKIP() << "python3-pdfkit was not unpacked into " QUIREXPDF_PDFKIT_ROOT
                        " (the set-up step quirexpdf_pdfkit_wrapper_setup says why)";
    ASSERT_TRUE(write(at("string.html"), "<html><body><p>Banded</p></body></html>"));
    const ProgramRun result = run(
        QStringLiteral("/usr/bin/python3"),
        {kWrappers + QStringLiteral("/pdfkit_run.py"), work, kBin + QStringLiteral("/quirexpdf")},
        work);
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err) << result.out.constData();
    PdfProbe string(at("string.pdf"));
    ASSERT_TRUE(string.isValid());
    EXPECT_TRUE(string.text(0).contains(QStringLiteral("Page 1 of 1")));
    PdfProbe files(at("files.pdf"));
    ASSERT_TRUE(files.isValid());
    // The footer counts across the joined inputs.
    EXPECT_TRUE(files.text(0).contains(QStringLiteral("1/3")));
    EXPECT_TRUE(files.text(2).contains(QStringLiteral("3/3")));
    PdfProbe url(at("url.pdf"));
    ASSERT_TRUE(url.isValid());
    EXPECT_TRUE(url.text(0).contains(QStringLiteral("/a.html")));
}

TEST_F(Quirexpdf, NpmWrapperPipesThePdfFromStandardOutput)
{
    if (!QFileInfo::exists(kNpmPrefix + QStringLiteral("/node_modules/wkhtmltopdf/index.js")))
        GTEST_SKIP() << "the npm package wkhtmltopdf was not installed into "
                     << qPrintable(kNpmPrefix) << " (no network when the test set-up ran?)";
    const ProgramRun result = run(QStringLiteral("node"),
                                  {kWrappers + QStringLiteral("/npm_run.js"), kNpmPrefix, work,
                                   kBin + QStringLiteral("/quirexpdf")},
                                  work);
    ASSERT_EQ(result.exitCode, 0) << qPrintable(result.err) << result.out.constData();
    PdfProbe piped(at("npm.pdf"));
    ASSERT_TRUE(piped.isValid()) << qPrintable(piped.error());
    EXPECT_EQ(piped.pageCount(), 2);
    EXPECT_NEAR(piped.pageSizePoints(0).width(), 612, 1); // Letter
    EXPECT_NEAR(piped.pageSizePoints(0).height(), 792, 1);
    EXPECT_EQ(piped.info("/Title"), QStringLiteral("From npm"));
    const QRectF extent = wordExtent(piped, 0);
    EXPECT_NEAR(extent.left(), 72 + kBodyMargin, 1.5);
    EXPECT_GT(extent.top(), 15 * kMm + kBodyMargin - 1);
    EXPECT_EQ(piped.outline().size(), 2); // depth 2: "Alpha" and "Alpha two"
    // Two file:// addresses joined, without an outline.
    PdfProbe urls(at("npm-urls.pdf"));
    ASSERT_TRUE(urls.isValid()) << qPrintable(urls.error());
    EXPECT_EQ(urls.pageCount(), 3);
    EXPECT_TRUE(urls.outline().isEmpty());
    int jumps = 0;
    for (const auto &link : urls.links(0))
        jumps += link.targetPage == 2 ? 1 : 0;
    EXPECT_EQ(jumps, 1);
}
