#include "toolkit/commandbars/XTPControlEdit.h"

#include "platform/mfc/Archive.h"
#include "platform/controls/Edit.h"
#include "platform/mfc/ControlBar.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/controls/XTMemDC.h"

namespace {

constexpr UINT kIdCut = 57635;
constexpr UINT kIdCopy = 57634;
constexpr UINT kIdPaste = 57637;
// Edit windows: child, auto horizontal scroll.
constexpr DWORD kEditStyle = WS_CHILD | ES_AUTOHSCROLL;

UINT TrackEditMenu(CXTPEdit* pEdit, CPoint ptScreen)
{
    CXTPEditHost* pHost = pEdit->GetHost();
    CXTPControl* pControl = pHost ? pHost->GetHostControl() : nullptr;
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pControl ? pControl->GetCommandBars() : nullptr);
    for (UINT nId : {kIdCut, kIdCopy, kIdPaste}) {
        CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlButton, static_cast<int>(nId));
        CString strCaption;
        if (pItem && XTPGetResourceManager()->LoadString(&strCaption, nId)) {
            const int nBreak = strCaption.Find('\n');
            pItem->SetCaption(nBreak >= 0 ? strCaption.Mid(nBreak + 1) : strCaption);
        }
    }
    const UINT nCmd = CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD | TPM_NONOTIFY, ptScreen.x, ptScreen.y);
    pPopup->InternalRelease();
    return nCmd;
}

} // namespace

// The edit host -------------------------------------------------------------------

void CXTPEditHost::OnEditSetFocus(CWnd* pOldWnd)
{
    CXTPControl* pControl = GetHostControl();
    CXTPCommandBar* pBar = pControl->GetParent();
    if (!pBar)
        return;
    if (!pBar->m_hwndFocus)
        pBar->m_hwndFocus = pOldWnd && ::IsWindow(pOldWnd->m_hWnd) ? pOldWnd->m_hWnd : AfxHwndOf(pBar->GetSite());
    pBar->SetPopuped(-1);
    pBar->SetTrackingMode(1, FALSE, FALSE);
    pBar->SetSelected(pControl->GetIndex(), TRUE);
    pBar->SetKeyboardControl(pControl);
    // Hot tracking waits while the box has the focus; taken once per focus.
    if (!m_bMouseLocked) {
        XTPMouseManager()->LockTracking();
        m_bMouseLocked = TRUE;
    }
}

void CXTPEditHost::OnEditKillFocus()
{
    if (m_bMouseLocked) {
        XTPMouseManager()->UnlockTracking();
        m_bMouseLocked = FALSE;
    }
    CXTPControl* pControl = GetHostControl();
    CXTPCommandBar* pBar = pControl->GetParent();
    if (!pBar || pBar->GetKeyboardControl() != pControl)
        return;
    pBar->SetKeyboardControl(nullptr);
    // A bar left tracking after the box lost the focus would take the next
    // typed letters as its mnemonics.
    if (pBar->GetTrackingMode() != 0)
        pBar->SetTrackingMode(0, TRUE, FALSE);
}

void CXTPEditHost::RestoreFocus()
{
    CXTPCommandBar* pBar = GetHostControl()->GetParent();
    if (!pBar)
        return;
    HWND hwndFocus = pBar->m_hwndFocus;
    if (!hwndFocus || !::IsWindow(hwndFocus))
        hwndFocus = AfxHwndOf(pBar->GetSite());
    if (hwndFocus)
        ::SetFocus(hwndFocus);
}

void CXTPEditHost::SetEditEnabled(CXTPEdit* pEdit, BOOL bEnabled)
{
    CXTPControl* pControl = GetHostControl();
    if (pControl->m_bEnabled == bEnabled)
        return;
    pControl->m_bEnabled = bEnabled;
    if (pEdit && pEdit->m_hWnd)
        pEdit->EnableWindow(bEnabled);
    pControl->RedrawParent();
}

void CXTPEditHost::SetEditHideFlags(CXTPEdit* pEdit, DWORD dwFlags)
{
    CXTPControl* pControl = GetHostControl();
    pControl->m_dwHideFlags = dwFlags;
    if (pEdit && pEdit->m_hWnd)
        pEdit->ShowWindow(dwFlags ? SW_HIDE : SW_SHOWNA);
    pControl->DelayLayoutParent();
}

void CXTPEditHost::OnHostDeselected(CXTPEdit* pEdit, int bSelected)
{
    if (bSelected || !pEdit || !pEdit->HasFocus())
        return;
    RestoreFocus();
    GetHostControl()->RedrawParent();
}

