#include "testenvironment.h"
#include "videoreplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace quirex::app;

namespace
{

struct LookupCase {
    const char *label;
    const char *markup;
    const char *name;
    const char *value;
};

class VideoAttributeLookup : public testing::TestWithParam<LookupCase>
{
};

// Names the case in test output instead of its bytes.
void PrintTo(const LookupCase &c, std::ostream *os)
{
    *os << c.label;
}

} // namespace

TEST_P(VideoAttributeLookup, ReadsTheFirstOccurrence)
{
    const LookupCase &c = GetParam();
    EXPECT_EQ(videoAttributeValue(c.markup, c.name), QByteArray(c.value)) << c.markup;
}

INSTANTIATE_TEST_SUITE_P(
    Table, VideoAttributeLookup,
    testing::Values(
        LookupCase{"QuotedWidth", "<video width=\"320\" height=240 poster=\"a.png\"></video>",
                   "width", "\"320\""},
        LookupCase{"BareHeight", "<video width=\"320\" height=240 poster=\"a.png\"></video>",
                   "height", "240"},
        LookupCase{"QuotedPoster", "<video width=\"320\" height=240 poster=\"a.png\"></video>",
                   "poster", "\"a.png\""},
        LookupCase{"BlanksAroundEquals", "<video width  = \"a b\" >", "width", "\"a b\""},
        LookupCase{"EmptyQuotes", "<video width=\"\" x>", "width", "\"\""},
        // Found inside another attribute's value, or in the element's content.
        LookupCase{"InsideAnotherValue", "<video style=\"max-width: 5\" width=9 >", "width", ":"},
        LookupCase{"InsideTheContent", "<video>the width is 10 px</video>", "width", "is"},
        LookupCase{"Missing", "<video height=240>", "width", ""},
        LookupCase{"NothingAfterTheName", "<video width= =", "width", ""},
        LookupCase{"NoClosingQuote", "<video width=\"320>", "width", ""},
        LookupCase{"NoBlankAfterABareValue", "<video width=320></video>", "width", ""}),
    [](const testing::TestParamInfo<LookupCase> &info) { return std::string(info.param.label); });

TEST(VideoElements, AreReplacedByTheirPosterOrTheWordVideo)
{
    const QByteArray text = "<p>a</p><video width=\"320\" height=\"240\" poster=\"Still.PNG\" "
                            "controls></video><p>b</p>\n<video src=x.mp4>no</video ><i>c</i>";
    EXPECT_EQ(replaceVideoElements(text),
              QByteArray("<p>a</p><img width=\"320\" height=\"240\" src=\"still.png\"><p>b</p>\n"
                         "VIDEO<i>c</i>"));
    // Upper-case attribute names are found in a lower-case element; an
    // upper-case element is left alone.
    EXPECT_EQ(replaceVideoElements(" <video WIDTH=\"A\" POSTER=\"P\"></video> <VIDEO></VIDEO>"),
              QByteArray(" <img width=\"a\" src=\"p\"> <VIDEO></VIDEO>"));
}

TEST(VideoElements, UnclosedElementsAndEverythingElseStayByteForByte)
{
    const QByteArray nul("x\0<video poster=\"p\"></video>\0\xff", 30);
    EXPECT_EQ(replaceVideoElements(nul), QByteArray("x\0<img src=\"p\">\0\xff", 17));
    for (const QByteArray &text :
         {QByteArray("<video poster=\"p\"></video>"), // at the very start
          QByteArray(" <video poster=\"p\"><p>no end"), QByteArray(" <video poster=\"p\"></video"),
          QByteArray(), QByteArray("<")})
        EXPECT_EQ(replaceVideoElements(text), text);
    // An element runs to the first closing tag after it, whatever lies between.
    const QByteArray stuck = " <video a> <video b></video>";
    EXPECT_EQ(replaceVideoElements(stuck), QByteArray(" VIDEO"));
}

