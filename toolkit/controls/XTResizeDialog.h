// A dialog whose registered controls follow its size.
#pragma once

#include "platform/mfc/Dialog.h"
#include "toolkit/controls/XTResize.h"

class CXTResizeDialog : public CDialog, public CXTResizeLayout {
    DECLARE_DYNCREATE(CXTResizeDialog)
public:
    // For dynamic creation: the layout has no owner.
    CXTResizeDialog();
    explicit CXTResizeDialog(UINT nIDTemplate, CWnd* pParent = nullptr, UINT nFlags = 0);

    // No size grip without a resizing border; derived dialogs call this
    // first and then register their controls.
    BOOL OnInitDialog() override;

protected:
    void OnGetMinMaxInfo(MINMAXINFO* pMMI);
    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
