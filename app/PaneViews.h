// The main window's five panes. The account tree (left, top) owns the
// account list; the other panes are empty views until their content is built.
#pragma once

#include "app/TavrinView.h"
#include "platform/mfc/View.h"

// A pane that paints the window colour and nothing else yet.
class CPlainPaneView : public CView {
    DECLARE_DYNAMIC(CPlainPaneView)
public:
    void OnDraw(CDC* pDC) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
};
