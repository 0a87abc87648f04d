#include "toolkit/controls/XTTabBase.h"

#include "platform/mfc/Document.h"
#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/TabCtrl.h"
#include "platform/mfc/ToolTipCtrl.h"
#include "platform/win/WindowPos.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTMemDC.h"
#include "toolkit/controls/XTTabCtrlTheme.h"
#include "toolkit/controls/XTTabNavigationWnd.h"

#include <vector>

namespace tavrin::toolkit {

int PreviousCharacter(const CString& text, int nEnd)
{
    const char* p = text;
    int start = -1;
    for (int i = 0; i < nEnd && i < text.GetLength();) {
        start = i;
        i += CharLength(p + i, p + text.GetLength());
    }
    return start;
}

CString CutWholeCharacters(const CString& text, int nMaxBytes)
{
    const char* p = text;
    const int length = text.GetLength();
    int end = 0;
    while (end < length) {
        const int next = end + CharLength(p + end, p + length);
        if (next > nMaxBytes)
            break;
        end = next;
    }
    return text.Left(end);
}

} // namespace tavrin::toolkit

using tavrin::toolkit::CutWholeCharacters;
using tavrin::toolkit::PreviousCharacter;

namespace {

constexpr int kLabelBuffer = 256;

int CharacterCount(const CString& text)
{
    const char* p = text;
    int count = 0;
    for (int i = 0; i < text.GetLength(); ++count)
        i += tavrin::CharLength(p + i, p + text.GetLength());
    return count;
}

BOOL IsWindowObject(CWnd* pWnd)
{
    return pWnd && ::IsWindow(pWnd->m_hWnd);
}

} // namespace

CXTTabBase::CXTTabBase() : CXTThemeManagerStyleHost(RUNTIME_CLASS(CXTTabCtrlThemeFactory)) {}

CXTTabBase::~CXTTabBase()
{
    if (m_pNavBtns) {
        if (::IsWindow(m_pNavBtns->m_hWnd))
            m_pNavBtns->AttachUpDown(nullptr);
        delete m_pNavBtns;
    }
    // Pages are normally gone with WM_DESTROY; a control that never had a
    // window still owns its records.
    while (!m_tcbItems.IsEmpty())
        delete m_tcbItems.RemoveHead();
}

void CXTTabBase::ImplAttach(CTabCtrl* pTabCtrl)
{
    m_pTabCtrl = pTabCtrl;
    m_pNavBtns = new CXTTabNavigationWnd;
    m_pNavBtns->Attach(this);
}

int CXTTabBase::CurSel() const
{
    return m_pTabCtrl && m_pTabCtrl->m_hWnd ? m_pTabCtrl->GetCurSel() : -1;
}

PageRecord* CXTTabBase::GetPage(int nIndex) const
{
    POSITION pos = m_tcbItems.FindIndex(nIndex);
    return pos ? m_tcbItems.GetAt(pos) : nullptr;
}

void CXTTabBase::GetChildRect(CRect& rc) const
{
    rc.SetRectEmpty();
    const int sel = CurSel();
    if (sel < 0)
        return;
    CRect client, item;
    m_pTabCtrl->GetClientRect(&client);
    m_pTabCtrl->GetItemRect(sel, &item);
    const int rows = m_pTabCtrl->GetRowCount();
    const int h = item.Height() * rows, w = item.Width() * rows;
    const DWORD style = m_pTabCtrl->GetStyle();
    rc = client;
    if (style & TCS_VERTICAL) {
        if (style & TCS_RIGHT)
            rc.SetRect(client.left + 3, client.top + 3, client.right - 5 - w, client.bottom - 3);
        else
            rc.SetRect(client.left + w + 5, client.top + 3, client.right - 3, client.bottom - 3);
    } else if (style & TCS_BOTTOM) {
        rc.SetRect(client.left + 3, client.top + 3, client.right - 3, client.bottom - 5 - h);
    } else {
        rc.SetRect(client.left + 3, client.top + h + 5, client.right - 3, client.bottom - 3);
    }
}

