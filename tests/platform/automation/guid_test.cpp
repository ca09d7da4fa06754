#include "guid.h"
#include "interfaces.h"

#include <gtest/gtest.h>

using quirex::automation::Guid;

struct GuidCase {
    const char *text;
    const char *canonical; // null: not a GUID
};

// Names the case in test output instead of its bytes.
void PrintTo(const GuidCase &c, std::ostream *os)
{
    *os << c.text;
}

class GuidText : public testing::TestWithParam<GuidCase>
{
};

TEST_P(GuidText, ParsesOnlyTheBracedForm)
{
    const auto guid = Guid::fromString(QString::fromLatin1(GetParam().text));
    if (!GetParam().canonical) {
        EXPECT_FALSE(guid.has_value());
        return;
    }
    ASSERT_TRUE(guid.has_value());
    EXPECT_EQ(guid->toString(), QString::fromLatin1(GetParam().canonical));
    EXPECT_EQ(Guid::fromString(guid->toString()), guid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuidText,
    testing::Values(GuidCase{"{00020400-0000-0000-c000-000000000046}",
                             "{00020400-0000-0000-C000-000000000046}"},
                    GuidCase{"{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F01}",
                             "{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F01}"},
                    GuidCase{"3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F01", nullptr},
                    GuidCase{"{3F2B6C1E-9A4D-4E7B-8C21-5D0A7E6B9F0}", nullptr},
                    GuidCase{"{3F2B6C1E-9A4D-4E7B-8C215D0A7E6B9F01}", nullptr},
                    GuidCase{"{3F2B6C1G-9A4D-4E7B-8C21-5D0A7E6B9F01}", nullptr},
                    GuidCase{"{3F2B6C1E 9A4D-4E7B-8C21-5D0A7E6B9F01}", nullptr},
                    GuidCase{"", nullptr}));

TEST(Guid, WellKnownInterfaceIds)
{
    EXPECT_EQ(quirex::automation::IID_IDispatch.toString(),
              QStringLiteral("{00020400-0000-0000-C000-000000000046}"));
    EXPECT_EQ(quirex::automation::IID_IClassFactory.toBareString(),
              QStringLiteral("00000001-0000-0000-C000-000000000046"));
    EXPECT_TRUE(Guid().isNull());
}
