// The message board update against the simulated board.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/XmlFile.h"
#include "providers/chinaren/MessageStoreChinaRen.h"

#include <gtest/gtest.h>

namespace tavrin::test {
namespace {

using sim::chinaren::BoardRow;

BoardRow Row(const std::string& id, const std::string& time, const std::string& content, int kind = 0)
{
    BoardRow row;
    row.id = id;
    row.user = "用户" + id;
    row.time = time + " 星期三";
    row.content = content;
    row.kind = kind;
    return row;
}

class ChinaRenBoard : public ChinaRenTest {
protected:
    ChinaRenBoard()
    {
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301"};
            d.AddClass("301").name = "一班";
        });
        schoolClass = AddClass("301");
        store = static_cast<CMessageStoreChinaRen*>(schoolClass->GetMessageStore());
    }

    void SetBoard(std::vector<BoardRow> rows, int perPage = 5)
    {
        site.Edit([&](sim::chinaren::Data& d) {
            d.FindClass("301")->board = std::move(rows);
            d.FindClass("301")->rowsPerPage = perPage;
        });
    }
    sim::chinaren::Class& Class(sim::chinaren::Data& d) { return *d.FindClass("301"); }
    void Update(int count, int mode) { window.RunOnWorker([&] { store->Update(count, mode); }); }
    std::string Xml() { return TempDir::Read(dir.Path() / (ClassFolder("301") + "/message.xml")); }
    // The stored messages' ids in document order, with their custo_ids.
    std::vector<std::string> Items(const char* parent = nullptr)
    {
        std::vector<std::string> out;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (!cursor.FindChildElem("message") || (parent && !cursor.FindChildElem(parent)) || !cursor.FindChildElem("item"))
            return out;
        do {
            out.push_back(cursor.GetAttrib("id").Str() + ":" + cursor.GetAttrib("custo_id").Str());
        } while (store->GetXmlFile()->FindNextElem(TRUE, cursor.GetId()));
        return out;
    }
    CMessageItemChinaRen Stored(const char* custoId)
    {
        CMessageItemChinaRen item;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElemWithAttrib("item", "custo_id", custoId))
            CMessageItemChinaRen::ReadXml(&item, &cursor);
        return item;
    }
    CMessageItemChinaRen Element(const char* name)
    {
        CMessageItemChinaRen item;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem(name)) {
            if (std::string(name) == "vote" && !cursor.FindChildElem("item"))
                return item;
            CMessageItemChinaRen::ReadXml(&item, &cursor);
        }
        return item;
    }
    std::vector<std::string> Pages()
    {
        std::vector<std::string> out;
        for (const auto& request : sim.Log())
            if (request.path.find("class_leaveword") != std::string::npos)
                out.push_back(request.query);
        return out;
    }

    CSchoolClassChinaRen* schoolClass = nullptr;
    CMessageStoreChinaRen* store = nullptr;
};

