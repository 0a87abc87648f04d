#include "tests/providers/5460/PrivateStore5460Fixture.h"

#include "core/model/ModelEvents.h"
#include "tests/sim/5460/Site5460.h"

#include <filesystem>

namespace tavrin::test {
namespace {

const char kList[] = "/gy5460/jsp/privacy/privacyDisplay.jsp";

class PrivateUpdateTest : public PrivateStore5460Test {};

TEST_F(PrivateUpdateTest, StoresNotesOfContactsInPageOrder)
{
    SetNotes({MakeNote("503", "问候", "你好<br>吗", "甲", "11"),
              // The user's own note carries the provider's send mark.
              MakeNote("502", "发出", "x", "李四", "42", "11"),
              // A sender who is not in the class's contact list.
              MakeNote("501", "陌生", "y", "路人", "99"),
              MakeNote("500", "再见", "z", "乙", "12")});
    Update(1);

    auto doc = Document();
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[0].id, "503");
    EXPECT_EQ(doc[0].custoId, "2");
    EXPECT_EQ(doc[0].title, "问候");
    EXPECT_EQ(doc[0].content, "你好<br>吗");
    EXPECT_EQ(doc[0].userId, "11");
    EXPECT_EQ(doc[0].realName, "甲");
    EXPECT_EQ(doc[0].time, "2006-06-10 08:00");
    EXPECT_EQ(doc[0].replyStatus, "no");
    EXPECT_EQ(doc[0].read, "0");
    EXPECT_EQ(doc[1].id, "500");
    EXPECT_EQ(doc[1].custoId, "1");
    Stored last = Last();
    EXPECT_EQ(last.id, "503");
    EXPECT_EQ(last.custoId, "3");

    EXPECT_EQ(store->GetNewNoteCount(), 2);
    EXPECT_EQ(store->GetItemCount(), 2);
    EXPECT_TRUE(std::filesystem::exists(ClassFolder("301") + "/private.xml"));
    EXPECT_EQ(NoteLog(), (std::vector<std::string>{"[悄悄话]开始更新...", "[悄悄话]更新完成, 2条新信息."}));
    EXPECT_EQ(Codes(true), (std::vector<int>{20}));
    EXPECT_EQ(Codes(false), (std::vector<int>{25, 24, 2}));
    EXPECT_FALSE(store->IsUpdating());
}

TEST_F(PrivateUpdateTest, NewestModeStopsAtTheLastStoredNote)
{
    SetNotes({MakeNote("500", "a", "a", "甲", "11"), MakeNote("499", "b", "b", "乙", "12")});
    Update(1);
    SetNotes({MakeNote("502", "c", "c", "甲", "11"), MakeNote("501", "d", "d", "乙", "12"),
              MakeNote("500", "a", "a", "甲", "11"), MakeNote("499", "b", "b", "乙", "12")});
    Update(1);

    auto doc = Document();
    ASSERT_EQ(doc.size(), 4u);
    EXPECT_EQ((std::vector<std::string>{doc[0].id, doc[1].id, doc[2].id, doc[3].id}),
              (std::vector<std::string>{"502", "501", "500", "499"}));
    EXPECT_EQ((std::vector<std::string>{doc[0].custoId, doc[1].custoId, doc[2].custoId, doc[3].custoId}),
              (std::vector<std::string>{"4", "3", "2", "1"}));
    EXPECT_EQ(Last().id, "502");
    EXPECT_EQ(Last().custoId, "5");
    EXPECT_EQ(store->GetNewNoteCount(), 2);
}

TEST_F(PrivateUpdateTest, NoteIdsCompareAsNumbers)
{
    SetNotes({MakeNote("99", "a", "a", "甲", "11")});
    Update(1);
    SetNotes({MakeNote("100", "b", "b", "甲", "11"), MakeNote("99", "a", "a", "甲", "11")});
    Update(1);

    auto doc = Document();
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[0].id, "100");
    EXPECT_EQ(Last().id, "100");
}

TEST_F(PrivateUpdateTest, NothingNewLeavesTheDocumentAlone)
{
    SetNotes({MakeNote("7", "a", "a", "甲", "11")});
    Update(1);
    const auto before = std::filesystem::last_write_time(ClassFolder("301") + "/private.xml");
    Update(1);
    EXPECT_EQ(Document().size(), 1u);
    EXPECT_EQ(store->GetNewNoteCount(), 0);
    EXPECT_EQ(NoteLog().back(), "[悄悄话]更新完成, 0条新信息.");
    EXPECT_EQ(std::filesystem::last_write_time(ClassFolder("301") + "/private.xml"), before);
}

