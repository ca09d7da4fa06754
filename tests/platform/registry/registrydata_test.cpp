#include "registrydata.h"

#include <gtest/gtest.h>

using quirex::platform::RegistryData;
using quirex::platform::RegistryValue;

namespace
{

RegistryData sample()
{
    RegistryData data;
    data.setValue(
        QStringLiteral("Software\\Classes\\quirex.QUIREX\\CLSID"), QString(),
        RegistryValue::fromString(QStringLiteral("{00000000-0000-0000-0000-000000000001}")));
    data.setValue(QStringLiteral("Software\\Ardenwyke\\Vellumine"), QStringLiteral("tmpIniPath"),
                  RegistryValue::fromString(QStringLiteral("/tmp/a \"b\"\\c\nd\te\x01")));
    data.setValue(QStringLiteral("Software\\Ardenwyke\\Vellumine"), QStringLiteral("Count"),
                  RegistryValue::fromInteger(-7));
    data.setValue(QStringLiteral("Software\\Ardenwyke\\Vellumine"), QStringLiteral("Zähler"),
                  RegistryValue::fromString(QStringLiteral("Ünïcödé")));
    data.createKey(QStringLiteral("Software\\Empty"));
    return data;
}

} // namespace

TEST(RegistryData, SerializedFormReadsBackTheSameTree)
{
    const RegistryData data = sample();
    const auto parsed = RegistryData::parse(data.serialize());
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(*parsed, data);
    EXPECT_TRUE(parsed->keyExists(QStringLiteral("Software\\Empty")));
    EXPECT_EQ(
        parsed->value(QStringLiteral("Software\\Ardenwyke\\Vellumine"), QStringLiteral("Count"))
            ->toInteger(),
        -7);
    EXPECT_EQ(
        parsed
            ->value(QStringLiteral("Software\\Ardenwyke\\Vellumine"), QStringLiteral("tmpIniPath"))
            ->toString(),
        QStringLiteral("/tmp/a \"b\"\\c\nd\te\x01"));
}

TEST(RegistryData, KeysAndValueNamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    RegistryData data = sample();
    EXPECT_TRUE(data.keyExists(QStringLiteral("SOFTWARE\\classes\\QUIREX.quirex")));
    EXPECT_TRUE(data.keyExists(QStringLiteral("\\Software\\\\Ardenwyke\\")));
    EXPECT_EQ(data.value(QStringLiteral("software\\ardenwyke\\vellumine"), QStringLiteral("COUNT"))
                  ->toInteger(),
              -7);
    data.setValue(QStringLiteral("SOFTWARE\\ARDENWYKE\\VELLUMINE"), QStringLiteral("count"),
                  RegistryValue::fromInteger(3));
    EXPECT_EQ(data.valueNames(QStringLiteral("Software\\Ardenwyke\\Vellumine")),
              (QStringList{QStringLiteral("Count"), QStringLiteral("tmpIniPath"),
                           QStringLiteral("Zähler")}));
    EXPECT_EQ(data.subKeys(QStringLiteral("software")),
              (QStringList{QStringLiteral("Ardenwyke"), QStringLiteral("Classes"),
                           QStringLiteral("Empty")}));
}

TEST(RegistryData, RemovingAKeyRemovesItsSubkeysOnly)
{
    RegistryData data = sample();
    data.createKey(QStringLiteral("Software\\Classes2\\X"));
    EXPECT_TRUE(data.removeKey(QStringLiteral("software\\CLASSES")));
    EXPECT_FALSE(data.keyExists(QStringLiteral("Software\\Classes\\quirex.QUIREX\\CLSID")));
    EXPECT_FALSE(data.keyExists(QStringLiteral("Software\\Classes")));
    EXPECT_TRUE(data.keyExists(QStringLiteral("Software\\Classes2\\X")));
    EXPECT_TRUE(data.keyExists(QStringLiteral("Software\\Ardenwyke\\Vellumine")));
    EXPECT_FALSE(data.removeKey(QStringLiteral("Software\\Classes")));
    EXPECT_FALSE(data.removeValue(QStringLiteral("Software\\Ardenwyke\\Vellumine"),
                                  QStringLiteral("missing")));
}

TEST(RegistryData, RefusesUnusableKeys)
{
    RegistryData data;
    EXPECT_FALSE(data.setValue(QString(), QStringLiteral("x"), RegistryValue()));
    EXPECT_FALSE(data.setValue(QStringLiteral("\\\\"), QStringLiteral("x"), RegistryValue()));
    EXPECT_FALSE(data.createKey(QStringLiteral("A\\B\nC")));
    EXPECT_TRUE(data.isEmpty());
}

struct ParseCase {
    const char *name;
    const char *text;
    bool valid;
};

// Names the case in test output instead of its bytes.
void PrintTo(const ParseCase &c, std::ostream *os)
{
    *os << c.name;
}

class RegistryParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(RegistryParse, AcceptsOnlyTheFileForm)
{
    const auto parsed = RegistryData::parse(QByteArray(GetParam().text));
    EXPECT_EQ(parsed.has_value(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryParse,
    testing::Values(ParseCase{"Empty", "", true}, ParseCase{"Blank", "\n  \n", true},
                    ParseCase{"SignatureOnly", "QuirexRegistry 1\n", true},
                    ParseCase{"ByteOrderMark", "\xEF\xBB\xBFQuirexRegistry 1\n[A]\n", true},
                    ParseCase{"CrLf", "QuirexRegistry 1\r\n[A]\r\n@=\"x\"\r\n", true},
                    ParseCase{"Dword", "QuirexRegistry 1\n[A]\n\"n\"=dword:ffffffff\n", true},
                    ParseCase{"NoSignature", "[A]\n@=\"x\"\n", false},
                    ParseCase{"OtherVersion", "QuirexRegistry 2\n", false},
                    ParseCase{"ValueBeforeKey", "QuirexRegistry 1\n@=\"x\"\n", false},
                    ParseCase{"TornString", "QuirexRegistry 1\n[A]\n@=\"x", false},
                    ParseCase{"BadEscape", "QuirexRegistry 1\n[A]\n@=\"\\q\"\n", false},
                    ParseCase{"LongDword", "QuirexRegistry 1\n[A]\n@=dword:123456789\n", false},
                    ParseCase{"BadHeader", "QuirexRegistry 1\n[A\n", false},
                    ParseCase{"EmptyHeader", "QuirexRegistry 1\n[]\n", false},
                    ParseCase{"Garbage", "QuirexRegistry 1\nhello\n", false},
                    ParseCase{"BadUtf8", "QuirexRegistry 1\n[A]\n@=\"\xff\xfe\"\n", false},
                    ParseCase{"Binary", "\x01\x02\x03", false}),
    [](const testing::TestParamInfo<ParseCase> &info) { return std::string(info.param.name); });
