#include "systemmessage.h"

#include <gtest/gtest.h>

using namespace quirex::automation;

TEST(SystemMessage, TextsOfTheLayersCodes)
{
    EXPECT_EQ(systemMessageText(REGDB_E_CLASSNOTREG), QStringLiteral("Class not registered"));
    EXPECT_EQ(systemMessageText(CO_E_CLASSSTRING), QStringLiteral("Invalid class string"));
    EXPECT_EQ(systemMessageText(DISP_E_UNKNOWNNAME), QStringLiteral("Unknown name."));
    EXPECT_EQ(systemMessageText(DISP_E_TYPEMISMATCH), QStringLiteral("Type mismatch."));
    EXPECT_EQ(systemMessageText(DISP_E_BADPARAMCOUNT),
              QStringLiteral("Invalid number of parameters."));
    EXPECT_EQ(systemMessageText(RPC_E_WRONG_THREAD),
              QStringLiteral("The application called an interface that was marshalled for a "
                             "different thread."));
}

TEST(SystemMessage, UnknownCodesHaveNoText)
{
    // The application builds its "IDispatch error #n" fallback for these.
    EXPECT_TRUE(systemMessageText(SELFREG_E_CLASS).isEmpty());
    EXPECT_TRUE(systemMessageText(SELFREG_E_TYPELIB).isEmpty());
    EXPECT_TRUE(systemMessageText(makeHresult(0x8004FFFF)).isEmpty());
}

TEST(SystemMessage, HexForm)
{
    EXPECT_EQ(hresultHex(DISP_E_UNKNOWNNAME), QStringLiteral("0x80020006"));
    EXPECT_EQ(hresultHex(E_UNEXPECTED), QStringLiteral("0x8000FFFF"));
    EXPECT_EQ(hresultHex(S_FALSE), QStringLiteral("0x00000001"));
}
