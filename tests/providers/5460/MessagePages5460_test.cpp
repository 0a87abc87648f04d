#include "tests/providers/5460/MessageFixture.h"

#include "core/services/Config.h"
#include "providers/common/Escape.h"

#include <filesystem>

namespace tavrin::test {
namespace {

const char kSeparator[] = "<hr size=\"1\" color=\"#C8D8EC\">";

class MessagePages5460Test : public MessageStore5460Test {
protected:
    MessagePages5460Test()
    {
        sim::Message replied = MakeMessage("103", "有回复", "2006-06-03 10:00", "原文");
        replied.replies = {MakeReply("201", "2006-06-04 10:00", "旧回复")};
        Board({MakeMessage("104", "say \"hi\" & <b>bye</b>", "2006-06-04 10:00", "a \"quote\" \\ back"), replied,
               MakeMessage("102", "二", "2006-06-02 10:00", "去公园 red <img src=\"images/x.gif\" alt=\"公园\">"),
               MakeMessage("101", "一", "2006-06-01 10:00", "first")});
        Update(0, 0);
    }

    // The showMessage calls of a page, in order.
    static std::vector<std::string> Calls(const CString& page)
    {
        std::vector<std::string> out;
        const std::string& text = page.Str();
        for (size_t p = text.find("showMessage(\""); p != std::string::npos; p = text.find("showMessage(\"", p + 1))
            out.push_back(text.substr(p, text.find(");", p) - p));
        return out;
    }
    static std::string Script(const char* text) { return EscapeScriptString(text).Str(); }
};

TEST_F(MessagePages5460Test, MessagesPerPageFromTheSetting)
{
    // Key 27 is 1 by default: the selected message alone.
    auto one = Calls(store->RenderPage("2"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NE(one[0].find(Script("去公园")), std::string::npos) << one[0];

    SetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER, "3");
    CString page = store->RenderPage("4");
    auto three = Calls(page);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_NE(three[0].find(Script("a \"quote\"")), std::string::npos);
    EXPECT_NE(three[1].find(Script("原文`|旧回复")), std::string::npos);
    EXPECT_NE(three[2].find(Script("去公园")), std::string::npos);
    int separators = 0;
    for (int p = page.Find(kSeparator); p >= 0; p = page.Find(kSeparator, p + 1))
        ++separators;
    EXPECT_EQ(separators, 3); // two between the messages, one in the separator region

    // Missing numbers are passed over; a number above every message starts at
    // the next lower one that exists.
    CStringArray gone;
    gone.Add("3");
    store->DeleteItems(gone, TRUE, 0);
    auto skipping = Calls(store->RenderPage("4"));
    ASSERT_EQ(skipping.size(), 3u);
    EXPECT_NE(skipping[2].find("\"first\""), std::string::npos);
    SetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER, "1");
    auto high = Calls(store->RenderPage("2000000000"));
    ASSERT_EQ(high.size(), 1u);
    EXPECT_NE(high[0].find(Script("a \"quote\"")), std::string::npos);
}

TEST_F(MessagePages5460Test, EveryValueIsEscapedForItsPlace)
{
    auto calls = Calls(store->RenderPage("4"));
    ASSERT_EQ(calls.size(), 1u);
    // Content is cleaned HTML, the title the board's text without its tags;
    // both script-escaped.
    EXPECT_NE(calls[0].find("\"a \\\"quote\\\" \\\\ back\""), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("\"say \\\"hi\\\" & bye\""), std::string::npos) << calls[0];
    EXPECT_NE(store->RenderPage("").Find("<title>Tavrin</title>"), -1);

    std::filesystem::remove(dir.Path() / "styles" / "5460" / "default" / "message.html");
    EXPECT_NE(store->RenderPage("4").Find("<title>Tavrin</title>"), -1);
    EXPECT_TRUE(store->RenderPreview("s", "t", 0).IsEmpty());
}

TEST_F(MessagePages5460Test, TitlesKeepTheBoardsEntities)
{
    // The board writes a title as HTML: its entities show as the characters
    // they stand for, and only a stray bracket is made text.
    EditBoard([](std::vector<sim::Message>& board) {
        board.insert(board.begin(), MakeMessage("105", "春&nbsp;游&amp;玩 1<2", "2006-06-05 10:00", "x"));
    });
    Update(0, 0);
    const std::string expected = "\"" + Script("春&nbsp;游&amp;玩 1&lt;2") + "\"";
    auto calls = Calls(store->RenderPage("5"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(expected), std::string::npos) << calls[0];

    store->SetLastSearch("游");
    calls = Calls(store->RenderPage("5"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(Script("春&nbsp;<font color=red><b>游</b></font>&amp;玩 1&lt;2")), std::string::npos)
        << calls[0];

    store->SetCurrentCustoId("5");
    auto reply = Calls(store->RenderPreview("", "y", 1));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_NE(reply[0].find(expected), std::string::npos) << reply[0];
}

TEST_F(MessagePages5460Test, SearchWordsAreMarkedOutsideTagsOnly)
{
    store->SetLastSearch("公园 red");
    auto calls = Calls(store->RenderPage("2"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(Script("去<font color=red><b>公园</b></font> <font color=red><b>red</b></font> "
                                   "<img src=\"images/x.gif\" alt=\"公园\">")),
              std::string::npos)
        << calls[0];

    store->SetLastSearch("一");
    auto title = Calls(store->RenderPage("1"));
    ASSERT_EQ(title.size(), 1u);
    EXPECT_NE(title[0].find(Script("<font color=red><b>一</b></font>")), std::string::npos) << title[0];
}

TEST_F(MessagePages5460Test, PreviewOfANewMessageAndOfAReply)
{
    account.SetRealName("李四");
    account.SetUserId("42");
    CString preview = store->RenderPreview("题<", "line1\r\nline2", 0);
    auto calls = Calls(preview);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(Script("题&lt;")), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find(Script("line1<BR>line2")), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("\"李四\", \"42\""), std::string::npos) << calls[0];
    EXPECT_TRUE(calls[0].ends_with(", \"0\"")) << calls[0];

    // Reply mode without a current message: a new message.
    EXPECT_EQ(store->RenderPreview("题<", "line1\r\nline2", 1), preview);

    store->SetCurrentCustoId("3");
    auto reply = Calls(store->RenderPreview("ignored", "新的", 1));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_NE(reply[0].find(Script("原文`|新的`|旧回复")), std::string::npos) << reply[0];
    EXPECT_NE(reply[0].find("\"张三`|李四`|王五\""), std::string::npos) << reply[0];
    EXPECT_TRUE(reply[0].ends_with(", \"2\"")) << reply[0];
    EXPECT_NE(reply[0].find("\"有回复\""), std::string::npos) << reply[0];
}

} // namespace
} // namespace tavrin::test
