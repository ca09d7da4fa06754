#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWebFrame>

#include <gtest/gtest.h>

#include <memory>

using quirex::test::PdfProbe;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

constexpr double kPointsPerPixel = 72.0 / 96.0;

// One engine object writing one output file in the test's scratch folder.
class Conversion : public ::testing::Test
{
protected:
    void SetUp() override
    {
        output = scratchFolder() + QStringLiteral("/out.pdf");
        engine->setProperty("OutputFileName", output);
    }

    // Converts every page the way the desktop converter does.
    void convertEveryPage()
    {
        for (int page = 1; page <= engine->numberOfPages(); ++page)
            engine->ConvertPage(page);
    }

    QVariant evaluate(const QString &script)
    {
        return engine->mainFrame()->evaluateJavaScript(script);
    }

    std::unique_ptr<QUIREX> engine = std::make_unique<QUIREX>();
    QString output;
};

QString paragraphs(int count, const QString &word = QStringLiteral("Line"))
{
    QString html;
    for (int i = 1; i <= count; ++i)
        html += QStringLiteral("<p>%1 %2</p>").arg(word).arg(i);
    return html;
}

} // namespace

TEST_F(Conversion, StringLoadPutsThePlaceholderInFrontAndUsesTheBaseUrl)
{
    engine->setProperty("BaseURL", QStringLiteral("https://example.org/docs/"));
    engine->LoadHTMLString(QStringLiteral("<p id='mine'>Hello</p>"));
    EXPECT_EQ(evaluate(QStringLiteral("document.images.length")).toInt(), 1);
    EXPECT_EQ(evaluate(QStringLiteral("document.images[0].getAttribute('src')")).toString(),
              QStringLiteral("file:///justforexistence_justforit_assumesnomatch.bmp"));
    EXPECT_EQ(evaluate(QStringLiteral("document.images[0].width")).toInt(), 0);
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('mine').textContent")).toString(),
              QStringLiteral("Hello"));
    EXPECT_EQ(evaluate(QStringLiteral("document.baseURI")).toString(),
              QStringLiteral("https://example.org/docs/"));

    engine->setProperty("ResolveRelativeHyperlinks", false);
    engine->LoadHTMLString(QStringLiteral("<p>Hello</p>"));
    EXPECT_NE(evaluate(QStringLiteral("document.baseURI")).toString(),
              QStringLiteral("https://example.org/docs/"));
}

TEST_F(Conversion, LoadsWithoutResourcesDoNotHang)
{
    engine->setProperty("PageTimeout", 30);
    QElapsedTimer timer;
    timer.start();
    engine->LoadURL(QStringLiteral("about:blank"));
    engine->LoadHTMLString(QString());
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST_F(Conversion, RelativeFileNameWithBackslashesIsFoundInTheCurrentFolder)
{
    writeFile(QStringLiteral("docs/page.html"), "<p id='x'>From the file</p>");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(scratchFolder());
    engine->LoadHTMLFile(QStringLiteral("docs\\page.html"));
    QDir::setCurrent(previous);
    EXPECT_EQ(engine->mainFrame()->url().toLocalFile(),
              QDir(scratchFolder()).canonicalPath() + QStringLiteral("/docs/page.html"));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('x').textContent")).toString(),
              QStringLiteral("From the file"));
}

TEST_F(Conversion, FileLoadRewritesVideosAndLongParagraphs)
{
    QString words;
    for (int i = 1; i <= 30; ++i)
        words += QStringLiteral("word%1 ").arg(i, 2, 10, QLatin1Char('0'));
    const QString path = writeFile(
        QStringLiteral("video.html"),
        QStringLiteral("<video width=\"320\" height=\"240\" poster=\"poster.png\" controls>"
                       "<source src=\"movie.mp4\"></video>"
                       "<div id='bare'><video width=10 height=10></video></div>"
                       "<p id='long'>%1</p>")
            .arg(words)
            .toUtf8());
    engine->LoadHTMLFile(path);
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementsByTagName('video').length")).toInt(), 0);
    EXPECT_EQ(evaluate(QStringLiteral("document.images[0].getAttribute('src')")).toString(),
              QStringLiteral("poster.png"));
    EXPECT_EQ(evaluate(QStringLiteral("document.images[0].getAttribute('width')")).toString(),
              QStringLiteral("320"));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('bare').textContent")).toString(),
              QStringLiteral("VIDEO"));
    EXPECT_EQ(evaluate(QStringLiteral(
                           "document.getElementById('long').getElementsByTagName('font').length"))
                  .toInt(),
              3);

    // Strings are not rewritten.
    engine->LoadHTMLString(QStringLiteral("<video width=1 height=1 poster='p.png'></video>"));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementsByTagName('video').length")).toInt(), 1);
}

