// The item lists over a real frame built headless: columns, cells and row
// images of the owner-data lists, the page captions (also those the tree
// sets), the selection path with its page files and read timers on the
// manual clock, the change of tab, sorting by header click, the photo
// viewer's selection and the display pane's list links.
#include "tests/app/AppTestSupport.h"

#include "app/ItemListRules.h"
#include "app/MsgDispView.h"
#include "app/MsgListView.h"
#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "platform/base/Clock.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace tavrin;
using namespace tavrin::app;
namespace fs = std::filesystem;

namespace {

// Pages rendered as "page <custo_id>"; a custo_id in `blank` renders nothing.
std::set<std::string> g_blank;

template <class Base>
class CPageStore : public Base {
public:
    ~CPageStore() override { this->Close(); }
    CString RenderPage(CString custoId) override
    {
        if (g_blank.count(custoId.GetString()))
            return CString();
        CString page;
        page.Format("page %s", custoId.GetString());
        return page;
    }
    CString RenderDetailPage(CString custoId, int width) override
    {
        CString page;
        page.Format("photo %s %d", custoId.GetString(), width);
        return page;
    }
};

class CListsClass : public CSchoolClass {
public:
    ~CListsClass() override { Close(); }
    void CreateStores() override
    {
        m_messageStore = new CPageStore<CMessageStore>;
        m_pictureStore = new CPageStore<CPictureStore>;
        m_contactStore = new CPageStore<CContactStore>;
        m_privateStore = new CPageStore<CPrivateStore>;
        for (CClassStore* store : {static_cast<CClassStore*>(m_messageStore), static_cast<CClassStore*>(m_pictureStore),
                                   static_cast<CClassStore*>(m_contactStore),
                                   static_cast<CClassStore*>(m_privateStore)})
            store->SetSchoolClass(this);
    }
};

class CListsAccount : public CAccount {
public:
    ~CListsAccount() override { Close(); }
    CString GetPrivateFeatureName() override { return "悄悄话"; }
};

CString Custo(int n)
{
    CString text;
    text.Format("%d", n);
    return text;
}

class ItemListsTest : public test::FrameFixture {
protected:
    clock::ManualScope m_clock{1000000};
    CListsAccount* m_account = nullptr;
    CListsClass* m_class = nullptr;

    void SetUp() override
    {
        FrameFixture::SetUp();
        // The frame starts without accounts and asks once for one.
        win::QueueMessageBoxAnswer(IDNO);
        Pump();
        win::TakeMessageBoxLog();
        g_blank.clear();
        m_account = new CListsAccount;
        m_account->SetUserNameAndPassword("lists", "pw");
        m_account->SetDataFolder(AppDir() + "\\accounts\\lists");
        ASSERT_TRUE(Tree().GetAccountList().Add(m_account));
        m_class = new CListsClass;
        m_class->SetAccount(m_account);
        m_class->SetId("c1");
        m_class->SetCustoName("一班");
        m_class->CreateStores();
        m_account->AddClass(m_class);
        Tree().RebuildTree();
    }
    void TearDown() override
    {
        g_blank.clear();
        win::ClearMessageBoxAnswers();
        FrameFixture::TearDown();
    }

    CMsgListView& Lists() { return *m_frame->m_pListView; }
    CMsgDispView& Disp() { return *m_frame->m_pDispView; }
    CMessageStore* Messages() { return m_class->GetMessageStore(); }
    CPictureStore* Pictures() { return m_class->GetPictureStore(); }
    CContactStore* Contacts() { return m_class->GetContactStore(); }
    CPrivateStore* Notes() { return m_class->GetPrivateStore(); }
    fs::path ClassPath() const { return m_dir.Path() / "accounts" / "lists" / "c1"; }

