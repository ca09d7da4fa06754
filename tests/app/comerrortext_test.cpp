#include "comerrortext.h"

#include <gtest/gtest.h>

using namespace quirex::app;

namespace
{

struct Case {
    uint32_t code;
    const char *systemText;
    const char *expected;
};

class ComErrorText : public testing::TestWithParam<Case>
{
};

TEST_P(ComErrorText, FollowsTheFallbackRules)
{
    const Case c = GetParam();
    EXPECT_EQ(comErrorText(int32_t(c.code), QString::fromUtf8(c.systemText)).toStdString(),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ComErrorText,
                         testing::Values(Case{0x80040201u, "", "IDispatch error #1"},
                                         Case{0x80040200u, "", "Unknown error 0x80040200"},
                                         Case{0x8004FFFFu, "", "IDispatch error #65023"},
                                         Case{0x80050201u, "", "Unknown error 0x80050201"},
                                         Case{0x80004005u, "", "Unknown error 0x80004005"},
                                         Case{0x5u, "", "Unknown error 0x5"},
                                         Case{0x80004005u, "Unspecified error\r\n",
                                              "Unspecified error"},
                                         Case{0x80004005u, "Two\nlines\n", "Two\nlines"},
                                         Case{0x80004005u, "no newline\r", "no newline\r"},
                                         Case{0x80040201u, "Has a text\n", "Has a text"}));

TEST(ComErrorTextLookup, AsksTheLookupForTheCode)
{
    int32_t asked = 0;
    const SystemMessageLookup lookup = [&asked](int32_t code) {
        asked = code;
        return code == int32_t(0x80020006u) ? QStringLiteral("Unknown name.\r\n") : QString();
    };
    EXPECT_EQ(comErrorText(int32_t(0x80020006u), lookup), QStringLiteral("Unknown name."));
    EXPECT_EQ(asked, int32_t(0x80020006u));
    EXPECT_EQ(comErrorText(int32_t(0x80040201u), lookup), QStringLiteral("IDispatch error #1"));
    EXPECT_EQ(comErrorText(int32_t(0x80040201u)), QStringLiteral("IDispatch error #1"));
    // Without a lookup of its own, the automation layer's system texts.
    EXPECT_EQ(comErrorText(int32_t(0x80040154u)), QStringLiteral("Class not registered"));
    EXPECT_EQ(comErrorText(int32_t(0x80040200u)), QStringLiteral("Unknown error 0x80040200"));
}

} // namespace
