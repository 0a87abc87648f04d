// What a dockable toolbar remembers of where it was docked and floated, and
// the entry points of the user's docking drag.
#pragma once

#include "platform/mfc/Rect.h"

class CXTPToolBar;

class CXTPDockContext {
public:
    explicit CXTPDockContext(CXTPToolBar* pBar) : m_pBar(pBar) {}
    virtual ~CXTPDockContext() = default;
    CXTPDockContext(const CXTPDockContext&) = delete;
    CXTPDockContext& operator=(const CXTPDockContext&) = delete;

    // The drag and the sizing of a floating bar belong to the drag tracker,
    // which is not part of this library yet: a press only ends tracking.
    virtual void StartDrag(CPoint pt) { (void)pt; }
    virtual void StartResize(int nHitTest, CPoint pt)
    {
        (void)nHitTest;
        (void)pt;
    }
    // A floating bar docks again where it was; a docked bar floats only
    // with the "DblClickFloat" option.
    virtual void ToggleDocking();

    CXTPToolBar* m_pBar;
    // Dock-bar client coordinates of the last drop; empty when docked by position.
    CRect m_rectMRUDockPos{0, 0, 0, 0};
    int m_uMRUDockPosition = 0;
    // Screen position of the floating window.
    CPoint m_ptMRUFloatPos{100, 100};
};
