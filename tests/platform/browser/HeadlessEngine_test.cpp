#include "platform/base/CodePage.h"
#include "platform/base/Path.h"
#include "platform/browser/HeadlessEngine.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavrin::browser;

namespace {

std::string U(const char* gbk) { return tavrin::GbkToUtf8(gbk); }

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

HWND FakeHost(intptr_t n) { return reinterpret_cast<HWND>(0x7000 + n); }

// A GBK page with the kinds of links and forms the program generates.
const char* const kPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></head><body>"
    "<a href=\"tavrin:点击查看[张三]的通讯录\">张三</a>"
    "<a href=\"tavrin:下一页\">下一页</a>"
    "<a href=\"other.htm\">other</a>"
    "<a href=\"http://example.com/tavrin:投票\">remote</a>"
    "<form action=\"tavrin:投票\" method=\"post\">"
    "<input type=radio name=vote value=1><input type=radio name=vote value=2 checked>"
    "<input type=hidden name=id value=\"42\"><input type=text name=memo value=\"\">"
    "<input type=submit name=ok value=\"投票\"></form>"
    "<form action=\"tavrin:上传照片\" method=\"post\" enctype=\"multipart/form-data\">"
    "<input type=file name=photo><input type=text name=title><input type=submit value=\"上传\"></form>"
    "<form action=\"tavrin:搜索\"><input name=q></form>"
    "</body></html>";

struct HeadlessEngineTest : ::testing::Test {
    tavrin::test::TempDir dir;
    std::string pagePath; // program path (GBK)
    HeadlessEngine engine{FakeHost(1)};
    std::vector<BeforeNavigate> events;
    bool cancelActions = true;

    void SetUp() override
    {
        auto file = dir.Write(U("班级/message.htm"), kPage);
        dir.Write(U("班级/other.htm"), "<html><a href=\"tavrin:缩略图\">t</a></html>");
        pagePath = tavrin::ProgramPath(file.string()).Str();
        engine.SetBeforeNavigate([this](BeforeNavigate& e) {
            events.push_back(e);
            if (cancelActions && e.url.rfind("tavrin:", 0) == 0)
                e.cancel = true;
        });
        ASSERT_TRUE(engine.Navigate(pagePath));
        events.clear();
    }
};

} // namespace

TEST_F(HeadlessEngineTest, ProgramNavigationRaisesTheEventAndLoads)
{
    EXPECT_EQ(engine.GetHistory().size(), 1u);
    std::string location = engine.GetLocationURL();
    EXPECT_EQ(location.substr(0, 8), "file:///");
    EXPECT_TRUE(EndsWith(location, "/班级/message.htm")) << location;
    EXPECT_EQ(engine.GetFormCount(), 3u);

    // A cancelled program navigation leaves the page.
    engine.SetBeforeNavigate([](BeforeNavigate& e) { e.cancel = true; });
    EXPECT_TRUE(engine.Navigate("\\nowhere\\x.htm"));
    EXPECT_EQ(engine.GetLocationURL(), location);
    EXPECT_FALSE(engine.Navigate(""));
}

TEST_F(HeadlessEngineTest, ActionLinksArriveAsGbkAndCancellingKeepsThePage)
{
    const std::string location = engine.GetLocationURL();
    ASSERT_TRUE(engine.FollowLink("张三"));
    ASSERT_TRUE(engine.FollowLinkAt(1));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].url, "tavrin:点击查看[张三]的通讯录");
    EXPECT_TRUE(events[0].postData.empty());
    EXPECT_TRUE(events[0].headers.empty());
    EXPECT_EQ(events[1].url, "tavrin:下一页");
    EXPECT_EQ(engine.GetLocationURL(), location);
    EXPECT_EQ(engine.GetHistory().size(), 1u);

    // Not cancelled, our scheme still loads nothing.
    cancelActions = false;
    ASSERT_TRUE(engine.FollowLinkAt(1));
    EXPECT_EQ(engine.GetLocationURL(), location);
    EXPECT_FALSE(engine.FollowLink("no such link"));
}

