#include "tests/providers/5460/MessageFixture.h"

#include "platform/win/MessageBox.h"

namespace tavrin::test {
namespace {

std::string Repeat(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

class MessagePosting5460Test : public MessageStore5460Test {
protected:
    MessagePosting5460Test()
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        Board({MakeMessage("102", "别人的", "2006-06-02 10:00", "b", "王五", "9"),
               MakeMessage("101", "我的", "2006-06-01 10:00", "a", "李四", "42")});
    }
    ~MessagePosting5460Test() override { win::ClearMessageBoxAnswers(); }

    void Send(const std::string& subject, const std::string& text)
    {
        store->SetComposeSubject(subject.c_str());
        store->SetComposeContent(text.c_str());
        store->StartSend(subject.c_str(), text.c_str(), 0);
        Await([&] { return store->IsSending() || store->IsUpdating(); });
    }
    void Reply(const std::string& text, const std::string& id)
    {
        store->SetComposeContent(text.c_str());
        store->StartReply("", text.c_str(), id.c_str(), 0);
        Await([&] { return store->IsReplying() || store->IsUpdating(); });
    }
    void Delete(std::vector<std::string> custoIds)
    {
        CStringArray ids;
        for (const std::string& id : custoIds)
            ids.Add(id.c_str());
        store->DeleteItems(ids, FALSE, 0);
        Await([&] { return store->IsDeleting(); });
    }
    // The texts of the boxes shown since the last call.
    std::vector<std::string> Boxes()
    {
        std::vector<std::string> out;
        for (const win::MessageBoxRecord& r : win::TakeMessageBoxLog())
            out.push_back(r.caption + ":" + r.text);
        return out;
    }
    std::vector<std::string> NewLog(size_t from)
    {
        auto log = ClassLog(schoolClass);
        return std::vector<std::string>(log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())),
                                        log.end());
    }
};

const char kIllegal[] = "错误:对不起，留言中包含非法字符：\n“<”“>”“&lt”“&gt;”！";

TEST_F(MessagePosting5460Test, SendChecksThenPostsAndClearsTheComposeText)
{
    struct Case {
        const char* name;
        std::string subject;
        std::string text;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        bool posted;
    } cases[] = {
        {"limits in characters", Repeat("题", 30), Repeat("字", 2000), {}, {}, true},
        {"subject too long", Repeat("题", 31), "text", {}, {"错误:对不起，留言主题不能多于30个字！"}, false},
        {"text too long", "s", Repeat("a", 2001), {}, {"错误:对不起，留言不能多于2000个字！"}, false},
        {"empty subject, OK", "", "text", {IDOK}, {"信息:您的留言主题为空，就这样发送？"}, true},
        {"empty subject, cancelled", "", "text", {IDCANCEL}, {"信息:您的留言主题为空，就这样发送？"}, false},
        {"empty text, cancelled", "s", "", {IDCANCEL}, {"信息:您的留言为空，就这样发送？"}, false},
        {"angle bracket before the length", "s", Repeat("a", 2001) + ">", {}, {kIllegal}, false},
        {"&lt without its semicolon", "s", "a &lt b", {}, {kIllegal}, false},
        {"&gt without its semicolon", "s", "a &gt b", {}, {}, true},
        {"a bracket in the subject", "a<b", "text", {}, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int answer : c.answers)
            win::QueueMessageBoxAnswer(answer);
        sim.ClearLog();
        const size_t logFrom = ClassLog(schoolClass).size();
        Send(c.subject, c.text);
        EXPECT_EQ(Boxes(), c.boxes);
        auto posts = sim.Requests(kSendPath);
        ASSERT_EQ(posts.size(), c.posted ? 1u : 0u);
        auto log = NewLog(logFrom);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), "[留言]开始发送...");
        EXPECT_NE(std::find(log.begin(), log.end(), "[留言]发送完成."), log.end());
        // 9, or 4 from the update a success starts.
        EXPECT_TRUE(Posted().back() == 9 || Posted().back() == 4);
        if (c.posted) {
            EXPECT_EQ(posts[0].Field("Subject"), c.subject);
            EXPECT_EQ(posts[0].Field("Info"), c.text);
            EXPECT_EQ(posts[0].Field("classID"), "301");
            EXPECT_TRUE(store->GetComposeContent().IsEmpty());
            EXPECT_TRUE(store->GetComposeSubject().IsEmpty());
            // The board is read again for the new message.
            EXPECT_EQ(ListPages(), (std::vector<int>{1}));
        } else {
            EXPECT_EQ(store->GetComposeContent(), CString(c.text.c_str()));
            EXPECT_TRUE(ListPages().empty());
        }
    }
}

