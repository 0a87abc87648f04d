#include "platform/mfc/RichEditCtrl.h"

#include <vector>

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    tavrin::controls::RegisterRichEdit();
    return CWnd::Create(RICHEDIT_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    CHARRANGE cr{};
    GetSel(cr);
    nStartChar = cr.cpMin;
    nEndChar = cr.cpMax;
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    CHARRANGE cr{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
    SetSel(cr);
}

CString CRichEditCtrl::GetSelText() const
{
    CHARRANGE cr{};
    GetSel(cr);
    std::vector<char> buffer(static_cast<size_t>(cr.cpMax - cr.cpMin) + 1, '\0');
    SendMessage(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.data());
}

long CRichEditCtrl::GetTextRange(int nFirst, int nLast, CString& refString) const
{
    const long length = GetTextLength();
    if (nLast < 0 || nLast > length)
        nLast = length;
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > nLast)
        nFirst = nLast;
    std::vector<char> buffer(static_cast<size_t>(nLast - nFirst) + 1, '\0');
    TEXTRANGEA range{{nFirst, nLast}, buffer.data()};
    const long copied = static_cast<long>(SendMessage(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    refString = CString(buffer.data(), static_cast<int>(copied));
    return copied;
}

CPoint CRichEditCtrl::GetCharPos(long lChar) const
{
    POINT pt{};
    SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), lChar);
    return CPoint(pt);
}

IRichEditOle* CRichEditCtrl::GetIRichEditOle() const
{
    IRichEditOle* ole = nullptr;
    SendMessage(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    return ole;
}
