#include "toolkit/controls/XTTreeBase.h"

#include "platform/controls/ToolTip.h"
#include "platform/mfc/GdiObject.h"
#include "platform/win/User.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTMemDC.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cstdlib>
#include <vector>

namespace {

constexpr UINT_PTR kBandTimer = 1;
constexpr UINT_PTR kHotTimer = 85;

COLORREF Color(int nIndex) { return XTGetColorManager()->GetColor(nIndex); }

bool IsWordChar(unsigned char c) { return c < 0x80 && (std::isalnum(c) || c == '_'); }

// Inverts a one-pixel frame; drawn twice it is gone.
void InvertFrame(HWND hWnd, const CRect& rc)
{
    if (rc.IsRectEmpty())
        return;
    HDC hdc = ::GetDC(hWnd);
    ::PatBlt(hdc, rc.left, rc.top, rc.Width(), 1, DSTINVERT);
    if (rc.Height() > 1)
        ::PatBlt(hdc, rc.left, rc.bottom - 1, rc.Width(), 1, DSTINVERT);
    if (rc.Height() > 2) {
        ::PatBlt(hdc, rc.left, rc.top + 1, 1, rc.Height() - 2, DSTINVERT);
        if (rc.Width() > 1)
            ::PatBlt(hdc, rc.right - 1, rc.top + 1, 1, rc.Height() - 2, DSTINVERT);
    }
    ::ReleaseDC(hWnd, hdc);
}

bool Dragged(CPoint from, CPoint to)
{
    return std::abs(to.x - from.x) > ::GetSystemMetrics(SM_CXDRAG) ||
           std::abs(to.y - from.y) > ::GetSystemMetrics(SM_CYDRAG);
}

} // namespace

// --- access to the tree window -----------------------------------------------

LRESULT CXTTreeBase::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    HWND hWnd = TreeHwnd();
    return hWnd ? ::SendMessage(hWnd, message, wParam, lParam) : 0;
}

HTREEITEM CXTTreeBase::Next(HTREEITEM hItem, UINT nCode) const
{
    return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, nCode, reinterpret_cast<LPARAM>(hItem)));
}

HTREEITEM CXTTreeBase::HitTest(CPoint point, UINT* pFlags) const
{
    TVHITTESTINFO hit{};
    hit.pt = point;
    Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (pFlags)
        *pFlags = hit.flags;
    return hit.hItem;
}

BOOL CXTTreeBase::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
    std::memcpy(lpRect, &hItem, sizeof hItem);
    return static_cast<BOOL>(Send(TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(lpRect)));
}

CString CXTTreeBase::GetItemText(HTREEITEM hItem) const
{
    char buffer[1024] = {};
    TVITEM item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    if (!Send(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)))
        return CString();
    return CString(item.pszText ? item.pszText : "");
}

DWORD CXTTreeBase::TreeStyle() const { return static_cast<DWORD>(::GetWindowLongA(TreeHwnd(), GWL_STYLE)); }

// --- walks -------------------------------------------------------------------

HTREEITEM CXTTreeBase::GetNextItem(HTREEITEM hItem, UINT nCode) const { return Next(hItem, nCode); }

HTREEITEM CXTTreeBase::GetNextItem(HTREEITEM hItem) const
{
    if (!hItem)
        return Next(nullptr, TVGN_ROOT);
    if (HTREEITEM hChild = Next(hItem, TVGN_CHILD))
        return hChild;
    for (HTREEITEM h = hItem; h; h = Next(h, TVGN_PARENT))
        if (HTREEITEM hSibling = Next(h, TVGN_NEXT))
            return hSibling;
    return nullptr;
}

HTREEITEM CXTTreeBase::GetPrevItem(HTREEITEM hItem) const
{
    if (HTREEITEM hPrev = Next(hItem, TVGN_PREVIOUS))
        return GetLastItem(hPrev);
    return Next(hItem, TVGN_PARENT);
}

HTREEITEM CXTTreeBase::GetLastItem(HTREEITEM hItem) const
{
    auto lastSibling = [this](HTREEITEM h) {
        for (HTREEITEM n = Next(h, TVGN_NEXT); n; n = Next(h, TVGN_NEXT))
            h = n;
        return h;
    };
    if (!hItem) {
        hItem = Next(nullptr, TVGN_ROOT);
        if (!hItem)
            return nullptr;
        hItem = lastSibling(hItem);
    }
    while (HTREEITEM hChild = Next(hItem, TVGN_CHILD))
        hItem = lastSibling(hChild);
    return hItem;
}

// --- search ------------------------------------------------------------------

BOOL CXTTreeBase::IsFindValid(HTREEITEM) { return TRUE; }

BOOL CXTTreeBase::Matches(HTREEITEM hItem, const CString& strFind, BOOL bMatchCase, BOOL bWholeWord)
{
    CString strLabel = GetItemText(hItem);
    if (!bMatchCase)
        strLabel.MakeLower();
    const char* text = strLabel.GetString();
    const int nLength = strLabel.GetLength();
    // Finds never start on a trail byte; the neighbours are whole characters.
    for (int nPos = strLabel.Find(strFind); nPos >= 0; nPos = strLabel.Find(strFind, nPos + 1)) {
        if (!bWholeWord)
            return IsFindValid(hItem);
        unsigned char before = 0;
        for (int i = 0; i < nPos;) {
            const int n = tavrin::CharLength(text + i, text + nLength);
            before = n == 1 ? static_cast<unsigned char>(text[i]) : 0x80;
            i += n;
        }
        const int nEnd = nPos + strFind.GetLength();
        const unsigned char after = nEnd < nLength ? static_cast<unsigned char>(text[nEnd]) : 0;
        if (!IsWordChar(before) && !IsWordChar(after))
            return IsFindValid(hItem);
        // Step over the whole first character of this occurrence.
        nPos += tavrin::CharLength(text + nPos, text + nLength) - 1;
    }
    return FALSE;
}