    CMessageItem* AddMessage(const char* title, int read = 0, int pinned = 0)
    {
        auto* item = new CMessageItem;
        item->m_custoId = Custo(Messages()->GetItemCount() + 1);
        item->m_id = item->m_custoId;
        item->m_title = title;
        item->m_user = "张三";
        item->m_time = "2005-06-01 10:00";
        item->m_read = read;
        item->m_pinned = pinned;
        Messages()->AddItem(item);
        return item;
    }
    void AddMessages(int count)
    {
        for (int i = 0; i < count; ++i)
            AddMessage(("m" + std::to_string(i)).c_str());
    }
    void AddContact(const char* realName, const char* userName)
    {
        auto* item = new CContactItem;
        item->m_custoId = Custo(Contacts()->GetItemCount() + 1);
        item->m_realName = realName;
        item->m_userName = userName;
        Contacts()->AddItem(item);
    }
    void AddPicture(const char* id, const char* smallId)
    {
        auto* item = new CPictureItem;
        item->m_custoId = Custo(Pictures()->GetItemCount() + 1);
        item->m_id = id;
        item->m_smallId = smallId;
        item->m_tile = id;
        Pictures()->AddItem(item);
    }
    void AddNote(const char* title, const char* reply)
    {
        auto* item = new CPrivateItem;
        item->m_custoId = Custo(Notes()->GetItemCount() + 1);
        item->m_title = title;
        item->m_replyStatus = reply;
        Notes()->AddItem(item);
    }

    void SelectTheClass()
    {
        Tree().SelectClass(m_class);
        Pump();
    }
    std::string TabText(int page)
    {
        char text[256] = {};
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        Lists().m_wndTab.GetItem(page, &item);
        return text;
    }
    std::vector<std::string> Captions()
    {
        return {TabText(0), TabText(1), TabText(2), TabText(3)};
    }
    // A click on the tab, as the user changes pages.
    void ClickTab(int page)
    {
        CRect rect;
        Lists().m_wndTab.GetItemRect(page, &rect);
        const LPARAM at = MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y);
        Lists().m_wndTab.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Lists().m_wndTab.SendMessage(WM_LBUTTONUP, 0, at);
        Pump();
    }
    void Select(int page, int row)
    {
        Lists().GetList(page).SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        Pump();
    }
    std::vector<int> SelectedRows(int page)
    {
        std::vector<int> rows;
        CXTListCtrl& list = Lists().GetList(page);
        for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
            rows.push_back(row);
        return rows;
    }
    std::string Shown() { return Disp().GetLocationURL().GetString(); }
    static bool EndsWith(const std::string& text, const std::string& tail)
    {
        return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    }
    std::string ReadPage(const char* name) const { return test::TempDir::Read(ClassPath() / name); }
    void Wait(int ms)
    {
        clock::Advance(ms);
        Pump();
    }
    std::vector<int> ReadFlags(CClassStore* store)
    {
        std::vector<int> flags;
        CClassStore::ItemsLock lock = store->LockItems();
        for (int i = 0; i < store->GetItemCount(); ++i)
            flags.push_back(store->GetItem(i)->m_read);
        return flags;
    }
    // What the given header click does: the list hears it from its header.
    void ClickHeader(int page, int column, int button)
    {
        CXTListCtrl& list = Lists().GetList(page);
        CWnd* header = list.GetHeaderCtrl();
        ASSERT_NE(header, nullptr);
        if (button == 1) {
            // The header's own menu stored the direction first.
            Lists().GetHeader(page).SetSortColumn(column, FALSE);
        }
        NMHEADERA nm{};
        nm.hdr.hwndFrom = header->m_hWnd;
        nm.hdr.idFrom = 0;
        nm.hdr.code = HDN_ITEMCLICKA;
        nm.iItem = column;
        nm.iButton = button;
        list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        Pump();
    }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        CClassStore::ItemsLock lock = Messages()->LockItems();
        for (int i = 0; i < Messages()->GetItemCount(); ++i)
            titles.push_back(static_cast<CMessageItem*>(Messages()->GetItem(i))->m_title.GetString());
        return titles;
    }
    void Navigate(const char* url)
    {
        CByteArray none;
        BOOL cancel = FALSE;
        Disp().OnBeforeNavigate2(url, 0, nullptr, none, nullptr, &cancel);
        EXPECT_TRUE(cancel) << url;
        Pump();
    }
};

// Rules without a window

