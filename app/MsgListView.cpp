#include "app/MsgListView.h"

#include "app/CurrentSelection.h"
#include "app/MainFrm.h"
#include "app/MsgDispView.h"
#include "app/TavrinView.h"
#include "core/model/Account.h"
#include "core/model/ClassStore.h"
#include "core/model/ContactStore.h"
#include "core/model/MessageStore.h"
#include "core/model/PictureStore.h"
#include "core/model/SchoolClass.h"
#include "core/services/Config.h"
#include "core/services/FolderUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/WndMessages.h"
#include "res/resource.h"
#include "toolkit/commandbars/XTPTrackContextMenu.h"
#include "toolkit/controls/XTTabBase.h"

#include <algorithm>
#include <cstring>

using namespace tavrin::app;

IMPLEMENT_DYNCREATE(CMsgListView, CXTResizeFormView)

BEGIN_MESSAGE_MAP(CMsgListView, CXTResizeFormView)
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_TIMER()
    ON_WM_CONTEXTMENU()
    ON_NOTIFY(NM_DBLCLK, IDC_MESSAGE_LIST, OnDblClkMessageList)
    ON_NOTIFY(NM_DBLCLK, IDC_PICTURE_LIST, OnDblClkList)
    ON_NOTIFY(NM_DBLCLK, IDC_CONTACT_LIST, OnDblClkList)
    ON_NOTIFY(NM_DBLCLK, IDC_NOTE_LIST, OnDblClkList)
    ON_COMMAND(ID_SELECT_ALL, OnSelectAll)
END_MESSAGE_MAP()

namespace {

// The page files of the class folder, by page.
const char* const kPageFiles[kListPageCount] = {"\\message.htm", "\\picture.htm", "\\contact.htm", "\\private.htm"};
// Context menus by page.
const UINT kPageMenus[kListPageCount] = {IDR_MESSAGE_LIST_MENU, IDR_PICTURE_LIST_MENU, IDR_CONTACT_LIST_MENU,
                                         IDR_PRIVATE_LIST_MENU};
// Header members by page (the members are kept in message, contact, photo, note order).
const int kHeaderOfPage[kListPageCount] = {0, 2, 1, 3};
const int kTimerOfPage[kListPageCount] = {CMsgListView::kMessageTimer, CMsgListView::kPictureTimer, -1,
                                          CMsgListView::kNoteTimer};

CString ClassFolder(CSchoolClass* schoolClass)
{
    CString folder;
    CAccount* account = schoolClass ? schoolClass->GetAccount() : nullptr;
    if (account)
        folder.Format("%s\\%s", account->GetDataFolder().GetString(), schoolClass->GetId().GetString());
    return folder;
}

// The read delay of key 17 in milliseconds; a negative value reads as 0.
UINT ReadDelayMs()
{
    const long long seconds = std::max(LeadingNumber(GetConfig(CFG_READ_TIMEOUT)), 0);
    return static_cast<UINT>(std::min<long long>(seconds * 1000, 0x7FFFFFFF));
}

// The row of the store's current item; -1 when there is none or it is gone.
int CurrentRow(CClassStore* store)
{
    const CString custoId = store->GetCurrentCustoId();
    if (custoId.IsEmpty())
        return -1;
    int row = -1;
    store->LookupItem(CString(), custoId, &row);
    return row;
}

} // namespace

BOOL CListTabCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    CWnd* parent = GetParent();
    if (hdr && parent && hdr->hwndFrom && hdr->hwndFrom != m_hWnd) {
        // Only what comes from a page or a page's child (a list's header).
        HWND top = hdr->hwndFrom;
        while (top && ::GetParent(top) != m_hWnd)
            top = ::GetParent(top);
        if (top && IsPageWindow(CWnd::FromHandle(top))) {
            *pResult = parent->SendMessage(WM_NOTIFY, wParam, lParam);
            return TRUE;
        }
    }
    return CXTTabCtrl::OnNotify(wParam, lParam, pResult);
}

CMsgListView::CMsgListView() : CXTResizeFormView(IDD_MSG_LIST_VIEW, 0) {}

CMsgListView::~CMsgListView() = default;

