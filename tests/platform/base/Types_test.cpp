#include "platform/base/Types.h"

#include <gtest/gtest.h>

TEST(Types, ColorAndWordMacros)
{
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
    EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
    LPARAM lp = MAKELPARAM(-5, 7);
    EXPECT_EQ(GET_X_LPARAM(lp), -5);
    EXPECT_EQ(GET_Y_LPARAM(lp), 7);
    EXPECT_EQ(LOWORD(0x12345678u), 0x5678);
    EXPECT_EQ(HIWORD(0x12345678u), 0x1234);
}

TEST(Types, LastErrorIsPerThread)
{
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}