void CXTTabBase::PadLabel(CString& strLabel)
{
    if (!m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return;
    CXTGlobalData* data = XTGetGlobalData();
    const BOOL vertical = (m_pTabCtrl->GetStyle() & TCS_VERTICAL) != 0;
    CFont* bold = vertical ? &data->fontVertBold : &data->fontBold;
    CFont* normal = vertical ? &data->fontVert : &data->font;
    CDC* pDC = m_pTabCtrl->GetDC();
    if (!pDC)
        return;
    auto measure = [&](CFont* font) {
        CXTFontSelector select(pDC, font);
        return pDC->GetTextExtent(strLabel).cx;
    };
    const int boldWidth = measure(bold);
    BOOL front = TRUE;
    for (int guard = 0; guard < 256 && measure(normal) < boldWidth; ++guard, front = !front)
        strLabel = front ? " " + strLabel : strLabel + " ";
    m_pTabCtrl->ReleaseDC(pDC);
}

void CXTTabBase::UpdateFont()
{
    if (!m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return;
    CXTGlobalData* data = XTGetGlobalData();
    CFont& font = (m_pTabCtrl->GetStyle() & TCS_VERTICAL) ? data->fontVert : data->font;
    if (!font.m_hObject)
        return;
    const WPARAM hFont = reinterpret_cast<WPARAM>(font.m_hObject);
    if (XTOSVersionInfo().IsWin95())
        m_pTabCtrl->PostMessage(WM_SETFONT, hFont, TRUE);
    else
        m_pTabCtrl->SendMessage(WM_SETFONT, hFont, TRUE);
}

CToolTipCtrl* CXTTabBase::GetToolTips()
{
    return m_pTabCtrl && m_pTabCtrl->m_hWnd ? m_pTabCtrl->GetToolTips() : nullptr;
}

void CXTTabBase::SetToolTips(CToolTipCtrl* pWndTip)
{
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd)
        m_pTabCtrl->SetToolTips(pWndTip);
}

BOOL CXTTabBase::AddToolTip(UINT nIDTab, LPCTSTR lpszText)
{
    CToolTipCtrl* tips = GetToolTips();
    if (!tips)
        return FALSE;
    if (nIDTab == 0)
        return tips->AddTool(m_pTabCtrl, lpszText);
    CRect empty(0, 0, 0, 0);
    return tips->AddTool(m_pTabCtrl, lpszText, &empty, nIDTab);
}

void CXTTabBase::SetTipText(CRuntimeClass* pViewClass, LPCTSTR lpszText)
{
    int index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        if (page->pWnd && page->pWnd->IsKindOf(pViewClass)) {
            SetTipText(index, lpszText);
            return;
        }
    }
}

void CXTTabBase::SetTipText(int nView, LPCTSTR lpszText)
{
    PageRecord* page = nView >= 0 && nView < m_pTabCtrl->GetItemCount() ? GetPage(nView) : nullptr;
    if (!page)
        return;
    page->strToolTip = lpszText;
    if (CToolTipCtrl* tips = GetToolTips())
        tips->UpdateTipText(page->strToolTip, m_pTabCtrl, page->nTabID);
}

void CXTTabBase::ResetToolTips()
{
    CToolTipCtrl* tips = GetToolTips();
    if (!tips)
        return;
    int index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        page->nTabID = index;
        tips->UpdateTipText(page->strToolTip, m_pTabCtrl, page->nTabID);
    }
}

BOOL CXTTabBase::EnableToolTips(BOOL bEnable)
{
    CToolTipCtrl* tips = GetToolTips();
    if (!tips)
        return FALSE;
    tips->Activate(bEnable);
    return TRUE;
}

BOOL CXTTabBase::AddView(LPCTSTR lpszLabel, CWnd* pWnd, int nIndex, int nIconIndex)
{
    return AddControl(lpszLabel, pWnd, nIndex, nIconIndex);
}

BOOL CXTTabBase::AddView(LPCTSTR lpszLabel, CRuntimeClass* pViewClass, CDocument* pDoc, CCreateContext* pContext,
                         int nIndex, int nIconIndex)
{
    CWnd* view = CreateView(pViewClass, pDoc, pContext);
    return view ? AddControl(lpszLabel, view, nIndex, nIconIndex) : FALSE;
}