TEST_F(MessagePosting5460Test, AFailedSendKeepsTheComposeText)
{
    struct Case {
        const char* name;
        sim::Fault fault;
    } cases[] = {
        {"server error", sim::Fault::WithStatus(500)},
        {"not found", sim::Fault::WithStatus(404)},
        {"signed out", sim::Fault::ExpiredSession()},
        {"dropped", sim::Fault::DropConnection()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.SetFault("", kSendPath, c.fault);
        sim.ClearLog();
        const size_t logFrom = ClassLog(schoolClass).size();
        Send("s", "text");
        EXPECT_EQ(NewLog(logFrom), (std::vector<std::string>{"[留言]开始发送...", "[留言]发送失败.",
                                                             "[留言]为避免重复, 请先更新后再重试.", "[留言]发送完成."}));
        EXPECT_EQ(store->GetComposeContent(), CString("text"));
        EXPECT_TRUE(ListPages().empty());
        EXPECT_EQ(Posted().back(), 9);
        sim.ClearFaults();
    }
    // Sent with a single retry.
    sim.SetFault("", kSendPath, sim::Fault::DropConnection());
    sim.ClearLog();
    Send("s", "text");
    EXPECT_EQ(sim.Count(kSendPath), 2u);
}

TEST_F(MessagePosting5460Test, ReplyLimitsAndSuccess)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> boxes;
        bool posted;
    } cases[] = {
        {"1000 characters", Repeat("回", 1000), {}, true},
        {"1001 characters", Repeat("回", 1001), {"错误:对不起，留言不能多于1000个字！"}, false},
        {"empty, no question", "", {}, true},
        {"illegal", "a<b", {kIllegal}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.ClearLog();
        const size_t logFrom = ClassLog(schoolClass).size();
        Reply(c.text, "102");
        EXPECT_EQ(Boxes(), c.boxes);
        auto posts = sim.Requests(kReplyFormPath);
        ASSERT_EQ(posts.size(), c.posted ? 1u : 0u);
        auto log = NewLog(logFrom);
        EXPECT_EQ(log.front(), "[留言]开始回复...");
        if (c.posted) {
            EXPECT_EQ(posts[0].Field("liuyanID"), "102");
            EXPECT_EQ(posts[0].Field("Info"), c.text);
            EXPECT_NE(std::find(log.begin(), log.end(), "[留言]回复成功."), log.end());
            EXPECT_TRUE(store->GetComposeContent().IsEmpty());
            EXPECT_EQ(ListPages(), (std::vector<int>{1}));
        } else {
            EXPECT_EQ(log.back(), "[留言]回复完成.");
            EXPECT_EQ(Posted().back(), 10);
        }
    }
    sim.SetFault("", kReplyFormPath, sim::Fault::ExpiredSession());
    const size_t logFrom = ClassLog(schoolClass).size();
    Reply("again", "102");
    EXPECT_EQ(NewLog(logFrom), (std::vector<std::string>{"[留言]开始回复...", "[留言]回复失败.",
                                                         "[留言]为避免重复, 请先更新后再重试.", "[留言]回复完成."}));
    EXPECT_EQ(store->GetComposeContent(), CString("again"));
}

