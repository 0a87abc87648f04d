#include "toolkit/commandbars/XTPControlListBox.h"

#include "platform/mfc/Archive.h"
#include "platform/controls/ListBox.h"
#include "platform/win/Input.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPControlEdit.h"

#include <algorithm>
#include <cstdio>

namespace {

// Popup, clip children, vertical scroll bar, notify; 0x8 multiple selection.
constexpr DWORD kListStyle = 0x82200001;
constexpr DWORD kListMultipleSel = 0x8;

CString ItemText(HWND hList, int nIndex)
{
    CString strText;
    const int nLength = static_cast<int>(::SendMessageA(hList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0));
    if (nLength <= 0)
        return strText;
    ::SendMessageA(hList, LB_GETTEXT, static_cast<WPARAM>(nIndex),
                   reinterpret_cast<LPARAM>(strText.GetBuffer(nLength + 1)));
    strText.ReleaseBuffer(nLength);
    return strText;
}

std::vector<CString> Items(HWND hList)
{
    std::vector<CString> items;
    if (!hList)
        return items;
    const int nCount = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i)
        items.push_back(ItemText(hList, i));
    return items;
}

void AppendItems(HWND hList, const std::vector<CString>& items)
{
    for (const CString& strItem : items)
        ::SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(strItem)));
}

} // namespace

void XTPExchangeListBoxItems(CXTPPropExchange* pPX, HWND hListBox)
{
    CXTPPropExchange* pSection = pPX->GetSection("Items");
    if (!pSection)
        return;
    char szName[32];
    if (pPX->IsStoring()) {
        const std::vector<CString> items = Items(hListBox);
        pSection->WriteCount(static_cast<DWORD>(items.size()));
        for (size_t i = 0; i < items.size(); ++i) {
            std::snprintf(szName, sizeof(szName), "Item%i", static_cast<int>(i));
            CString strItem = items[i];
            PX_String(pSection, szName, strItem, "");
        }
    } else {
        const DWORD nCount = pSection->ReadCount();
        std::vector<CString> items;
        for (DWORD i = 0; i < nCount; ++i) {
            std::snprintf(szName, sizeof(szName), "Item%i", static_cast<int>(i));
            CString strItem;
            // A damaged stream ends the list.
            if (!PX_String(pSection, szName, strItem, ""))
                break;
            items.push_back(strItem);
        }
        if (hListBox)
            AppendItems(hListBox, items);
    }
    delete pSection;
}

void XTPCopyListBoxItems(HWND hDest, HWND hSource)
{
    if (hDest && hSource)
        AppendItems(hDest, Items(hSource));
}

// The window ------------------------------------------------------------------------

CXTPControlListBoxCtrl::~CXTPControlListBoxCtrl()
{
    if (m_hWnd)
        DestroyWindow();
}

LRESULT CXTPControlListBoxCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (m_pControl)
            m_pControl->OnListMouseMove(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return 0;
    case WM_LBUTTONUP:
        if (m_pControl)
            m_pControl->OnExecute();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_PAINT:
        XTPPaintBuffered(this, ::GetSysColor(COLOR_WINDOW));
        return 0;
    default:
        return CListBox::WindowProc(message, wParam, lParam);
    }
}

// The control -------------------------------------------------------------------------

IMPLEMENT_SERIAL(CXTPControlListBox, CXTPControl, VERSIONABLE_SCHEMA | 8)

CXTPControlListBox::CXTPControlListBox()
{
    CreateListBox();
}

CXTPControlListBox::~CXTPControlListBox()
{
    if (m_bMouseLocked)
        XTPMouseManager()->UnlockTracking();
    delete m_pListBox;
}

