// The command line taken apart: tokens, mode selection, options, output names,
// masks and list files. Pure functions, checked by tables.
#include "batchmodes.h"
#include "commandline.h"
#include "commandlinerun.h"
#include "commandlinetokens.h"
#include "filemask.h"
#include "listfile.h"
#include "listshard.h"
#include "outputname.h"
#include "papertable.h"
#include "testenvironment.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace quirex::app;

namespace
{

QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

} // namespace

TEST(CommandLineTokens, SplitAtBlanksKeepingQuotedRunsWhole)
{
    const struct {
        const char *line;
        const char *tokens; // '|' separated
    } cases[] = {
        {"a b  c", "a|b|c"},
        {"  \t ", ""},
        {"\"C:/My Files/a.html\" /outdir x", "\"C:/My Files/a.html\"|/outdir|x"},
        {"\"never closed", "\"never closed"},
        {"x\"y z\"", "x\"y|z\""},
        {"\"a\"\"b\"c", "\"a\"|\"b\"|c"},
        {"/title \"Отчёт 2026\"", "/title|\"Отчёт 2026\""},
        {"a\tb", "a|b"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(tokenizeCommandLine(QString::fromUtf8(c.line)), words(c.tokens)) << c.line;
}

TEST(CommandLineTokens, RemoveSwitchCutsEveryOccurrenceInAnyCase)
{
    EXPECT_EQ(removeSwitch(QStringLiteral("/AutoLaunch a.html /AUTOLAUNCH"),
                           QStringLiteral("/autolaunch")),
              QStringLiteral(" a.html "));
    // Inside a longer word the word is cut in two around it.
    EXPECT_EQ(removeSwitch(QStringLiteral("x/autolaunchy"), QStringLiteral("/autolaunch")),
              QStringLiteral("xy"));
    // A cut that joins a new occurrence removes that one too.
    EXPECT_EQ(removeSwitch(QStringLiteral("/auto/autolaunchlaunch"), QStringLiteral("/autolaunch")),
              QString());
    EXPECT_EQ(removeSwitch(QStringLiteral("abc"), QString()), QStringLiteral("abc"));
}

TEST(CommandLine, SelectsTheModeByItsFirstWords)
{
    const struct {
        const char *arguments;
        CommandMode mode;
        const char *source;
        const char *target;
    } cases[] = {
        {"", CommandMode::Window, "", ""},
        {"/autolaunch", CommandMode::Window, "", ""},
        {" ", CommandMode::Wrong, "", ""},
        {"/?", CommandMode::Help, "", ""},
        {"/h|x", CommandMode::Help, "", ""},
        {"--help", CommandMode::Help, "", ""},
        {"/HELP", CommandMode::SingleFile, "/HELP", "/HELP.pdf"},
        {"--version", CommandMode::Version, "", ""},
        {"report.html", CommandMode::SingleFile, "report.html", "report.html.pdf"},
        {"\" a.html \"|\"b.pdf\"", CommandMode::SingleFile, "a.html", "b.pdf"},
        {"/home/me/a.html|/home/me/a.pdf", CommandMode::SingleFile, "/home/me/a.html",
         "/home/me/a.pdf"},
        {"a.html|/swapext|yes", CommandMode::SingleFile, "a.html", "a.html.pdf"},
        {"a.html|-TITLE|x", CommandMode::SingleFile, "a.html", "a.html.pdf"},
        {"/filemask", CommandMode::Wrong, "", ""},
        {"/filemask|*.html", CommandMode::Wrong, "", ""},
        {"/filemask|\"*.html\"|/outdir|\"out\"", CommandMode::FileMask, "\"*.html\"", "out"},
        {"/FileMask|*.html|--outdir|out", CommandMode::FileMask, "*.html", "out"},
        {"/filemask|*.html|/outdir", CommandMode::Wrong, "", ""},
        {"/filemask|*.html|/OUTDIR|out", CommandMode::Wrong, "", ""},
        {"/filemask|*.html|/zoom|50", CommandMode::FileMask, "*.html", ""},
        {"/inlist|l.txt|/outdir", CommandMode::Wrong, "", ""},
        {"/inlist|\"l.txt\"|/OutDir|\"out\"", CommandMode::ListToDir, "l.txt", "out"},
        {"/inlist| l.txt |/outlist|\" o.txt\"", CommandMode::ListToList, "l.txt", "o.txt"},
        {"-inlist|\"l.txt\"|-all2one|\" all.pdf \"", CommandMode::ListToOne, "l.txt", "all.pdf"},
        {"/inlist|l.txt|/outdri|out", CommandMode::Wrong, "", ""},
        {"/url", CommandMode::Wrong, "", ""},
        {"/url|example.org", CommandMode::Url, "http://example.org", ""},
        {"/url|HTTPS://example.org", CommandMode::Url, "http://HTTPS://example.org", ""},
        {"/url|https://example.org/a", CommandMode::Url, "https://example.org/a", ""},
        {"/url|file:///tmp/a.html", CommandMode::Url, "file:///tmp/a.html", ""},
        {"/url|about:blank", CommandMode::Url, "about:blank", ""},
        {"a.html|b.pdf|/title", CommandMode::Wrong, "", ""},
        {"a.html|b.pdf|/outdir|x", CommandMode::Wrong, "", ""},
        {"a.html|b.pdf|c.pdf", CommandMode::Wrong, "", ""},
    };
    for (const auto &c : cases) {
        const CommandLine line = parseCommandLine(words(c.arguments));
        EXPECT_EQ(line.mode, c.mode) << c.arguments;
        if (line.mode != CommandMode::Wrong) {
            EXPECT_EQ(line.source, QString::fromUtf8(c.source)) << c.arguments;
            EXPECT_EQ(line.target, QString::fromUtf8(c.target)) << c.arguments;
        }
    }
}

TEST(CommandLine, GlobalSwitchesAreWholeArgumentsAnywhere)
{
    const CommandLine line = parseCommandLine(
        words("/QUIET|a.html|--autolaunch|/home/x/autolaunch.pdf|-addlog|/invertall|/untrusted"));
    EXPECT_EQ(line.mode, CommandMode::SingleFile);
    EXPECT_EQ(line.target, QStringLiteral("/home/x/autolaunch.pdf"));
    EXPECT_TRUE(line.autoLaunch && line.addLog && line.invertAll && line.quiet && line.untrusted);
    EXPECT_FALSE(parseCommandLine(words("a.html")).autoLaunch);
    EXPECT_TRUE(isGlobalSwitch(QStringLiteral("-AutoLaunch")));
    EXPECT_FALSE(isGlobalSwitch(QStringLiteral("/autolaunchx")));

    // The run words, with their values, anywhere; absurd values name the word.
    const CommandLine run =
        parseCommandLine(words("--JOBS|3|/inlist|l.txt|/keepgoing|/outdir|o|-timeout|20"));
    EXPECT_EQ(run.mode, CommandMode::ListToDir);
    EXPECT_EQ(run.target, QStringLiteral("o"));
    EXPECT_TRUE(run.keepGoing);
    EXPECT_EQ(run.jobs, 3);
    EXPECT_EQ(run.timeoutSeconds, 20);
    EXPECT_EQ(parseCommandLine(words("a.html")).jobs, 0);
    EXPECT_EQ(parseCommandLine(words("a.html")).timeoutSeconds, 300);
    EXPECT_EQ(parseCommandLine(words("a.html|/jobs|100000000000")).jobs, kMaxJobs);
    for (const char *wrong : {"a.html|/jobs|0", "a.html|/jobs|-1", "a.html|/jobs|two",
                              "a.html|/timeout|0", "a.html|/jobs"}) {
        const CommandLine line = parseCommandLine(words(wrong));
        EXPECT_EQ(line.mode, CommandMode::Wrong) << wrong;
        EXPECT_TRUE(line.error.contains(QStringLiteral("\"/jobs\"")) ||
                    line.error.contains(QStringLiteral("\"/timeout\"")))
            << wrong << " " << line.error.toStdString();
    }
}

TEST(CommandLine, OptionsFollowTheirValueRules)
{
    using Check = std::function<bool(const ConversionOptions &)>;
    const struct {
        const char *arguments; // after "a.html b.pdf"
        Check check;           // null: the command line is wrong
    } cases[] = {
        {"/jpeg|50", [](auto &o) { return o.settings.JpegQuality == 50; }},
        {"/jpeg|101", [](auto &o) { return o.settings.JpegQuality == 79; }},
        {"/psize|LETTER", [](auto &o) { return o.settings.PaperSize == 28; }},
        {"/psize|b10|/margin-left|9|/margin-right|9|/margin-top|9|/margin-bottom|9",
         [](auto &o) { return o.settings.PaperSize == 20; }},
        {"/psize|210x297",
         [](auto &o) {
             return o.settings.PaperSize == CustomPaperSize && o.settings.CustomPaperWidth == 210 &&
                    o.settings.CustomPaperHeight == 297;
         }},
        {"/psize|1x123456789012345",
         [](auto &o) { return o.settings.CustomPaperHeight == 1234567890; }},
        {"/psize|x297", nullptr},
        {"/psize|a10", nullptr},
        {"/porient|Landscape", [](auto &o) { return o.settings.Orientation == 1; }},
        {"/porient|sideways", nullptr},
        {"/margin-left|1000", [](auto &o) { return o.settings.MarginLeft == 0; }},
        {"/margin-right|12px", [](auto &o) { return o.settings.MarginRight == 12; }},
        {"/margin-top|-5", [](auto &o) { return o.settings.MarginTop == 0; }},
        {"/margin-bottom|abc", [](auto &o) { return o.settings.MarginBottom == 0; }},
        {"/zoom|1", [](auto &o) { return o.settings.Zoom == 0; }},
        {"/zoom|20001", [](auto &o) { return o.settings.Zoom == 0; }},
        {"/zoom|20000", [](auto &o) { return o.settings.Zoom == 20000; }},
        {"/zoom|99999999999999999999", [](auto &o) { return o.settings.Zoom == 0; }},
        {"/encoding|UTF-8", [](auto &o) { return o.settings.Encoding == 120; }},
        {"/encoding|utf-8", nullptr},
        {"/preservelinks|NO", [](auto &o) { return !o.settings.PreserveLinks; }},
        {"/preservelinks|0", nullptr},
        {"/postentireimages|yes", [](auto &o) { return o.settings.PostEntireImages; }},
        {"/postentiretables|yes", [](auto &o) { return o.settings.PostEntireTables; }},
        {"/postentiretables|true", nullptr},
        {"/pagenumbers|left",
         [](auto &o) { return o.settings.PageNumbers && o.settings.PageNumberAlign == 0; }},
        {"/pagenumbers|right|/pagenumbers|no",
         [](auto &o) { return !o.settings.PageNumbers && o.settings.PageNumberAlign == 2; }},
        {"/pagenumbers|top", nullptr},
        {"/pagenumstr|\"%c / %t\"",
         [](auto &o) {
             return o.settings.PageNumbers && o.settings.PageNumberAlign == 1 &&
                    o.settings.PageNumberFormat == QLatin1String("%c / %t");
         }},
        {"/pagenumbers|right|/pagenumstr|x",
         [](auto &o) { return o.settings.PageNumberAlign == 2; }},
        {"/swapext|yes",
         [](auto &o) { return o.swapExtension && o.outputExtension == QLatin1String("pdf"); }},
        {"/swapext|Pdf",
         [](auto &o) { return o.swapExtension && o.outputExtension == QLatin1String("Pdf"); }},
        {"/swapext|Pdf|/swapext|no", [](auto &o) { return !o.swapExtension; }},
        {"/title|\"Отчёт 2026\"|/author|\"a \"\"b\"\"\"|--subj|s|/keywords|k",
         [](auto &o) {
             return o.settings.Title == QStringLiteral("Отчёт 2026") &&
                    o.settings.Author == QLatin1String("a \"\"b\"\"") &&
                    o.settings.Subject == QLatin1String("s") &&
                    o.settings.Keywords == QLatin1String("k");
         }},
        {"/baseurl|http://x/|/tempfile|t.html|/header|h|/footer|f",
         [](auto &o) {
             return o.settings.BaseURL == QLatin1String("http://x/") &&
                    o.tempFileName == QLatin1String("t.html") &&
                    o.headerText == QLatin1String("h") && o.footerText == QLatin1String("f");
         }},
        {"/media|Screen", [](auto &o) { return o.settings.ScreenMedia; }},
        {"/media|screen|-media|print", [](auto &o) { return !o.settings.ScreenMedia; }},
        {"/media|tv", nullptr},
        {"/zoom", nullptr},
        {"/nosuchoption|1", nullptr},
    };
    for (const auto &c : cases) {
        const CommandLine line = parseCommandLine(
            QStringList{QStringLiteral("a.html"), QStringLiteral("b.pdf")} + words(c.arguments));
        if (!c.check) {
            EXPECT_EQ(line.mode, CommandMode::Wrong) << c.arguments;
            continue;
        }
        ASSERT_EQ(line.mode, CommandMode::SingleFile) << c.arguments;
        EXPECT_TRUE(c.check(line.options)) << c.arguments;
    }
}

TEST(CommandLine, AWrongCommandLineNamesTheWordItCouldNotUse)
{
    const struct {
        const char *arguments;
        const char *error;
    } cases[] = {
        {"/filemask|site/*.htm", "\"/filemask\" needs a mask and"},
        {"b.htm|/title", "\"/title\" needs a value"},
        {"b.htm|/pagenumbers|bottom", "\"bottom\" is not a value of \"/pagenumbers\""},
        {"b.htm|out.pdf|/nosuch|1", "\"/nosuch\" is not an option"},
        {"/inlist|l.txt|/outdri|out", "\"/outdri\" after \"/inlist\" LIST"},
        // No printable area: A4 is 793.7 pixels wide, 1122.5 high at 96 dpi.
        {"b.htm|/margin-left|400|/margin-right|394",
         "\"/margin-left\" 400 and \"/margin-right\" 394"},
        {"b.htm|/porient|landscape|/margin-top|400|/margin-bottom|370", "\"/margin-top\" 400"},
        {"/url|x|/psize|a9|/margin-left|100|/margin-right|40", "no printable width"},
    };
    for (const auto &c : cases) {
        const CommandLine line = parseCommandLine(words(c.arguments));
        EXPECT_EQ(line.mode, CommandMode::Wrong) << c.arguments;
        EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error))) << qPrintable(line.error);
    }
    // Just inside the paper, and the largest margins on a large custom paper.
    EXPECT_EQ(parseCommandLine(words("b.htm|/margin-left|400|/margin-right|393")).mode,
              CommandMode::SingleFile);
    EXPECT_EQ(parseCommandLine(words("b.htm|/psize|1000x1000|/margin-left|999|/margin-right|999|"
                                     "/margin-top|999|/margin-bottom|999"))
                  .mode,
              CommandMode::SingleFile);
    EXPECT_TRUE(parseCommandLine(words("b.htm")).error.isEmpty());
}

