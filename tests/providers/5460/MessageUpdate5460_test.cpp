#include "tests/providers/5460/MessageFixture.h"

#include "tests/sim/Demo.h"

#include <filesystem>

namespace tavrin::test {
namespace {

// A message with two replies, and two without.
std::vector<sim::Message> ThreeMessages()
{
    sim::Message m3 = MakeMessage("103", "主题三", "2006-06-03 10:00");
    m3.replies = {MakeReply("201", "2006-06-04 09:00", "回复一", "王五", "9"),
                  MakeReply("202", "2006-06-05 09:00", "回复二", "赵六", "10")};
    return {m3, MakeMessage("102", "主题二", "2006-06-02 10:00"), MakeMessage("101", "主题一", "2006-06-01 10:00")};
}

void SetRead(CXmlFile& xml)
{
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    if (!cursor.FindChildElem("message") || !cursor.FindChildElem("item"))
        return;
    do
        cursor.SetAttrib("read", "1");
    while (xml.FindNextElem(TRUE, cursor.GetId()));
}

TEST_F(MessageStore5460Test, FirstRunStoresEveryMessageAndTheStopMark)
{
    Board(ThreeMessages());
    Update(841219, 0);

    auto doc = Document();
    ASSERT_EQ(doc.size(), 3u);
    EXPECT_EQ(doc[0].id, "103`|201`|202");
    EXPECT_EQ(doc[0].custoId, "3");
    EXPECT_EQ(doc[0].read, "0");
    EXPECT_EQ(doc[0].title, "主题三");
    EXPECT_EQ(doc[0].content, "内容103`|回复一`|回复二");
    EXPECT_EQ(doc[0].time, "2006-06-03 10:00`|2006-06-04 09:00`|2006-06-05 09:00");
    EXPECT_EQ(doc[0].user, "张三`|王五`|赵六");
    EXPECT_EQ(doc[0].userId, "7`|9`|10");
    EXPECT_EQ(doc[0].replyNumber, "2");
    EXPECT_EQ(doc[1].id, "102");
    EXPECT_EQ(doc[1].replyNumber, "0");
    EXPECT_EQ(doc[2].id, "101");
    EXPECT_EQ(doc[2].custoId, "1");

    auto last = Last();
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].id, "103`|201`|202");
    EXPECT_EQ(last[0].custoId, "4");
    EXPECT_EQ(store->GetNewMessageCount(), 3);
    EXPECT_EQ(store->GetNewReplyCount(), 2);

    EXPECT_EQ(Sent(), (std::vector<int>{17}));
    EXPECT_EQ(Posted(), (std::vector<int>{27, 21, 4}));
    EXPECT_EQ(ClassLog(schoolClass),
              (std::vector<std::string>{"[留言]开始更新...", "[留言]开始读取第1页...", "[留言]共有1页留言.",
                                        "[留言]开始读取No.103条留言的回复...", "[留言]开始读取第2/1页...",
                                        "[留言]更新完成."}));
    EXPECT_EQ(sim.Count(kReplyPath), 1u);
    // Saved at the end of the update, not only when the store goes.
    EXPECT_TRUE(std::filesystem::exists(ClassFolder("301") + "/message.xml"));

    // The list shows the first reply's time and the author.
    ASSERT_EQ(store->GetItemCount(), 3);
    CMessageItem* first = store->GetItem(0);
    EXPECT_EQ(first->m_id, CString("103"));
    EXPECT_EQ(first->m_time, CString("2006-06-04 09:00"));
    EXPECT_EQ(first->m_user, CString("张三"));
}

TEST_F(MessageStore5460Test, ANulInAPageHidesNothingAfterIt)
{
    sim::Message replied = MakeMessage("102", "二", "2006-06-02 10:00", std::string("前\0后", 5));
    replied.replies = {MakeReply("201", "2006-06-03 10:00", std::string("回\0复", 5)), MakeReply("202", "2006-06-04 10:00", "再")};
    Board({MakeMessage("103", "三", "2006-06-03 10:00"), replied, MakeMessage("101", "一", "2006-06-01 10:00")});
    Update(0, 0);
    EXPECT_EQ(Ids(), (std::vector<std::string>{"103", "102`|201`|202", "101"}));
    auto doc = Document();
    ASSERT_EQ(doc.size(), 3u);
    EXPECT_EQ(doc[1].content, "前 后`|回 复`|再");
}

