#include "tests/providers/5460/PrivateStore5460Fixture.h"

#include "core/model/ContactStore.h"
#include "platform/win/MessageBox.h"
#include "tests/sim/5460/Site5460.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavrin::test {
namespace {

const char kList[] = "/gy5460/jsp/privacy/privacyDisplay.jsp";
const char kSubmit[] = "/gy5460/jsp/privacy/privacySubmit.jsp";

std::string Repeat(const std::string& unit, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += unit;
    return out;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class PrivatePostTest : public PrivateStore5460Test {
protected:
    PrivatePostTest() { win::TakeMessageBoxLog(); }

    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const auto& box : win::TakeMessageBoxLog()) {
            EXPECT_EQ(box.caption, "错误");
            EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONHAND));
            out.push_back(box.text);
        }
        return out;
    }

    // Stores the notes 503, 502 and 501 from 甲 and 乙.
    void StoreThreeNotes()
    {
        SetNotes({MakeNote("503", "一", "a", "甲", "11"), MakeNote("502", "二", "b", "乙", "12"),
                  MakeNote("501", "三", "c", "甲", "11")});
        Update(1);
        Mark();
    }

    CString CustoIdOf(const char* id)
    {
        auto lock = store->LockItems();
        CPrivateItem* item = store->FindItem(id, "");
        return item ? item->m_custoId : CString();
    }
};

TEST_F(PrivatePostTest, SendLimitsInCharacters)
{
    const std::string subject60 = Repeat("题", 60);
    const std::string content2000 = Repeat("文", 2000);
    struct Case {
        std::string subject, content;
        const char* box;  // nullptr: sent
    } cases[] = {
        {subject60, content2000, nullptr},
        {Repeat("a", 60), Repeat("b", 2000), nullptr},
        {subject60 + "x", "c", "输入的悄悄话主题长度不能大于60个字！"},
        {"s", content2000 + "x", "输入的悄悄话内容长度不能大于2000个字！"},
        // Both over: only the body is named.
        {subject60 + "x", content2000 + "x", "输入的悄悄话内容长度不能大于2000个字！"},
        {"", "c", "请输入想要发送的主题和信息！"},
        {"s", "", "请输入想要发送的主题和信息！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.subject.size());
        sim.ClearLog();
        Mark();
        store->Send(CString(c.subject), CString(c.content), "甲", "", "11", 0);
        window.Pump();
        const size_t posts = sim.Count(kSubmit);
        if (c.box) {
            EXPECT_EQ(Boxes(), std::vector<std::string>{c.box});
            EXPECT_EQ(posts, 0u);
            EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始发送...", "[悄悄话]发送完成."}));
        } else {
            EXPECT_TRUE(Boxes().empty());
            EXPECT_EQ(posts, 1u);
            EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始发送...", "[悄悄话]发送成功.",
                                                           "[悄悄话]发送完成."}));
        }
        EXPECT_EQ(Codes(false), std::vector<int>{12});
    }
}

TEST_F(PrivatePostTest, SendEncodesTheFormAndEmptiesTheComposeTexts)
{
    CContactStore* contacts = Contacts(schoolClass);
    contacts->SetComposeSubject("a&b=c 主题");
    contacts->SetComposeContent("x&y=1+2%");
    store->Send(contacts->GetComposeSubject(), contacts->GetComposeContent(), "甲&乙", "jia", "11", 0);

    auto posts = sim.Requests(kSubmit);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].Field("Title"), "a&b=c 主题");
    EXPECT_EQ(posts[0].Field("Info"), "x&y=1+2%");
    EXPECT_EQ(posts[0].Field("ReceiverName"), "甲&乙");
    EXPECT_EQ(posts[0].Field("ReceiverID"), "11");
    EXPECT_EQ(posts[0].Field("classID"), "301");
    EXPECT_EQ(posts[0].Field("Operation"), "1");
    EXPECT_TRUE(contacts->GetComposeSubject().IsEmpty());
    EXPECT_TRUE(contacts->GetComposeContent().IsEmpty());
    // The simulator filed it for member 11.
    EXPECT_EQ(sim.Edit([](sim::Scenario& s) { return s.Class("301").notes.at(0).receiverId; }), "11");
}