HTREEITEM CXTTreeBase::FindItem(const CString& str, BOOL bMatchCase, BOOL bDown, BOOL bWholeWord, HTREEITEM hItem)
{
    if (str.IsEmpty())
        return nullptr;
    CString strFind = str;
    if (!bMatchCase)
        strFind.MakeLower();
    HTREEITEM hStart = hItem ? hItem : Next(nullptr, TVGN_CARET);
    if (!hStart)
        hStart = Next(nullptr, TVGN_ROOT);
    if (!hStart)
        return nullptr;
    auto step = [&](HTREEITEM h) {
        HTREEITEM n = bDown ? GetNextItem(h) : GetPrevItem(h);
        return n ? n : (bDown ? Next(nullptr, TVGN_ROOT) : GetLastItem(nullptr));
    };
    for (HTREEITEM h = step(hStart); h && h != hStart; h = step(h))
        if (Matches(h, strFind, bMatchCase, bWholeWord))
            return h;
    return nullptr;
}

HTREEITEM CXTTreeBase::FindItemInBranch(const CString& str, BOOL bMatchCase, BOOL bWholeWord, HTREEITEM hParent)
{
    if (str.IsEmpty())
        return nullptr;
    CString strFind = str;
    if (!bMatchCase)
        strFind.MakeLower();
    for (HTREEITEM h = Next(hParent, TVGN_CHILD); h; h = Next(h, TVGN_NEXT)) {
        if (Next(h, TVGN_CHILD))
            if (HTREEITEM hFound = FindItemInBranch(str, bMatchCase, bWholeWord, h))
                return hFound;
        if (Matches(h, strFind, bMatchCase, bWholeWord))
            return h;
    }
    return nullptr;
}

// --- item looks --------------------------------------------------------------

void CXTTreeBase::SetItemFont(HTREEITEM hItem, LOGFONT* pLogFont)
{
    CXTTreeItemStyle& style = m_mapStyles[hItem];
    if (pLogFont)
        style.logfont = *pLogFont;
    else
        style.logfont = LOGFONT{};
    if (m_pTreeCtrl)
        m_pTreeCtrl->Invalidate();
}

BOOL CXTTreeBase::GetItemFont(HTREEITEM hItem, LOGFONT* pLogFont)
{
    auto it = m_mapStyles.find(hItem);
    if (it == m_mapStyles.end() || !it->second.logfont.lfFaceName[0])
        return FALSE;
    if (pLogFont)
        *pLogFont = it->second.logfont;
    return TRUE;
}

void CXTTreeBase::SetItemBold(HTREEITEM hItem, BOOL bBold)
{
    SetItemState(hItem, bBold ? TVIS_BOLD : 0, TVIS_BOLD);
    if (m_pTreeCtrl)
        m_pTreeCtrl->Invalidate();
}

BOOL CXTTreeBase::GetItemBold(HTREEITEM hItem) { return (GetItemState(hItem, TVIS_BOLD) & TVIS_BOLD) != 0; }

void CXTTreeBase::SetItemColor(HTREEITEM hItem, COLORREF color)
{
    m_mapStyles[hItem].clrText = color;
    if (m_pTreeCtrl)
        m_pTreeCtrl->Invalidate();
}

COLORREF CXTTreeBase::GetItemColor(HTREEITEM hItem)
{
    auto it = m_mapStyles.find(hItem);
    return it == m_mapStyles.end() ? 0xFFFFFFFF : it->second.clrText;
}

// --- selection ---------------------------------------------------------------

UINT CXTTreeBase::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    UINT nState = static_cast<UINT>(Send(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hItem), nStateMask & ~TVIS_FOCUSED));
    if ((nStateMask & TVIS_FOCUSED) && hItem && hItem == Next(nullptr, TVGN_CARET))
        nState |= TVIS_FOCUSED;
    return nState;
}

