// The combo box of the bars.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPEdit;

class CXTPControlComboBox : public CXTPControl {
    DECLARE_SERIAL(CXTPControlComboBox)
public:
    CXTPControlComboBox() { m_controlType = xtpControlComboBox; }
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }

    int GetWidth() const { return m_nWidth; }
    int GetComboStyle() const { return m_comboStyle; }
    void SetComboStyle(int nStyle) { m_comboStyle = nStyle; }
    int GetLabelWidth() const { return m_nLabelWidth; }
    int GetDropDownWidth() const { return m_nThumbWidth; }
    // The themes store what they measured; a change places the window again.
    void SetLabelWidth(int nWidth);
    void SetDropDownWidth(int nWidth);
    CXTPEdit* GetEditCtrl() const { return m_pEdit; }
    // The selected item's text; empty while the list has no window.
    CString GetListBoxText() const { return CString(); }
    // The list opens with its window.
    BOOL IsDroppedDown() const { return FALSE; }

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
