#include "pdfprobe.h"
#include "quirex.h"
#include "testenvironment.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

using quirex::test::LinkAnnotation;
using quirex::test::PdfProbe;

namespace
{

constexpr double kPointsPerPixel = 72.0 / 96.0;

// Prints `body` (block links of known size, no page margin) and returns the
// output's links, page by page.
class Links : public ::testing::Test
{
protected:
    QVector<QVector<LinkAnnotation>> print(const QString &body)
    {
        const QString output = quirex::test::scratchFolder() + QStringLiteral("/links.pdf");
        engine->setProperty("OutputFileName", output);
        engine->BeginDoc();
        engine->LoadHTMLString(
            QStringLiteral(
                "<style>body{margin:0} a{display:block;height:20px;width:200px}</style>") +
            body);
        for (int page = 1; page <= engine->numberOfPages(); ++page)
            engine->ConvertPage(page);
        engine->EndDoc();
        PdfProbe pdf(output);
        QVector<QVector<LinkAnnotation>> pages;
        for (int page = 0; page < pdf.pageCount(); ++page)
            pages.append(pdf.links(page));
        pageHeightPoints = pdf.pageSizePoints(0).height();
        return pages;
    }

    std::unique_ptr<QUIREX> engine = std::make_unique<QUIREX>();
    double pageHeightPoints = 0;
};

} // namespace

TEST_F(Links, AnchorCoversTheLinkOnThePage)
{
    const auto pages = print(QStringLiteral(
        "<div style='height:100px'></div><a href='https://example.org/a'>A link</a>"));
    ASSERT_EQ(pages.size(), 1);
    ASSERT_EQ(pages[0].size(), 1);
    const LinkAnnotation &link = pages[0][0];
    EXPECT_EQ(link.uri, QStringLiteral("https://example.org/a"));
    // The link box on paper: margins 10 (left) and 40 (top), 200 x 20 pixels.
    const QRectF expected(QPointF(10 * kPointsPerPixel, pageHeightPoints - 160 * kPointsPerPixel),
                          QPointF(210 * kPointsPerPixel, pageHeightPoints - 140 * kPointsPerPixel));
    // The area is the link's own box.
    EXPECT_NEAR(link.rect.left(), expected.left(), 0.5);
    EXPECT_NEAR(link.rect.right(), expected.right(), 0.5);
    EXPECT_NEAR(link.rect.top(), expected.top(), 0.5);
    EXPECT_NEAR(link.rect.bottom(), expected.bottom(), 0.5);
}

TEST_F(Links, TargetsAreRawOrResolvedAgainstTheBaseUrl)
{
    const QString body = QStringLiteral("<a href='chapter2.html'>next</a>");
    struct Case {
        const char *baseUrl;
        bool resolve;
        const char *target;
    };
    for (const Case &c :
         {Case{"file:///srv/docs/", true, "file:///srv/docs/chapter2.html"},
          Case{"", true, "chapter2.html"}, Case{"file:///srv/docs/", false, "chapter2.html"}}) {
        engine = std::make_unique<QUIREX>();
        engine->setProperty("BaseURL", QString::fromLatin1(c.baseUrl));
        engine->setProperty("ResolveRelativeHyperlinks", c.resolve);
        const auto pages = print(body);
        ASSERT_EQ(pages.value(0).size(), 1) << c.baseUrl << c.resolve;
        EXPECT_EQ(pages[0][0].uri, QString::fromLatin1(c.target)) << c.baseUrl << c.resolve;
    }
}

TEST_F(Links, AnchorWithoutHrefGetsNoLinkArea)
{
    engine->setProperty("ResolveRelativeHyperlinks", false);
    const auto pages = print(QStringLiteral("<a name='here'>target</a><a id='x'>also</a>"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].isEmpty());
}

