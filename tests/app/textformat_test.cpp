#include "textformat.h"

#include <gtest/gtest.h>

using namespace quirex::app;

TEST(FillFormat, FillsDirectivesInOrder)
{
    EXPECT_EQ(fillFormat(QStringLiteral("Error occured while converting file \"%s\".\n"
                                        "Error code = %d."),
                         {QStringLiteral("/tmp/a.html"), qint64(-10)}),
              QStringLiteral("Error occured while converting file \"/tmp/a.html\".\n"
                             "Error code = -10."));
    EXPECT_EQ(fillFormat(QStringLiteral("Page %d"), {qint64(3)}), QStringLiteral("Page 3"));
    EXPECT_EQ(fillFormat(QStringLiteral("100%% of %s"), {QStringLiteral("x")}),
              QStringLiteral("100% of x"));
}

TEST(FillFormat, ArgumentsAreNeverFormats)
{
    // A path holding directives stays as it is and does not consume arguments.
    EXPECT_EQ(fillFormat(QStringLiteral("\"%s\" = %d"), {QStringLiteral("/a/%s%d%n"), qint64(7)}),
              QStringLiteral("\"/a/%s%d%n\" = 7"));
}

TEST(FillFormat, MissingArgumentsAndUnknownDirectivesStay)
{
    EXPECT_EQ(fillFormat(QStringLiteral("%s and %s"), {QStringLiteral("one")}),
              QStringLiteral("one and %s"));
    EXPECT_EQ(fillFormat(QStringLiteral("%x %n %"), {QStringLiteral("unused")}),
              QStringLiteral("%x %n %"));
    EXPECT_EQ(fillFormat(QString(), {}), QString());
}
