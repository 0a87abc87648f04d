#include "toolkit/commandbars/XTPControlComboBox.h"

#include "platform/mfc/Archive.h"
#include "platform/controls/ListBox.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControlListBox.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPropExchange.h"

#include <algorithm>

namespace {

// The list shows at most this many rows, and at least one.
constexpr int kMaxRows = 12;
// The list's window: tool window and static edge; popup, clip children,
// border, vertical scroll bar.
constexpr DWORD kListExStyle = 0x20080;
constexpr DWORD kListStyle = 0x82A00000;

CXTPControlComboBoxList* ListOf(CXTPCommandBar* pBar)
{
    return DYNAMIC_DOWNCAST(CXTPControlComboBoxList, pBar);
}

} // namespace

// The drop-down list ---------------------------------------------------------------

IMPLEMENT_SERIAL(CXTPControlComboBoxList, CXTPPopupBar, VERSIONABLE_SCHEMA | 8)

CXTPControlComboBoxList::CXTPControlComboBoxList()
{
    m_barPosition = xtpBarListBox;
    m_nMRUWidth = 0;
    m_bShowShadow = FALSE;
    CreateListBox();
}

CXTPControlComboBoxList::~CXTPControlComboBoxList()
{
    if (m_bMouseLocked)
        XTPMouseManager()->UnlockTracking();
    if (m_hWnd)
        DestroyWindow();
}

BOOL CXTPControlComboBoxList::CreateListBox()
{
    if (m_hWnd)
        return TRUE;
    tavrin::controls::RegisterListBox();
    return CreateEx(kListExStyle, WC_LISTBOX, "", kListStyle, CRect(0, 0, 0, 0), nullptr, 0);
}

int CXTPControlComboBoxList::GetCount() const
{
    return m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, LB_GETCOUNT, 0, 0)) : 0;
}

int CXTPControlComboBoxList::GetCurSel() const
{
    return m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0)) : -1;
}

BOOL CXTPControlComboBoxList::Popup(CXTPControl* pControl, BOOL bSelectFirst)
{
    auto* pCombo = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl);
    if (!pCombo || (!m_hWnd && !CreateListBox()))
        return FALSE;
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        SetFont(pPaintManager->GetIconFont(), FALSE);
    m_pCombo = pCombo;
    m_pControlPopup = pCombo;
    if (CWnd* pTarget = GetCommandTarget())
        if (::IsWindow(pTarget->m_hWnd))
            pTarget->SendMessage(WM_POPUP_OPENING, 0, reinterpret_cast<LPARAM>(this));
    // Hot tracking of a list without edit changes nothing until chosen.
    if (!pCombo->GetEditCtrl())
        pCombo->m_nLastSel = GetCurSel();
    SetTrackingMode(TRUE, bSelectFirst, FALSE);
    UpdateFlags();
    UpdateLocation(CalcDynamicLayout(0, 0));
    EnableWindow(TRUE);
    return TRUE;
}

CSize CXTPControlComboBoxList::CalcDynamicLayout(int, DWORD)
{
    const int nRows = std::max(1, std::min(GetCount(), kMaxRows));
    const int nItemHeight = m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, LB_GETITEMHEIGHT, 0, 0)) : 0;
    int nWidth = m_nMRUWidth;
    if (nWidth <= 0)
        nWidth = m_pCombo ? m_pCombo->GetRect().Width() : 0;
    return CSize(nWidth, nRows * nItemHeight + 4);
}

BOOL CXTPControlComboBoxList::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard)
{
    const BOOL bResult = CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
    if (bMode) {
        if (bResult && !m_bMouseLocked) {
            XTPMouseManager()->LockTracking();
            m_bMouseLocked = TRUE;
        }
        return bResult;
    }
    if (!bResult)
        return bResult;
    InternalAddRef();
    if (m_bMouseLocked) {
        XTPMouseManager()->UnlockTracking();
        m_bMouseLocked = FALSE;
    }
    if (m_hWnd)
        ShowWindow(SW_HIDE);
    CXTPControlComboBox* pCombo = m_pCombo;
    if (pCombo && !pCombo->GetEditCtrl() && pCombo->m_nLastSel != GetCurSel())
        ::SendMessageA(m_hWnd, LB_SETCURSEL, static_cast<WPARAM>(pCombo->m_nLastSel), 0);
    if (CXTPCommandBar* pParent = GetParentCommandBar())
        pParent->SetPopuped(-1);
    m_pCombo = nullptr;
    m_pControlPopup = nullptr;
    if (pCombo)
        pCombo->RedrawParent();
    InternalRelease();
    return bResult;
}