TEST(ItemListRules, ColumnWidthsFollowTheListWidthAndNeverGoNegative)
{
    struct Case {
        int page;
        int width;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {kMessagePage, 800, {16, 445, 144, 176}},
        {kPicturePage, 800, {16, 231, 133, 133, 106, 160}},
        {kContactPage, 800, {16, 133, 133, 157, 133, 207}},
        {kNotePage, 800, {16, 445, 106, 160, 53}},
        {kMessagePage, 100, {16, 25, 18, 22}},
        {kContactPage, 100, {16, 16, 16, 40, 16, 0}},
        {kMessagePage, 30, {16, 0, 5, 6}},
        {kNotePage, 30, {16, 0, 4, 6, 2}},
        {kPicturePage, 0, {16, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColumnWidths(c.page, c.width, 17), c.widths) << c.page << " at " << c.width;
        EXPECT_EQ(ColumnCaptions(c.page).size(), c.widths.size());
    }
}

TEST(ItemListRules, CellsShowTheirFieldsAndTheReplyColumnOnlyExactYes)
{
    CMessageItem message;
    message.m_title = "主题一";
    message.m_user = "李四";
    message.m_time = "2005-06-01";
    CPictureItem picture;
    picture.m_tile = "春游";
    picture.m_uploadUser = "王五";
    picture.m_click = "12";
    picture.m_commentNum = "3";
    picture.m_uploadTime = "2005-07-01";
    CContactItem contact;
    contact.m_realName = "赵六";
    contact.m_userName = "zl";
    contact.m_membership = "同学";
    contact.m_visitTime = "7";
    contact.m_lastVisit = "2005-08-01";
    CPrivateItem note;
    note.m_title = "你好";
    note.m_realName = "钱七";
    note.m_time = "2005-09-01";
    struct Case {
        int page;
        const CStoreItem* item;
        int column;
        const char* text;
    };
    const Case cases[] = {
        {kMessagePage, &message, 0, ""},          {kMessagePage, &message, 1, "主题一"},
        {kMessagePage, &message, 2, "李四"},      {kMessagePage, &message, 3, "2005-06-01"},
        {kMessagePage, &message, 4, ""},          {kPicturePage, &picture, 1, "春游"},
        {kPicturePage, &picture, 2, "王五"},      {kPicturePage, &picture, 3, "12"},
        {kPicturePage, &picture, 4, "3"},         {kPicturePage, &picture, 5, "2005-07-01"},
        {kContactPage, &contact, 1, "赵六"},      {kContactPage, &contact, 2, "zl"},
        {kContactPage, &contact, 3, "同学"},      {kContactPage, &contact, 4, "7"},
        {kContactPage, &contact, 5, "2005-08-01"}, {kNotePage, &note, 1, "你好"},
        {kNotePage, &note, 2, "钱七"},            {kNotePage, &note, 3, "2005-09-01"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellText(c.page, *c.item, c.column), c.text) << c.page << "/" << c.column;
    for (const auto& [reply, shown] : std::vector<std::pair<const char*, const char*>>{
             {"yes", "是"}, {"Yes", "否"}, {"YES", "否"}, {"yes ", "否"}, {"", "否"}, {"no", "否"}}) {
        note.m_replyStatus = reply;
        EXPECT_EQ(CellText(kNotePage, note, 4), shown) << "[" << reply << "]";
    }
}

TEST(ItemListRules, RowImagesByPageWithPinnedMessages)
{
    CMessageItem message;
    EXPECT_EQ(RowImage(kMessagePage, &message), 0);
    message.m_pinned = 1;
    EXPECT_EQ(RowImage(kMessagePage, &message), 3);
    EXPECT_EQ(RowImage(kMessagePage, nullptr), 0);
    EXPECT_EQ(RowImage(kPicturePage, nullptr), 1);
    EXPECT_EQ(RowImage(kContactPage, nullptr), 2);
    EXPECT_EQ(RowImage(kNotePage, nullptr), 0);
}

TEST(ItemListRules, CaptionsCarryCountsAndTheSearchWinsOverTheUpdate)
{
    struct Case {
        int page;
        CaptionState state;
        const char* caption;
    };
    auto state = [](int unread, int count, bool text, bool searching, bool updating) {
        CaptionState s;
        s.unread = unread;
        s.count = count;
        s.searchText = text;
        s.searching = searching;
        s.updating = updating;
        s.privateName = "小纸条";
        return s;
    };
    const Case cases[] = {
        {kMessagePage, state(3, 40, false, false, false), "留言(3/40)"},
        {kMessagePage, state(3, 40, true, true, true), "留言(3/40)[搜索中...]"},
        {kMessagePage, state(3, 40, true, false, true), "留言(3/40)[搜索]"},
        {kMessagePage, state(0, 0, false, true, true), "留言(0/0)[更新中...]"},
        {kPicturePage, state(1, 2, false, false, true), "照片(1/2)[更新中...]"},
        {kPicturePage, state(1, 2, true, false, false), "照片(1/2)[搜索]"},
        {kContactPage, state(9, 4, false, false, false), "通讯录(4)"},
        {kContactPage, state(0, 4, true, true, false), "通讯录(4)[搜索中...]"},
        {kNotePage, state(2, 5, false, false, false), "小纸条(2/5)"},
        {kNotePage, state(2, 5, false, false, true), "小纸条(2/5)[更新中...]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageCaption(c.page, c.state), c.caption);
    EXPECT_EQ(IdleCaption(kNotePage, ""), "在线消息");
    EXPECT_EQ(IdleCaption(kNotePage, "悄悄话"), "悄悄话");
}

TEST(ItemListRules, NumbersAndPaging)
{
    const std::pair<const char*, int> numbers[] = {{"3", 3},   {"-2", -2}, {"+7x", 7}, {"abc", 0},
                                                   {"", 0},    {" 5", 0},  {"12ab", 12}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(LeadingNumber(text), value) << text;
    struct Case {
        int row, count, size, previous, next;
    };
    const Case messages[] = {
        {10, 12, 5, 5, 0}, {0, 12, 5, 7, 5}, {3, 12, 5, 0, 8}, {8, 12, 5, 3, 0}, {0, 3, 5, 0, 0}, {-1, 12, 5, 7, 4},
        {2, 12, 1, 1, 3},
    };
    for (const Case& c : messages) {
        EXPECT_EQ(PreviousMessageRow(c.row, c.count, c.size), c.previous) << c.row << "/" << c.count;
        EXPECT_EQ(NextMessageRow(c.row, c.count, c.size), c.next) << c.row << "/" << c.count;
    }
    EXPECT_EQ(PreviousPictureRow(0, 1), 0);
    EXPECT_EQ(PreviousPictureRow(0, 5), 4);
    EXPECT_EQ(PreviousPictureRow(3, 5), 2);
    EXPECT_EQ(NextPictureRow(4, 5), 0);
    EXPECT_EQ(NextPictureRow(2, 5), 3);
}

// The view in the frame

TEST_F(ItemListsTest, CaptionsWithoutAClassWithAnAccountAndWithAClass)
{
    EXPECT_EQ(Captions(), (std::vector<std::string>{"留言", "照片", "通讯录", "在线消息"}));
    Tree().SelectAccount(m_account);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"留言", "照片", "通讯录", "悄悄话"}));

    AddMessages(3);
    Messages()->GetItem(0)->m_read = 1;
    AddPicture("p1", "s1");
    AddContact("赵六", "zl");
    AddContact("钱七", "qq");
    SelectTheClass();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"留言(2/3)", "照片(1/1)", "通讯录(2)", "悄悄话(0/0)"}));
    EXPECT_EQ(Lists().GetList(kMessagePage).GetItemCount(), 3);
    EXPECT_EQ(Lists().GetList(kContactPage).GetItemCount(), 2);

    // A set flag empties its page; only the message page gets a zero caption.
    Lists().UpdateTabTitles(TRUE, TRUE, FALSE, FALSE);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"留言(0/0)[更新中...]", "照片(1/1)", "通讯录(2)", "悄悄话(0/0)"}));
    EXPECT_EQ(Lists().GetList(kMessagePage).GetItemCount(), 0);
    EXPECT_EQ(Lists().GetList(kPicturePage).GetItemCount(), 0);
    EXPECT_EQ(Lists().GetList(kContactPage).GetItemCount(), 2);
    Messages()->SetLastSearch("关键");
    Lists().UpdateTabTitles(TRUE, FALSE, FALSE, FALSE);
    EXPECT_EQ(TabText(0), "留言(0/0)[搜索中...]");
    // A finished search keeps its text.
    Lists().UpdateTabTitles(FALSE, FALSE, FALSE, FALSE);
    EXPECT_EQ(TabText(0), "留言(2/3)[搜索]");
    EXPECT_EQ(Lists().GetList(kPicturePage).GetItemCount(), 1);

    // The tree's refresh sets the captions of the current class.
    Messages()->SetLastSearch("");
    AddNote("n", "yes");
    Tree().UpdateItemStates();
    EXPECT_EQ(Captions(), (std::vector<std::string>{"留言(2/3)", "照片(1/1)", "通讯录(2)", "悄悄话(1/1)"}));
    // Back to the root: bare captions and empty lists.
    TreeCtrl().SelectItem(TreeCtrl().GetRootItem());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"留言", "照片", "通讯录", "在线消息"}));
    EXPECT_EQ(Lists().GetList(kMessagePage).GetItemCount(), 0);
}

