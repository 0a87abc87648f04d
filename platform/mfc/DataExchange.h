// Dialog data exchange: each DDX_ call moves one field into its control or
// back; a DDV_ call checks the field just taken. A failed check shows the
// framework's message, puts the focus on the control (an edit's text all
// selected) and throws, so UpdateData answers FALSE and writes nothing more.
#pragma once

#include "platform/base/Time.h"
#include "platform/mfc/Wnd.h"

// The date picker's messages that the exchange sends.
#ifndef DTM_GETSYSTEMTIME
#define DTM_FIRST 0x1000
#define DTM_GETSYSTEMTIME (DTM_FIRST + 1)
#define DTM_SETSYSTEMTIME (DTM_FIRST + 2)
#define GDT_ERROR (-1)
#define GDT_VALID 0
#define GDT_NONE 1
#endif

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_idLastControl = nullptr; // the control of the last exchange
    BOOL m_bEditLastControl = FALSE;

    // The control with the id (a missing one is a program error: thrown).
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Focuses the last control (selecting an edit's text) and throws a
    // CUserException; the message has been shown already.
    [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void DDX_Text(CDataExchange* pDX, int nIDC, short& value);
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// nIDC is the first radio button of its group; -1 when none is chosen.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// Binds the control object to the dialog's control (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value);

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
