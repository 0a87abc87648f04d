// The user's docking drag of one bar: moving it along its row, into another
// dock bar or out into a floating window, sizing a floating bar by its edges,
// and switching between docked and floating by a double click. It also
// remembers where the bar was last docked and where it last floated.
#pragma once

#include "platform/mfc/Rect.h"

class CXTPToolBar;
class CFrameWnd;
struct MSG;

// The next message of a modal tracking loop, after every pending paint has
// been dispatched so the windows keep repainting; key presses other than
// Escape are swallowed. FALSE when the loop must end: the button is released,
// Escape is pressed, or the application quits (the quit is posted again for
// the outer loop).
BOOL XTPGetTrackMessage(MSG* pMsg);

class CXTPDockContext {
public:
    explicit CXTPDockContext(CXTPToolBar* pBar) : m_pBar(pBar) {}
    virtual ~CXTPDockContext() = default;
    CXTPDockContext(const CXTPDockContext&) = delete;
    CXTPDockContext& operator=(const CXTPDockContext&) = delete;

    // A press on the gripper or caption at a screen point.
    virtual void StartDrag(CPoint pt);
    // A press on a sizing edge of a floating bar (HTLEFT .. HTBOTTOMRIGHT).
    virtual void StartResize(int nHitTest, CPoint pt);
    // A floating bar docks again where it was; a docked bar floats only
    // with the "DblClickFloat" option. FALSE when nothing changed.
    virtual BOOL ToggleDocking();
    // The modal loop of a drag or a sizing, with the mouse captured.
    virtual void Track();

    CXTPToolBar* m_pBar;
    // 1 while dragging, else the hit code of the edge being sized.
    int m_nTrackMode = 0;
    CPoint m_ptLast{0, 0};
    // Dock-bar client coordinates of the last drop; empty when docked by position.
    CRect m_rectMRUDockPos{0, 0, 0, 0};
    int m_uMRUDockPosition = 0;
    // Screen position of the floating window.
    CPoint m_ptMRUFloatPos{100, 100};
    // Screen rectangles: the bar as the mouse moves it while docked, and the
    // floating window being moved or sized.
    CRect m_rectDragDock{0, 0, 0, 0};
    CRect m_rectDragFrame{0, 0, 0, 0};

protected:
    void Move(CPoint pt);
    void StretchToolBar(CPoint pt);
    void StretchDialogBar(CPoint pt);
    CFrameWnd* GetSiteFrame() const;
};