BOOL CXTPControlComboBoxList::OnKeyDown(UINT nChar)
{
    switch (nChar) {
    case VK_ESCAPE:
        return ProcessSpecialKey(xtpKeyEscape);
    case VK_TAB:
        return FALSE;
    case VK_RETURN:
        if (m_pCombo)
            m_pCombo->OnExecute();
        return TRUE;
    default: {
        const int nOld = GetCurSel();
        ::SendMessageA(m_hWnd, WM_KEYDOWN, nChar, 0);
        if (GetCurSel() != nOld && m_pCombo)
            m_pCombo->OnSelChanged();
        return TRUE;
    }
    }
}

int CXTPControlComboBoxList::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                                           LRESULT& lResult)
{
    if (nMessage == WM_MOUSEWHEEL && m_bTracking && m_hWnd) {
        ::SendMessageA(m_hWnd, WM_MOUSEWHEEL, wParam, lParam);
        return 1;
    }
    return CXTPPopupBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);
}

void CXTPControlComboBoxList::DrawCommandBar(CDC* pDC, CRect rcClipBox)
{
    (void)rcClipBox;
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(-rc.left, -rc.top);
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const COLORREF clrOuter = pPaintManager ? pPaintManager->GetColor(43) : ::GetSysColor(COLOR_WINDOWFRAME);
    pDC->Draw3dRect(&rc, clrOuter, clrOuter);
    rc.DeflateRect(1, 1);
    const COLORREF clrWindow = ::GetSysColor(COLOR_WINDOW);
    pDC->Draw3dRect(&rc, clrWindow, clrWindow);
}

LRESULT CXTPControlComboBoxList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
        // The list box paints itself.
        return DefWindowProc(message, wParam, lParam);
    case WM_NCPAINT: {
        const LRESULT lResult = DefWindowProc(message, wParam, lParam);
        if (HDC hdc = ::GetWindowDC(m_hWnd)) {
            DrawCommandBar(CDC::FromHandle(hdc), CRect(0, 0, 0, 0));
            ::ReleaseDC(m_hWnd, hdc);
        }
        return lResult;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE: {
        const DWORD dwItem = static_cast<DWORD>(DefWindowProc(LB_ITEMFROMPOINT, 0, lParam));
        if (HIWORD(dwItem) == 0 && static_cast<int>(LOWORD(dwItem)) != GetCurSel())
            DefWindowProc(LB_SETCURSEL, LOWORD(dwItem), 0);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_LBUTTONUP:
        if (CXTPControlComboBox* pCombo = m_pCombo) {
            pCombo->InternalAddRef();
            pCombo->OnSelChanged();
            pCombo->OnExecute();
            pCombo->InternalRelease();
        }
        return 0;
    default:
        return CXTPPopupBar::WindowProc(message, wParam, lParam);
    }
}

void CXTPControlComboBoxList::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPPopupBar::DoPropExchange(pPX);
    if (pPX->IsLoading())
        CreateListBox();
    XTPExchangeListBoxItems(pPX, m_hWnd);
}

void CXTPControlComboBoxList::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive)
{
    CXTPPopupBar::Copy(pCommandBar, bRecursive);
    auto* pList = DYNAMIC_DOWNCAST(CXTPControlComboBoxList, pCommandBar);
    if (!pList || !pList->m_hWnd || !CreateListBox())
        return;
    XTPCopyListBoxItems(m_hWnd, pList->m_hWnd);
}

// The combo box ------------------------------------------------------------------------

IMPLEMENT_SERIAL(CXTPControlComboBox, CXTPControlPopup, VERSIONABLE_SCHEMA | 8)

CXTPControlComboBox::CXTPControlComboBox()
{
    m_controlType = xtpControlComboBox;
    auto* pList = new CXTPControlComboBoxList;
    SetCommandBar(pList);
    pList->InternalRelease();
}

