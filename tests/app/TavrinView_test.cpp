// The account tree over a real frame built headless: rebuild, bold states,
// selection effects, renaming, the folder names of new accounts, the
// add-account, properties and access dialogs as the tree and the user
// drive them, and a class-list worker replacing classes during rebuilds.
#include "tests/app/AppTestSupport.h"
#include "app/MiscView.h"
#include "app/MsgDispView.h"

#include "app/dialogs/AccountPropertiesDlg.h"
#include "app/dialogs/AddAccountDlg.h"
#include "core/model/Account.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "platform/browser/HeadlessEngine.h"
#include "platform/win/Locale.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"
#include "reports/res/ReportsIds.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace tavrin;
using test::DialogDriver;

namespace {

class TavrinViewTest : public test::FrameFixture {
protected:
    void TearDown() override
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        win::SetUserLocaleName("");
        FrameFixture::TearDown();
    }
    std::filesystem::path AccountFolder(const char* name) const { return AppPath() / "accounts" / name; }
    std::string ReadFile(const std::filesystem::path& path) const { return test::TempDir::Read(path); }
    HTREEITEM AccountItem(int index)
    {
        HTREEITEM item = TreeCtrl().GetChildItem(TreeCtrl().GetRootItem());
        for (int i = 0; item && i < index; ++i)
            item = TreeCtrl().GetNextSiblingItem(item);
        return item;
    }
};

TEST_F(TavrinViewTest, AnEmptyListGivesTheRootOnlySelectedAndNotBoldAndAsksToAdd)
{
    EXPECT_EQ(Outline(), "Tavrin[6]");
    EXPECT_EQ(TreeCtrl().GetSelectedItem(), TreeCtrl().GetRootItem());
    EXPECT_EQ(Caption(), "Tavrin");
    EXPECT_NE(m_frame->m_hCaptionIcon, nullptr);
    EXPECT_EQ(Tree().GetCurrentAccount(), nullptr);
    EXPECT_EQ(Tree().GetCurrentClass(), nullptr);
    // The question comes once the loop runs; No leaves the tree as it is.
    win::QueueMessageBoxAnswer(IDNO);
    Pump();
    auto log = win::TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "您还没有添加任何帐号，现在就添加吗？");
    EXPECT_EQ(log[0].caption, "提示");
    EXPECT_EQ(log[0].type, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
    EXPECT_EQ(Outline(), "Tavrin[6]");
}

TEST_F(TavrinViewTest, RebuildLabelsImagesDataExpansionAndTheDefaultNameStoredBack)
{
    CAccount* alpha = AddAccount("alpha", "5460(电信用户)", "甲帐号");
    CSchoolClass* one = AddClass(alpha, "101", "高三(1)班");
    CSchoolClass* two = AddClass(alpha, "102", "");
    CAccount* plain = AddAccount("bob", "ChinaRen(Sohu用户)");
    AddClass(plain, "201", "二班");
    CAccount* guarded = AddAccount("carol", "5460(网通用户)", "丙");
    AddClass(guarded, "301", "三班");
    guarded->SetAccessEnabled(TRUE);
    guarded->SetAccessPassword("secret");
    guarded->SetLocked(TRUE);
    // Protected but unlocked, and locked but unprotected: neither is guarded.
    CAccount* open1 = AddAccount("dave", "5460(电信用户)", "丁");
    open1->SetAccessEnabled(TRUE);
    AddClass(open1, "401", "四班");
    CAccount* open2 = AddAccount("eve", "5460(电信用户)", "戊");
    open2->SetLocked(TRUE);
    AddClass(open2, "501", "五班");
    TreeCtrl().SelectItem(nullptr);

    Tree().RebuildTree();
    EXPECT_EQ(Outline(), "Tavrin[6]+(甲帐号[7]+(高三(1)班[8] [8]) bob@ChinaRen(Sohu用户)[7]+(二班[8]) 丙[7](三班[8]) "
                         "丁[7]+(四班[8]) 戊[7]+(五班[8]))");
    EXPECT_EQ(plain->GetCustoName(), "bob@ChinaRen(Sohu用户)") << "the label is kept as the display name";
    EXPECT_EQ(TreeCtrl().GetSelectedItem(), TreeCtrl().GetRootItem());
    EXPECT_EQ(Caption(), "Tavrin");
    EXPECT_EQ(TreeCtrl().GetItemData(TreeCtrl().GetRootItem()), 0u);
    EXPECT_EQ(TreeCtrl().GetItemData(AccountItem(0)), reinterpret_cast<DWORD_PTR>(alpha));
    HTREEITEM first = TreeCtrl().GetChildItem(AccountItem(0));
    EXPECT_EQ(TreeCtrl().GetItemData(first), reinterpret_cast<DWORD_PTR>(one));
    EXPECT_EQ(TreeCtrl().GetItemData(TreeCtrl().GetNextSiblingItem(first)), reinterpret_cast<DWORD_PTR>(two));
    EXPECT_EQ(alpha->GetNotifyWnd(), m_hwnd);

    // The stored name shows in the next rebuild; an account renamed meanwhile keeps its new name.
    alpha->SetCustoName("");
    Tree().RebuildTree();
    EXPECT_EQ(alpha->GetCustoName(), "alpha@5460(电信用户)");
    EXPECT_EQ(TreeCtrl().GetItemText(AccountItem(0)), "alpha@5460(电信用户)");
}

