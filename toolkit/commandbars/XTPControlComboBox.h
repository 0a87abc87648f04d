// The combo box of the bars: an optional edit window and a drop-down list
// that opens as a popup bar showing a list box.
#pragma once

#include "platform/mfc/ListBox.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPPopupBar.h"

class CXTPControlComboBox;

// The drop-down list: a popup bar whose window is the list box itself.
class CXTPControlComboBoxList : public CXTPPopupBar {
    DECLARE_SERIAL(CXTPControlComboBoxList)
public:
    CXTPControlComboBoxList();
    ~CXTPControlComboBoxList() override;

    void DelayRedraw() override { Redraw(); }
    BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
    BOOL Popup(CXTPControl* pControl, BOOL bSelectFirst = FALSE) override;
    BOOL IsCustomizable() const override { return FALSE; }
    void DoPropExchange(CXTPPropExchange* pPX) override;
    BOOL OnKeyDown(UINT nChar) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void DrawCommandBar(CDC* pDC, CRect rcClipBox) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The list-box window: tool window with a static edge, popup with a
    // border and a vertical scroll bar, no parent.
    BOOL CreateListBox();
    int GetCount() const;
    int GetCurSel() const;
    CXTPControlComboBox* GetComboBox() const { return m_pCombo; }

private:
    CXTPControlComboBox* m_pCombo = nullptr;
    BOOL m_bMouseLocked = FALSE;
};

class CXTPControlComboBox : public CXTPControlPopup, public CXTPEditHost {
    DECLARE_SERIAL(CXTPControlComboBox)
public:
    CXTPControlComboBox();
    ~CXTPControlComboBox() override;


    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    BOOL Compare(CXTPControl* pOther) override;
    void SetHideFlags(DWORD dwFlags) override;
    void OnExecute() override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    BOOL OnHookKeyDown(UINT nChar, LPARAM lParam) override;
    void SetParent(CXTPCommandBar* pParent) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    BOOL OnSetPopup(BOOL bPopup) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    void OnMouseHover() override;
    BOOL OnSetSelected(int bSelected) override;
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }
    int GetCustomizeMinWidth() const override { return m_nLabelWidth + m_nThumbWidth + 5; }
    void SetWidth(int nWidth) override;

    CXTPControl* GetHostControl() override { return this; }
    CString& GetHostText() override { return m_strEditText; }
    // Platform colours.
    HBRUSH OnEditCtlColor(CDC*) override { return nullptr; }
    virtual void CreateEditWindow();
    // The list's selection went into the edit box (or the shown text).
    virtual void OnSelChanged();

    // The list
    CXTPControlComboBoxList* GetComboList() const { return DYNAMIC_DOWNCAST(CXTPControlComboBoxList, m_pCommandBar); }
    int AddString(LPCTSTR lpszText);
    int InsertString(int nIndex, LPCTSTR lpszText);
    int FindStringExact(int nStart, LPCTSTR lpszText) const;
    int GetCount() const;
    int GetCurSel() const;
    void SetCurSel(int nIndex);
    // The selected item's text; empty without a selection or a window.
    CString GetListBoxText() const;
    BOOL IsDroppedDown() const;

    // The edit box
    void SetDropDownListStyle(BOOL bDropDown = TRUE);
    BOOL GetDropDownListStyle() const { return m_bDropDown; }
    CString GetEditText() const;
    void SetEditText(const CString& strText);
    CXTPEdit* GetEditCtrl() const { return m_pEdit; }

    int GetWidth() const { return m_nWidth; }
    int GetComboStyle() const { return m_comboStyle; }
    void SetComboStyle(int nStyle) { m_comboStyle = nStyle; }
    int GetLabelWidth() const { return m_nLabelWidth; }
    int GetDropDownWidth() const { return m_nThumbWidth; }
    // The themes store what they measured; a change places the window again.
    void SetLabelWidth(int nWidth);
    void SetDropDownWidth(int nWidth);

    CXTPEdit* m_pEdit = nullptr;
    BOOL m_bDropDown = FALSE;
    int m_comboStyle = 0;
    int m_nWidth = 100;
    CString m_strEditText;
    int m_nLastSel = -1;
    BOOL m_bDelayReposition = FALSE;
    int m_nLabelWidth = 0;
    int m_nThumbWidth = 0;
};
