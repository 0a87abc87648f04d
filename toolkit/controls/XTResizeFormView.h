// A form view whose registered controls follow its size while it is at
// least as large as its form; smaller, it scrolls instead.
#pragma once

#include "platform/mfc/View.h"
#include "toolkit/controls/XTResize.h"

class CXTResizeFormView : public CFormView, public CXTResizeLayout {
    DECLARE_DYNCREATE(CXTResizeFormView)
public:
    // A form view never shows a size grip.
    explicit CXTResizeFormView(UINT nIDTemplate, UINT nFlags = 0);

    // After the dialog's own WM_INITDIALOG handling: the layout starts from
    // the form's size; derived views register their controls afterwards.
    virtual BOOL OnInitDialog();

protected:
    CXTResizeFormView();
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    void OnGetMinMaxInfo(MINMAXINFO* pMMI);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