BOOL CXTTabBase::AddControl(LPCTSTR lpszLabel, CWnd* pWnd, int nIndex, int nIconIndex)
{
    if (!pWnd || !m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return FALSE;
    pWnd->SetParent(m_pTabCtrl);
    auto* page = new PageRecord;
    page->pWnd = pWnd;
    page->strLabel = page->strToolTip = lpszLabel ? lpszLabel : "";
    page->nTabID = m_pTabCtrl->GetItemCount();
    const int pages = GetPageCount();
    POSITION before = nIndex >= 0 ? m_tcbItems.FindIndex(nIndex) : nullptr;
    if (before)
        m_tcbItems.InsertBefore(before, page);
    else
        m_tcbItems.AddTail(page);
    const int at = nIndex == -1 ? pages : nIndex;
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(page->strLabel));
    item.iImage = nIconIndex == -1 ? at : nIconIndex;
    const int inserted = static_cast<int>(m_pTabCtrl->InsertItem(at, &item));
    AddToolTip(static_cast<UINT>(page->nTabID), page->strLabel);
    ResetToolTips();
    SetActiveView(inserted >= 0 ? inserted : at);
    return TRUE;
}

CWnd* CXTTabBase::GetView(int nView)
{
    if (nView < 0 || nView >= GetPageCount() || nView >= m_pTabCtrl->GetItemCount())
        return nullptr;
    PageRecord* page = GetPage(nView);
    return page && IsWindowObject(page->pWnd) ? page->pWnd : nullptr;
}

CWnd* CXTTabBase::GetView(CRuntimeClass* pViewClass)
{
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos;) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        if (IsWindowObject(page->pWnd) && page->pWnd->IsKindOf(pViewClass))
            return page->pWnd;
    }
    return nullptr;
}

CWnd* CXTTabBase::GetActiveView()
{
    return GetView(CurSel());
}

BOOL CXTTabBase::FrameViewIsPage(CWnd* pWnd) const
{
    CFrameWnd* frame = GetFrame();
    CView* active = frame ? frame->GetActiveView() : nullptr;
    if (!active || !m_pTabCtrl || ::GetParent(active->m_hWnd) != m_pTabCtrl->m_hWnd)
        return FALSE;
    return !pWnd || active == pWnd;
}

void CXTTabBase::RestoreFrameView()
{
    CFrameWnd* frame = GetFrame();
    if (!frame)
        return;
    // The remembered view may have gone with its window: trust only a live
    // window that still maps to it.
    if (m_pLastActiveView && CWnd::FromHandlePermanent(m_hLastActiveView) == m_pLastActiveView) {
        frame->SetActiveView(m_pLastActiveView);
        return;
    }
    frame->SetActiveView(nullptr);
    m_pLastActiveView = nullptr;
    m_hLastActiveView = nullptr;
}

void CXTTabBase::ActivateView(CWnd* pTabView)
{
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos;) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        if (IsWindowObject(page->pWnd)) {
            page->pWnd->ShowWindow(SW_HIDE);
            page->pWnd->EnableWindow(FALSE);
        }
    }
    if (!IsWindowObject(pTabView))
        return;
    CFrameWnd* frame = GetFrame();
    if (frame && frame->IsChild(pTabView) && FrameViewIsPage() && frame->GetActiveView() != pTabView &&
        pTabView->IsKindOf(RUNTIME_CLASS(CView)))
        frame->SetActiveView(static_cast<CView*>(pTabView));
    pTabView->ShowWindow(SW_SHOW);
    pTabView->EnableWindow(TRUE);
    pTabView->SetFocus();
    ResizeView(pTabView);
}

void CXTTabBase::SetActiveView(int nActiveTab)
{
    CWnd* view = GetView(nActiveTab);
    if (!view)
        return;
    m_pTabCtrl->SetCurSel(nActiveTab);
    ActivateView(view);
}

