#include "platform/mfc/DataExchange.h"

#include "platform/mfc/Exception.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/res/FrameworkIds.h"
#include "platform/win/Dialog.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>

#ifndef EM_LIMITTEXT
#define EM_LIMITTEXT 0x00C5
#endif

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(AfxHwndOf(m_pDlgWnd), nIDC);
    if (!hWndCtrl)
        AfxThrowNotSupportedException(); // the template lacks the control
    m_idLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl && ::IsWindow(m_idLastControl)) {
        ::SetFocus(m_idLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_idLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

namespace {

CString ControlText(HWND hWnd)
{
    int n = ::GetWindowTextLengthA(hWnd);
    CString text;
    char* buffer = text.GetBufferSetLength(n);
    int got = ::GetWindowTextA(hWnd, buffer, n + 1);
    text.ReleaseBuffer(got);
    return text;
}

// A whole decimal number: spaces around it, an optional sign, digits; the
// value must lie in the range.
bool ParseInteger(const char* text, long long minVal, long long maxVal, long long& value)
{
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const char* start = p;
    if (*p == '+' || *p == '-')
        ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(start, &end, 10);
    if (errno == ERANGE)
        return false;
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    if (*end != '\0' || v < minVal || v > maxVal)
        return false;
    value = v;
    return true;
}

[[noreturn]] void FailWith(CDataExchange* pDX, UINT nIDPrompt)
{
    AfxMessageBox(nIDPrompt, MB_ICONEXCLAMATION, nIDPrompt);
    pDX->Fail();
}

[[noreturn]] void FailRange(CDataExchange* pDX, long long minVal, long long maxVal)
{
    CString lo, hi, prompt;
    lo.Format("%lld", minVal);
    hi.Format("%lld", maxVal);
    AfxFormatString2(prompt, AFX_IDP_PARSE_INT_RANGE, lo, hi);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_INT_RANGE);
    pDX->Fail();
}

template <typename T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, UINT nIDPrompt)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        CString text = ControlText(hWndCtrl);
        if (!ParseInteger(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), v)) {
            // A number outside a small type's range names the range.
            long long any = 0;
            if (sizeof(T) < sizeof(int) && ParseInteger(text, std::numeric_limits<long long>::min(),
                                                        std::numeric_limits<long long>::max(), any))
                FailRange(pDX, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
            FailWith(pDX, nIDPrompt);
        }
        value = static_cast<T>(v);
    } else {
        CString text;
        if (std::numeric_limits<T>::is_signed)
            text.Format("%lld", static_cast<long long>(value));
        else
            text.Format("%llu", static_cast<unsigned long long>(value));
        AfxSetWindowText(hWndCtrl, text);
    }
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWndCtrl);
    else
        AfxSetWindowText(hWndCtrl, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_UINT); }
void DDX_Text(CDataExchange* pDX, int nIDC, short& value) { ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_INT); }
void DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) { ExchangeInteger(pDX, nIDC, value, AFX_IDP_PARSE_INT); }

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0; // not a check state
        ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group: from the first button up to the next control that starts one.
    int index = 0;
    for (HWND h = hWndCtrl; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hWndCtrl && (::GetWindowLongA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(h, BM_GETCHECK, 0, 0) != BST_UNCHECKED && value == -1)
                value = index;
        } else {
            ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl))
        AfxThrowNotSupportedException();
}

void DDX_DateTimeCtrl(CDataExchange* pDX, int nIDC, CTime& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    SYSTEMTIME st{};
    if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(hWndCtrl, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID)
            value = CTime(st);
    } else if (value.GetAsSystemTime(st)) {
        ::SendMessageA(hWndCtrl, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailRange(pDX, minVal, maxVal);
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (pDX->m_bSaveAndValidate && (value < minVal || value > maxVal))
        FailRange(pDX, minVal, maxVal);
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            CString count, prompt;
            count.Format("%d", nChars);
            AfxFormatString1(prompt, AFX_IDP_PARSE_STRING_SIZE, count);
            AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
            pDX->Fail();
        }
    } else if (pDX->m_idLastControl && pDX->m_bEditLastControl) {
        ::SendMessageA(pDX->m_idLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
    }
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    // Controls changed by the exchange do not notify the dialog meanwhile.
    HWND& lockout = tavrin::mfc::LockoutNotifyWindow();
    HWND old = lockout;
    lockout = m_hWnd;
    CDataExchange dx(this, bSaveAndValidate);
    BOOL bOK = FALSE;
    try {
        DoDataExchange(&dx);
        bOK = TRUE;
    } catch (CUserException* e) {
        e->Delete(); // the failing exchange has told the user
    } catch (CException* e) {
        if (bSaveAndValidate)
            AfxMessageBox(AFX_IDP_INTERNAL_FAILURE, MB_ICONSTOP);
        tavrin::mfc::ReportEscapedException("UpdateData", e);
    }
    lockout = old;
    return bOK;
}
