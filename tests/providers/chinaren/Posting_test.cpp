// Posting to the simulated board: new messages, replies, the vote and
// deleting, with the verification code's rejection and resubmission.
#include "tests/providers/chinaren/ChinaRenFixture.h"

#include "core/model/ModelEvents.h"
#include "core/services/TextUtil.h"
#include "core/services/XmlFile.h"
#include "platform/base/Clock.h"
#include "platform/win/MessageBox.h"
#include "providers/chinaren/MessageStoreChinaRen.h"
#include "providers/chinaren/site.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tavrin::test {
namespace {

using sim::chinaren::BoardRow;

const char kPostPath[] = "/class/class_leaveword.jsp";

std::string Repeat(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

BoardRow Row(const std::string& id, const std::string& user, const std::string& time, const std::string& content)
{
    BoardRow row;
    row.id = id;
    row.user = user;
    row.time = time + " 星期三";
    row.content = content;
    return row;
}

class ChinaRenPosting : public ChinaRenTest {
protected:
    ChinaRenPosting()
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        SeedUser();
        site.Edit([](sim::chinaren::Data& d) {
            d.users[0].classIds = {"301"};
            d.AddClass("301").name = "一班";
            d.FindClass("301")->board = {Row("13", "张三", "2005-05-31 09:00:00", "第三条"),
                                         Row("12", "李四", "2005-05-30 09:00:00", "第二条"),
                                         Row("11", "王五", "2005-05-29 09:00:00", "第一条")};
        });
        schoolClass = AddClass("301");
        store = static_cast<CMessageStoreChinaRen*>(schoolClass->GetMessageStore());
        SignIn();
        window.RunOnWorker([&] { store->Update(1, 0); });
        UseDrawnCode();
        sim.ClearLog();
        window.Pump();
        postedFrom = window.Codes(WM_CLASS_EVENT, false).size();
    }
    ~ChinaRenPosting() override { win::ClearMessageBoxAnswers(); }

    // The query of the picture for the store's current key.
    std::string Query()
    {
        sim::chinaren::User user = site.Edit([](sim::chinaren::Data& d) { return d.users[0]; });
        return sim::chinaren::MessagePictureQuery(user, "301", store->GetAuthKey("").Str());
    }
    // Types the code that the site drew for the store's key.
    void UseDrawnCode() { store->SetAuthCode(site.CodeFor(Query()).c_str(), ""); }

    void Send(const std::string& text)
    {
        store->SetComposeContent(text.c_str());
        store->StartSend("", text.c_str(), 0);
        Await([&] { return store->IsSending() || store->IsUpdating(); });
    }
    void Reply(const std::string& text)
    {
        store->SetComposeMode(1);
        store->SetComposeContent(text.c_str());
        store->StartReply("", text.c_str(), "", 0);
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
    std::vector<std::string> Posts()
    {
        std::vector<std::string> out;
        for (const auto& request : sim.Requests(kPostPath))
            if (request.method == "POST")
                out.push_back(request.body);
        return out;
    }
    bool BoardRead()
    {
        for (const auto& request : sim.Requests(kPostPath))
            if (request.method == "GET" && request.query.find("p=1") != std::string::npos)
                return true;
        return false;
    }
    std::string Body(int remLen, const std::string& words)
    {
        return "classuuid=301&type=0&isedit=+&met=add&msgtype=1&wordid=0&add=1&remLen=" + std::to_string(remLen) +
               "&ark=" + store->GetAuthCode("").Str() + "&tm=" + store->GetAuthKey("").Str() + "&words=" + words;
    }
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
    // Posted class events without the log's 0.
    std::vector<int> Posted()
    {
        std::vector<int> out;
        auto codes = window.Codes(WM_CLASS_EVENT, false);
        for (size_t i = postedFrom; i < codes.size(); ++i)
            if (int code = codes[i]; code != 0)
                out.push_back(code);
        return out;
    }
    std::vector<std::string> BoardIds()
    {
        return site.Edit([](sim::chinaren::Data& d) {
            std::vector<std::string> out;
            for (const BoardRow& row : d.FindClass("301")->board)
                out.push_back(row.id);
            return out;
        });
    }
    // custo_ids of the stored items in the store's list.
    std::vector<std::string> Listed()
    {
        std::vector<std::string> out;
        for (int i = 0; i < store->GetItemCount(); ++i)
            out.push_back(store->GetItem(i)->m_custoId.Str());
        return out;
    }
    std::string CustoIdOf(const std::string& id)
    {
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElemWithAttrib("item", "id", id.c_str()))
            return cursor.GetAttrib("custo_id").Str();
        return {};
    }

    CSchoolClassChinaRen* schoolClass = nullptr;
    CMessageStoreChinaRen* store = nullptr;
    size_t postedFrom = 0;
};

TEST_F(ChinaRenPosting, SendBodiesAndLimits)
{
    const std::string chinese = Repeat("字", 1000);
    struct Case {
        const char* name;
        std::string text;
        std::vector<int> answers;
        std::vector<std::string> boxes;
        bool posted;
        int remLen;
        std::string words;
    } cases[] = {
        {"ascii", "abc", {}, {}, true, 997, "abc"},
        {"a space", "a b", {}, {}, true, 997, "a+b"},
        {"1000 Chinese characters", chinese, {}, {}, true, -5000, UrlEncode(chinese.c_str()).Str()},
        {"1000 characters", Repeat("x", 1000), {}, {}, true, 0, Repeat("x", 1000)},
        {"1001 characters", Repeat("x", 1001), {}, {"错误:对不起，留言不能超过1000个字！"}, false, 0, ""},
        {"empty, OK", "", {IDOK}, {"信息:您的留言为空，就这样发送？"}, true, 1000, ""},
        {"empty, cancelled", "", {IDCANCEL}, {"信息:您的留言为空，就这样发送？"}, false, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int answer : c.answers)
            win::QueueMessageBoxAnswer(answer);
        sim.ClearLog();
        const size_t from = ClassLog(schoolClass).size();
        const std::string expected = Body(c.remLen, c.words);
        Send(c.text);
        EXPECT_EQ(Boxes(), c.boxes);
        auto log = NewLog(from);
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.front(), "[留言]开始发送...");
        if (!c.posted) {
            EXPECT_TRUE(Posts().empty());
            EXPECT_EQ(store->GetComposeContent(), CString(c.text.c_str()));
            EXPECT_FALSE(BoardRead());
            EXPECT_EQ(log.back(), c.text.empty() ? "[留言]内容为空, 放弃发送." : "[留言]内容太长, 放弃发送.");
            continue;
        }
        ASSERT_EQ(Posts().size(), 1u);
        EXPECT_EQ(Posts()[0], expected);
        EXPECT_NE(std::find(log.begin(), log.end(), "[留言]发送成功."), log.end());
        EXPECT_TRUE(store->GetComposeContent().IsEmpty());
        // The update that follows brings the new message.
        EXPECT_TRUE(BoardRead());
    }
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 9), 7);
}

