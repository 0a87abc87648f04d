// CRichEditCtrl: the framework's wrapper of the rich edit ("RICHEDIT").
#pragma once

#include "platform/controls/RichEdit.h"
#include "platform/mfc/Wnd.h"

class CRichEditCtrl : public CWnd {
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    CRichEditCtrl() = default;
    // The base class's forms stay callable beside these.
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    BOOL CanUndo() const { return static_cast<BOOL>(SendMessage(EM_CANUNDO)); }
    BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO)); }
    void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER); }
    BOOL CanPaste(UINT nFormat = 0) const { return static_cast<BOOL>(SendMessage(EM_CANPASTE, nFormat)); }
    void Cut() { SendMessage(WM_CUT); }
    void Copy() const { SendMessage(WM_COPY); }
    void Paste() { SendMessage(WM_PASTE); }
    void Clear() { SendMessage(WM_CLEAR); }

    void GetSel(CHARRANGE& cr) const { SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
    void GetSel(long& nStartChar, long& nEndChar) const;
    void SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr)); }
    void SetSel(long nStartChar, long nEndChar);
    WORD GetSelectionType() const { return static_cast<WORD>(SendMessage(EM_SELECTIONTYPE)); }
    CString GetSelText() const;
    void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE)
    {
        SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(lpszNewText));
    }
    void HideSelection(BOOL bHide, BOOL bPerm) { SendMessage(EM_HIDESELECTION, bHide, bPerm); }
    long FindText(DWORD dwFlags, FINDTEXTEX* pFindText) const
    {
        return static_cast<long>(SendMessage(EM_FINDTEXTEX, dwFlags, reinterpret_cast<LPARAM>(pFindText)));
    }
    long GetTextRange(int nFirst, int nLast, CString& refString) const;
    long GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }

    DWORD GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }
    // Each returns the previous value.
    DWORD SetEventMask(DWORD dwEventMask)
    {
        return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwEventMask)));
    }
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr)
    {
        return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, bSysColor, cr));
    }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly)); }
    BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified); }
    void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
    long GetLimitText() const { return static_cast<long>(SendMessage(EM_GETLIMITTEXT)); }

    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    int GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    int LineIndex(int nLine = -1) const { return static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(nLine))); }
    long LineFromChar(long nIndex) const { return static_cast<long>(SendMessage(EM_EXLINEFROMCHAR, 0, nIndex)); }
    int LineLength(int nLine = -1) const { return static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(nLine))); }
    void LineScroll(int nLines) { SendMessage(EM_LINESCROLL, 0, nLines); }
    CPoint GetCharPos(long lChar) const;

    // The control's object interface, with a reference for the caller; null on failure.
    IRichEditOle* GetIRichEditOle() const;
};