TEST(CommandLine, ShardStandsAnywhereInABatchLineAndTakesOnlyKOverN)
{
    const struct {
        const char *arguments;
        int index; // 0: the command line is wrong
        int count;
        const char *error;
    } cases[] = {
        {"/inlist|l.txt|/outdir|pdf|/shard|2/3", 2, 3, ""},
        {"/inlist|l.txt|--SHARD|\"1/1\"|/outdir|pdf", 1, 1, ""},
        {"/shard|3/3|/filemask|*.html|/outdir|pdf", 3, 3, ""},
        {"/inlist|-|/all2one|b.pdf|-shard|7/120|/zoom|50", 7, 120, ""},
        {"/inlist|l.txt|/outdir|pdf", 1, 1, ""},
        {"/inlist|l.txt|/outdir|pdf|/shard|0/3", 0, 0, "\"0/3\" is not a value of \"/shard\""},
        {"/inlist|l.txt|/outdir|pdf|/shard|4/3", 0, 0, "\"4/3\" is not a value of \"/shard\""},
        {"/inlist|l.txt|/outdir|pdf|/shard|1/0", 0, 0, "\"1/0\" is not a value of \"/shard\""},
        {"/inlist|l.txt|/outdir|pdf|/shard|a/b", 0, 0, "\"a/b\" is not a value"},
        {"/inlist|l.txt|/outdir|pdf|/shard|1/3/4", 0, 0, "\"1/3/4\" is not a value"},
        {"/inlist|l.txt|/outdir|pdf|/shard|-1/3", 0, 0, "\"-1/3\" is not a value"},
        {"/inlist|l.txt|/outdir|pdf|/shard|1/9999999999", 0, 0, "is not a value"},
        {"/inlist|l.txt|/outdir|pdf|/shard|{#}/2", 0, 0, "\"{#}/2\" is not a value"},
        {"/inlist|l.txt|/outdir|pdf|/shard", 0, 0, "\"/shard\" needs a value"},
        {"/inlist|l.txt|/outdir|pdf|/shard|1/2|/shard|2/2", 0, 0, "\"/shard\" is given twice"},
        {"a.html|/shard|1/2", 0, 0, "\"/shard\" needs \"/inlist\" or \"/filemask\""},
        {"/url|example.org|/shard|1/2", 0, 0, "\"/shard\" needs \"/inlist\""},
        {"/shard|1/2", 0, 0, "\"/shard\" needs \"/inlist\""},
        // One standard input cannot hold both lists; one of them may be it.
        {"/inlist|-|/outlist|\"-\"", 0, 0, "\"/outlist\" - and \"/inlist\" - cannot both"},
        {"/inlist|l.txt|/outlist|-", 1, 1, ""},
    };
    for (const auto &c : cases) {
        const CommandLine line = parseCommandLine(words(c.arguments));
        if (c.index == 0) {
            EXPECT_EQ(line.mode, CommandMode::Wrong) << c.arguments;
            EXPECT_TRUE(line.error.contains(QString::fromUtf8(c.error))) << qPrintable(line.error);
            continue;
        }
        EXPECT_NE(line.mode, CommandMode::Wrong) << c.arguments << ": " << qPrintable(line.error);
        EXPECT_EQ(line.shard.index, c.index) << c.arguments;
        EXPECT_EQ(line.shard.count, c.count) << c.arguments;
    }
    // The value is taken with the word, never as a path or an option.
    const CommandLine line = parseCommandLine(words("/inlist|/shard|1/2|l.txt|/outdir|pdf"));
    EXPECT_EQ(line.mode, CommandMode::ListToDir);
    EXPECT_EQ(line.source, QStringLiteral("l.txt"));
    EXPECT_TRUE(isKnownWord(QStringLiteral("--shard")));
}