TEST_F(MessageStore5460Test, RepeatRunStoresNothingButReportsItsEnd)
{
    Board(ThreeMessages());
    Update(0, 0);
    SetRead(*store->GetXmlFile());
    auto before = Document();
    sim.ClearLog();
    const size_t eventsBefore = window.Events().size();

    Update(0, 0);
    auto doc = Document();
    ASSERT_EQ(doc.size(), before.size());
    for (size_t i = 0; i < doc.size(); ++i) {
        EXPECT_EQ(doc[i].id, before[i].id);
        EXPECT_EQ(doc[i].read, "1");
    }
    EXPECT_EQ(Last()[0].custoId, "4");
    EXPECT_EQ(store->GetNewMessageCount(), 0);
    EXPECT_EQ(store->GetNewReplyCount(), 0);
    EXPECT_EQ(ListPages(), (std::vector<int>{1}));
    // Posted codes keep their order; the sent progress code is handled as
    // soon as the window thread looks, so it may come before the posted 27.
    auto events = window.Events();
    std::vector<int> posted, sent;
    for (size_t i = eventsBefore; i < events.size(); ++i)
        if (events[i].code != 0)
            (events[i].sent ? sent : posted).push_back(static_cast<int>(events[i].code));
    EXPECT_EQ(posted, (std::vector<int>{27, 21, 4}));
    EXPECT_EQ(sent, (std::vector<int>{17}));
}

TEST_F(MessageStore5460Test, NewMessageAndNewRepliesOfAStoredOne)
{
    sim::Message b = MakeMessage("102", "有回复", "2006-06-02 10:00");
    b.replies = {MakeReply("201", "2006-06-03 09:00", "一")};
    Board({b, MakeMessage("101", "旧的", "2006-06-01 10:00")});
    Update(0, 0);
    SetRead(*store->GetXmlFile());

    b.replies.push_back(MakeReply("202", "2006-06-05 09:00", "二"));
    b.replies.push_back(MakeReply("203", "2006-06-06 09:00", "三"));
    Board({MakeMessage("103", "新的", "2006-06-04 10:00"), b, MakeMessage("101", "旧的", "2006-06-01 10:00")});
    Update(0, 0);

    EXPECT_EQ(store->GetNewMessageCount(), 1);
    EXPECT_EQ(store->GetNewReplyCount(), 2);
    auto doc = Document();
    ASSERT_EQ(doc.size(), 3u);
    EXPECT_EQ(doc[0].id, "103");
    EXPECT_EQ(doc[0].read, "0");
    // Moved to the head, unread again, stored once.
    EXPECT_EQ(doc[1].id, "102`|201`|202`|203");
    EXPECT_EQ(doc[1].read, "0");
    EXPECT_EQ(doc[1].replyNumber, "3");
    EXPECT_EQ(doc[2].id, "101");
    EXPECT_EQ(doc[2].read, "1");
    EXPECT_EQ(Last()[0].id, "103");
}

TEST_F(MessageStore5460Test, StopMarkInMidPageEndsTheRun)
{
    Board({MakeMessage("103", "c", "2006-06-03 10:00"), MakeMessage("102", "b", "2006-06-02 10:00"),
           MakeMessage("101", "a", "2006-06-01 10:00")},
          3);
    Update(0, 0);
    EXPECT_EQ(Last()[0].id, "103");
    EditBoard([](std::vector<sim::Message>& board) {
        board.insert(board.begin(), MakeMessage("104", "d", "2006-06-04 10:00"));
        board.insert(board.begin(), MakeMessage("105", "e", "2006-06-05 10:00"));
    });
    sim.ClearLog();
    Update(0, 0);
    // Page 1 now shows e, d, c: the run stops at c and reads no page 2.
    EXPECT_EQ(ListPages(), (std::vector<int>{1}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"105", "104", "103", "102", "101"}));
    EXPECT_EQ(store->GetNewMessageCount(), 2);
    EXPECT_EQ(Last()[0].id, "105");
    EXPECT_EQ(Document()[0].custoId, "5");
}

