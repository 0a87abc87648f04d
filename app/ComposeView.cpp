#include "app/ComposeView.h"

#include "app/MainFrm.h"
#include "app/MsgDispView.h"
#include "app/TavrinView.h"
#include "app/dialogs/VerifyCodeDlg.h"
#include "core/model/Account.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/PrivateStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/FileApi.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Exception.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/WndMessages.h"
#include "platform/win/MessageBox.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"

#include <cstdlib>

IMPLEMENT_DYNCREATE(CComposeView, CXTResizeFormView)

BEGIN_MESSAGE_MAP(CComposeView, CXTResizeFormView)
    ON_WM_CREATE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_TIMER()
    ON_EN_CHANGE(IDC_COMPOSE_SUBJECT, OnSubjectChange)
    ON_EN_CHANGE(IDC_COMPOSE_BODY, OnBodyChange)
    ON_CBN_SELCHANGE(IDC_COMPOSE_MODE, OnModeChange)
    ON_BN_CLICKED(IDC_SEND, OnSend)
    ON_BN_CLICKED(IDC_AUTO_PREVIEW, OnAutoPreview)
    ON_COMMAND(IDC_COMPOSE_CAPTION, OnCloseCaption)
    ON_MESSAGE(WM_INSERT_SMILEY, OnInsertSmiley)
    ON_COMMAND(ID_UNDO, OnUndo)
    ON_COMMAND(ID_CUT, OnCut)
    ON_COMMAND(ID_COPY, OnCopy)
    ON_COMMAND(ID_PASTE, OnPaste)
    ON_COMMAND(ID_DELETE_SELECTION, OnDeleteSelection)
    ON_COMMAND(ID_SELECT_ALL, OnSelectAll)
    ON_COMMAND(ID_PREVIEW, OnPreview)
    ON_UPDATE_COMMAND_UI(ID_UNDO, OnUpdateUndo)
    ON_UPDATE_COMMAND_UI(ID_CUT, OnUpdateNeedsSelection)
    ON_UPDATE_COMMAND_UI(ID_COPY, OnUpdateNeedsSelection)
    ON_UPDATE_COMMAND_UI(ID_DELETE_SELECTION, OnUpdateNeedsSelection)
    ON_UPDATE_COMMAND_UI(ID_PASTE, OnUpdatePaste)
END_MESSAGE_MAP()

namespace {

const UINT_PTR kSetModeTimer = 1;
const UINT_PTR kIdleTimer = 2;
const int kCaptionHeight = 19;

bool AutoPreviewOn() { return std::atoi(static_cast<LPCTSTR>(GetConfig(CFG_COMPOSE_PREVIEW))) == 1; }

CAccount* AccountOf(CSchoolClass* pClass) { return pClass ? pClass->GetAccount() : nullptr; }

CString NoteName(CSchoolClass* pClass)
{
    CAccount* account = AccountOf(pClass);
    return account ? account->GetPrivateFeatureName() : CString();
}

// The fields a send needs, copied under the store's items lock: the record
// of the store's current custo_id may be deleted by a worker at any time.
template <typename Item, typename Store, typename Copy>
bool CopyCurrentItem(Store* store, Copy copy)
{
    if (!store)
        return false;
    const CString custoId = store->GetCurrentCustoId();
    if (custoId.IsEmpty())
        return false;
    CClassStore::ItemsLock lock = store->LockItems();
    Item* item = store->FindItem(CString(), custoId);
    if (!item)
        return false;
    copy(*item);
    return true;
}

void Warn(CWnd* owner, const CString& text, const CString& caption)
{
    ::MessageBox(owner ? owner->m_hWnd : nullptr, text, caption, MB_OK | MB_ICONWARNING);
}

} // namespace

CComposeView::CComposeView() : CXTResizeFormView(IDD_COMPOSE_VIEW, 0), m_strCount("字数: 0") {}

CComposeView::~CComposeView() = default;

BOOL CComposeView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CXTResizeFormView::PreCreateWindow(cs);
}

