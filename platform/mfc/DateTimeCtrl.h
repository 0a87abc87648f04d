// CDateTimeCtrl: the framework's wrapper of a date picker.
#pragma once

#include "platform/controls/DateTimePick.h"
#include "platform/mfc/Wnd.h"

class CDateTimeCtrl : public CWnd {
    DECLARE_DYNAMIC(CDateTimeCtrl)
public:
    CDateTimeCtrl() = default;
    // The base class's forms stay callable beside these.
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // GDT_VALID with the time, GDT_NONE when the picker holds none.
    DWORD GetTime(LPSYSTEMTIME pTimeDest) const
    {
        return static_cast<DWORD>(SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(pTimeDest)));
    }
    DWORD GetTime(CTime& timeDest) const;
    // A null time clears the picker (DTS_SHOWNONE only).
    BOOL SetTime(const SYSTEMTIME* pTimeNew = nullptr)
    {
        return static_cast<BOOL>(SendMessage(DTM_SETSYSTEMTIME, pTimeNew ? GDT_VALID : GDT_NONE,
                                             reinterpret_cast<LPARAM>(pTimeNew)));
    }
    BOOL SetTime(const CTime& timeNew);
    BOOL SetTime(const CTime* pTimeNew) { return pTimeNew ? SetTime(*pTimeNew) : SetTime(static_cast<const SYSTEMTIME*>(nullptr)); }
    // The dropped calendar's window, null while none is shown.
    HWND GetMonthCalCtrl() const { return reinterpret_cast<HWND>(SendMessage(DTM_GETMONTHCAL)); }
};