TEST_F(ChinaRenBoard, FirstRunReadsAllThreeListings)
{
    BoardRow guest = Row("12", "2005-05-30 09:00:00", "guest's \"hello\" C:\\dir");
    guest.guest = true;
    guest.deletable = false;
    BoardRow flat = Row("11", "2005-05-29 09:00:00", "flat <b>text</b>");
    flat.flat = true;
    SetBoard({Row("13", "2005-05-31 09:00:00", "newest"), guest, flat, Row("7", "2004-01-02 10:00:00", "old", 1),
              Row("3", "2003-01-02 10:00:00", "oldest", 2)});
    Update(1, 0);
    EXPECT_EQ(Items(), (std::vector<std::string>{"13:5", ":4", "11:3", "7:2", "3:1"}));
    const CMessageItemChinaRen newest = Stored("5");
    EXPECT_EQ(newest.m_time, CString("2005-05-31 09:00:00"));
    EXPECT_EQ(newest.m_user, CString("用户13"));
    EXPECT_EQ(newest.m_content, CString("newest"));
    EXPECT_EQ(newest.m_title, CString("newest"));
    const CMessageItemChinaRen fromGuest = Stored("4");
    EXPECT_EQ(fromGuest.m_user, CString("用户12"));
    EXPECT_EQ(fromGuest.m_content, CString("guest's \"hello\" C:\\dir"));
    EXPECT_TRUE(fromGuest.m_id.IsEmpty());
    const CMessageItemChinaRen flatItem = Stored("3");
    EXPECT_EQ(flatItem.m_content, CString("flat <b>text</b>"));
    EXPECT_EQ(flatItem.m_title, CString("flat text"));
    const CMessageItemChinaRen last = Element("last");
    EXPECT_EQ(last.m_custoId, CString("6"));
    EXPECT_EQ(last.m_time, newest.m_time);
    EXPECT_EQ(store->GetNewMessageCount(), 5);
    EXPECT_EQ(store->GetItemCount(), 5);
    EXPECT_EQ(Pages(), (std::vector<std::string>{"classuuid=301&p=1", "classuuid=301&p=1&msgtype=1&type=3",
                                                 "classuuid=301&p=1&msgtype=1&type=4"}));
    EXPECT_EQ(window.Codes(WM_CLASS_EVENT, true), std::vector<int>{17});
    std::vector<int> posted;
    for (int code : window.Codes(WM_CLASS_EVENT, false))
        if (code != 0)
            posted.push_back(code);
    EXPECT_EQ(posted, (std::vector<int>{27, 21, 4}));
    // Written at the end.
    EXPECT_NE(Xml().find("custo_id=\"5\""), std::string::npos);
}

TEST_F(ChinaRenBoard, NewestRunStopsAtTheMark)
{
    std::vector<BoardRow> rows;
    for (int i = 20; i >= 11; --i)
        rows.push_back(Row(std::to_string(i), "2005-05-" + std::to_string(i) + " 09:00:00", "m" + std::to_string(i)));
    SetBoard(rows, 3);
    Update(1, 0);
    ASSERT_EQ(Items().size(), 10u);
    rows.insert(rows.begin(), Row("22", "2005-05-22 09:00:00", "m22"));
    rows.insert(rows.begin(), Row("21", "2005-05-21 09:00:00", "m21"));
    std::swap(rows[0], rows[1]);
    SetBoard(rows, 3);
    sim.ClearLog();
    Update(1, 0);
    // The mark stands on page 1: no further page, the vote still read.
    EXPECT_EQ(Pages(), std::vector<std::string>{"classuuid=301&p=1"});
    EXPECT_EQ(sim.Count("/class/class_index.jsp"), 1u);
    auto items = Items();
    ASSERT_EQ(items.size(), 12u);
    EXPECT_EQ(items[0], "22:12");
    EXPECT_EQ(items[1], "21:11");
    EXPECT_EQ(store->GetNewMessageCount(), 2);
    EXPECT_EQ(Element("last").m_custoId, CString("13"));
}

TEST_F(ChinaRenBoard, PageLimitAndClosingPages)
{
    // The current board closes on its first page; that page is not counted.
    SetBoard({Row("9", "2005-05-09 09:00:00", "a"), Row("8", "2005-05-08 09:00:00", "b", 1),
              Row("7", "2005-05-07 09:00:00", "c", 1), Row("6", "2005-05-06 09:00:00", "d", 1)},
             2);
    site.Edit([&](sim::chinaren::Data& d) { Class(d).closingText = true; });
    Update(1, 1);
    EXPECT_EQ(Pages(), (std::vector<std::string>{"classuuid=301&p=1", "classuuid=301&p=1&msgtype=1&type=3"}));
    EXPECT_EQ(Items(), (std::vector<std::string>{"9:3", "8:2", "7:1"}));
}

