// The ChinaRen page templates: GBK with a GBK charset declaration, each data
// block with the values its page fills, and scripts that stay valid whatever
// escaped values fill them.
#include "platform/base/CodePage.h"
#include "providers/common/Escape.h"
#include "providers/common/PageTemplate.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrin {
namespace {

CString StylePath(const std::string& relative)
{
    return CString(std::string(TAVRIN_SOURCE_DIR) + "/styles/chinaren/default/" + relative);
}

// The "%s" conversions; other is set when a '%' starts anything but "%s" or "%%".
int Conversions(std::string_view text, bool& other)
{
    int count = 0;
    other = false;
    for (size_t p = 0; p < text.size(); ++p) {
        if (text[p] != '%')
            continue;
        if (p + 1 < text.size() && text[p + 1] == 's')
            ++count;
        else if (!(p + 1 < text.size() && text[p + 1] == '%'))
            other = true;
        ++p;
    }
    return count;
}

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

struct TemplateCase {
    const char* file;
    const char* label;
    int values;
};

const TemplateCase kTemplates[] = {
    {"profile.html", "个人资料", 25},   {"misc.html", "其他信息", 11}, {"contact.html", "通讯录", 22},
    {"message.html", "留言", 3},        {"vote.html", "投票", 4},      {"upload_picture.html", "上传照片", 3},
    {"picture.html", "照片", 11},       {"private.html", "在线信息", 4},
};

TEST(ChinaRenTemplates, GbkWithTheirDataBlocks)
{
    for (const TemplateCase& t : kTemplates) {
        SCOPED_TRACE(t.file);
        CString text;
        ASSERT_TRUE(ReadTemplateFile(StylePath(t.file), text));
        EXPECT_EQ(GbkToUtf8(text.View()).find("\xEF\xBF\xBD"), std::string::npos) << "not GBK";
        EXPECT_NE(text.Find("charset=gbk"), -1);
        CString block;
        ASSERT_TRUE(FindDataBlock(text, t.label, block));
        bool other = false;
        EXPECT_EQ(Conversions(block.View(), other), t.values);
        EXPECT_FALSE(other);
    }
}

TEST(ChinaRenTemplates, MessageAndVoteHaveItemTemplateAndSeparator)
{
    for (const char* word : {"留言", "投票"}) {
        SCOPED_TRACE(word);
        CString text;
        ASSERT_TRUE(ReadTemplateFile(StylePath(CString(word) == "留言" ? "message.html" : "vote.html"), text));
        CString item;
        ASSERT_TRUE(FindMarkedBlock(text, CString("<!--") + word + "模板开始-->", CString("<!--") + word + "模板结束-->",
                                    item));
        CString block;
        ASSERT_TRUE(FindDataBlock(text, word, block));
        EXPECT_NE(item.Find(block), -1) << "the data block stands inside the item template";
        CString separator;
        ASSERT_TRUE(FindMarkedBlock(text, CString("<!--") + word + "分割开始-->", CString("<!--") + word + "分割结束-->",
                                    separator));
        EXPECT_EQ(separator.Left(4), CString("<!--"));
    }
}

TEST(ChinaRenTemplates, PicturesTheFilledPagesName)
{
    const std::filesystem::path images = std::filesystem::path(TAVRIN_SOURCE_DIR) / "styles/chinaren/default/images";
    for (const char* name : {"s_missing.png", "administrator.gif", "member.gif", "vip.gif", "friend.gif", "jdd03.gif",
                             "download.png", "missing.png", "not download.png", "s_download.png",
                             "s_not download.png"})
        EXPECT_TRUE(std::filesystem::is_regular_file(images / name)) << name;
}

TEST(ChinaRenTemplates, FilledScriptsStayValidWithHostileValues)
{
    if (std::system("node --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "node is not installed (scripts/setup installs it)";
    const char* hostile[] = {"a\"b", "c\\", "line1\r\nline2", "</script><script>x()</script>", "it's",
                             "\x81\x5C\"", "%s%%", "`|", "\xD5\xC5\xC8\xFD",
                             "<option value=1>1</option><option value='2' selected>2</option>"};
    test::TempDir dir;
    for (const TemplateCase& t : kTemplates) {
        SCOPED_TRACE(t.file);
        CString text;
        ASSERT_TRUE(ReadTemplateFile(StylePath(t.file), text));
        std::vector<CString> values;
        for (int i = 0; i < t.values; ++i)
            values.push_back(hostile[i % std::size(hostile)]);
        ASSERT_TRUE(FillScriptDataBlock(text, t.label, values));
        auto scripts = Scripts(GbkToUtf8(text.View()));
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
