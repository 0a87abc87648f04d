#include "toolkit/commandbars/XTPControl.h"

#include "platform/mfc/Archive.h"

#include "platform/mfc/Wnd.h"
#include "platform/win/Capture.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/commandbars/XTPSoundManager.h"

IMPLEMENT_SERIAL(CXTPControl, CCmdTarget, VERSIONABLE_SCHEMA | 8)

CXTPControl::CXTPControl()
{
    m_rcRow.SetRectEmpty();
    m_rcControl.SetRectEmpty();
}

CXTPControl::~CXTPControl() = default;

CString CXTPControl::GetTooltip(LPPOINT, LPRECT, int*) const
{
    return m_strTooltipText;
}

void CXTPControl::SetBeginGroup(BOOL bBeginGroup)
{
    m_bBeginGroup = bBeginGroup;
    DelayLayoutParent();
}

void CXTPControl::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled == bEnabled)
        return;
    m_bEnabled = bEnabled;
    RedrawParent();
}

BOOL CXTPControl::Compare(CXTPControl* pOther)
{
    if (!pOther)
        return FALSE;
    return GetStyle() == pOther->GetStyle() && m_controlType == pOther->m_controlType && m_nId == pOther->m_nId &&
           m_bBeginGroup == pOther->m_bBeginGroup && GetIconId() == pOther->GetIconId() &&
           m_strCaption == pOther->m_strCaption && m_strTooltipText == pOther->m_strTooltipText &&
           m_strDescriptionText == pOther->m_strDescriptionText &&
           m_strCustomCaption == pOther->m_strCustomCaption && m_buttonCustomStyle == pOther->m_buttonCustomStyle &&
           m_strParameter == pOther->m_strParameter &&
           ((m_dwHideFlags & xtpHideCustomize) != 0) == ((pOther->m_dwHideFlags & xtpHideCustomize) != 0);
}

void CXTPControl::OnExecute()
{
    XTPSoundManager()->PlaySystemSound(xtpSoundMenuCommand);
    m_bPressed = 2;

    CXTPCommandBar* pParent = m_pParent;
    CXTPCommandBar* pRoot = pParent ? pParent->GetRootParent() : nullptr;
    if (pRoot && pRoot->GetReturnCmd()) {
        XTPMouseManager()->SendTrackLost();
        *pRoot->GetReturnCmd() = static_cast<UINT>(m_nId);
        return;
    }
    if (CXTPCommandBars* pCommandBars = GetCommandBars()) {
        if (m_nId != 0)
            pCommandBars->SetCommandUsed(static_cast<UINT>(m_nId));
        auto* pPopupBar = DYNAMIC_DOWNCAST(CXTPPopupBar, pParent);
        if (pPopupBar && pPopupBar->GetControlPopup() && pPopupBar->GetControlPopup()->GetID() != 0)
            pCommandBars->SetCommandUsed(static_cast<UINT>(pPopupBar->GetControlPopup()->GetID()));
    }
    // Found before the menus close: a closed submenu no longer knows its parent.
    CWnd* pTarget = pParent ? pParent->GetCommandTarget() : nullptr;
    if (m_bCloseSubMenuOnClick)
        XTPMouseManager()->SendTrackLost();
    if (m_nId == 0 || !pParent)
        return;

    // The handlers may remove this control or its bar.
    InternalAddRef();
    pParent->InternalAddRef();
    if (pTarget && ::IsWindow(pTarget->m_hWnd)) {
        BarControlNotifyInfo info{{nullptr, static_cast<UINT_PTR>(m_nId), CBN_XTP_EXECUTE}, this};
        if (pTarget->SendMessage(WM_BAR_CONTROL_NOTIFY, static_cast<WPARAM>(m_nId),
                                 reinterpret_cast<LPARAM>(&info)) == 0)
            pTarget->SendMessage(WM_COMMAND, static_cast<WPARAM>(m_nId), 0);
    }
    if (!m_bCloseSubMenuOnClick) {
        // A toggled item shows its new state while the menu stays open.
        pParent->OnUpdateCmdUI(FALSE, FALSE);
        if (::IsWindow(pParent->m_hWnd))
            pParent->Invalidate(FALSE);
    }
    pParent->InternalRelease();
    InternalRelease();
}

CSize CXTPControl::GetSize(CDC* pDC)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    return pPaintManager ? pPaintManager->DrawControl(pDC, this, FALSE) : CSize(0, 0);
}

void CXTPControl::Draw(CDC* pDC)
{
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        pPaintManager->DrawControl(pDC, this, TRUE);
}

CXTPImageManagerIcon* CXTPControl::GetImage(int nWidth) const
{
    const int nId = GetIconId();
    if (nId == 0)
        return nullptr;
    CXTPImageManager* pImageManager = nullptr;
    if (m_pParent)
        pImageManager = m_pParent->GetImageManager();
    else if (CXTPCommandBars* pCommandBars = GetCommandBars())
        pImageManager = pCommandBars->GetImageManager();
    else
        pImageManager = XTPImageManager();
    return pImageManager ? pImageManager->GetImage(static_cast<UINT>(nId), nWidth) : nullptr;
}