TEST_F(ChinaRenBoard, RepeatingBoardEndsItsListing)
{
    SetBoard({Row("9", "2005-05-09 09:00:00", "a"), Row("8", "2005-05-08 09:00:00", "b")}, 5);
    site.Edit([&](sim::chinaren::Data& d) { Class(d).closingText = false; });
    Update(1, 0);
    // Page 2 repeats page 1; the history listings answer no rows.
    EXPECT_EQ(Pages(), (std::vector<std::string>{"classuuid=301&p=1", "classuuid=301&p=2",
                                                 "classuuid=301&p=1&msgtype=1&type=3",
                                                 "classuuid=301&p=1&msgtype=1&type=4"}));
    EXPECT_EQ(Items(), (std::vector<std::string>{"9:2", "8:1"}));
}

TEST_F(ChinaRenBoard, PinnedRows)
{
    BoardRow p1 = Row("31", "2005-05-31 09:00:00", "pinned one");
    p1.pinned = true;
    BoardRow p2 = Row("30", "2005-05-10 09:00:00", "pinned two");
    p2.pinned = true;
    const std::vector<BoardRow> ordinary = {Row("20", "2005-05-20 09:00:00", "x"), Row("5", "2005-05-05 09:00:00", "y")};
    std::vector<BoardRow> rows = {p1, p2};
    rows.insert(rows.end(), ordinary.begin(), ordinary.end());
    SetBoard(rows);
    Update(1, 0);
    // Each pinned row is also stored at its place in time.
    EXPECT_EQ(Items(), (std::vector<std::string>{"31:4", "20:3", "30:2", "5:1"}));
    EXPECT_EQ(Items("top"), (std::vector<std::string>{"30:-1", "31:-1"}));

    // The same pinned rows in another order: "top" stays as it is.
    store->GetXmlFile()->Save();
    const std::string before = Xml();
    rows = {p2, p1};
    rows.insert(rows.end(), ordinary.begin(), ordinary.end());
    SetBoard(rows);
    Update(1, 0);
    EXPECT_EQ(Items("top"), (std::vector<std::string>{"30:-1", "31:-1"}));

    // One more pinned row: "top" is written again with all of them.
    BoardRow p3 = Row("32", "2005-05-15 09:00:00", "pinned three");
    p3.pinned = true;
    rows = {p1, p3, p2};
    rows.insert(rows.end(), ordinary.begin(), ordinary.end());
    SetBoard(rows);
    Update(1, 0);
    EXPECT_EQ(Items("top"), (std::vector<std::string>{"30:-1", "32:-1", "31:-1"}));

    // No pinned row any more: mode 0 keeps "top", mode 1 empties it.
    SetBoard(ordinary);
    Update(1, 0);
    EXPECT_EQ(Items("top").size(), 3u);
    Update(3000, 1);
    EXPECT_TRUE(Items("top").empty());
}

TEST_F(ChinaRenBoard, PinnedRowBetweenTheMarkAndTheRowsIsTheOldestNewMessage)
{
    SetBoard({Row("20", "2005-05-20 09:00:00", "a"), Row("10", "2005-05-10 09:00:00", "b")});
    Update(1, 0);
    BoardRow pinned = Row("25", "2005-05-25 09:00:00", "p");
    pinned.pinned = true;
    SetBoard({pinned, Row("30", "2005-05-30 09:00:00", "c"), Row("20", "2005-05-20 09:00:00", "a"),
              Row("10", "2005-05-10 09:00:00", "b")});
    Update(1, 0);
    EXPECT_EQ(Items(), (std::vector<std::string>{"30:4", "25:3", "20:2", "10:1"}));
    EXPECT_EQ(store->GetNewMessageCount(), 2);
    EXPECT_EQ(Element("last").m_custoId, CString("5"));
}