TEST_F(Links, MarkupInATargetCannotBreakOutOfTheAnchor)
{
    engine->setProperty("ResolveRelativeHyperlinks", false);
    const auto pages =
        print(QStringLiteral("<a href='x\"&gt;&lt;b&gt;bold&lt;/b&gt;&amp;y'>tricky</a>"));
    ASSERT_EQ(pages.value(0).size(), 1);
    EXPECT_EQ(pages[0][0].uri, QStringLiteral("x\"><b>bold</b>&y"));
}

TEST_F(Links, EachLinkIsOnThePageWhereItsTopEdgeLies)
{
    // Lines of 20 px: the printable height of 1043 px holds 52 of them.
    QString body;
    for (int i = 0; i < 120; ++i)
        body += QStringLiteral("<a href='https://example.org/%1'>%1</a>").arg(i);
    const auto pages = print(body);
    ASSERT_EQ(pages.size(), engine->numberOfPages());
    ASSERT_GE(pages.size(), 3);
    QStringList seen;
    for (const auto &page : pages)
        for (const LinkAnnotation &link : page)
            seen << link.uri;
    EXPECT_EQ(seen.size(), 120) << "every link once";
    seen.removeDuplicates();
    EXPECT_EQ(seen.size(), 120);
    EXPECT_EQ(pages[1].value(0).uri, QStringLiteral("https://example.org/%1").arg(pages[0].size()));
}

TEST_F(Links, NoAnchorsWhenLinksAreNotPreserved)
{
    engine->setProperty("PreserveLinks", false);
    const auto pages = print(QStringLiteral("<a href='https://example.org/'>x</a>"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].isEmpty());
}

TEST_F(Links, ADocumentBeyondTheWebEnginesLayoutLimitIsPrintedWhole)
{
    // 3.6 million CSS pixels: at the render scale of ten the web engine lays
    // out only the first 3.35 million and drops the rest, link and all.
    const int linkTop = 3600000;
    const QString output = quirex::test::scratchFolder() + QStringLiteral("/long.pdf");
    engine->setProperty("OutputFileName", output);
    engine->BeginDoc();
    engine->LoadHTMLString(
        QStringLiteral(
            "<style>body{margin:0} a{display:block;height:20px;width:200px}</style>"
            "<div style='height:%1px'></div><a href='https://example.org/end'>The end</a>")
            .arg(linkTop));
    // The tall block is cut at page heights of 1043 px; the link follows it.
    ASSERT_EQ(engine->numberOfPages(), linkTop / 1043 + 1);
    engine->ConvertPage(engine->numberOfPages());
    engine->EndDoc();

    PdfProbe pdf(output);
    ASSERT_EQ(pdf.pageCount(), 1);
    EXPECT_TRUE(pdf.text(0).contains(QStringLiteral("The end")));
    const auto links = pdf.links(0);
    ASSERT_EQ(links.size(), 1);
    EXPECT_EQ(links[0].uri, QStringLiteral("https://example.org/end"));
    const double height = pdf.pageSizePoints(0).height();
    const int onPage = 40 + linkTop % 1043;
    EXPECT_NEAR(links[0].rect.bottom(), height - onPage * kPointsPerPixel, 0.5);
    EXPECT_NEAR(links[0].rect.top(), height - (onPage + 20) * kPointsPerPixel, 0.5);
    EXPECT_NEAR(links[0].rect.left(), 10 * kPointsPerPixel, 0.5);
    EXPECT_NEAR(links[0].rect.right(), 210 * kPointsPerPixel, 0.5);

    // The next document of the same object is laid out as any other.
    const auto next = print(QStringLiteral(
        "<div style='height:100px'></div><a href='https://example.org/a'>A link</a>"));
    ASSERT_EQ(next.size(), 1);
    ASSERT_EQ(next[0].size(), 1);
    EXPECT_NEAR(next[0][0].rect.bottom(), pageHeightPoints - 140 * kPointsPerPixel, 0.5);
    EXPECT_NEAR(next[0][0].rect.right(), 210 * kPointsPerPixel, 0.5);
}