TEST_F(PrivateUpdateTest, AllModeReplacesTheStoredNotes)
{
    SetNotes({MakeNote("500", "a", "a", "甲", "11"), MakeNote("499", "b", "b", "乙", "12")});
    Update(1);
    SetNotes({MakeNote("501", "c", "c", "乙", "12")});
    Update(0);

    auto doc = Document();
    ASSERT_EQ(doc.size(), 1u);
    EXPECT_EQ(doc[0].id, "501");
    EXPECT_EQ(doc[0].custoId, "1");
    EXPECT_EQ(Last().custoId, "2");
    EXPECT_EQ(store->GetItemCount(), 1);
    // On disk too.
    store->LoadItems(TRUE);
    EXPECT_EQ(store->GetItemCount(), 1);
}

TEST_F(PrivateUpdateTest, AFailedAllModeRunKeepsTheNotes)
{
    SetNotes({MakeNote("500", "a", "a", "甲", "11"), MakeNote("499", "b", "b", "乙", "12")});
    Update(1);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* line;
    } cases[] = {
        {"sign-in refused",
         [&] {
             account.SetCookie("");
             account.SetUserNameAndPassword("li", "wrong");
         },
         "[悄悄话]登录失败, 无法更新."},
        {"dropped connection", [&] { sim.SetFault("", kList, sim::Fault::DropConnection()); },
         "[悄悄话]网络错误, 更新失败."},
        {"empty page", [&] { sim.SetFault("", kList, sim::Fault::Empty()); }, "[悄悄话]读取网页错误, 更新失败."},
        // A page without a single note block (here the sign-in request page)
        // is not taken for an empty list.
        {"no note block", [&] { sim.SetFault("", kList, sim::Fault::ExpiredSession()); }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        Update(0);
        if (c.line) {
            auto log = NoteLog();
            EXPECT_NE(std::find(log.begin(), log.end(), c.line), log.end());
        }
        EXPECT_EQ(NoteLog().back(), "[悄悄话]更新完成, 0条新信息.");
        EXPECT_EQ(Document().size(), 2u);
        EXPECT_EQ(store->GetItemCount(), 2);
        store->LoadItems(TRUE);
        EXPECT_EQ(store->GetItemCount(), 2);
        sim.ClearFaults();
        account.SetUserNameAndPassword("li", "pw");
    }
}

TEST_F(PrivateUpdateTest, OddBlocks)
{
    auto block = [](const std::string& id, const std::string& title) {
        return "<td width=\"320\" nowrap>主题：" + title +
               "<br>body</td><td><a href=\"s.jsp?ReceiverID=11&ReceiverName=甲&classID=301\">回复</a></td>"
               "<td  align=\"center\" nowrap>t</td><td><input type=\"checkbox\" name=\"isDelete\" value=\"" +
               id + "\"></td>";
    };
    sim.Edit([&](sim::Scenario& s) {
        auto& c = s.Class("301");
        c.rawNotes = true;
        // A note without a number is left out, and the reading goes on; a
        // block whose fields match twice gives its first note only.
        c.rawNoteBlocks = block("", "无编号") + block("9", "第一") +
                          "<td width=\"320\" nowrap>主题：双一<br>b</td><td><a href=\"s.jsp?ReceiverID=11&"
                          "ReceiverName=甲&classID=301\">回复</a></td><td  align=\"center\" nowrap>t</td>"
                          "<td><input type=\"hidden\" value=\"6\"></td>" +
                          block("4", "双二") + "\r\n" + block("5", "末尾");
    });
    Update(1);
    auto doc = Document();
    std::vector<std::string> titles;
    for (const Stored& s : doc)
        titles.push_back(s.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"第一", "双一", "末尾"}));
}

TEST_F(PrivateUpdateTest, NoContactListStoresNothing)
{
    std::filesystem::remove(ClassFolder("301") + "/contact.xml");
    Contacts(schoolClass)->LoadItems(TRUE);
    SetNotes({MakeNote("7", "a", "a", "甲", "11")});
    Update(1);
    EXPECT_TRUE(Document().empty());
    EXPECT_FALSE(std::filesystem::exists(ClassFolder("301") + "/private.xml"));
}

} // namespace
} // namespace tavrin::test