TEST_F(Conversion, LayoutWidthIsThePrintableWidthTimesTheZoom)
{
    engine->LoadHTMLString(QStringLiteral("<p>x</p>"));
    EXPECT_EQ(evaluate(QStringLiteral("window.innerWidth")).toInt(), 773);
    engine->setProperty("ContentZoomFactor", 50);
    engine->LoadHTMLString(QStringLiteral("<p>x</p>"));
    EXPECT_EQ(evaluate(QStringLiteral("window.innerWidth")).toInt(), 1546);
}

TEST_F(Conversion, SlicedDocumentHasA4PagesCreatorAndTitle)
{
    engine->setProperty("DocumentTitle", QStringLiteral("Quarterly figures"));
    engine->BeginDoc();
    engine->LoadHTMLString(paragraphs(150));
    ASSERT_GE(engine->numberOfPages(), 3);
    const std::vector<int> &slices = engine->sliceBoundaries();
    // Every page fits the printable height; the last may also carry the
    // document's bottom margin, which is blank.
    for (size_t i = 1; i + 1 < slices.size(); ++i)
        EXPECT_LE(slices[i] - slices[i - 1], 10430) << "slice " << i;
    EXPECT_LE(slices.back() - slices[slices.size() - 2], 10430 + 200);
    const int pages = engine->numberOfPages();
    convertEveryPage();
    EXPECT_EQ(engine->property("DocumentTitle").toString(), QStringLiteral("Quarterly figures"));
    engine->EndDoc();

    PdfProbe pdf(output);
    ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
    EXPECT_EQ(pdf.pageCount(), pages);
    EXPECT_NEAR(pdf.pageSizePoints(0).width(), 595, 1);
    EXPECT_NEAR(pdf.pageSizePoints(0).height(), 842, 1);
    EXPECT_EQ(pdf.info("/Creator"), QStringLiteral("Quirex Engine " QUIREX_ENGINE_VERSION));
    EXPECT_EQ(pdf.info("/Title"), QStringLiteral("Quarterly figures"));
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Line 1\n"))) << "no empty first page";
    EXPECT_TRUE(pdf.text(pages - 1).contains(QStringLiteral("Line 150")));
    // Every line is printed once: none is cut between two pages.
    EXPECT_EQ(pdf.text().count(QStringLiteral("Line 7\n")), 1);
}

TEST_F(Conversion, PagesOutsideTheDocumentAreEmptyPages)
{
    engine->BeginDoc();
    engine->LoadHTMLString(QStringLiteral("<p>Only page</p>"));
    ASSERT_EQ(engine->numberOfPages(), 1);
    engine->ConvertPage(0);
    engine->ConvertPage(1);
    engine->ConvertPage(2);
    engine->EndDoc();
    PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 3);
    EXPECT_FALSE(pdf.text(0).contains(QStringLiteral("Only page")));
    EXPECT_TRUE(pdf.text(1).contains(QStringLiteral("Only page")));
    EXPECT_FALSE(pdf.text(2).contains(QStringLiteral("Only page")));
}

TEST_F(Conversion, OnePageModeSizesThePaperToTheContent)
{
    engine->setProperty("SlicingMode", false);
    engine->BeginDoc();
    engine->LoadHTMLString(QStringLiteral(
        "<style>body{margin:0}</style><div style='width:1200px;height:3457px'>Tall</div>"));
    EXPECT_EQ(engine->property("PaperWidth").toInt(), 1220);
    EXPECT_EQ(engine->property("PaperHeight").toInt(), 3537);
    engine->ConvertAll();
    engine->EndDoc();
    PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 1);
    EXPECT_NEAR(pdf.pageSizePoints(0).width(), 1220 * kPointsPerPixel, 1);
    EXPECT_NEAR(pdf.pageSizePoints(0).height(), 3537 * kPointsPerPixel, 1);
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Tall")));
}

TEST_F(Conversion, CustomPaperSizeIsKeptInBothModes)
{
    for (const bool slicing : {true, false}) {
        auto custom = std::make_unique<QUIREX>();
        const QString file = scratchFolder() + (slicing ? "/sliced.pdf" : "/onepage.pdf");
        custom->setProperty("OutputFileName", file);
        custom->setProperty("SlicingMode", slicing);
        custom->SetCustomPaperSize(100, 150);
        custom->BeginDoc();
        custom->LoadHTMLString(paragraphs(5));
        EXPECT_EQ(custom->property("PaperSize").toString(), QStringLiteral("custom"));
        custom->ConvertAll();
        custom->EndDoc();
        PdfProbe pdf(file);
        ASSERT_GE(pdf.pageCount(), 1) << slicing;
        EXPECT_NEAR(pdf.pageSizePoints(0).width(), 100 / 25.4 * 72, 1) << slicing;
        EXPECT_NEAR(pdf.pageSizePoints(0).height(), 150 / 25.4 * 72, 1) << slicing;
    }
}