void CXTPControlListBox::CreateListBox()
{
    std::vector<CString> items;
    HWND hParent = nullptr;
    if (m_pListBox) {
        items = Items(m_pListBox->m_hWnd);
        if (m_pListBox->m_hWnd && (m_pListBox->GetStyle() & WS_CHILD))
            hParent = ::GetParent(m_pListBox->m_hWnd);
        delete m_pListBox;
        m_pListBox = nullptr;
    }
    tavrin::controls::RegisterListBox();
    m_pListBox = new CXTPControlListBoxCtrl(this);
    const DWORD dwStyle = kListStyle | (m_bMultiplSel ? kListMultipleSel : 0);
    if (!m_pListBox->CWnd::CreateEx(0, WC_LISTBOX, "", dwStyle, CRect(0, 0, 0, 0), nullptr, 0))
        return;
    AppendItems(m_pListBox->m_hWnd, items);
    if (hParent)
        SetParent(m_pParent);
    m_rcControl.SetRectEmpty();
}

CSize CXTPControlListBox::GetIconSize() const
{
    return CXTPCommandBar::GetCommandBarsIconSize(GetCommandBars(), FALSE);
}

void CXTPControlListBox::SetMultiplSel(BOOL bMultiplSel)
{
    m_bMultiplSel = bMultiplSel;
    CreateListBox();
    DelayLayoutParent();
}

void CXTPControlListBox::SetEnabled(BOOL bEnabled)
{
    if (m_bEnabled == bEnabled)
        return;
    m_bEnabled = bEnabled;
    if (m_pListBox && m_pListBox->m_hWnd)
        m_pListBox->EnableWindow(bEnabled);
    RedrawParent();
}

void CXTPControlListBox::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
    if (!m_pListBox || !m_pListBox->m_hWnd)
        return;
    if (pParent && ::IsWindow(pParent->m_hWnd)) {
        m_pListBox->ModifyStyle(WS_POPUP, WS_CHILD);
        m_pListBox->SetParent(pParent);
    }
}

void CXTPControlListBox::SetRect(CRect rcControl)
{
    if (!m_pListBox || !m_pListBox->m_hWnd)
        return;
    const BOOL bParented = m_pParent && ::GetParent(m_pListBox->m_hWnd) == m_pParent->m_hWnd;
    if (m_rcControl == rcControl && bParented)
        return;
    m_rcControl = rcControl;
    m_pListBox->EnableWindow(m_bEnabled);
    SetParent(m_pParent);
    m_pListBox->MoveWindow(rcControl, FALSE);
    m_pListBox->ShowWindow(m_dwHideFlags ? SW_HIDE : SW_SHOWNA);
}

CSize CXTPControlListBox::GetSize(CDC*)
{
    if (!m_pListBox || !m_pListBox->m_hWnd)
        return CSize(m_nWidth, 0);
    if (CXTPPaintManager* pPaintManager = GetPaintManager())
        m_pListBox->SetFont(pPaintManager->GetIconFont(), FALSE);
    const int nLines = std::min(std::max(m_pListBox->GetCount(), m_nListBoxLinesMin), m_nListBoxLinesMax);
    return CSize(m_nWidth, nLines * m_pListBox->GetItemHeight(0));
}

void CXTPControlListBox::OnCalcDynamicSize(DWORD)
{
    if (m_pListBox && m_pListBox->m_hWnd) {
        if (m_bMultiplSel)
            m_pListBox->SelItemRange(FALSE, 0, std::max(0, m_pListBox->GetCount() - 1));
        else
            m_pListBox->SetCurSel(-1);
    }
    m_nCurrent = -1;
    Notify(XTP_LBN_POPUP);
}

int CXTPControlListBox::GetCurrentItem() const
{
    if (!m_pListBox || !m_pListBox->m_hWnd || m_pListBox->GetCount() == 0)
        return -1;
    // The caret of a cleared list still sits on line 0: the current line is our own.
    return m_bMultiplSel ? m_nCurrent : m_pListBox->GetCurSel();
}

void CXTPControlListBox::ApplySelectionRule()
{
    if (m_bMultiplSel && m_pListBox && m_pListBox->m_hWnd) {
        const int nCount = m_pListBox->GetCount();
        const int nCurrent = GetCurrentItem();
        if (nCount > 0)
            m_pListBox->SelItemRange(FALSE, 0, nCount - 1);
        if (nCurrent >= 0 && m_pListBox->GetSel(nCurrent) >= 0)
            m_pListBox->SelItemRange(TRUE, 0, nCurrent);
    }
    Notify(XTP_LBN_SELCHANGE);
}

