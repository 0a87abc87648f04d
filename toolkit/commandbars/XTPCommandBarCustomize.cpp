// Customize mode on the bars and their controls: the drop marker and the
// drop of a dragged control, the drag a control starts, resizing a control
// by its edge, and the manager's drop source.
#include "platform/mfc/Resource.h"
#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Input.h"
#include "platform/win/WinMessage.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPCustomizeDropSource.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>
#include <climits>
#include <set>

namespace {

constexpr int kMarkerHalf = 3;

BOOL IsVerticalBar(const CXTPCommandBar* pBar)
{
    return pBar->GetPosition() == xtpBarLeft || pBar->GetPosition() == xtpBarRight ||
           pBar->GetType() == xtpBarTypePopup;
}

// Whether pOuter is pInner or opens it through its popups, at any depth.
BOOL ContainsBar(CXTPCommandBar* pOuter, CXTPCommandBar* pInner, std::set<CXTPCommandBar*>& seen)
{
    if (!pOuter || !pInner)
        return FALSE;
    if (pOuter == pInner)
        return TRUE;
    if (!seen.insert(pOuter).second || !pOuter->GetControls())
        return FALSE;
    CXTPControls* pControls = pOuter->GetControls();
    for (int i = 0; i < pControls->GetCount(); ++i)
        if (ContainsBar(pControls->GetAt(i)->GetCommandBar(), pInner, seen))
            return TRUE;
    return FALSE;
}

} // namespace

CXTPCustomizeDropSource* CXTPCommandBars::GetDropSource()
{
    if (!m_pDropSource)
        m_pDropSource = new CXTPCustomizeDropSource(this);
    return FindDropSource();
}

void CXTPCommandBars::DeleteDropSource()
{
    delete FindDropSource();
    m_pDropSource = nullptr;
}

int CXTPCommandBar::FindDropIndex(CXTPControl* pControl, CPoint point, CRect* pRect, BOOL* pbVertical) const
{
    (void)pControl;
    const BOOL bVertBar = IsVerticalBar(this);
    // A marker across the gap: vertical on horizontal bars.
    const BOOL bVertMarker = !bVertBar;
    CRect rcClient;
    if (m_hWnd)
        GetClientRect(&rcClient);
    int nBest = -1;
    long nBestDistance = LONG_MAX;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pCandidate = GetControl(i);
        if (!pCandidate->IsVisible() || (pCandidate->GetFlags() & xtpFlagNoMovable))
            continue;
        const CRect rc = pCandidate->GetRect();
        const long dx = point.x < rc.left ? rc.left - point.x : (point.x >= rc.right ? point.x - rc.right + 1 : 0);
        const long dy = point.y < rc.top ? rc.top - point.y : (point.y >= rc.bottom ? point.y - rc.bottom + 1 : 0);
        // Rows first on horizontal bars, columns first on vertical ones.
        const long nDistance = bVertBar ? dx * 10000 + dy : dy * 10000 + dx;
        if (nDistance < nBestDistance) {
            nBestDistance = nDistance;
            nBest = i;
        }
    }
    if (pbVertical)
        *pbVertical = bVertMarker;
    if (nBest == -1) {
        if (pRect)
            *pRect = CRect(rcClient.left + 2, rcClient.top + 2, rcClient.left + 8, rcClient.bottom - 2);
        return 0;
    }
    const CRect rc = GetControl(nBest)->GetRect();
    const BOOL bBefore = bVertBar ? point.y < rc.CenterPoint().y : point.x < rc.CenterPoint().x;
    if (pRect) {
        if (bVertMarker) {
            const int x = bBefore ? rc.left : rc.right;
            *pRect = CRect(x - kMarkerHalf, rc.top, x + kMarkerHalf, rc.bottom);
        } else {
            const int y = bBefore ? rc.top : rc.bottom;
            *pRect = CRect(rc.left, y - kMarkerHalf, rc.right, y + kMarkerHalf);
        }
    }
    return bBefore ? nBest : nBest + 1;
}

BOOL CXTPCommandBar::IsCustomizeDragEnter(CXTPControl* pControl, CPoint point)
{
    if (!IsCustomizable() || !pControl)
        return FALSE;
    CXTPControl* pOver = HitTestControl(point);
    return !pOver || pOver->IsCustomizeDragOverAvail(this, point);
}

void CXTPCommandBar::OnCustomizeDragOver(CXTPControl* pControl, CPoint point)
{
    CRect rcMarker;
    BOOL bVertical = FALSE;
    FindDropIndex(pControl, point, &rcMarker, &bVertical);
    if (rcMarker != m_rcMarker || bVertical != m_bVerticalMarker) {
        m_rcMarker = rcMarker;
        m_bVerticalMarker = bVertical;
        if (m_hWnd)
            Invalidate(FALSE);
    }
    CXTPControl* pOver = HitTestControl(point);
    if (pOver && pOver != pControl)
        pOver->OnCustomizeDragOver(pControl, point);
}

