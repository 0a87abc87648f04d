// The store base: record list, lookup, insert, sort with a pinned prefix,
// character counts, read marks and custo_id renumbering.
#include "tests/core/model/ModelTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace tavrin::test;

namespace {

CContactItem* MakeContact(const char* custoId, const char* id, const char* realName, int pinned = 0)
{
    auto* item = new CContactItem;
    item->m_custoId = custoId;
    item->m_id = id;
    item->m_realName = realName;
    item->m_pinned = pinned;
    return item;
}

std::string Names(CContactStore& store)
{
    std::string names;
    auto lock = store.LockItems();
    for (int i = 0; i < store.GetItemCount(); ++i) {
        if (i)
            names += ",";
        names += store.GetItem(i)->m_realName.GetString();
    }
    return names;
}

std::string FolderOf(const TempDir& dir) { return dir.Path().string(); }

} // namespace

TEST(ClassStore, LookupUsesIdWhenGivenElseCustoId)
{
    CContactStore store;
    store.AddItem(MakeContact("5", "a", "first"));
    store.AddItem(MakeContact("6", "b", "second"));
    store.AddItem(MakeContact("7", "b", "third"));
    struct Case {
        const char* id;
        const char* custoId;
        const char* found;
        int index;
    } cases[] = {
        {"b", "", "second", 1},      // first match in list order
        {"", "7", "third", 2},
        {"zz", "5", nullptr, -1},    // id given: custo_id is not looked at
        {"", "", nullptr, -1},
        {"", "99", nullptr, -1},
    };
    for (const auto& c : cases) {
        int index = 42;
        CContactItem* item = store.LookupItem(c.id, c.custoId, &index);
        EXPECT_EQ(c.index, index) << c.id << "/" << c.custoId;
        if (c.found) {
            ASSERT_NE(nullptr, item);
            EXPECT_STREQ(c.found, item->m_realName);
        } else {
            EXPECT_EQ(nullptr, item);
        }
        EXPECT_EQ(item, store.FindItem(c.id, c.custoId));
    }
}

TEST(ClassStore, InsertOutsideTheListAppends)
{
    CContactStore store;
    store.AddItem(MakeContact("1", "", "a"));
    store.AddItem(MakeContact("2", "", "b"));
    store.InsertItem(MakeContact("3", "", "head"), 0);
    store.InsertItem(MakeContact("4", "", "end"), 3);
    store.InsertItem(MakeContact("5", "", "neg"), -1);
    store.InsertItem(MakeContact("6", "", "far"), 7);
    store.InsertItem(MakeContact("7", "", "mid"), 2);
    EXPECT_EQ("head,a,mid,b,end,neg,far", Names(store));
}

TEST(ClassStore, IndexesOutOfRangeAreIgnored)
{
    CContactStore store;
    store.AddItem(MakeContact("1", "", "a"));
    EXPECT_EQ(nullptr, store.GetItem(-1));
    EXPECT_EQ(nullptr, store.GetItem(1));
    CContactItem* spare = MakeContact("9", "", "spare");
    store.SetItem(1, spare);
    store.RemoveItem(1);
    store.RemoveItem(-1);
    EXPECT_EQ("a", Names(store));
    EXPECT_EQ("", std::string(store.RenderItemPage(3)));
    EXPECT_EQ("", std::string(store.RenderItemDetailPage(-1, 800)));
    delete spare;
}

TEST(ClassStore, SortKeepsThePinnedPrefix)
{
    struct Case {
        std::vector<std::pair<const char*, int>> items;  // name, pinned
        bool expectSortRange;
        std::string sorted;  // ascending by real name
    } cases[] = {
        {{{"b", 0}}, false, "b"},
        {{{"c", 1}, {"a", 1}, {"b", 1}}, true, "c,a,b"},
        {{{"z", 1}, {"y", 1}, {"d", 0}, {"a", 0}, {"c", 0}}, true, "z,y,a,c,d"},
        {{{"d", 0}, {"p", 1}, {"a", 0}}, true, "a,d,p"},  // only a leading run stays
    };
    for (const auto& c : cases) {
        CTestContactStore store;
        for (const auto& [name, pinned] : c.items)
            store.AddItem(MakeContact("", "", name, pinned));
        store.SortItems(1, TRUE);
        EXPECT_EQ(c.sorted, Names(store));
        EXPECT_EQ(c.expectSortRange, !store.sortRanges.empty());
        EXPECT_EQ(1, store.GetSortColumn());
        EXPECT_TRUE(store.GetSortAscending());
    }
}

