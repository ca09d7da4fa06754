// Documents printed as their authors meant them on paper: print styles,
// content fitted to the printable width, inline SVG at its size, links
// against the document's own address, the character set and title of a file.
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>
#include <QVariant>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using quirex::test::PdfProbe;
using quirex::test::PdfWord;

namespace
{

// The desk's default margins (device pixels at 96 dpi) on A4: the right
// edge of the printable area lies 57 pixels inside the paper's.
constexpr double kPaperWidthPoints = 595.28;
constexpr double kRightMarginPoints = 57 * 72.0 / 96.0;
constexpr double kPrintableRightPoints = kPaperWidthPoints - kRightMarginPoints;

QString realDocument(const QString &relativePath)
{
    return QStringLiteral(QUIREX_TEST_DATA_DIR "/real/") + relativePath;
}

QString engineLog()
{
    QFile file(qEnvironmentVariable("QUIREX_LOG_DIR") + QStringLiteral("/quirex.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class PrintLayout : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The engine writes its log only into a folder that exists.
        QDir().mkpath(qEnvironmentVariable("QUIREX_LOG_DIR"));
        engine = std::make_unique<QUIREX>();
        engine->setMarginLeft(113);
        engine->setMarginRight(57);
        engine->setMarginTop(76);
        engine->setMarginBottom(76);
    }

    // Converts the local file `path` into scratch/`name`.pdf, every page.
    QString convert(const QString &path, const QString &name)
    {
        const QString output = quirex::test::scratchFolder() + QLatin1Char('/') + name + ".pdf";
        engine->setOutputFileName(output);
        engine->BeginDoc();
        engine->LoadHTMLFile(path);
        for (int page = 1; page <= engine->numberOfPages(); ++page)
            engine->ConvertPage(page);
        engine->EndDoc();
        return output;
    }

    // The words of the whole document whose box reaches past the printable
    // area's right edge (half a point of rounding allowed).
    static QStringList wordsBeyondTheRightEdge(const PdfProbe &pdf)
    {
        QStringList beyond;
        for (int page = 0; page < pdf.pageCount(); ++page)
            for (const PdfWord &word : pdf.words(page))
                if (word.box.right() > kPrintableRightPoints + 0.5)
                    beyond << word.text;
        return beyond;
    }

    std::unique_ptr<QUIREX> engine;
};

QString writeText(const QString &relativePath, const QString &text)
{
    return quirex::test::writeFile(relativePath, text.toUtf8());
}

} // namespace

TEST_F(PrintLayout, ManualPageOfSphinxPrintsWhole)
{
    const QString page = realDocument(QStringLiteral("cmake/command/add_compile_options.html"));
    const PdfProbe pdf(convert(page, QStringLiteral("cmake")));
    ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
    EXPECT_EQ(wordsBeyondTheRightEdge(pdf), QStringList());
    const QString text = pdf.text();
    // The print styles hide the sidebar and the navigation bars.
    EXPECT_FALSE(text.contains(QStringLiteral("Previous topic")));
    EXPECT_FALSE(text.contains(QStringLiteral("Quick search")));
    EXPECT_TRUE(text.contains(QStringLiteral("Adds options to the COMPILE_OPTIONS")));
    // The title of the page, and an outline without permalink signs.
    EXPECT_EQ(pdf.info("/Title"),
              QStringLiteral("add_compile_options — CMake 3.25.1 Documentation"));
    const auto outline = pdf.outline();
    ASSERT_FALSE(outline.isEmpty());
    EXPECT_EQ(outline.first().title, QStringLiteral("add_compile_options"));
    for (const auto &entry : outline)
        EXPECT_FALSE(entry.title.contains(QChar(0x00B6))) << entry.title.toStdString();

    // Relative links become addresses of files beside the page; the one
    // kept in the test data exists.
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(page).absolutePath() + QLatin1Char('/'));
    int relative = 0;
    bool indexFound = false;
    for (int index = 0; index < pdf.pageCount(); ++index) {
        for (const auto &link : pdf.links(index)) {
            if (link.targetPage >= 0 || link.uri.startsWith(QLatin1String("http")))
                continue;
            ++relative;
            const QUrl target(link.uri);
            EXPECT_TRUE(target.isLocalFile()) << link.uri.toStdString();
            EXPECT_TRUE(target.toLocalFile().startsWith(realDocument(QStringLiteral("cmake/"))))
                << link.uri.toStdString();
            if (target.adjusted(QUrl::RemoveFragment) == folder.resolved(QUrl("../index.html"))) {
                indexFound = true;
                EXPECT_TRUE(QFileInfo::exists(target.toLocalFile()));
            }
        }
    }
    EXPECT_GT(relative, 10);
    EXPECT_TRUE(indexFound);
}

TEST_F(PrintLayout, ScreenStylesFitTheWidthToo)
{
    engine->SetMediaType(QStringLiteral("screen"));
    const PdfProbe pdf(
        convert(realDocument(QStringLiteral("cmake/command/add_compile_options.html")),
                QStringLiteral("screen")));
    ASSERT_TRUE(pdf.isValid());
    // The screen layout with its sidebar, shrunk to the paper.
    EXPECT_TRUE(pdf.text().contains(QStringLiteral("Previous topic")));
    EXPECT_EQ(wordsBeyondTheRightEdge(pdf), QStringList());
}