TEST(ListShard, SharesTogetherTakeEveryEntryOnce)
{
    EXPECT_EQ(shardPositions(10, ListShard{2, 3}), (QVector<int>{1, 4, 7}));
    EXPECT_EQ(shardPositions(3, ListShard{1, 1}), (QVector<int>{0, 1, 2}));
    EXPECT_TRUE(shardPositions(2, ListShard{3, 5}).isEmpty());
    EXPECT_TRUE(shardPositions(0, ListShard{1, 1}).isEmpty());
    for (int count = 1; count <= 7; ++count) {
        QVector<int> seen(23, 0);
        for (int index = 1; index <= count; ++index)
            for (int position : shardPositions(seen.size(), ListShard{index, count}))
                ++seen[position];
        EXPECT_EQ(seen, QVector<int>(23, 1)) << count;
    }
}

TEST(CommandLine, NumbersReadLikeTheCLibrary)
{
    EXPECT_EQ(leadingNumber(QStringLiteral("  42abc")), 42);
    EXPECT_EQ(leadingNumber(QStringLiteral("-7")), -7);
    EXPECT_EQ(leadingNumber(QStringLiteral("+8")), 8);
    EXPECT_EQ(leadingNumber(QStringLiteral("x1")), 0);
    EXPECT_EQ(leadingNumber(QString()), 0);
    EXPECT_EQ(leadingNumber(QStringLiteral("99999999999999999999")), INT_MAX);
    EXPECT_EQ(leadingNumber(QStringLiteral("-99999999999999999999")), INT_MIN);
}