TEST_F(ItemListsTest, RowsReadTheStoreAndARowWithoutARecordIsEmpty)
{
    AddMessage("置顶", 0, 1);
    AddMessage("普通");
    AddNote("n1", "yes");
    SelectTheClass();
    CXTListCtrl& list = Lists().GetList(kMessagePage);
    EXPECT_EQ(list.GetItemText(0, 1), "置顶");
    EXPECT_EQ(list.GetItemText(1, 2), "张三");
    EXPECT_EQ(list.GetItemText(1, 0), "");
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    list.GetItem(&item);
    EXPECT_EQ(item.iImage, 3);
    item.iItem = 1;
    list.GetItem(&item);
    EXPECT_EQ(item.iImage, 0);
    // The store lost its records before the row count changed.
    Messages()->RemoveAllItems();
    EXPECT_EQ(list.GetItemText(1, 1), "");
    // Only the current page answers.
    EXPECT_EQ(Lists().GetList(kNotePage).GetItemText(0, 1), "");
    ClickTab(kNotePage);
    EXPECT_EQ(Lists().GetList(kNotePage).GetItemText(0, 4), "是");
}

TEST_F(ItemListsTest, SelectingARowWritesItsPageShowsItAndItsTimerMarksItRead)
{
    SetConfig(CFG_READ_TIMEOUT, "3");
    AddMessages(4);
    SelectTheClass();
    Select(kMessagePage, 1);
    EXPECT_EQ(ReadPage("message.htm"), "page 2");
    EXPECT_TRUE(EndsWith(Shown(), "/message.htm")) << Shown();
    EXPECT_EQ(Messages()->GetCurrentCustoId(), "2");
    // Selecting another row before the delay restarts the timer.
    Wait(2000);
    Select(kMessagePage, 2);
    Wait(2000);
    EXPECT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 0, 0, 0}));
    Wait(1000);
    EXPECT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 0, 1, 0}));
    EXPECT_EQ(TabText(0), "留言(3/4)");

    // An empty page changes nothing and starts no timer.
    g_blank.insert("4");
    Select(kMessagePage, 3);
    EXPECT_EQ(ReadPage("message.htm"), "page 3");
    EXPECT_EQ(Messages()->GetCurrentCustoId(), "3");
    Wait(5000);
    EXPECT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 0, 1, 0}));

    // A contact page starts no timer; a photo page is laid out for the pane.
    AddContact("赵六", "zl");
    AddPicture("p1", "s1");
    Lists().UpdateTabTitles(FALSE, FALSE, FALSE, FALSE);
    ClickTab(kContactPage);
    Select(kContactPage, 0);
    EXPECT_EQ(ReadPage("contact.htm"), "page 1");
    EXPECT_TRUE(EndsWith(Shown(), "/contact.htm"));
    ClickTab(kPicturePage);
    Select(kPicturePage, 0);
    CRect pane;
    Disp().GetClientRect(&pane);
    EXPECT_EQ(ReadPage("picture.htm"), "photo 1 " + std::to_string(pane.Width()));
    Wait(3000);
    EXPECT_EQ(ReadFlags(Pictures()), (std::vector<int>{1}));
}

