#include "pagedecorations.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace quirex::app;

namespace
{

struct PlaceholderCase {
    const char *text;
    PlaceholderSyntax syntax;
    const char *expanded;
};

// Names the row by its text in test listings.
void PrintTo(const PlaceholderCase &c, std::ostream *os)
{
    *os << '"' << c.text << '"';
}

class ExpandPlaceholders : public testing::TestWithParam<PlaceholderCase>
{
};

PageFacts facts()
{
    PageFacts facts;
    facts.page = 7;
    facts.toPage = 12;
    facts.fromPage = 1;
    facts.date = QStringLiteral("09.12.2026");
    facts.time = QStringLiteral("05:40");
    facts.title = QStringLiteral("[page] 100%c"); // values are never read as placeholders
    facts.webpage = QStringLiteral("/home/me/a [b].html");
    facts.sitePage = 2;
    facts.sitePages = 3;
    return facts;
}

constexpr PlaceholderSyntax B = PlaceholderSyntax::Brackets;
constexpr PlaceholderSyntax P = PlaceholderSyntax::Percent;

} // namespace

TEST_P(ExpandPlaceholders, FillsInOnePass)
{
    const PlaceholderCase &c = GetParam();
    EXPECT_EQ(expandPlaceholders(QString::fromUtf8(c.text), facts(), c.syntax),
              QString::fromUtf8(c.expanded))
        << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExpandPlaceholders,
    testing::Values(PlaceholderCase{"Page [page] of [topage]", B, "Page 7 of 12"},
                    PlaceholderCase{"[frompage]-[topage] [sitepage]/[sitepages]", B, "1-12 2/3"},
                    PlaceholderCase{"[date] [time]", B, "09.12.2026 05:40"},
                    PlaceholderCase{"[title]|[webpage]", B, "[page] 100%c|/home/me/a [b].html"},
                    PlaceholderCase{"<[section]><[subsection]>", B, "<><>"},
                    PlaceholderCase{"[Page] [unknown] [] [page", B, "[Page] [unknown] [] [page"},
                    PlaceholderCase{"[[page]] ]x[", B, "[7] ]x["},
                    PlaceholderCase{"%c / %t [page]", B, "%c / %t 7"},
                    PlaceholderCase{"%c / %t", P, "7 / 12"},
                    PlaceholderCase{"%%c %d % %", P, "%7 %d % %"},
                    PlaceholderCase{"[page] [title]", P, "[page] [title]"},
                    PlaceholderCase{"Страница %c", P, "Страница 7"}, PlaceholderCase{"", B, ""}));

TEST(PageDecorations, EmptinessAndEquality)
{
    PageDecorations decorations;
    EXPECT_TRUE(decorations.isEmpty());
    decorations.footer.line = true; // a rule alone is drawn
    EXPECT_FALSE(decorations.isEmpty());
    PageDecorations other = decorations;
    EXPECT_EQ(other, decorations);
    other.footer.spacingMm = 2.5;
    EXPECT_NE(other, decorations);
    other = decorations;
    other.syntax = PlaceholderSyntax::Percent;
    EXPECT_NE(other, decorations);
    other = decorations;
    other.header.right = QStringLiteral("[page]");
    EXPECT_NE(other, decorations);
    EXPECT_FALSE(other.header.isEmpty());
}
