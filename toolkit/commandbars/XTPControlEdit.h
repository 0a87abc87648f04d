// The edit box of the bars, and the edit window that the edit box and the
// combo box place on their bar.
#pragma once

#include "platform/mfc/Edit.h"
#include "toolkit/commandbars/XTPControl.h"

class CXTPEdit;

// What an edit window asks of the control that owns it; the edit box and the
// combo box share the focus handling through it.
class CXTPEditHost {
public:
    virtual ~CXTPEditHost() = default;
    virtual CXTPControl* GetHostControl() = 0;
    // The text kept while no window exists.
    virtual CString& GetHostText() = 0;
    // The window's colours: null for the platform's own.
    virtual HBRUSH OnEditCtlColor(CDC* pDC) = 0;
    virtual void OnEditSetFocus(CWnd* pOldWnd);
    virtual void OnEditKillFocus();
    // The key rule shared by both controls while the edit window has the focus.
    int HookKeyDownShared(CXTPEdit* pEdit, UINT nChar);
    // Gives the focus back to the window that had it before the edit.
    void RestoreFocus();

    // The state changes both controls pass to their window alike.
    void SetEditEnabled(CXTPEdit* pEdit, BOOL bEnabled);
    void SetEditHideFlags(CXTPEdit* pEdit, DWORD dwFlags);
    // Leaving the control while the box has the focus gives the focus back.
    void OnHostDeselected(CXTPEdit* pEdit, int bSelected);
    // A click in customize mode: the bar's popup and selection go first.
    void CustomizeClick(CPoint pt);
    // The window's text when it exists (kept as the text), else the kept text.
    CString ReadEditText(CXTPEdit* pEdit);
    void WriteEditText(CXTPEdit* pEdit, const CString& strText);

protected:
    BOOL m_bMouseLocked = FALSE;
};

class CXTPEdit : public CEdit {
    DECLARE_DYNAMIC(CXTPEdit)
public:
    CXTPEdit() = default;
    ~CXTPEdit() override;
    // A child of the bar, hidden, with no rectangle and id 0.
    BOOL CreateEdit(CWnd* pParent);
    CXTPEditHost* GetHost() const { return m_pHost; }
    void SetHost(CXTPEditHost* pHost) { m_pHost = pHost; }
    BOOL HasFocus() const { return m_hWnd && ::GetFocus() == m_hWnd; }

    // Cut, Copy and Paste of the frame while the window has the focus.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // The Cut, Copy, Paste popup at the screen point; FALSE when none could be shown.
    BOOL ShowContextMenu(CPoint ptScreen);

    // Builds the context menu itself: tests pick the command it returns.
    static UINT (*s_pfnTrackContextMenu)(CXTPEdit* pEdit, CPoint ptScreen);

private:
    CXTPEditHost* m_pHost = nullptr;
    BOOL m_bSwallowRButtonUp = FALSE;
};

class CXTPControlEdit : public CXTPControl, public CXTPEditHost {
    DECLARE_SERIAL(CXTPControlEdit)
public:
    CXTPControlEdit() { m_controlType = xtpControlEdit; }
    ~CXTPControlEdit() override;

    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    BOOL Compare(CXTPControl* pOther) override;
    void SetHideFlags(DWORD dwFlags) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    BOOL OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void SetParent(CXTPCommandBar* pParent) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnMouseHover() override;
    BOOL OnSetSelected(int bSelected) override;
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }
    int GetCustomizeMinWidth() const override { return m_bLabel ? m_nLabelWidth + 10 : 10; }
    void SetWidth(int nWidth) override;

    CXTPControl* GetHostControl() override { return this; }
    CString& GetHostText() override { return m_strEditText; }
    HBRUSH OnEditCtlColor(CDC* pDC) override;
    virtual void CreateEditWindow();

    int GetWidth() const { return m_nWidth; }
    BOOL GetHasLabel() const { return m_bLabel; }
    void ShowLabel(BOOL bShow) { m_bLabel = bShow; }
    BOOL GetReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(BOOL bReadOnly);
    int GetLabelWidth() const { return m_nLabelWidth; }
    // The themes store what they measured; a change places the window again.
    void SetLabelWidth(int nWidth);
    CXTPEdit* GetEditCtrl() const { return m_pEdit; }
    // The window's text when it exists, else the kept text.
    CString GetEditText() const;
    void SetEditText(const CString& strText);

    CXTPEdit* m_pEdit = nullptr;
    int m_nWidth = 100;
    CString m_strEditText;
    BOOL m_bLabel = TRUE;
    BOOL m_bReadOnly = FALSE;
    int m_nLabelWidth = 0;
    BOOL m_bDelayReposition = FALSE;
};

// Paints the window off-screen: the buffer is filled with clrBack, the
// window's own painting draws into it, and it is copied at once.
void XTPPaintBuffered(CWnd* pWnd, COLORREF clrBack);

// Shared by the edit box and the combo box: the hide flag of vertical bars,
// and the edit window's place inside the control's rectangle.
void XTPHideOnVerticalBars(CXTPControl* pControl, DWORD dwMode);
// Creates the window on first use, re-parents it to the bar, sets its
// margins and moves it into rcEdit; shown unless the control is hidden.
void XTPPlaceEditWindow(CXTPControl* pControl, CXTPEdit* pEdit, const CString& strText, CRect rcEdit);
