#include "providers/common/PageTemplate.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(FillFormat, SubstitutesOnlyPercentSAndPercentPercent)
{
    struct Case {
        const char* format;
        std::vector<CString> values;
        const char* expected;
    } cases[] = {
        {"a=\"%s\";b=\"%s\";", {"1", "2"}, "a=\"1\";b=\"2\";"},
        {"w=\"100%%\";v=\"%s\";", {"x"}, "w=\"100%\";v=\"x\";"},
        // Missing values are empty, extras ignored.
        {"a=\"%s\";b=\"%s\";c=\"%s\";", {"1"}, "a=\"1\";b=\"\";c=\"\";"},
        {"a=\"%s\";", {"1", "2", "3"}, "a=\"1\";"},
        // Malformed or foreign conversions stay as written and read nothing.
        {"%d %n %5s %p %", {"1"}, "%d %n %5s %p %"},
        {"%s%", {"v"}, "v%"},
        // A value is never read as a format.
        {"[%s][%s]", {"%s%n%%", "b"}, "[%s%n%%][b]"},
        // Double-byte text around the conversions.
        {"名=\"%s\";", {"张三"}, "名=\"张三\";"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillFormat(c.format, c.values), CString(c.expected)) << c.format;
}

TEST(DataBlock, FindsAndFillsEveryOccurrence)
{
    struct Case {
        const char* name;
        CString text;
        bool filled;
        CString expected;
    } cases[] = {
        {"plain", "<p><!--通讯录数据变量赋值开始-->n=\"%s\";<!--通讯录数据变量赋值结束--></p>", true,
         "<p><!--通讯录数据变量赋值开始-->n=\"A\";<!--通讯录数据变量赋值结束--></p>"},
        {"percent", "<!--通讯录数据变量赋值开始-->p=\"50%%\";n=\"%s\";<!--通讯录数据变量赋值结束-->", true,
         "<!--通讯录数据变量赋值开始-->p=\"50%\";n=\"A\";<!--通讯录数据变量赋值结束-->"},
        // The block's text occurs twice: both are replaced.
        {"twice", "<!--通讯录数据变量赋值开始-->n=\"%s\";<!--通讯录数据变量赋值结束--><script>n=\"%s\";</script>", true,
         "<!--通讯录数据变量赋值开始-->n=\"A\";<!--通讯录数据变量赋值结束--><script>n=\"A\";</script>"},
        {"no block", "<p>n=\"%s\";</p>", false, "<p>n=\"%s\";</p>"},
        {"no end", "<!--通讯录数据变量赋值开始-->n=\"%s\";", false, "<!--通讯录数据变量赋值开始-->n=\"%s\";"},
        {"empty block", "<!--通讯录数据变量赋值开始--><!--通讯录数据变量赋值结束-->", false,
         "<!--通讯录数据变量赋值开始--><!--通讯录数据变量赋值结束-->"},
        {"other label", "<!--留言数据变量赋值开始-->n=\"%s\";<!--留言数据变量赋值结束-->", false,
         "<!--留言数据变量赋值开始-->n=\"%s\";<!--留言数据变量赋值结束-->"},
    };
    for (const Case& c : cases) {
        CString text = c.text;
        EXPECT_EQ(FillDataBlock(text, "通讯录", {"A"}), c.filled) << c.name;
        EXPECT_EQ(text, c.expected) << c.name;
    }
}

TEST(DataBlock, MarkersInAnyLetterCaseStayAsWritten)
{
    CString text = "<!--Contact数据变量赋值开始-->n=\"%s\";<!--CONTACT数据变量赋值结束-->";
    EXPECT_TRUE(FillDataBlock(text, "contact", {"v"}));
    EXPECT_EQ(text, CString("<!--Contact数据变量赋值开始-->n=\"v\";<!--CONTACT数据变量赋值结束-->"));
    // Letters that are second bytes of double-byte characters are not
    // folded: "\x81\x41" and "\x81\x61" are two different characters.
    CString gbk = "<!--\x81\x41数据变量赋值开始-->%s<!--\x81\x41数据变量赋值结束-->";
    EXPECT_FALSE(FillDataBlock(gbk, "\x81\x61", {"v"}));
    EXPECT_TRUE(FillDataBlock(gbk, "\x81\x41", {"v"}));
}

TEST(DataBlock, SearchEndsAtTheFirstNul)
{
    std::string bytes = "head";
    bytes += '\0';
    bytes += "<!--X数据变量赋值开始-->%s<!--X数据变量赋值结束-->";
    CString text{std::string(bytes)};
    CString block;
    EXPECT_FALSE(FindDataBlock(text, "X", block));
}

TEST(ReadTemplateFile, BytesUnchangedOrEmptyWhenMissing)
{
    test::TempDir dir;
    std::string bytes = "\xD5\xC5<!-- -->\r\n";
    bytes.push_back('\0');
    auto file = dir.Write("t.html", bytes);
    CString text = "old";
    ASSERT_TRUE(ReadTemplateFile(CString(file.string()), text));
    EXPECT_EQ(text.Str(), bytes);
    EXPECT_FALSE(ReadTemplateFile(CString((dir.Path() / "missing.html").string()), text));
    EXPECT_TRUE(text.IsEmpty());
}

} // namespace
} // namespace tavrin
