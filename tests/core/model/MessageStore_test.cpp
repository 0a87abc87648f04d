// The message store: loading "message.xml" (joined reply fields, pinned
// messages, the class vote, repeated messages), sorting, local deletes and
// the start operations.
#include "core/model/MessageStore.h"

#include "core/services/Config.h"
#include "core/services/XmlText.h"
#include "platform/base/Path.h"
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tavrin::test;

namespace {

CString ProgramPath(const fs::path& path)
{
    return tavrin::ProgramPath(path.string());
}

// A message store with operations that record their calls and can block.
class CRecordingMessageStore : public CMessageStore {
public:
    ~CRecordingMessageStore() override
    {
        update.release.Open();
        del.release.Open();
        Close();
    }
    void Update(int count, int mode) override
    {
        updates.push_back({count, mode});
        if (onUpdate)
            onUpdate(this);
        update.Run();
    }
    void Delete(CStringArray& custoIds, int param) override
    {
        deleted = custoIds.GetSize() ? std::string(custoIds[0]) : std::string();
        deleteParam = param;
        del.Run();
    }
    void Send(CString subject, CString text, int param) override
    {
        sent = std::string(subject) + "|" + std::string(text) + "|" + std::to_string(param);
    }
    void Reply(CString subject, CString text, CString targetId, int param) override
    {
        replied = std::string(subject) + "|" + std::string(text) + "|" + std::string(targetId) + "|" +
                  std::to_string(param);
    }
    void Vote(CByteArray& form, int param) override
    {
        voted = std::string(reinterpret_cast<const char*>(form.GetData()), form.GetSize()) + "|" +
                std::to_string(param);
    }
    CHttpClient* UpdateClient() { return &m_updateClient; }

    BlockingOperation update, del;
    std::function<void(CRecordingMessageStore*)> onUpdate;
    std::vector<std::pair<int, int>> updates;
    std::string deleted, sent, replied, voted;
    int deleteParam = -1;
};

class CSubjectAccount : public CTestAccount {
public:
    BOOL HasMessageSubject() override { return TRUE; }
};

class MessageStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(ProgramPath(m_program.Path()));
        tavrin::ReloadConfig();
        m_class = m_dir.Path() / "class";
        fs::create_directories(m_class);
    }
    void TearDown() override
    {
        tavrin::SetProgramFolder(CString());
        tavrin::ReloadConfig();
    }

    void UseFixture() { fs::copy_file(Fixture("model/message.xml"), m_class / "message.xml"); }

    // A store of the class folder, loaded from its file.
    void Load(CMessageStore& store)
    {
        store.SetClassFolder(ProgramPath(m_class));
        store.LoadItems(TRUE);
    }

    // "title|user|time|id|read|pinned" of every listed record.
    static std::vector<std::string> Listing(CMessageStore& store)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < store.GetItemCount(); ++i) {
            CMessageItem* item = store.GetItem(i);
            rows.push_back(std::string(item->m_title) + "|" + std::string(item->m_user) + "|" +
                           std::string(item->m_time) + "|" + std::string(item->m_id) + "|" +
                           std::to_string(item->m_read) + "|" +
                           std::to_string(item->m_pinned));
        }
        return rows;
    }

    static std::vector<std::string> Titles(CMessageStore& store)
    {
        std::vector<std::string> titles;
        for (int i = 0; i < store.GetItemCount(); ++i)
            titles.push_back(std::string(store.GetItem(i)->m_title));
        return titles;
    }

    // A message file of count items with ids 1..count, newest first.
    void WriteItems(int count)
    {
        std::string xml = "<message>\n";
        for (int i = count; i >= 1; --i) {
            xml += "\t<item read=\"0\" custo_id=\"" + std::to_string(i) + "\" id=\"" + std::to_string(i) +
                   "\">\n\t\t<title>t" + std::to_string(i) + "</title>\n\t\t<time>2005-01-" +
                   (i < 10 ? "0" : "") + std::to_string(i) + "</time>\n\t\t<user>u</user>\n\t</item>\n";
        }
        xml += "</message>\n";
        m_dir.Write("class/message.xml", xml);
    }

    TempDir m_program;
    TempDir m_dir;
    fs::path m_class;
};

} // namespace