void CMsgListView::DoDataExchange(CDataExchange* pDX)
{
    CXTResizeFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_TAB, m_wndTab);
    DDX_Control(pDX, IDC_NOTE_LIST, m_wndNoteList);
    DDX_Control(pDX, IDC_PICTURE_LIST, m_wndPictureList);
    DDX_Control(pDX, IDC_MESSAGE_LIST, m_wndMessageList);
    DDX_Control(pDX, IDC_CONTACT_LIST, m_wndContactList);
}

CXTListCtrl& CMsgListView::GetList(int page)
{
    switch (page) {
    case kPicturePage:
        return m_wndPictureList;
    case kContactPage:
        return m_wndContactList;
    case kNotePage:
        return m_wndNoteList;
    default:
        return m_wndMessageList;
    }
}

CXTFlatHeaderCtrl& CMsgListView::GetHeader(int page)
{
    return m_wndHeaders[kHeaderOfPage[std::clamp(page, 0, kListPageCount - 1)]];
}

int CMsgListView::GetCurrentPage() const { return m_wndTab.m_hWnd ? m_wndTab.GetCurSel() : -1; }

CMsgDispView* CMsgListView::GetDispView() const
{
    auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    return frame ? frame->m_pDispView : nullptr;
}

int CMsgListView::GetDispWidth() const
{
    CMsgDispView* disp = GetDispView();
    if (!disp || !disp->m_hWnd)
        return 0;
    CRect client;
    disp->GetClientRect(&client);
    return client.Width();
}

void CMsgListView::OnInitialUpdate()
{
    SetScrollSizes(MM_TEXT, CSize(0, 0));
    CXTResizeFormView::OnInitialUpdate();
    CBitmap bitmap;
    HBITMAP hBitmap = ::LoadBitmap(AfxFindResourceHandle(MAKEINTRESOURCE(IDB_ACCOUNT_TREE), RT_BITMAP),
                                   MAKEINTRESOURCE(IDB_ACCOUNT_TREE));
    if (m_imageList.Create(16, 16, ILC_COLOR24 | ILC_MASK, 9, 1) && hBitmap && bitmap.Attach(hBitmap))
        m_imageList.Add(&bitmap, RGB(255, 0, 255));
    if (!m_wndTab.m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    m_wndTab.MoveWindow(&client);
    for (int page = 0; page < kListPageCount; ++page)
        GetList(page).AddExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int page = 0; page < kListPageCount; ++page) {
        if (!m_wndTab.AddControl(IdleCaption(page, CString()), &GetList(page)))
            return;
    }
    m_wndTab.SetActiveView(0);
    for (int page : {kMessagePage, kContactPage, kPicturePage, kNotePage}) {
        CXTListCtrl& list = GetList(page);
        CRect rect;
        list.GetWindowRect(&rect);
        const std::vector<const char*> captions = ColumnCaptions(page);
        const std::vector<int> widths = ColumnWidths(page, rect.Width(), ::GetSystemMetrics(SM_CXVSCROLL));
        for (size_t column = 0; column < captions.size(); ++column)
            list.InsertColumn(static_cast<int>(column), captions[column], LVCFMT_LEFT, widths[column]);
        list.SetImageList(&m_imageList, LVSIL_SMALL);
        CXTFlatHeaderCtrl& header = GetHeader(page);
        if (HWND hHeader = ::GetDlgItem(list.m_hWnd, 0); hHeader && header.SubclassWindow(hHeader)) {
            header.FreezeColumn(0);
            header.ShowSortArrow(TRUE);
        }
    }
}

void CMsgListView::LayoutColumns(int page)
{
    CXTListCtrl& list = GetList(page);
    if (!list.m_hWnd)
        return;
    CRect rect;
    list.GetWindowRect(&rect);
    const std::vector<int> widths = ColumnWidths(page, rect.Width(), ::GetSystemMetrics(SM_CXVSCROLL));
    const int columns = std::min<int>(static_cast<int>(widths.size()), list.GetHeaderCtrl() ? list.GetHeaderCtrl()->GetItemCount() : 0);
    for (int column = 0; column < columns; ++column)
        list.SetColumnWidth(column, widths[static_cast<size_t>(column)]);
}

