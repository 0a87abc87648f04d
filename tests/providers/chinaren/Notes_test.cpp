// The short notes against the simulated note, send and history pages.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/XmlFile.h"
#include "platform/win/MessageBox.h"
#include "providers/chinaren/ContactStoreChinaRen.h"
#include "providers/chinaren/PrivateStoreChinaRen.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tavrin::test {
namespace {

using sim::chinaren::Note;

const char kSendPath[] = "/online/online_sendmsg.jsp";
const char kHistoryPath[] = "/online/online_gethistory.jsp";

Note MakeNote(const std::string& id, const std::string& from, const std::string& content)
{
    return {id, "2005-05-" + std::to_string(10 + std::atoi(id.c_str()) % 20) + " 10:00", from, "名" + from, content};
}

sim::chinaren::Member Member(const std::string& user)
{
    sim::chinaren::Member m;
    m.userName = user;
    m.realName = "名" + user;
    m.alts = {"班级成员"};
    return m;
}

class ChinaRenNotes : public ChinaRenTest {
protected:
    ChinaRenNotes()
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301"};
            sim::chinaren::Class& c = d.AddClass("301");
            c.members = {Member("tom"), Member("a+b"), Member("q\"x")};
        });
        schoolClass = AddClass("301");
        store = static_cast<CPrivateStoreChinaRen*>(schoolClass->GetPrivateStore());
        SignIn();
        CStringArray none;
        window.RunOnWorker([&] { schoolClass->GetContactStore()->Update(none, 1); });
        sim.ClearLog();
    }
    ~ChinaRenNotes() override { win::ClearMessageBoxAnswers(); }

    void SetNotes(std::vector<Note> notes)
    {
        site.Edit([&](sim::chinaren::Data& d) { d.FindClass("301")->notes = std::move(notes); });
    }
    void Update(int mode) { window.RunOnWorker([&] { store->Update(mode); }); }
    // "custo_id:id" of the stored notes in file order.
    std::vector<std::string> Stored(const char* name = "item")
    {
        std::vector<std::string> out;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("private") || !cursor.FindChildElem(name))
            return out;
        do {
            out.push_back(cursor.GetAttrib("custo_id").Str() + ":" + cursor.GetAttrib("id").Str());
        } while (store->GetXmlFile()->FindNextElem(TRUE, cursor.GetId()));
        return out;
    }
    CPrivateItemChinaRen Note(const std::string& custoId)
    {
        CPrivateItemChinaRen item;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (cursor.FindChildElem("private") && cursor.FindChildElemWithAttrib("item", "custo_id", custoId.c_str()))
            CPrivateItemChinaRen::ReadXml(&item, &cursor);
        return item;
    }
    void Send(const std::string& content, const std::string& user)
    {
        store->StartSend("", content.c_str(), "", user.c_str(), user.c_str(), 0);
        Await([&] { return store->IsSending(); });
    }
    void Reply(const std::string& content, const std::string& user, int number)
    {
        store->StartReply("", content.c_str(), "", user.c_str(), "", number);
        Await([&] { return store->IsReplying(); });
    }
    void Delete(std::vector<std::string> custoIds)
    {
        CStringArray ids;
        for (const std::string& id : custoIds)
            ids.Add(id.c_str());
        store->DeleteItems(ids, FALSE, 0);
        Await([&] { return store->IsDeleting(); });
    }
    std::vector<std::string> Tail(size_t from)
    {
        auto log = ClassLog(schoolClass);
        return std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())),
                                        log.end());
    }
    std::vector<std::string> SentNotes()
    {
        return site.Edit([](sim::chinaren::Data& d) { return d.FindClass("301")->sentNotes; });
    }
    std::vector<std::string> SiteNoteIds()
    {
        return site.Edit([](sim::chinaren::Data& d) {
            std::vector<std::string> out;
            for (const sim::chinaren::Note& n : d.FindClass("301")->notes)
                out.push_back(n.id);
            return out;
        });
    }
    std::filesystem::path File() { return dir.Path() / (ClassFolder("301") + "/private.xml"); }

    CSchoolClassChinaRen* schoolClass = nullptr;
    CPrivateStoreChinaRen* store = nullptr;
};

