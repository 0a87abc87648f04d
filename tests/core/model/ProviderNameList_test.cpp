#include "core/model/ProviderNameList.h"

#include <gtest/gtest.h>

TEST(ProviderNameList, FourNamesInOrder)
{
    ASSERT_EQ(GetProviderCount(), 4);
    EXPECT_EQ(GetProviderName(0), CString("5460(电信用户)"));
    EXPECT_EQ(GetProviderName(1), CString("5460(网通用户)"));
    EXPECT_EQ(GetProviderName(2), CString("ChinaRen(ChinaRen用户)"));
    EXPECT_EQ(GetProviderName(3), CString("ChinaRen(Sohu用户)"));
    EXPECT_EQ(GetProviderName(4), CString());
    EXPECT_EQ(GetProviderName(-1), CString());
}