void CMsgListView::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CXTResizeFormView::OnWindowPosChanged(lpwndpos);
    CRect client;
    GetClientRect(&client);
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        frame->SetListRowMinHeight(client);
    if (m_wndTab.m_hWnd)
        m_wndTab.MoveWindow(&client, TRUE);
    for (int page : {kMessagePage, kContactPage, kPicturePage, kNotePage})
        LayoutColumns(page);
}

int CMsgListView::PageOfSender(HWND hwnd)
{
    for (int page = 0; page < kListPageCount; ++page) {
        CXTListCtrl& list = GetList(page);
        if (!list.m_hWnd)
            continue;
        if (hwnd == list.m_hWnd || ::GetParent(hwnd) == list.m_hWnd)
            return page;
    }
    return -1;
}

BOOL CMsgListView::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!hdr)
        return CXTResizeFormView::OnNotify(wParam, lParam, pResult);
    if (hdr->hwndFrom == m_wndTab.m_hWnd && hdr->code == TCN_SELCHANGE) {
        // The tab control shows the new page first.
        const BOOL handled = CXTResizeFormView::OnNotify(wParam, lParam, pResult);
        OnTabChanged();
        return handled;
    }
    const int page = PageOfSender(hdr->hwndFrom);
    // Each notification is handled by the branch of the current page.
    if (page < 0 || page != GetCurrentPage())
        return CXTResizeFormView::OnNotify(wParam, lParam, pResult);
    const bool fromList = hdr->hwndFrom == GetList(page).m_hWnd;
    switch (hdr->code) {
    case LVN_GETDISPINFOA:
        if (!fromList)
            break;
        OnGetDispInfo(page, reinterpret_cast<NMLVDISPINFOA*>(hdr));
        *pResult = 0;
        return TRUE;
    case NM_CUSTOMDRAW:
        if (!fromList || page == kContactPage)
            break;
        *pResult = OnCustomDraw(page, reinterpret_cast<NMLVCUSTOMDRAW*>(hdr));
        return TRUE;
    case LVN_ITEMCHANGED:
        if (fromList)
            OnItemChanged(page, reinterpret_cast<NMLISTVIEW*>(hdr));
        break;
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
        if (!fromList)
            OnHeaderItemClick(page, reinterpret_cast<NMHEADERA*>(hdr));
        break;
    default:
        break;
    }
    return CXTResizeFormView::OnNotify(wParam, lParam, pResult);
}

void CMsgListView::OnGetDispInfo(int page, NMLVDISPINFOA* pInfo)
{
    LVITEMA& item = pInfo->item;
    if (!(item.mask & (LVIF_TEXT | LVIF_IMAGE)))
        return;
    CString text;
    int image = RowImage(page, nullptr);
    if (CClassStore* store = PageStore(GetCurrentClass(), page)) {
        // The record is read only while the lock is held; a row without a
        // record (the store changed before the row count) shows empty cells.
        CClassStore::ItemsLock lock = store->LockItems();
        if (const CStoreItem* record = store->GetItem(item.iItem)) {
            text = CellText(page, *record, item.iSubItem);
            image = RowImage(page, record);
        }
    }
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const CString cut = tavrin::toolkit::CutWholeCharacters(text, item.cchTextMax - 1);
        std::memcpy(item.pszText, cut.GetString(), static_cast<size_t>(cut.GetLength()));
        item.pszText[cut.GetLength()] = '\0';
    }
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
        item.iImage = image;
}

void CMsgListView::MakeRowFonts(CXTListCtrl& list)
{
    if (m_fontNormal.GetSafeHandle())
        return;
    LOGFONT lf{};
    CFont* font = list.GetFont();
    if (!font || !font->GetLogFont(&lf))
        ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfWeight = FW_NORMAL;
    m_fontNormal.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(&lf);
}