TEST_F(TavrinViewTest, BoldClassesAccountsAndRoot)
{
    struct Case {
        const char* what;
        int messages, pictures, notes;
        bool bold;
    };
    const Case cases[] = {
        {"nothing unread", 0, 0, 0, false},
        {"an unread message", 1, 0, 0, true},
        {"an unread photo", 0, 2, 0, true},
        {"an unread note", 0, 0, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAccount* account = AddAccount("a");
        ASSERT_NE(account, nullptr);
        AddClass(account, "1", "甲", c.messages, c.pictures, c.notes);
        AddClass(account, "2", "乙");
        Tree().RebuildTree();
        const char* b = c.bold ? "*" : "";
        EXPECT_EQ(Outline(), std::string("Tavrin[6]+") + b + "(a@5460(电信用户)[7]+" + b + "(甲[8]" + b + " 乙[8]))");
        // Reading everything clears the bold states at the next update.
        for (int i = 0; i < account->GetClassCount(); ++i)
            for (CClassStore* store : {static_cast<CClassStore*>(account->GetClassAt(i)->GetMessageStore()),
                                       static_cast<CClassStore*>(account->GetClassAt(i)->GetPictureStore()),
                                       static_cast<CClassStore*>(account->GetClassAt(i)->GetPrivateStore())})
                for (int k = 0; k < store->GetItemCount(); ++k)
                    store->GetItem(k)->m_read = 1;
        Tree().UpdateItemStates();
        EXPECT_EQ(Outline(), "Tavrin[6]+(a@5460(电信用户)[7]+(甲[8] 乙[8]))");
        Tree().GetAccountList().Remove(account);
    }
    // Two accounts: only the one with unread data is bold, and the root.
    CAccount* quiet = AddAccount("q");
    AddClass(quiet, "1", "甲");
    CAccount* busy = AddAccount("b");
    AddClass(busy, "1", "乙", 3);
    Tree().RebuildTree();
    EXPECT_EQ(Outline(), "Tavrin[6]+*(q@5460(电信用户)[7]+(甲[8]) b@5460(电信用户)[7]+*(乙[8]*))");
}

TEST_F(TavrinViewTest, SelectingSetsTheCaptionAndWritesAMissingProfilePage)
{
    CAccount* withFolder = AddAccount("has");
    CAccount* withPage = AddAccount("page");
    CAccount* without = AddAccount("none");
    CSchoolClass* schoolClass = AddClass(withFolder, "7", "高三(2)班");
    std::filesystem::create_directories(AccountFolder("has"));
    std::filesystem::create_directories(AccountFolder("page"));
    std::ofstream(AccountFolder("page") / "profile.htm") << "downloaded";
    Tree().RebuildTree();

    struct Case {
        const char* what;
        std::function<void()> select;
        std::string caption;
    };
    const Case cases[] = {
        {"account with a folder", [&] { Tree().SelectAccount(withFolder); }, "has@5460(电信用户)"},
        {"account with its page", [&] { Tree().SelectAccount(withPage); }, "page@5460(电信用户)"},
        {"account without a folder", [&] { Tree().SelectAccount(without); }, "none@5460(电信用户)"},
        {"class", [&] { Tree().SelectClass(schoolClass); }, "第一中学 - 高三(2)班"},
        {"root", [&] { TreeCtrl().SelectItem(TreeCtrl().GetRootItem()); }, "Tavrin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.select();
        EXPECT_EQ(Caption(), c.caption);
        EXPECT_NE(m_frame->m_hCaptionIcon, nullptr);
    }
    EXPECT_EQ(Tree().GetCurrentClass(), nullptr);
    const std::string page = ReadFile(AccountFolder("has") / "profile.htm");
    EXPECT_NE(page.find("个人档案尚未下载."), std::string::npos);
    EXPECT_EQ(page.find("[当前状态]"), std::string::npos);
    EXPECT_EQ(ReadFile(AccountFolder("page") / "profile.htm"), "downloaded");
    EXPECT_FALSE(std::filesystem::exists(AccountFolder("none")));

    // Without the template nothing is written.
    std::filesystem::remove(AccountFolder("has") / "profile.htm");
    std::filesystem::remove(AppPath() / "styles" / "common" / "profile_status.htm");
    Tree().SelectAccount(withFolder);
    EXPECT_FALSE(std::filesystem::exists(AccountFolder("has") / "profile.htm"));

    // The current account and class follow the selection.
    Tree().SelectClass(schoolClass);
    EXPECT_EQ(Tree().GetCurrentClass(), schoolClass);
    EXPECT_EQ(Tree().GetCurrentAccount(), nullptr);
    Tree().SelectAccount(withFolder);
    EXPECT_EQ(Tree().GetCurrentAccount(), withFolder);
    EXPECT_EQ(Tree().GetCurrentClass(), nullptr);
}

// The selection drives the two browser panes: the account's profile in the
// display pane, the class page and the log in the other-information pane.
TEST_F(TavrinViewTest, SelectingFillsTheDisplayPaneAndTheOtherInformationPane)
{
    // Without the compose pane's automatic preview, which fills the display pane too.
    SetConfigInt(CFG_COMPOSE_PREVIEW, 0);
    CAccount* account = AddAccount("a");
    CSchoolClass* schoolClass = AddClass(account, "7", "高三(2)班");
    std::filesystem::create_directories(AccountFolder("a") / "7");
    std::ofstream(AccountFolder("a") / "7" / "misc.htm")
        << "<html><script>var width = 300;\nfunction swap_size(o) { o.width = width; }</script></html>";
    account->Log("account line 1.");
    account->Log("account line 2.");
    schoolClass->Log("class line.");
    Tree().RebuildTree();
    CMsgDispView* display = m_frame->m_pDispView;
    CMiscView* misc = m_frame->m_pMiscView;
    ASSERT_NE(display, nullptr);
    ASSERT_NE(misc, nullptr);
    auto shown = [](HWND browser) {
        tavrin::browser::HeadlessEngine* engine = tavrin::browser::HeadlessEngine::FromHost(browser);
        return engine ? engine->GetLocationURL() : std::string("(no engine)");
    };
    auto endsWith = [](const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    auto firstLogLine = [&] { return std::string(misc->m_wndLog.GetItemText(0, 1)); };

    Tree().SelectAccount(account);
    EXPECT_TRUE(endsWith(shown(display->m_wndBrowser.m_hWnd), "/accounts/a/profile.htm"))
        << shown(display->m_wndBrowser.m_hWnd);
    EXPECT_TRUE(endsWith(shown(misc->m_wndBrowser.m_hWnd), "/styles/common/empty.htm"));
    ASSERT_EQ(misc->m_wndLog.GetItemCount(), 2);
    EXPECT_TRUE(endsWith(firstLogLine(), "account line 2.")) << firstLogLine();

    Tree().SelectClass(schoolClass);
    EXPECT_TRUE(endsWith(shown(display->m_wndBrowser.m_hWnd), "/styles/common/empty.htm")) << shown(display->m_wndBrowser.m_hWnd);
    EXPECT_TRUE(endsWith(shown(misc->m_wndBrowser.m_hWnd), "/accounts/a/7/misc.htm"));
    CRect client;
    misc->GetClientRect(&client);
    EXPECT_NE(ReadFile(AccountFolder("a") / "7" / "misc.htm").find("var width = " + std::to_string(client.Width() - 15) + ";"),
              std::string::npos);
    ASSERT_EQ(misc->m_wndLog.GetItemCount(), 1);
    EXPECT_TRUE(endsWith(firstLogLine(), "class line."));

    TreeCtrl().SelectItem(TreeCtrl().GetRootItem());
    EXPECT_TRUE(endsWith(shown(display->m_wndBrowser.m_hWnd), "/styles/common/empty.htm"));
    EXPECT_TRUE(endsWith(shown(misc->m_wndBrowser.m_hWnd), "/styles/common/empty.htm"));
    EXPECT_EQ(misc->m_wndLog.GetItemCount(), 0);

    // The log's small images are the tree's nine.
    CImageList* images = misc->m_wndLog.GetImageList(LVSIL_SMALL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->GetImageCount(), 9);
}

// The class reports from the frame: enabled only with a class; the export
// dialog gets the class; the statistics run shows its first page.
TEST_F(TavrinViewTest, ExportAndStatisticsWorkOnTheSelectedClass)
{
    CAccount* account = AddAccount("a");
    CSchoolClass* schoolClass = AddClass(account, "7", "高三(2)班");
    std::filesystem::create_directories(AccountFolder("a") / "7");
    for (int i = 0; i < 4; ++i) {
        auto* item = new CMessageItem;
        item->m_custoId.Format("%d", i + 1);
        item->m_id = item->m_custoId;
        item->m_user = i % 2 ? "甲" : "乙";
        item->m_time = "2005-03-01 10:00";
        schoolClass->GetMessageStore()->AddItem(item);
    }
    Tree().RebuildTree();
    auto enabled = [&](UINT id) {
        CTestCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(m_frame, TRUE);
        return ui.m_bEnabled != FALSE;
    };
    for (UINT id : {ID_EXPORT_DATA, ID_MESSAGE_STATISTICS}) {
        SCOPED_TRACE(id);
        Tree().SelectAccount(account);
        EXPECT_FALSE(enabled(id)) << "an account is no class";
        Tree().SelectClass(schoolClass);
        EXPECT_TRUE(enabled(id));
    }

    // The first-run question, asked because the frame began without accounts.
    win::QueueMessageBoxAnswer(IDNO);
    Pump();
    DialogDriver driver;
    std::string count;
    driver.Then("导出数据", [&](HWND dlg) {
        count = DialogDriver::Text(dlg, IDC_EXPORT_MESSAGE_COUNT);
        DialogDriver::Press(dlg, IDC_EXPORT_QUIT);
    });
    m_frame->SendMessage(WM_COMMAND, ID_EXPORT_DATA);
    EXPECT_EQ(driver.Pending(), 0u);
    EXPECT_EQ(count.rfind("共有 ", 0), 0u) << "the dialog planned the class's messages: " << count;

    // The statistics dialog closes by itself once its pages are written.
    m_frame->SendMessage(WM_COMMAND, ID_MESSAGE_STATISTICS);
    ASSERT_EQ(driver.seen.size(), 2u);
    EXPECT_EQ(driver.seen[1], "留言统计");
    tavrin::browser::HeadlessEngine* engine =
        tavrin::browser::HeadlessEngine::FromHost(m_frame->m_pDispView->m_wndBrowser.m_hWnd);
    ASSERT_NE(engine, nullptr);
    const std::string shown = engine->GetLocationURL();
    const std::string page = "/accounts/a/7/statistic_by_author_11.htm";
    EXPECT_TRUE(shown.size() >= page.size() && shown.compare(shown.size() - page.size(), page.size(), page) == 0)
        << shown;
}

TEST_F(TavrinViewTest, TheCaptionIconIsTheSelectedItemsImage)
{
    CAccount* account = AddAccount("a");
    Tree().RebuildTree();
    // Each caption icon matches the image list's own icon of that index, pixel for pixel.
    auto centre = [](HICON icon) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CBitmap bitmap;
        CClientDC screen(nullptr);
        bitmap.CreateCompatibleBitmap(&screen, 16, 16);
        CBitmap* old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 16, 16, RGB(1, 2, 3));
        ::DrawIconEx(dc.GetSafeHdc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.push_back(dc.GetPixel(x, y));
        dc.SelectObject(old);
        return pixels;
    };
    CImageList* images = TreeCtrl().GetImageList(TVSIL_NORMAL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->GetImageCount(), 9);
    const auto rootPixels = centre(m_frame->m_hCaptionIcon);
    HICON six = images->ExtractIcon(6);
    EXPECT_EQ(rootPixels, centre(six));
    ::DestroyIcon(six);
    Tree().SelectAccount(account);
    HICON seven = images->ExtractIcon(7);
    EXPECT_EQ(centre(m_frame->m_hCaptionIcon), centre(seven));
    EXPECT_NE(centre(seven), rootPixels);
    ::DestroyIcon(seven);
    // Magenta is transparent: the corner of the house shows the background.
    EXPECT_EQ(rootPixels[0], RGB(1, 2, 3));
}

TEST_F(TavrinViewTest, F2EditsAccountsAndClassesAndIsAlwaysTaken)
{
    CAccount* account = AddAccount("a");
    CSchoolClass* schoolClass = AddClass(account, "1", "甲");
    Tree().RebuildTree();
    struct Case {
        const char* what;
        std::function<void()> select;
        bool edits;
    };
    const Case cases[] = {
        {"root", [&] { TreeCtrl().SelectItem(TreeCtrl().GetRootItem()); }, false},
        {"nothing", [&] { TreeCtrl().SelectItem(nullptr); }, false},
        {"account", [&] { Tree().SelectAccount(account); }, true},
        {"class", [&] { Tree().SelectClass(schoolClass); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.select();
        MSG msg{Tree().GetSafeHwnd(), WM_KEYDOWN, VK_F2, 0, 0, {}};
        EXPECT_TRUE(Tree().PreTranslateMessage(&msg));
        EXPECT_EQ(TreeCtrl().GetEditControl() != nullptr, c.edits);
        TreeCtrl().EndEditLabelNow(TRUE);
    }
    // Other keys go on to the tree's own handling.
    MSG other{Tree().GetSafeHwnd(), WM_KEYDOWN, VK_F3, 0, 0, {}};
    EXPECT_FALSE(Tree().PreTranslateMessage(&other));
}

TEST_F(TavrinViewTest, LabelEditsRenameAccountsAndClasses)
{
    CAccount* account = AddAccount("a", "5460(电信用户)", "旧名");
    CSchoolClass* schoolClass = AddClass(account, "1", "甲");
    Tree().RebuildTree();
    // Edits the selected item's label: text, or null to cancel.
    auto edit = [&](const char* text) {
        HTREEITEM item = TreeCtrl().GetSelectedItem();
        CEdit* editor = TreeCtrl().EditLabel(item);
        ASSERT_NE(editor, nullptr);
        if (text) {
            editor->SetWindowText(text);
            TreeCtrl().EndEditLabelNow(FALSE);
        } else {
            editor->SetWindowText("不要");
            TreeCtrl().EndEditLabelNow(TRUE);
        }
    };
    struct Case {
        const char* what;
        std::function<void()> select;
        const char* text;
        std::string label;
        std::function<std::string()> stored;
    };
    const Case cases[] = {
        {"account renamed", [&] { Tree().SelectAccount(account); }, "新名", "新名",
         [&] { return std::string(account->GetCustoName()); }},
        {"account edit cancelled", [&] { Tree().SelectAccount(account); }, nullptr, "新名",
         [&] { return std::string(account->GetCustoName()); }},
        {"class renamed", [&] { Tree().SelectClass(schoolClass); }, "乙班", "乙班",
         [&] { return std::string(schoolClass->GetCustoName()); }},
        {"class emptied", [&] { Tree().SelectClass(schoolClass); }, "", "",
         [&] { return std::string(schoolClass->GetCustoName()); }},
        {"account emptied", [&] { Tree().SelectAccount(account); }, "", "",
         [&] { return std::string(account->GetCustoName()); }},
        {"root renamed until the next rebuild", [&] { TreeCtrl().SelectItem(TreeCtrl().GetRootItem()); }, "根", "根",
         [&] { return std::string(account->GetCustoName()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.select();
        edit(c.text);
        EXPECT_EQ(std::string(TreeCtrl().GetItemText(TreeCtrl().GetSelectedItem())), c.label);
        if (std::string(c.what).rfind("root", 0) != 0)
            EXPECT_EQ(c.stored(), c.label);
    }
    // The rebuild names the emptied account again and keeps the empty class name.
    Tree().RebuildTree();
    EXPECT_EQ(Outline(), "Tavrin[6]+(a@5460(电信用户)[7]+([8]))");
    EXPECT_EQ(account->GetCustoName(), "a@5460(电信用户)");
}

TEST_F(TavrinViewTest, AClassListWorkerReplacingTheClassesWhileTheTreeRebuilds)
{
    CAccount* account = AddAccount("w");
    auto make = [&](const char* id, const char* name) {
        CSchoolClass* schoolClass = account->CreateClass();
        schoolClass->SetAccount(account);
        schoolClass->SetId(id);
        schoolClass->SetCustoName(name);
        schoolClass->CreateStores();
        return schoolClass;
    };
    const std::vector<CSchoolClass*> sets[2] = {{make("1", "甲"), make("2", "乙")}, {make("3", "丙")}};
    std::atomic<bool> stop{false};
    std::atomic<int> swaps{0};
    std::thread worker([&] {
        for (int k = 0; !stop.load(); k ^= 1) {
            CArray<CSchoolClass*, CSchoolClass*> next;
            for (CSchoolClass* schoolClass : sets[k])
                next.Add(schoolClass);
            account->ExchangeClasses(next);
            swaps.fetch_add(1);
        }
    });
    const std::string whole[] = {"Tavrin[6]+(w@5460(电信用户)[7]+(甲[8] 乙[8]))",
                                 "Tavrin[6]+(w@5460(电信用户)[7]+(丙[8]))", "Tavrin[6]+(w@5460(电信用户)[7])"};
    for (int i = 0; i < 200 || swaps.load() < 2; ++i) {
        Tree().RebuildTree();
        const std::string outline = Outline();
        EXPECT_TRUE(outline == whole[0] || outline == whole[1] || outline == whole[2]) << outline;
    }
    stop = true;
    worker.join();
    // The classes left outside the array are ours to end.
    CArray<CSchoolClass*, CSchoolClass*> none;
    account->ExchangeClasses(none);
    Tree().RebuildTree();
    for (const auto& set : sets) {
        for (CSchoolClass* schoolClass : set) {
            schoolClass->BeginClose();
            schoolClass->TearDown();
            delete schoolClass;
        }
    }
}

TEST(NewAccountFolder, TheProviderPartByLocaleLanguage)
{
    struct Case {
        const char* provider;
        const char* english;
    };
    const Case cases[] = {
        {"5460(电信用户)", "546028B5E7D0C5D3C3BBA729"},
        {"5460(网通用户)", "546028CDF8CDA8D3C3BBA729"},
        {"ChinaRen(ChinaRen用户)", "ChinaRen28ChinaRenD3C3BBA729"},
        {"ChinaRen(Sohu用户)", "ChinaRen28SohuD3C3BBA729"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CTavrinView::ProviderFolderPart(c.provider, "English"), c.english);
        EXPECT_EQ(CTavrinView::ProviderFolderPart(c.provider, "German"), c.english);
        EXPECT_EQ(CTavrinView::ProviderFolderPart(c.provider, "Chinese"), c.provider);
        EXPECT_EQ(CTavrinView::ProviderFolderPart(c.provider, ""), c.provider);
        EXPECT_EQ(CTavrinView::ProviderFolderPart(c.provider, "chinese"), c.english) << "exactly Chinese";
    }
    struct Locale {
        const char* name;
        const char* language;
    };
    for (const Locale& l : {Locale{"en_US.UTF-8", "English"}, Locale{"zh_CN.GBK", "Chinese"}, Locale{"C", "English"}}) {
        win::SetUserLocaleName(l.name);
        EXPECT_EQ(CTavrinView::GetLocaleLanguage(), l.language) << l.name;
    }
    win::SetUserLocaleName("");
}

TEST(NewAccountFolder, UserNamesWithFolderSeparatorsAreRefused)
{
    struct Case {
        const char* name;
        BOOL safe;
    };
    const Case cases[] = {
        {"demo", TRUE},
        {"", TRUE},
        {"..", TRUE}, // "..@provider" is a name, not the parent
        {"a/b", FALSE},
        {"..\\..\\x", FALSE},
        {"x\\", FALSE},
        {"\x81\\", TRUE}, // a GBK character whose trail byte is 0x5C
        {"\x81/", FALSE},  // 0x2F is no trail byte: a slash after a stray lead byte
        {"\x81", TRUE},    // a lone lead byte at the end
        {"\xB5\xE7/", FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsFolderSafeUserName(c.name), c.safe) << c.name;
}

} // namespace