BOOL CXTTreeBase::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
    auto setState = [this, hItem](UINT state, UINT mask) {
        TVITEM item{};
        item.mask = TVIF_STATE | TVIF_HANDLE;
        item.hItem = hItem;
        item.state = state;
        item.stateMask = mask;
        return static_cast<BOOL>(Send(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
    };
    if (!hItem)
        return FALSE;
    if (!m_bMultiSelect)
        return setState(nState, nStateMask & ~TVIS_FOCUSED);

    // The control's caret is the focus; TVIS_SELECTED belongs to every item
    // on its own, so moving the caret must not change it.
    const HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
    const BOOL bWasSelected = IsSelected(hItem);
    const BOOL bCaretSelected = hCaret && IsSelected(hCaret);
    if ((nStateMask & TVIS_FOCUSED) && (nState & TVIS_FOCUSED)) {
        if (hItem != hCaret && bCaretSelected) {
            Send(TVM_SELECTITEM, TVGN_CARET, 0);
            TVITEM item{};
            item.mask = TVIF_STATE | TVIF_HANDLE;
            item.hItem = hCaret;
            item.state = item.stateMask = TVIS_SELECTED;
            Send(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
            ::UpdateWindow(TreeHwnd());
        }
        if (!Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem)))
            return FALSE;
        if (nStateMask & TVIS_SELECTED) {
            if ((nState & TVIS_SELECTED) && (hItem != hCaret || bCaretSelected))
                nStateMask &= ~TVIS_SELECTED;
        } else if (!bWasSelected) {
            nStateMask |= TVIS_SELECTED;
        }
    } else if ((nStateMask & TVIS_FOCUSED) && hItem == hCaret) {
        Send(TVM_SELECTITEM, TVGN_CARET, 0);
        if (!(nStateMask & TVIS_SELECTED)) {
            if (bWasSelected)
                setState(TVIS_SELECTED, TVIS_SELECTED);
        } else if (nState & TVIS_SELECTED) {
            setState(bWasSelected ? TVIS_SELECTED : 0, TVIS_SELECTED);
            nStateMask &= ~TVIS_SELECTED;
        }
    }
    nStateMask &= ~TVIS_FOCUSED;
    if (!nStateMask)
        return TRUE;

    if (nStateMask & TVIS_SELECTED) {
        const BOOL bSelect = (nState & TVIS_SELECTED) != 0;
        if (bSelect != IsSelected(hItem)) {
            NMTREEVIEW nm{};
            TVITEM& item = bSelect ? nm.itemNew : nm.itemOld;
            item.mask = TVIF_HANDLE | TVIF_PARAM;
            item.hItem = hItem;
            Send(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
            nm.hdr.code = TVN_SELCHANGING;
            if (SendNotify(&nm.hdr))
                return FALSE;
            setState(nState & TVIS_SELECTED, TVIS_SELECTED);
            nm.hdr.code = TVN_SELCHANGED;
            SendNotify(&nm.hdr);
        }
        nStateMask &= ~TVIS_SELECTED;
    }
    return nStateMask ? setState(nState, nStateMask) : TRUE;
}

BOOL CXTTreeBase::SelectItem(HTREEITEM hItem)
{
    if (!m_bMultiSelect)
        return static_cast<BOOL>(Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem)));
    return SetItemState(hItem, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
}

BOOL CXTTreeBase::FocusItem(HTREEITEM hItem)
{
    if (hItem)
        return SetItemState(hItem, TVIS_FOCUSED, TVIS_FOCUSED);
    HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
    return hCaret ? SetItemState(hCaret, 0, TVIS_FOCUSED) : TRUE;
}

HTREEITEM CXTTreeBase::GetFirstSelectedItem() const
{
    for (HTREEITEM h = Next(nullptr, TVGN_ROOT); h; h = Next(h, TVGN_NEXTVISIBLE))
        if (IsSelected(h))
            return h;
    return nullptr;
}

HTREEITEM CXTTreeBase::GetNextSelectedItem(HTREEITEM hItem) const
{
    for (HTREEITEM h = Next(hItem, TVGN_NEXTVISIBLE); h; h = Next(h, TVGN_NEXTVISIBLE))
        if (IsSelected(h))
            return h;
    return nullptr;
}

HTREEITEM CXTTreeBase::GetPrevSelectedItem(HTREEITEM hItem)
{
    for (HTREEITEM h = Next(hItem, TVGN_PREVIOUSVISIBLE); h; h = Next(h, TVGN_PREVIOUSVISIBLE))
        if (IsSelected(h))
            return h;
    return nullptr;
}

void CXTTreeBase::GetSelectedList(CPtrList& list) const
{
    list.RemoveAll();
    for (HTREEITEM h = GetFirstSelectedItem(); h; h = GetNextSelectedItem(h))
        list.AddTail(h);
}

void CXTTreeBase::SelectAll(BOOL bSelect, HTREEITEM hItem)
{
    for (HTREEITEM h = hItem ? hItem : Next(nullptr, TVGN_ROOT); h; h = Next(h, TVGN_NEXTVISIBLE))
        SetItemState(h, bSelect ? TVIS_SELECTED : 0, TVIS_SELECTED);
}

void CXTTreeBase::SelectAllIgnore(BOOL bSelect, HTREEITEM hIgnore)
{
    for (HTREEITEM h = Next(nullptr, TVGN_ROOT); h; h = Next(h, TVGN_NEXTVISIBLE))
        if (h != hIgnore)
            SetItemState(h, bSelect ? TVIS_SELECTED : 0, TVIS_SELECTED);
}

void CXTTreeBase::SelectItems(HTREEITEM hFirst, HTREEITEM hLast, BOOL bOnly)
{
    std::vector<HTREEITEM> visible;
    for (HTREEITEM h = Next(nullptr, TVGN_ROOT); h; h = Next(h, TVGN_NEXTVISIBLE))
        visible.push_back(h);
    auto first = std::find(visible.begin(), visible.end(), hFirst);
    auto last = std::find(visible.begin(), visible.end(), hLast);
    if (first == visible.end() || last == visible.end())
        return;
    if (first > last)
        std::swap(first, last);
    for (auto it = visible.begin(); it != visible.end(); ++it) {
        const bool inside = it >= first && it <= last;
        if (inside)
            SetItemState(*it, TVIS_SELECTED, TVIS_SELECTED);
        else if (bOnly)
            SetItemState(*it, 0, TVIS_SELECTED);
    }
}