TEST(ClassStore, SortStartsAfterTwoPinnedRecords)
{
    CTestContactStore store;
    for (const char* name : {"p1", "p2", "c", "a", "b"})
        store.AddItem(MakeContact("", "", name, name[0] == 'p'));
    store.SortItems(1, FALSE);
    ASSERT_FALSE(store.sortRanges.empty());
    EXPECT_EQ(std::make_pair(2, 4), store.sortRanges.front());
    EXPECT_EQ("p1,p2,c,b,a", Names(store));
}

TEST(ClassStore, SortOrdersMultibyteTextByCode)
{
    CContactStore store;
    for (const char* name : {"中", "b", "阿", "B", "ba", ""})
        store.AddItem(MakeContact("", "", name));
    store.SortItems(1, TRUE);
    // Single-byte characters before double-byte ones; a prefix first.
    EXPECT_EQ(",B,b,ba,\xB0\xA2,\xD6\xD0", Names(store));
}

TEST(ClassStore, ComposeLengthsCountCharacters)
{
    CContactStore store;
    EXPECT_EQ(0, store.GetSubjectLength());
    store.SetComposeSubject("中文ab");
    EXPECT_EQ(4, store.GetSubjectLength());
    store.SetComposeContent("同学录 5460!");
    EXPECT_EQ(9, store.GetContentLength());
}

TEST(ClassStore, AuthKeyAndCodeIgnoreTheName)
{
    CContactStore store;
    store.SetAuthKey("key", "one");
    store.SetAuthCode("code", "");
    EXPECT_STREQ("key", store.GetAuthKey("other"));
    EXPECT_STREQ("code", store.GetAuthCode("x"));
    EXPECT_STREQ("", store.GetAuthImagePath("x"));
    EXPECT_FALSE(store.NeedsAuthCode());
}

TEST(ClassStore, StartSearchRunsOnceWhileSearching)
{
    CTestContactStore store;
    store.search.block = true;
    store.StartSearch("a", 0);
    store.search.entered.Wait();
    EXPECT_TRUE(store.IsSearching());
    store.StartSearch("b", 0);
    store.StartSearch("c", 1);
    store.search.release.Open();
    ASSERT_TRUE(WaitUntil([&] { return !store.IsSearching(); }));
    store.Close();
    EXPECT_EQ(1, store.search.calls.load());
}

// A search is local work: it does not make the store, its class or its
// account busy (no exit question, no busy label), yet closing the store
// waits for it, since it rebuilds the records.
TEST(ClassStore, SearchIsNotBusyButClosingWaitsForIt)
{
    CTestAccount account;
    auto* schoolClass = new CTestSchoolClass;
    schoolClass->SetAccount(&account);
    schoolClass->SetId("1");
    schoolClass->CreateStores();
    account.AddClass(schoolClass);
    auto* store = static_cast<CTestContactStore*>(schoolClass->GetContactStore());
    store->search.block = true;
    store->StartSearch("a", 0);
    store->search.entered.Wait();
    EXPECT_TRUE(store->IsSearching());
    EXPECT_FALSE(store->IsBusy());
    EXPECT_FALSE(schoolClass->IsBusy());
    EXPECT_FALSE(account.IsBusy());

    std::atomic<bool> closed{false};
    std::thread closer([&] {
        store->Close();
        closed.store(true);
        // The search task was over before Close returned.
        EXPECT_FALSE(store->IsSearching());
    });
    EXPECT_FALSE(closed.load());
    store->search.release.Open();
    closer.join();
}

class StoreFileTest : public ::testing::Test {
protected:
    CString Folder() const { return FolderOf(m_dir).c_str(); }
    std::string Path(const char* name) const { return (m_dir.Path() / name).string(); }
    TempDir m_dir;
};