void CXTPCommandBar::ClearDropMarker()
{
    if (m_rcMarker.IsRectEmpty())
        return;
    m_rcMarker.SetRectEmpty();
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXTPCommandBar::OnCustomizeDrop(CXTPControl* pControl, int nEffect, CPoint point)
{
    (void)nEffect;
    ClearDropMarker();
    if (!pControl || !m_pControls)
        return;
    const int nIndex = FindDropIndex(pControl, point, nullptr, nullptr);
    CXTPControl* pCopy = m_pControls->AddClone(pControl, nIndex, TRUE);
    if (!pCopy)
        return;
    // A control from another bar starts no group where it lands.
    if (pControl->GetParent() != this)
        pCopy->SetBeginGroup(FALSE);
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pCommandBars->SetDragControl(pCopy);
    OnRecalcLayout();
    if (m_hWnd)
        Invalidate(FALSE);
}

void CXTPCommandBar::DrawDropMarker(CDC* pDC)
{
    const CRect rc = m_rcMarker;
    CBrush brush(XTGetColorManager()->GetColor(15));
    CBrush* pOld = pDC->SelectObject(&brush);
    if (m_bVerticalMarker) {
        // A 2-pixel stem with 6-pixel ends.
        const int x = rc.CenterPoint().x;
        pDC->PatBlt(x - 1, rc.top, 2, rc.Height(), PATCOPY);
        pDC->PatBlt(rc.left, rc.top, rc.Width(), 2, PATCOPY);
        pDC->PatBlt(rc.left, rc.bottom - 2, rc.Width(), 2, PATCOPY);
    } else {
        const int y = rc.CenterPoint().y;
        pDC->PatBlt(rc.left, y - 1, rc.Width(), 2, PATCOPY);
        pDC->PatBlt(rc.left, rc.top, 2, rc.Height(), PATCOPY);
        pDC->PatBlt(rc.right - 2, rc.top, 2, rc.Height(), PATCOPY);
    }
    pDC->SelectObject(pOld);
}

void CXTPControl::OnCustomizeMouseDown(CPoint point)
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (!pCommandBars)
        return;
    if (pCommandBars->GetDragControl() == this && IsCustomizeResizeAllow() && OnCustomizeResize(point))
        return;
    pCommandBars->SetDragControl(this);
    // The drag may remove this control from its bar: both stay alive until done.
    InternalAddRef();
    CXTPCommandBar* pParent = m_pParent;
    if (pParent)
        pParent->InternalAddRef();
    const int nResult = pCommandBars->GetDropSource()->DoDragDrop(this);
    if ((nResult == XTP_DROPEFFECT_NONE || nResult == XTP_DROPEFFECT_MOVE) && m_pControls) {
        if (pParent) {
            pParent->SetPopuped(-1);
            pParent->SetSelected(-1);
        }
        CXTPControls* pControls = m_pControls;
        const int nIndex = m_nIndex;
        const int nCount = pControls->GetCount();
        // The group line stays where it was: on the next control.
        if (m_bBeginGroup && nIndex + 1 < nCount)
            pControls->GetAt(nIndex + 1)->SetBeginGroup(TRUE);
        if (nIndex == 0 && nCount > 1)
            pControls->GetAt(1)->SetBeginGroup(FALSE);
        pControls->Remove(this);
        if (pParent)
            pParent->OnRecalcLayout();
        if (pCommandBars->GetDragControl() == this)
            pCommandBars->SetDragControl(nullptr);
    }
    if (pParent)
        pParent->InternalRelease();
    InternalRelease();
}

BOOL CXTPControl::OnCustomizeResize(CPoint point)
{
    CXTPCommandBar* pParent = m_pParent;
    if (!pParent || !pParent->GetSafeHwnd())
        return FALSE;
    const CRect rc = m_rcControl;
    const BOOL bLeft = std::abs(point.x - rc.left) <= 2;
    const BOOL bRight = std::abs(point.x - rc.right) <= 2;
    if (!bLeft && !bRight)
        return FALSE;
    HCURSOR hResize = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(XTP_IDC_RESIZE));
    ::SetCursor(hResize ? hResize : ::LoadCursorA(nullptr, IDC_SIZEWE));
    pParent->SetCapture();
    // The width being dragged follows the pointer; the bar shows it at once.
    CRect rcNew = rc;
    const int nMin = GetCustomizeMinWidth();
    BOOL bApply = FALSE;
    while (::GetCapture() == pParent->m_hWnd) {
        MSG msg;
        const BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
        if (bGot <= 0) {
            if (bGot == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            const int x = GET_X_LPARAM(msg.lParam);
            if (bRight)
                rcNew.right = std::max(static_cast<int>(rcNew.left) + nMin, x);
            else
                rcNew.left = std::min(static_cast<int>(rcNew.right) - nMin, x);
            continue;
        }
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)
            break;
        if (msg.message == WM_LBUTTONUP) {
            bApply = TRUE;
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    if (::GetCapture() == pParent->m_hWnd)
        ::ReleaseCapture();
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    if (bApply && rcNew.Width() != rc.Width()) {
        SetWidth(rcNew.Width());
        pParent->OnRecalcLayout();
    }
    pParent->Invalidate(FALSE);
    return TRUE;
}

void CXTPControlPopup::OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point)
{
    if (!m_pParent)
        return;
    if (!m_pCommandBar || !m_pCommandBar->IsCustomizable()) {
        CXTPControl::OnCustomizeDragOver(pDataObject, point);
        return;
    }
    CXTPCommandBar* pDragged = pDataObject ? pDataObject->GetCommandBar() : nullptr;
    std::set<CXTPCommandBar*> seenOut, seenIn;
    if (pDragged && (ContainsBar(pDragged, m_pCommandBar, seenOut) || ContainsBar(m_pCommandBar, pDragged, seenIn))) {
        m_pParent->SetPopuped(-1);
        m_pParent->SetSelected(-1);
        return;
    }
    m_pParent->SetPopuped(m_nIndex);
}
