// Control bars: children of a frame aligned to one of its edges. Each takes
// its part of the client in the frame's layout (WM_SIZEPARENT), updates its
// panes or buttons at idle time through the frame's command routing, and can
// be shown or hidden at the next idle pass.
#pragma once

#include "platform/mfc/FrameWnd.h"

// Bar styles (m_dwStyle; the alignment also in the window style).
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// CalcDynamicLayout modes.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    ~CControlBar() override;

    // The bar's size along its edge: the full length when stretched, its own
    // height (or width) across.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Runs the update handlers of the bar's items against the target.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }
    int GetCount() const { return m_nCount; }
    BOOL IsVisible() const;
    BOOL IsFloating() const { return FALSE; }
    CFrameWnd* GetDockingFrame() const;
    // Shows or hides the bar at the frame's next idle pass.
    void DelayShow(BOOL bShow);
    // The bar's borders and gripper taken off a client rectangle.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;

    BOOL m_bAutoDelete = FALSE;
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;
    int m_cxDefaultGap = 2;
    UINT m_nMRUWidth = 32767;
    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };
    UINT m_nStateFlags = 0;
    CFrameWnd* m_pDockSite = nullptr;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnWindowPosChanging(WINDOWPOS* lpWndPos);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnHelpHitTest(WPARAM, LPARAM) { return 0; }

protected:
    CControlBar() = default;
    // Paints the borders of m_dwStyle into the bar's client.
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    // Applies a delayed show or hide; TRUE when the visibility changed.
    BOOL ApplyDelayedShow();
    DWORD m_dwStyle = 0;
    int m_nCount = 0;
    friend class CFrameWnd;
    DECLARE_MESSAGE_MAP()
};
