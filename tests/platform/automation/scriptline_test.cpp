#include "scriptline.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quirex::automation;
using Kind = ScriptStatement::Kind;

namespace quirex::automation
{
// Shows a value in its script form in test output.
void PrintTo(const Variant &value, std::ostream *os)
{
    *os << formatScriptValue(value).toStdString();
}
} // namespace quirex::automation

namespace
{
Variant s(const char *text)
{
    return Variant(QString::fromUtf8(text));
}
} // namespace

struct LineCase {
    const char *name;
    const char *line;
    Kind kind;
    const char *member;
    VariantList arguments;
};

// Names the case in test output instead of its bytes.
void PrintTo(const LineCase &c, std::ostream *os)
{
    *os << c.name;
}

class ScriptLineParses : public testing::TestWithParam<LineCase>
{
};

TEST_P(ScriptLineParses, IntoItsStatement)
{
    const LineCase &c = GetParam();
    const ScriptLineResult result = parseScriptLine(QString::fromUtf8(c.line));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.statement.kind, c.kind);
    EXPECT_EQ(result.statement.name, QString::fromUtf8(c.member));
    ASSERT_EQ(result.statement.arguments.size(), c.arguments.size());
    for (int i = 0; i < c.arguments.size(); ++i)
        EXPECT_TRUE(result.statement.arguments.at(i) == c.arguments.at(i)) << "argument " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptLineParses,
    testing::Values(
        LineCase{"Blank", "   \t", Kind::Nothing, "", {}},
        LineCase{"Comment", "  # put X 1", Kind::Nothing, "", {}},
        LineCase{"Create", "create quirex.QUIREX", Kind::Create, "quirex.QUIREX", {}},
        LineCase{"KeywordCase", "CREATE a.B", Kind::Create, "a.B", {}},
        LineCase{"Release", "release", Kind::Release, "", {}},
        LineCase{"Get", "get NumberOfPages", Kind::Get, "NumberOfPages", {}},
        LineCase{"PutInt", "put Count -12", Kind::Put, "Count", {Variant(-12)}},
        LineCase{"PutPlusInt", "put Count +7", Kind::Put, "Count", {Variant(7)}},
        LineCase{"PutDouble", "put Ratio 1.5", Kind::Put, "Ratio", {Variant(1.5)}},
        LineCase{"PutExponent", "put Ratio 2e3", Kind::Put, "Ratio", {Variant(2000.0)}},
        LineCase{"PutLeadingPoint", "put Ratio -.5", Kind::Put, "Ratio", {Variant(-0.5)}},
        LineCase{"PutBool", "put Active true", Kind::Put, "Active", {Variant(true)}},
        LineCase{"PutBareWord", "put Title /tmp/out.pdf", Kind::Put, "Title", {s("/tmp/out.pdf")}},
        LineCase{"BareTrueCase", "put Title True", Kind::Put, "Title", {s("True")}},
        LineCase{"Quoted",
                 R"(put Title "a \"b\" \\ c\n\td")",
                 Kind::Put,
                 "Title",
                 {s("a \"b\" \\ c\n\td")}},
        LineCase{"QuotedNumber", R"(put Title "12")", Kind::Put, "Title", {s("12")}},
        LineCase{"EmptyString", R"(put Title "")", Kind::Put, "Title", {s("")}},
        LineCase{"CallNoArgs", "call BeginDoc", Kind::Call, "BeginDoc", {}},
        LineCase{"CallArgs",
                 "call Add 1 2.0 false word \"two words\"",
                 Kind::Call,
                 "Add",
                 {Variant(1), Variant(2.0), Variant(false), s("word"), s("two words")}},
        LineCase{"ByDispatchId", "get 7", Kind::Get, "7", {}},
        LineCase{"Unicode", "put Title Grüße", Kind::Put, "Title", {s("Grüße")}}),
    [](const testing::TestParamInfo<LineCase> &info) { return std::string(info.param.name); });

struct BadCase {
    const char *name;
    const char *line;
};

// Names the case in test output instead of its bytes.
void PrintTo(const BadCase &c, std::ostream *os)
{
    *os << c.name;
}

class ScriptLineRejects : public testing::TestWithParam<BadCase>
{
};

TEST_P(ScriptLineRejects, WithAReason)
{
    const ScriptLineResult result = parseScriptLine(QString::fromUtf8(GetParam().line));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptLineRejects,
    testing::Values(BadCase{"UnknownStatement", "delete X"}, BadCase{"CreateNoProgId", "create"},
                    BadCase{"CreateTwoWords", "create a b"}, BadCase{"PutNoValue", "put X"},
                    BadCase{"PutTwoValues", "put X 1 2"}, BadCase{"GetExtra", "get X 1"},
                    BadCase{"CallNoName", "call"}, BadCase{"ReleaseExtra", "release now"},
                    BadCase{"Unterminated", "put X \"abc"}, BadCase{"BadEscape", R"(put X "a\q")"},
                    BadCase{"TextAfterQuote", R"(put X "a"b)"},
                    BadCase{"QuoteInWord", R"(put X a"b")"}, BadCase{"QuotedName", R"(get "X")"},
                    BadCase{"QuotedKeyword", R"("get" X)"},
                    BadCase{"IntOverflow", "put X 2147483648"},
                    BadCase{"DoubleOverflow", "put X 1e999"},
                    BadCase{"TrailingBackslash", "put X \"abc\\"}),
    [](const testing::TestParamInfo<BadCase> &info) { return std::string(info.param.name); });

class ScriptValueRoundTrip : public testing::TestWithParam<Variant>
{
};

TEST_P(ScriptValueRoundTrip, PrintedValuesReadBackTheSame)
{
    const QString printed = formatScriptValue(GetParam());
    const ScriptLineResult result = parseScriptLine(QStringLiteral("put X ") + printed);
    ASSERT_TRUE(result.ok) << printed.toStdString();
    ASSERT_EQ(result.statement.arguments.size(), 1);
    EXPECT_TRUE(result.statement.arguments.first() == GetParam()) << printed.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Values, ScriptValueRoundTrip,
                         testing::Values(Variant(0), Variant(-2147483647 - 1), Variant(true),
                                         Variant(false), Variant(2.0), Variant(0.1), Variant(-0.0),
                                         Variant(1e300), Variant(5e-324), Variant(1.0 / 3),
                                         Variant(QStringLiteral("")), Variant(QStringLiteral("12")),
                                         Variant(QStringLiteral("true")),
                                         Variant(QStringLiteral("a \"q\" \\ \n\t\r z"))));

TEST(ScriptValue, PrintedForms)
{
    EXPECT_EQ(formatScriptValue(Variant(2.0)), QStringLiteral("2.0"));
    EXPECT_EQ(formatScriptValue(Variant(0.1)), QStringLiteral("0.1"));
    EXPECT_EQ(formatScriptValue(Variant(1e20)), QStringLiteral("1e+20"));
    EXPECT_EQ(formatScriptValue(Variant(-3)), QStringLiteral("-3"));
    EXPECT_EQ(formatScriptValue(Variant(QStringLiteral("a\"b"))), QStringLiteral("\"a\\\"b\""));
    EXPECT_EQ(formatScriptValue(Variant(std::numeric_limits<double>::infinity())),
              QStringLiteral("inf"));
}