TEST_F(MessageStoreTest, LoadsPinnedMessagesTheVoteAndRepliesFromTheFixture)
{
    UseFixture();
    CMessageStore store;
    Load(store);
    EXPECT_EQ(Listing(store), (std::vector<std::string>{
                                  "[班级投票]班级 聚会|班长|2005-03-10 00:00|v1|0|1",
                                  // pinned: the copy's match, then the ids in reverse document order
                                  "pinned by copy|王五|2005-03-01 10:00|m1|1|1",
                                  "third|carol|2005-03-03 10:00|m3|0|1",
                                  "fifth|alice|2005-03-05 10:00|m5|0|1",
                                  // the rest by time, newest first
                                  "eight|alice|2005-03-08 10:00|m8|0|0",
                                  // the latest reply's time, the first author and id
                                  "with replies|bob|2005-03-07 12:00|m7|1|0",
                                  // no subject line: the content stands in
                                  "no subject|李四|2005-03-06 10:00|m6|0|0",
                                  "two  spaces|bob|2005-03-04 10:00|m4|0|0",
                                  // listed once although stored twice
                                  "twice|dave|2005-03-02 10:00|m2|0|0",
                              }));
    EXPECT_EQ(store.FindItem("m7", "")->m_custoId, CString("7"));
    // The records keep their elements: read marks go back into the document.
    store.GetItem(4)->m_read = 1;
    store.SaveReadMarks();
    CXmlCursor cursor(store.GetXmlFile()[0]);
    store.GetXmlFile()->ResetPos(cursor.GetId());
    ASSERT_TRUE(cursor.FindChildElem("message"));
    ASSERT_TRUE(cursor.FindChildElemWithAttrib("item", "id", "m8"));
    EXPECT_EQ(cursor.GetAttrib("read"), CString("1"));
}

TEST_F(MessageStoreTest, AccountsWithSubjectLinesKeepEmptyTitles)
{
    UseFixture();
    CSubjectAccount account;
    CTestSchoolClass schoolClass(nullptr, false);
    schoolClass.SetAccount(&account);
    CMessageStore store;
    store.SetSchoolClass(&schoolClass);
    Load(store);
    CMessageItem* item = store.FindItem("m6", "");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->m_title, CString());
}

TEST_F(MessageStoreTest, DisplayLimitCountsListedMessages)
{
    struct Case {
        const char* limit;
        int listed;
    };
    for (const Case& c : {Case{"3", 3}, Case{"10", 10}, Case{"20", 10}, Case{"0", 1}, Case{"-2", 1}}) {
        SCOPED_TRACE(c.limit);
        WriteItems(10);
        SetConfig(CFG_MESSAGE_LIST_DISPALY_NUMBER, c.limit);
        CMessageStore store;
        Load(store);
        EXPECT_EQ(store.GetItemCount(), c.listed);
        // The newest ones of the file.
        EXPECT_EQ(store.GetItem(0)->m_id, CString("10"));
    }
}

TEST_F(MessageStoreTest, FilesWithoutMessagesListNothing)
{
    struct Case {
        const char* name;
        const char* xml;  // null: no file
    };
    const Case cases[] = {
        {"no file", nullptr},
        {"empty file", ""},
        {"another root", "<picture>\n\t<item id=\"1\"/>\n</picture>\n"},
        {"a vote but no item", "<message>\n\t<vote>\n\t\t<item id=\"v\"/>\n\t</vote>\n</message>\n"},
        {"pinned ids but no item", "<message>\n\t<top>\n\t\t<id>1</id>\n\t</top>\n</message>\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(m_class / "message.xml");
        if (c.xml)
            m_dir.Write("class/message.xml", c.xml);
        CMessageStore store;
        Load(store);
        EXPECT_EQ(store.GetItemCount(), 0);
    }
}

TEST_F(MessageStoreTest, SortsBehindThePinnedRecords)
{
    UseFixture();
    CMessageStore store;
    Load(store);
    store.SortItems(1, TRUE);
    EXPECT_EQ(Titles(store), (std::vector<std::string>{"[班级投票]班级 聚会", "pinned by copy", "third", "fifth",
                                                       "eight", "no subject", "twice", "two  spaces",
                                                       "with replies"}));
    store.SortItems(2, FALSE);
    EXPECT_EQ(std::string(store.GetItem(4)->m_user), "李四");  // GBK bytes above ASCII
    std::vector<std::string> before = Titles(store);
    store.SortItems(4, TRUE);  // no such column
    EXPECT_EQ(Titles(store), before);
}

TEST_F(MessageStoreTest, LocalDeleteChangesTheDocumentAndLeavesTheFile)
{
    UseFixture();
    std::string onDisk = TempDir::Read(m_class / "message.xml");
    {
        CMessageStore store;
        Load(store);
        int count = store.GetItemCount();
        CStringArray ids;
        ids.Add("5");
        ids.Add("404");  // no such record
        store.DeleteItems(ids, TRUE, 0);
        EXPECT_EQ(store.GetItemCount(), count - 1);
        EXPECT_EQ(store.FindItem("", "5"), nullptr);
        EXPECT_TRUE(store.GetXmlFile()->IsModified());
        CXmlCursor cursor(*store.GetXmlFile());
        store.GetXmlFile()->ResetPos(cursor.GetId());
        ASSERT_TRUE(cursor.FindChildElem("message"));
        EXPECT_FALSE(cursor.FindChildElemWithAttrib("item", "custo_id", "5"));
        EXPECT_EQ(TempDir::Read(m_class / "message.xml"), onDisk);
    }
    // Written when the store goes, renumbered from the first item down.
    std::string saved = TempDir::Read(m_class / "message.xml");
    EXPECT_EQ(saved.find("id=\"m5\""), std::string::npos);
    EXPECT_NE(saved.find("custo_id=\"5\" id=\"m4\""), std::string::npos);
}

TEST_F(MessageStoreTest, StartsPostOnlyWhenTheOperationIsFree)
{
    UseFixture();
    CRecordingMessageStore store;
    Load(store);
    store.update.block = true;
    store.StartUpdate(841219, 1);
    store.update.entered.Wait();
    EXPECT_TRUE(store.IsUpdating());
    EXPECT_TRUE(store.IsBusy());
    store.StartUpdate(5, 0);  // refused: the update runs
    store.update.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !store.IsUpdating(); }));
    EXPECT_EQ(store.updates, (std::vector<std::pair<int, int>>{{841219, 1}}));

    store.del.block = true;
    CStringArray ids;
    ids.Add("8");
    store.DeleteItems(ids, FALSE, 7);
    store.del.entered.Wait();
    EXPECT_TRUE(store.IsDeleting());
    int count = store.GetItemCount();
    store.DeleteItems(ids, TRUE, 0);  // ignored while the provider deletes
    EXPECT_EQ(store.GetItemCount(), count);
    store.del.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !store.IsBusy(); }));
    EXPECT_EQ(store.deleted, "8");
    EXPECT_EQ(store.deleteParam, 7);

    store.StartSend("s", "text", 3);
    store.StartReply("re", "body", "m7", 0);
    CByteArray form;
    for (char c : std::string("a\0b", 3))
        form.Add(static_cast<BYTE>(c));
    store.StartVote(form, 2);
    ASSERT_TRUE(WaitUntil([&] { return !store.IsBusy(); }));
    EXPECT_EQ(store.sent, "s|text|3");
    EXPECT_EQ(store.replied, "re|body|m7|0");
    EXPECT_EQ(store.voted, std::string("a\0b|2", 5));
}