TEST_F(PrivatePostTest, FailedSendKeepsTheComposeTexts)
{
    CContactStore* contacts = Contacts(schoolClass);
    contacts->SetComposeSubject("题");
    contacts->SetComposeContent("文");
    sim.SetFault("", kSubmit, sim::Fault::WithStatus(200));
    store->Send("题", "文", "甲", "", "11", 0);
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始发送...", "[悄悄话]发送失败.", "[悄悄话]发送完成."}));
    EXPECT_EQ(contacts->GetComposeSubject(), CString("题"));

    Mark();
    account.SetCookie("");
    account.SetUserNameAndPassword("li", "wrong");
    store->Send("题", "文", "甲", "", "11", 0);
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始发送...", "[悄悄话]登录失败, 无法发送.",
                                                   "[悄悄话]发送完成."}));
    window.Pump();
    EXPECT_EQ(Codes(false), std::vector<int>{12});
}

TEST_F(PrivatePostTest, AnswerGoesToTheStoredNameAndMarksTheNote)
{
    StoreThreeNotes();
    const CString custoId = CustoIdOf("502");
    ASSERT_FALSE(custoId.IsEmpty());
    store->SetComposeSubject("回");
    store->SetComposeContent("好的");
    CPrivateItem* note = store->FindItem("502", "");
    store->Reply("回", "好的", note->m_realName, note->m_userName, note->m_userId, atoi(custoId));

    auto posts = sim.Requests(kSubmit);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].Field("ReceiverID"), "12");
    EXPECT_EQ(posts[0].Field("ReceiverName"), "乙");
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始回复...", "[悄悄话]回复成功.", "[悄悄话]回复完成."}));
    EXPECT_TRUE(store->GetComposeSubject().IsEmpty());
    EXPECT_TRUE(store->GetComposeContent().IsEmpty());
    EXPECT_EQ(store->FindItem("502", "")->m_replyStatus, CString("yes"));
    // Saved: the file on disk says so.
    const std::string file = ReadFile(ClassFolder("301") + "/private.xml");
    EXPECT_NE(file.find("<reply_status>yes</reply_status>"), std::string::npos);
    EXPECT_NE(store->RenderPage(custoId).Find("var replied = \"是\";"), -1);

    // An empty subject is refused for an answer too.
    Mark();
    store->Reply("", "x", "乙", "", "12", atoi(custoId));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"请输入想要发送的主题和信息！"});
    EXPECT_EQ(sim.Requests(kSubmit).size(), 1u);
}

TEST_F(PrivatePostTest, AnswerToANoteNoLongerStored)
{
    StoreThreeNotes();
    store->Reply("回", "好的", "乙", "", "12", 77);
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始回复...", "[悄悄话]回复成功.", "[悄悄话]回复完成."}));
    for (const Stored& s : Document())
        EXPECT_EQ(s.replyStatus, "no");
}

TEST_F(PrivatePostTest, DeleteRemovesLocallyThenAtTheProvider)
{
    StoreThreeNotes();
    const std::string before = ReadFile(ClassFolder("301") + "/private.xml");
    CStringArray ids;
    ids.Add(CustoIdOf("503"));
    ids.Add("999");
    store->Delete(ids, 0);

    EXPECT_EQ(store->GetItemCount(), 2);
    EXPECT_EQ(store->FindItem("503", ""), nullptr);
    EXPECT_EQ(Document().size(), 2u);
    // The file waits for the store's next save.
    EXPECT_EQ(ReadFile(ClassFolder("301") + "/private.xml"), before);
    auto posts = sim.Requests(kSubmit);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].Field("Operation"), "2");
    EXPECT_EQ(posts[0].Field("isDelete"), "503");
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始删除...", "[悄悄话]开始删除悄悄话, 编号503...",
                                                   "[悄悄话]成功删除留言, 编号503...", "[悄悄话]删除完成."}));
    window.Pump();
    EXPECT_EQ(Codes(false), std::vector<int>{6});
}