TEST_F(ItemListsTest, APageThatCannotBeWrittenShowsTheEmptyPageNotTheOlderFile)
{
    AddMessages(2);
    SelectTheClass();
    Select(kMessagePage, 0);
    ASSERT_EQ(ReadPage("message.htm"), "page 1");
    // The pending name of the next write is taken by a folder, so the write fails.
    fs::create_directories(ClassPath() / ".message.htm.tmp" / "x");
    Select(kMessagePage, 1);
    EXPECT_EQ(ReadPage("message.htm"), "page 1");
    EXPECT_TRUE(EndsWith(Shown(), "/empty.htm")) << Shown();
    // The item is still the current one.
    EXPECT_EQ(Messages()->GetCurrentCustoId(), "2");
}

TEST_F(ItemListsTest, AChangeOfTabRendersTheSameRowAgainWithoutATimer)
{
    SetConfig(CFG_READ_TIMEOUT, "3");
    AddMessages(3);
    AddContact("赵六", "zl");
    SelectTheClass();
    Select(kMessagePage, 1);
    Wait(3000);
    ASSERT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 1, 0}));
    Messages()->GetItem(1)->m_read = 0;
    ClickTab(kContactPage);
    // No current contact: the empty page.
    EXPECT_TRUE(EndsWith(Shown(), "/empty.htm")) << Shown();
    fs::remove(ClassPath() / "message.htm");
    ClickTab(kMessagePage);
    EXPECT_EQ(ReadPage("message.htm"), "page 2");
    EXPECT_TRUE(EndsWith(Shown(), "/message.htm"));
    Wait(5000);
    EXPECT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 0, 0}));

    // The current item is gone: the empty page.
    ClickTab(kContactPage);
    Messages()->SetCurrentCustoId("99");
    ClickTab(kMessagePage);
    EXPECT_TRUE(EndsWith(Shown(), "/empty.htm")) << Shown();

    // A current item that is no longer selected is selected again.
    ClickTab(kContactPage);
    Messages()->SetCurrentCustoId("3");
    ClickTab(kMessagePage);
    EXPECT_EQ(SelectedRows(kMessagePage), (std::vector<int>{1, 2}));
    EXPECT_EQ(ReadPage("message.htm"), "page 3");
}

