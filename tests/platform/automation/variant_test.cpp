#include "variant.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quirex::automation;

struct ChangeCase {
    const char *name;
    Variant from;
    VarType to;
    HRESULT hr;
    Variant expected;
};

// Names the case in test output instead of its bytes.
void PrintTo(const ChangeCase &c, std::ostream *os)
{
    *os << c.name;
}

class VariantChange : public testing::TestWithParam<ChangeCase>
{
};

TEST_P(VariantChange, ConvertsAsAutomationDoes)
{
    const ChangeCase &c = GetParam();
    Variant out(QStringLiteral("untouched"));
    EXPECT_EQ(c.from.changeType(c.to, &out), c.hr);
    if (SUCCEEDED(c.hr)) {
        EXPECT_TRUE(out == c.expected) << c.name;
    } else {
        EXPECT_EQ(out.toString(), QStringLiteral("untouched"));
    }
}

const auto s = [](const char *text) { return Variant(QString::fromUtf8(text)); };

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantChange,
    testing::Values(
        ChangeCase{"TextToInt", s(" -12 "), VarType::I4, S_OK, Variant(-12)},
        ChangeCase{"FractionTextToInt", s("2.5"), VarType::I4, S_OK, Variant(2)},
        ChangeCase{"WordToInt", s("abc"), VarType::I4, DISP_E_TYPEMISMATCH, Variant()},
        ChangeCase{"EmptyTextToInt", s(""), VarType::I4, DISP_E_TYPEMISMATCH, Variant()},
        ChangeCase{"InfTextToDouble", s("inf"), VarType::R8, DISP_E_TYPEMISMATCH, Variant()},
        ChangeCase{"HugeTextToInt", s("3000000000"), VarType::I4, DISP_E_OVERFLOW, Variant()},
        ChangeCase{"HugeTextToDouble", s("1e999"), VarType::R8, DISP_E_OVERFLOW, Variant()},
        ChangeCase{"HalfToEven", Variant(3.5), VarType::I4, S_OK, Variant(4)},
        ChangeCase{"HalfToEvenDown", Variant(2.5), VarType::I4, S_OK, Variant(2)},
        ChangeCase{"HugeDoubleToInt", Variant(1e10), VarType::I4, DISP_E_OVERFLOW, Variant()},
        ChangeCase{"NanToInt", Variant(std::numeric_limits<double>::quiet_NaN()), VarType::I4,
                   DISP_E_OVERFLOW, Variant()},
        ChangeCase{"TrueToInt", Variant(true), VarType::I4, S_OK, Variant(-1)},
        ChangeCase{"TrueToDouble", Variant(true), VarType::R8, S_OK, Variant(-1.0)},
        ChangeCase{"IntToBool", Variant(7), VarType::Bool, S_OK, Variant(true)},
        ChangeCase{"TextTrueToBool", s("TRUE"), VarType::Bool, S_OK, Variant(true)},
        ChangeCase{"TextZeroToBool", s("0"), VarType::Bool, S_OK, Variant(false)},
        ChangeCase{"WordToBool", s("yes"), VarType::Bool, DISP_E_TYPEMISMATCH, Variant()},
        ChangeCase{"TextToDouble", s("2e3"), VarType::R8, S_OK, Variant(2000.0)},
        ChangeCase{"CommaTextToDouble", s("1,5"), VarType::R8, DISP_E_TYPEMISMATCH, Variant()},
        ChangeCase{"IntToText", Variant(-5), VarType::BStr, S_OK, s("-5")},
        ChangeCase{"BoolToText", Variant(false), VarType::BStr, S_OK, s("false")},
        ChangeCase{"DoubleToText", Variant(0.1), VarType::BStr, S_OK, s("0.1")},
        ChangeCase{"EmptyToInt", Variant(), VarType::I4, S_OK, Variant(0)},
        ChangeCase{"EmptyToText", Variant(), VarType::BStr, S_OK, s("")},
        ChangeCase{"IntToEmpty", Variant(1), VarType::Empty, DISP_E_TYPEMISMATCH, Variant()}),
    [](const testing::TestParamInfo<ChangeCase> &info) { return std::string(info.param.name); });
