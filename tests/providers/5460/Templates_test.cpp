// The page templates that come with the program: GBK with a GBK charset
// declaration, each data block with the placeholders its renderer fills, and
// scripts that stay valid whatever escaped values fill them.
#include "platform/base/CodePage.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tavrin {
namespace {

CString StylePath(const std::string& relative)
{
    return CString(std::string(TAVRIN_SOURCE_DIR) + "/styles/" + relative);
}

int CountPlaceholders(const CString& block, bool& onlyPercentS)
{
    int count = 0;
    onlyPercentS = true;
    std::string_view s = block.View();
    for (size_t p = 0; p < s.size(); ++p) {
        if (s[p] != '%')
            continue;
        if (p + 1 < s.size() && s[p + 1] == 's')
            ++count;
        else if (!(p + 1 < s.size() && s[p + 1] == '%'))
            onlyPercentS = false;
        ++p;
    }
    return count;
}

// Every script element's text, in order.
std::vector<std::string> Scripts(const std::string& page)
{
    std::vector<std::string> out;
    size_t at = 0;
    while ((at = page.find("<script", at)) != std::string::npos) {
        size_t open = page.find('>', at);
        size_t close = page.find("</script>", open);
        if (open == std::string::npos || close == std::string::npos)
            break;
        out.push_back(page.substr(open + 1, close - open - 1));
        at = close;
    }
    return out;
}

bool NodeAvailable()
{
    return std::system("node --version > /dev/null 2>&1") == 0;
}

struct TemplateCase {
    const char* file;
    const char* label;
    int placeholders;
};

const TemplateCase kTemplates[] = {
    {"5460/default/contact.html", "通讯录", 10},
    {"5460/default/misc.html", "其他信息", 8},
    {"5460/default/profile.html", "个人资料", 26},
    {"5460/default/message.html", "留言", 6},
    {"5460/default/picture.html", "照片", 11},
    {"5460/default/upload_picture.html", "上传照片", 5},
    {"5460/default/private.html", "在线信息", 6},
    {"common/thumbnail.html", "照片", 5},
};

TEST(Templates, GbkWithTheirDataBlocks)
{
    for (const TemplateCase& t : kTemplates) {
        SCOPED_TRACE(t.file);
        CString text;
        ASSERT_TRUE(ReadTemplateFile(StylePath(t.file), text));
        EXPECT_EQ(GbkToUtf8(text.View()).find("\xEF\xBF\xBD"), std::string::npos) << "not GBK";
        EXPECT_NE(text.Find("charset=gbk"), -1);
        CString block;
        ASSERT_TRUE(FindDataBlock(text, t.label, block));
        bool onlyPercentS = false;
        EXPECT_EQ(CountPlaceholders(block, onlyPercentS), t.placeholders);
        EXPECT_TRUE(onlyPercentS);
        // Only the data block holds placeholders.
        bool ignored = false;
        EXPECT_EQ(CountPlaceholders(text, ignored), t.placeholders) << "placeholders outside the block";
    }
    CString status;
    ASSERT_TRUE(ReadTemplateFile(StylePath("common/profile_status.htm"), status));
    EXPECT_NE(status.Find("[当前状态]"), -1);
    EXPECT_NE(status.Find("charset=gbk"), -1);
}

TEST(Templates, MessageTemplateHasItsItemTemplateAndSeparator)
{
    CString text;
    ASSERT_TRUE(ReadTemplateFile(StylePath("5460/default/message.html"), text));
    CString item;
    ASSERT_TRUE(FindMarkedBlock(text, "<!--留言模板开始-->", "<!--留言模板结束-->", item));
    CString block;
    ASSERT_TRUE(FindDataBlock(text, "留言", block));
    EXPECT_NE(item.Find(block), -1);
    CString separatorRegion;
    ASSERT_TRUE(FindMarkedBlock(text, "<!--留言分割开始-->", "<!--留言分割结束-->", separatorRegion));
    EXPECT_EQ(separatorRegion.Left(4), CString("<!--"));
}

TEST(Templates, FilledScriptsStayValidWithHostileValues)
{
    if (!NodeAvailable())
        GTEST_SKIP() << "node is not installed (scripts/setup installs it)";
    // Values that break an unescaped script string or the script element.
    const char* hostile[] = {"a\"b", "c\\", "line1\r\nline2", "</script><script>x()</script>", "it's",
                             "\x81\x5C\"", "%s%%", "`|", "\xD5\xC5\xC8\xFD"};
    test::TempDir dir;
    for (const TemplateCase& t : kTemplates) {
        SCOPED_TRACE(t.file);
        CString text;
        ASSERT_TRUE(ReadTemplateFile(StylePath(t.file), text));
        std::vector<CString> values;
        for (int i = 0; i < t.placeholders; ++i)
            values.push_back(EscapeScriptString(hostile[i % std::size(hostile)]));
        ASSERT_TRUE(FillDataBlock(text, t.label, values));
        std::string utf8 = GbkToUtf8(text.View());
        auto scripts = Scripts(utf8);
        ASSERT_GE(scripts.size(), 2u);
        std::string all;
        for (const std::string& s : scripts)
            all += s + "\n;\n";
        auto file = dir.Write("check.js", all);
        std::string command = "node --check '" + file.string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << all;
    }
}

} // namespace
} // namespace tavrin
