#include "platform/mfc/StatusBar.h"

#include "platform/mfc/Resource.h"
#include "platform/mfc/StatusBarCtrl.h"
#include "platform/mfc/res/FrameworkIds.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
    ON_MESSAGE(WM_SETFONT, OnSetFont)
END_MESSAGE_MAP()

namespace {

constexpr int kPaneMargin = 6; // room around a pane's text

// What a pane's update handler changes: its text, its disabled (empty) or
// popped-out look.
class CStatusCmdUI : public CCmdUI {
public:
    CStatusBar* Bar() const { return static_cast<CStatusBar*>(m_pOther); }
    int Index() const { return static_cast<int>(m_nIndex); }
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        UINT style = Bar()->GetPaneStyle(Index()) & ~SBPS_DISABLED;
        Bar()->SetPaneStyle(Index(), bOn ? style : style | SBPS_DISABLED);
    }
    void SetCheck(int nCheck) override
    {
        UINT style = Bar()->GetPaneStyle(Index()) & ~SBPS_POPOUT;
        Bar()->SetPaneStyle(Index(), nCheck ? style | SBPS_POPOUT : style);
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR lpszText) override { Bar()->SetPaneText(Index(), lpszText); }
};

} // namespace

CStatusBar::CStatusBar()
{
    // The control draws its own borders.
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) { return CreateEx(pParentWnd, 0, dwStyle, nID); }

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    tavrin::controls::RegisterStatusBar();
    // The bar styles stay with the bar; the frame's layout places the control.
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD windowStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER |
                        CCS_NORESIZE;
    return CWnd::Create(STATUSCLASSNAME, nullptr, windowStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

CStatusBarCtrl& CStatusBar::GetStatusBarCtrl() const
{
    // A wrapper of the control's handle (temporary, freed at idle time).
    return *CWnd::FromHandleAs<CStatusBarCtrl>(m_hWnd);
}

int CStatusBar::TextWidth(LPCTSTR lpszText) const
{
    HDC hdc = ::GetDC(m_hWnd);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(hdc, font) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32A(hdc, lpszText, static_cast<int>(std::strlen(lpszText)), &size);
    if (old)
        ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    return size.cx;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    m_panes.assign(static_cast<size_t>(nIDCount), Pane{0, 0, SBPS_NORMAL, CString()});
    m_nCount = nIDCount;
    BOOL bResult = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane& pane = m_panes[static_cast<size_t>(i)];
        pane.nID = lpIDArray[i];
        if (pane.nID == ID_SEPARATOR)
            continue;
        if (!AfxLoadString(pane.nID, pane.strText)) {
            bResult = FALSE; // a pane without its string stays empty
            continue;
        }
        pane.cxText = TextWidth(pane.strText);
    }
    if (nIDCount > 0 && m_panes[0].nID == ID_SEPARATOR)
        m_panes[0].nStyle |= SBPS_STRETCH | SBPS_NOBORDERS;
    UpdateAllPanes(TRUE, TRUE);
    return bResult;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nCount ? m_panes[static_cast<size_t>(nIndex)].nID : 0;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_panes[static_cast<size_t>(i)].nID == nIDFind)
            return i;
    }
    return -1;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{0, 0, 0, 0};
    if (nIndex >= 0 && nIndex < m_nCount)
        ::SendMessageA(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nCount ? m_panes[static_cast<size_t>(nIndex)].strText : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return FALSE;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    CString text(lpszNewText ? lpszNewText : "");
    if (pane.strText == text)
        return TRUE;
    pane.strText = text;
    if (bUpdate && m_hWnd) {
        // A disabled pane shows nothing.
        LPCTSTR shown = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCTSTR>(pane.strText);
        DefWindowProc(SB_SETTEXT, static_cast<WPARAM>(nIndex) | (pane.nStyle & 0xFF00),
                      reinterpret_cast<LPARAM>(shown));
    }
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    if (nIndex < 0 || nIndex >= m_nCount) {
        nID = nStyle = 0;
        cxWidth = 0;
        return;
    }
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    nID = pane.nID;
    nStyle = pane.nStyle;
    cxWidth = pane.cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = std::max(0, cxWidth);
    UpdateAllPanes(TRUE, TRUE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nCount ? m_panes[static_cast<size_t>(nIndex)].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= m_nCount)
        return;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    if (pane.nStyle == nStyle)
        return;
    bool rects = ((pane.nStyle ^ nStyle) & SBPS_STRETCH) != 0;
    pane.nStyle = nStyle;
    UpdateAllPanes(rects, TRUE);
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (!m_hWnd || m_panes.empty())
        return;
    if (bUpdateRects) {
        CRect client;
        GetClientRect(&client);
        int borders[3] = {0, 0, 0};
        DefWindowProc(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        // Fixed panes take their text's width; the first stretching one the rest.
        int fixed = 0;
        int stretch = -1;
        for (size_t i = 0; i < m_panes.size(); ++i) {
            if ((m_panes[i].nStyle & SBPS_STRETCH) && stretch < 0)
                stretch = static_cast<int>(i);
            else
                fixed += m_panes[i].cxText + kPaneMargin;
            if (i + 1 < m_panes.size())
                fixed += borders[2];
        }
        std::vector<int> rights(m_panes.size());
        int x = client.left;
        for (size_t i = 0; i < m_panes.size(); ++i) {
            int width = static_cast<int>(i) == stretch ? std::max(0, client.Width() - fixed)
                                                       : m_panes[i].cxText + kPaneMargin;
            x += width;
            rights[i] = x;
            x += borders[2];
        }
        DefWindowProc(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    }
    if (bUpdateText) {
        for (size_t i = 0; i < m_panes.size(); ++i) {
            const Pane& pane = m_panes[i];
            LPCTSTR shown = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCTSTR>(pane.strText);
            DefWindowProc(SB_SETTEXT, i | (pane.nStyle & 0xFF00), reinterpret_cast<LPARAM>(shown));
        }
    }
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    // The control's height: a line of its font and a little room inside its
    // vertical borders, at least the minimum height.
    HDC hdc = ::GetDC(m_hWnd);
    HFONT font = m_hWnd ? reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)) : nullptr;
    HGDIOBJ old = font ? ::SelectObject(hdc, font) : nullptr;
    TEXTMETRICA tm{};
    ::GetTextMetricsA(hdc, &tm);
    if (old)
        ::SelectObject(hdc, old);
    ::ReleaseDC(m_hWnd, hdc);
    int borders[3] = {0, 2, 2};
    if (m_hWnd)
        DefWindowProc(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    size.cy = std::max<int>(tm.tmHeight + 2, m_nMinHeight) + 2 * borders[1];
    return size;
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    if (nIndex < 0)
        return FALSE;
    SetPaneText(nIndex, reinterpret_cast<LPCTSTR>(lParam));
    return TRUE;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    CString text = nIndex >= 0 ? GetPaneText(nIndex) : CString();
    auto* buffer = reinterpret_cast<LPTSTR>(lParam);
    if (!buffer || wParam == 0)
        return 0;
    return tavrin::win::CopyWholeCharacters(std::string(static_cast<LPCTSTR>(text)), buffer,
                                            static_cast<int>(wParam));
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    return nIndex >= 0 ? GetPaneText(nIndex).GetLength() : 0;
}

LRESULT CStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM)
{
    m_nMinHeight = static_cast<int>(wParam);
    LRESULT result = Default();
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
    return result;
}

LRESULT CStatusBar::OnSetFont(WPARAM, LPARAM)
{
    LRESULT result = Default();
    // Text widths follow the font.
    for (Pane& pane : m_panes) {
        if (pane.nID != ID_SEPARATOR)
            pane.cxText = TextWidth(pane.strText);
    }
    UpdateAllPanes(TRUE, FALSE);
    return result;
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_nCount);
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        if (state.m_nID == ID_SEPARATOR)
            continue;
        // The bar's own handlers first; a pane nobody handles stays as it is.
        if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
            continue;
        state.DoUpdate(pTarget, FALSE);
    }
}
