// The edit box of the bars.
#pragma once

#include "toolkit/commandbars/XTPControl.h"

class CXTPEdit;

class CXTPControlEdit : public CXTPControl {
    DECLARE_SERIAL(CXTPControlEdit)
public:
    CXTPControlEdit() { m_controlType = xtpControlEdit; }
    BOOL IsCustomizeResizeAllow() const override { return TRUE; }

    int GetWidth() const { return m_nWidth; }
    BOOL GetHasLabel() const { return m_bLabel; }
    void ShowLabel(BOOL bShow) { m_bLabel = bShow; }
    int GetLabelWidth() const { return m_nLabelWidth; }
    // The themes store what they measured; a change places the window again.
    void SetLabelWidth(int nWidth);
    CXTPEdit* GetEditCtrl() const { return m_pEdit; }

    CXTPEdit* m_pEdit = nullptr;
    int m_nWidth = 100;
    CString m_strEditText;
    BOOL m_bLabel = TRUE;
    BOOL m_bReadOnly = FALSE;
    int m_nLabelWidth = 0;
    BOOL m_bDelayReposition = FALSE;
};