TEST_F(ChinaRenNotes, RowsFromMembersAreStored)
{
    SetNotes({MakeNote("12", "tom", "hello <b>you</b>"), MakeNote("11", "stranger", "spam"),
              MakeNote("10", "a+b", "line1\r\nline2")});
    Update(0);
    EXPECT_EQ(Stored(), (std::vector<std::string>{"2:12", "1:10"}));
    EXPECT_EQ(Stored("last"), std::vector<std::string>{"3:12"});
    const CPrivateItemChinaRen first = Note("2");
    EXPECT_EQ(first.m_content, CString("hello <b>you</b>"));
    EXPECT_EQ(first.m_realName, CString("名tom"));
    EXPECT_EQ(first.m_userName, CString("tom"));
    EXPECT_EQ(first.m_time, CString("2005-05-22 10:00"));
    EXPECT_EQ(first.m_replyStatus, CString("no"));
    // The site's link value, as the reply sends it back.
    EXPECT_EQ(Note("1").m_userName, CString("a%2Bb"));
    EXPECT_EQ(Note("1").m_content, CString("line1line2"));
    EXPECT_EQ(store->GetNewNoteCount(), 2);
    EXPECT_EQ(ClassLog(schoolClass).back(), "[小纸条]更新完成, 2条新信息.");
    EXPECT_EQ(sim.Count("/online/online_msg.jsp"), 2u);
    EXPECT_EQ(window.Codes(WM_CLASS_EVENT, true).back(), 20);
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 20), 1);
    auto posted = window.Codes(WM_CLASS_EVENT, false);
    EXPECT_EQ(std::vector<int>(posted.end() - 2, posted.end()), (std::vector<int>{24, 2}));
    EXPECT_TRUE(std::filesystem::exists(File()));
}

TEST_F(ChinaRenNotes, IdsCompareAsNumbers)
{
    std::vector<sim::chinaren::Note> notes;
    for (int id = 7; id >= 1; --id)
        notes.push_back(MakeNote(std::to_string(id), "tom", "n" + std::to_string(id)));
    SetNotes(notes);
    Update(0);
    ASSERT_EQ(Stored().size(), 7u);
    EXPECT_EQ(Stored("last"), std::vector<std::string>{"8:7"});
    // 10 is newer than the mark 7, though "10" sorts before "7".
    notes.insert(notes.begin(), {MakeNote("10", "tom", "n10"), MakeNote("9", "tom", "n9"), MakeNote("8", "tom", "n8")});
    SetNotes(notes);
    Update(1);
    auto stored = Stored();
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(stored.begin(), stored.begin() + 4),
              (std::vector<std::string>{"10:10", "9:9", "8:8", "7:7"}));
    EXPECT_EQ(Stored("last"), std::vector<std::string>{"11:10"});
    EXPECT_EQ(store->GetNewNoteCount(), 3);

    // Nothing above the mark: nothing new.
    Update(1);
    EXPECT_EQ(Stored().size(), 10u);
    EXPECT_EQ(ClassLog(schoolClass).back(), "[小纸条]更新完成, 0条新信息.");
}

TEST_F(ChinaRenNotes, APageWithoutNoteRowsKeepsTheNotes)
{
    SetNotes({MakeNote("5", "tom", "keep me")});
    Update(0);
    ASSERT_EQ(Stored(), std::vector<std::string>{"1:5"});
    SetNotes({});
    Update(0);
    EXPECT_EQ(Stored(), std::vector<std::string>{"1:5"});
    EXPECT_EQ(store->GetItemCount(), 1);

    // A failed sign-in keeps them too.
    account.SetCookie("");
    site.Edit([](sim::chinaren::Data& d) { d.users[0].password = "changed"; });
    Update(0);
    EXPECT_EQ(Stored(), std::vector<std::string>{"1:5"});
    auto log = ClassLog(schoolClass);
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"[小纸条]登录失败, 无法更新.", "[小纸条]更新完成, 0条新信息."}));
}

TEST_F(ChinaRenNotes, PageEscapesValuesAndCleansTheContent)
{
    SetNotes({MakeNote("5", "q\"x", "say \\\"hi\\\" <img src=x onerror=alert(1)></script>")});
    // The sender's real name carries a quote as well.
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->notes[0].fromReal = "引\"号"; });
    Update(0);
    ASSERT_EQ(Stored(), std::vector<std::string>{"1:5"});
    const std::string page = store->RenderPage("1").Str();
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.find("onerror"), std::string::npos);
    EXPECT_NE(page.find("引\\\"号"), std::string::npos);
    EXPECT_EQ(page.find("</script>\";"), std::string::npos);
    EXPECT_NE(page.find("否"), std::string::npos);
}

TEST_F(ChinaRenNotes, SendAndReplyBodies)
{
    SetNotes({MakeNote("5", "a+b", "question")});
    Update(0);
    Send("hi there", "a+b");
    Reply("回答", "a%2Bb", 1);
    auto sent = SentNotes();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], "classuuid=301&towho=a%2Bb&add=1&pid=0&send=1&content=hi+there&ZKEY=k&1 1001");
    EXPECT_EQ(sent[1], "classuuid=301&towho=a%2Bb&add=1&pid=0&send=1&content=%BB%D8%B4%F0&ZKEY=k&1 1002");
    auto log = ClassLog(schoolClass);
    EXPECT_NE(std::find(log.begin(), log.end(), "[小纸条]发送成功."), log.end());
    EXPECT_EQ(log.back(), "[小纸条]回复完成.");
    // The reply marks the note and saves at once.
    EXPECT_EQ(Note("1").m_replyStatus, CString("yes"));
    EXPECT_NE(TempDir::Read(File()).find("yes"), std::string::npos);
    EXPECT_NE(store->RenderPage("1").Str().find("是"), std::string::npos);
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 12), 2);

    // A reply to a note deleted meanwhile still goes.
    Reply("again", "a%2Bb", 77);
    EXPECT_EQ(SentNotes().size(), 3u);
    EXPECT_EQ(ClassLog(schoolClass).back(), "[小纸条]回复完成.");
}

