#include "app/WebBrowser2.h"

IMPLEMENT_DYNCREATE(CWebBrowser2, CWnd)

BOOL CWebBrowser2::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                          UINT nID, void*)
{
    return CreateControl(CLSID_WebBrowser, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CWebBrowser2::Navigate(LPCTSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                            VARIANT* Headers)
{
    static const BYTE parms[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    InvokeHelper(DISPID_WEBBROWSER_NAVIGATE, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, URL, Flags, TargetFrameName,
                 PostData, Headers);
}

void CWebBrowser2::ExecWB(long cmdID, long cmdexecopt, VARIANT* pvaIn, VARIANT* pvaOut)
{
    static const BYTE parms[] = VTS_I4 VTS_I4 VTS_PVARIANT VTS_PVARIANT;
    InvokeHelper(DISPID_WEBBROWSER_EXECWB, DISPATCH_METHOD, VT_EMPTY, nullptr, parms, cmdID, cmdexecopt, pvaIn,
                 pvaOut);
}
