#include "profileparser.h"

#include <QList>

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace quirex::platform;

namespace
{

const QByteArray kSample = "; settings of the test\n"
                           "orphan=before any section\n"
                           "[Settings]\n"
                           "  MarginLeft = 113  \n"
                           "Quoted=\"  spaced  \"\n"
                           "Single='x'\n"
                           "Lonely=\"\n"
                           "; Hidden=1\n"
                           "Comment=a ; b\n"
                           "Dup=first\n"
                           "dup=second\n"
                           "Empty=\n"
                           "NoEquals\n"
                           "[Main]\n"
                           "SaveFolder=/home/u/PDF\n"
                           "[settings]\n"
                           "Late=from the second block\n";

struct FindCase {
    const char *section;
    const char *key;
    const char *expected; // nullptr: not found
};

class FindProfileValue : public testing::TestWithParam<FindCase>
{
};

TEST_P(FindProfileValue, AppliesTheReadingRules)
{
    const FindCase c = GetParam();
    const std::optional<QString> value =
        findProfileValue(kSample, QString::fromUtf8(c.section), QString::fromUtf8(c.key));
    if (!c.expected) {
        EXPECT_FALSE(value.has_value()) << qPrintable(value.value_or(QString()));
    } else {
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->toStdString(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FindProfileValue,
    testing::Values(FindCase{"Settings", "MarginLeft", "113"},
                    FindCase{"SETTINGS", "marginleft", "113"},     // case-insensitive names
                    FindCase{" Settings ", " MarginLeft ", "113"}, // trimmed names
                    FindCase{"Settings", "Quoted", "  spaced  "},  // one pair of quotes removed
                    FindCase{"Settings", "Single", "x"},
                    FindCase{"Settings", "Lonely", "\""},     // a lone quote stays
                    FindCase{"Settings", "Hidden", nullptr},  // commented out
                    FindCase{"Settings", "Comment", "a ; b"}, // ';' inside a value
                    FindCase{"Settings", "Dup", "first"},     // first match wins
                    FindCase{"Settings", "Empty", ""}, FindCase{"Settings", "NoEquals", nullptr},
                    FindCase{"Settings", "orphan", nullptr},     // before any section
                    FindCase{"Settings", "SaveFolder", nullptr}, // other section
                    FindCase{"Main", "SaveFolder", "/home/u/PDF"},
                    FindCase{"Settings", "Late", "from the second block"},
                    FindCase{"Missing", "MarginLeft", nullptr}, FindCase{"Settings", "", nullptr}));

TEST(FindProfileValueText, ReadsCrLfAndUtf8)
{
    const QByteArray contents = "[Main]\r\nTitle=Отчёт\r\nNext=1\r\n";
    EXPECT_EQ(findProfileValue(contents, QStringLiteral("main"), QStringLiteral("title")),
              QStringLiteral("Отчёт"));
    EXPECT_EQ(findProfileValue(contents, QStringLiteral("Main"), QStringLiteral("Next")),
              QStringLiteral("1"));
    const QByteArray withMark = "\xEF\xBB\xBF[Main]\nZoom=5\n";
    EXPECT_EQ(findProfileValue(withMark, QStringLiteral("Main"), QStringLiteral("Zoom")),
              QStringLiteral("5"));
    EXPECT_EQ(setProfileValue(withMark, QStringLiteral("Main"), QStringLiteral("Zoom"),
                              QStringLiteral("7")),
              QByteArray("\xEF\xBB\xBF[Main]\nZoom=7\n"));
}

struct IntCase {
    const char *text;
    int expected;
};

class ParseProfileInt : public testing::TestWithParam<IntCase>
{
};

TEST_P(ParseProfileInt, ReadsLeadingDigits)
{
    EXPECT_EQ(parseProfileInt(QString::fromUtf8(GetParam().text), 77), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ParseProfileInt,
                         testing::Values(IntCase{"113", 113}, IntCase{"12abc", 12},
                                         IntCase{"abc", 0}, IntCase{"", 77}, IntCase{" 5 ", 5},
                                         IntCase{"-4", -4}, IntCase{"+9", 9}, IntCase{"-", 0},
                                         IntCase{"0x10", 0}, IntCase{"99999999999", INT_MAX},
                                         IntCase{"-99999999999", INT_MIN}));

TEST(TruncateToBuffer, NeverSplitsACharacter)
{
    EXPECT_EQ(truncateToBuffer(QStringLiteral("abcdef"), 4), QStringLiteral("abc"));
    EXPECT_EQ(truncateToBuffer(QStringLiteral("abc"), 4), QStringLiteral("abc"));
    // "ж" takes two bytes: a buffer of 4 holds "aж" but not "aжж".
    EXPECT_EQ(truncateToBuffer(QStringLiteral("aжж"), 4), QStringLiteral("aж"));
    EXPECT_EQ(truncateToBuffer(QStringLiteral("aжж"), 5), QStringLiteral("aж"));
    EXPECT_EQ(truncateToBuffer(QStringLiteral("x"), 0), QString());
}

struct WriteCase {
    const char *name;
    QByteArray before;
    const char *section;
    const char *key;
    const char *value;
    QByteArray after;
};

class SetProfileValue : public testing::TestWithParam<WriteCase>
{
};

TEST_P(SetProfileValue, RewritesOnlyTheEntry)
{
    const WriteCase c = GetParam();
    const std::optional<QByteArray> result =
        setProfileValue(c.before, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                        QString::fromUtf8(c.value));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->toStdString(), c.after.toStdString());
    // Whatever was written reads back unchanged.
    EXPECT_EQ(findProfileValue(*result, QString::fromUtf8(c.section), QString::fromUtf8(c.key)),
              QString::fromUtf8(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetProfileValue,
    testing::Values(
        WriteCase{"EmptyFile", "", "Settings", "Zoom", "100", "[Settings]\nZoom=100\n"},
        WriteCase{"InPlace", "; keep me\n[Settings]\nA=1\n  zoom = 50 \nB=2\n\n[Main]\nZoom=7\n",
                  "settings", "Zoom", "100",
                  "; keep me\n[Settings]\nA=1\nZoom=100\nB=2\n\n[Main]\nZoom=7\n"},
        WriteCase{"AppendKeyToSection", "[Settings]\nA=1\n\n[Main]\nB=2\n", "Settings", "C", "3",
                  "[Settings]\nA=1\nC=3\n\n[Main]\nB=2\n"},
        WriteCase{"AppendSection", "[Main]\nB=2", "Settings", "C", "3",
                  "[Main]\nB=2\n[Settings]\nC=3\n"},
        WriteCase{"KeepsCrLf", "[Main]\r\nB=2\r\n", "Main", "C", "x", "[Main]\r\nB=2\r\nC=x\r\n"},
        WriteCase{"FirstOfDuplicates", "[S]\nk=1\nK=2\n", "S", "k", "9", "[S]\nk=9\nK=2\n"},
        WriteCase{"CommentedKeyIsNotTheKey", "[S]\n;k=1\n", "S", "k", "2", "[S]\n;k=1\nk=2\n"},
        WriteCase{"QuotesSurroundingBlanks", "", "S", "k", " a ", "[S]\nk=\" a \"\n"},
        WriteCase{"QuotesAQuotedValue", "", "S", "k", "\"q\"", "[S]\nk=\"\"q\"\"\n"},
        WriteCase{"Utf8Value", "", "Main", "SaveFolder", "/home/u/Документы",
                  "[Main]\nSaveFolder=/home/u/Документы\n"}),
    [](const testing::TestParamInfo<WriteCase> &info) { return std::string(info.param.name); });

TEST(SetProfileValueRejects, EntriesThatWouldChangeTheFileStructure)
{
    const QByteArray contents = "[S]\nk=1\n";
    const QString s = QStringLiteral("S");
    EXPECT_FALSE(setProfileValue(contents, s, QStringLiteral("k"), QStringLiteral("a\nk=2")));
    EXPECT_FALSE(setProfileValue(contents, s, QStringLiteral("k"), QStringLiteral("a\rb")));
    EXPECT_FALSE(setProfileValue(contents, s, QStringLiteral("a=b"), QStringLiteral("1")));
    EXPECT_FALSE(setProfileValue(contents, s, QStringLiteral("[x]"), QStringLiteral("1")));
    EXPECT_FALSE(setProfileValue(contents, s, QStringLiteral(";x"), QStringLiteral("1")));
    EXPECT_FALSE(setProfileValue(contents, s, QStringLiteral(" "), QStringLiteral("1")));
    EXPECT_FALSE(
        setProfileValue(contents, QStringLiteral("a]b"), QStringLiteral("k"), QStringLiteral("1")));
}

} // namespace

namespace
{

// Random files built from fragments that matter to the parser, plus arbitrary
// bytes: a write must always read back and never disturb the other entries.
TEST(SetProfileValueRandom, WrittenValuesReadBackAndOthersStay)
{
    const QList<QByteArray> fragments = {"[S]",
                                         "[s ]",
                                         "[T]",
                                         "[",
                                         "]",
                                         "k",
                                         "K",
                                         "j",
                                         "=",
                                         " ",
                                         "\t",
                                         ";",
                                         "\"",
                                         "'",
                                         "\r",
                                         "\n",
                                         "\n",
                                         "\n",
                                         "v",
                                         "\xD0\xB6",
                                         "\xFF",
                                         "\xEF\xBB\xBF",
                                         QByteArray(1, '\0')};
    const char *keys[] = {"k", "K", "j", "new"};
    const char *values[] = {"", "1", " padded ", "\"q\"", "a;b", "Ж", "'x'"};
    std::mt19937 random(12345);
    for (int round = 0; round < 3000; ++round) {
        QByteArray contents;
        const int pieces = int(random() % 40);
        for (int i = 0; i < pieces; ++i)
            contents += fragments[int(random() % unsigned(fragments.size()))];
        const QString section = (random() % 2) ? QStringLiteral("S") : QStringLiteral("T");
        const QString key = QString::fromLatin1(keys[random() % 4]);
        const QString value = QString::fromUtf8(values[random() % 7]);
        const QString other = key == QLatin1String("j") ? QStringLiteral("k") : QStringLiteral("j");
        const std::optional<QString> otherBefore = findProfileValue(contents, section, other);

        const std::optional<QByteArray> written = setProfileValue(contents, section, key, value);
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(findProfileValue(*written, section, key), value) << contents.toHex().constData();
        EXPECT_EQ(findProfileValue(*written, section, other), otherBefore)
            << contents.toHex().constData();
    }
}

} // namespace