TEST_F(ChinaRenPosting, ReplyAddressesTheAuthor)
{
    const std::string custoId = CustoIdOf("13");
    ASSERT_FALSE(custoId.empty());
    store->SetCurrentCustoId(custoId.c_str());
    store->SetComposeMode(1);
    store->SetComposeContent("好");
    // "To ", two characters, ": " and one.
    EXPECT_EQ(store->GetContentLength(), 8);
    Reply("好");
    ASSERT_EQ(Posts().size(), 1u);
    EXPECT_EQ(Posts()[0], Body(1000 - static_cast<int>(UrlEncode("To 张三: 好").GetLength()),
                               UrlEncode("To 张三: 好").Str()));
    EXPECT_EQ(site.Edit([](sim::chinaren::Data& d) { return d.FindClass("301")->board[0].content; }),
              "To 张三: 好");
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 10), 1);
    // The new message arrived with the update.
    EXPECT_FALSE(CustoIdOf("900").empty());

    // Without a current item nothing is put in front.
    sim.ClearLog();
    store->SetCurrentCustoId("");
    Reply("plain");
    ASSERT_EQ(Posts().size(), 1u);
    EXPECT_NE(Posts()[0].find("&words=plain"), std::string::npos);
}

TEST_F(ChinaRenPosting, RejectedCodeRefreshesThePictureAndTheResubmissionGoes)
{
    const std::string picture = ClassFolder("301") + "/auth_message.gif";
    const std::string oldPicture = TempDir::Read(dir.Path() / picture);
    ASSERT_FALSE(oldPicture.empty());
    const CString oldKey = store->GetAuthKey("");
    clock::UseManual(kNow + 7);
    store->SetAuthCode("ZZZZ", "");
    const size_t from = ClassLog(schoolClass).size();
    Send("hello");
    ASSERT_EQ(Posts().size(), 1u);
    auto log = NewLog(from);
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"[留言]认证信息错误.", "[留言]发送失败."}));
    EXPECT_TRUE(store->GetAuthCode("").IsEmpty());
    EXPECT_EQ(store->GetAuthKey(""), CString("1117584007500"));
    EXPECT_NE(store->GetAuthKey(""), oldKey);
    const std::string code = site.CodeFor(Query());
    ASSERT_FALSE(code.empty());
    EXPECT_EQ(TempDir::Read(dir.Path() / picture), sim::chinaren::DrawCode(code));
    EXPECT_EQ(Posted(), (std::vector<int>{14, 9}));
    EXPECT_EQ(store->GetComposeContent(), CString("hello"));
    EXPECT_FALSE(BoardRead());

    // The main window's resubmission with the code read from the new picture.
    sim.ClearLog();
    store->SetAuthCode(code.c_str(), "");
    store->StartSend(store->GetComposeSubject(), store->GetComposeContent(), 0);
    Await([&] { return store->IsSending() || store->IsUpdating(); });
    EXPECT_EQ(ClassLog(schoolClass).back(), "[留言]更新完成.");
    EXPECT_TRUE(store->GetComposeContent().IsEmpty());
    EXPECT_EQ(BoardIds().front(), "900");
    EXPECT_FALSE(CustoIdOf("900").empty());
}