BOOL CXTTreeBase::SelectChildren(HTREEITEM hParent, BOOL bSelect, BOOL bRecurse)
{
    BOOL bFocusWasInside = FALSE;
    const HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
    for (HTREEITEM h = Next(hParent, TVGN_CHILD); h; h = Next(h, TVGN_NEXT)) {
        if (h == hCaret)
            bFocusWasInside = TRUE;
        SetItemState(h, bSelect ? TVIS_SELECTED : 0, TVIS_SELECTED);
        if (bRecurse && SelectChildren(h, bSelect, TRUE))
            bFocusWasInside = TRUE;
    }
    return bFocusWasInside;
}

BOOL CXTTreeBase::EnableMultiSelect(BOOL bMultiSelect)
{
    const BOOL bPrevious = m_bMultiSelect;
    m_bMultiSelect = bMultiSelect;
    if (!bMultiSelect) {
        const HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
        const BOOL bCaretSelected = hCaret && IsSelected(hCaret);
        for (HTREEITEM h = GetNextItem(nullptr); h; h = GetNextItem(h))
            if (h != hCaret)
                SetItemState(h, 0, TVIS_SELECTED);
        if (hCaret && !bCaretSelected)
            Send(TVM_SELECTITEM, TVGN_CARET, 0);
        m_hSelectAnchor = nullptr;
    }
    return bPrevious;
}

LRESULT CXTTreeBase::SendNotify(LPNMHDR pNMHDR)
{
    HWND hWnd = TreeHwnd();
    if (!hWnd)
        return 0;
    pNMHDR->hwndFrom = hWnd;
    pNMHDR->idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(hWnd));
    HWND hTarget = ::GetWindow(hWnd, GW_OWNER);
    if (!hTarget)
        hTarget = ::GetParent(hWnd);
    return hTarget ? ::SendMessage(hTarget, WM_NOTIFY, pNMHDR->idFrom, reinterpret_cast<LPARAM>(pNMHDR)) : 0;
}

// --- mouse -------------------------------------------------------------------

BOOL CXTTreeBase::NextMessage(MSG& msg)
{
    if (::GetMessage(&msg, nullptr, 0, 0) > 0)
        return TRUE;
    // Whoever runs the outer loop must still see the quit.
    ::PostQuitMessage(static_cast<int>(msg.wParam));
    return FALSE;
}

BOOL CXTTreeBase::OnButtonDown(BOOL bLeft, UINT nFlags, int x, int y)
{
    if (!m_bMultiSelect)
        return TRUE;
    UINT nHit = 0;
    HTREEITEM hItem = HitTest(CPoint(x, y), &nHit);
    if ((nHit & TVHT_ONITEMBUTTON) || (bLeft && (nHit & TVHT_ONITEMSTATEICON) && (TreeStyle() & TVS_CHECKBOXES)))
        return TRUE;
    if (hItem && (nHit & TVHT_ONITEM)) {
        m_bActionDone = FALSE;
        SelectOnButtonDown(hItem, bLeft, nFlags);
        TrackClick(hItem, bLeft, nFlags, x, y);
        return !m_bActionDone;
    }
    TrackRubberBand(nFlags, x, y);
    return FALSE;
}

void CXTTreeBase::SelectOnButtonDown(HTREEITEM hItem, BOOL bLeft, UINT nFlags)
{
    const BOOL bShift = (nFlags & MK_SHIFT) != 0;
    const BOOL bCtrl = (nFlags & MK_CONTROL) != 0;
    if ((bLeft && !bShift) || (!bLeft && !bShift && !bCtrl)) {
        if (!bCtrl && !IsSelected(hItem)) {
            SelectAllIgnore(FALSE, hItem);
            SetItemState(hItem, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
        }
        m_hSelectAnchor = nullptr;
    } else if (bLeft) {
        if (!m_hSelectAnchor)
            m_hSelectAnchor = Next(nullptr, TVGN_CARET);
        SelectItems(m_hSelectAnchor ? m_hSelectAnchor : hItem, hItem, !bCtrl);
        SetItemState(hItem, TVIS_FOCUSED, TVIS_FOCUSED);
    } else if (bCtrl && !bShift) {
        m_hSelectAnchor = hItem;
    }
}

void CXTTreeBase::TrackClick(HTREEITEM hItem, BOOL bLeft, UINT nFlags, int x, int y)
{
    HWND hWnd = TreeHwnd();
    const CPoint ptStart(x, y);
    const UINT nUp = bLeft ? WM_LBUTTONUP : WM_RBUTTONUP;
    ::SetCapture(hWnd);
    enum { lost, click, drag } result = lost;
    MSG msg{};
    while (::GetCapture() == hWnd && NextMessage(msg)) {
        if (msg.message == nUp) {
            result = click;
            break;
        }
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == hWnd &&
            Dragged(ptStart, CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)))) {
            result = drag;
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    m_bActionDone = TRUE;
    if (result == click) {
        if (bLeft && !(nFlags & MK_SHIFT)) {
            if (nFlags & MK_CONTROL) {
                SetItemState(hItem, IsSelected(hItem) ? 0 : TVIS_SELECTED, TVIS_SELECTED);
            } else {
                SelectAllIgnore(FALSE, hItem);
                SetItemState(hItem, TVIS_SELECTED, TVIS_SELECTED);
            }
            SetItemState(hItem, TVIS_FOCUSED, TVIS_FOCUSED);
        }
        ::SetFocus(hWnd);
        NMHDR hdr{};
        hdr.code = bLeft ? NM_CLICK : NM_RCLICK;
        SendNotify(&hdr);
    } else if (result == drag) {
        SetItemState(hItem, TVIS_SELECTED | TVIS_FOCUSED, TVIS_SELECTED | TVIS_FOCUSED);
        if (!(TreeStyle() & TVS_DISABLEDRAGDROP)) {
            NMTREEVIEW nm{};
            nm.hdr.code = bLeft ? TVN_BEGINDRAG : TVN_BEGINRDRAG;
            nm.itemNew.mask = TVIF_HANDLE | TVIF_PARAM | TVIF_STATE;
            nm.itemNew.hItem = hItem;
            Send(TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&nm.itemNew));
            nm.ptDrag = ptStart;
            SendNotify(&nm.hdr);
        }
    }
}

