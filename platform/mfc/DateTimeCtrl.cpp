#include "platform/mfc/DateTimeCtrl.h"

IMPLEMENT_DYNAMIC(CDateTimeCtrl, CWnd)

BOOL CDateTimeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    tavrin::controls::RegisterDateTimePick();
    return CWnd::Create(DATETIMEPICK_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CDateTimeCtrl::GetTime(CTime& timeDest) const
{
    SYSTEMTIME st{};
    const DWORD result = GetTime(&st);
    if (result == GDT_VALID)
        timeDest = CTime(st);
    return result;
}

BOOL CDateTimeCtrl::SetTime(const CTime& timeNew)
{
    SYSTEMTIME st{};
    if (!timeNew.GetAsSystemTime(st))
        return FALSE;
    return SetTime(&st);
}