CXTPControlComboBox::~CXTPControlComboBox()
{
    if (m_bMouseLocked)
        XTPMouseManager()->UnlockTracking();
    delete m_pEdit;
}

void CXTPControlComboBox::SetLabelWidth(int nWidth)
{
    if (m_nLabelWidth != nWidth) {
        m_nLabelWidth = nWidth;
        m_bDelayReposition = TRUE;
    }
}

void CXTPControlComboBox::SetDropDownWidth(int nWidth)
{
    if (m_nThumbWidth != nWidth) {
        m_nThumbWidth = nWidth;
        m_bDelayReposition = TRUE;
    }
}


int CXTPControlComboBox::AddString(LPCTSTR lpszText)
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    if (!pList || !pList->m_hWnd)
        return -1;
    return static_cast<int>(pList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszText)));
}

int CXTPControlComboBox::InsertString(int nIndex, LPCTSTR lpszText)
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    if (!pList || !pList->m_hWnd)
        return -1;
    return static_cast<int>(
        pList->SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}

int CXTPControlComboBox::FindStringExact(int nStart, LPCTSTR lpszText) const
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    if (!pList || !pList->m_hWnd)
        return -1;
    return static_cast<int>(
        pList->SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(nStart), reinterpret_cast<LPARAM>(lpszText)));
}

int CXTPControlComboBox::GetCount() const
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    return pList ? pList->GetCount() : 0;
}

int CXTPControlComboBox::GetCurSel() const
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    return pList ? pList->GetCurSel() : -1;
}

void CXTPControlComboBox::SetCurSel(int nIndex)
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    if (!pList || !pList->m_hWnd || GetCurSel() == nIndex)
        return;
    pList->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nIndex));
    OnSelChanged();
}

CString CXTPControlComboBox::GetListBoxText() const
{
    CString strText;
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    const int nSel = GetCurSel();
    if (!pList || !pList->m_hWnd || nSel < 0)
        return strText;
    const int nLength = static_cast<int>(pList->SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nSel)));
    if (nLength <= 0)
        return strText;
    pList->SendMessage(LB_GETTEXT, static_cast<WPARAM>(nSel),
                       reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
    strText.ReleaseBuffer(nLength);
    return strText;
}

BOOL CXTPControlComboBox::IsDroppedDown() const
{
    CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
    return pList && pList->GetTrackingMode() && pList->GetComboBox() == this;
}

void CXTPControlComboBox::SetDropDownListStyle(BOOL bDropDown)
{
    m_bDropDown = bDropDown;
    if (bDropDown) {
        CreateEditWindow();
    } else if (m_pEdit) {
        if (m_pEdit->m_hWnd)
            m_pEdit->DestroyWindow();
        delete m_pEdit;
        m_pEdit = nullptr;
    }
    m_bDelayReposition = TRUE;
    DelayLayoutParent();
}

void CXTPControlComboBox::CreateEditWindow()
{
    if (m_pEdit)
        return;
    m_pEdit = new CXTPEdit;
    m_pEdit->SetHost(this);
}

CString CXTPControlComboBox::GetEditText() const
{
    return const_cast<CXTPControlComboBox*>(this)->ReadEditText(m_pEdit);
}

void CXTPControlComboBox::SetEditText(const CString& strText)
{
    WriteEditText(m_pEdit, strText);
}

void CXTPControlComboBox::OnSelChanged()
{
    SetEditText(GetListBoxText());
    RedrawParent();
}

void CXTPControlComboBox::SetEnabled(BOOL bEnabled)
{
    SetEditEnabled(m_pEdit, bEnabled);
}

void CXTPControlComboBox::SetRect(CRect rcControl)
{
    if (m_rcControl == rcControl && (!m_pEdit || (m_pEdit->m_hWnd && m_pParent &&
                                                  ::GetParent(m_pEdit->m_hWnd) == m_pParent->m_hWnd)) &&
        !m_bDelayReposition)
        return;
    m_rcControl = rcControl;
    if (m_pEdit) {
        const CRect rcEdit(rcControl.left + m_nLabelWidth + 4, rcControl.top + 3,
                           rcControl.right - 3 - m_nThumbWidth, rcControl.bottom - 3);
        XTPPlaceEditWindow(this, m_pEdit, m_strEditText, rcEdit);
    }
    m_bDelayReposition = FALSE;
}

