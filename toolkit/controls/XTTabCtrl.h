// The toolkit's tab control: a native tab control whose tabs are pages
// (CXTTabBase) and whose strip is painted by the current tab style.
#pragma once

#include "platform/mfc/TabCtrl.h"
#include "toolkit/controls/XTTabBase.h"

class CXTTabCtrl : public CTabCtrl, public CXTTabBase {
    DECLARE_DYNAMIC(CXTTabCtrl)
public:
    CXTTabCtrl();
    ~CXTTabCtrl() override;

    // Both bases name these; the page logic's forms win, the native hit
    // test stays beside the point form.
    using CXTTabBase::GetToolTips;
    using CXTTabBase::SetToolTips;
    using CTabCtrl::HitTest;
    using CXTTabBase::HitTest;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL EnableToolTips(BOOL bEnable = TRUE) override { return CXTTabBase::EnableToolTips(bEnable); }
    void OnThemeChanged() override;

    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnSettingChange(UINT, LPCTSTR);
    void OnSysColorChange();
    void OnRButtonDown(UINT nFlags, CPoint point);
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    BOOL OnSelChangingReflect(NMHDR*, LRESULT* pResult);
    BOOL OnSelChangeReflect(NMHDR*, LRESULT* pResult);
    LRESULT OnDeferredInitMessage(WPARAM, LPARAM lParam);
    LRESULT OnInitialUpdate(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()
};