LRESULT CMsgListView::OnCustomDraw(int page, NMLVCUSTOMDRAW* pDraw)
{
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        bool read = false;
        if (CClassStore* store = PageStore(GetCurrentClass(), page)) {
            CClassStore::ItemsLock lock = store->LockItems();
            const CStoreItem* record = store->GetItem(static_cast<int>(pDraw->nmcd.dwItemSpec));
            read = record && record->m_read;
        }
        MakeRowFonts(GetList(page));
        CFont& font = read ? m_fontNormal : m_fontBold;
        if (font.GetSafeHandle())
            ::SelectObject(pDraw->nmcd.hdc, font.GetSafeHandle());
        return CDRF_NEWFONT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

void CMsgListView::OnItemChanged(int page, const NMLISTVIEW* pItem)
{
    if (!(pItem->uChanged & LVIF_STATE) || !(pItem->uNewState & LVIS_SELECTED) || pItem->iItem == -1)
        return;
    ShowItemPage(page, pItem->iItem);
}

void CMsgListView::ShowItemPage(int page, int row)
{
    CSchoolClass* schoolClass = GetCurrentClass();
    CClassStore* store = PageStore(schoolClass, page);
    if (!store)
        return;
    // The page and the current item come from the same record.
    CString custoId;
    if (!store->GetCustoIdAt(row, custoId))
        return;
    const CString text = page == kPicturePage ? store->RenderDetailPage(custoId, GetDispWidth())
                                              : store->RenderPage(custoId);
    if (text.IsEmpty())
        return;
    WriteAndShowPage(schoolClass, page, text);
    store->SetCurrentCustoId(custoId);
    if (kTimerOfPage[page] >= 0)
        SetTimer(static_cast<UINT_PTR>(kTimerOfPage[page]), ReadDelayMs(), nullptr);
}

void CMsgListView::WriteAndShowPage(CSchoolClass* pClass, int page, const CString& text)
{
    const CString folder = ClassFolder(pClass);
    const CString path = folder + kPageFiles[page];
    CreateDirectoryPath(folder);
    // Byte for byte as the store rendered it; a page that cannot be written
    // must not show an older file of that name, which is another item's.
    const bool written =
        !folder.IsEmpty() && tavrin::WriteFileAtomic(path, text.GetString(), static_cast<size_t>(text.GetLength()));
    if (CMsgDispView* disp = GetDispView())
        disp->ShowPage(written ? path : CString());
}

void CMsgListView::ShowEmptyPage()
{
    if (CMsgDispView* disp = GetDispView())
        disp->ShowPage(CString());
}

void CMsgListView::ClearSelection(CXTListCtrl& list)
{
    if (list.m_hWnd)
        list.SetItemState(-1, 0, LVIS_SELECTED);
}

void CMsgListView::SelectRow(CXTListCtrl& list, int row)
{
    list.EnsureVisible(row, FALSE);
    list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

void CMsgListView::OnTabChanged()
{
    const int page = GetCurrentPage();
    CClassStore* store = PageStore(GetCurrentClass(), page);
    if (!store)
        return;
    const CString custoId = store->GetCurrentCustoId();
    if (custoId.IsEmpty()) {
        ShowEmptyPage();
        return;
    }
    CXTListCtrl& list = GetList(page);
    const int row = CurrentRow(store);
    if (row < 0) {
        // The current item was deleted or the store reloaded.
        ShowEmptyPage();
        return;
    }
    list.EnsureVisible(row, FALSE);
    const int selected = list.GetNextItem(-1, LVNI_SELECTED);
    if (selected != row) {
        list.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        return;
    }
    // The same row: its page again, without a timer.
    const CString text = page == kPicturePage ? store->RenderDetailPage(custoId, GetDispWidth())
                                              : store->RenderPage(custoId);
    if (!text.IsEmpty())
        WriteAndShowPage(GetCurrentClass(), page, text);
}

void CMsgListView::SetCaptions(CSchoolClass* pClass)
{
    if (!pClass || !m_wndTab.m_hWnd)
        return;
    for (int page = 0; page < kListPageCount; ++page)
        m_wndTab.SetTabText(page, PageCaption(page, ReadCaptionState(pClass, page)));
}

void CMsgListView::UpdateTabTitles(BOOL bMessages, BOOL bPictures, BOOL bContacts, BOOL bNotes)
{
    if (!m_wndTab.m_hWnd)
        return;
    CSchoolClass* schoolClass = GetCurrentClass();
    if (!schoolClass) {
        CAccount* account = GetCurrentAccount();
        const CString privateName = account ? account->GetPrivateFeatureName() : CString();
        for (int page = 0; page < kListPageCount; ++page) {
            GetList(page).SetItemCountEx(0, 0);
            m_wndTab.SetTabText(page, IdleCaption(page, privateName));
        }
        return;
    }
    const BOOL flags[kListPageCount] = {bMessages, bPictures, bContacts, bNotes};
    const int current = GetCurrentPage();
    for (int page = 0; page < kListPageCount; ++page) {
        CXTListCtrl& list = GetList(page);
        CClassStore* store = PageStore(schoolClass, page);
        if (flags[page]) {
            list.SetItemCountEx(0, 0);
            if (page == kMessagePage)
                m_wndTab.SetTabText(page, store->GetLastSearch().IsEmpty() ? "留言(0/0)[更新中...]"
                                                                          : "留言(0/0)[搜索中...]");
            continue;
        }
        list.SetItemCountEx(store->GetItemCount(), 0);
        m_wndTab.SetTabText(page, PageCaption(page, ReadCaptionState(schoolClass, page)));
        ClearSelection(list);
        const int row = CurrentRow(store);
        if (page != current)
            continue;
        if (row >= 0)
            SelectRow(list, row);
        else
            ShowEmptyPage();
    }
}

void CMsgListView::OnHeaderItemClick(int page, const NMHEADERA* pHeader)
{
    CClassStore* store = PageStore(GetCurrentClass(), page);
    const int column = pHeader->iItem;
    if (!store || column <= 0)
        return;
    BOOL ascending = TRUE;
    if (pHeader->iButton == 0)
        ascending = column == store->GetSortColumn() ? !store->GetSortAscending() : TRUE;
    else if (pHeader->iButton == 1)
        GetHeader(page).GetSortColumn(&ascending);
    else
        return;
    store->SortItems(column, ascending);
    GetHeader(page).SetSortColumn(store->GetSortColumn(), store->GetSortAscending());
    UpdateTabTitles(FALSE, FALSE, FALSE, FALSE);
    const int row = CurrentRow(store);
    if (row >= 0)
        SelectRow(GetList(page), row);
}

void CMsgListView::SelectItem(int nRow)
{
    CXTListCtrl& list = m_wndPictureList;
    if (!list.m_hWnd)
        return;
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
        list.SetItemState(row, 0, LVIS_SELECTED);
    list.SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
    list.EnsureVisible(nRow, FALSE);
    KillTimer(kPictureTimer);
    SetTimer(kPictureTimer, ReadDelayMs(), nullptr);
}

void CMsgListView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kNoteTimer || nIDEvent == kMessageTimer || nIDEvent == kPictureTimer) {
        KillTimer(nIDEvent);
        MarkRead(nIDEvent == kMessageTimer ? kMessagePage : nIDEvent == kPictureTimer ? kPicturePage : kNotePage);
    }
    CXTResizeFormView::OnTimer(nIDEvent);
}