TEST_F(ChinaRenPosting, RejectedReplyPostsItsOwnEvent)
{
    const std::string custoId = CustoIdOf("12");
    store->SetCurrentCustoId(custoId.c_str());
    store->SetAuthCode("ZZZZ", "");
    Reply("re");
    auto posted = Posted();
    EXPECT_EQ(std::vector<int>(posted.end() - 2, posted.end()), (std::vector<int>{16, 10}));
    EXPECT_EQ(store->GetCurrentCustoId(), CString(custoId.c_str()));
    EXPECT_EQ(store->GetComposeContent(), CString("re"));
}

TEST_F(ChinaRenPosting, AnErrorAnswerKeepsTheText)
{
    sim.SetFault(tavrin::chinaren::kClassHost, kPostPath, sim::Fault::WithStatus(500));
    const size_t from = ClassLog(schoolClass).size();
    Send("hello");
    auto log = NewLog(from);
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"[留言]发送失败.", "[留言]为避免重复, 请先更新后再重试."}));
    EXPECT_EQ(store->GetComposeContent(), CString("hello"));
    EXPECT_EQ(sim.Requests(kPostPath).size(), 1u);
    EXPECT_EQ(Posted().back(), 9);
}

TEST_F(ChinaRenPosting, AnAnsweredPostStoresTheCookie)
{
    site.Edit([](sim::chinaren::Data& d) { d.postCookie = "fresh"; });
    Send("hello");
    EXPECT_NE(account.GetCookie().Find("crpost=fresh"), -1);
}

