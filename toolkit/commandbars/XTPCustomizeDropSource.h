// The drag of a control between bars in customize mode: the bars that take
// drops, the modal loop that follows the pointer with the mouse captured,
// and the drop on the bar under it (a move, or a copy while Ctrl is held).
#pragma once

#include "platform/mfc/Rect.h"

#include <vector>

class CWnd;
class CXTPCommandBar;
class CXTPCommandBars;
class CXTPControl;

// DoDragDrop's results.
#define XTP_DROPEFFECT_NONE 0
#define XTP_DROPEFFECT_COPY 1
#define XTP_DROPEFFECT_MOVE 2
#define XTP_DRAG_CANCELLED 5

class CXTPCustomizeDropSource {
public:
    explicit CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars);
    CXTPCustomizeDropSource(const CXTPCustomizeDropSource&) = delete;
    CXTPCustomizeDropSource& operator=(const CXTPCustomizeDropSource&) = delete;

    void Register(CXTPCommandBar* pBar);
    void Unregister(CXTPCommandBar* pBar);
    // The customize dialog while it is open; the drag captures the mouse there.
    CWnd* GetDragWindow() const { return m_pDragWindow; }
    void SetDragWindow(CWnd* pWnd) { m_pDragWindow = pWnd; }

    // 5 when cancelled, 0 when nothing was dropped, else the drop's effect.
    int DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly = FALSE);
    void UpdateCursor();

private:
    void HitTest(CPoint ptScreen);
    int Drop(CPoint ptScreen);
    void ForgetTarget();

    HWND m_hwndCapture = nullptr;
    CXTPControl* m_pControl = nullptr;
    BOOL m_bMove = FALSE;
    BOOL m_bCopyOnly = FALSE;
    CXTPCommandBar* m_pTarget = nullptr;
    CWnd* m_pDragWindow = nullptr;
    CPoint m_ptCursor{0, 0};
    std::vector<CXTPCommandBar*> m_arrTargets;
    CXTPCommandBars* m_pCommandBars;
    HCURSOR m_hcurNoDrop;
    HCURSOR m_hcurMove;
    HCURSOR m_hcurCopy;
};