TEST_F(StoreFileTest, ReadMarksReachTheDocument)
{
    m_dir.Write("contact.xml", TempDir::Read(Fixture("model/contact.xml")));
    std::string before = TempDir::Read(Path("contact.xml"));
    {
        CTestContactStore store;
        store.SetClassFolder(Folder());
        store.LoadItems(TRUE);
        ASSERT_EQ(3, store.GetItemCount());
        EXPECT_EQ(3, store.GetUnreadCount());
        store.SaveReadMarks();
        EXPECT_FALSE(store.Xml().IsModified());  // nothing read: untouched

        store.FindItem("u2", "")->m_read = 1;
        EXPECT_EQ(2, store.GetUnreadCount());
        store.SaveReadMarks();
        EXPECT_TRUE(store.Xml().IsModified());
        EXPECT_EQ(before, TempDir::Read(Path("contact.xml")));  // no write yet
    }
    CTestContactStore again;
    again.SetClassFolder(Folder());
    again.LoadItems(TRUE);
    CXmlCursor cursor(again.Xml());
    again.Xml().ResetPos(cursor.GetId());
    ASSERT_TRUE(cursor.FindChildElem("contact", FALSE));
    ASSERT_TRUE(cursor.FindChildElemWithAttrib("item", "id", "u2"));
    EXPECT_STREQ("1", cursor.GetAttrib("read"));
}

TEST_F(StoreFileTest, ReadMarksSkipRecordsWhoseElementIsGone)
{
    m_dir.Write("contact.xml", TempDir::Read(Fixture("model/contact.xml")));
    CTestContactStore store;
    store.SetClassFolder(Folder());
    store.LoadItems(TRUE);
    store.FindItem("u1", "")->m_read = 1;
    // An update rewrites the document before it rebuilds the list.
    store.Xml().Clear();
    store.SaveReadMarks();
    CXmlCursor cursor(store.Xml());
    store.Xml().ResetPos(cursor.GetId());
    EXPECT_FALSE(cursor.FindChildElem("contact", FALSE));
}

TEST_F(StoreFileTest, DestructionRenumbersCustoIdsAndSaves)
{
    m_dir.Write("contact.xml",
                "<contact>\n\t<last custo_id=\"55\" id=\"s\" />\n"
                "\t<item custo_id=\"10\" id=\"a\" />\n\t<item custo_id=\"9\" id=\"b\" />\n"
                "\t<item custo_id=\"7\" id=\"c\" />\n\t<last custo_id=\"1\" id=\"t\" />\n"
                "\t<item custo_id=\"6\" id=\"d\" />\n</contact>\n");
    {
        CTestContactStore store;
        store.SetClassFolder(Folder());
        store.LoadItems(TRUE);
        ASSERT_EQ(4, store.GetItemCount());
    }
    CXmlFile file;
    CXmlCursor cursor(file);
    ASSERT_TRUE(cursor.Load(Folder() + "\\contact.xml", FALSE));
    file.ResetPos(cursor.GetId());
    ASSERT_TRUE(cursor.FindChildElem("contact", FALSE));
    std::vector<std::string> ids;
    ASSERT_TRUE(cursor.FindChildElem("item", FALSE));
    do
        ids.push_back(cursor.GetAttrib("custo_id").GetString());
    while (file.FindNextElem(TRUE, cursor.GetId()));
    EXPECT_EQ((std::vector<std::string>{"10", "9", "8", "7"}), ids);
    file.ResetPos(cursor.GetId());
    cursor.FindChildElem("contact", FALSE);
    ASSERT_TRUE(cursor.FindChildElemWithAttrib("last", "id", "t"));
    EXPECT_STREQ("1", cursor.GetAttrib("custo_id"));
}

TEST_F(StoreFileTest, UnmodifiedStoreWritesNoFile)
{
    std::string odd = "<contact><item custo_id=\"4\" id=\"a\"/><item custo_id=\"3\" id=\"b\"/></contact>";
    m_dir.Write("contact.xml", odd);
    {
        CTestContactStore store;
        store.SetClassFolder(Folder());
        store.LoadItems(TRUE);
        EXPECT_EQ(2, store.GetItemCount());
    }
    EXPECT_EQ(odd, TempDir::Read(Path("contact.xml")));
    {
        CTestContactStore store;
        store.SetClassFolder(Folder() + "\\missing");
        store.LoadItems(TRUE);  // a missing file starts an empty, modified document
        EXPECT_EQ(0, store.GetItemCount());
    }
}