void CXTPEditHost::CustomizeClick(CPoint pt)
{
    CXTPControl* pControl = GetHostControl();
    if (CXTPCommandBar* pBar = pControl->GetParent()) {
        pBar->SetPopuped(-1);
        pBar->SetSelected(-1);
    }
    pControl->OnCustomizeMouseDown(pt);
}

CString CXTPEditHost::ReadEditText(CXTPEdit* pEdit)
{
    if (pEdit && pEdit->m_hWnd)
        pEdit->GetWindowText(GetHostText());
    return GetHostText();
}

void CXTPEditHost::WriteEditText(CXTPEdit* pEdit, const CString& strText)
{
    GetHostText() = strText;
    if (pEdit && pEdit->m_hWnd)
        pEdit->SetWindowText(strText);
}

int CXTPEditHost::HookKeyDownShared(CXTPEdit* pEdit, UINT nChar)
{
    if (nChar != VK_ESCAPE)
        return 2;
    if (!pEdit || !pEdit->HasFocus())
        return 0;
    CXTPCommandBar* pBar = GetHostControl()->GetParent();
    RestoreFocus();
    if (pBar && ::IsWindow(pBar->m_hWnd)) {
        pBar->Redraw();
        pBar->OnUpdateCmdUI(TRUE);
    }
    return 1;
}

// The edit window ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CXTPEdit, CEdit)

UINT (*CXTPEdit::s_pfnTrackContextMenu)(CXTPEdit* pEdit, CPoint ptScreen) = &TrackEditMenu;

CXTPEdit::~CXTPEdit()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CXTPEdit::CreateEdit(CWnd* pParent)
{
    tavrin::controls::RegisterEdit();
    return CWnd::Create(WC_EDIT, nullptr, kEditStyle, CRect(0, 0, 0, 0), pParent, 0);
}

BOOL CXTPEdit::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nID != kIdCut && nID != kIdCopy && nID != kIdPaste)
        return CEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (pHandlerInfo)
        return TRUE;
    if (nCode == CN_UPDATE_COMMAND_UI) {
        auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
        if (!pCmdUI)
            return FALSE;
        if (nID == kIdPaste) {
            pCmdUI->Enable(::IsClipboardFormatAvailable(CF_TEXT));
        } else {
            int nStart = 0, nEnd = 0;
            GetSel(nStart, nEnd);
            pCmdUI->Enable(nStart != nEnd);
        }
        return TRUE;
    }
    if (nCode != CN_COMMAND)
        return FALSE;
    SendMessage(nID == kIdCut ? WM_CUT : nID == kIdCopy ? WM_COPY : WM_PASTE);
    return TRUE;
}

BOOL CXTPEdit::ShowContextMenu(CPoint ptScreen)
{
    CString strCut;
    if (!XTPGetResourceManager()->LoadString(&strCut, kIdCut))
        return FALSE;
    if (!HasFocus()) {
        SetSel(0, -1);
    }
    XTPMouseManager()->SendTrackLost();
    // The menu's loop may end this window: hold on to the handle only.
    HWND hWnd = m_hWnd;
    const UINT nCmd = s_pfnTrackContextMenu(this, ptScreen);
    if (!::IsWindow(hWnd))
        return TRUE;
    if (nCmd != 0) {
        if (!HasFocus() || nCmd == kIdPaste)
            SetFocus();
        OnCmdMsg(nCmd, CN_COMMAND, nullptr, nullptr);
    }
    if (m_pHost)
        if (CXTPCommandBar* pBar = m_pHost->GetHostControl()->GetParent())
            if (::IsWindow(pBar->m_hWnd))
                pBar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return TRUE;
}

