// An HTML view in a dialog, in place of a static control: every navigation
// goes to the parent as WM_LINK_CLICKED, which decides whether it happens.
#pragma once

#include "app/DocHostHtmlView.h"

// wParam: the target URL (LPCTSTR); lParam: the BOOL* cancel flag. Sent, so
// both are valid only during the call.
#define WM_LINK_CLICKED (WM_USER + 1000)

class CHtmlCtrl : public CDocHostHtmlView {
    DECLARE_DYNAMIC(CHtmlCtrl)
public:
    CHtmlCtrl() = default;
    ~CHtmlCtrl() override = default;

    // Takes the place and id of the parent's static control nID; FALSE when
    // there is none or the browser cannot be made.
    BOOL CreateFromStatic(UINT nID, CWnd* pParent);

    void OnBeforeNavigate2(LPCTSTR lpszURL, DWORD nFlags, LPCTSTR lpszTargetFrameName, CByteArray& baPostedData,
                           LPCTSTR lpszHeaders, BOOL* pbCancel) override;

    // A dialog has no frame to activate a view in.
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnDestroy();

protected:
    // A member of its dialog, destroyed with it.
    void PostNcDestroy() override {}
    DECLARE_MESSAGE_MAP()
};