BOOL CXTPControlComboBox::Compare(CXTPControl* pOther)
{
    if (!CXTPControlPopup::Compare(pOther))
        return FALSE;
    auto* pCombo = DYNAMIC_DOWNCAST(CXTPControlComboBox, pOther);
    return pCombo && pCombo->m_nWidth == m_nWidth;
}

void CXTPControlComboBox::SetHideFlags(DWORD dwFlags)
{
    SetEditHideFlags(m_pEdit, dwFlags);
}

void CXTPControlComboBox::OnExecute()
{
    m_nLastSel = GetCurSel();
    CXTPControlPopup::OnExecute();
}

void CXTPControlComboBox::OnCalcDynamicSize(DWORD dwMode)
{
    XTPHideOnVerticalBars(this, dwMode);
}

void CXTPControlComboBox::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControlPopup::DoPropExchange(pPX);
    PX_Bool(pPX, "DropDown", m_bDropDown, TRUE);
    PX_Int(pPX, "Width", m_nWidth, 0);
    PX_Int(pPX, "ComboStyle", m_comboStyle, 0);
    if (pPX->IsLoading())
        SetDropDownListStyle(m_bDropDown);
}

BOOL CXTPControlComboBox::OnHookKeyDown(UINT nChar, LPARAM)
{
    if (!m_pEdit || !m_pEdit->m_hWnd)
        return 1;
    if (nChar == VK_F4) {
        OnClick(FALSE, CPoint(0, 0));
        return 2;
    }
    return HookKeyDownShared(m_pEdit, nChar);
}

void CXTPControlComboBox::SetParent(CXTPCommandBar* pParent)
{
    const BOOL bNewBar = pParent && pParent != m_pParent;
    m_pParent = pParent;
    if (bNewBar) {
        CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
        CWnd* pSite = pParent->GetSite();
        if (pList && pList->m_hWnd && pSite && ::IsWindow(pSite->m_hWnd))
            ::SetWindowLongPtrA(pList->m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(pSite->m_hWnd));
    }
    if (!pParent && m_pEdit && m_pEdit->m_hWnd)
        m_pEdit->DestroyWindow();
}

void CXTPControlComboBox::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pCombo = DYNAMIC_DOWNCAST(CXTPControlComboBox, pControl)) {
        m_comboStyle = pCombo->m_comboStyle;
        m_nWidth = pCombo->m_nWidth;
        SetDropDownListStyle(pCombo->m_pEdit != nullptr);
        SetEditText(pCombo->GetEditText());
        // The list is this combo's own: its items are copied, never shared.
        CXTPControlButton::Copy(pControl, bRecursive);
        CXTPControlComboBoxList* pList = ListOf(m_pCommandBar);
        CXTPControlComboBoxList* pSource = ListOf(pCombo->m_pCommandBar);
        if (pList && pSource)
            pList->Copy(pSource, bRecursive);
        return;
    }
    CXTPControlPopup::Copy(pControl, bRecursive);
}

BOOL CXTPControlComboBox::OnSetPopup(BOOL bPopup)
{
    return CXTPControlPopup::OnSetPopup(bPopup);
}

void CXTPControlComboBox::OnClick(BOOL bKeyboard, CPoint pt)
{
    if (IsCustomizeMode()) {
        CustomizeClick(pt);
        return;
    }
    if (!m_bEnabled)
        return;
    if (bKeyboard && m_pEdit && m_pEdit->m_hWnd) {
        if (m_pEdit->HasFocus())
            OnExecute();
        else
            m_pEdit->SetFocus();
        return;
    }
    CXTPControlPopup::OnClick(bKeyboard, pt);
}

void CXTPControlComboBox::OnMouseHover()
{
    if (XTPMouseManager()->IsTrackingLocked())
        return;
    // Hovering never opens the list.
    CXTPControlButton::OnMouseHover();
}

BOOL CXTPControlComboBox::OnSetSelected(int bSelected)
{
    if (!CXTPControlPopup::OnSetSelected(bSelected))
        return FALSE;
    OnHostDeselected(m_pEdit, bSelected);
    return TRUE;
}

void CXTPControlComboBox::SetWidth(int nWidth)
{
    if (m_nWidth == nWidth)
        return;
    m_nWidth = nWidth;
    DelayLayoutParent();
}