TEST_F(ChinaRenNotes, LengthLimitsAndAMissingMarker)
{
    struct Case {
        const char* name;
        std::string content;
        const char* box; // nullptr: sent
    } cases[] = {
        {"150 characters", std::string(150, 'x'), nullptr},
        {"150 Chinese characters", [] {
             std::string s;
             for (int i = 0; i < 150; ++i)
                 s += "字";
             return s;
         }(), nullptr},
        {"151 characters", std::string(151, 'x'), "错误:对不起，留言内容不能超过150字！"},
        {"one space", " ", nullptr},
        {"empty", "", "错误:对不起，请输入留言内容！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = SentNotes().size();
        const size_t from = ClassLog(schoolClass).size();
        Send(c.content, "tom");
        std::vector<std::string> boxes;
        for (const win::MessageBoxRecord& r : win::TakeMessageBoxLog())
            boxes.push_back(r.caption + ":" + r.text);
        EXPECT_EQ(boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
        EXPECT_EQ(SentNotes().size(), before + (c.box ? 0 : 1));
        auto log = Tail(from);
        EXPECT_EQ(log.front(), "[小纸条]开始发送...");
        EXPECT_EQ(log.back(), "[小纸条]发送完成.");
    }
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->noSendMarker = true; });
    schoolClass->GetContactStore()->SetComposeContent("kept");
    const size_t from = ClassLog(schoolClass).size();
    Send("lost?", "tom");
    EXPECT_EQ(Tail(from), (std::vector<std::string>{"[小纸条]开始发送...", "[小纸条]发送失败.", "[小纸条]发送完成."}));
    EXPECT_EQ(schoolClass->GetContactStore()->GetComposeContent(), CString("kept"));
}

TEST_F(ChinaRenNotes, DeleteByTheRequestOrTheHistory)
{
    SetNotes({MakeNote("14", "tom", "d"), MakeNote("13", "tom", "c"), MakeNote("12", "tom", "b"),
              MakeNote("11", "tom", "a")});
    Update(0);
    ASSERT_EQ(Stored(), (std::vector<std::string>{"4:14", "3:13", "2:12", "1:11"}));

    // A good request, and the same custo_id twice.
    size_t from = ClassLog(schoolClass).size();
    Delete({"4", "4"});
    EXPECT_EQ(Tail(from), (std::vector<std::string>{"[小纸条]开始删除...", "[小纸条]开始删除留言, 编号14...",
                                                    "[小纸条]成功删除小纸条, 编号14...", "[小纸条]删除完成."}));
    EXPECT_EQ(sim.Requests(kHistoryPath).size(), 1u);
    EXPECT_EQ(SiteNoteIds(), (std::vector<std::string>{"13", "12", "11"}));

    // A failed request that the history still lists, and one it does not.
    sim.ClearLog();
    sim.SetFault(tavrin::chinaren::kClassHost, kHistoryPath, sim::Fault::WithStatus(500).Times(1));
    from = ClassLog(schoolClass).size();
    Delete({"3"});
    EXPECT_EQ(Tail(from)[2], "[小纸条]删除小纸条失败, 编号13.");
    auto requests = sim.Requests(kHistoryPath);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].query, "classuuid=301&del=1&tm=13");
    EXPECT_EQ(requests[1].query, "classuuid=301");
    site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->notes.erase(d.FindClass("301")->notes.begin() + 1); });
    sim.SetFault(tavrin::chinaren::kClassHost, kHistoryPath, sim::Fault::WithStatus(500).Times(1));
    from = ClassLog(schoolClass).size();
    Delete({"2"});
    EXPECT_EQ(Tail(from)[2], "[小纸条]删除小纸条成功, 编号12.");
    EXPECT_EQ(Stored(), std::vector<std::string>{"1:11"});

    // A failed sign-in leaves the note on the site; it is gone here.
    account.SetCookie("");
    site.Edit([](sim::chinaren::Data& d) { d.users[0].password = "changed"; });
    from = ClassLog(schoolClass).size();
    Delete({"1"});
    EXPECT_EQ(Tail(from), (std::vector<std::string>{"[小纸条]开始删除...", "[小纸条]开始删除留言, 编号11...",
                                                    "[小纸条]登录失败, 无法删除小纸条.", "[小纸条]删除完成."}));
    EXPECT_TRUE(Stored().empty());
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 6), 4);
}

} // namespace
} // namespace tavrin::test
