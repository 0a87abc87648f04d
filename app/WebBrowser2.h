// The WebBrowser control as a plain window on a form, driven through its
// automation methods; it keeps the framework's default site.
#pragma once

#include "platform/mfc/OleControl.h"

class CWebBrowser2 : public CWnd {
    DECLARE_DYNCREATE(CWebBrowser2)
public:
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr) override;

    void Navigate(LPCTSTR URL, VARIANT* Flags = nullptr, VARIANT* TargetFrameName = nullptr,
                  VARIANT* PostData = nullptr, VARIANT* Headers = nullptr);
    void ExecWB(long cmdID, long cmdexecopt, VARIANT* pvaIn = nullptr, VARIANT* pvaOut = nullptr);
};