TEST_F(MessageStore5460Test, ReadAllWithAPageLimitReplacesTheStoredBoard)
{
    Board({MakeMessage("90", "旧", "2006-01-01 10:00")});
    Update(0, 0);
    std::vector<sim::Message> board;
    for (int id = 106; id >= 101; --id)
        board.push_back(MakeMessage(std::to_string(id), "t", "2006-06-0" + std::to_string(id - 100) + " 10:00"));
    Board(board, 2);
    sim.ClearLog();

    Update(2, 1);
    EXPECT_EQ(ListPages(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"106", "105", "104", "103"}));
    EXPECT_EQ(Document()[0].custoId, "4");
    EXPECT_EQ(Last()[0].id, "106");
}

TEST_F(MessageStore5460Test, ReadAllThatFailsKeepsTheStoredMessages)
{
    std::vector<sim::Message> board;
    for (int id = 104; id >= 101; --id)
        board.push_back(MakeMessage(std::to_string(id), "t", "2006-06-0" + std::to_string(id - 100) + " 10:00"));
    Board(board, 2);
    Update(0, 0);
    ASSERT_EQ(Ids(), (std::vector<std::string>{"104", "103", "102", "101"}));
    SetRead(*store->GetXmlFile());

    struct Case {
        const char* name;
        std::function<void()> arrange;
        int count;
    } cases[] = {
        {"second page fails", [&] { sim.Edit([](sim::Scenario& s) { s.Class("301").brokenMessagePage = 2; }); },
         841219},
        {"second page empty",
         [&] {
             sim.Edit([](sim::Scenario& s) {
                 s.Class("301").brokenMessagePage = 2;
                 s.Class("301").brokenMessageStatus = 200;
             });
         },
         841219},
        {"first page dropped", [&] { sim.SetFault("", kListPath, sim::Fault::DropConnection()); }, 841219},
        {"signed out", [&] { sim.SetFault("", kListPath, sim::Fault::ExpiredSession()); }, 841219},
        {"no page asked for", [] {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        Update(c.count, 1);
        EXPECT_EQ(Ids(), (std::vector<std::string>{"104", "103", "102", "101"}));
        // Messages read again without news keep their read marks.
        for (const StoredMessage& m : Document())
            EXPECT_EQ(m.read, "1");
        EXPECT_EQ(store->GetItemCount(), 4);
        sim.ClearFaults();
        sim.Edit([](sim::Scenario& s) {
            s.Class("301").brokenMessagePage = 0;
            s.Class("301").brokenMessageStatus = 500;
        });
    }
}

TEST_F(MessageStore5460Test, PinnedMessagesStayPinned)
{
    sim::Message pinned = MakeMessage("100", "置顶的", "2006-05-01 08:00");
    pinned.pinned = true;
    pinned.replies = {MakeReply("150", "2006-05-02 08:00", "顶")};
    Board({pinned, MakeMessage("103", "c", "2006-06-03 10:00"), MakeMessage("102", "b", "2006-06-02 10:00")});
    Update(0, 0);

    EXPECT_EQ(TopIds(), (std::vector<std::string>{"100"}));
    auto doc = Document();
    ASSERT_EQ(doc.size(), 3u);
    EXPECT_EQ(doc[0].id, "100`|150");
    EXPECT_EQ(doc[0].title, "置顶的");
    // The stop mark is the newest regular message, not the old pinned one.
    EXPECT_EQ(Last()[0].id, "103");
    ASSERT_EQ(store->GetItemCount(), 3);
    EXPECT_EQ(store->GetItem(0)->m_id, CString("100"));
    EXPECT_EQ(store->GetItem(0)->m_pinned, 1);
    EXPECT_EQ(store->GetItem(1)->m_pinned, 0);

    // Nothing new: the pinned message is not stored again.
    Update(0, 0);
    EXPECT_EQ(store->GetNewMessageCount(), 0);
    EXPECT_EQ(Document().size(), 3u);

    // Unpinned on the board: "top" goes in a read-all run.
    EditBoard([](std::vector<sim::Message>& board) { board[0].pinned = false; });
    Update(841219, 1);
    EXPECT_TRUE(TopIds().empty());
    EXPECT_EQ(store->GetItem(0)->m_pinned, 0);
}

TEST_F(MessageStore5460Test, StopDuringARunStoresWhatWasRead)
{
    sim::Message b = MakeMessage("102", "b", "2006-06-02 10:00");
    b.replies = {MakeReply("201", "2006-06-03 09:00", "一")};
    Board({b, MakeMessage("101", "a", "2006-06-01 10:00")}, 1);
    auto gate = std::make_shared<sim::Gate>();
    sim.SetFault("", kReplyPath, sim::Fault::StallAt(gate));

    store->StartUpdate(0, 0);
    while (gate->Arrivals() < 1) {
        window.Pump();
        std::this_thread::yield();
    }
    store->StopUpdate();
    Await([&] { return store->IsUpdating(); });
    gate->Open();

    EXPECT_EQ(ListPages(), (std::vector<int>{1}));
    EXPECT_TRUE(Logged("[留言]更新完成."));
    EXPECT_EQ(Sent(), (std::vector<int>{17}));
    EXPECT_EQ(Posted(), (std::vector<int>{27, 21, 4}));
    EXPECT_LE(Document().size(), 1u);
}

TEST_F(MessageStore5460Test, ABoardThatRepeatsItsFirstPageEnds)
{
    std::vector<sim::Message> board;
    for (int id = 104; id >= 101; --id)
        board.push_back(MakeMessage(std::to_string(id), "t", "2006-06-0" + std::to_string(id - 100) + " 10:00"));
    Board(board, 2);
    sim.SetFault("", kListPath, sim::Fault::RepeatFirstPage());
    Update(0, 0);
    EXPECT_EQ(ListPages(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"104", "103"}));
}

TEST_F(MessageStore5460Test, APageWithoutItsTotalIsTheOnlyPage)
{
    Board({MakeMessage("102", "b", "2006-06-02 10:00"), MakeMessage("101", "a", "2006-06-01 10:00")}, 1);
    sim.Edit([](sim::Scenario& s) { s.Class("301").showMessagePageTotal = false; });
    Update(0, 0);
    EXPECT_EQ(ListPages(), (std::vector<int>{1}));
    EXPECT_EQ(Ids(), (std::vector<std::string>{"102"}));
}

TEST_F(MessageStore5460Test, TheDemoBoardReadsWhole)
{
    sim::SeedDemo(sim);
    account.SetUserNameAndPassword("demo", "demo");
    CSchoolClass5460* demo = AddClass("20001");
    store = static_cast<CMessageStore5460*>(demo->GetMessageStore());
    Update(0, 0);
    EXPECT_EQ(ListPages(), (std::vector<int>{1, 2}));
    EXPECT_EQ(store->GetItemCount(), 20);
    EXPECT_EQ(TopIds(), (std::vector<std::string>{"5001"}));
    EXPECT_EQ(store->GetItem(0)->m_id, CString("5001"));
    EXPECT_EQ(store->GetNewReplyCount(), 3);
    CMessageItem* notice = store->FindItem("5020", "");
    ASSERT_NE(notice, nullptr);
    EXPECT_NE(store->RenderPage(notice->m_custoId).Find("tavrin:点击查看编号[7001]的照片"), -1);
}

TEST_F(MessageStore5460Test, DisplayValueOfJoinedFields)
{
    EXPECT_EQ(CMessageStore5460::GetDisplayValue("2006-06-01"), CString("2006-06-01"));
    EXPECT_EQ(CMessageStore5460::GetDisplayValue("a`| b `|c"), CString("b"));
    EXPECT_EQ(CMessageStore5460::GetDisplayValue(""), CString(""));
}

} // namespace
} // namespace tavrin::test
