// The account dialogs as the tree and the user drive them: adding an
// account (folder, configuration, refusals), the properties dialog's OK,
// and the access password that guards a protected account.
#include "tests/app/AppTestSupport.h"

#include "app/dialogs/AccountPropertiesDlg.h"
#include "core/model/Account.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/win/Locale.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"
#include "tests/sim/Simulator.h"

#include <filesystem>

using namespace tavrin;
using test::DialogDriver;

namespace {

class AccountDialogsTest : public test::FrameFixture {
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        // The first-run question of the empty tree: No.
        win::QueueMessageBoxAnswer(IDNO);
        Pump();
        win::TakeMessageBoxLog();
    }
    void TearDown() override
    {
        win::ClearMessageBoxAnswers();
        win::TakeMessageBoxLog();
        win::SetUserLocaleName("");
        FrameFixture::TearDown();
    }
    // Fills the add-account dialog and presses OK.
    void FillAdd(DialogDriver& driver, std::string provider, std::string user, std::string password,
                 std::string host = "", std::string port = "")
    {
        driver.Then("添加新帐号", [=](HWND dlg) {
            HWND combo = ::GetDlgItem(dlg, IDC_ADD_PROVIDER);
            ::SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(provider.c_str()));
            DialogDriver::SetText(dlg, IDC_ADD_USERNAME, user.c_str());
            DialogDriver::SetText(dlg, IDC_ADD_PASSWORD, password.c_str());
            DialogDriver::SetText(dlg, IDC_PROXY_HOST, host.c_str());
            DialogDriver::SetText(dlg, IDC_PROXY_PORT, port.c_str());
            DialogDriver::SetText(dlg, IDC_PROXY_USERNAME, "pu");
            DialogDriver::SetText(dlg, IDC_PROXY_PASSWORD, "pp");
            DialogDriver::Press(dlg, IDOK);
        });
    }
    sim::Simulator m_sim;
};

TEST_F(AccountDialogsTest, TheAddDialogOffersTheProvidersAndTheCurrentProxy)
{
    SetConfig(CFG_PROXY_HOST, "proxy.example");
    SetConfig(CFG_PROXY_PORT, "3128");
    SetConfig(CFG_PROXY_USERNAME, "u");
    SetConfig(CFG_PROXY_PASSWORD, "p");
    DialogDriver driver;
    std::vector<std::string> rows;
    std::string selected, host, port, user, password;
    LONG_PTR portStyle = 0, passwordStyle = 0;
    driver.Then("添加新帐号", [&](HWND dlg) {
        HWND combo = ::GetDlgItem(dlg, IDC_ADD_PROVIDER);
        const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[64] = {};
            ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            rows.emplace_back(text);
        }
        char text[64] = {};
        ::GetWindowTextA(combo, text, sizeof(text));
        selected = text;
        host = DialogDriver::Text(dlg, IDC_PROXY_HOST);
        port = DialogDriver::Text(dlg, IDC_PROXY_PORT);
        user = DialogDriver::Text(dlg, IDC_PROXY_USERNAME);
        password = DialogDriver::Text(dlg, IDC_PROXY_PASSWORD);
        portStyle = ::GetWindowLongPtrA(::GetDlgItem(dlg, IDC_PROXY_PORT), GWL_STYLE);
        passwordStyle = ::GetWindowLongPtrA(::GetDlgItem(dlg, IDC_ADD_PASSWORD), GWL_STYLE);
        DialogDriver::Press(dlg, IDCANCEL);
    });
    Tree().AddAccount();
    EXPECT_EQ(driver.Pending(), 0u);
    EXPECT_EQ(rows, (std::vector<std::string>{"ChinaRen(Sohu用户)", "ChinaRen(ChinaRen用户)", "5460(网通用户)",
                                              "5460(电信用户)"}));
    EXPECT_EQ(selected, "ChinaRen(Sohu用户)");
    EXPECT_EQ(host + "|" + port + "|" + user + "|" + password, "proxy.example|3128|u|p");
    EXPECT_TRUE(portStyle & ES_NUMBER);
    EXPECT_TRUE(passwordStyle & ES_PASSWORD);
    // Cancel adds nothing.
    EXPECT_EQ(Tree().GetAccountList().GetCount(), 0);
}

