// The frame's status bar: a control bar over the status-bar control. Its
// panes come from indicator ids (the texts are their string resources); the
// keyboard-state panes follow the keys at idle time, pane 0 shows the
// frame's prompts (the bar's window text is that pane's text).
#pragma once

#include "platform/controls/StatusBar.h"
#include "platform/mfc/ControlBar.h"

#include <vector>

// Pane styles.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

class CStatusBarCtrl;

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    // The base class's forms stay callable beside these.
    using CControlBar::Create;
    using CControlBar::CreateEx;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // dwCtrlStyle: the control's own styles (SBARS_SIZEGRIP...).
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR is a pane without a string (the first
    // one stretches and has no border). FALSE when a string is missing.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const; // -1 when no pane has the id
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    CStatusBarCtrl& GetStatusBarCtrl() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnSetText(WPARAM, LPARAM lParam);
    LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLength(WPARAM, LPARAM);
    LRESULT OnSetMinHeight(WPARAM wParam, LPARAM);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);

    struct Pane {
        UINT nID;
        int cxText;  // the text's width in pixels
        UINT nStyle; // SBPS_*
        CString strText;
    };

protected:
    // The panes' widths to the control (the stretching pane takes what is
    // left) and, with bUpdateText, their texts.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    int TextWidth(LPCTSTR lpszText) const;
    std::vector<Pane> m_panes;
    int m_nMinHeight = 0;
    DECLARE_MESSAGE_MAP()
};