TEST_F(PrintLayout, FixedSidebarOfAWideManualPrintsOnce)
{
    const PdfProbe pdf(
        convert(realDocument(QStringLiteral("haproxy/intro.html")), QStringLiteral("haproxy")));
    ASSERT_TRUE(pdf.isValid());
    EXPECT_GT(pdf.pageCount(), 3);
    EXPECT_EQ(wordsBeyondTheRightEdge(pdf), QStringList());
    EXPECT_EQ(pdf.text().count(QStringLiteral("Keyboard navigation")), 1);
    // Text of a listing wider than the page keeps its last words.
    EXPECT_TRUE(pdf.text().contains(QStringLiteral("Quick introduction to load balancing")));
}

TEST_F(PrintLayout, PrintRulesApplyUnlessScreenIsAskedFor)
{
    // A sheet from the folder above the document's (which the document may
    // show but not read), an inline sheet and a media attribute.
    writeText(QStringLiteral("styles.css"),
              QStringLiteral("@media screen { .print-only { display: none } }\n"
                             "@media not print { .in-print { display: none } }\n"
                             "@import url(never-read-as-print.css) print;\n"
                             "@media print { .screen-only { display: none } }\n"));
    writeText(QStringLiteral("hide-print.css"), QStringLiteral(".outside-print { display: none }"));
    writeText(QStringLiteral("hide-screen.css"),
              QStringLiteral(".outside-screen { display: none }"));
    const QString page = writeText(
        QStringLiteral("doc/probe.html"),
        QStringLiteral(
            "<link rel=stylesheet href='../styles.css'>"
            "<link rel=stylesheet media='screen' href='data:text/css,.bytag{display:none}'>"
            "<link rel=stylesheet media=print href='../hide-print.css'>"
            "<link rel=stylesheet media=screen href='../hide-screen.css'>"
            "<style>@media print { .inline-screen { display: none } }</style>"
            "<p class=print-only>FROMPRINTRULE</p><p class=in-print>NOTPRINTRULE</p>"
            "<p class=screen-only>FROMSCREENRULE</p><p class=inline-screen>INLINE</p>"
            "<p class=bytag>MEDIATAG</p><p class=outside-print>OUTSIDEPRINT</p>"
            "<p class=outside-screen>OUTSIDESCREEN</p>"));
    const QString print = PdfProbe(convert(page, QStringLiteral("print"))).text();
    EXPECT_TRUE(print.contains(QStringLiteral("FROMPRINTRULE")));
    EXPECT_TRUE(print.contains(QStringLiteral("NOTPRINTRULE")));
    EXPECT_FALSE(print.contains(QStringLiteral("FROMSCREENRULE")));
    EXPECT_FALSE(print.contains(QStringLiteral("INLINE")));
    EXPECT_TRUE(print.contains(QStringLiteral("MEDIATAG")));
    EXPECT_FALSE(print.contains(QStringLiteral("OUTSIDEPRINT"))) << qPrintable(print);
    EXPECT_TRUE(print.contains(QStringLiteral("OUTSIDESCREEN")));

    engine->SetMediaType(QStringLiteral("Screen"));
    const QString screen = PdfProbe(convert(page, QStringLiteral("screen"))).text();
    EXPECT_FALSE(screen.contains(QStringLiteral("FROMPRINTRULE")));
    EXPECT_FALSE(screen.contains(QStringLiteral("NOTPRINTRULE")));
    EXPECT_TRUE(screen.contains(QStringLiteral("FROMSCREENRULE")));
    EXPECT_TRUE(screen.contains(QStringLiteral("INLINE")));
    EXPECT_FALSE(screen.contains(QStringLiteral("MEDIATAG")));
    EXPECT_TRUE(screen.contains(QStringLiteral("OUTSIDEPRINT")));
    EXPECT_FALSE(screen.contains(QStringLiteral("OUTSIDESCREEN")));

    // An unknown type changes nothing and says so.
    engine->SetMediaType(QStringLiteral("tv"));
    EXPECT_FALSE(PdfProbe(convert(page, QStringLiteral("tv"))).text().contains("FROMPRINTRULE"));
    EXPECT_TRUE(engineLog().contains(QStringLiteral("unknown media type \"tv\"")));
}

