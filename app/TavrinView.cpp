#include "app/TavrinView.h"

#include "app/CurrentSelection.h"
#include "app/ItemImages.h"
#include "app/ComposeView.h"
#include "app/MainFrm.h"
#include "app/MiscView.h"
#include "app/MsgDispView.h"
#include "app/MsgListView.h"
#include "app/dialogs/AccountAccessDlg.h"
#include "app/dialogs/AddAccountDlg.h"
#include "core/model/Account.h"
#include "core/model/AccountFactory.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "core/services/TextUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/Locale.h"
#include "platform/win/MessageBox.h"
#include "providers/common/PageTemplate.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"

IMPLEMENT_DYNCREATE(CTavrinView, CXTTreeView)

namespace {

// Posted by the initial update: the first-run question waits until the
// frame is on screen.
const UINT WM_ASK_FIRST_ACCOUNT = WM_APP + 113;

} // namespace

BEGIN_MESSAGE_MAP(CTavrinView, CXTTreeView)
    ON_WM_CONTEXTMENU()
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDING, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_SELCHANGED, OnSelChanged)
    ON_NOTIFY_REFLECT(TVN_ENDLABELEDIT, OnEndLabelEdit)
    ON_MESSAGE(WM_ASK_FIRST_ACCOUNT, OnAskFirstAccount)
END_MESSAGE_MAP()

CTavrinView::CTavrinView() = default;

CTavrinView::~CTavrinView()
{
    // The panes must not ask a tree that is gone.
    tavrin::app::SetSelectionSource({});
    if (m_hCaptionIcon)
        ::DestroyIcon(m_hCaptionIcon);
}

void CTavrinView::OnInitialUpdate()
{
    CXTTreeView::OnInitialUpdate();
    ModifyStyle(0, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS);
    if (tavrin::app::MakeItemImageList(m_imageList))
        GetTreeCtrl().SetImageList(&m_imageList, TVSIL_NORMAL);
    // The panes learn the selection from this tree from now on.
    tavrin::app::SetSelectionSource(
        {[this] { return GetCurrentAccount(); }, [this] { return GetCurrentClass(); }});
    m_accounts.LoadAll();
    RebuildTree();
    HTREEITEM root = GetTreeRoot();
    if (!root || !GetTreeCtrl().GetChildItem(root))
        PostMessage(WM_ASK_FIRST_ACCOUNT);
}

LRESULT CTavrinView::OnAskFirstAccount(WPARAM, LPARAM)
{
    CFrameWnd* frame = GetParentFrame();
    if (::MessageBox(frame ? frame->GetSafeHwnd() : GetSafeHwnd(), "您还没有添加任何帐号，现在就添加吗？", "提示",
                     MB_YESNO | MB_ICONINFORMATION) == IDYES &&
        frame)
        frame->PostMessage(WM_COMMAND, ID_ADD_ACCOUNT);
    return 0;
}

HTREEITEM CTavrinView::GetTreeRoot() const { return GetTreeCtrl().GetRootItem(); }

int CTavrinView::GetItemLevel(HTREEITEM hItem) const
{
    if (!hItem)
        return -1;
    int level = 0;
    for (HTREEITEM parent = GetTreeCtrl().GetParentItem(hItem); parent; parent = GetTreeCtrl().GetParentItem(parent))
        ++level;
    return level;
}

CSchoolClass* CTavrinView::GetCurrentClass() const
{
    HTREEITEM selected = GetTreeCtrl().GetSelectedItem();
    if (GetItemLevel(selected) != 2)
        return nullptr;
    return reinterpret_cast<CSchoolClass*>(GetTreeCtrl().GetItemData(selected));
}

CAccount* CTavrinView::GetCurrentAccount() const
{
    HTREEITEM selected = GetTreeCtrl().GetSelectedItem();
    if (GetItemLevel(selected) != 1)
        return nullptr;
    return reinterpret_cast<CAccount*>(GetTreeCtrl().GetItemData(selected));
}