TEST_F(AccountDialogsTest, AnAddedAccountGetsItsFolderByLocaleTheProxyKeysAndItsClassList)
{
    struct Case {
        const char* locale;
        const char* folder;
    };
    for (const Case& c : {Case{"en_US.UTF-8", "demo@546028B5E7D0C5D3C3BBA729"}, Case{"zh_CN.GBK", "demo@5460(电信用户)"}}) {
        SCOPED_TRACE(c.locale);
        win::SetUserLocaleName(c.locale);
        m_sim.ClearLog();
        DialogDriver driver;
        FillAdd(driver, "5460(电信用户)", "demo", "demo", "127.0.0.1", m_sim.ProxyPort());
        m_frame->SendMessage(WM_COMMAND, ID_ADD_ACCOUNT, 0);
        EXPECT_EQ(driver.Pending(), 0u);
        ASSERT_EQ(Tree().GetAccountList().GetCount(), 1);
        CAccount* account = Tree().GetAccountList().GetAt(0);
        EXPECT_EQ(account->GetDataFolder(), AppDir() + "\\accounts\\" + c.folder);
        EXPECT_EQ(account->GetUserName(), "demo");
        EXPECT_EQ(account->GetPassword(), "demo");
        EXPECT_EQ(account->GetNotifyWnd(), m_hwnd);
        EXPECT_EQ(Outline(), "Tavrin[6]+(demo@5460(电信用户)[7])");
        EXPECT_EQ(std::string(GetConfig(CFG_PROXY_HOST)), "127.0.0.1");
        EXPECT_EQ(std::string(GetConfig(CFG_PROXY_PORT)), m_sim.ProxyPort());
        EXPECT_EQ(std::string(GetConfig(CFG_PROXY_USERNAME)), "pu");
        EXPECT_EQ(std::string(GetConfig(CFG_PROXY_PASSWORD)), "pp");
        // The class-list update was started; the folder comes with the first save.
        EXPECT_FALSE(std::filesystem::exists(AppPath() / "accounts" / c.folder));
        Tree().GetAccountList().Remove(account);
    }
}

TEST_F(AccountDialogsTest, ADuplicateIsRefusedAndWritesNothing)
{
    CAccount* existing = AddAccount("demo", "5460(电信用户)");
    Tree().RebuildTree();
    SetConfig(CFG_PROXY_HOST, "before");
    DialogDriver driver;
    FillAdd(driver, "5460(电信用户)", "demo", "x", "after");
    Tree().AddAccount();
    auto log = win::TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, "相同的帐号已经存在！");
    EXPECT_EQ(log[0].caption, "添加新帐号");
    EXPECT_TRUE(log[0].type & MB_ICONEXCLAMATION);
    EXPECT_EQ(Tree().GetAccountList().GetCount(), 1);
    EXPECT_EQ(Tree().GetAccountList().GetAt(0), existing);
    EXPECT_EQ(std::string(GetConfig(CFG_PROXY_HOST)), "before");
    // The same user at another provider is another account.
    FillAdd(driver, "5460(网通用户)", "demo", "x", "after");
    Tree().AddAccount();
    EXPECT_EQ(Tree().GetAccountList().GetCount(), 2);
}

TEST_F(AccountDialogsTest, AUserNameWithAFolderSeparatorIsRefusedInTheDialog)
{
    DialogDriver driver;
    int okAnswered = -1;
    driver.Then("添加新帐号", [&](HWND dlg) {
        DialogDriver::SetText(dlg, IDC_ADD_USERNAME, "..\\..\\x");
        DialogDriver::SetText(dlg, IDC_PROXY_HOST, "h");
        // OK is refused and the dialog stays for the next button.
        DialogDriver::Press(dlg, IDOK);
        DialogDriver::Press(dlg, IDCANCEL);
    });
    win::SetMessageBoxPresenter([&](HWND owner, const std::string&, const std::string&, UINT) {
        okAnswered = ::IsWindow(owner) ? 1 : 0;
        return IDOK;
    });
    Tree().AddAccount();
    win::SetMessageBoxPresenter(nullptr);
    EXPECT_EQ(okAnswered, 1) << "the box belongs to the open dialog";
    auto log = win::TakeMessageBoxLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].caption, "添加新帐号");
    EXPECT_EQ(Tree().GetAccountList().GetCount(), 0);
    EXPECT_EQ(std::string(GetConfig(CFG_PROXY_HOST)), "");
    EXPECT_FALSE(std::filesystem::exists(AppPath() / "x@546028B5E7D0C5D3C3BBA729"));
}