TEST_F(HeadlessEngineTest, OrdinaryLinksAreFollowed)
{
    ASSERT_TRUE(engine.FollowLink("other"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(EndsWith(events[0].url, "/班级/other.htm")) << events[0].url;
    EXPECT_EQ(engine.GetLocationURL(), events[0].url);
    ASSERT_EQ(engine.GetLinks().size(), 1u);
    EXPECT_EQ(engine.GetLinks()[0].first, "tavrin:缩略图");
}

TEST_F(HeadlessEngineTest, PagesNotOursNeverReachTheProgram)
{
    // A link of our page to a remote page is asked about and followed.
    cancelActions = false;
    ASSERT_TRUE(engine.FollowLink("remote"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].url, "http://example.com/tavrin:投票");
    EXPECT_EQ(engine.GetLocationURL(), "http://example.com/tavrin:投票");

    // A page that is not ours: its action is dropped, its links followed
    // without reaching the handler.
    events.clear();
    engine.LoadContent("http://example.com/p.htm", "<a href=\"tavrin:投票\">v</a><a href=\"q.htm\">q</a>");
    ASSERT_TRUE(engine.FollowLinkAt(0));
    EXPECT_EQ(engine.GetLocationURL(), "http://example.com/p.htm");
    ASSERT_TRUE(engine.FollowLinkAt(1));
    EXPECT_EQ(engine.GetLocationURL(), "http://example.com/q.htm");
    EXPECT_TRUE(events.empty());
}

TEST_F(HeadlessEngineTest, UrlencodedPostCarriesTheFormBytes)
{
    ASSERT_TRUE(engine.SubmitForm(0, {{"memo", "好 的"}}));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].url, "tavrin:投票");
    EXPECT_EQ(events[0].headers, "Content-Type: application/x-www-form-urlencoded\r\n");
    // Values in the page's charset (GBK), the submit button included.
    EXPECT_EQ(events[0].postData, "vote=2&id=42&memo=%BA%C3+%B5%C4&ok=%CD%B6%C6%B1");

    events.clear();
    ASSERT_TRUE(engine.SubmitForm(0, {{"vote", "1"}}, "ok"));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].postData, "vote=1&id=42&memo=&ok=%CD%B6%C6%B1");
    EXPECT_FALSE(engine.SubmitForm(0, {}, "missing"));
    EXPECT_FALSE(engine.SubmitForm(7));
}

TEST_F(HeadlessEngineTest, MultipartPostNamesThePickedFileByItsFullPath)
{
    auto photo = dir.Write(U("相册/照片.jpg"), std::string("\xFF\xD8\xFF\x00\x10", 5));
    const std::string picked = tavrin::ProgramPath(photo.string()).Str();
    ASSERT_TRUE(engine.SubmitForm(1, {{"photo", picked}, {"title", "毕业"}}));
    ASSERT_EQ(events.size(), 1u);
    const BeforeNavigate& e = events[0];
    EXPECT_EQ(e.url, "tavrin:上传照片");
    const std::string prefix = "Content-Type: multipart/form-data; boundary=";
    ASSERT_EQ(e.headers.substr(0, prefix.size()), prefix);
    const std::string boundary = e.headers.substr(prefix.size(), e.headers.size() - prefix.size() - 2);
    const std::string expected = "--" + boundary + "\r\n" +
                                 "Content-Disposition: form-data; name=\"photo\"; filename=\"" + picked + "\"\r\n" +
                                 "Content-Type: image/jpeg\r\n\r\n" + std::string("\xFF\xD8\xFF\x00\x10", 5) + "\r\n" +
                                 "--" + boundary + "\r\n" +
                                 "Content-Disposition: form-data; name=\"title\"\r\n\r\n毕业\r\n" +
                                 "--" + boundary + "--\r\n";
    EXPECT_EQ(e.postData, expected);
}

TEST_F(HeadlessEngineTest, GetFormPutsTheFieldsInTheUrl)
{
    ASSERT_TRUE(engine.SubmitForm(2, {{"q", "同学"}}));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].url, "tavrin:搜索?q=\xCD\xAC\xD1\xA7");
    EXPECT_TRUE(events[0].postData.empty());
}

TEST_F(HeadlessEngineTest, CommandsNeedAPage)
{
    HeadlessEngine blank(FakeHost(2));
    EXPECT_FALSE(blank.Exec(Command::Copy));
    EXPECT_TRUE(engine.Exec(Command::Copy));
    EXPECT_TRUE(engine.Exec(Command::SelectAll));
    EXPECT_EQ(engine.GetCommands(), (std::vector<Command>{Command::Copy, Command::SelectAll}));
    EXPECT_EQ(HeadlessEngine::FromHost(FakeHost(1)), &engine);
    EXPECT_EQ(HeadlessEngine::FromHost(FakeHost(3)), nullptr);
}
