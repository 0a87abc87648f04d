// The other-information pane: under a caption bar, either the current
// class's information page or the status log of the selected account or
// class, laid over each other; configuration key 16 remembers which.
#pragma once

#include "app/WebBrowser2.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/View.h"
#include "toolkit/controls/XTCaption.h"
#include "toolkit/controls/XTListCtrl.h"

#include <string>

class CMiscView : public CFormView {
    DECLARE_DYNCREATE(CMiscView)
public:
    CMiscView();
    ~CMiscView() override;

    // Refills the list with the current account's or class's log, newest
    // line first.
    void RefreshLog();
    // Shows the current class's misc.htm with its width statement set to the
    // pane's width, or the empty page.
    void ShowClassPage();

    // The page with every copy of its own width statement ("var width = "
    // digits ";", the first one in a script before function swap_size(o))
    // set to width; false, and the page untouched, when it has none.
    static bool RewriteWidth(std::string& page, int width);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnInitialUpdate() override;
    void DoDataExchange(CDataExchange* pDX) override;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnSysColorChange();
    void OnShowLog();
    void OnShowClassInfo();
    void OnHide();
    void OnUpdateShowLog(CCmdUI* pCmdUI);
    void OnUpdateShowClassInfo(CCmdUI* pCmdUI);
    void OnUpdateHide(CCmdUI* pCmdUI);
    void OnCopy();
    void OnSelectAll();

    CXTCaption m_wndCaption;
    CXTListCtrl m_wndLog;
    CWebBrowser2 m_wndBrowser;
    CImageList m_imageList;

protected:
    // Stores the choice and shows the log (TRUE) or the class page.
    void ShowLog(BOOL bLog);
    // The list shown or hidden as key 16 says, the page the other way.
    void ShowChosenView();
    void Layout();
    DECLARE_MESSAGE_MAP()
};