void CMsgListView::MarkRead(int page)
{
    CClassStore* store = PageStore(GetCurrentClass(), page);
    if (!store)
        return;
    const CString custoId = store->GetCurrentCustoId();
    if (custoId.IsEmpty())
        return;
    std::vector<int> changed;
    {
        // The flags are set on the records found now, under the lock: a
        // worker may have reloaded the store since the page was shown.
        CClassStore::ItemsLock lock = store->LockItems();
        int row = -1;
        CStoreItem* record = store->LookupItem(CString(), custoId, &row);
        if (!record)
            return;
        if (page != kMessagePage && record->m_read)
            return;
        if (!record->m_read) {
            record->m_read = 1;
            changed.push_back(row);
        }
        if (page == kMessagePage) {
            const int count = LeadingNumber(GetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER));
            for (int k = 1; k < count; ++k) {
                CStoreItem* next = store->GetItem(row + k);
                if (!next)
                    break;
                if (!next->m_read) {
                    next->m_read = 1;
                    changed.push_back(row + k);
                }
            }
        }
    }
    CXTListCtrl& list = GetList(page);
    for (int row : changed) {
        CRect bounds;
        if (list.m_hWnd && list.GetItemRect(row, &bounds, LVIR_BOUNDS))
            list.InvalidateRect(&bounds);
    }
    if (auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame()); frame && frame->m_pTreeView)
        frame->m_pTreeView->UpdateItemStates();
    store->SaveReadMarks();
}

void CMsgListView::OnSelectAll()
{
    const int page = GetCurrentPage();
    if (page >= 0)
        GetList(page).SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
}