BOOL CXTPEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_pHost && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        if (HBRUSH hBrush = m_pHost->OnEditCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)))) {
            if (pResult)
                *pResult = reinterpret_cast<LRESULT>(hBrush);
            return TRUE;
        }
    }
    return CEdit::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CXTPEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    CXTPControl* pControl = m_pHost ? m_pHost->GetHostControl() : nullptr;
    CXTPCommandBar* pBar = pControl ? pControl->GetParent() : nullptr;
    const BOOL bCustomize = pControl && pControl->IsCustomizeMode();
    switch (message) {
    case WM_SETFOCUS: {
        if (m_pHost)
            m_pHost->OnEditSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
        PostMessage(EM_SETSEL, 0, -1);
        return lResult;
    }
    case WM_KILLFOCUS: {
        const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
        if (m_pHost)
            m_pHost->OnEditKillFocus();
        return lResult;
    }
    case WM_DESTROY:
        if (m_pHost)
            GetWindowText(m_pHost->GetHostText());
        break;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        XTPPaintBuffered(this, ::GetSysColor(IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE));
        return 0;
    case WM_LBUTTONDOWN:
        if (!bCustomize)
            break;
        if (pBar && pBar->IsCustomizable() && !(pControl->GetFlags() & xtpFlagNoMovable))
            pControl->OnClick(FALSE, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_RBUTTONDOWN: {
        CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (bCustomize) {
            if (pBar) {
                MapWindowPoints(pBar, &pt, 1);
                pBar->SendMessage(WM_RBUTTONDOWN, wParam, MAKELPARAM(pt.x, pt.y));
            }
            return 0;
        }
        if (pBar && pBar->GetType() == xtpBarTypePopup)
            return 0;
        ClientToScreen(&pt);
        if (ShowContextMenu(pt)) {
            m_bSwallowRButtonUp = TRUE;
            return 0;
        }
        break;
    }
    case WM_RBUTTONUP:
        // The press showed the menu already: no second one from the release.
        if (m_bSwallowRButtonUp) {
            m_bSwallowRButtonUp = FALSE;
            return 0;
        }
        break;
    case WM_CONTEXTMENU: {
        if (bCustomize || (pBar && pBar->GetType() == xtpBarTypePopup))
            break;
        // The point is taken in the window's own coordinates.
        CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        ClientToScreen(&pt);
        if (ShowContextMenu(pt))
            return 0;
        break;
    }
    case WM_MOUSEMOVE: {
        const LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
        if (pBar && ::IsWindow(pBar->m_hWnd) && ::IsWindow(m_hWnd)) {
            CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            MapWindowPoints(pBar, &pt, 1);
            pBar->OnMouseMove(static_cast<UINT>(wParam), pt);
        }
        return lResult;
    }
    default:
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

void XTPPaintBuffered(CWnd* pWnd, COLORREF clrBack)
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(pWnd->m_hWnd, &ps);
    CRect rc;
    pWnd->GetClientRect(&rc);
    {
        CXTBufferedDC buffer(hdc, rc);
        buffer.FillSolidRect(&rc, clrBack);
        pWnd->DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(buffer.GetSafeHdc()), 0);
    }
    ::EndPaint(pWnd->m_hWnd, &ps);
}

// Shared placement -------------------------------------------------------------------

void XTPHideOnVerticalBars(CXTPControl* pControl, DWORD dwMode)
{
    pControl->SetHideFlag(xtpHideDockingPosition, (dwMode & LM_VERTDOCK) != 0);
}

void XTPPlaceEditWindow(CXTPControl* pControl, CXTPEdit* pEdit, const CString& strText, CRect rcEdit)
{
    CXTPCommandBar* pBar = pControl->GetParent();
    if (!pEdit || !pBar || !::IsWindow(pBar->m_hWnd))
        return;
    if (!pEdit->m_hWnd) {
        if (!pEdit->CreateEdit(pBar))
            return;
        if (CXTPPaintManager* pPaintManager = pControl->GetPaintManager())
            pEdit->SetFont(pPaintManager->GetIconFont(), FALSE);
        if (!strText.IsEmpty())
            pEdit->SetWindowText(strText);
        if (!pControl->GetEnabled())
            pEdit->EnableWindow(FALSE);
    }
    if (::GetParent(pEdit->m_hWnd) != pBar->m_hWnd)
        pEdit->SetParent(pBar);
    pEdit->SetMargins(3, 3);
    pEdit->MoveWindow(rcEdit, FALSE);
    const UINT nShow = pControl->GetHideFlags() ? SWP_HIDEWINDOW : SWP_SHOWWINDOW;
    pEdit->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | nShow);
    pEdit->Invalidate(FALSE);
}

// The edit control --------------------------------------------------------------------

IMPLEMENT_SERIAL(CXTPControlEdit, CXTPControl, VERSIONABLE_SCHEMA | 8)

CXTPControlEdit::~CXTPControlEdit()
{
    if (m_bMouseLocked)
        XTPMouseManager()->UnlockTracking();
    delete m_pEdit;
}

void CXTPControlEdit::SetLabelWidth(int nWidth)
{
    if (m_nLabelWidth != nWidth) {
        m_nLabelWidth = nWidth;
        m_bDelayReposition = TRUE;
    }
}