TEST_F(AccountDialogsTest, PropertiesOkStoresPasswordProtectionAndAlwaysLocks)
{
    struct Case {
        const char* what;
        bool protectedBefore;
        bool check;         // the box as OK finds it
        const char* access; // the access edit's text at OK
        bool enabled;
        const char* stored;
    };
    const Case cases[] = {
        {"unprotected, unchanged", false, false, "", false, ""},
        {"box on with a password", false, true, "open", true, "open"},
        {"box on without a password", false, true, "", false, ""},
        {"protected, box cleared: the shown password stays stored", true, false, "old", false, "old"},
        {"protected, kept", true, true, "old", true, "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CAccount* account = AddAccount("p");
        account->SetUserNameAndPassword("p", "pw");
        account->SetAccessEnabled(c.protectedBefore);
        account->SetAccessPassword(c.protectedBefore ? "old" : "");
        account->SetLocked(FALSE);
        DialogDriver driver;
        std::string site, user, password, shownAccess;
        bool editEnabled = true, checked = false;
        driver.Then("帐号属性", [&](HWND dlg) {
            site = DialogDriver::Text(dlg, IDC_PROP_SITE);
            user = DialogDriver::Text(dlg, IDC_PROP_USERNAME);
            password = DialogDriver::Text(dlg, IDC_PROP_PASSWORD);
            shownAccess = DialogDriver::Text(dlg, IDC_PROP_ACCESS_PASSWORD);
            HWND edit = ::GetDlgItem(dlg, IDC_PROP_ACCESS_PASSWORD);
            editEnabled = ::IsWindowEnabled(edit);
            checked = ::SendMessageA(::GetDlgItem(dlg, IDC_PROP_ACCESS_CHECK), BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (checked != c.check)
                ::SendMessageA(::GetDlgItem(dlg, IDC_PROP_ACCESS_CHECK), BM_CLICK, 0, 0);
            EXPECT_EQ(::IsWindowEnabled(edit) != FALSE, c.check) << "the edit follows the box";
            DialogDriver::SetText(dlg, IDC_PROP_ACCESS_PASSWORD, c.access);
            DialogDriver::SetText(dlg, IDC_PROP_PASSWORD, "new");
            DialogDriver::Press(dlg, IDOK);
        });
        CAccountPropertiesDlg dlg;
        dlg.SetAccount(account);
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(site, "5460(电信用户)");
        EXPECT_EQ(user, "p");
        EXPECT_EQ(password, "pw");
        EXPECT_EQ(checked, c.protectedBefore);
        EXPECT_EQ(editEnabled, c.protectedBefore);
        EXPECT_EQ(shownAccess, c.protectedBefore ? "old" : "");
        EXPECT_EQ(account->GetPassword(), "new");
        EXPECT_EQ(account->GetUserName(), "p");
        EXPECT_TRUE(account->IsLocked());
        EXPECT_EQ(account->IsAccessEnabled() != FALSE, c.enabled);
        EXPECT_EQ(account->GetAccessPassword(), c.stored);
        Tree().GetAccountList().Remove(account);
    }
    // Without an account the fields stay empty and OK changes nothing.
    DialogDriver driver;
    std::string site = "x";
    driver.Then("帐号属性", [&](HWND dlg) {
        site = DialogDriver::Text(dlg, IDC_PROP_SITE);
        DialogDriver::Press(dlg, IDOK);
    });
    CAccountPropertiesDlg empty;
    EXPECT_EQ(empty.DoModal(), IDOK);
    EXPECT_EQ(site, "");
}

TEST_F(AccountDialogsTest, AGuardedAccountOpensOnlyWithItsAccessPassword)
{
    CAccount* account = AddAccount("g", "5460(网通用户)", "守");
    AddClass(account, "1", "甲");
    account->SetAccessEnabled(TRUE);
    account->SetAccessPassword("Secret");
    account->SetLocked(TRUE);
    Tree().RebuildTree();
    HTREEITEM item = TreeCtrl().GetChildItem(TreeCtrl().GetRootItem());
    auto expanded = [&] { return (TreeCtrl().GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; };
    EXPECT_FALSE(expanded());

    struct Case {
        const char* what;
        int button;
        const char* typed;
        bool opens;
    };
    const Case cases[] = {
        {"cancel", IDCANCEL, "Secret", false},
        {"wrong case", IDOK, "secret", false},
        {"empty", IDOK, "", false},
        {"right", IDOK, "Secret", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DialogDriver driver;
        std::string site, user;
        driver.Then("请输入访问密码", [&](HWND dlg) {
            site = DialogDriver::Text(dlg, IDC_ACCESS_SITE);
            user = DialogDriver::Text(dlg, IDC_ACCESS_USERNAME);
            DialogDriver::SetText(dlg, IDC_ACCESS_PASSWORD, c.typed);
            DialogDriver::Press(dlg, c.button);
        });
        TreeCtrl().Expand(item, TVE_EXPAND);
        EXPECT_EQ(driver.seen, std::vector<std::string>{"请输入访问密码"});
        EXPECT_EQ(site, "5460(网通用户)");
        EXPECT_EQ(user, "g");
        EXPECT_EQ(expanded(), c.opens);
        EXPECT_EQ(account->IsLocked() == FALSE, c.opens);
        EXPECT_TRUE(win::TakeMessageBoxLog().empty()) << "no message";
    }
    // Open for the rest of the run: collapsing and expanding again asks nothing.
    DialogDriver driver;
    TreeCtrl().Expand(item, TVE_COLLAPSE);
    TreeCtrl().Expand(item, TVE_EXPAND);
    EXPECT_TRUE(expanded());
    EXPECT_TRUE(driver.seen.empty());
    // A rebuild expands it now that it is unlocked.
    Tree().RebuildTree();
    item = TreeCtrl().GetChildItem(TreeCtrl().GetRootItem());
    EXPECT_TRUE(expanded());
}

} // namespace
