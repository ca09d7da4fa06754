#include "domrewrite.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace quirex::engine;

namespace
{

// Prints QStrings readably in failure messages.
std::string text(const QString &value)
{
    return value.toStdString();
}

// "w01 w02 ... wNN": n words of three characters.
QString plainWords(int n, const QString &prefix = QStringLiteral("w"))
{
    QStringList words;
    for (int i = 1; i <= n; ++i)
        words << prefix + QString::number(i).rightJustified(2, u'0');
    return words.join(u' ');
}

QString withoutMarkers(QString markup)
{
    return markup.remove(paragraphMarker);
}

// ---- Attribute lookup -----------------------------------------------------

struct AttributeCase {
    const char *what;
    const char *markup;
    const char *name;
    const char *expected;
};

// Names the case in test names and failure messages.
void PrintTo(const AttributeCase &c, std::ostream *out)
{
    *out << c.what;
}

class AttributeLookup : public testing::TestWithParam<AttributeCase>
{
};

TEST_P(AttributeLookup, FindsTheValue)
{
    const AttributeCase &c = GetParam();
    EXPECT_EQ(text(GetAttributeValue(QString::fromUtf8(c.markup), QString::fromUtf8(c.name))),
              c.expected)
        << c.what;
}

const AttributeCase attributeCases[] = {
    {"quoted value keeps its quotes",
     R"(<video width="320" height="240" poster="p.png" controls=""></video>)", "width", R"("320")"},
    {"later attribute", R"(<video width="320" height="240" poster="p.png">)", "poster",
     R"("p.png")"},
    {"name matched case-insensitively", R"(<VIDEO WIDTH="320">)", "width", R"("320")"},
    {"name given in capitals", R"(<video width="320">)", "WIDTH", R"("320")"},
    {"absent name", R"(<video height="240">)", "width", ""},
    {"empty name matches nothing", R"(<video width="320">)", "", ""},
    {"first match wins, also inside another name", R"(<video data-width="1" width="2">)", "width",
     R"("1")"},
    {"match inside a style property", R"(<video style="max-width: 50%" width="320">)", "width",
     ":"},
    {"match inside a child's text", R"(<video controls=""><p>width 640</p></video>)", "width",
     "640</p></video>"},
    {"spaces and equals signs are skipped", R"(<video width = = "5">)", "width", R"("5")"},
    {"unquoted value runs to the next space", "<video width=320 height=240>", "width", "320"},
    {"unquoted value runs to the end", "width=320", "width", "320"},
    {"unclosed quote runs to the end", R"(<video width="320)", "width", R"("320)"},
    {"empty quoted value", R"(<video width="" height="2">)", "width", R"("")"},
    {"one-character unquoted value", "<video width=5 height=7>", "width", "5"},
    {"name at the very end", "<video width", "width", ""},
    {"only spaces and equals signs follow", "<video width = ", "width", ""},
    {"characters above U+00FF are ordinary", "<x title=\"Ж\" width=Жx y>", "width", "Жx"},
    {"single quotes are not quotes", "<video width='3 2'>", "width", "'3"},
};

INSTANTIATE_TEST_SUITE_P(Markup, AttributeLookup, testing::ValuesIn(attributeCases));

// ---- Video replacement ----------------------------------------------------

struct VideoCase {
    const char *what;
    const char *markup;
    const char *expected;
};

// Names the case in test names and failure messages.
void PrintTo(const VideoCase &c, std::ostream *out)
{
    *out << c.what;
}

class VideoReplacement : public testing::TestWithParam<VideoCase>
{
};

TEST_P(VideoReplacement, BuildsTheMarkup)
{
    const VideoCase &c = GetParam();
    EXPECT_EQ(text(videoReplacement(QString::fromUtf8(c.markup))), c.expected) << c.what;
}

const VideoCase videoCases[] = {
    {"poster, width and height",
     R"(<video width="320" height="240" poster="poster.png" controls=""><source src="m.mp4"></video>)",
     R"(<img width="320" height="240" src="poster.png">)"},
    {"no poster gives the bare text", R"(<video width="320" height="240" controls=""></video>)",
     "VIDEO"},
    {"poster only", R"(<video poster="p.png"></video>)", R"(<img src="p.png">)"},
    {"height without width", R"(<video height="240" poster="p.png"></video>)",
     R"(<img height="240" src="p.png">)"},
    {"width found inside max-width first",
     R"(<video style="max-width:50%" width="320" poster="p.png"></video>)",
     R"(<img width=:50%" src="p.png">)"},
    {"empty element", "<video></video>", "VIDEO"},
};

INSTANTIATE_TEST_SUITE_P(Markup, VideoReplacement, testing::ValuesIn(videoCases));

// ---- Paragraph markers ----------------------------------------------------

TEST(ParagraphMarkers, LeavesParagraphsOfTwoHundredUnitsAlone)
{
    QString inner = plainWords(60); // 239 units
    inner.truncate(paragraphLengthThreshold);
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    EXPECT_FALSE(marked.changed);
    EXPECT_EQ(marked.markup, inner);
}

TEST(ParagraphMarkers, ExaminesParagraphsOfTwoHundredAndOneUnits)
{
    QString inner = plainWords(60);
    inner.truncate(paragraphLengthThreshold + 1);
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    EXPECT_TRUE(marked.changed);
    EXPECT_TRUE(marked.markup.startsWith(plainWords(10) + paragraphMarker + u' '));
}

TEST(ParagraphMarkers, NeedsARunOfTenWords)
{
    // Nine long words: longer than the threshold, but no run of ten.
    const QString inner = plainWords(9, QString(20, u'x'));
    ASSERT_GT(inner.size(), paragraphLengthThreshold);
    EXPECT_FALSE(insertParagraphMarkers(inner).changed);
}

TEST(ParagraphMarkers, MarksEveryTenthPlainWord)
{
    const QString inner = plainWords(65);
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    ASSERT_TRUE(marked.changed);
    const QStringList words = marked.markup.split(u' ');
    ASSERT_EQ(words.size(), 65);
    for (int i = 0; i < words.size(); ++i)
        EXPECT_EQ(words[i].endsWith(paragraphMarker), (i + 1) % 10 == 0) << "word " << i + 1;
    EXPECT_EQ(withoutMarkers(marked.markup), inner);
}

TEST(ParagraphMarkers, WordThatClosesATagStartsANewRun)
{
    // "w05</b>" counts as the first word of a run; the marker then follows
    // the ninth word after it, not the tenth word of the paragraph.
    const QString inner = QStringLiteral("<b>bold w01 w02 w03 w04 w05</b> ") + plainWords(55, "t");
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    ASSERT_TRUE(marked.changed);
    EXPECT_TRUE(marked.markup.contains(QStringLiteral("t09") + paragraphMarker + " t10 "))
        << text(marked.markup);
    EXPECT_EQ(marked.markup.count(paragraphMarker), 5);
    EXPECT_EQ(withoutMarkers(marked.markup), inner);
}

TEST(ParagraphMarkers, NeverCountsWordsInsideATag)
{
    // Eleven attribute words between "<a" and the word that closes the tag.
    const QString attributes = plainWords(11, "a");
    const QString inner = QStringLiteral("<a title=\"") + attributes +
                          QStringLiteral("\" href=\"x.html\">link</a> ") + plainWords(9, "t") +
                          QStringLiteral(" ") + plainWords(50, "u").left(150);
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    ASSERT_TRUE(marked.changed);
    const int firstMarker = marked.markup.indexOf(paragraphMarker);
    // "link</a>" restarts the run at 1, so the first marker follows t09.
    EXPECT_EQ(marked.markup.left(firstMarker),
              inner.left(inner.indexOf(QStringLiteral("t09")) + 3));
}

TEST(ParagraphMarkers, CountsEmptyWordsBetweenDoubleSpaces)
{
    // Two spaces in a row make an empty word, which is counted too.
    const QString inner =
        QStringLiteral("w01 w02 w03 w04 w05 w06 w07 w08  w10 ") + plainWords(50, "t");
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    ASSERT_TRUE(marked.changed);
    EXPECT_TRUE(marked.markup.startsWith(QStringLiteral("w01 w02 w03 w04 w05 w06 w07 w08  w10") +
                                         paragraphMarker))
        << text(marked.markup);
}

TEST(ParagraphMarkers, KeepsNonBreakingSpacesAndNewlinesInsideWords)
{
    // Only U+0020 separates words.
    const QString joined = QStringLiteral("a\u00a0b\nc&nbsp;d");
    const QString inner = joined + u' ' + plainWords(60);
    const MarkedParagraph marked = insertParagraphMarkers(inner);
    ASSERT_TRUE(marked.changed);
    EXPECT_TRUE(marked.markup.startsWith(joined + u' ' + plainWords(9) + paragraphMarker));
}

} // namespace