void CXTPControlListBox::OnListMouseMove(CPoint point)
{
    if (!m_pListBox || !m_pListBox->m_hWnd)
        return;
    BOOL bOutside = TRUE;
    const int nItem = static_cast<int>(m_pListBox->ItemFromPoint(point, bOutside));
    if (!bOutside && nItem != GetCurrentItem()) {
        if (m_bMultiplSel) {
            m_nCurrent = nItem;
            m_pListBox->SetCaretIndex(nItem, FALSE);
        } else
            m_pListBox->SetCurSel(nItem);
        ApplySelectionRule();
    }
    if (m_pParent && ::IsWindow(m_pParent->m_hWnd)) {
        CPoint pt = point;
        ::MapWindowPoints(m_pListBox->m_hWnd, m_pParent->m_hWnd, &pt, 1);
        m_pParent->OnMouseMove(0, pt);
    }
}

void CXTPControlListBox::Notify(UINT nCode)
{
    CWnd* pTarget = m_pParent ? m_pParent->GetCommandTarget() : nullptr;
    if (!pTarget || !::IsWindow(pTarget->m_hWnd))
        return;
    BarControlNotifyInfo info{{nullptr, static_cast<UINT_PTR>(m_nId), nCode}, this};
    pTarget->SendMessage(WM_BAR_CONTROL_NOTIFY, static_cast<WPARAM>(m_nId), reinterpret_cast<LPARAM>(&info));
}

BOOL CXTPControlListBox::OnHookKeyDown(UINT nChar, LPARAM)
{
    if (!m_pListBox || !m_pListBox->m_hWnd)
        return 1;
    const int nOld = GetCurrentItem();
    m_pListBox->SendMessage(WM_KEYDOWN, nChar, 0);
    if (m_bMultiplSel)
        m_nCurrent = m_pListBox->GetCaretIndex();
    if (GetCurrentItem() != nOld)
        ApplySelectionRule();
    return 1;
}

void CXTPControlListBox::OnClick(BOOL bKeyboard, CPoint)
{
    if (bKeyboard)
        OnExecute();
}

BOOL CXTPControlListBox::OnSetSelected(int bSelected)
{
    if (!CXTPControl::OnSetSelected(bSelected))
        return FALSE;
    if (m_pParent)
        m_pParent->SetKeyboardControl(bSelected ? this : nullptr);
    if (bSelected && !m_bMouseLocked) {
        XTPMouseManager()->LockTracking();
        m_bMouseLocked = TRUE;
    } else if (!bSelected && m_bMouseLocked) {
        XTPMouseManager()->UnlockTracking();
        m_bMouseLocked = FALSE;
    }
    return TRUE;
}

void CXTPControlListBox::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    PX_Int(pPX, "Width", m_nWidth, 100);
    const BOOL bMultiplSel = m_bMultiplSel;
    PX_Bool(pPX, "MultiplSel", m_bMultiplSel, FALSE);
    if (pPX->IsLoading() && bMultiplSel != m_bMultiplSel)
        CreateListBox();
    PX_Int(pPX, "ListBoxLinesMax", m_nListBoxLinesMax, 12);
    PX_Int(pPX, "ListBoxLinesMin", m_nListBoxLinesMin, 1);
    XTPExchangeListBoxItems(pPX, m_pListBox ? m_pListBox->m_hWnd : nullptr);
}

void CXTPControlListBox::Copy(CXTPControl* pControl, BOOL bRecursive)
{
    if (auto* pList = DYNAMIC_DOWNCAST(CXTPControlListBox, pControl)) {
        m_nWidth = pList->m_nWidth;
        m_bMultiplSel = pList->m_bMultiplSel;
        m_nListBoxLinesMax = pList->m_nListBoxLinesMax;
        m_nListBoxLinesMin = pList->m_nListBoxLinesMin;
        if (m_pListBox)
            m_pListBox->ResetContent();
        CreateListBox();
        if (m_pListBox && pList->m_pListBox)
            XTPCopyListBoxItems(m_pListBox->m_hWnd, pList->m_pListBox->m_hWnd);
    }
    CXTPControl::Copy(pControl, bRecursive);
}