TEST_F(PrintLayout, WideContentIsShrunkAndLinksFollow)
{
    // 1000 CSS pixels of a listing and a link at its end, on 623 of paper.
    const QString page = writeText(
        QStringLiteral("wide.html"),
        QStringLiteral("<body style='margin:0'><pre style='margin:0;font-size:16px'>%1"
                       "<a href='https://example.org/end'>LASTWORD</a></pre>"
                       "<div style='overflow:auto;width:300px'><pre>%2 SCROLLEND</pre></div>"
                       "<div style='overflow-x:scroll;width:300px'><span "
                       "style='white-space:nowrap'>%3 NOWRAPEND</span></div>")
            .arg(QString(90, QLatin1Char('x')), QString(120, QLatin1Char('y')),
                 QStringLiteral("z ").repeated(80)));
    const PdfProbe pdf(convert(page, QStringLiteral("wide")));
    ASSERT_TRUE(pdf.isValid());
    EXPECT_EQ(wordsBeyondTheRightEdge(pdf), QStringList());
    // The line of the scroll box wraps inside it: its end is printed.
    EXPECT_TRUE(pdf.text().contains(QStringLiteral("SCROLLEND")));
    EXPECT_TRUE(pdf.text().contains(QStringLiteral("NOWRAPEND")));
    const auto words = pdf.words(0);
    const auto last = std::find_if(words.begin(), words.end(),
                                   [](const PdfWord &w) { return w.text.endsWith("LASTWORD"); });
    ASSERT_NE(last, words.end());
    const auto links = pdf.links(0);
    ASSERT_EQ(links.size(), 1);
    // The link's area covers its word at the new scale (PDF space is upside down).
    const double pageHeight = pdf.pageSizePoints(0).height();
    EXPECT_NEAR(links[0].rect.right(), last->box.right(), 3.0);
    EXPECT_NEAR(pageHeight - links[0].rect.center().y(), last->box.center().y(), 3.0);
    EXPECT_FALSE(engineLog().contains(QStringLiteral("cut off")));

    // Three times the printable width: half the zoom is the least, the rest is cut.
    const QString wider = writeText(QStringLiteral("wider.html"),
                                    QStringLiteral("<div style='width:1900px'>LEFTWORD</div>"));
    const PdfProbe cut(convert(wider, QStringLiteral("wider")));
    EXPECT_TRUE(cut.text().contains(QStringLiteral("LEFTWORD")));
    EXPECT_TRUE(engineLog().contains(QStringLiteral("right part is cut off")));
}

TEST_F(PrintLayout, InlineSvgTextKeepsItsSize)
{
    const QString page = writeText(
        QStringLiteral("svg.html"),
        QStringLiteral("<body style='font-size:20px'><p>HTMLWORD</p>"
                       "<svg width='300' height='40'><text x='0' y='30'>SVGWORD</text></svg>"
                       "<svg width='300' height='40' style='font-size:10px'>"
                       "<text x='0' y='30' font-size='2em'>SVGEM</text></svg>"));
    const PdfProbe pdf(convert(page, QStringLiteral("svg")));
    ASSERT_TRUE(pdf.isValid());
    QHash<QString, double> heights;
    for (const PdfWord &word : pdf.words(0))
        heights.insert(word.text, word.box.height());
    ASSERT_TRUE(heights.contains("HTMLWORD") && heights.contains("SVGWORD") &&
                heights.contains("SVGEM"))
        << pdf.text().toStdString();
    EXPECT_NEAR(heights["SVGWORD"] / heights["HTMLWORD"], 1.0, 0.2);
    // An absolute size on the root was right already and stays so.
    EXPECT_NEAR(heights["SVGEM"] / heights["HTMLWORD"], 1.0, 0.2);
}

TEST_F(PrintLayout, UndeclaredUtf8TitleAndLinksOfAFile)
{
    engine->setEncoding(QStringLiteral("ISO-8859-1"));
    const QString page = quirex::test::writeFile(
        QStringLiteral("docs/menu.html"),
        "<html><head><title>Men\xC3\xBC du jour</title></head><body><p>Caf\xC3\xA9 cr\xC3\xA8me</p>"
        "<p><a href='../other.html'>other</a> <a href='#nowhere'>nowhere</a></p></body></html>");
    const PdfProbe pdf(convert(page, QStringLiteral("menu")));
    ASSERT_TRUE(pdf.isValid());
    EXPECT_TRUE(pdf.text().contains(QString::fromUtf8("Caf\xC3\xA9 cr\xC3\xA8me")));
    EXPECT_EQ(pdf.info("/Title"), QString::fromUtf8("Men\xC3\xBC du jour"));
    const QUrl self = QUrl::fromLocalFile(page);
    QStringList targets;
    for (const auto &link : pdf.links(0))
        targets << link.uri;
    targets.sort();
    QStringList expected{self.resolved(QUrl(QStringLiteral("../other.html"))).toString(),
                         self.toString() + QStringLiteral("#nowhere")};
    expected.sort();
    EXPECT_EQ(targets.join(QLatin1Char(' ')).toStdString(),
              expected.join(QLatin1Char(' ')).toStdString());

    // A Latin-1 file stays Latin-1, and a title the caller gives wins.
    const QString latin = quirex::test::writeFile(QStringLiteral("latin.html"),
                                                  "<title>Eigen</title><p>Caf\xE9 ol\xE9</p>");
    engine->setDocumentTitle(QStringLiteral("Given"));
    const PdfProbe other(convert(latin, QStringLiteral("latin")));
    EXPECT_TRUE(other.text().contains(QString::fromUtf8("Caf\xC3\xA9 ol\xC3\xA9")));
    EXPECT_EQ(other.info("/Title"), QStringLiteral("Given"));
}