void CComposeView::DoDataExchange(CDataExchange* pDX)
{
    CXTResizeFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_AUTO_PREVIEW, m_wndAutoPreview);
    DDX_Control(pDX, IDC_COMPOSE_SUBJECT, m_wndSubject);
    DDX_Control(pDX, IDC_SEND, m_wndSend);
    DDX_Control(pDX, IDC_COMPOSE_MODE, m_wndMode);
    DDX_Control(pDX, IDC_SMILEY, m_wndSmiley);
    DDX_Control(pDX, IDC_COMPOSE_BODY, m_wndBody);
    DDX_Text(pDX, IDC_COMPOSE_COUNT, m_strCount);
}

int CComposeView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CXTResizeFormView::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndCaption.Create(this, "写留言", CPWS_EX_RAISED_EDGE | CPWS_EX_CLOSEBUTTON,
                             WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, CRect(0, 0, 0, 0), IDC_COMPOSE_CAPTION))
        return -1;
    return 0;
}

void CComposeView::OnSysColorChange()
{
    CXTResizeFormView::OnSysColorChange();
    m_wndCaption.SetCaptionColors(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE),
                                  ::GetSysColor(COLOR_BTNTEXT));
}

void CComposeView::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CXTResizeFormView::OnWindowPosChanged(lpwndpos);
    if (m_wndCaption.m_hWnd) {
        CRect client;
        GetClientRect(&client);
        m_wndCaption.SetWindowPos(nullptr, 0, 0, client.Width(), kCaptionHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CComposeView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, CSize(0, 0));
    CXTResizeFormView::OnInitialUpdate();
    SetResize(IDC_COMPOSE_BODY, nullptr, CXTAnchorRect(0, 0, 1, 1));
    SetResize(IDC_COMPOSE_SUBJECT, nullptr, CXTAnchorRect(0, 0, 1, 0));
    for (UINT id : {IDC_SEND, IDC_SMILEY, IDC_COMPOSE_COUNT, IDC_COMPOSE_MODE, IDC_COMPOSE_OPTIONS_LABEL,
                    IDC_AUTO_PREVIEW})
        SetResize(id, nullptr, CXTAnchorRect(1, 0, 1, 0));
    // The splitter has sized the pane already.
    Move();
    if (m_wndBody.m_hWnd)
        m_wndBody.SetEventMask(m_wndBody.GetEventMask() | ENM_CHANGE | ENM_MOUSEEVENTS);
    if (!m_imageList.m_hImageList && CreateSmileyImageList(m_imageList))
        m_wndSmiley.SetImageList(&m_imageList);
    if (std::atoi(static_cast<LPCTSTR>(GetConfig(CFG_PLACEMENT_PANE_2_2_VISIBLE))) == 0)
        HidePane();
    if (m_wndAutoPreview.m_hWnd)
        m_wndAutoPreview.SetCheck(AutoPreviewOn() ? BST_CHECKED : BST_UNCHECKED);
    SetMode();
}

// ---- Where the pane meets the window ----

CSchoolClass* CComposeView::GetCurrentClass()
{
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    return frame && frame->m_pTreeView ? frame->m_pTreeView->GetCurrentClass() : nullptr;
}

int CComposeView::GetCurrentTab()
{
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    return frame ? frame->GetCurrentListTab() : 0;
}

void CComposeView::ShowPage(const CString& path)
{
    CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (frame && frame->m_pDispView)
        frame->m_pDispView->ShowPage(path);
}