TEST_F(StoreFileTest, SortAndReloadOnTwoThreads)
{
    m_dir.Write("contact.xml", TempDir::Read(Fixture("model/contact.xml")));
    CTestContactStore store;
    store.SetClassFolder(Folder());
    store.LoadItems(TRUE);
    std::atomic<bool> stop{false};
    std::thread reloader([&] {
        for (int i = 0; i < 200; ++i)
            store.LoadItems(i % 2);
        stop.store(true);
    });
    int rounds = 0;
    while (!stop.load() || rounds < 200) {
        store.SortItems(1 + rounds % 5, rounds % 2);
        auto lock = store.LockItems();
        int count = store.GetItemCount();
        EXPECT_EQ(3, count);
        for (int i = 0; i < count; ++i)
            EXPECT_FALSE(store.GetItem(i)->m_realName.IsEmpty());
        ++rounds;
    }
    reloader.join();
    EXPECT_EQ(3, store.GetItemCount());
}

namespace {

// Makes file permissions bind this thread even when the tests run as root:
// the capabilities that bypass them leave its effective set for the scope.
class PermissionsEnforced {
public:
    PermissionsEnforced()
    {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, reduced);
    }
    ~PermissionsEnforced() { syscall(SYS_capset, &m_header, m_saved); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};

struct StoreKind {
    const char* file;
    const char* root;
    const char* feature;
    std::function<CClassStore*()> make;
    std::function<void(CClassStore*)> load;
};

template <typename Store>
StoreKind Kind(const char* file, const char* root, const char* feature)
{
    return {file, root, feature, [] { return new Store; },
            [](CClassStore* store) { static_cast<Store*>(store)->LoadItems(TRUE); }};
}

} // namespace

// A store file that exists but cannot be read at load time is left as it is:
// nothing is listed, the destroyed store does not write over it, and the next
// load reads it.
TEST_F(StoreFileTest, UnreadableFileIsNeverReplaced)
{
    const StoreKind kinds[] = {
        Kind<CContactStore>("contact.xml", "contact", "[通讯录]"),
        Kind<CMessageStore>("message.xml", "message", "[留言]"),
        Kind<CPictureStore>("picture.xml", "picture", "[照片]"),
        Kind<CPrivateStore>("private.xml", "private", "[悄悄话]"),
    };
    for (const StoreKind& kind : kinds) {
        SCOPED_TRACE(kind.file);
        std::string root = kind.root;
        std::string bytes = "<" + root + ">\n\t<item read=\"0\" custo_id=\"2\" id=\"b\">\n\t\t<title>two</title>\n"
                            "\t</item>\n\t<item read=\"1\" custo_id=\"1\" id=\"a\">\n\t\t<title>one</title>\n"
                            "\t</item>\n</" + root + ">\n";
        m_dir.Write(kind.file, bytes);
        CTestSchoolClass schoolClass(nullptr, false);
        {
            std::unique_ptr<CClassStore> store(kind.make());
            store->SetClassFolder(Folder());
            store->SetSchoolClass(&schoolClass);
            std::filesystem::permissions(Path(kind.file), std::filesystem::perms::none);
            {
                PermissionsEnforced enforced;
                kind.load(store.get());
            }
            std::filesystem::permissions(Path(kind.file), std::filesystem::perms::owner_read |
                                                              std::filesystem::perms::owner_write);
            EXPECT_EQ(0, store->GetItemCount());
            EXPECT_TRUE(store->GetXmlFile()->IsFileKept());
            ASSERT_EQ(1, schoolClass.GetLogCount());
            EXPECT_NE(-1, schoolClass.GetLogLine(0).Find(kind.feature));
            EXPECT_FALSE(store->GetXmlFile()->Save());
        }
        EXPECT_EQ(bytes, TempDir::Read(Path(kind.file)));

        std::unique_ptr<CClassStore> again(kind.make());
        again->SetClassFolder(Folder());
        kind.load(again.get());
        EXPECT_EQ(2, again->GetItemCount());
        EXPECT_FALSE(again->GetXmlFile()->IsFileKept());
    }
}

// Missing and empty files hold nothing to keep: they are written as before.
TEST_F(StoreFileTest, MissingOrEmptyFileIsWritten)
{
    for (bool empty : {false, true}) {
        if (empty)
            m_dir.Write("contact.xml", "");
        {
            CContactStore store;
            store.SetClassFolder(Folder());
            store.LoadItems(TRUE);
            EXPECT_FALSE(store.GetXmlFile()->IsFileKept()) << empty;
            EXPECT_TRUE(store.GetXmlFile()->Save()) << empty;
        }
        EXPECT_TRUE(std::filesystem::exists(Path("contact.xml"))) << empty;
    }
}