void CTavrinView::SelectAccount(CAccount* pAccount)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM root = GetTreeRoot();
    for (HTREEITEM item = root ? tree.GetChildItem(root) : nullptr; item; item = tree.GetNextSiblingItem(item)) {
        if (reinterpret_cast<CAccount*>(tree.GetItemData(item)) == pAccount) {
            tree.SelectItem(item);
            return;
        }
    }
}

void CTavrinView::SelectClass(CSchoolClass* pClass)
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM root = GetTreeRoot();
    for (HTREEITEM account = root ? tree.GetChildItem(root) : nullptr; account;
         account = tree.GetNextSiblingItem(account)) {
        for (HTREEITEM item = tree.GetChildItem(account); item; item = tree.GetNextSiblingItem(item)) {
            if (reinterpret_cast<CSchoolClass*>(tree.GetItemData(item)) == pClass) {
                tree.SelectItem(item);
                return;
            }
        }
    }
}

void CTavrinView::RebuildTree()
{
    CTreeCtrl& tree = GetTreeCtrl();
    if (HTREEITEM old = GetTreeRoot())
        tree.DeleteItem(old);
    HTREEITEM root = tree.InsertItem("Tavrin", kRootImage, kRootImage, TVI_ROOT, TVI_LAST);
    tree.SetItemData(root, 0);
    CFrameWnd* frame = GetParentFrame();
    for (int i = 0; i < m_accounts.GetCount(); ++i) {
        CAccount* account = m_accounts.GetAt(i);
        if (!account)
            continue;
        account->SetNotifyWnd(frame ? frame->GetSafeHwnd() : nullptr);
        CString label = account->GetCustoName();
        if (label.IsEmpty())
            label.Format("%s@%s", account->GetUserName().GetString(), account->GetProvider().GetString());
        account->SetCustoName(label);
        HTREEITEM accountItem = tree.InsertItem(label, kAccountImage, kAccountImage, root, TVI_LAST);
        tree.SetItemData(accountItem, reinterpret_cast<DWORD_PTR>(account));
        {
            // A class-list worker replaces the array in one step under this lock.
            CAccount::ClassesLock lock = account->LockClasses();
            for (int j = 0; j < account->GetClassCount(); ++j) {
                CSchoolClass* schoolClass = account->GetClassAt(j);
                if (!schoolClass)
                    continue;
                HTREEITEM classItem =
                    tree.InsertItem(schoolClass->GetCustoName(), kClassImage, kClassImage, accountItem, TVI_LAST);
                tree.SetItemData(classItem, reinterpret_cast<DWORD_PTR>(schoolClass));
            }
        }
        if (!(account->IsAccessEnabled() && account->IsLocked()))
            tree.Expand(accountItem, TVE_EXPAND);
    }
    tree.Expand(root, TVE_EXPAND);
    tree.SelectItem(root);
    UpdateItemStates();
}

void CTavrinView::UpdateItemStates()
{
    CTreeCtrl& tree = GetTreeCtrl();
    HTREEITEM root = GetTreeRoot();
    if (!root)
        return;
    BOOL anyBold = FALSE;
    for (HTREEITEM accountItem = tree.GetChildItem(root); accountItem;
         accountItem = tree.GetNextSiblingItem(accountItem)) {
        for (HTREEITEM classItem = tree.GetChildItem(accountItem); classItem;
             classItem = tree.GetNextSiblingItem(classItem)) {
            auto* schoolClass = reinterpret_cast<CSchoolClass*>(tree.GetItemData(classItem));
            if (!schoolClass)
                continue;
            const BOOL bold = schoolClass->GetUnreadMessageCount() > 0 || schoolClass->GetUnreadPictureCount() > 0 ||
                              schoolClass->GetUnreadPrivateCount() > 0;
            SetItemBold(classItem, bold);
            anyBold = anyBold || bold;
        }
        auto* account = reinterpret_cast<CAccount*>(tree.GetItemData(accountItem));
        if (!account)
            continue;
        const BOOL bold = account->GetUnreadMessageCount() > 0 || account->GetUnreadPictureCount() > 0 ||
                          account->GetUnreadPrivateCount() > 0;
        SetItemBold(accountItem, bold);
        anyBold = anyBold || bold;
    }
    SetItemBold(root, anyBold);
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (CSchoolClass* schoolClass = GetCurrentClass(); schoolClass && frame && frame->m_pListView)
        frame->m_pListView->SetCaptions(schoolClass);
}