void CComposeView::ShowMessageRow(int nIndex)
{
    if (CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->ShowListRow(0, nIndex);
}

void CComposeView::HidePane()
{
    if (CMainFrame* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->ShowComposePane(FALSE);
}

// ---- Mode ----

CClassStore* CComposeView::GetTabStore(CSchoolClass* pClass, int nTab)
{
    if (!pClass)
        return nullptr;
    switch (nTab) {
    case 0:
        return pClass->GetMessageStore();
    case 1:
        return pClass->GetPictureStore();
    case 2:
        return pClass->GetContactStore();
    case 3:
        return pClass->GetPrivateStore();
    default:
        return nullptr;
    }
}

void CComposeView::ShowCount(CClassStore* pStore)
{
    m_strCount.Format("字数: %d", pStore ? pStore->GetContentLength() : 0);
    SetDlgItemText(IDC_COMPOSE_COUNT, m_strCount);
}

BOOL CComposeView::IsTabBusy(CSchoolClass* pClass, int nTab)
{
    if (!pClass)
        return FALSE;
    switch (nTab) {
    case 0:
        return pClass->GetMessageStore()->IsSending() || pClass->GetMessageStore()->IsReplying();
    case 1:
        return pClass->GetPictureStore()->IsCommenting();
    case 2:
    case 3:
        return pClass->GetPrivateStore()->IsSending() || pClass->GetPrivateStore()->IsReplying();
    default:
        return FALSE;
    }
}

void CComposeView::SetMode()
{
    if (!m_hWnd)
        return;
    CSchoolClass* schoolClass = GetCurrentClass();
    CAccount* account = AccountOf(schoolClass);
    const int tab = GetCurrentTab();
    if (!schoolClass || !account) {
        for (CWnd* control : {static_cast<CWnd*>(&m_wndBody), static_cast<CWnd*>(&m_wndSubject),
                              static_cast<CWnd*>(&m_wndMode), static_cast<CWnd*>(&m_wndSend),
                              static_cast<CWnd*>(&m_wndSmiley), static_cast<CWnd*>(&m_wndAutoPreview)})
            control->EnableWindow(FALSE);
        ShowCount(nullptr);
        return;
    }
    CClassStore* store = GetTabStore(schoolClass, tab);
    if (!store)
        return;
    const BOOL busy = IsTabBusy(schoolClass, tab);
    BOOL subject = FALSE;
    CString modeEntries[2];
    int entries = 1;
    int selected = 0;
    switch (tab) {
    case 0: {
        CMessageStore* messages = schoolClass->GetMessageStore();
        subject = account->HasMessageSubject() && !busy && messages->GetComposeMode() == 0;
        modeEntries[0] = "新留言";
        modeEntries[1] = "回复当前留言";
        entries = 2;
        selected = messages->GetComposeMode();
        break;
    }
    case 1:
        modeEntries[0] = "新照片评论";
        break;
    default:
        subject = account->HasPrivateSubject() && !busy;
        modeEntries[0] = (tab == 2 ? "新" : "回复当前") + NoteName(schoolClass);
        break;
    }
    m_wndSubject.EnableWindow(subject);
    m_wndSubject.SetWindowText(tab == 1 ? CString() : store->GetComposeSubject());
    m_wndMode.EnableWindow(!busy);
    m_wndMode.ResetContent();
    for (int i = 0; i < entries; ++i)
        m_wndMode.AddString(modeEntries[i]);
    m_wndMode.SetCurSel(selected);
    m_wndSmiley.EnableWindow(tab == 0 && account->SupportsSmileys() && !busy);
    m_wndBody.EnableWindow(!busy);
    m_wndBody.SetWindowText(store->GetComposeContent());
    ShowCount(store);
    m_wndSend.EnableWindow(!busy);
    m_wndAutoPreview.EnableWindow(tab == 0);
}

void CComposeView::SetModeSoon()
{
    if (m_hWnd)
        SetTimer(kSetModeTimer, 100, nullptr);
}

void CComposeView::SetModeWhenIdle()
{
    SetMode();
    if (m_hWnd && IsTabBusy(GetCurrentClass(), GetCurrentTab()))
        SetTimer(kIdleTimer, 100, nullptr);
}

void CComposeView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kSetModeTimer) {
        KillTimer(kSetModeTimer);
        SetMode();
    } else if (nIDEvent == kIdleTimer) {
        // Only the flags are looked at until they clear.
        if (IsTabBusy(GetCurrentClass(), GetCurrentTab()))
            return;
        KillTimer(kIdleTimer);
        SetMode();
    } else {
        CXTResizeFormView::OnTimer(nIDEvent);
    }
}

// ---- Typing ----

