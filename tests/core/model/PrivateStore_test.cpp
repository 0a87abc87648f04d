// The private-note store: loading "private.xml", sorting, local and server
// deletion, and its four operations with their busy flags.
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

namespace {

class PrivateStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("private.xml", TempDir::Read(Fixture("model/private.xml")));
        m_store.SetClassFolder(m_dir.Path().string().c_str());
        m_store.LoadItems(TRUE);
    }

    std::string Ids()
    {
        std::string ids;
        auto lock = m_store.LockItems();
        for (int i = 0; i < m_store.GetItemCount(); ++i)
            ids += m_store.GetItem(i)->m_id.GetString();
        return ids;
    }

    TempDir m_dir;
    CallLog m_log;
    CTestPrivateStore m_store{&m_log};
};

} // namespace

TEST_F(PrivateStoreTest, LoadsNotes)
{
    ASSERT_EQ(3, m_store.GetItemCount());
    EXPECT_EQ("n2n3n1", Ids());  // time, descending
    CPrivateItem* hello = m_store.FindItem("n3", "");
    EXPECT_STREQ("Hello there", hello->m_title);
    EXPECT_STREQ("yes", hello->m_replyStatus);
    EXPECT_STREQ("张三", hello->m_realName);
    EXPECT_STREQ("501", hello->m_userId);
    EXPECT_EQ(1, hello->m_read);
    CPrivateItem* contentOnly = m_store.FindItem("", "2");
    EXPECT_STREQ("只有内容", contentOnly->m_title);
    EXPECT_STREQ("", contentOnly->m_replyStatus);
    EXPECT_STREQ("", contentOnly->m_userName);
    EXPECT_EQ(0, m_store.FindItem("n1", "")->m_read);
    EXPECT_EQ(2, m_store.GetUnreadCount());
}

TEST_F(PrivateStoreTest, SortsByTitleNameAndTime)
{
    struct Case {
        int column;
        BOOL ascending;
        const char* ids;
    } cases[] = {
        {1, TRUE, "n1n3n2"},
        {2, TRUE, "n1n2n3"},
        {3, TRUE, "n1n3n2"},
        {4, FALSE, "n1n3n2"},  // no key: unchanged
    };
    for (const auto& c : cases) {
        m_store.SortItems(c.column, c.ascending);
        EXPECT_EQ(c.ids, Ids()) << c.column;
    }
}

TEST(PrivateItem, XmlRoundTripKeepsChildOrder)
{
    CPrivateItem item;
    item.m_custoId = "4";
    item.m_title = "a & b";
    item.m_replyStatus = "no";
    CXmlFile file;
    file.Clear();
    CXmlCursor cursor(file);
    file.ResetPos(cursor.GetId());
    ASSERT_TRUE(cursor.FindChildElem("private", TRUE));
    ASSERT_TRUE(cursor.FindChildElem("item", TRUE));
    CPrivateItem::WriteXml(&item, &cursor);
    EXPECT_EQ(6, file.GetChildCount(cursor.GetId()));
    CPrivateItem back;
    CPrivateItem::ReadXml(&back, &cursor);
    EXPECT_STREQ("a & b", back.m_title);
    EXPECT_STREQ("no", back.m_replyStatus);
    EXPECT_STREQ("4", back.m_custoId);
}

TEST_F(PrivateStoreTest, LocalDeletionWaitsForNoServerDelete)
{
    std::string onDisk = TempDir::Read(m_dir.Path() / "private.xml");
    CStringArray ids;
    ids.Add("3");
    ids.Add("1");

    m_store.del.block = true;
    m_store.DeleteItems(ids, FALSE, 0);
    m_store.del.entered.Wait();
    EXPECT_TRUE(m_store.IsDeleting());
    m_store.DeleteItems(ids, TRUE, 0);  // refused while the server delete runs
    EXPECT_EQ(3, m_store.GetItemCount());
    m_store.del.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !m_store.IsDeleting(); }));
    EXPECT_EQ(1, m_log.Count("delete 2"));

    m_store.DeleteItems(ids, TRUE, 0);
    EXPECT_EQ("n2", Ids());
    CXmlCursor cursor(*m_store.GetXmlFile());
    m_store.GetXmlFile()->ResetPos(cursor.GetId());
    cursor.FindChildElem("private", FALSE);
    EXPECT_EQ(1, m_store.GetXmlFile()->GetChildCount(cursor.GetId()));
    EXPECT_EQ(onDisk, TempDir::Read(m_dir.Path() / "private.xml"));
}

TEST_F(PrivateStoreTest, SendAndReplyRunSideBySide)
{
    m_store.send.block = true;
    m_store.StartSend("s", "c", "名", "user", "77", 0);
    m_store.send.entered.Wait();
    m_store.StartSend("again", "c", "", "", "", 0);  // refused: a send runs
    m_store.StartReply("re", "body", "张三", "", "501", 3);
    m_store.reply.entered.Wait();
    ASSERT_TRUE(WaitUntil([&] { return !m_store.IsReplying(); }));
    EXPECT_TRUE(m_store.IsSending());
    EXPECT_TRUE(m_store.IsBusy());
    m_store.send.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !m_store.IsBusy(); }));
    EXPECT_EQ(1, m_store.send.calls.load());
    EXPECT_EQ(1, m_log.Count("send s|c|名|user|77|0"));
    EXPECT_EQ(1, m_log.Count("reply re|body|张三||501|3"));
}

TEST(PrivateStoreEvents, StoppingUpdateLogsOnceThenAborts)
{
    NotifyWindow window;
    CallLog log;
    auto* account = new CTestAccount(&log);
    account->SetNotifyWnd(window.Handle());
    auto* schoolClass = new CTestSchoolClass(&log);
    schoolClass->SetAccount(account);
    schoolClass->SetId("c1");
    account->AddClass(schoolClass);
    schoolClass->CreateStores();
    auto* store = static_cast<CTestPrivateStore*>(schoolClass->GetPrivateStore());

    store->StopUpdate();  // nothing runs: no line
    EXPECT_EQ(0, schoolClass->GetLogCount());

    store->update.block = true;
    store->StartUpdate(1);
    store->update.entered.Wait();
    EXPECT_TRUE(account->IsBusy());
    store->StopUpdate();
    EXPECT_EQ(1, schoolClass->GetLogCount());
    EXPECT_NE(-1, schoolClass->GetLogLine(0).Find("[悄悄话]停止更新..."));

    // Teardown while the update still runs: one more stop line, not one per
    // wait; the operation ends once released.
    std::thread releaser([&] {
        WaitUntil([&] { return schoolClass->GetLogCount() == 2; });
        store->update.release.Open();
    });
    account->Close();
    releaser.join();
    EXPECT_EQ(2, schoolClass->GetLogCount());
    delete account;
    window.Pump();
    EXPECT_EQ(2, window.Count(WM_CLASS_EVENT, 0));
}
