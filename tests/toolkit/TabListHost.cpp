#include "tests/toolkit/TabListHost.h"

#include "platform/base/Clock.h"
#include "platform/controls/Header.h"
#include "platform/win/Input.h"
#include "toolkit/controls/XTTabBase.h"

namespace tavrin::test {

BEGIN_MESSAGE_MAP(CTabListHost, CWnd)
    ON_MESSAGE(WM_TAB_SELCHANGING, OnTabSelChanging)
    ON_MESSAGE(WM_TAB_SELCHANGE, OnTabSelChange)
    ON_MESSAGE(WM_APP, OnStep)
    ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL CTabListHost::CreateHost(int x, int y, int cx, int cy, DWORD dwStyle)
{
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW),
                                      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)));
    if (!CreateEx(0, cls, "host", dwStyle, x, y, cx, cy, nullptr, nullptr))
        return FALSE;
    ::SetForegroundWindow(m_hWnd);
    PumpPending();
    return TRUE;
}

void CTabListHost::Stage(std::vector<std::function<void()>> steps)
{
    m_steps = std::move(steps);
    m_nextStep = 0;
    // A timer comes only once the queue is empty: after pending input, so
    // inside the modal loop that input opens.
    SetTimer(kStepTimer, 0);
    // Timers wait their minimum on a manual clock too.
    if (clock::IsManual())
        clock::Advance(USER_TIMER_MINIMUM);
}

void CTabListHost::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kStepTimer)
        return;
    KillTimer(kStepTimer);
    OnStep(0, 0);
}

BOOL CTabListHost::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr->code == HDN_ITEMCLICKA || hdr->code == HDN_ITEMCLICKW) {
        auto* nm = reinterpret_cast<NMHEADERA*>(hdr);
        m_log.push_back("itemclick " + std::to_string(nm->iItem) + " button " + std::to_string(nm->iButton));
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
}

LRESULT CTabListHost::OnTabSelChanging(WPARAM wParam, LPARAM)
{
    m_log.push_back("selchanging " + std::to_string(wParam));
    return 0;
}

LRESULT CTabListHost::OnTabSelChange(WPARAM wParam, LPARAM)
{
    m_log.push_back("selchange " + std::to_string(wParam));
    return 0;
}

LRESULT CTabListHost::OnStep(WPARAM, LPARAM)
{
    if (m_nextStep < m_steps.size()) {
        auto step = m_steps[m_nextStep++];
        if (m_nextStep < m_steps.size()) {
            SetTimer(kStepTimer, 0);
            if (clock::IsManual())
                clock::Advance(USER_TIMER_MINIMUM);
        }
        step();
    }
    return 0;
}

BOOL CSortingList::SortList(int nCol, BOOL bAscending)
{
    m_sorts.push_back(std::to_string(nCol) + (bAscending ? " up" : " down"));
    return TRUE;
}

void TabListTest::SetUp()
{
    ToolkitTest::SetUp();
    m_host = std::make_unique<CTabListHost>();
    ASSERT_TRUE(m_host->CreateHost(40, 40, 460, 300));
}

void TabListTest::TearDown()
{
    CloseControls();
    m_host->DestroyWindow();
    PumpPending();
    XTGetThemeManager()->SetTheme(xtThemeDefault);
    ToolkitTest::TearDown();
}

void PumpPending()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        if (msg.message == WM_QUIT)
            break;
        HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root && CWnd::WalkPreTranslateTree(root, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void ClickAt(HWND hwnd, int x, int y, bool right)
{
    POINT pt{x, y};
    ::ClientToScreen(hwnd, &pt);
    win::InjectClick(pt.x, pt.y, right ? win::MouseButton::Right : win::MouseButton::Left);
    PumpPending();
}

void PressKeys(std::initializer_list<UINT> modifiers, UINT key)
{
    for (UINT m : modifiers)
        win::InjectKey(m, true);
    win::InjectKey(key, true);
    win::InjectKey(key, false);
    for (UINT m : modifiers)
        win::InjectKey(m, false);
    PumpPending();
}

} // namespace tavrin::test