TEST(ReplaceToTempFile, WritesTheRewrittenCopyBesideTheInput)
{
    const QByteArray html("<html><video poster=\"p.png\"></video>\0tail", 41);
    QString path = quirex::test::writeFile(QStringLiteral("in/page.html"), html);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    const QString input = path;

    ASSERT_EQ(ReplaceToTempFile(path, QStringLiteral("copy.html")), 0);
    EXPECT_EQ(path, QFileInfo(input).path() + QStringLiteral("/copy.html"));
    QFile copy(path);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("<html><img src=\"p.png\">\0tail", 28));
    EXPECT_EQ(QFile::permissions(path), QFile::permissions(input));
    QFile original(input);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), html);
}

TEST(ReplaceToTempFile, RefusesWhatItCannotReadOrMustNotWrite)
{
    const QString folder = quirex::test::makeFolder(QStringLiteral("refuse"));
    const QString victim = quirex::test::writeFile(QStringLiteral("victim.txt"), "keep");
    const QString input = quirex::test::writeFile(QStringLiteral("refuse/in.html"), " <video>");
    quirex::test::writeFile(QStringLiteral("refuse/empty.html"), QByteArray());
    ASSERT_EQ(::symlink(QFile::encodeName(victim).constData(),
                        QFile::encodeName(folder + QStringLiteral("/link.html")).constData()),
              0);
    QDir(folder).mkdir(QStringLiteral("sub.html"));
    const QString users = quirex::test::writeFile(QStringLiteral("refuse/notes.html"), "mine");
    quirex::test::writeFile(QStringLiteral("elsewhere/keep.txt"), "theirs");

    const struct {
        QString input;
        QString copy;
    } cases[] = {
        {folder + QStringLiteral("/missing.html"), QStringLiteral("t.html")},
        {folder + QStringLiteral("/empty.html"), QStringLiteral("t.html")},
        {folder, QStringLiteral("t.html")},               // a folder
        {input, QStringLiteral("link.html")},             // never through a link
        {input, QStringLiteral("sub.html")},              // never over a folder
        {input, QStringLiteral("in.html")},               // never over the input
        {input, QStringLiteral("nowhere/t.html")},        // folder missing
        {input, QStringLiteral("notes.html")},            // never over a file of the user's
        {input, QStringLiteral("../elsewhere/keep.txt")}, // never into another folder
        {input, QStringLiteral("..")},
        {input, QString()},
    };
    for (const auto &c : cases) {
        QString path = c.input;
        EXPECT_EQ(ReplaceToTempFile(path, c.copy), 2034) << qPrintable(c.input + " " + c.copy);
        EXPECT_EQ(path, c.input);
    }
    QFile kept(victim);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep"));
    QFile same(input);
    ASSERT_TRUE(same.open(QIODevice::ReadOnly));
    EXPECT_EQ(same.readAll(), QByteArray(" <video>"));
    QFile own(users);
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    EXPECT_EQ(own.readAll(), QByteArray("mine"));
    EXPECT_EQ(QFileInfo(quirex::test::scratchFolder() + "/elsewhere/keep.txt").size(), 6);
    // Nothing was left in the folder by any refusal.
    EXPECT_EQ(
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        (QStringList{"empty.html", "in.html", "link.html", "notes.html", "sub.html"}));
}

TEST(ReplaceToTempFile, APathWithoutAFolderWritesIntoTheCurrentFolder)
{
    quirex::test::writeFile(QStringLiteral("here.html"), "<b>x</b>");
    ASSERT_TRUE(QDir::setCurrent(quirex::test::scratchFolder()));
    QString path = QStringLiteral("here.html");
    ASSERT_EQ(ReplaceToTempFile(path, QStringLiteral("copy.html")), 0);
    EXPECT_EQ(path, QStringLiteral("copy.html"));
    EXPECT_EQ(QFileInfo(quirex::test::scratchFolder() + QStringLiteral("/copy.html")).size(), 8);
}