TEST_F(ChinaRenBoard, FailedRebuildKeepsEveryMessageAndItsReadMark)
{
    std::vector<BoardRow> rows;
    for (int i = 16; i >= 11; --i)
        rows.push_back(Row(std::to_string(i), "2005-05-" + std::to_string(i) + " 09:00:00", "m" + std::to_string(i)));
    SetBoard(rows, 2);
    Update(1, 0);
    ASSERT_EQ(Items().size(), 6u);
    {
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        ASSERT_TRUE(cursor.FindChildElem("message") && cursor.FindChildElemWithAttrib("item", "id", "12"));
        cursor.SetAttrib("read", "1");
    }
    site.Edit([&](sim::chinaren::Data& d) { Class(d).brokenBoardPage = 3; });
    Update(3000, 1);
    auto items = Items();
    ASSERT_EQ(items.size(), 6u);
    CXmlCursor cursor(*store->GetXmlFile());
    store->GetXmlFile()->ResetPos(cursor.GetId());
    ASSERT_TRUE(cursor.FindChildElem("message") && cursor.FindChildElemWithAttrib("item", "id", "12"));
    EXPECT_EQ(cursor.GetAttrib("read"), CString("1"));

    // A rebuild that reads the whole board keeps the read mark too.
    site.Edit([&](sim::chinaren::Data& d) { Class(d).brokenBoardPage = 0; });
    Update(3000, 1);
    ASSERT_EQ(Items().size(), 6u);
    CXmlCursor again(*store->GetXmlFile());
    store->GetXmlFile()->ResetPos(again.GetId());
    ASSERT_TRUE(again.FindChildElem("message") && again.FindChildElemWithAttrib("item", "id", "12"));
    EXPECT_EQ(again.GetAttrib("read"), CString("1"));
}

TEST_F(ChinaRenBoard, ContentIsCleaned)
{
    SetBoard({Row("9", "2005-05-09 09:00:00", "hi<ScRiPt>alert(1)</ScRiPt><img src=x onerror=alert(1) >there")});
    Update(1, 0);
    EXPECT_EQ(Stored("1").m_content, CString("hi<img src=x >there"));
}

TEST_F(ChinaRenBoard, ClassVoteForms)
{
    SetBoard({Row("9", "2005-05-09 09:00:00", "a")});
    site.Edit([&](sim::chinaren::Data& d) {
        Class(d).vote = sim::chinaren::VoteForm::Ballot;
        Class(d).voteCreator = "王老师";
        Class(d).voteReason = "定一下";
        Class(d).voteTitle = "春游还是秋游";
    });
    Update(1, 0);
    CMessageItemChinaRen vote = Element("vote");
    EXPECT_EQ(vote.m_custoId, CString("-10000"));
    EXPECT_EQ(vote.m_id, CString("-1"));
    EXPECT_EQ(vote.m_time, CString("-"));
    EXPECT_EQ(vote.m_user, CString("王老师"));
    EXPECT_EQ(vote.m_title, CString("春游还是秋游"));
    EXPECT_EQ(vote.m_voteReason, CString("定一下"));
    EXPECT_EQ(vote.m_content.Find("<script"), -1) << vote.m_content.Str();
    EXPECT_EQ(vote.m_content.Find("target=_blank"), -1);
    EXPECT_EQ(vote.m_content.Find("查看"), -1);
    EXPECT_NE(vote.m_content.Find("action=\"tavrin:投票\""), -1) << vote.m_content.Str();
    EXPECT_NE(vote.m_content.Find("<input class=txtbtn type=\"button\" value=\"投票\" onclick=\"doSubmit()\">"), -1);
    EXPECT_NE(vote.m_content.Find("<input type=radio name=voteitem value=1>"), -1);

    site.Edit([&](sim::chinaren::Data& d) { Class(d).vote = sim::chinaren::VoteForm::Shown; });
    Update(1, 0);
    vote = Element("vote");
    EXPECT_EQ(vote.m_title, CString("春游还是秋游"));
    EXPECT_EQ(vote.m_content.Find("class_vote.jsp"), -1);
    EXPECT_NE(vote.m_content.Find("<td width=200>比例</td>"), -1);

    site.Edit([&](sim::chinaren::Data& d) { Class(d).vote = sim::chinaren::VoteForm::None; });
    Update(1, 0);
    EXPECT_TRUE(Element("vote").m_custoId.IsEmpty());
    EXPECT_EQ(Xml().find("<vote>"), std::string::npos);
}

} // namespace
} // namespace tavrin::test