void CXTTreeBase::TrackRubberBand(UINT nFlags, int x, int y)
{
    HWND hWnd = TreeHwnd();
    const BOOL bKeep = (nFlags & (MK_SHIFT | MK_CONTROL)) != 0;
    ::SetFocus(hWnd);
    ::SetCapture(hWnd);
    CPtrList listSelected;
    if (bKeep)
        GetSelectedList(listSelected);
    ::SetTimer(hWnd, kBandTimer, 75, nullptr);

    // The start is kept in scrolled coordinates, so the band grows while the tree scrolls.
    int cyItem = 0;
    if (HTREEITEM hRoot = Next(nullptr, TVGN_ROOT)) {
        CRect rcRoot;
        if (GetItemRect(hRoot, &rcRoot, FALSE))
            cyItem = rcRoot.Height();
    }
    const CPoint ptStart(x + ::GetScrollPos(hWnd, SB_HORZ), y + ::GetScrollPos(hWnd, SB_VERT) * cyItem);
    const CPoint ptClick(x, y);
    BOOL bStarted = FALSE;
    CRect rcDrawn;

    auto move = [&](CPoint pt) {
        if (!bStarted) {
            if (!Dragged(ptClick, pt))
                return;
            bStarted = TRUE;
            if (!bKeep)
                SelectAll(FALSE);
        }
        InvertFrame(hWnd, rcDrawn);
        rcDrawn.SetRectEmpty();
        CRect rcClient;
        ::GetClientRect(hWnd, &rcClient);
        if (pt.y < rcClient.top)
            ::SendMessage(hWnd, WM_VSCROLL, SB_LINEUP, 0);
        else if (pt.y >= rcClient.bottom)
            ::SendMessage(hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
        if (pt.x < rcClient.left)
            ::SendMessage(hWnd, WM_HSCROLL, SB_LINELEFT, 0);
        else if (pt.x >= rcClient.right)
            ::SendMessage(hWnd, WM_HSCROLL, SB_LINERIGHT, 0);
        const CPoint ptFrom(ptStart.x - ::GetScrollPos(hWnd, SB_HORZ),
                            ptStart.y - ::GetScrollPos(hWnd, SB_VERT) * cyItem);
        CRect rcBand(ptFrom, pt);
        rcBand.NormalizeRect();
        SelectInRect(&rcBand, nFlags, &listSelected);
        rcBand.IntersectRect(&rcBand, &rcClient);
        InvertFrame(hWnd, rcBand);
        rcDrawn = rcBand;
    };

    MSG msg{};
    while (::GetCapture() == hWnd && NextMessage(msg)) {
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP || msg.message == WM_MBUTTONUP)
            break;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            SelectAll(FALSE);
            break;
        }
        if (msg.message == WM_TIMER && msg.hwnd == hWnd && msg.wParam == kBandTimer) {
            CPoint pt;
            ::GetCursorPos(&pt);
            ::ScreenToClient(hWnd, &pt);
            CRect rcClient;
            ::GetClientRect(hWnd, &rcClient);
            if (!rcClient.PtInRect(pt))
                move(pt);
            continue;
        }
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == hWnd) {
            move(CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
    ::KillTimer(hWnd, kBandTimer);
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (bStarted)
        InvertFrame(hWnd, rcDrawn);
    else if (!bKeep)
        SelectAll(FALSE);
}

void CXTTreeBase::SelectInRect(LPCRECT lpRect, UINT nFlags, CPtrList* pSelectedList)
{
    const CRect rcBand(*lpRect);
    for (HTREEITEM h = Next(nullptr, TVGN_ROOT); h; h = Next(h, TVGN_NEXTVISIBLE)) {
        CRect rcItem;
        if (!GetItemRect(h, &rcItem, m_bBandLabel))
            continue;
        CRect rcCommon;
        const BOOL bInside = rcCommon.IntersectRect(&rcItem, &rcBand);
        const BOOL bSelected = IsSelected(h);
        POSITION pos = pSelectedList ? pSelectedList->Find(h) : nullptr;
        if (bInside) {
            if (!bSelected && !pos)
                SetItemState(h, TVIS_SELECTED, TVIS_SELECTED);
            else if ((nFlags & MK_CONTROL) && pos && bSelected)
                SetItemState(h, 0, TVIS_SELECTED);
            if ((nFlags & MK_SHIFT) && pos)
                pSelectedList->RemoveAt(pos);
        } else if (bSelected && !pos) {
            SetItemState(h, 0, TVIS_SELECTED);
        } else if (!bSelected && pos) {
            SetItemState(h, TVIS_SELECTED, TVIS_SELECTED);
        }
    }
    ::UpdateWindow(TreeHwnd());
}

void CXTTreeBase::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_bMultiSelect) {
        m_pTreeCtrl->DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
        return;
    }
    UINT nHit = 0;
    HTREEITEM hItem = HitTest(point, &nHit);
    const BOOL bControl = (nHit & TVHT_ONITEMBUTTON) ||
                          ((nHit & TVHT_ONITEMSTATEICON) && (TreeStyle() & TVS_CHECKBOXES));
    const HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
    if (!bControl && (TreeStyle() & TVS_EDITLABELS)) {
        if (!(nFlags & (MK_SHIFT | MK_CONTROL)) && (nHit & TVHT_ONITEMLABEL) && hItem == hCaret && m_bOkToEdit) {
            SelectAllIgnore(FALSE, hItem);
            SelectItem(hItem);
            m_pTreeCtrl->DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
            return;
        }
    }
    if (OnButtonDown(TRUE, nFlags, point.x, point.y))
        m_pTreeCtrl->DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
    // The next plain click on the caret's label edits it once the caret stayed there.
    m_bOkToEdit = hItem && (nHit & TVHT_ONITEM) && Next(nullptr, TVGN_CARET) == hItem;
}