void CXTPControl::Copy(CXTPControl* pControl, BOOL)
{
    m_nId = pControl->m_nId;
    m_nTag = pControl->m_nTag;
    m_dwFlags = pControl->m_dwFlags;
    m_controlType = pControl->m_controlType;
    m_strCaption = pControl->m_strCaption;
    m_strShortcutText = pControl->m_strShortcutText;
    m_strShortcutTextAuto = pControl->m_strShortcutTextAuto;
    m_strTooltipText = pControl->m_strTooltipText;
    m_strDescriptionText = pControl->m_strDescriptionText;
    m_strParameter = pControl->m_strParameter;
    m_nCustomIconId = pControl->m_nCustomIconId;
    m_nIconId = pControl->m_nIconId;
    m_bTemporary = pControl->m_bTemporary;
    m_strCustomCaption = pControl->m_strCustomCaption;
    m_strCategory = pControl->m_strCategory;
    m_dwHideFlags = pControl->m_dwHideFlags;
    m_bDefaultItem = pControl->m_bDefaultItem;
    m_bEnabled = pControl->m_bEnabled;
    m_bChecked = pControl->m_bChecked;
    m_buttonCustomStyle = pControl->m_buttonCustomStyle;
    m_buttonStyle = pControl->m_buttonStyle;
    m_bBeginGroup = pControl->m_bBeginGroup;
    m_bCloseSubMenuOnClick = pControl->m_bCloseSubMenuOnClick;
    m_mapDocTemplatesAssigned = pControl->m_mapDocTemplatesAssigned;
    m_mapDocTemplatesExcluded = pControl->m_mapDocTemplatesExcluded;
}

CXTPControl* CXTPControl::Clone(BOOL bRecursive)
{
    auto* pControl = static_cast<CXTPControl*>(GetRuntimeClass()->CreateObject());
    if (!pControl)
        return nullptr;
    pControl->Copy(this, bRecursive);
    return pControl;
}

BOOL CXTPControl::OnLButtonDblClk(CPoint point)
{
    OnClick(FALSE, point);
    return TRUE;
}

void CXTPControl::OnMouseHover()
{
    CXTPCommandBar* pParent = m_pParent;
    if (!pParent || pParent->GetPopupedIndex() == -1)
        return;
    pParent->SetPopuped(-1);
    if (pParent->GetPopupedIndex() == -1 && pParent->GetTrackingMode() == 2 &&
        pParent->GetType() != xtpBarTypePopup)
        pParent->SetTrackingMode(0, TRUE, FALSE);
}

BOOL CXTPControl::OnSetSelected(int bSelected)
{
    if (bSelected == m_bSelected)
        return FALSE;
    // A keyboard selection closes another control's popup, never the one
    // this control is opening.
    if (bSelected == 2 && m_pParent && m_pParent->GetPopupedIndex() != m_nIndex)
        m_pParent->SetPopuped(-1);
    m_bSelected = bSelected;
    if (m_pParent) {
        m_pParent->OnControlSelected(bSelected, this);
        if (::IsWindow(m_pParent->m_hWnd))
            m_pParent->DelayRedraw();
    }
    return TRUE;
}

void CXTPControl::OnCustomizeDragOver(CXTPControl*, CPoint)
{
    if (m_pParent) {
        m_pParent->SetPopuped(-1);
        m_pParent->SetSelected(-1);
    }
}

void CXTPControl::SetID(int nID)
{
    if (m_nId != nID && m_strCaption.IsEmpty()) {
        CString strPrompt;
        if (XTPGetResourceManager()->LoadString(&strPrompt, static_cast<UINT>(nID)))
            SetPrompt(strPrompt);
    }
    m_nId = nID;
}

void CXTPControl::SetPrompt(LPCTSTR lpszPrompt)
{
    const CString strPrompt(lpszPrompt ? lpszPrompt : "");
    if (strPrompt.IsEmpty())
        return;
    const int nBreak = strPrompt.Find('\n');
    if (nBreak >= 0) {
        m_strDescriptionText = strPrompt.Left(nBreak);
        m_strTooltipText = strPrompt.Mid(nBreak + 1);
    } else {
        m_strDescriptionText = strPrompt;
        m_strTooltipText = strPrompt;
    }
    m_strCaption = m_strTooltipText;
}

void CXTPControl::SetCaption(LPCTSTR lpszCaption)
{
    CString strCaption(lpszCaption ? lpszCaption : "");
    const int nTab = strCaption.Find('\t');
    if (nTab >= 0) {
        m_strShortcutTextAuto = strCaption.Mid(nTab + 1);
        strCaption = strCaption.Left(nTab);
    }
    if (m_strCaption != strCaption) {
        m_strCaption = strCaption;
        DelayLayoutParent();
    }
}