TEST_F(ItemListsTest, TheMessageTimerMarksKeyTwentySevenRowsAndAlwaysSaves)
{
    SetConfig(CFG_READ_TIMEOUT, "0");
    SetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER, "3");
    AddMessages(5);
    SelectTheClass();
    Tree().UpdateItemStates();
    ASSERT_TRUE(Tree().GetItemBold(TreeCtrl().GetRootItem()));
    Select(kMessagePage, 1);
    Wait(10);
    EXPECT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 1, 1, 1, 0}));
    // At the end of the list only the rows that exist.
    Select(kMessagePage, 4);
    Wait(10);
    EXPECT_EQ(ReadFlags(Messages()), (std::vector<int>{0, 1, 1, 1, 1}));
    // Already read: the tree is refreshed all the same.
    Messages()->GetItem(0)->m_read = 1;
    Select(kMessagePage, 3);
    Wait(10);
    EXPECT_FALSE(Tree().GetItemBold(TreeCtrl().GetRootItem()));

    // A negative delay reads as none.
    SetConfig(CFG_READ_TIMEOUT, "-5");
    AddNote("n1", "");
    AddNote("n2", "");
    Lists().UpdateTabTitles(FALSE, FALSE, FALSE, FALSE);
    ClickTab(kNotePage);
    Select(kNotePage, 0);
    Wait(10);
    EXPECT_EQ(ReadFlags(Notes()), (std::vector<int>{1, 0}));
    EXPECT_EQ(TabText(kNotePage), "悄悄话(1/2)");
}