void CXTTabBase::SetActiveView(CWnd* pTabView)
{
    int index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index)
        if (m_tcbItems.GetNext(pos)->pWnd == pTabView) {
            SetActiveView(index);
            return;
        }
}

void CXTTabBase::SetActiveView(CRuntimeClass* pTabViewClass)
{
    int index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        if (IsWindowObject(page->pWnd) && page->pWnd->IsKindOf(pTabViewClass)) {
            SetActiveView(index);
            return;
        }
    }
}

void CXTTabBase::DeleteView(CRuntimeClass* pViewClass, BOOL bDestroyWnd)
{
    int index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        if (IsWindowObject(page->pWnd) && page->pWnd->IsKindOf(pViewClass)) {
            DeleteView(index, bDestroyWnd);
            return;
        }
    }
}

void CXTTabBase::DeleteView(CWnd* pView, BOOL bDestroyWnd)
{
    int index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index)
        if (m_tcbItems.GetNext(pos)->pWnd == pView) {
            DeleteView(index, bDestroyWnd);
            return;
        }
}

void CXTTabBase::DeleteView(int nView, BOOL bDestroyWnd)
{
    POSITION pos = nView >= 0 ? m_tcbItems.FindIndex(nView) : nullptr;
    if (!pos)
        return;
    if (FrameViewIsPage(m_tcbItems.GetAt(pos)->pWnd))
        RestoreFrameView();
    RemovePage(pos, bDestroyWnd);
    m_pTabCtrl->DeleteItem(nView);
    const int count = m_pTabCtrl->GetItemCount();
    if (count > 0) {
        if (nView == 0)
            SetActiveView(0);
        else if (nView >= count)
            SetActiveView(count - 1);
        else
            SetActiveView(nView - 1);
    }
    ResetToolTips();
}

LPCTSTR CXTTabBase::GetViewName(CRuntimeClass* pViewClass)
{
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos;) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        if (page->pWnd && page->pWnd->IsKindOf(pViewClass))
            return page->strLabel;
    }
    return nullptr;
}

LPCTSTR CXTTabBase::GetViewName(int nView)
{
    PageRecord* page = nView >= 0 ? GetPage(nView) : nullptr;
    return page ? static_cast<LPCTSTR>(page->strLabel) : nullptr;
}

void CXTTabBase::RecalcLayout()
{
    if (!m_pTabCtrl || !m_pTabCtrl->m_hWnd)
        return;
    HDWP hdwp = ::BeginDeferWindowPos(GetPageCount());
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos;)
        ResizePage(&hdwp, m_tcbItems.GetNext(pos)->pWnd);
    // Ended even when nothing moved, so the batch is never left behind.
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
}

BOOL CXTTabBase::ResizePage(void* pHdwp, CWnd* pWnd)
{
    if (!IsWindowObject(pWnd))
        return FALSE;
    CRect page, window;
    GetChildRect(page);
    pWnd->GetWindowRect(&window);
    m_pTabCtrl->ScreenToClient(&window);
    if (page == window)
        return FALSE;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    if (page.TopLeft() == window.TopLeft())
        flags |= SWP_NOMOVE;
    if (page.Size() != window.Size())
        flags |= SWP_NOCOPYBITS;
    else
        flags |= SWP_NOSIZE;
    auto* hdwp = static_cast<HDWP*>(pHdwp);
    if (!hdwp || !*hdwp)
        return FALSE;
    *hdwp = ::DeferWindowPos(*hdwp, pWnd->m_hWnd, nullptr, page.left, page.top, page.Width(), page.Height(), flags);
    return *hdwp != nullptr;
}

void CXTTabBase::ResizeView(CWnd* pWnd)
{
    if (!IsWindowObject(pWnd))
        return;
    CRect page;
    GetChildRect(page);
    pWnd->MoveWindow(&page, TRUE);
}

void CXTTabBase::RemovePage(POSITION pos, BOOL bDestroyWnd)
{
    PageRecord* page = m_tcbItems.GetAt(pos);
    if (IsWindowObject(page->pWnd)) {
        if (bDestroyWnd) {
            page->pWnd->DestroyWindow();
            page->pWnd = nullptr;
        } else {
            page->pWnd->ShowWindow(SW_HIDE);
        }
    }
    m_tcbItems.RemoveAt(pos);
    delete page;
}

