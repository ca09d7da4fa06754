#include "toolrunner.h"

#include "testenvironment.h"
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quirex::test;

namespace
{
QString componentPath()
{
    return QFileInfo(QStringLiteral(AUTOMATION_TEST_COMPONENT)).canonicalFilePath();
}
} // namespace

namespace
{

struct ScriptCase {
    const char *name;
    const char *script;
    bool keepGoing;
    int exitCode;
    const char *out;
    const char *err; // exact standard error, or, when it starts with "~", a part of it
};

// Names the case in test output instead of its bytes.
void PrintTo(const ScriptCase &c, std::ostream *os)
{
    *os << c.name;
}

class QuirexScript : public testing::TestWithParam<ScriptCase>
{
protected:
    void SetUp() override { ASSERT_TRUE(registerComponent(componentPath())); }
};

} // namespace

TEST_P(QuirexScript, RunsTheScript)
{
    const ScriptCase &c = GetParam();
    const QStringList arguments = c.keepGoing ? QStringList{QStringLiteral("-k")} : QStringList();
    const ToolRun run = runTool(QStringLiteral("quirexscript"), arguments, QByteArray(c.script));
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out.toStdString(), std::string(c.out));
    const QString err = QString::fromUtf8(c.err);
    if (err.startsWith(QLatin1Char('~')))
        EXPECT_TRUE(run.err.contains(err.mid(1))) << run.err.toStdString();
    else
        EXPECT_EQ(run.err.toStdString(), std::string(c.err));
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, QuirexScript,
    testing::Values(
        ScriptCase{"EveryStatement",
                   "# a comment\n"
                   "\n"
                   "create automationtest.Gadget\n"
                   "put Count 5\n"
                   "get Count\n"
                   "put Title \"say \\\"hi\\\"\\n\"\n"
                   "get Title\n"
                   "put Ratio 0.1\n"
                   "get Ratio\n"
                   "put Ratio 2\n"
                   "get Ratio\n"
                   "put Active true\n"
                   "get Active\n"
                   "call Add 2 3\n"
                   "call Half 3\n"
                   "call Reset\n"
                   "get 1\n"
                   "release\n"
                   "release\n",
                   false, 0,
                   "Count = 5\nTitle = \"say \\\"hi\\\"\\n\"\nRatio = 0.1\nRatio = 2.0\n"
                   "Active = true\nAdd -> 5\nHalf -> 1.5\n1 = 0\n",
                   ""},
        ScriptCase{"WordsAreStrings", "create automationtest.Gadget\ncall Join left right\n", false,
                   0, "Join -> \"leftright\"\n", ""},
        ScriptCase{"ByteOrderMarkAndCrLf",
                   "\xEF\xBB\xBF"
                   "create automationtest.Gadget\r\nput Title \"a\"\r\nget Title\r\n",
                   false, 0, "Title = \"a\"\n", ""},
        ScriptCase{"NoFinalNewline", "create automationtest.Gadget\nget Serial", false, 0,
                   "Serial = 42\n", ""},
        ScriptCase{"FailureStops", "create automationtest.Gadget\ncall Add abc 1\nget Serial\n",
                   false, 1, "", "quirexscript: line 2: Add: 0x80020005 Type mismatch.\n"},
        ScriptCase{"KeepGoing", "create automationtest.Gadget\ncall Add abc 1\nget Serial\n", true,
                   1, "Serial = 42\n", "quirexscript: line 2: Add: 0x80020005 Type mismatch.\n"},
        ScriptCase{"UnknownProgId", "create no.Such\n", false, 1, "",
                   "quirexscript: line 1: no.Such: 0x800401F3 Invalid class string\n"},
        ScriptCase{"NoObject", "get Count\n", false, 1, "",
                   "quirexscript: line 1: Count: 0x80004003 Invalid pointer\n"},
        ScriptCase{"ReleasedObject", "create automationtest.Gadget\nrelease\nget Count\n", false, 1,
                   "", "quirexscript: line 3: Count: 0x80004003 Invalid pointer\n"},
        ScriptCase{"UnknownName", "create automationtest.Gadget\nget Nope\n", false, 1, "",
                   "quirexscript: line 2: Nope: 0x80020006 Unknown name.\n"},
        ScriptCase{"WrongCount", "create automationtest.Gadget\ncall Add 1\n", false, 1, "",
                   "quirexscript: line 2: Add: 0x8002000E Invalid number of parameters.\n"},
        ScriptCase{"ReadOnly", "create automationtest.Gadget\nput Serial 1\n", false, 1, "",
                   "quirexscript: line 2: Serial: 0x80020003 Member not found.\n"},
        ScriptCase{"MemberThrows", "create automationtest.Gadget\ncall Fail boom\n", false, 1, "",
                   "quirexscript: line 2: Fail: 0x80070057 The parameter is incorrect. (boom)\n"},
        ScriptCase{"ParseErrorRunsNothing", "create automationtest.Gadget\nget Serial\nput X\n",
                   false, 2, "", "~line 3: cannot parse"},
        ScriptCase{"ParseErrorWinsOverKeepGoing", "bogus\n", true, 2, "", "~line 1: cannot parse"},
        ScriptCase{"WidgetClass",
                   "create automationtest.Panel\nput windowTitle w\nput Caption c\ncall Describe\n",
                   false, 0, "Describe -> \"c/w\"\n", ""}),
    [](const testing::TestParamInfo<ScriptCase> &info) { return std::string(info.param.name); });

TEST(QuirexScriptFile, ReadsAFileArgument)
{
    ASSERT_TRUE(registerComponent(componentPath()));
    const QString script = quirex::test::writeFile(QStringLiteral("script.txt"),
                                                   "create automationtest.Gadget\ncall Add -2 1\n");
    const ToolRun run = runTool(QStringLiteral("quirexscript"), {script});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("Add -> -1\n"));
}

TEST(QuirexScriptFile, BadArgumentsAndFiles)
{
    EXPECT_EQ(runTool(QStringLiteral("quirexscript"),
                      {quirex::test::scratchFolder() + QStringLiteral("/missing.txt")})
                  .exitCode,
              2);
    EXPECT_EQ(runTool(QStringLiteral("quirexscript"), {QStringLiteral("-x")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("quirexscript"), {QStringLiteral("a"), QStringLiteral("b")})
                  .exitCode,
              2);
    EXPECT_EQ(runTool(QStringLiteral("quirexscript"), {}, QByteArray("get \xff\n")).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("quirexscript"), {}, QByteArray()).exitCode, 0);
}