TEST_F(ItemListsTest, TheTimersMarkTheRecordFoundWhenTheyFire)
{
    SetConfig(CFG_READ_TIMEOUT, "3");
    AddPicture("p1", "s1");
    AddPicture("p2", "s2");
    SelectTheClass();
    ClickTab(kPicturePage);
    Select(kPicturePage, 0);
    // The store is reloaded before the timer fires: the record of the
    // current custo_id now is another object at another row.
    Pictures()->RemoveAllItems();
    AddPicture("p0", "s0");
    AddPicture("p1", "s1");
    Wait(3000);
    EXPECT_EQ(ReadFlags(Pictures()), (std::vector<int>{1, 0}));
    // Gone entirely: nothing is marked.
    Select(kPicturePage, 1);
    Pictures()->RemoveAllItems();
    AddPicture("p9", "s9");
    Wait(3000);
    EXPECT_EQ(ReadFlags(Pictures()), (std::vector<int>{0}));
}

TEST_F(ItemListsTest, ThePhotoViewersSelectionRestartsTheTimerOnAnyPage)
{
    SetConfig(CFG_READ_TIMEOUT, "3");
    AddPicture("p1", "s1");
    AddPicture("p2", "s2");
    AddMessages(1);
    SelectTheClass();
    Select(kMessagePage, 0);
    ASSERT_EQ(ReadPage("message.htm"), "page 1");
    Lists().SelectItem(1);
    EXPECT_EQ(SelectedRows(kPicturePage), (std::vector<int>{1}));
    // Another page is current: the display pane keeps its page.
    EXPECT_TRUE(EndsWith(Shown(), "/message.htm"));
    EXPECT_FALSE(fs::exists(ClassPath() / "picture.htm"));
    Lists().SelectItem(0);
    EXPECT_EQ(SelectedRows(kPicturePage), (std::vector<int>{0}));
}

TEST_F(ItemListsTest, AHeaderClickSortsASecondReversesAndTheCurrentItemIsSelectedAgain)
{
    AddMessage("b");
    AddMessage("c");
    AddMessage("a");
    // The pinned run leads the store.
    auto* pinned = new CMessageItem;
    pinned->m_custoId = "9";
    pinned->m_title = "z";
    pinned->m_pinned = 1;
    Messages()->InsertItem(pinned, 0);
    SelectTheClass();
    Select(kMessagePage, 2);  // "c"
    ClickHeader(kMessagePage, 1, 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"z", "a", "b", "c"}));
    BOOL ascending = FALSE;
    EXPECT_EQ(Lists().GetHeader(kMessagePage).GetSortColumn(&ascending), 1);
    EXPECT_TRUE(ascending);
    EXPECT_EQ(SelectedRows(kMessagePage), (std::vector<int>{3}));
    ClickHeader(kMessagePage, 1, 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"z", "c", "b", "a"}));
    Lists().GetHeader(kMessagePage).GetSortColumn(&ascending);
    EXPECT_FALSE(ascending);
    EXPECT_EQ(SelectedRows(kMessagePage), (std::vector<int>{1}));
    // Column 0 does nothing.
    ClickHeader(kMessagePage, 0, 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"z", "c", "b", "a"}));
    // The header's own menu chose descending on another column.
    ClickHeader(kMessagePage, 2, 1);
    EXPECT_EQ(Messages()->GetSortColumn(), 2);
    EXPECT_FALSE(Messages()->GetSortAscending());
    // Another column sorts ascending.
    ClickHeader(kMessagePage, 1, 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"z", "a", "b", "c"}));
}

