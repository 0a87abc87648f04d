// The contact store: loading "contact.xml", the five sort columns, local
// deletion and the update's start and stop.
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace tavrin::test;

namespace {

class ContactStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Write("contact.xml", TempDir::Read(Fixture("model/contact.xml")));
        m_store.SetClassFolder(m_dir.Path().string().c_str());
        m_store.LoadItems(TRUE);
    }

    std::string Order(int column, BOOL ascending)
    {
        m_store.SortItems(column, ascending);
        std::string ids;
        auto lock = m_store.LockItems();
        for (int i = 0; i < m_store.GetItemCount(); ++i)
            ids += m_store.GetItem(i)->m_id.GetString();
        return ids;
    }

    TempDir m_dir;
    CTestContactStore m_store;
};

} // namespace

TEST_F(ContactStoreTest, LoadsItemsAndStripsMembershipTags)
{
    ASSERT_EQ(3, m_store.GetItemCount());
    // Initial sort: last visit, descending.
    EXPECT_EQ(5, m_store.GetSortColumn());
    EXPECT_FALSE(m_store.GetSortAscending());
    CContactItem* first = m_store.GetItem(0);
    EXPECT_STREQ("u2", first->m_id);
    CContactItem* zhang = m_store.FindItem("u3", "");
    ASSERT_NE(nullptr, zhang);
    EXPECT_STREQ("张三", zhang->m_realName);
    EXPECT_STREQ("班长", zhang->m_membership);
    EXPECT_STREQ("zhang<b>san</b>", zhang->m_userName);  // only membership loses tags
    EXPECT_STREQ("10", zhang->m_visitTime);
    EXPECT_STREQ("3", zhang->m_custoId);
    EXPECT_EQ(0, zhang->m_read);
    EXPECT_FALSE(zhang->m_element.IsEmpty());
    EXPECT_EQ(3, m_store.GetUnreadCount());
}

TEST_F(ContactStoreTest, SortsByEachColumn)
{
    struct Case {
        int column;
        BOOL ascending;
        const char* ids;
    } cases[] = {
        {1, TRUE, "u1u2u3"},   // "Wang", then 李四 (C0EE) before 张三 (D5C5)
        {4, TRUE, "u1u2u3"},   // "often" counts as 0, then 9 before 10
        {4, FALSE, "u3u2u1"},
        {5, TRUE, "u1u3u2"},
        {2, TRUE, "u2u1u3"},   // lisi, wang, zhang<b>san</b>
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ids, Order(c.column, c.ascending)) << c.column;
    std::string before = Order(5, FALSE);
    m_store.SortItems(6, TRUE);
    std::string after;
    for (int i = 0; i < m_store.GetItemCount(); ++i)
        after += m_store.GetItem(i)->m_id.GetString();
    EXPECT_EQ(before, after);
}

TEST(ContactItem, XmlRoundTrip)
{
    CContactItem item;
    item.m_custoId = "12";
    item.m_id = "m12";
    item.m_read = 1;
    item.m_realName = "赵<五>";
    item.m_visitTime = "3";
    CXmlFile file;
    file.Clear();
    CXmlCursor cursor(file);
    file.ResetPos(cursor.GetId());
    ASSERT_TRUE(cursor.FindChildElem("contact", TRUE));
    ASSERT_TRUE(cursor.FindChildElem("item", TRUE));
    CContactItem::WriteXml(&item, &cursor);
    EXPECT_EQ(5, file.GetChildCount(cursor.GetId()));
    CContactItem back;
    CContactItem::ReadXml(&back, &cursor);
    EXPECT_STREQ("12", back.m_custoId);
    EXPECT_STREQ("m12", back.m_id);
    EXPECT_EQ(1, back.m_read);
    EXPECT_STREQ("赵<五>", back.m_realName);
    EXPECT_STREQ("3", back.m_visitTime);
    EXPECT_STREQ("", back.m_membership);
    // Written again, existing children are updated where they stand.
    item.m_visitTime = "4";
    CContactItem::WriteXml(&item, &cursor);
    EXPECT_EQ(5, file.GetChildCount(cursor.GetId()));
    EXPECT_STREQ("4", cursor.GetChildData("visit_time"));
}

TEST_F(ContactStoreTest, LocalDeletionRemovesRecordAndElementOnce)
{
    std::string onDisk = TempDir::Read(m_dir.Path() / "contact.xml");
    CStringArray ids;
    ids.Add("2");
    ids.Add("2");
    ids.Add("404");
    m_store.DeleteItems(ids, TRUE);
    EXPECT_EQ(2, m_store.GetItemCount());
    EXPECT_EQ(nullptr, m_store.FindItem("", "2"));
    EXPECT_TRUE(m_store.GetXmlFile()->IsModified());
    CXmlCursor cursor(*m_store.GetXmlFile());
    m_store.GetXmlFile()->ResetPos(cursor.GetId());
    cursor.FindChildElem("contact", FALSE);
    EXPECT_FALSE(cursor.FindChildElemWithAttrib("item", "custo_id", "2"));
    EXPECT_EQ(onDisk, TempDir::Read(m_dir.Path() / "contact.xml"));
}

TEST_F(ContactStoreTest, StartUpdateRunsOneUpdateAtATime)
{
    m_store.update.block = true;
    CStringArray ids;
    m_store.StartUpdate(ids, 0);
    m_store.update.entered.Wait();
    EXPECT_TRUE(m_store.IsBusy());
    m_store.StartUpdate(ids, 1);
    m_store.update.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !m_store.IsBusy(); }));
    EXPECT_EQ(1, m_store.update.calls.load());
    m_store.StartUpdate(ids, 1);  // free again
    ASSERT_TRUE(WaitUntil([&] { return m_store.update.calls.load() == 2 && !m_store.IsBusy(); }));
}

TEST_F(ContactStoreTest, PrepareClearsAnEarlierStop)
{
    m_store.StopUpdate();  // not running: nothing happens
    EXPECT_FALSE(m_store.Connection()->IsStopped());
    m_store.Connection()->Abort();
    EXPECT_TRUE(m_store.Connection()->IsStopped());
    m_store.PrepareHttpClient(m_store.Connection());
    EXPECT_FALSE(m_store.Connection()->IsStopped());
}

TEST(ContactStoreFile, MissingRootOrItemsLeaveAnEmptyList)
{
    for (const char* text : {"", "<other><item custo_id=\"1\"/></other>", "<contact><last/></contact>"}) {
        TempDir dir;
        dir.Write("contact.xml", text);
        CContactStore store;
        store.SetClassFolder(dir.Path().string().c_str());
        store.LoadItems(TRUE);
        EXPECT_EQ(0, store.GetItemCount()) << text;
    }
}