TEST_F(PrivatePostTest, AFailedDeleteIsJudgedByTheListPage)
{
    StoreThreeNotes();
    sim.SetFault("", kSubmit, sim::Fault::DropConnection());
    struct Case {
        const char* id;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"503", [] {}, "[悄悄话]删除悄悄话失败, 编号503."},
        {"502",
         [&] {
             sim.Edit([](sim::Scenario& s) {
                 auto& notes = s.Class("301").notes;
                 notes.erase(notes.begin() + 1);
             });
         },
         "[悄悄话]删除悄悄话成功, 编号502."},
        {"501", [&] { sim.SetFault("", kList, sim::Fault::DropConnection()); }, "[悄悄话]删除悄悄话失败, 编号501."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        c.arrange();
        Mark();
        CStringArray ids;
        ids.Add(CustoIdOf(c.id));
        store->Delete(ids, 0);
        EXPECT_TRUE(Logged(c.line));
        EXPECT_EQ(NoteLog().back(), "[悄悄话]删除完成.");
        EXPECT_EQ(store->FindItem(c.id, ""), nullptr);
    }
}

TEST_F(PrivatePostTest, DeleteWithoutMatchingNotes)
{
    StoreThreeNotes();
    for (bool empty : {true, false}) {
        Mark();
        CStringArray ids;
        if (!empty)
            ids.Add("999");
        store->Delete(ids, 0);
        EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始删除...", "[悄悄话]删除完成."}));
        window.Pump();
        EXPECT_EQ(Codes(false), std::vector<int>{6});
    }
    EXPECT_EQ(sim.Count(kSubmit), 0u);
    EXPECT_EQ(store->GetItemCount(), 3);
}

TEST_F(PrivatePostTest, DeleteStopsAtASignInFailure)
{
    StoreThreeNotes();
    account.SetCookie("");
    account.SetUserNameAndPassword("li", "wrong");
    CStringArray ids;
    ids.Add(CustoIdOf("503"));
    ids.Add(CustoIdOf("502"));
    store->Delete(ids, 0);
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始删除...", "[悄悄话]开始删除悄悄话, 编号503...",
                                                   "[悄悄话]登录失败, 无法删除悄悄话.", "[悄悄话]删除完成."}));
    EXPECT_EQ(store->GetItemCount(), 1);
}

TEST_F(PrivatePostTest, NotePage)
{
    SetNotes({MakeNote("503", "a\"b\\c", "<b>粗</b><script>alert(1)</script><img src=x onerror=y>", "甲</script>",
                       "11")});
    Update(1);
    const CString page = store->RenderPage(CustoIdOf("503"));
    EXPECT_NE(page.Find("var title = \"a\\\"b\\\\c\";"), -1);
    EXPECT_EQ(page.Find("alert"), -1);
    EXPECT_EQ(page.Find("onerror"), -1);
    // Allowed markup stays, escaped for the script string like every value.
    EXPECT_NE(page.Find("var content = \"\\x3Cb\\x3E粗\\x3C/b\\x3E"), -1);
    EXPECT_NE(page.Find("var real_name = \"甲\\x3C/script\\x3E\";"), -1);
    EXPECT_NE(page.Find("var replied = \"否\";"), -1);
    // The markers stay.
    EXPECT_NE(page.Find("<!--在线信息数据变量赋值开始-->"), -1);

    const CString empty = store->RenderPage("");
    EXPECT_NE(empty.Find("var title = \"\";"), -1);
    EXPECT_NE(empty.Find("var replied = \"否\";"), -1);

    std::filesystem::remove(dir.Path() / "styles" / "5460" / "default" / "private.html");
    EXPECT_TRUE(store->RenderPage(CustoIdOf("503")).IsEmpty());
}

} // namespace
} // namespace tavrin::test
