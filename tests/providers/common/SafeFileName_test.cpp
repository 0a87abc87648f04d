#include "providers/common/NumericId.h"
#include "providers/common/SafeFileName.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(SafeFileName, WhitelistedNamesStay)
{
    for (const char* name : {"123.jpg", "s_456.GIF", "a-b_c.d.png", "x"})
        EXPECT_EQ(SafeFileName(name), CString(name));
    CString longest(std::string(kMaxSafeFileName, 'a'));
    EXPECT_EQ(SafeFileName(longest), longest);
}

TEST(SafeFileName, OtherNamesAreHashedWithTheirExtension)
{
    const char* unsafe[] = {"", ".", "..", ".hidden", "a/b.jpg", "..\\..\\x.jpg", "a b.gif", "照片.jpg",
                            "x.jpg\r\n", "a:b", "%2e%2e"};
    for (const char* name : unsafe) {
        CString safe = SafeFileName(name);
        SCOPED_TRACE(name);
        EXPECT_EQ(safe.GetAt(0), 'f');
        EXPECT_EQ(SafeFileName(safe), safe); // already safe
        EXPECT_EQ(safe, SafeFileName(name)); // stable
    }
    EXPECT_EQ(SafeFileName("照片.jpg").Right(4), CString(".jpg"));
    EXPECT_EQ(SafeFileName("a/b.jpeg").Right(5), CString(".jpeg"));
    EXPECT_EQ(SafeFileName("..").Find('.'), -1);
    EXPECT_EQ(SafeFileName("x.jpg\r\n").Find('.'), -1); // no clean extension to keep
    EXPECT_NE(SafeFileName("a b.gif"), SafeFileName("a_b.gif"));
    CString tooLong(std::string(kMaxSafeFileName + 1, 'a'));
    EXPECT_LE(SafeFileName(tooLong).GetLength(), 17);
}

TEST(NumericId, ComparesNumbersByValue)
{
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"9", "10", -1},
        {"10", "9", 1},
        {"0012", "12", 0},
        {"0", "000", 0},
        {"123456789012345678901234567890", "123456789012345678901234567891", -1},
        {"99999999999999999999", "100000000000000000000", -1},
        {"12", "abc", -1},   // numbers before other text
        {"", "1", 1},
        {"abc", "abd", -1},  // other text byte-wise
        {"-1", "1", 1},
        {" 1", "1", 1},
    };
    for (const Case& c : cases) {
        int r = CompareIds(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
    EXPECT_TRUE(IdsEqual("007", "7"));
    EXPECT_FALSE(IsNumericId(""));
    EXPECT_FALSE(IsNumericId("1a"));
    EXPECT_TRUE(IsNumericId("0"));
}

} // namespace
} // namespace tavrin