void CXTTreeBase::OnRButtonDown(UINT, CPoint point)
{
    UINT nHit = 0;
    HTREEITEM hItem = HitTest(point, &nHit);
    if (!hItem || !(nHit & TVHT_ONITEM)) {
        if (m_bMultiSelect)
            SelectAll(FALSE);
    } else if (!IsSelected(hItem)) {
        if (m_bMultiSelect)
            SelectAll(FALSE);
        SelectItem(hItem);
    }
    NMHDR hdr{};
    hdr.code = NM_RCLICK;
    if (!SendNotify(&hdr)) {
        // Nobody took the click: the tree asks for its context menu, as it
        // does after its own right click.
        CPoint pt;
        ::GetCursorPos(&pt);
        ::SendMessage(TreeHwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(TreeHwnd()), MAKELPARAM(pt.x, pt.y));
    }
}

// --- keys, focus, size, hot tracking ----------------------------------------

void CXTTreeBase::OnKeyDown(UINT nChar)
{
    const MSG* pMsg = CWnd::GetCurrentMessage();
    const WPARAM wParam = nChar;
    const LPARAM lParam = pMsg ? pMsg->lParam : 0;
    if (!m_bMultiSelect || (nChar != VK_UP && nChar != VK_DOWN)) {
        m_pTreeCtrl->DefWindowProc(WM_KEYDOWN, wParam, lParam);
        return;
    }
    const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
    const BOOL bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    const HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
    if (!m_hSelectAnchor)
        m_hSelectAnchor = hCaret;
    if (!bShift && !bCtrl) {
        m_hSelectAnchor = nullptr;
        int nSelected = 0;
        for (HTREEITEM h = GetFirstSelectedItem(); h && nSelected < 2; h = GetNextSelectedItem(h))
            ++nSelected;
        if (nSelected < 2) {
            HTREEITEM hItem = hCaret ? hCaret : GetFirstSelectedItem();
            if (!hItem) {
                FocusItem(Next(nullptr, TVGN_ROOT));
                return;
            }
            SelectItem(hItem);
        } else {
            SelectAll(FALSE);
        }
        m_pTreeCtrl->DefWindowProc(WM_KEYDOWN, wParam, lParam);
        return;
    }
    // With Shift or Ctrl the caret moves without the control's selection rules.
    HTREEITEM hTarget = hCaret ? Next(hCaret, nChar == VK_DOWN ? TVGN_NEXTVISIBLE : TVGN_PREVIOUSVISIBLE) : nullptr;
    if (!hTarget)
        hTarget = hCaret ? hCaret : Next(nullptr, TVGN_ROOT);
    if (!hTarget)
        return;
    if (bShift)
        SelectItems(m_hSelectAnchor ? m_hSelectAnchor : hTarget, hTarget, TRUE);
    FocusItem(hTarget);
    Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hTarget));
}

void CXTTreeBase::OnFocusChange()
{
    if (!m_bMultiSelect)
        return;
    for (HTREEITEM h = GetFirstSelectedItem(); h; h = GetNextSelectedItem(h)) {
        CRect rc;
        if (GetItemRect(h, &rc, TRUE))
            ::InvalidateRect(TreeHwnd(), &rc, FALSE);
    }
}