BOOL CXTPControl::SetHideFlag(DWORD dwFlag, BOOL bSet)
{
    const DWORD dwFlags = bSet ? (m_dwHideFlags | dwFlag) : (m_dwHideFlags & ~dwFlag);
    if (dwFlags == m_dwHideFlags)
        return FALSE;
    SetHideFlags(dwFlags);
    return TRUE;
}

void CXTPControl::SetRarelyUsed(BOOL bRarelyUsed)
{
    m_bRarelyUsed = bRarelyUsed;
    if (!bRarelyUsed)
        SetHideFlag(xtpHideExpand, FALSE);
}

void CXTPControl::SetDefaultItem(BOOL bDefault)
{
    if (m_bDefaultItem == bDefault)
        return;
    m_bDefaultItem = bDefault;
    DelayLayoutParent();
}

void CXTPControl::SetChecked(int nChecked)
{
    m_bChecked = nChecked;
}

CXTPPaintManager* CXTPControl::GetPaintManager() const
{
    if (m_pParent)
        return m_pParent->GetPaintManager();
    if (CXTPCommandBars* pCommandBars = GetCommandBars())
        return pCommandBars->GetPaintManager();
    return XTPPaintManager();
}

CXTPCommandBars* CXTPControl::GetCommandBars() const
{
    if (m_pParent)
        return m_pParent->GetCommandBars();
    return m_pControls ? m_pControls->GetCommandBars() : nullptr;
}

BOOL CXTPControl::IsCustomizeMode() const
{
    return m_pParent ? m_pParent->IsCustomizeMode() : FALSE;
}

BOOL CXTPControl::IsCursorOver() const
{
    if (!m_pParent)
        return FALSE;
    CPoint pt;
    ::GetCursorPos(&pt);
    m_pParent->ScreenToClient(&pt);
    return m_rcControl.PtInRect(pt);
}

void CXTPControl::DelayLayoutParent()
{
    if (m_pParent)
        m_pParent->m_dwPendingFlags |= XTP_PENDING_LAYOUT;
}

void CXTPControl::RedrawParent()
{
    if (m_pParent && ::IsWindow(m_pParent->m_hWnd))
        m_pParent->DelayRedraw();
}

void CXTPControl::InvalidateParent()
{
    if (m_pParent && ::IsWindow(m_pParent->m_hWnd))
        m_pParent->Invalidate(FALSE);
}

void CXTPControl::ClickToolBarButton(CRect rcActiveRect)
{
    CXTPCommandBar* pParent = m_pParent;
    if (!pParent || !::IsWindow(pParent->m_hWnd))
        return;
    if (rcActiveRect.IsRectEmpty())
        rcActiveRect = m_rcControl;

    InternalAddRef();
    pParent->InternalAddRef();
    pParent->SetSelected(m_nIndex, FALSE);
    m_bPressed = 1;
    pParent->Invalidate(FALSE);
    pParent->SetCapture();

    BOOL bRun = FALSE;
    MSG msg;
    while (::GetCapture() == pParent->m_hWnd) {
        const BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
        if (bGot <= 0) {
            // Quitting ends the press; the loop that owns the quit sees it.
            if (bGot == 0)
                ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP) {
            const CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            bRun = m_bSelected && ((pt.x == 0 && pt.y == 0) || rcActiveRect.PtInRect(pt));
            break;
        }
        if (msg.message == WM_MOUSEMOVE && msg.hwnd == pParent->m_hWnd) {
            const CPoint pt(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
            if (OnSetSelected(rcActiveRect.PtInRect(pt)))
                pParent->Invalidate(FALSE);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }

    if (::GetCapture() == pParent->m_hWnd)
        ::ReleaseCapture();
    // Moving off the control cleared its state but not the bar's selection.
    if (pParent->GetSelectedIndex() == m_nIndex)
        pParent->SetSelected(-1, FALSE);
    m_bSelected = 0;
    m_bPressed = 0;
    pParent->DelayRedraw();
    if (bRun)
        OnExecute();
    pParent->InternalRelease();
    InternalRelease();
}

CXTPControl* CXTPControlCmdUI::Control() const
{
    return m_pBar ? m_pBar->GetControl(static_cast<int>(m_nIndex)) : nullptr;
}

void CXTPControlCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    if (CXTPControl* pControl = Control())
        pControl->SetEnabled(bOn);
}

void CXTPControlCmdUI::SetCheck(int nCheck)
{
    CXTPControl* pControl = Control();
    if (pControl && pControl->GetChecked() != nCheck) {
        pControl->SetChecked(nCheck);
        pControl->RedrawParent();
    }
}

void CXTPControlCmdUI::SetText(LPCTSTR lpszText)
{
    if (CXTPControl* pControl = Control())
        pControl->SetCaption(lpszText);
}