TEST(OutputName, FolderModesAddOrSwapTheExtension)
{
    EXPECT_EQ(outputPathInFolder(QStringLiteral("/in/report.html"), QStringLiteral("/out"), false,
                                 QStringLiteral("pdf")),
              QStringLiteral("/out/report.html.pdf"));
    EXPECT_EQ(outputPathInFolder(QStringLiteral("report.html"), QStringLiteral("/out/"), true,
                                 QStringLiteral("pdf")),
              QStringLiteral("/out/report.pdf"));
    EXPECT_EQ(outputPathInFolder(QStringLiteral("a/b.c/report.html"), QStringLiteral("/out"), true,
                                 QStringLiteral("Pdf")),
              QStringLiteral("/out/report.Pdf"));
    EXPECT_EQ(outputPathInFolder(QStringLiteral("/in/README"), QStringLiteral("/out"), true,
                                 QStringLiteral("pdf")),
              QStringLiteral("/out/pdf"));
    EXPECT_EQ(outputPathInFolder(QStringLiteral("x.htm"), QStringLiteral("\"/out "), false,
                                 QStringLiteral("pdf")),
              QStringLiteral("/out /x.htm.pdf"));

    QSet<QString> taken{QStringLiteral("/d/ConvertedDocument.pdf"),
                        QStringLiteral("/d/ConvertedDocument_1.pdf")};
    const auto exists = [&](const QString &path) { return taken.contains(path); };
    EXPECT_EQ(numberedDocumentPath(QStringLiteral("/d"), exists),
              QStringLiteral("/d/ConvertedDocument_2.pdf"));
    EXPECT_EQ(numberedDocumentPath(QStringLiteral("/e/"), exists),
              QStringLiteral("/e/ConvertedDocument.pdf"));
}

