// A tree view with the toolkit's tree extension: colours, fonts and bold
// labels per item, pre-order walks, find, multi-selection and flicker-free
// painting.
#pragma once

#include "platform/mfc/View.h"
#include "toolkit/controls/XTTreeBase.h"

class CXTTreeView : public CTreeView, public CXTTreeBase {
    DECLARE_DYNCREATE(CXTTreeView)
public:
    CXTTreeView();
    ~CXTTreeView() override;

    // One override serves both bases: a derived view overrides these and
    // calls the extension's forms.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()
};
