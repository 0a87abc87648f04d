// The message, vote and preview pages of the ChinaRen board.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/services/Config.h"
#include "providers/chinaren/MessageStoreChinaRen.h"

#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

class ChinaRenMessagePages : public ChinaRenTest {
protected:
    ChinaRenMessagePages()
    {
        std::string xml = "<message>\n\t<vote>\n\t<item read=\"1\" custo_id=\"-10000\" id=\"-1\">\n\t\t<time>-</time>\n"
                          "\t\t<user>王老师</user>\n\t\t<title>春游</title>\n\t\t<vote_reason>定一下</vote_reason>\n"
                          "\t\t<content>&lt;form&nbsp;method=post&nbsp;action=\"tavrin:投票\"&gt;&lt;input&nbsp;"
                          "type=radio&nbsp;name=v&nbsp;value=1&gt;A&lt;script&gt;x()&lt;/script&gt;&lt;/form&gt;"
                          "</content>\n\t</item>\n\t</vote>\n";
        for (int i = 12; i >= 1; --i)
            if (i != 11)
                xml += MessageXmlItem(i, "用户" + std::to_string(i), "content" + std::to_string(i));
        xml += "</message>\n";
        dir.Write(ClassFolder("301") + "/message.xml", xml);
        schoolClass = AddClass("301");
        store = static_cast<CMessageStoreChinaRen*>(schoolClass->GetMessageStore());
    }

    // The contents shown, in page order.
    std::vector<std::string> Shown(const CString& custoId)
    {
        const std::string page = store->RenderPage(custoId).Str();
        std::vector<std::string> out;
        for (size_t at = 0; (at = page.find("showMessage(\"", at)) != std::string::npos;) {
            at += 13;
            if (page.compare(at, 2, "%s") == 0)
                continue;
            out.push_back(page.substr(at, page.find('"', at) - at));
        }
        return out;
    }

    CSchoolClassChinaRen* schoolClass = nullptr;
    CMessageStoreChinaRen* store = nullptr;
};

TEST_F(ChinaRenMessagePages, SelectedMessageAndTheStoredOnesBelow)
{
    struct Case {
        const char* pageSize;
        const char* custoId;
        std::vector<std::string> shown;
    } cases[] = {
        {"1", "12", {"content12"}},
        {"3", "12", {"content12", "content10", "content9"}},
        {"5", "2", {"content2", "content1"}},
        {"3", "abc", {}},
        {"2", "999999999", {"content12", "content10"}},
        {"0", "5", {"content5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pageSize) + " " + c.custoId);
        SetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER, c.pageSize);
        EXPECT_EQ(Shown(c.custoId), c.shown);
    }
    SetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER, "2");
    const std::string page = store->RenderPage("12").Str();
    EXPECT_NE(page.find("</script><!--留言数据变量赋值结束--><hr size=\"1\" color=\"#B8DDA0\"><!--留言数据变量赋值开始-->"),
              std::string::npos);
    EXPECT_NE(store->RenderPage("").Find("<title>Tavrin</title>"), -1);
}

TEST_F(ChinaRenMessagePages, ValuesAreEscapedAndContentCleanedLast)
{
    dir.Write(ClassFolder("302") + "/message.xml",
              "<message>\n" +
                  MessageXmlItem(1, "a\"b&lt;/script&gt;",
                       "hello&nbsp;red&nbsp;&lt;img&nbsp;src=x&nbsp;alt=\"red&gt;\"&nbsp;onerror=y()&gt;&lt;/script&gt;") +
                  "</message>\n");
    auto* other = static_cast<CMessageStoreChinaRen*>(AddClass("302")->GetMessageStore());
    other->SetLastSearch("hello red");
    const std::string page = other->RenderPage("1").Str();
    EXPECT_NE(page.find("showMessage(\"\\x3Cfont color=red\\x3E\\x3Cb\\x3Ehello\\x3C/b\\x3E\\x3C/font\\x3E "
                        "\\x3Cfont color=red\\x3E\\x3Cb\\x3Ered\\x3C/b\\x3E\\x3C/font\\x3E "
                        "\\x3Cimg src=x alt=\\\"red\\x3E\\\"\\x3E\", \"a\\\"b\\x3C/script\\x3E\""),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("onerror"), std::string::npos);
}

TEST_F(ChinaRenMessagePages, VotePage)
{
    const std::string page = store->RenderPage("-10000").Str();
    EXPECT_NE(page.find("showVote(\"\\x3Cform method=post action=\\\"tavrin:投票\\\"\\x3E\\x3Cinput type=radio name=v "
                        "value=1\\x3EA\\x3C/form\\x3E\", \"王老师\", \"-\", \"定一下\");"),
              std::string::npos)
        << page;
}

TEST_F(ChinaRenMessagePages, PreviewAndReplyLength)
{
    account.SetRealName("汤姆");
    EXPECT_NE(store->RenderPreview("", "a\r\nb<c", 0).Find("showMessage(\"a  b&lt;c\", \"汤姆\", \"2005-06-01 08:00:00\");"),
              -1);
    store->SetCurrentCustoId("12");
    EXPECT_NE(store->RenderPreview("", "hi", 1).Find("showMessage(\"To 用户12: hi\""), -1);
    store->SetCurrentCustoId("77");
    EXPECT_NE(store->RenderPreview("", "hi", 1).Find("showMessage(\"To : hi\""), -1);

    store->SetComposeContent("你好");
    store->SetComposeMode(0);
    EXPECT_EQ(store->GetContentLength(), 2);
    store->SetCurrentCustoId("12");
    store->SetComposeMode(1);
    // "To ", the two characters of the user, ": " and the text.
    EXPECT_EQ(store->GetContentLength(), 3 + 4 + 2 + 2);
    store->SetComposeContent("");
    store->SetComposeMode(0);
    EXPECT_EQ(store->GetContentLength(), 0);
}

} // namespace
} // namespace tavrin::test