TEST(FileMask, StarsAndQuestionMarksMatchWithoutLetterCase)
{
    const struct {
        const char *name;
        const char *pattern;
        bool matches;
    } cases[] = {
        {"report.html", "*.html", true},
        {"REPORT.HTML", "*.html", true},
        {"report.htm", "*.html", false},
        {"a.html", "?.html", true},
        {"ab.html", "?.html", false},
        {"x", "*", true},
        {"", "*", true},
        {"", "?", false},
        {"abcabd", "*abd", true},
        {"aXbXc", "a*b*c", true},
        {"aXbXd", "a*b*c", false},
        {"Отчёт.html", "отчёт.*", true},
        {"a*b", "a*b", true},
        {"abc", "ab", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(matchesMask(QString::fromUtf8(c.name), QString::fromUtf8(c.pattern)), c.matches)
            << c.name << " ~ " << c.pattern;
    // Long names with many stars stay fast (no exponential backtracking).
    EXPECT_FALSE(matchesMask(QString(5000, QLatin1Char('a')), QStringLiteral("*a*a*a*a*a*b")));
}

TEST(FileMask, ListsMatchingFilesSortedByName)
{
    using quirex::test::writeFile;
    for (const char *name : {"b.html", "A.HTML", "c.htm", ".hidden.html", "sub.html/x"})
        writeFile(QStringLiteral("mask/") + QLatin1String(name), "x");
    const QString folder = quirex::test::scratchFolder() + QStringLiteral("/mask/");

    MaskMatches matches = expandFileMask(folder + QStringLiteral("*.html"));
    EXPECT_TRUE(matches.found);
    EXPECT_EQ(matches.paths,
              (QStringList{folder + QStringLiteral("A.HTML"), folder + QStringLiteral("b.html")}));
    EXPECT_EQ(expandFileMask(folder + QStringLiteral(".*")).paths,
              QStringList{folder + QStringLiteral(".hidden.html")});

    // A folder that matches is found but not listed: nothing to convert, no failure.
    matches = expandFileMask(folder + QStringLiteral("sub*"));
    EXPECT_TRUE(matches.found);
    EXPECT_TRUE(matches.paths.isEmpty());

    EXPECT_FALSE(expandFileMask(folder + QStringLiteral("*.pdf")).found);
    EXPECT_FALSE(expandFileMask(QStringLiteral("\"") + folder + QStringLiteral("*.html\"")).found);
    EXPECT_FALSE(expandFileMask(folder + QStringLiteral("missing/*.html")).found);
    EXPECT_FALSE(expandFileMask(folder).found);

    // Without a folder part the current folder is searched and paths stay relative.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder));
    matches = expandFileMask(QStringLiteral("?.htm*"));
    QDir::setCurrent(previous);
    EXPECT_EQ(matches.paths, (QStringList{QStringLiteral("A.HTML"), QStringLiteral("b.html"),
                                          QStringLiteral("c.htm")}));
}

TEST(ListFile, KeepsNonEmptyTrimmedLinesInOrder)
{
    QStringList paths;
    ASSERT_TRUE(parseListText("\xEF\xBB\xBF a.html \r\n\r\n\t/b c.html\n\n  \nd.txt", &paths));
    EXPECT_EQ(paths, (QStringList{QStringLiteral("a.html"), QStringLiteral("/b c.html"),
                                  QStringLiteral("d.txt")}));
    ASSERT_TRUE(parseListText("Отчёт.html\r\n", &paths));
    EXPECT_EQ(paths, QStringList{QStringLiteral("Отчёт.html")});
    ASSERT_TRUE(parseListText("\xC2\xA0x.html\xC2\xA0\n  \xEF\xBB\xBF \n", &paths));
    EXPECT_EQ(paths, QStringList{QStringLiteral("x.html")});
    ASSERT_TRUE(parseListText(" \n\r\n", &paths));
    EXPECT_TRUE(paths.isEmpty());

    EXPECT_FALSE(parseListText(QByteArray(), &paths));
    EXPECT_FALSE(parseListText(QByteArray("a.html\n\0b.html", 14), &paths));
    EXPECT_TRUE(paths.isEmpty());
}

TEST(ListFile, OnlyReadableRegularFilesAreLists)
{
    QStringList paths;
    const QString list = quirex::test::writeFile(QStringLiteral("list.txt"), "a.html\nb.html\n");
    ASSERT_TRUE(readListFile(list, &paths));
    EXPECT_EQ(paths.size(), 2);
    EXPECT_FALSE(readListFile(quirex::test::writeFile(QStringLiteral("empty.txt"), ""), &paths));
    EXPECT_FALSE(readListFile(list + QStringLiteral(".missing"), &paths));
    EXPECT_FALSE(readListFile(quirex::test::scratchFolder(), &paths));
    EXPECT_FALSE(readListFile(QStringLiteral("/dev/zero"), &paths));
    const QString fifo = quirex::test::scratchFolder() + QStringLiteral("/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(readListFile(fifo, &paths)); // must not block
}

TEST(ListFile, StandardInputIsReadToItsEndWithTheSameLineRules)
{
    // Smaller than a pipe's buffer, so it is written whole before reading.
    const auto readPipe = [](const QByteArray &text, QStringList *paths) {
        int ends[2];
        if (::pipe(ends) != 0)
            return false;
        const bool written = ::write(ends[1], text.constData(), size_t(text.size())) == text.size();
        ::close(ends[1]);
        const bool ok = readListDescriptor(ends[0], paths);
        ::close(ends[0]);
        return written && ok;
    };
    QStringList paths;
    ASSERT_TRUE(readPipe("\xEF\xBB\xBF dir/a b.html\r\n\n Отчёт.txt", &paths));
    EXPECT_EQ(paths, (QStringList{QStringLiteral("dir/a b.html"), QStringLiteral("Отчёт.txt")}));
    EXPECT_FALSE(readPipe(QByteArray(), &paths));
    EXPECT_FALSE(readPipe(QByteArray("a.html\n\0b.html\n", 16), &paths));
    EXPECT_TRUE(paths.isEmpty());
    // An endless binary stream stops at its first NUL byte.
    const int zero = ::open("/dev/zero", O_RDONLY);
    ASSERT_GE(zero, 0);
    EXPECT_FALSE(readListDescriptor(zero, &paths));
    ::close(zero);
}

TEST(CommandLineRun, ProgressLinesNameFilesNotFolders)
{
    BatchStep step;
    step.number = 3;
    step.count = 40;
    step.input = QStringLiteral("/in/report.html");
    step.output = QStringLiteral("/out/report.pdf");
    step.pages = 12;
    step.seconds = 0.44;
    EXPECT_EQ(progressLine(step),
              QStringLiteral("[3/40] report.html -> report.pdf (12 pages, 0.4 s)"));
    step.pages = 1;
    EXPECT_EQ(progressLine(step),
              QStringLiteral("[3/40] report.html -> report.pdf (1 page, 0.4 s)"));
    step.result = -6;
    EXPECT_EQ(progressLine(step), QStringLiteral("[3/40] report.html: failed (-6)"));
}