void CComposeView::OnSubjectChange()
{
    CSchoolClass* schoolClass = GetCurrentClass();
    if (!schoolClass)
        return;
    CString text;
    m_wndSubject.GetWindowText(text);
    const int tab = GetCurrentTab();
    if (tab == 1)
        return;
    CClassStore* store = GetTabStore(schoolClass, tab);
    if (!store)
        return;
    store->SetComposeSubject(text);
    if (tab == 0 && AutoPreviewOn()) {
        Preview(schoolClass);
        m_wndSubject.SetFocus();
    }
}

void CComposeView::OnBodyChange()
{
    CSchoolClass* schoolClass = GetCurrentClass();
    if (!schoolClass)
        return;
    const int tab = GetCurrentTab();
    CClassStore* store = GetTabStore(schoolClass, tab);
    if (!store)
        return;
    CString text;
    m_wndBody.GetWindowText(text);
    CAccount* account = AccountOf(schoolClass);
    if (tab == 0 && account && account->SupportsSmileys()) {
        m_wndBody.ReplaceSmileyCodes([this](int index) { return MakeSmileyBitmap(&m_imageList, index); });
        text = m_wndBody.GetTextWithSmileyCodes();
    }
    store->SetComposeContent(text);
    ShowCount(store);
    if (tab == 0 && AutoPreviewOn()) {
        Preview(schoolClass);
        m_wndBody.SetFocus();
    }
}

HBITMAP CComposeView::MakeSmileyBitmap(CImageList* pImageList, int nIndex)
{
    return m_wndBody.MakeSmileyBitmap(pImageList, nIndex);
}

LRESULT CComposeView::OnInsertSmiley(WPARAM wParam, LPARAM)
{
    const int index = static_cast<int>(static_cast<LPARAM>(wParam));
    if (index < 0 || index >= kSmileyCount)
        return 1;
    HBITMAP bitmap = MakeSmileyBitmap(&m_imageList, index);
    if (!bitmap)
        return 1;
    try {
        m_wndBody.InsertSmiley(bitmap, index);
    } catch (CException* e) {
        // The body stays without the picture.
        e->Delete();
    }
    return 1;
}

// ---- Preview ----

void CComposeView::Preview(CSchoolClass* pClass)
{
    CMessageStore* store = pClass ? pClass->GetMessageStore() : nullptr;
    CAccount* account = AccountOf(pClass);
    if (!store || !account)
        return;
    const CString html =
        store->RenderPreview(store->GetComposeSubject(), store->GetComposeContent(), store->GetComposeMode() == 1 ? 1 : 0);
    CString folder;
    folder.Format("%s\\%s", static_cast<LPCTSTR>(account->GetDataFolder()), static_cast<LPCTSTR>(pClass->GetId()));
    CreateDirectoryPath(folder);
    const CString path = folder + "\\compose.htm";
    // An older preview is never shown for this one.
    if (!tavrin::WriteFileAtomic(path, html.GetString(), static_cast<size_t>(html.GetLength()))) {
        ShowPage(CString());
        return;
    }
    ShowPage(path);
}

void CComposeView::OnAutoPreview()
{
    if (GetCurrentTab() != 0)
        return;
    CSchoolClass* schoolClass = GetCurrentClass();
    if (m_wndAutoPreview.GetCheck() == BST_CHECKED) {
        SetConfigInt(CFG_COMPOSE_PREVIEW, 1);
        if (schoolClass)
            Preview(schoolClass);
        else
            ShowPage(CString());
        return;
    }
    SetConfigInt(CFG_COMPOSE_PREVIEW, 0);
    CMessageStore* store = schoolClass ? schoolClass->GetMessageStore() : nullptr;
    if (!store) {
        ShowPage(CString());
        return;
    }
    int index = -1;
    {
        CClassStore::ItemsLock lock = store->LockItems();
        if (!store->LookupItem(CString(), store->GetCurrentCustoId(), &index))
            index = -1;
    }
    if (index >= 0)
        ShowMessageRow(index);
    else
        ShowPage(CString());
}