TEST_F(MessageStoreTest, StopAndDestroyAbortAStalledUpdate)
{
    StalledServer first, second;
    StalledServer* server = &first;
    auto* store = new CRecordingMessageStore;
    std::atomic<int> result{-1};
    store->onUpdate = [&](CRecordingMessageStore* s) {
        CByteArray reply;
        CString url;
        url.Format("http://127.0.0.1:%d/stall", server->Port());
        s->PrepareHttpClient(s->UpdateClient());
        s->UpdateClient()->SetRetryCount(1);
        // An aborted series ends with an empty page.
        s->UpdateClient()->Request(url, "", reply, "");
        result = static_cast<int>(reply.GetSize());
    };
    store->StopUpdate();  // nothing runs: nothing to stop
    store->StartUpdate(1, 0);
    first.accepted.Wait();
    store->StopUpdate();
    ASSERT_TRUE(WaitUntil([&] { return !store->IsUpdating(); }));
    EXPECT_EQ(result.load(), 0);

    result = -1;
    server = &second;
    store->StartUpdate(1, 0);
    second.accepted.Wait();
    delete store;  // aborts the request instead of waiting out the socket time-out
    EXPECT_EQ(result.load(), 0);
}

TEST_F(MessageStoreTest, RecordsReadAndWriteTheirElements)
{
    CMessageStore store;
    CXmlFile& xml = *store.GetXmlFile();
    xml.Clear();
    CXmlCursor cursor(xml);
    xml.ResetPos(cursor.GetId());
    cursor.FindChildElem("message", TRUE);
    cursor.FindChildElem("item", TRUE);
    CMessageItem item;
    item.m_read = 1;
    item.m_custoId = "3";
    item.m_id = "m3";
    item.m_title = "标题 <b>";
    item.m_time = "2005-03-03";
    item.m_user = "user";
    CMessageItem::WriteXml(&item, &cursor);
    CMessageItem back;
    CMessageItem::ReadXml(&back, &cursor);
    EXPECT_EQ(back.m_read, 1);
    EXPECT_EQ(back.m_custoId, CString("3"));
    EXPECT_EQ(back.m_id, CString("m3"));
    EXPECT_EQ(back.m_title, item.m_title);
    EXPECT_EQ(back.m_time, item.m_time);
    EXPECT_EQ(back.m_user, item.m_user);
    EXPECT_TRUE(back == item);
    std::string text = tavrin::WriteXmlText(xml.GetNode(cursor.GetId()));
    EXPECT_EQ(text.find("<item read=\"1\" custo_id=\"3\" id=\"m3\">"), 0u) << text;
    EXPECT_LT(text.find("<title>"), text.find("<time>"));
    EXPECT_LT(text.find("<time>"), text.find("<user>"));
}

TEST_F(MessageStoreTest, VerificationImageLiesInTheClassFolder)
{
    CMessageStore store;
    store.SetClassFolder("a\\b\\7");
    EXPECT_EQ(store.GetAuthImagePath("anything"), CString("a\\b\\7\\auth_message.gif"));
}
