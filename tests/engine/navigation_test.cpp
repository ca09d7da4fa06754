// Jumps inside the PDF and its outline, read back from real conversions.
#include "pdfnavigation.h"
#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QUrl>
#include <QVariant>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <memory>

#include <sys/resource.h>

using quirex::test::LinkAnnotation;
using quirex::test::OutlineEntry;
using quirex::test::PdfProbe;
using quirex::test::PdfWord;
using quirex::test::scratchFolder;
using quirex::test::writeFile;

namespace
{

QString filler(int lines)
{
    QString html;
    for (int i = 0; i < lines; ++i)
        html += QStringLiteral("<p>filler text line</p>");
    return html;
}

// The word of `page` whose top is nearest to `top` (PDF user space).
PdfWord wordAt(const PdfProbe &pdf, int page, double top)
{
    const double fromTop = pdf.pageSizePoints(page).height() - top;
    PdfWord best;
    double distance = 1e9;
    for (const PdfWord &word : pdf.words(page)) {
        const double d = std::abs(word.box.top() - fromTop);
        if (d < distance) {
            distance = d;
            best = word;
        }
    }
    // A jump lands within a line of its target.
    return distance <= 15 ? best : PdfWord{};
}

// The page (0-based) that shows `text`, or -1.
int pageOf(const PdfProbe &pdf, const QString &text)
{
    for (int page = 0; page < pdf.pageCount(); ++page)
        for (const PdfWord &word : pdf.words(page))
            if (word.text == text)
                return page;
    return -1;
}

void convertAllPages(QUIREX &engine, const QString &file)
{
    engine.LoadHTMLFile(file);
    for (int page = 1; page <= engine.numberOfPages(); ++page)
        engine.ConvertPage(page);
}

} // namespace

TEST(Navigation, ContentsLinksAndNamedAnchorsJumpToTheirTargets)
{
    // A table of contents of 50 links to headings and 20 to named anchors,
    // targets spread over several pages, and links that stay addresses.
    QString html = QStringLiteral("<h1>Manual</h1><p>");
    for (int i = 0; i < 50; ++i)
        html += QStringLiteral("<a href='#t%1'>go%1</a> ").arg(i);
    for (int i = 0; i < 20; ++i)
        html += QStringLiteral("<a href='manual.html#n%1'>named%1</a> ").arg(i);
    html +=
        QStringLiteral("<a href='https://example.org/x'>out</a> <a href='#nowhere'>lost</a></p>");
    for (int i = 0; i < 50; ++i) {
        html += QStringLiteral("<h2 id='t%1'>Target%1</h2>").arg(i) + filler(3);
        if (i < 20)
            html += QStringLiteral("<a name='n%1'></a><p>Named%1 paragraph</p>").arg(i);
    }
    const QString file = writeFile(QStringLiteral("manual.html"), html.toUtf8());
    const QString output = scratchFolder() + QStringLiteral("/manual.pdf");

    auto engine = std::make_unique<QUIREX>();
    engine->setProperty("OutputFileName", output);
    engine->BeginDoc();
    convertAllPages(*engine, file);
    ASSERT_GE(engine->numberOfPages(), 4);
    engine->EndDoc();

    // The jumps are an update appended to the file; qpdf checks it whole.
    QProcess check;
    check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), output});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString();

    PdfProbe pdf(output);
    ASSERT_TRUE(pdf.isValid()) << pdf.error().toStdString();
    QSet<QString> landed;
    QStringList addresses;
    for (int page = 0; page < pdf.pageCount(); ++page) {
        for (const LinkAnnotation &link : pdf.links(page)) {
            EXPECT_NE(link.uri, QStringLiteral("Unresolved Hyperlink"));
            if (link.targetPage < 0) {
                addresses << link.uri;
                continue;
            }
            const PdfWord word = wordAt(pdf, link.targetPage, link.targetTop);
            EXPECT_FALSE(word.text.isEmpty()) << "a jump off its target on page " << page;
            landed.insert(word.text);
        }
    }
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(landed.contains(QStringLiteral("Target%1").arg(i))) << i;
    for (int i = 0; i < 20; ++i)
        EXPECT_TRUE(landed.contains(QStringLiteral("Named%1").arg(i))) << i;
    EXPECT_EQ(landed.size(), 70);
    // Elsewhere, and a fragment naming nothing: addresses, the latter the
    // document's own.
    EXPECT_EQ(addresses.size(), 2);
    EXPECT_TRUE(addresses.contains(QStringLiteral("https://example.org/x")));
    EXPECT_TRUE(
        addresses.contains(QUrl::fromLocalFile(file).toString() + QStringLiteral("#nowhere")))
        << addresses.join(QLatin1Char(' ')).toStdString();

    // The outline: the h1, with the 50 h2 nested below it, each opening its
    // heading's page at the heading.
    const QVector<OutlineEntry> outline = pdf.outline();
    ASSERT_EQ(outline.size(), 51);
    EXPECT_EQ(outline[0].title, QStringLiteral("Manual"));
    EXPECT_EQ(outline[0].level, 1);
    EXPECT_EQ(outline[0].page, 0);
    for (int i = 0; i < 50; ++i) {
        const OutlineEntry &entry = outline[i + 1];
        EXPECT_EQ(entry.title, QStringLiteral("Target%1").arg(i));
        EXPECT_EQ(entry.level, 2);
        EXPECT_EQ(wordAt(pdf, entry.page, entry.top).text, entry.title);
    }
}