void CXTTreeBase::OnSize()
{
    if (!m_htiEdit || !(TreeStyle() & TVS_EDITLABELS))
        return;
    HWND hEdit = reinterpret_cast<HWND>(Send(TVM_GETEDITCONTROL));
    CRect rcLabel;
    if (!hEdit || !GetItemRect(m_htiEdit, &rcLabel, TRUE))
        return;
    CRect rcEdit;
    ::GetWindowRect(hEdit, &rcEdit);
    ::SetWindowPos(hEdit, nullptr, rcLabel.left - 3, rcLabel.top - 1, rcEdit.Width(), rcEdit.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CXTTreeBase::SetHot(HTREEITEM hItem, BOOL bHot)
{
    if (!hItem)
        return;
    TVITEM item{};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = hItem;
    item.state = bHot ? XT_TVIS_HOT : 0;
    item.stateMask = XT_TVIS_HOT;
    Send(TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
    CRect rc;
    if (GetItemRect(hItem, &rc, FALSE))
        ::InvalidateRect(TreeHwnd(), &rc, FALSE);
}

void CXTTreeBase::OnMouseMove(CPoint point)
{
    if (!(TreeStyle() & TVS_TRACKSELECT))
        return;
    UINT nHit = 0;
    HTREEITEM hItem = HitTest(point, &nHit);
    if (!(nHit & TVHT_ONITEM))
        hItem = nullptr;
    if (hItem != m_htiLast) {
        SetHot(m_htiLast, FALSE);
        SetHot(hItem, TRUE);
        m_htiLast = hItem;
    }
    ::SetTimer(TreeHwnd(), kHotTimer, 55, nullptr);
}

void CXTTreeBase::OnTimer(UINT_PTR)
{
    HWND hWnd = TreeHwnd();
    ::KillTimer(hWnd, kHotTimer);
    CPoint pt;
    ::GetCursorPos(&pt);
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    if (rc.PtInRect(pt))
        return;
    for (HTREEITEM h = GetNextItem(nullptr); h; h = GetNextItem(h))
        if (GetItemState(h, XT_TVIS_HOT) & XT_TVIS_HOT)
            SetHot(h, FALSE);
    m_htiLast = nullptr;
}

void CXTTreeBase::OnNcMouseMove(UINT nHitTest)
{
    if (nHitTest == HTBORDER)
        SetHot(Next(nullptr, TVGN_FIRSTVISIBLE), FALSE);
}

void CXTTreeBase::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    auto* pNM = reinterpret_cast<NMTREEVIEW*>(pNMHDR);
    if (!m_bMultiSelect || (pNM->action != TVE_COLLAPSE && pNM->action != TVE_COLLAPSERESET))
        return;
    HTREEITEM hItem = pNM->itemNew.hItem;
    if (SelectChildren(hItem, FALSE, TRUE) && !IsSelected(hItem))
        FocusItem(hItem);
}

void CXTTreeBase::OnDeleteItem(NMHDR* pNMHDR)
{
    HTREEITEM hItem = reinterpret_cast<NMTREEVIEW*>(pNMHDR)->itemOld.hItem;
    m_mapStyles.erase(hItem);
    if (m_hSelectAnchor == hItem)
        m_hSelectAnchor = nullptr;
    if (m_htiLast == hItem)
        m_htiLast = nullptr;
    if (m_htiEdit == hItem)
        m_htiEdit = nullptr;
}

// --- painting ----------------------------------------------------------------

void CXTTreeBase::DoPaint(CDC* pDC, BOOL bDrawItems)
{
    HWND hWnd = TreeHwnd();
    const BOOL bEnabled = ::IsWindowEnabled(hWnd);
    const DWORD dwStyle = TreeStyle();
    COLORREF clrBack = static_cast<COLORREF>(Send(TVM_GETBKCOLOR));
    if (clrBack == CLR_NONE)
        clrBack = Color(COLOR_WINDOW);
    COLORREF clrText = static_cast<COLORREF>(Send(TVM_GETTEXTCOLOR));
    if (clrText == CLR_NONE)
        clrText = Color(COLOR_WINDOWTEXT);
    if (!bEnabled) {
        clrBack = Color(COLOR_BTNFACE);
        clrText = Color(COLOR_GRAYTEXT);
    }
    CRect rcClient;
    ::GetClientRect(hWnd, &rcClient);
    CXTMemDC memDC(pDC, rcClient, clrBack);
    m_pTreeCtrl->DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memDC.GetSafeHdc()), 0);
    if (!bDrawItems)
        return;

    const BOOL bFocus = ::GetFocus() == hWnd;
    const BOOL bShowSelAlways = (dwStyle & TVS_SHOWSELALWAYS) != 0;
    const HTREEITEM hCaret = Next(nullptr, TVGN_CARET);
    const BOOL bOldSystem = XTOSVersionInfo().IsWin95() || XTOSVersionInfo().IsWinNT4();
    HFONT hTreeFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    if (!hTreeFont)
        hTreeFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONT lfTree{};
    ::GetObjectA(hTreeFont, sizeof lfTree, &lfTree);
    memDC.SetBkMode(TRANSPARENT);

    const UINT nCount = static_cast<UINT>(Send(TVM_GETVISIBLECOUNT)) + 1;
    HTREEITEM hItem = Next(nullptr, TVGN_FIRSTVISIBLE);
    for (UINT i = 0; hItem && i < nCount; ++i, hItem = Next(hItem, TVGN_NEXTVISIBLE)) {
        CRect rcLabel;
        if (!GetItemRect(hItem, &rcLabel, TRUE))
            continue;
        const UINT nState = GetItemState(hItem, TVIS_SELECTED | TVIS_DROPHILITED | XT_TVIS_HOT | TVIS_FOCUSED);
        const BOOL bMarked = (nState & (TVIS_SELECTED | TVIS_DROPHILITED)) != 0;
        COLORREF clrItemBack = clrBack;
        COLORREF clrItemText = clrText;
        if (bMarked) {
            if (bFocus) {
                clrItemBack = bEnabled ? Color(COLOR_HIGHLIGHT) : Color(COLOR_GRAYTEXT);
                clrItemText = bEnabled ? Color(COLOR_HIGHLIGHTTEXT) : Color(COLOR_BTNFACE);
            } else if (bShowSelAlways) {
                clrItemBack = bEnabled ? Color(COLOR_BTNFACE) : Color(COLOR_GRAYTEXT);
                clrItemText = bEnabled ? Color(COLOR_WINDOWTEXT) : Color(COLOR_BTNFACE);
            }
        }
        LOGFONT lf = lfTree;
        const BOOL bOwnFont = GetItemFont(hItem, &lf);
        (void)bOwnFont;
        if (GetItemBold(hItem))
            lf.lfWeight = FW_BOLD;
        const COLORREF clrOwn = GetItemColor(hItem);
        if (!bMarked && bEnabled && clrOwn != 0xFFFFFFFF)
            clrItemText = clrOwn;
        if ((dwStyle & TVS_TRACKSELECT) && (nState & XT_TVIS_HOT)) {
            lf.lfUnderline = TRUE;
            if (!bMarked)
                clrItemText = Color(bOldSystem ? COLOR_HIGHLIGHT : COLOR_HOTLIGHT);
        }
        if (hItem == m_htiEdit)
            clrItemBack = clrItemText = clrBack;

        CFont font;
        font.CreateFontIndirect(&lf);
        CFont* pOldFont = memDC.SelectObject(&font);
        const CString strText = GetItemText(hItem);
        const CSize size = memDC.GetTextExtent(strText);
        if (size.cx + 2 > rcLabel.Width())
            rcLabel.right = rcLabel.left + size.cx + 2;
        // Every label is redrawn whole, so a wider font never leaves the control's text behind.
        memDC.FillSolidRect(&rcLabel, clrItemBack);
        memDC.SetTextColor(clrItemText);
        memDC.DrawText(strText, &rcLabel, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        memDC.SelectObject(pOldFont);
        if (hItem == hCaret && bEnabled && bFocus && !m_htiEdit)
            memDC.DrawFocusRect(&rcLabel);
    }
}

// --- the window's messages ---------------------------------------------------

BOOL CXTTreeBase::PreTranslateTreeKey(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN)
        return FALSE;
    if (TreeStyle() & TVS_EDITLABELS) {
        if (HWND hEdit = reinterpret_cast<HWND>(Send(TVM_GETEDITCONTROL))) {
            // Enter and Esc must reach the label editor, not the dialog keys.
            ::TranslateMessage(pMsg);
            ::DispatchMessage(pMsg);
            (void)hEdit;
            return TRUE;
        }
    }
    if (pMsg->wParam == VK_RETURN && pMsg->hwnd == TreeHwnd())
        if (HTREEITEM hCaret = Next(nullptr, TVGN_CARET))
            Send(TVM_EXPAND, TVE_TOGGLE, reinterpret_cast<LPARAM>(hCaret));
    return FALSE;
}

