#include "platform/mfc/StatusBarCtrl.h"

IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    tavrin::controls::RegisterStatusBar();
    return CWnd::Create(STATUSCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID);
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const
{
    const int length = GetTextLength(nPane);
    CString text;
    char* buffer = text.GetBufferSetLength(length);
    GetText(buffer, nPane, pType);
    text.ReleaseBuffer(length);
    return text;
}

int CStatusBarCtrl::GetText(LPTSTR lpszText, int nPane, int* pType) const
{
    const LRESULT answer = SendMessage(SB_GETTEXT, static_cast<WPARAM>(nPane), reinterpret_cast<LPARAM>(lpszText));
    if (pType)
        *pType = HIWORD(answer);
    return LOWORD(answer);
}

int CStatusBarCtrl::GetTextLength(int nPane, int* pType) const
{
    const LRESULT answer = SendMessage(SB_GETTEXTLENGTH, static_cast<WPARAM>(nPane));
    if (pType)
        *pType = HIWORD(answer);
    return LOWORD(answer);
}

BOOL CStatusBarCtrl::GetBorders(int& nHorz, int& nVert, int& nSpacing) const
{
    int borders[3] = {};
    const BOOL done = GetBorders(borders);
    nHorz = borders[0];
    nVert = borders[1];
    nSpacing = borders[2];
    return done;
}