TEST_F(MessagePosting5460Test, DeleteRemovesLocallyAndConfirmsOnTheBoard)
{
    Update(0, 0);
    ASSERT_EQ(Ids(), (std::vector<std::string>{"102", "101"}));
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::vector<std::string> custoIds;
        std::vector<std::string> lines;
        size_t deletes;
    } cases[] = {
        {"unknown custo_id", [] {}, {"9"}, {}, 0},
        {"empty list", [] {}, {}, {}, 0},
        {"another member's message", [] {}, {"2"}, {"[留言]开始删除留言, 编号102...", "[留言]无权删除该留言, 编号102..."}, 1},
        {"own message", [] {}, {"1"}, {"[留言]开始删除留言, 编号101...", "[留言]成功删除留言, 编号101..."}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        sim.ClearLog();
        const size_t logFrom = ClassLog(schoolClass).size();
        const size_t posted = Posted().size();
        Delete(c.custoIds);
        std::vector<std::string> expected = {"[留言]开始删除..."};
        expected.insert(expected.end(), c.lines.begin(), c.lines.end());
        expected.push_back("[留言]删除完成.");
        EXPECT_EQ(NewLog(logFrom), expected);
        EXPECT_EQ(sim.Count(kDeletePath), c.deletes);
        EXPECT_EQ(Posted().size(), posted + 1);
        EXPECT_EQ(Posted().back(), 5);
    }
    // The board refused another member's message: it stays listed, as it
    // stays on the board. The own message is gone.
    EXPECT_EQ(Ids(), (std::vector<std::string>{"102"}));
    ASSERT_EQ(store->GetItemCount(), 1);
    EXPECT_EQ(store->GetItem(0)->m_id, CString("102"));
}

TEST_F(MessagePosting5460Test, DeleteJudgesByTheMessagesOwnPage)
{
    sim.Edit([](sim::Scenario& s) {
        for (int id = 110; id < 114; ++id)
            s.Class("301").messages.insert(s.Class("301").messages.begin(),
                                           MakeMessage(std::to_string(id), "t", "2006-06-0" + std::to_string(id - 107) + " 10:00",
                                                       "x", "李四", "42"));
    });
    Update(0, 0);
    ASSERT_EQ(Ids().size(), 6u);
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string custoId;
        std::string line;
        std::string id;
        bool kept;
    } cases[] = {
        // The request failed but the message is gone from the board.
        {"dropped, gone",
         [&] {
             sim.SetFault("", kDeletePath, sim::Fault::DropConnection());
             EditBoard([](std::vector<sim::Message>& b) { b.erase(b.begin()); });
         },
         "6", "[留言]成功删除留言, 编号113.", "113", false},
        {"dropped, still there", [&] { sim.SetFault("", kDeletePath, sim::Fault::DropConnection()); }, "5",
         "[留言]删除留言失败, 编号112.", "112", true},
        // A sign-in page is no success: the message still shows its form.
        {"signed out", [&] { sim.SetFault("", kDeletePath, sim::Fault::ExpiredSession()); }, "4",
         "[留言]删除留言失败, 编号111.", "111", true},
        {"check page signed out too",
         [&] {
             sim.SetFault("", kDeletePath, sim::Fault::DropConnection());
             sim.SetFault("", kReplyPath, sim::Fault::ExpiredSession());
             EditBoard([](std::vector<sim::Message>& b) {
                 b.erase(std::find_if(b.begin(), b.end(), [](const sim::Message& m) { return m.id == "110"; }));
             });
         },
         "3", "[留言]删除留言失败, 编号110.", "110", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        const size_t logFrom = ClassLog(schoolClass).size();
        Delete({c.custoId});
        auto log = NewLog(logFrom);
        ASSERT_GE(log.size(), 3u);
        EXPECT_EQ(log[log.size() - 2], c.line);
        // Only a deletion the board shows done removes the message here.
        std::vector<std::string> ids = Ids();
        EXPECT_EQ(std::find(ids.begin(), ids.end(), c.id) != ids.end(), c.kept);
        sim.ClearFaults();
    }
}

TEST_F(MessagePosting5460Test, ContentLengthCountsCharacters)
{
    store->SetComposeContent("中文ab");
    EXPECT_EQ(store->GetContentLength(), 4);
    store->SetComposeContent("");
    EXPECT_EQ(store->GetContentLength(), 0);
}

} // namespace
} // namespace tavrin::test