CString CTavrinView::GetLocaleLanguage()
{
    char language[128] = {};
    if (::GetLocaleInfo(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, language, sizeof(language)) <= 0)
        return CString();
    return CString(language);
}

CString CTavrinView::ProviderFolderPart(const CString& provider, const CString& language)
{
    if (language.IsEmpty() || language == "Chinese")
        return provider;
    CString part = UrlEncode(provider);
    part.Remove('%');
    return part;
}

void CTavrinView::AddAccount()
{
    CAddAccountDlg dlg;
    if (dlg.DoModal() != IDOK)
        return;
    if (m_accounts.Find(dlg.m_strUserName, dlg.m_strProvider)) {
        ::MessageBox(GetSafeHwnd(), "相同的帐号已经存在！", "添加新帐号", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The dialog refuses such names; the folder must lie directly under accounts.
    if (!IsFolderSafeUserName(dlg.m_strUserName))
        return;
    CAccount* account = CreateAccount(dlg.m_strProvider);
    if (!account)
        return;
    account->SetUserNameAndPassword(dlg.m_strUserName, dlg.m_strPassword);
    CString folder;
    folder.Format("%s\\accounts\\%s@%s", GetAppDir().GetString(), dlg.m_strUserName.GetString(),
                  ProviderFolderPart(dlg.m_strProvider, GetLocaleLanguage()).GetString());
    account->SetDataFolder(folder);
    CFrameWnd* frame = GetParentFrame();
    account->SetNotifyWnd(frame ? frame->GetSafeHwnd() : nullptr);
    if (!m_accounts.Add(account)) {
        delete account;
        return;
    }
    RebuildTree();
    SetConfig(CFG_PROXY_HOST, dlg.m_strProxyHost);
    SetConfig(CFG_PROXY_PORT, dlg.m_strProxyPort);
    SetConfig(CFG_PROXY_USERNAME, dlg.m_strProxyUserName);
    SetConfig(CFG_PROXY_PASSWORD, dlg.m_strProxyPassword);
    account->StartUpdateClassList(0);
}

BOOL CTavrinView::CheckAccess(CAccount* pAccount)
{
    if (!pAccount || !pAccount->IsAccessEnabled() || !pAccount->IsLocked())
        return TRUE;
    CAccountAccessDlg dlg;
    dlg.m_strSite = pAccount->GetProvider();
    dlg.m_strUserName = pAccount->GetUserName();
    if (dlg.DoModal() != IDOK || dlg.m_strAccessPassword != pAccount->GetAccessPassword())
        return FALSE;
    pAccount->SetLocked(FALSE);
    return TRUE;
}

void CTavrinView::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* nm = reinterpret_cast<NMTREEVIEW*>(pNMHDR);
    if (nm->action != TVE_EXPAND)
        return;
    HTREEITEM item = nm->itemNew.hItem;
    if (GetItemLevel(item) == 1 && !CheckAccess(reinterpret_cast<CAccount*>(GetTreeCtrl().GetItemData(item))))
        *pResult = TRUE;
}

void CTavrinView::OnContextMenu(CWnd*, CPoint point)
{
    CTreeCtrl& tree = GetTreeCtrl();
    CPoint client = point;
    ScreenToClient(&client);
    UINT flags = 0;
    tree.HitTest(client, &flags);
    if (!(flags & TVHT_ONITEM))
        return;
    HTREEITEM selected = tree.GetSelectedItem();
    const int level = GetItemLevel(selected);
    if (level == 1 && !CheckAccess(reinterpret_cast<CAccount*>(tree.GetItemData(selected))))
        return;
    if (level != 1 && level != 2)
        return;
    CMenu menu;
    if (!menu.LoadMenu(IDR_MAINFRAME))
        return;
    // The account menu "帐号(A)" and the class menu "班级(&C)" of the main menu.
    CMenu* popup = menu.GetSubMenu(level == 2 ? 2 : 1);
    if (popup)
        XTPTrackContextMenu(popup, 0, point.x, point.y, AfxGetMainWnd());
    menu.DestroyMenu();
}

void CTavrinView::WriteMissingProfilePage(CAccount* pAccount)
{
    const CString folder = pAccount->GetDataFolder();
    const CString page = folder + "\\profile.htm";
    // Only into a folder that is there: a new account's folder comes with its first save.
    if (::GetFileAttributes(page) != INVALID_FILE_ATTRIBUTES || ::GetFileAttributes(folder) == INVALID_FILE_ATTRIBUTES)
        return;
    CString text;
    if (!tavrin::ReadTemplateFile(GetAppDir() + "\\styles\\common\\profile_status.htm", text))
        return;
    text.Replace("[当前状态]", "个人档案尚未下载.");
    tavrin::WriteFileAtomic(page, text.GetString(), static_cast<size_t>(text.GetLength()));
}

void CTavrinView::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CTreeCtrl& tree = GetTreeCtrl();
    CAccount* account = GetCurrentAccount();
    CSchoolClass* schoolClass = GetCurrentClass();
    int image = 0;
    if (HTREEITEM selected = tree.GetSelectedItem()) {
        int selectedImage = 0;
        tree.GetItemImage(selected, image, selectedImage);
    }
    CString caption = "Tavrin";
    // The display pane shows the account's profile; anything else clears it.
    CString page;
    if (account) {
        caption.Format("%s@%s", account->GetUserName().GetString(), account->GetProvider().GetString());
        WriteMissingProfilePage(account);
        page = account->GetDataFolder() + "\\profile.htm";
    } else if (schoolClass) {
        caption.Format("%s - %s", schoolClass->GetSchoolName().GetString(), schoolClass->GetCustoName().GetString());
    }
    HICON icon = m_imageList.GetSafeHandle() ? m_imageList.ExtractIcon(image) : nullptr;
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (frame)
        frame->SetCaption(caption, icon);
    if (frame && frame->m_pDispView)
        frame->m_pDispView->ShowPage(page);
    if (frame && frame->m_pMiscView) {
        frame->m_pMiscView->RefreshLog();
        frame->m_pMiscView->ShowClassPage();
    }
    // The caption bar shows the new icon now; the old one is no longer drawn.
    if (m_hCaptionIcon)
        ::DestroyIcon(m_hCaptionIcon);
    m_hCaptionIcon = icon;
    // The lists show the new selection's rows.
    if (frame && frame->m_pListView)
        frame->m_pListView->UpdateTabTitles(FALSE, FALSE, FALSE, FALSE);
    if (frame && frame->m_pComposeView)
        frame->m_pComposeView->SetMode();
}

BOOL CTavrinView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F2) {
        HTREEITEM selected = GetTreeCtrl().GetSelectedItem();
        const int level = GetItemLevel(selected);
        if (level == 1 || level == 2)
            GetTreeCtrl().EditLabel(selected);
        return TRUE;
    }
    return CXTTreeView::PreTranslateMessage(pMsg);
}

void CTavrinView::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* info = reinterpret_cast<NMTVDISPINFO*>(pNMHDR);
    if (!info->item.pszText) {
        *pResult = FALSE;
        return;
    }
    const CString text = info->item.pszText;
    if (CSchoolClass* schoolClass = GetCurrentClass())
        schoolClass->SetCustoName(text);
    else if (CAccount* account = GetCurrentAccount())
        account->SetCustoName(text);
    *pResult = TRUE;
}