TEST_F(Conversion, ConvertAllEmptiesTheSlicesAndLeavesNoEmptyFirstPage)
{
    engine->BeginDoc();
    engine->LoadHTMLString(paragraphs(120));
    const int pages = engine->numberOfPages();
    engine->ConvertAll();
    EXPECT_TRUE(engine->sliceBoundaries().empty());
    engine->EndDoc();
    PdfProbe pdf(output);
    EXPECT_EQ(pdf.pageCount(), pages);
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Line 1\n")));
}

TEST_F(Conversion, GrayScaleModeWritesOnlyGrays)
{
    const QString html =
        QStringLiteral("<p style='color:#ff0000;background:#00ff00'>Colourful</p>");
    engine->setProperty("GrayScaleMode", true);
    engine->BeginDoc();
    engine->LoadHTMLString(html);
    engine->ConvertAll();
    engine->EndDoc();
    EXPECT_TRUE(PdfProbe(output).usesOnlyGray());

    auto colour = std::make_unique<QUIREX>();
    const QString colourFile = scratchFolder() + QStringLiteral("/colour.pdf");
    colour->setProperty("OutputFileName", colourFile);
    colour->BeginDoc();
    colour->LoadHTMLString(html);
    colour->ConvertAll();
    colour->EndDoc();
    EXPECT_FALSE(PdfProbe(colourFile).usesOnlyGray());
}

TEST_F(Conversion, PostScriptByPropertyOrBySuffix)
{
    struct Case {
        const char *name;
        bool property;
        bool postScript;
    };
    for (const Case &c : {Case{"by-property.prn", true, true}, Case{"named.pdf", true, false},
                          Case{"named.PS", false, true}}) {
        auto ps = std::make_unique<QUIREX>();
        const QString file = scratchFolder() + QLatin1Char('/') + QString::fromLatin1(c.name);
        ps->setProperty("OutputFileName", file);
        ps->setProperty("PostScriptFormat", c.property);
        ps->BeginDoc();
        EXPECT_EQ(ps->property("PostScriptFormat").toBool(), c.postScript) << c.name;
        ps->LoadHTMLString(paragraphs(3));
        ps->ConvertAll();
        ps->EndDoc();
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << c.name;
        EXPECT_EQ(written.read(4), QByteArray(c.postScript ? "%!PS" : "%PDF")) << c.name;
    }
    EXPECT_EQ(
        QDir(scratchFolder()).entryList({QStringLiteral("*.part")}, QDir::Hidden | QDir::Files),
        QStringList());
}

TEST_F(Conversion, EmptyOutputFileNameWritesNothing)
{
    const QString folder = quirex::test::makeFolder(QStringLiteral("empty-name"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    engine->setProperty("OutputFileName", QString());
    engine->BeginDoc();
    engine->LoadHTMLString(paragraphs(3));
    engine->ConvertAll();
    engine->EndDoc();
    QDir::setCurrent(previous);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(Conversion, UnwritableOutputFolderWritesNothingAndDoesNotCrash)
{
    engine->setProperty("OutputFileName", scratchFolder() + QStringLiteral("/missing/out.pdf"));
    engine->BeginDoc();
    engine->LoadHTMLString(paragraphs(3));
    engine->ConvertAll();
    engine->EndDoc();
    EXPECT_FALSE(QFile::exists(scratchFolder() + QStringLiteral("/missing/out.pdf")));
}

TEST_F(Conversion, SecondDocumentInTheSameObjectHasNoEmptyFirstPage)
{
    engine->BeginDoc();
    engine->LoadHTMLString(QStringLiteral("<p>First</p>"));
    engine->ConvertAll();
    engine->EndDoc();
    engine->BeginDoc();
    engine->LoadHTMLString(QStringLiteral("<p>Second</p>"));
    engine->ConvertAll();
    engine->EndDoc();
    PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 1);
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("Second")));
}

TEST_F(Conversion, PaperAndMarginsChosenAfterBeginDocApplyFromTheFirstPage)
{
    engine->BeginDoc();
    engine->setProperty("PaperSize", QStringLiteral("letter"));
    engine->LoadHTMLString(paragraphs(80));
    convertEveryPage();
    engine->EndDoc();
    PdfProbe pdf(output);
    ASSERT_GE(pdf.pageCount(), 2);
    for (int page = 0; page < pdf.pageCount(); ++page) {
        EXPECT_NEAR(pdf.pageSizePoints(page).width(), 612, 1);
        EXPECT_NEAR(pdf.pageSizePoints(page).height(), 792, 1);
    }
}