BOOL CXTTabBase::DeleteAllViews(BOOL bDestroyWnd)
{
    if (FrameViewIsPage())
        RestoreFrameView();
    while (!m_tcbItems.IsEmpty())
        RemovePage(m_tcbItems.GetHeadPosition(), bDestroyWnd);
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd)
        m_pTabCtrl->DeleteAllItems();
    return TRUE;
}

int CXTTabBase::HitTest(CPoint pt)
{
    if (pt == CPoint(0, 0)) {
        ::GetCursorPos(&pt);
        m_pTabCtrl->ScreenToClient(&pt);
    }
    TCHITTESTINFO info{pt, 0};
    return m_pTabCtrl->HitTest(&info);
}

BOOL CXTTabBase::IsPageWindow(CWnd* pWnd)
{
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos;)
        if (m_tcbItems.GetNext(pos)->pWnd == pWnd)
            return pWnd != nullptr;
    return FALSE;
}

BOOL CXTTabBase::ModifyTabStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    if (!m_pTabCtrl->ModifyStyle(dwRemove, dwAdd, nFlags))
        return FALSE;
    UpdateFont();
    return TRUE;
}

void CXTTabBase::SetPopupMenu(UINT nMenuID, int nPos)
{
    m_nPopupMenuID = nMenuID;
    m_nPopupMenuPos = nPos;
}

void CXTTabBase::SendToOwner(UINT message)
{
    CWnd* owner = m_pTabCtrl->GetOwner();
    if (owner && owner->m_hWnd)
        owner->SendMessage(message, static_cast<WPARAM>(m_pTabCtrl->GetDlgCtrlID()),
                           reinterpret_cast<LPARAM>(m_pTabCtrl));
}

void CXTTabBase::OnSelChanging()
{
    m_nOldIndex = CurSel();
    if (m_nOldIndex != -1)
        SendToOwner(WM_TAB_SELCHANGING);
}

void CXTTabBase::OnSelChange()
{
    const int sel = CurSel();
    if (sel < 0)
        return;
    if (m_nOldIndex != -1) {
        if (CWnd* old = GetView(m_nOldIndex)) {
            old->ShowWindow(SW_HIDE);
            old->EnableWindow(FALSE);
            if (FrameViewIsPage(old))
                RestoreFrameView();
        }
    }
    CWnd* page = GetView(sel);
    CFrameWnd* frame = GetFrame();
    if (page && frame && page->IsKindOf(RUNTIME_CLASS(CView)) && frame->IsChild(page)) {
        CView* active = frame->GetActiveView();
        if (active && ::GetParent(active->m_hWnd) != m_pTabCtrl->m_hWnd) {
            m_pLastActiveView = active;
            m_hLastActiveView = active->m_hWnd;
        }
        frame->SetActiveView(static_cast<CView*>(page));
    }
    if (page)
        ActivateView(page);
    SendToOwner(WM_TAB_SELCHANGE);
}

CWnd* CXTTabBase::CreateView(CRuntimeClass* pViewClass, CDocument* pDocument, CCreateContext* pContext)
{
    CCreateContext context;
    if (!pContext) {
        context.m_pNewViewClass = pViewClass;
        context.m_pCurrentDoc = pDocument;
        if (pDocument)
            context.m_pNewDocTemplate = pDocument->GetDocTemplate();
        pContext = &context;
    }
    CWnd* wnd = nullptr;
    try {
        wnd = pViewClass ? dynamic_cast<CWnd*>(pViewClass->CreateObject()) : nullptr;
    } catch (...) {
        wnd = nullptr;
    }
    if (!wnd)
        return nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE;
    auto* theme = static_cast<CXTTabCtrlTheme*>(GetTheme());
    if (!theme || theme->GetThemeID() == 0)
        style |= WS_BORDER;
    const UINT id = AFX_IDW_PANE_FIRST + static_cast<UINT>(GetPageCount());
    if (!wnd->Create(nullptr, nullptr, style, CRect(0, 0, 0, 0), m_pTabCtrl, id, pContext)) {
        // A view frees itself with its window; anything else is ours to free.
        if (!wnd->IsKindOf(RUNTIME_CLASS(CView)))
            delete wnd;
        return nullptr;
    }
    if (m_bInitialUpdate && !m_bInitPending)
        wnd->SendMessage(WM_INITIALUPDATE);
    wnd->SetOwner(m_pParentWnd);
    return wnd;
}