void CComposeView::OnPreview()
{
    if (GetCurrentTab() != 0)
        return;
    if (CSchoolClass* schoolClass = GetCurrentClass())
        Preview(schoolClass);
    else
        ShowPage(CString());
}

void CComposeView::OnModeChange()
{
    const int index = m_wndMode.GetCurSel();
    CSchoolClass* schoolClass = GetCurrentClass();
    if (!schoolClass || GetCurrentTab() != 0 || index < 0)
        return;
    schoolClass->GetMessageStore()->SetComposeMode(index);
    SetMode();
    OnAutoPreview();
}

// ---- Sending ----

BOOL CComposeView::PassVerifyGate(CWnd* pOwner, CClassStore* pStore, const CString& itemId, BOOL bPhoto)
{
    HWND owner = pOwner ? pOwner->m_hWnd : nullptr;
    // A code once typed stays in use until the provider rejects it.
    if (!pStore->GetAuthCode(itemId).IsEmpty())
        return TRUE;
    const CString image = pStore->GetAuthImagePath(itemId);
    if (::GetFileAttributes(image) == INVALID_FILE_ATTRIBUTES) {
        ::MessageBox(owner, bPhoto ? "找不到验证信息图片，请更新！" : "找不到验证信息图片，请更新帐号！", "错误",
                     MB_OK | MB_ICONERROR);
        return FALSE;
    }
    CVerifyCodeDlg dialog(nullptr);
    dialog.SetImagePath(image);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    if (dialog.m_strCode.GetLength() != 4) {
        ::MessageBox(owner, "请正确输入图中的4位验证码字符！", "错误", MB_OK | MB_ICONERROR);
        return FALSE;
    }
    pStore->SetAuthCode(dialog.m_strCode, itemId);
    return TRUE;
}

void CComposeView::StartMessageSend(CSchoolClass* pClass)
{
    CMessageStore* store = pClass->GetMessageStore();
    CAccount* account = AccountOf(pClass);
    if (account && account->NeedsVerifyCode(0) && !PassVerifyGate(this, store, CString(), FALSE))
        return;
    if (store->GetComposeMode() == 0) {
        store->StartSend(store->GetComposeSubject(), store->GetComposeContent(), 0);
        return;
    }
    CString targetId;
    if (!CopyCurrentItem<CMessageItem>(store, [&](const CMessageItem& item) { targetId = item.m_id; })) {
        Warn(this, "请先选择想要回复的留言！", "回复留言");
        return;
    }
    store->StartReply(store->GetComposeSubject(), store->GetComposeContent(), targetId, 0);
}

void CComposeView::StartPhotoComment(CSchoolClass* pClass)
{
    CPictureStore* store = pClass->GetPictureStore();
    CString photoId;
    if (!CopyCurrentItem<CPictureItem>(store, [&](const CPictureItem& item) { photoId = item.m_id; })) {
        Warn(this, "请先选择想要评论的照片！", "评论照片");
        return;
    }
    CAccount* account = AccountOf(pClass);
    if (account && account->NeedsVerifyCode(1) && !PassVerifyGate(this, store, photoId, TRUE))
        return;
    store->StartComment(CString(), store->GetComposeContent(), photoId, 0);
}

void CComposeView::StartNoteSend(CSchoolClass* pClass)
{
    CContactStore* contacts = pClass->GetContactStore();
    const CString noteName = NoteName(pClass);
    CString realName, userName, memberId;
    if (!CopyCurrentItem<CContactItem>(contacts, [&](const CContactItem& item) {
            realName = item.m_realName;
            userName = item.m_userName;
            memberId = item.m_id;
        })) {
        CString text;
        text.Format("请先选择想要发送%s的成员！", static_cast<LPCTSTR>(noteName));
        Warn(this, text, "发送" + noteName);
        return;
    }
    pClass->GetPrivateStore()->StartSend(contacts->GetComposeSubject(), contacts->GetComposeContent(), realName,
                                         userName, memberId, 0);
}