void CXTPControlEdit::CreateEditWindow()
{
    if (m_pEdit)
        return;
    m_pEdit = new CXTPEdit;
    m_pEdit->SetHost(this);
}

CString CXTPControlEdit::GetEditText() const
{
    return const_cast<CXTPControlEdit*>(this)->ReadEditText(m_pEdit);
}

void CXTPControlEdit::SetEditText(const CString& strText)
{
    WriteEditText(m_pEdit, strText);
}

void CXTPControlEdit::SetReadOnly(BOOL bReadOnly)
{
    m_bReadOnly = bReadOnly;
    if (m_pEdit && m_pEdit->m_hWnd)
        m_pEdit->SetReadOnly(bReadOnly);
}

void CXTPControlEdit::SetEnabled(BOOL bEnabled)
{
    SetEditEnabled(m_pEdit, bEnabled);
}

void CXTPControlEdit::SetRect(CRect rcControl)
{
    CreateEditWindow();
    if (m_rcControl == rcControl && m_pEdit->m_hWnd && m_pParent && ::GetParent(m_pEdit->m_hWnd) == m_pParent->m_hWnd &&
        !m_bDelayReposition)
        return;
    m_rcControl = rcControl;
    const CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3, rcControl.right - 3,
                       rcControl.bottom - 3);
    XTPPlaceEditWindow(this, m_pEdit, m_strEditText, rcEdit);
    if (m_pEdit->m_hWnd)
        m_pEdit->SetReadOnly(m_bReadOnly);
    m_bDelayReposition = FALSE;
}

BOOL CXTPControlEdit::Compare(CXTPControl* pOther)
{
    if (!CXTPControl::Compare(pOther))
        return FALSE;
    auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pOther);
    return pEdit && pEdit->m_nWidth == m_nWidth;
}

void CXTPControlEdit::SetHideFlags(DWORD dwFlags)
{
    SetEditHideFlags(m_pEdit, dwFlags);
}

void CXTPControlEdit::OnCalcDynamicSize(DWORD dwMode)
{
    XTPHideOnVerticalBars(this, dwMode);
}

void CXTPControlEdit::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    PX_Bool(pPX, "HasLabel", m_bLabel, FALSE);
    if (pPX->GetSchema() > 5)
        PX_Int(pPX, "Width", m_nWidth, 0);
    if (pPX->GetSchema() >= 8) {
        PX_Bool(pPX, "ReadOnly", m_bReadOnly, FALSE);
        if (pPX->IsLoading())
            SetReadOnly(m_bReadOnly);
    }
}

BOOL CXTPControlEdit::OnHookKeyDown(UINT nChar, LPARAM)
{
    if (!m_pEdit || !m_pEdit->m_hWnd)
        return 2;
    return HookKeyDownShared(m_pEdit, nChar);
}

void CXTPControlEdit::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
    if (!pParent && m_pEdit && m_pEdit->m_hWnd)
        m_pEdit->DestroyWindow();
}

void CXTPControlEdit::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pEdit = DYNAMIC_DOWNCAST(CXTPControlEdit, pControl)) {
        m_nWidth = pEdit->m_nWidth;
        SetEditText(pEdit->GetEditText());
        m_bLabel = pEdit->m_bLabel;
        SetReadOnly(pEdit->m_bReadOnly);
    }
    CXTPControl::Copy(pControl, bRecursive);
}

void CXTPControlEdit::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (IsCustomizeMode()) {
        CustomizeClick(pt);
        return;
    }
    if (!m_bEnabled || !m_pEdit || !m_pEdit->m_hWnd)
        return;
    if (bKeyboard && m_pEdit->HasFocus())
        OnExecute();
    else
        m_pEdit->SetFocus();
}

void CXTPControlEdit::OnMouseHover()
{
    if (!XTPMouseManager()->IsTrackingLocked())
        CXTPControl::OnMouseHover();
}

BOOL CXTPControlEdit::OnSetSelected(int bSelected)
{
    if (!CXTPControl::OnSetSelected(bSelected))
        return FALSE;
    OnHostDeselected(m_pEdit, bSelected);
    return TRUE;
}

void CXTPControlEdit::SetWidth(int nWidth)
{
    if (m_nWidth == nWidth)
        return;
    m_nWidth = nWidth;
    DelayLayoutParent();
}

HBRUSH CXTPControlEdit::OnEditCtlColor(CDC* pDC)
{
    if (!m_bEnabled)
        return nullptr;
    pDC->SetBkColor(::GetSysColor(COLOR_WINDOW));
    return ::GetSysColorBrush(COLOR_WINDOW);
}