void CMsgListView::OnContextMenu(CWnd*, CPoint point)
{
    const int page = GetCurrentPage();
    if (page < 0)
        return;
    CXTListCtrl& list = GetList(page);
    CPoint client = point;
    list.ScreenToClient(&client);
    UINT flags = 0;
    if (list.HitTest(client, &flags) < 0 || !(flags & LVHT_ONITEMLABEL))
        return;
    CMenu menu;
    if (!menu.LoadMenu(kPageMenus[page]))
        return;
    if (CMenu* popup = menu.GetSubMenu(0))
        XTPTrackContextMenu(popup, 0, point.x, point.y, AfxGetMainWnd());
    menu.DestroyMenu();
}

void CMsgListView::OnDblClkList(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (!frame || !GetCurrentClass())
        return;
    frame->ShowComposePane(frame->m_wndSplitterItems.GetHiddenRowIndex() >= 0);
}

void CMsgListView::OnDblClkMessageList(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    auto* frame = dynamic_cast<CMainFrame*>(GetParentFrame());
    CSchoolClass* schoolClass = GetCurrentClass();
    if (!frame || !schoolClass)
        return;
    if (frame->m_wndSplitterItems.GetHiddenRowIndex() >= 0) {
        frame->ShowComposePane(TRUE);
        schoolClass->GetMessageStore()->SetComposeMode(1);
    } else {
        frame->ShowComposePane(FALSE);
        if (CMsgDispView* disp = GetDispView())
            disp->ShowPage(ClassFolder(schoolClass) + "\\message.htm");
    }
}

BOOL CMsgListView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYUP && pMsg->wParam == VK_DELETE)
        return TRUE;
    return CXTResizeFormView::PreTranslateMessage(pMsg);
}

void CMsgListView::ShowFoundRow(int page, const CString& text)
{
    CClassStore* store = PageStore(GetCurrentClass(), page);
    if (!store)
        return;
    int found = -1;
    {
        CClassStore::ItemsLock lock = store->LockItems();
        const int count = store->GetItemCount();
        for (int row = 0; row < count && found < 0; ++row) {
            const CStoreItem* record = store->GetItem(row);
            if (const auto* contact = dynamic_cast<const CContactItem*>(record)) {
                if (contact->m_realName == text)
                    found = row;
            } else if (const auto* picture = dynamic_cast<const CPictureItem*>(record)) {
                if (picture->m_id == text || picture->m_smallId == text)
                    found = row;
            }
        }
    }
    CXTListCtrl& list = GetList(page);
    ClearSelection(list);
    if (found < 0)
        return;
    m_wndTab.SetActiveView(page);
    SelectRow(list, found);
}

void CMsgListView::ShowContact(const CString& realName) { ShowFoundRow(kContactPage, realName); }

void CMsgListView::ShowPicture(const CString& id) { ShowFoundRow(kPicturePage, id); }

void CMsgListView::ShowPagedRow(bool bNext)
{
    const int page = GetCurrentPage();
    if (page != kMessagePage && page != kPicturePage)
        return;
    CClassStore* store = PageStore(GetCurrentClass(), page);
    if (!store)
        return;
    CMsgDispView* disp = GetDispView();
    // Thumbnail pages are paged by the thumbnail view itself.
    if (page == kPicturePage && disp && disp->IsShowingThumbnails())
        return;
    if (store->GetCurrentCustoId().IsEmpty()) {
        ShowEmptyPage();
        return;
    }
    const int row = CurrentRow(store);
    const int count = store->GetItemCount();
    int target = 0;
    if (page == kMessagePage) {
        const int size = std::max(LeadingNumber(GetConfig(CFG_STYLE_VIEW_MESSAGE_NUMBER)), 1);
        target = bNext ? NextMessageRow(row, count, size) : PreviousMessageRow(row, count, size);
    } else {
        target = bNext ? NextPictureRow(row, count) : PreviousPictureRow(row, count);
    }
    CXTListCtrl& list = GetList(page);
    ClearSelection(list);
    if (target >= 0 && target < count)
        SelectRow(list, target);
}

void CMsgListView::ShowPreviousPage() { ShowPagedRow(false); }

void CMsgListView::ShowNextPage() { ShowPagedRow(true); }
