#include "tests/app/AppTestSupport.h"

#include "core/model/Account.h"
#include "core/model/AccountFactory.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "platform/controls/CommCtrl.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/OleControl.h"
#include "platform/mfc/Resource.h"
#include "platform/win/Hooks.h"
#include "providers/5460/Provider5460.h"
#include "providers/chinaren/ProviderChinaRen.h"
#include "res/resource.h"

#include <filesystem>

namespace tavrin::test {

DialogDriver* DialogDriver::s_current = nullptr;

DialogDriver::DialogDriver()
{
    s_current = this;
    m_hook = ::SetWindowsHookEx(WH_CBT, &DialogDriver::Hook, nullptr, ::GetCurrentThreadId());
}

DialogDriver::~DialogDriver()
{
    ::UnhookWindowsHookEx(m_hook);
    s_current = nullptr;
}

void DialogDriver::Then(const std::string& title, std::function<void(HWND)> step)
{
    m_steps.emplace_back(title, std::move(step));
}

LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && s_current)
        s_current->OnActivate(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(s_current ? s_current->m_hook : nullptr, code, wParam, lParam);
}

void DialogDriver::OnActivate(HWND hwnd)
{
    char title[256] = {};
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (std::string(cls) != "#32770")
        return;
    ::GetWindowTextA(hwnd, title, sizeof(title));
    // Activated again after a box of its own: not a new showing.
    if (::GetPropA(hwnd, "driven"))
        return;
    seen.emplace_back(title);
    ::SetPropA(hwnd, "driven", reinterpret_cast<HANDLE>(1));
    if (m_steps.empty() || m_steps.front().first != title)
        return;
    auto step = std::move(m_steps.front().second);
    m_steps.pop_front();
    step(hwnd);
}

std::string DialogDriver::Text(HWND dialog, int id)
{
    char text[512] = {};
    ::GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

void DialogDriver::SetText(HWND dialog, int id, const char* text) { ::SetDlgItemTextA(dialog, id, text); }

void DialogDriver::Press(HWND dialog, int id) { ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

bool PrepareAccount(const std::filesystem::path& programFolder, const char* folderName, const char* userName,
                    const char* custoName, const char* accessPassword)
{
    RegisterProvider5460();
    CAccount* account = CreateAccount("5460(电信用户)");
    if (!account)
        return false;
    account->SetUserNameAndPassword(userName, userName);
    account->SetCustoName(custoName);
    account->SetDataFolder(ProgramPath(programFolder.string()) + "\\accounts\\" + folderName);
    CSchoolClass* schoolClass = account->CreateClass();
    schoolClass->SetAccount(account);
    schoolClass->SetId("20001");
    schoolClass->SetName("高三(2)班");
    schoolClass->SetSchoolName("北京市第一中学");
    schoolClass->SetCustoName("高三(2)班");
    account->AddClass(schoolClass);
    if (accessPassword) {
        account->SetAccessEnabled(TRUE);
        account->SetAccessPassword(accessPassword);
    }
    const bool saved = account->SaveAccountFile() != FALSE;
    account->Close();
    delete account;
    return saved;
}

void FrameFixture::SetUp()
{
    ::InitCommonControls();
    // As the application does at start: the browser panes host controls.
    AfxEnableControlContainer();
    std::filesystem::copy(std::filesystem::path(TAVRIN_SOURCE_DIR) / "styles", m_dir.Path() / "styles",
                          std::filesystem::copy_options::recursive);
    SetProgramFolder(ProgramPath(m_dir.Path().string()));
    ReloadConfig();
    RegisterProvider5460();
    RegisterProviderChinaRen();
    AfxSetResourceHandle(::GetModuleHandle(nullptr));
    // As the application does before its frame: the panes hold browser controls.
    AfxEnableControlContainer();
    m_frame = new CMainFrame;
    CCreateContext context;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
    m_app.m_pMainWnd = m_frame;
    m_hwnd = m_frame->m_hWnd;
    m_frame->InitialUpdateFrame(nullptr, FALSE);
}

void FrameFixture::TearDown()
{
    if (::IsWindow(m_hwnd))
        ::DestroyWindow(m_hwnd);
    Pump();
    m_app.m_pMainWnd = nullptr;
    AfxSetResourceHandle(nullptr);
    SetProgramFolder("");
    ReloadConfig();
}

CString FrameFixture::AppDir() const { return ProgramPath(m_dir.Path().string()); }

CAccount* FrameFixture::AddAccount(const char* userName, const char* provider, const char* custoName)
{
    CAccount* account = CreateAccount(provider);
    if (!account)
        return nullptr;
    account->SetUserNameAndPassword(userName, "pw");
    account->SetCustoName(custoName);
    account->SetDataFolder(AppDir() + "\\accounts\\" + userName);
    if (!Tree().GetAccountList().Add(account)) {
        delete account;
        return nullptr;
    }
    return account;
}

namespace {

template <typename Item>
void AddUnread(CClassStore* store, int count)
{
    for (int i = 0; i < count; ++i) {
        auto* item = new Item;
        item->m_custoId.Format("%d", store->GetItemCount() + 1);
        item->m_id = item->m_custoId;
        store->AddItem(item);
    }
}

} // namespace

CSchoolClass* FrameFixture::AddClass(CAccount* account, const char* id, const char* custoName, int unreadMessages,
                                     int unreadPictures, int unreadNotes)
{
    CSchoolClass* schoolClass = account->CreateClass();
    schoolClass->SetAccount(account);
    schoolClass->SetId(id);
    schoolClass->SetCustoName(custoName);
    schoolClass->SetSchoolName("第一中学");
    schoolClass->CreateStores();
    AddUnread<CMessageItem>(schoolClass->GetMessageStore(), unreadMessages);
    AddUnread<CPictureItem>(schoolClass->GetPictureStore(), unreadPictures);
    AddUnread<CPrivateItem>(schoolClass->GetPrivateStore(), unreadNotes);
    account->AddClass(schoolClass);
    return schoolClass;
}

std::string FrameFixture::Caption() const
{
    CString text;
    m_frame->m_wndCaption.GetWindowText(text);
    return text.GetString();
}

std::string FrameFixture::Outline(HTREEITEM item)
{
    CTreeCtrl& tree = TreeCtrl();
    std::string out;
    for (; item; item = tree.GetNextSiblingItem(item)) {
        if (!out.empty())
            out += " ";
        int image = -1, selected = -1;
        tree.GetItemImage(item, image, selected);
        out += std::string(tree.GetItemText(item).GetString()) + "[" + std::to_string(image) + "]";
        if (image != selected)
            out += "!sel" + std::to_string(selected);
        if (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED)
            out += "+";
        if (Tree().GetItemBold(item))
            out += "*";
        if (HTREEITEM child = tree.GetChildItem(item))
            out += "(" + Outline(child) + ")";
    }
    return out;
}

void FrameFixture::Pump()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}

} // namespace tavrin::test
