// The toolkit's report list: a list control with the list extension.
#pragma once

#include "platform/mfc/ListCtrl.h"
#include "toolkit/controls/XTListBase.h"
#include "toolkit/controls/XTTabBase.h"

class CXTListCtrl : public CListCtrl, public CXTListBase {
    DECLARE_DYNAMIC(CXTListCtrl)
public:
    CXTListCtrl();
    ~CXTListCtrl() override;

    // Both bases name it; the list extension's form wins.
    using CXTListBase::GetExtendedStyle;

    void PreSubclassWindow() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void OnCustomDrawReflect(NMHDR* pNMHDR, LRESULT* pResult) { OnCustomDraw(pNMHDR, pResult); }
    void OnPaint() { OnPaintList(); }
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnSettingChange(UINT, LPCTSTR);
    void OnDestroy();
    int OnCreate(LPCREATESTRUCT lpcs);
    LRESULT OnDeferredInit(WPARAM, LPARAM);

    BYTE m_bPreSubclassInit = TRUE;

    DECLARE_MESSAGE_MAP()
};