BOOL CXTTreeBase::PreTranslateMessage(MSG* pMsg)
{
    if (PreTranslateTreeKey(pMsg))
        return TRUE;
    return m_pTreeCtrl ? m_pTreeCtrl->CWnd::PreTranslateMessage(pMsg) : FALSE;
}

BOOL CXTTreeBase::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    HWND hTip = reinterpret_cast<HWND>(Send(TVM_GETTOOLTIPS));
    if (pNMHDR && hTip && pNMHDR->hwndFrom == hTip && pNMHDR->code == TTN_SHOW)
        ::SetWindowPos(hTip, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return m_pTreeCtrl ? m_pTreeCtrl->CWnd::OnNotify(wParam, lParam, pResult) : FALSE;
}

BOOL CXTTreeBase::OnTreeWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (!m_pTreeCtrl)
        return FALSE;
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    LRESULT lResult = 0;
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), point);
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), point);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        lResult = m_pTreeCtrl->DefWindowProc(message, wParam, lParam);
        OnFocusChange();
        break;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam));
        break;
    case WM_SIZE:
        lResult = m_pTreeCtrl->DefWindowProc(message, wParam, lParam);
        OnSize();
        break;
    case WM_MOUSEMOVE:
        lResult = m_pTreeCtrl->DefWindowProc(message, wParam, lParam);
        OnMouseMove(point);
        break;
    case WM_TIMER:
        if (wParam != kHotTimer)
            return FALSE;
        OnTimer(wParam);
        break;
    case WM_NCMOUSEMOVE:
        OnNcMouseMove(static_cast<UINT>(wParam));
        lResult = m_pTreeCtrl->DefWindowProc(message, wParam, lParam);
        break;
    case WM_PAINT: {
        CPaintDC dc(m_pTreeCtrl);
        DoPaint(&dc, TRUE);
        break;
    }
    default:
        return FALSE;
    }
    if (pResult)
        *pResult = lResult;
    return TRUE;
}

BOOL CXTTreeBase::OnTreeChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_NOTIFY)
        return FALSE;
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    switch (pNMHDR->code) {
    case TVN_BEGINLABELEDIT:
        m_htiEdit = reinterpret_cast<NMTVDISPINFO*>(pNMHDR)->item.hItem;
        break;
    case TVN_ENDLABELEDIT:
        m_htiEdit = nullptr;
        break;
    case TVN_ITEMEXPANDING: {
        LRESULT lResult = 0;
        OnItemExpanding(pNMHDR, &lResult);
        break;
    }
    case TVN_DELETEITEM:
        OnDeleteItem(pNMHDR);
        break;
    default:
        break;
    }
    // The parent still hears of every notification.
    (void)pResult;
    return FALSE;
}