TEST_F(ItemListsTest, DeleteKeyUpIsSwallowedAndSelectAllRendersNothing)
{
    AddMessages(3);
    SelectTheClass();
    MSG up{Lists().GetList(0).m_hWnd, WM_KEYUP, VK_DELETE, 0, 0, {}};
    EXPECT_TRUE(Lists().PreTranslateMessage(&up));
    Lists().OnSelectAll();
    EXPECT_EQ(SelectedRows(kMessagePage), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(fs::exists(ClassPath() / "message.htm"));
}

TEST_F(ItemListsTest, ADoubleClickTogglesTheComposePaneAndOnMessagesSetsReply)
{
    AddMessages(2);
    SelectTheClass();
    Select(kMessagePage, 0);
    NMHDR hdr{Lists().GetList(0).m_hWnd, IDC_MESSAGE_LIST, NM_DBLCLK};
    LRESULT result = 1;
    Lists().OnDblClkMessageList(&hdr, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_frame->m_wndSplitterItems.GetHiddenRowIndex(), 1);
    EXPECT_TRUE(EndsWith(Shown(), "/message.htm"));
    Lists().OnDblClkMessageList(&hdr, &result);
    EXPECT_LT(m_frame->m_wndSplitterItems.GetHiddenRowIndex(), 0);
    EXPECT_EQ(Messages()->GetComposeMode(), 1);
    Lists().OnDblClkList(&hdr, &result);
    EXPECT_EQ(m_frame->m_wndSplitterItems.GetHiddenRowIndex(), 1);
    Lists().OnDblClkList(&hdr, &result);
    EXPECT_LT(m_frame->m_wndSplitterItems.GetHiddenRowIndex(), 0);
    // Without a class nothing happens.
    TreeCtrl().SelectItem(TreeCtrl().GetRootItem());
    Lists().OnDblClkList(&hdr, &result);
    EXPECT_LT(m_frame->m_wndSplitterItems.GetHiddenRowIndex(), 0);
}

TEST_F(ItemListsTest, ContactAndPhotoLinksSwitchPagesAndSelectTheFirstMatch)
{
    AddMessages(1);
    AddContact("赵六", "a");
    AddContact("钱七", "b");
    AddContact("钱七", "c");
    AddPicture("100", "s100");
    AddPicture("200", "s200");
    SelectTheClass();
    Select(kMessagePage, 0);
    Navigate("tavrin:点击查看[钱七]的通讯录");
    EXPECT_EQ(Lists().GetCurrentPage(), kContactPage);
    EXPECT_EQ(SelectedRows(kContactPage), (std::vector<int>{1}));
    EXPECT_EQ(ReadPage("contact.htm"), "page 2");
    // Nobody of that name: the selection is cleared and the page stays.
    Navigate("tavrin:点击查看[孙八]的通讯录");
    EXPECT_TRUE(SelectedRows(kContactPage).empty());
    EXPECT_TRUE(EndsWith(Shown(), "/contact.htm"));
    Navigate("tavrin:点击查看编号[200]的照片");
    EXPECT_EQ(Lists().GetCurrentPage(), kPicturePage);
    EXPECT_EQ(SelectedRows(kPicturePage), (std::vector<int>{1}));
    Navigate("tavrin:点击查看编号[s100]的照片");
    EXPECT_EQ(SelectedRows(kPicturePage), (std::vector<int>{0}));
}

TEST_F(ItemListsTest, PagingLinksMoveByKeyTwentySevenMessagesOrOnePhoto)
{
    SetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER, "5");
    AddMessages(12);
    AddPicture("1", "");
    AddPicture("2", "");
    AddPicture("3", "");
    SelectTheClass();
    // No current message: the empty page.
    Navigate("tavrin:下一页");
    EXPECT_TRUE(EndsWith(Shown(), "/empty.htm")) << Shown();
    struct Case {
        int from;
        const char* link;
        int to;
    };
    const Case cases[] = {
        {10, "tavrin:下一页", 0}, {0, "tavrin:上一页", 7}, {3, "tavrin:上一页", 0}, {8, "tavrin:上一页", 3},
        {2, "tavrin:下一页", 7},
    };
    for (const Case& c : cases) {
        Select(kMessagePage, c.from);
        Navigate(c.link);
        EXPECT_EQ(SelectedRows(kMessagePage), (std::vector<int>{c.to})) << c.from << " " << c.link;
        EXPECT_EQ(Messages()->GetCurrentCustoId(), Custo(c.to + 1));
    }
    ClickTab(kPicturePage);
    Select(kPicturePage, 0);
    Navigate("tavrin:上一页");
    EXPECT_EQ(SelectedRows(kPicturePage), (std::vector<int>{2}));
    Navigate("tavrin:下一页");
    EXPECT_EQ(SelectedRows(kPicturePage), (std::vector<int>{0}));
}

} // namespace