TEST(Navigation, DocumentsJoinedIntoOnePdfLinkInsideIt)
{
    const QString first =
        writeFile(QStringLiteral("first.html"),
                  ("<h1 id='intro'>FirstDoc</h1>" + filler(60) +
                   "<p><a href='second.html'>whole</a> <a href='second.html#end'>end</a></p>")
                      .toUtf8());
    const QString second =
        writeFile(QStringLiteral("second.html"),
                  ("<h1>SecondDoc</h1>" + filler(60) +
                   "<h2 id='end'>EndOfSecond</h2><p><a href='first.html#intro'>back</a> "
                   "<a href='third.html'>missing</a></p>")
                      .toUtf8());
    const QString output = scratchFolder() + QStringLiteral("/joined.pdf");
    auto engine = std::make_unique<QUIREX>();
    engine->setProperty("OutputFileName", output);
    engine->BeginDoc();
    convertAllPages(*engine, first);
    convertAllPages(*engine, second);
    engine->EndDoc();

    PdfProbe pdf(output);
    ASSERT_GE(pdf.pageCount(), 4);
    const int secondStart = pageOf(pdf, QStringLiteral("SecondDoc"));
    const int secondEnd = pageOf(pdf, QStringLiteral("EndOfSecond"));
    ASSERT_GT(secondStart, 0);
    QMap<int, int> jumps; // target page -> count
    QStringList addresses;
    for (int page = 0; page < pdf.pageCount(); ++page)
        for (const LinkAnnotation &link : pdf.links(page)) {
            if (link.targetPage < 0)
                addresses << link.uri;
            else
                jumps[link.targetPage] += 1;
        }
    EXPECT_EQ(jumps.value(secondStart), secondStart == secondEnd ? 2 : 1) << "to second.html";
    EXPECT_GE(jumps.value(secondEnd), 1) << "to second.html#end";
    EXPECT_EQ(jumps.value(0), 1) << "back to first.html#intro";
    // A file printed nowhere in the PDF: its address beside the document.
    EXPECT_EQ(addresses,
              QStringList{
                  QUrl::fromLocalFile(scratchFolder() + QStringLiteral("/third.html")).toString()});

    // Each document's headings, in the order the documents were printed.
    const QVector<OutlineEntry> outline = pdf.outline();
    ASSERT_EQ(outline.size(), 3);
    EXPECT_EQ(outline[0].title, QStringLiteral("FirstDoc"));
    EXPECT_EQ(outline[1].title, QStringLiteral("SecondDoc"));
    EXPECT_EQ(outline[1].page, secondStart);
    EXPECT_EQ(outline[2].title, QStringLiteral("EndOfSecond"));
    EXPECT_EQ(outline[2].level, 2);
    EXPECT_EQ(outline[2].page, secondEnd);
}

TEST(Navigation, StringLoadsJumpAndGetNoOutlineWithoutHeadings)
{
    const QString output = scratchFolder() + QStringLiteral("/plain.pdf");
    auto engine = std::make_unique<QUIREX>();
    engine->setProperty("OutputFileName", output);
    engine->BeginDoc();
    engine->LoadHTMLString(QStringLiteral("<p id='a'>No headings <a href='#a'>here</a></p>"));
    engine->ConvertAll();
    engine->EndDoc();
    PdfProbe pdf(output);
    EXPECT_TRUE(pdf.outline().isEmpty());
    // A string load's own links jump too.
    ASSERT_EQ(pdf.links(0).size(), 1);
    EXPECT_EQ(pdf.links(0)[0].targetPage, 0);
}

TEST(Navigation, AFileThatCannotBeUpdatedIsLeftAsItWas)
{
    const QByteArray notPdf = "%PDF-1.4\nno cross-reference table here\n";
    const QString file = writeFile(QStringLiteral("broken.pdf"), notPdf);
    quirex::engine::PdfNavigation navigation;
    navigation.links.push_back(
        {0, QRectF(0, 0, 10, 10), {}, QStringLiteral("https://example.org")});
    QString error;
    EXPECT_FALSE(quirex::engine::addNavigation(file, navigation, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile read(file);
    ASSERT_TRUE(read.open(QIODevice::ReadOnly));
    EXPECT_EQ(read.readAll(), notPdf);
}

TEST(Navigation, AnUpdateThatCannotBeWrittenWhollyIsTakenBack)
{
    // A real PDF of the engine's, and thousands of links: the update is
    // written to the file object by object.
    const QString output = scratchFolder() + QStringLiteral("/limited.pdf");
    {
        QUIREX engine;
        engine.setProperty("OutputFileName", output);
        engine.BeginDoc();
        engine.LoadHTMLString(QStringLiteral("<p>One page</p>"));
        engine.ConvertAll();
        engine.EndDoc();
    }
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    file.close();
    quirex::engine::PdfNavigation navigation;
    for (int i = 0; i < 5000; ++i)
        navigation.links.push_back({0,
                                    QRectF(10, 10 + i % 700, 50, 1),
                                    {},
                                    QStringLiteral("https://example.org/%1").arg(i)});

    // The file may grow by 64 KiB only: the write fails in the middle.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = static_cast<rlim_t>(original.size() + 65536);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString error;
    const bool added = quirex::engine::addNavigation(output, navigation, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(added);
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original);
    file.close();

    ASSERT_TRUE(quirex::engine::addNavigation(output, navigation, &error)) << qPrintable(error);
    EXPECT_GT(QFileInfo(output).size(), original.size() + 65536);
    const QVector<LinkAnnotation> links = PdfProbe(output).links(0);
    ASSERT_EQ(links.size(), 5000);
    EXPECT_EQ(links.back().uri, QStringLiteral("https://example.org/4999"));
}