BOOL CXTTabBase::SetTabText(int nTab, LPCTSTR lpszLabel)
{
    PageRecord* page = nTab >= 0 ? GetPage(nTab) : nullptr;
    if (!page)
        return FALSE;
    CString label = lpszLabel ? lpszLabel : "";
    if (label.IsEmpty())
        return FALSE;
    if (label.GetLength() >= kLabelBuffer)
        label = CutWholeCharacters(label, kLabelBuffer - 1);
    char buffer[kLabelBuffer] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = kLabelBuffer;
    m_pTabCtrl->GetItem(nTab, &item);
    item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(label));
    m_pTabCtrl->SetItem(nTab, &item);
    if (CToolTipCtrl* tips = GetToolTips())
        tips->UpdateTipText(label, m_pTabCtrl, static_cast<UINT_PTR>(nTab));
    // The record follows the tab with or without a tooltip control, so the
    // label, the tip and what condensing compares against stay in step.
    page->strLabel = page->strToolTip = page->strShown = label;
    return TRUE;
}

void CXTTabBase::Condense()
{
    if (!m_pTabCtrl || !m_pTabCtrl->m_hWnd || m_pTabCtrl->GetItemCount() == 0)
        return;
    CClientDC dc(m_pTabCtrl);
    CXTFontSelector select(&dc, m_pTabCtrl->GetFont());
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    const int minWidth = (tm.tmAveCharWidth * 3 + 6) * 2;

    struct Entry {
        PageRecord* page;
        int width;
        BOOL image;
        BOOL done;
        int index;
        CString label;
    };
    auto measure = [&](const Entry& e) {
        int width = dc.GetTextExtent(e.label).cx + 12;
        if (CharacterCount(e.label) == 1)
            ++width;
        if (e.image)
            width += 22;
        return width;
    };
    std::vector<Entry> entries;
    int total = 0, index = 0;
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos; ++index) {
        PageRecord* page = m_tcbItems.GetNext(pos);
        TCITEM item{};
        item.mask = TCIF_IMAGE;
        item.iImage = -1;
        m_pTabCtrl->GetItem(index, &item);
        Entry e{page, 0, item.iImage >= 0, FALSE, index, page->strLabel};
        e.width = measure(e);
        total += e.width;
        entries.push_back(e);
    }
    CRect client;
    m_pTabCtrl->GetClientRect(&client);
    const DWORD style = m_pTabCtrl->GetStyle();
    const int available = (style & TCS_VERTICAL) ? client.Height() : client.Width();
    if (available == 0)
        return;
    int needed = total + 4 + ((style & (TCS_VERTICAL | TCS_MULTILINE)) ? 1 : 0);
    while (needed > available) {
        Entry* widest = nullptr;
        for (Entry& e : entries)
            if (!e.done && (!widest || e.width > widest->width))
                widest = &e;
        if (!widest)
            break;
        const int old = widest->width;
        // A label already at the minimum is left as it is, without dots
        // that would only widen it.
        if (widest->width <= minWidth) {
            widest->done = TRUE;
            continue;
        }
        if (widest->label.Right(3) != "...")
            widest->label += "...";
        do {
            if (widest->label.GetLength() == 3 || widest->width <= minWidth) {
                widest->done = TRUE;
            } else {
                const int dots = widest->label.GetLength() - 3;
                const int cut = PreviousCharacter(widest->label, dots);
                widest->label = widest->label.Left(cut < 0 ? 0 : cut) + "...";
                widest->width = measure(*widest);
            }
        } while (!widest->done && widest->width >= old);
        needed += widest->width - old;
    }
    for (Entry& e : entries) {
        if (e.label == e.page->strShown)
            continue;
        e.page->strShown = e.label;
        TCITEM item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(e.label));
        m_pTabCtrl->SetItem(e.index, &item);
    }
}

