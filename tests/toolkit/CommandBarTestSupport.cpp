#include "tests/toolkit/CommandBarTestSupport.h"

#include "platform/win/WindowSurface.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

namespace tavrin::test {

CSize TestPaintManager::SizeOf(CXTPControl* pControl) const
{
    auto it = m_sizes.find(pControl->GetID());
    return it != m_sizes.end() ? it->second : CSize(40, 22);
}

CSize TestPaintManager::DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    return DrawControlToolBarParent(pDC, pControl, bDraw);
}

CSize TestPaintManager::DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw)
{
    if (bDraw) {
        ++m_nDrawn;
        DrawControlEntry(pDC, pControl);
    }
    return SizeOf(pControl);
}

void TestPaintManager::FillCommandBar(CDC* pDC, CXTPCommandBar* pBar)
{
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(&rc, kBarFill);
}

int TestPaintManager::DrawControlEntry(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bPressed,
                                       BOOL bChecked, BOOL, int)
{
    COLORREF clr = kControlFill;
    if (!bEnabled)
        clr = kDisabledFill;
    else if (bPressed)
        clr = kPressedFill;
    else if (bSelected)
        clr = kSelectedFill;
    else if (bChecked)
        clr = kCheckedFill;
    pDC->FillSolidRect(&rc, clr);
    return TRANSPARENT;
}

ScopedTestTheme::ScopedTestTheme() : m_pTheme(new TestPaintManager)
{
    CXTPPaintManager::SetCustomTheme(m_pTheme);
}

ScopedTestTheme::~ScopedTestTheme()
{
    // The global held the one reference; replacing it released it.
    if (XTPPaintManager() == m_pTheme)
        CXTPPaintManager::SetCustomTheme(nullptr);
}

TestSite::TestSite()
{
    CreateEx(0, AfxRegisterWndClass(0), "站点", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
             nullptr);
}

TestSite::~TestSite()
{
    if (m_hWnd)
        DestroyWindow();
}

std::vector<UINT> TestSite::Messages(UINT message) const
{
    std::vector<UINT> out;
    for (const SiteMessage& m : m_messages)
        if (m.message == message)
            out.push_back(static_cast<UINT>(m.wParam));
    return out;
}

LRESULT TestSite::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Commands go on to the frame's handlers; the bars' own messages and
    // the prompts stop here.
    const bool bSwallowed = (message >= WM_BAR_CONTROL_NOTIFY && message <= WM_POPUP_CLOSED) ||
                            message == WM_SETMESSAGESTRING || message == WM_POPMESSAGESTRING;
    const bool bRecorded = bSwallowed || message == WM_COMMAND;
    if (bRecorded) {
        SiteMessage m{message, wParam, lParam, CString()};
        if (message == WM_SETMESSAGESTRING && lParam)
            m.text = reinterpret_cast<LPCTSTR>(lParam);
        m_messages.push_back(m);
    }
    LRESULT result = 0;
    if (m_handler && m_handler(message, wParam, lParam, &result))
        return result;
    if (bSwallowed)
        return 0;
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

IMPLEMENT_DYNCREATE(TestBar, CXTPCommandBar)

TestBar::TestBar()
{
    m_barPosition = xtpBarTop;
}

BOOL TestBar::CreateIn(CWnd* pParent, CRect rc)
{
    return CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE, rc, pParent, 100);
}

void TestBar::OnRecalcLayout()
{
    ++m_nLayouts;
    if (!m_hWnd)
        return;
    CRect rc;
    GetClientRect(&rc);
    CClientDC dc(this);
    m_pControls->CalcDynamicSize(&dc, rc.Width(), LM_HORZDOCK | LM_COMMIT | LM_HORZ, CRect(2, 2, 2, 2));
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

LRESULT DisplayHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        m_commands.push_back(LOWORD(wParam));
    if (message == WM_TIMER && wParam == kTimerId && m_onTimer) {
        m_onTimer();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT HoverBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) {
        const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        CXTPControl* pControl = GetControls()->HitTest(pt);
        if (SetSelected(pControl ? pControl->GetIndex() : -1))
            Invalidate(FALSE);
        return 0;
    }
    return TestBar::WindowProc(message, wParam, lParam);
}

bool ShowsOwnSurface(const Surface& shot, HWND hwnd)
{
    auto own = win::GetWindowSurface(hwnd);
    if (!own || own->Width() > shot.Width() || own->Height() > shot.Height())
        return false;
    for (int y = 0; y < own->Height(); ++y)
        for (int x = 0; x < own->Width(); ++x)
            if ((shot.GetPixel(x, y) & 0xFFFFFF) != (own->GetPixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

} // namespace tavrin::test
