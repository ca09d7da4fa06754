#include "messagereport.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

class MessageReportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        setHeadlessMessageSink([this](const QString &line) { lines << line; });
    }
    void TearDown() override { setHeadlessMessageSink({}); }
    QStringList lines;
};

TEST_F(MessageReportTest, ReportsOneLineAndTheDefaultAnswer)
{
    EXPECT_EQ(reportWithoutDisplay(QStringLiteral("Open it?"), QStringLiteral("Quirex Desk"),
                                   MessageIcon::Information, MessageButtons::YesNo),
              MessageAnswer::No);
    EXPECT_EQ(
        reportWithoutDisplay(QStringLiteral("text"), QStringLiteral("Error"), MessageIcon::Error),
        MessageAnswer::Ok);
    EXPECT_EQ(lines, (QStringList{QStringLiteral("Quirex Desk: Open it?"),
                                  QStringLiteral("Error: text")}));
}

TEST(HeadlessMessageLine, TurnsControlCharactersIntoBlanks)
{
    EXPECT_EQ(headlessMessageLine(QStringLiteral("T"), QStringLiteral("a\r\nb\tc\x1b[2J")),
              QStringLiteral("T: a  b c [2J"));
}

} // namespace