void CXTTabBase::OnPaintTabs()
{
    CPaintDC paint(m_pTabCtrl);
    CXTClientRect client(m_pTabCtrl);
    CXTBufferedDC dc(paint.m_hDC, client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    if (auto* theme = static_cast<CXTTabCtrlTheme*>(GetTheme()))
        theme->DrawTabCtrl(&dc, this);
}

void CXTTabBase::OnInitCreate()
{
    ++m_nInitCount;
    m_pTabCtrl->PostMessage(WM_DEFERRED_INIT, 0, m_nInitCount);
    m_bInitPending = TRUE;
}

void CXTTabBase::Initialize()
{
    ++m_nInitCount;
    m_bInitPending = FALSE;
    UpdateFont();
    m_pParentWnd = m_pTabCtrl->GetParent();
    m_pParentFrame = m_pTabCtrl->GetParentFrame();
    if (m_pParentFrame && m_pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        m_pParentFrame = m_pParentFrame->GetParentFrame();
    RecalcLayout();
    if (m_bAutoCondense)
        Condense();
    m_pTabCtrl->ModifyStyle(0, WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
}

BOOL CXTTabBase::OnDeferredInit(LPARAM lParam)
{
    if (lParam != m_nInitCount)
        return FALSE;
    if (m_bInitialUpdate)
        m_pTabCtrl->SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, FALSE);
    Initialize();
    return TRUE;
}

void CXTTabBase::OnTabWindowPosChanged(const WINDOWPOS* lpwndpos)
{
    if (!(lpwndpos->flags & SWP_HIDEWINDOW)) {
        RecalcLayout();
        return;
    }
    for (POSITION pos = m_tcbItems.GetHeadPosition(); pos;)
        if (FrameViewIsPage(m_tcbItems.GetNext(pos)->pWnd))
            RestoreFrameView();
}

void CXTTabBase::OnTabRButtonDown(CPoint point)
{
    if (!m_nPopupMenuID)
        return;
    CMenu menu;
    if (!menu.LoadMenu(m_nPopupMenuID))
        return;
    CMenu* popup = menu.GetSubMenu(m_nPopupMenuPos);
    if (popup) {
        m_pTabCtrl->ClientToScreen(&point);
        CWnd* target = m_pParentFrame ? static_cast<CWnd*>(m_pParentFrame)
                                      : (m_pParentWnd ? m_pParentWnd : static_cast<CWnd*>(m_pTabCtrl));
        popup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, target);
    }
    menu.DestroyMenu();
}

void CXTTabBase::OnTabSettingChange()
{
    if (auto* theme = static_cast<CXTTabCtrlTheme*>(GetTheme()))
        theme->RefreshMetrics();
}

BOOL CXTTabBase::TranslateTabKey(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN)
        return FALSE;
    const BOOL ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (!((pMsg->wParam == VK_TAB && ctrl) || pMsg->wParam == VK_F6))
        return FALSE;
    const int count = m_pTabCtrl->GetItemCount();
    if (count <= 0)
        return FALSE;
    int sel = CurSel();
    if (::GetKeyState(VK_SHIFT) < 0)
        sel = sel - 1 < 0 ? count - 1 : sel - 1;
    else
        sel = sel + 1 >= count ? 0 : sel + 1;
    SetActiveView(sel);
    m_pTabCtrl->SetFocus();
    return TRUE;
}

BOOL CXTTabBase::RouteToActivePage(UINT nID, int nCode, void* pExtra, void* pHandlerInfo)
{
    if (nCode >= 1)
        return FALSE;
    CWnd* page = GetActiveView();
    return page && page->OnCmdMsg(nID, nCode, pExtra, static_cast<AFX_CMDHANDLERINFO*>(pHandlerInfo));
}
