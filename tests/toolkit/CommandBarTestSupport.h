// Shared pieces of the command-bar tests: a paint manager with fixed sizes
// and plain fills, a site window that records and answers the bars'
// messages, and a bar window laid out in one row.
#pragma once

#include "platform/gdi/Surface.h"
#include "platform/mfc/FrameWnd.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPPaintManager.h"

#include <functional>
#include <map>
#include <vector>

namespace tavrin::test {

// Fills of the test theme.
constexpr COLORREF kBarFill = RGB(192, 192, 192);
constexpr COLORREF kControlFill = RGB(255, 255, 255);
constexpr COLORREF kSelectedFill = RGB(0, 160, 0);
constexpr COLORREF kPressedFill = RGB(200, 0, 0);
constexpr COLORREF kCheckedFill = RGB(0, 0, 200);
constexpr COLORREF kDisabledFill = RGB(128, 128, 128);

class TestPaintManager : public CXTPPaintManager {
public:
    // Sizes by command id; others measure 40 x 22.
    std::map<int, CSize> m_sizes;
    int m_nDrawn = 0;

    CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
    CSize DrawControlComboBox(CDC*, CXTPControlComboBox*, BOOL) override { return CSize(120, 22); }
    CSize DrawControlEdit(CDC*, CXTPControlEdit*, BOOL) override { return CSize(100, 22); }
    CSize DrawListBoxControl(CDC*, CXTPControl*, CRect, BOOL, BOOL, CXTPControlListBox*) override
    {
        return CSize(0, 0);
    }
    void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) override;
    using CXTPPaintManager::DrawControlEntry;
    int DrawControlEntry(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bPressed, BOOL bChecked,
                         BOOL bPopuped, int nBarPosition) override;
    void DrawControlBackground(CDC*, CRect, BOOL, BOOL, BOOL, BOOL, BOOL, int, int) override {}
    CSize DrawCommandBarGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(0, 0); }
    CSize DrawCommandBarSeparator(CDC*, CXTPCommandBar*, CXTPControl*, BOOL) override { return CSize(0, 0); }
    void AdjustExcludeRect(CRect&, CXTPControl*, BOOL) override {}
    CSize DrawTearOffGripper(CDC*, CRect, BOOL, BOOL) override { return CSize(0, 0); }
    void DrawImage(CDC*, CPoint, CSize, CXTPImageManagerIcon*, BOOL, BOOL, BOOL, BOOL, BOOL, BOOL) override {}
    CSize DrawDialogBarGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(0, 0); }
    int BaseTheme() override { return 1; }

private:
    CSize SizeOf(CXTPControl* pControl) const;
};

// Installs a fresh test theme as the global paint manager for one scope.
class ScopedTestTheme {
public:
    ScopedTestTheme();
    ~ScopedTestTheme();
    TestPaintManager* operator->() const { return m_pTheme; }
    TestPaintManager* Get() const { return m_pTheme; }

private:
    TestPaintManager* m_pTheme;
};

// A top-level window standing for the frame: records what the bars send it
// and answers through the handler when one is set.
struct SiteMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    CString text; // WM_SETMESSAGESTRING's text
};

class TestSite : public CFrameWnd {
public:
    TestSite();
    ~TestSite() override;
    std::vector<SiteMessage> m_messages;
    // Return true to answer with *result.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)> m_handler;
    std::vector<UINT> Messages(UINT message) const;
    void Clear() { m_messages.clear(); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Lives on the stack: the window's end does not delete it.
    void PostNcDestroy() override {}
};

// A toolbar-like bar: a child window of the site laid out in one row.
class TestBar : public CXTPCommandBar {
    DECLARE_DYNCREATE(TestBar)
public:
    TestBar();
    BOOL CreateIn(CWnd* pParent, CRect rc);
    void OnRecalcLayout() override;
    int m_nLayouts = 0;
    BOOL IsVisible() const override { return TRUE; }
};

// Runs every message in the calling thread's queue.
void PumpMessages();

// Whether a capture of a top-level window (the whole window, border
// included) shows exactly the pixels the window drew into its surface.
bool ShowsOwnSurface(const Surface& shot, HWND hwnd);

// A top-level window for display tests: records the commands it receives
// and runs m_onTimer on its timer kTimerId.
class DisplayHost : public CWnd {
public:
    static constexpr UINT_PTR kTimerId = 77;
    std::vector<UINT> m_commands;
    std::function<void()> m_onTimer;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A bar whose hover selection stands for the bars' tracking.
class HoverBar : public TestBar {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace tavrin::test