TEST_F(ChinaRenPosting, VoteRemovesTheButtonAndPostsTheBallot)
{
    site.Edit([](sim::chinaren::Data& d) {
        sim::chinaren::Class& c = *d.FindClass("301");
        c.vote = sim::chinaren::VoteForm::Ballot;
        c.voteTitle = "去哪儿";
    });
    auto storedVote = [&] {
        CMessageItemChinaRen vote;
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        if (cursor.FindChildElem("message") && cursor.FindChildElem("vote") && cursor.FindChildElem("item"))
            CMessageItemChinaRen::ReadXml(&vote, &cursor);
        return vote.m_content;
    };
    struct Case {
        const char* name;
        bool fault;
        int status;
        const char* line;
    } cases[] = {
        {"taken", false, 0, "[留言]投票成功."},
        {"failed", true, 500, "[留言]投票失败."},
        {"not recognised", true, 200, "[留言]未知错误, 无法投票."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        site.Edit([](sim::chinaren::Data& d) { d.FindClass("301")->vote = sim::chinaren::VoteForm::Ballot; });
        window.RunOnWorker([&] { store->Update(1, 0); });
        ASSERT_NE(storedVote().Find(tavrin::chinaren::kVoteButton), -1);
        sim.ClearLog();
        sim.ClearFaults();
        if (c.fault)
            sim.SetFault(tavrin::chinaren::kClassHost, "/class/class_vote.jsp", sim::Fault::WithStatus(c.status));
        const size_t from = ClassLog(schoolClass).size();
        std::string ballot = "voteitem=2&classuuid=301";
        CByteArray form;
        form.SetSize(static_cast<INT_PTR>(ballot.size() + 4));
        std::copy(ballot.begin(), ballot.end(), form.GetData());
        std::copy_n("\0xx", 4, form.GetData() + ballot.size());
        window.RunOnWorker([&] { store->Vote(form, 0); });
        Await([&] { return store->IsUpdating(); });
        EXPECT_EQ(storedVote().Find(tavrin::chinaren::kVoteButton), -1);
        auto log = NewLog(from);
        EXPECT_NE(std::find(log.begin(), log.end(), c.line), log.end());
        EXPECT_NE(std::find(log.begin(), log.end(), "[留言]投票完成."), log.end());
        ASSERT_EQ(sim.Requests("/class/class_vote.jsp").size(), 1u);
        EXPECT_EQ(sim.Requests("/class/class_vote.jsp")[0].body, ballot);
        EXPECT_EQ(sim.Requests("/class/class_vote.jsp")[0].query, "action=VOTE");
        EXPECT_EQ(BoardRead(), !c.fault);
    }
    EXPECT_EQ(site.Edit([](sim::chinaren::Data& d) { return d.FindClass("301")->ballots; }),
              std::vector<std::string>{"voteitem=2&classuuid=301"});
    EXPECT_EQ(window.Count(WM_CLASS_EVENT, 13), 3);
}

TEST_F(ChinaRenPosting, DeleteByTheFirstRequestOrTheCheck)
{
    struct Case {
        const char* name;
        sim::Fault::Kind fault; // Status with 0: none
        int status;
        const char* line;
        std::vector<std::string> board;
    } cases[] = {
        {"first request", sim::Fault::Status, 0, "[留言]成功删除留言, 编号13...", {"12", "11"}},
        // Every attempt of the first request dropped; the check finds the message.
        {"dropped, still there", sim::Fault::Drop, 0, "[留言]删除留言失败, 编号13.", {"13", "12", "11"}},
        // 500 is not retried by the client.
        {"error status, still there", sim::Fault::Status, 500, "[留言]删除留言失败, 编号13.", {"13", "12", "11"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        site.Edit([](sim::chinaren::Data& d) {
            d.FindClass("301")->board = {Row("13", "张三", "2005-05-31 09:00:00", "第三条"),
                                         Row("12", "李四", "2005-05-30 09:00:00", "第二条"),
                                         Row("11", "王五", "2005-05-29 09:00:00", "第一条")};
        });
        window.RunOnWorker([&] { store->Update(1, 1); });
        const std::string custoId = CustoIdOf("13");
        ASSERT_FALSE(custoId.empty());
        sim.ClearLog();
        if (c.fault == sim::Fault::Drop)
            sim.SetFault(tavrin::chinaren::kClassHost, kPostPath, sim::Fault::DropConnection().Times(6));
        else if (c.status)
            sim.SetFault(tavrin::chinaren::kClassHost, kPostPath, sim::Fault::WithStatus(c.status).Times(1));
        const size_t from = ClassLog(schoolClass).size();
        Delete({custoId});
        sim.ClearFaults();
        auto log = NewLog(from);
        EXPECT_EQ(log, (std::vector<std::string>{"[留言]开始删除...", "[留言]开始删除留言, 编号13...", c.line,
                                                 "[留言]删除完成."}));
        EXPECT_EQ(BoardIds(), c.board);
        // Gone here whatever the site did.
        EXPECT_TRUE(CustoIdOf("13").empty());
        auto listed = Listed();
        EXPECT_EQ(std::find(listed.begin(), listed.end(), custoId), listed.end());
        EXPECT_EQ(Posted().back(), 5);
    }
}

TEST_F(ChinaRenPosting, DeleteSettledByTheCheckWhenTheMessageIsGone)
{
    const std::string custoId = CustoIdOf("12");
    // The site deleted it but the answer was lost.
    site.Edit([](sim::chinaren::Data& d) {
        auto& board = d.FindClass("301")->board;
        board.erase(board.begin() + 1);
    });
    sim.SetFault(tavrin::chinaren::kClassHost, kPostPath, sim::Fault::WithStatus(500).Times(1));
    const size_t from = ClassLog(schoolClass).size();
    Delete({custoId});
    auto log = NewLog(from);
    EXPECT_EQ(log[2], "[留言]成功删除留言, 编号12.");
    auto requests = sim.Requests(kPostPath);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].query, "type=2&wordid=12&classuuid=301&met=del&add=1");
    EXPECT_EQ(requests[1].query, "type=2&wordid=12&classuuid=301&msgtype=1&met=edit&add=1");
}

TEST_F(ChinaRenPosting, DeleteSendsNothingForUnknownItemsAndStopsAtAFailedSignIn)
{
    // A custo_id not listed and a stored message without an id.
    const std::string noId = CustoIdOf("11");
    {
        CXmlCursor cursor(*store->GetXmlFile());
        store->GetXmlFile()->ResetPos(cursor.GetId());
        ASSERT_TRUE(cursor.FindChildElem("message") && cursor.FindChildElemWithAttrib("item", "id", "11"));
        cursor.SetAttrib("id", "");
    }
    Delete({"999", noId});
    EXPECT_TRUE(sim.Requests(kPostPath).empty());
    auto listed = Listed();
    EXPECT_EQ(std::find(listed.begin(), listed.end(), noId), listed.end());
    EXPECT_EQ(ClassLog(schoolClass).back(), "[留言]删除完成.");

    // A sign-in that fails ends the server phase.
    const std::string a = CustoIdOf("13");
    const std::string b = CustoIdOf("12");
    account.SetCookie("");
    site.Edit([](sim::chinaren::Data& d) { d.users[0].password = "changed"; });
    const size_t from = ClassLog(schoolClass).size();
    Delete({a, b});
    EXPECT_EQ(NewLog(from), (std::vector<std::string>{"[留言]开始删除...", "[留言]开始删除留言, 编号13...",
                                                      "[留言]登录失败, 无法删除留言.", "[留言]删除完成."}));
    EXPECT_TRUE(sim.Requests(kPostPath).empty());
    EXPECT_EQ(BoardIds(), (std::vector<std::string>{"13", "12", "11"}));
}

} // namespace
} // namespace tavrin::test