void CComposeView::StartNoteReply(CSchoolClass* pClass)
{
    CPrivateStore* notes = pClass->GetPrivateStore();
    const CString noteName = NoteName(pClass);
    CString realName, userName, userId, custoId;
    if (!CopyCurrentItem<CPrivateItem>(notes, [&](const CPrivateItem& item) {
            realName = item.m_realName;
            userName = item.m_userName;
            userId = item.m_userId;
            custoId = item.m_custoId;
        })) {
        CString text;
        text.Format("请先选择想要回复的%s！", static_cast<LPCTSTR>(noteName));
        Warn(this, text, "回复" + noteName);
        return;
    }
    notes->StartReply(notes->GetComposeSubject(), notes->GetComposeContent(), realName, userName, userId,
                      std::atoi(static_cast<LPCTSTR>(custoId)));
}

void CComposeView::OnSend()
{
    CSchoolClass* schoolClass = GetCurrentClass();
    if (!schoolClass)
        return;
    switch (GetCurrentTab()) {
    case 0:
        StartMessageSend(schoolClass);
        break;
    case 1:
        StartPhotoComment(schoolClass);
        break;
    case 2:
        StartNoteSend(schoolClass);
        break;
    case 3:
        StartNoteReply(schoolClass);
        break;
    default:
        break;
    }
    // The controls follow the busy flag the send has claimed by then.
    SetModeSoon();
}

void CComposeView::OnCloseCaption() { HidePane(); }

// ---- Context menu and edit commands ----

BOOL CComposeView::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == IDC_COMPOSE_BODY && header->code == EN_MSGFILTER &&
        reinterpret_cast<const MSGFILTER*>(lParam)->msg == WM_RBUTTONDOWN) {
        CMenu menu;
        if (menu.LoadMenu(IDR_COMPOSE_MENU)) {
            if (CMenu* popup = menu.GetSubMenu(0)) {
                POINT pt;
                ::GetCursorPos(&pt);
                // The chosen command reaches the frame and from there the view.
                XTPTrackContextMenu(popup, 0, pt.x, pt.y, AfxGetMainWnd());
            }
        }
    }
    return CXTResizeFormView::OnNotify(wParam, lParam, pResult);
}

CWnd* CComposeView::GetEditTarget()
{
    const HWND focus = ::GetFocus();
    if (focus && focus == m_wndBody.m_hWnd)
        return &m_wndBody;
    if (focus && focus == m_wndSubject.m_hWnd)
        return &m_wndSubject;
    return nullptr;
}

void CComposeView::OnUndo()
{
    if (CWnd* target = GetEditTarget())
        target->SendMessage(EM_UNDO);
}

void CComposeView::OnCut()
{
    if (CWnd* target = GetEditTarget())
        target->SendMessage(WM_CUT);
}

void CComposeView::OnCopy()
{
    if (CWnd* target = GetEditTarget())
        target->SendMessage(WM_COPY);
}

void CComposeView::OnPaste()
{
    if (CWnd* target = GetEditTarget())
        target->SendMessage(WM_PASTE);
}

void CComposeView::OnDeleteSelection()
{
    if (CWnd* target = GetEditTarget())
        target->SendMessage(WM_CLEAR);
}

void CComposeView::OnSelectAll()
{
    CWnd* target = GetEditTarget();
    if (target == &m_wndBody) {
        m_wndBody.SetSel(0, -1);
    } else if (target == &m_wndSubject) {
        m_wndSubject.SetSel(0, -1);
        m_wndSubject.SendMessage(EM_SCROLLCARET);
    }
}

void CComposeView::OnUpdateUndo(CCmdUI* pCmdUI)
{
    if (GetEditTarget() == &m_wndBody)
        pCmdUI->Enable(m_wndBody.CanUndo());
}

void CComposeView::OnUpdateNeedsSelection(CCmdUI* pCmdUI)
{
    if (GetEditTarget() != &m_wndBody)
        return;
    long start = 0, end = 0;
    m_wndBody.GetSel(start, end);
    pCmdUI->Enable(start != end);
}

void CComposeView::OnUpdatePaste(CCmdUI* pCmdUI)
{
    if (GetEditTarget() == &m_wndBody)
        pCmdUI->Enable(m_wndBody.CanPaste(0));
}
