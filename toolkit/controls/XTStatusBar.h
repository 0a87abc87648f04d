// The frame's status bar drawn in the look of the command bars: the paint
// manager fills it and draws its panes and size grip, so it follows the
// menu and toolbar theme. It uses the system's status-bar font, is at least
// 20 pixels high, and can keep child controls inside its panes.
#pragma once

#include "platform/mfc/GdiObject.h"
#include "platform/mfc/StatusBar.h"

#include <vector>

class CXTStatusBar : public CStatusBar {
public:
    CXTStatusBar();
    ~CXTStatusBar() override;

    // The bar's font, the panes and the minimum height; FALSE when the
    // panes cannot be set.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    // A control shown inside the pane with the command id; with bAutoDelete
    // the bar deletes the object when it is destroyed.
    BOOL AddControl(CWnd* pWnd, UINT nID, BOOL bAutoDelete = TRUE);
    // Moves every pane control over its pane; a control whose id names no
    // pane stays where it is.
    void PositionControls();
    // Painting through the paint manager (on when the bar is made).
    void EnableThemedPaint(BOOL bEnable) { m_bThemed = bEnable; }
    BOOL IsThemedPaint() const { return m_bThemed; }

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);

protected:
    struct XT_STATUSPANE {
        CWnd* pWnd;
        UINT nID;
        BOOL bAutoDelete;
    };
    std::vector<XT_STATUSPANE> m_arControls;
    CFont m_font;
    BOOL m_bThemed = TRUE;

    DECLARE_MESSAGE_MAP()
};
