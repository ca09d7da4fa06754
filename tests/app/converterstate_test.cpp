#include "converter.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

TEST(ConverterMessages, WithoutAMessageFunctionGoToTheHeadlessSink)
{
    QStringList lines;
    setHeadlessMessageSink([&](const QString &line) { lines << line; });
    CConverter converter;
    converter.setMessagesEnabled(false);
    EXPECT_EQ(converter.showMessage(QStringLiteral("shown although messages are off"),
                                    QStringLiteral("T"), MessageIcon::Error, MessageButtons::YesNo),
              MessageAnswer::No);
    setHeadlessMessageSink({});
    EXPECT_EQ(lines, QStringList{QStringLiteral("T: shown although messages are off")});
}

TEST(ConverterMessages, ModesReachTheFunctionTheConverterWasGiven)
{
    QStringList shown;
    CConverter converter(
        {}, [&](const QString &text, const QString &title, MessageIcon, MessageButtons) {
            shown << title + QLatin1Char('|') + text;
            return MessageAnswer::Yes;
        });
    converter.setMessagesEnabled(false);
    EXPECT_EQ(converter.showMessage(QStringLiteral("Open it?"), QStringLiteral("Quirex Desk"),
                                    MessageIcon::Information, MessageButtons::YesNo),
              MessageAnswer::Yes);
    // Its own error boxes stay off: a missing input fails without one.
    EXPECT_EQ(
        converter.Convert(QStringLiteral("/no/such/input.html"), QStringLiteral("/tmp/x.pdf")),
        ConvertResult::InputMissing);
    EXPECT_EQ(shown, QStringList{QStringLiteral("Quirex Desk|Open it?")});
}

TEST(ConverterRun, KeepsTheConverterBusyBetweenItsCalls)
{
    CConverter converter({}, [](const QString &, const QString &, MessageIcon, MessageButtons) {
        return MessageAnswer::Ok;
    });
    EXPECT_FALSE(converter.isBusy());
    ASSERT_TRUE(converter.beginRun());
    EXPECT_TRUE(converter.isBusy());
    // A second run waits for this one's end.
    EXPECT_FALSE(converter.beginRun());
    // The run's own calls go through (a missing input fails on its own
    // merits, not as a refused call) and leave the run under way.
    EXPECT_EQ(
        converter.Convert(QStringLiteral("/no/such/input.html"), QStringLiteral("/tmp/x.pdf")),
        ConvertResult::InputMissing);
    EXPECT_TRUE(converter.isBusy());
    converter.endRun();
    EXPECT_FALSE(converter.isBusy());
    EXPECT_TRUE(converter.beginRun());
    converter.endRun();
}

} // namespace
