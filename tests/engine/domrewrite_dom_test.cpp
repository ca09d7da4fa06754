#include "domrewrite.h"
#include "webpageloader.h"

#include <QWebElement>
#include <QWebFrame>
#include <QWebPage>

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

QString longParagraphText(int words)
{
    QStringList list;
    for (int i = 1; i <= words; ++i)
        list << QStringLiteral("word%1").arg(i);
    return list.join(u' ');
}

class DomRewrite : public testing::Test
{
protected:
    QWebElement load(const QString &body)
    {
        EXPECT_TRUE(quirex::test::loadHtml(m_page, QStringLiteral("<html><body>") + body +
                                                       QStringLiteral("</body></html>")));
        return m_page.mainFrame()->documentElement();
    }
    QString bodyMarkup() const
    {
        return m_page.mainFrame()->documentElement().findFirst(QStringLiteral("body")).toInnerXml();
    }

    QWebPage m_page;
};

TEST_F(DomRewrite, ReplacesEveryVideo)
{
    const QWebElement root =
        load(QStringLiteral("<div><video width=\"320\" height=\"240\" poster=\"poster.png\" "
                            "controls><source src=\"movie.mp4\">fallback</video></div>"
                            "<p>before <video width=\"10\" height=\"20\"></video> after</p>"));
    replaceVideos(root);

    EXPECT_EQ(root.findAll(QStringLiteral("video")).count(), 0);
    const QWebElement image = root.findFirst(QStringLiteral("div > img"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.attribute(QStringLiteral("width")), QStringLiteral("320"));
    EXPECT_EQ(image.attribute(QStringLiteral("height")), QStringLiteral("240"));
    EXPECT_EQ(image.attribute(QStringLiteral("src")), QStringLiteral("poster.png"));
    EXPECT_FALSE(bodyMarkup().contains(QStringLiteral("fallback")));
    EXPECT_EQ(root.findFirst(QStringLiteral("p")).toPlainText(),
              QStringLiteral("before VIDEO after"));
}

TEST_F(DomRewrite, MarksOnlyLongParagraphs)
{
    const QString shortText = QStringLiteral("a short paragraph of a few words");
    const QWebElement root = load(QStringLiteral("<p>") + longParagraphText(45) +
                                  QStringLiteral("</p><p>") + shortText + QStringLiteral("</p>"));
    insertParagraphMarkers(root);

    const QWebElementCollection paragraphs = root.findAll(QStringLiteral("p"));
    ASSERT_EQ(paragraphs.count(), 2);
    EXPECT_EQ(paragraphs.at(0).findAll(QStringLiteral("font")).count(), 4);
    EXPECT_EQ(paragraphs.at(0).toPlainText(), longParagraphText(45));
    EXPECT_EQ(paragraphs.at(1).toInnerXml(), shortText);
    // The marker sits directly after the tenth word, as an element of its own.
    EXPECT_TRUE(
        paragraphs.at(0).toInnerXml().contains(QStringLiteral("word10<font></font> word11")));
}

TEST_F(DomRewrite, LeavesDocumentsWithoutVideosOrParagraphsAlone)
{
    const QWebElement root = load(QStringLiteral("<div>text <b>bold</b></div>"));
    const QString before = bodyMarkup();
    replaceVideos(root);
    insertParagraphMarkers(root);
    EXPECT_EQ(bodyMarkup(), before);
    replaceVideos(QWebElement());
    insertParagraphMarkers(QWebElement());
}

} // namespace
