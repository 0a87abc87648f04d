// A framework window for the tab, header and list tests: it records what its
// controls tell it, runs queued steps from inside modal loops (menus, press
// loops) and pumps messages the way the application does, offering each to
// PreTranslateMessage first.
#pragma once

#include "platform/mfc/Wnd.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/controls/XTListCtrl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrin::test {

class CTabListHost : public CWnd {
public:
    // A visible window at (x, y): a popup unless a style is given.
    BOOL CreateHost(int x, int y, int cx, int cy, DWORD dwStyle = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);

    std::vector<std::string> m_log;
    // Run one by one.
    std::vector<std::function<void()>> m_steps;
    size_t m_nextStep = 0;
    // Queues the steps; each runs on a timer once the queue is empty.
    void Stage(std::vector<std::function<void()>> steps);

    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT OnTabSelChanging(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabSelChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnStep(WPARAM, LPARAM);
    void OnTimer(UINT_PTR nIDEvent);
    static constexpr UINT_PTR kStepTimer = 0x7A11;

    DECLARE_MESSAGE_MAP()
};

// A list that records the sorts it is asked for.
class CSortingList : public CXTListCtrl {
public:
    std::vector<std::string> m_sorts;
    BOOL SortList(int nCol, BOOL bAscending) override;
};

// A host window for each test; the controls go first, then the host, and
// the theme id goes back to classic.
class TabListTest : public ToolkitTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Destroys the test's controls before the host goes.
    virtual void CloseControls() {}
    std::unique_ptr<CTabListHost> m_host;
};

// Dispatches every waiting message (pre-translated as the application does).
void PumpPending();
// Clicks at a point of the window's client area (button: left or right).
void ClickAt(HWND hwnd, int x, int y, bool right = false);
// Presses and releases keys in order, holding the modifiers given first.
void PressKeys(std::initializer_list<UINT> modifiers, UINT key);

} // namespace tavrin::test
