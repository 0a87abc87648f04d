// "SysDateTimePick32" with the short date only: three fields (year, month,
// day) shown as "yyyy-M-d". Arrows move between fields and step the one
// selected within its own range, the day kept inside the month; digits are
// typed into the selected field, which moves on when no further digit could
// follow. Every change the user makes is reported with DTN_DATETIMECHANGE,
// exactly once; programmatic changes are not reported.
#include "platform/controls/DateTimePick.h"

#include "platform/base/LocalTime.h"
#include "platform/controls/Control.h"
#include "platform/controls/DateTimePickCalendar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace tavrin::controls {

namespace {

enum Field { kYear, kMonth, kDay, kFieldCount };

class DateTimePick : public Control {
public:
    explicit DateTimePick(HWND hwnd);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Value(int field) const { return field == kYear ? m_time.wYear : field == kMonth ? m_time.wMonth : m_time.wDay; }
    std::string FieldText(int field) const;
    RECT ButtonRect() const;
    // The x extents of the fields in the client area.
    void FieldSpans(HDC hdc, int left[kFieldCount], int right[kFieldCount]) const;
    int FieldAt(int x) const;
    // Sets the date the user chose; reports it when it changed.
    void Change(int year, int month, int day);
    void Step(int delta);
    void Type(char digit);
    void CommitTyping();
    void Select(int field);
    void Drop();
    void CloseUp(bool notify);
    void Paint(HDC hdc) override;

    SYSTEMTIME m_time{};
    bool m_none = false;
    int m_field = kYear;
    std::string m_typed;
    HWND m_calendar = nullptr;
    bool m_focused = false;
    // A field just moved on by itself: a separator typed now is not another move.
    bool m_movedOn = false;
};

DateTimePick::DateTimePick(HWND hwnd) : Control(hwnd)
{
    GetLocalTime(&m_time);
}

std::string DateTimePick::FieldText(int field) const
{
    if (field == m_field && !m_typed.empty())
        return m_typed;
    return std::to_string(Value(field));
}

RECT DateTimePick::ButtonRect() const
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    if (Style() & DTS_UPDOWN)
        return {client.right, client.top, client.right, client.bottom};
    return {client.right - GetSystemMetrics(SM_CXVSCROLL), client.top, client.right, client.bottom};
}

void DateTimePick::FieldSpans(HDC hdc, int left[kFieldCount], int right[kFieldCount]) const
{
    int x = 2;
    SIZE size{};
    for (int f = 0; f < kFieldCount; ++f) {
        if (f > 0) {
            GetTextExtentPoint32A(hdc, "-", 1, &size);
            x += size.cx;
        }
        const std::string text = FieldText(f);
        GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size);
        left[f] = x;
        x += size.cx;
        right[f] = x;
    }
}

int DateTimePick::FieldAt(int x) const
{
    HDC hdc = GetDC(m_hwnd);
    SelectObject(hdc, Font());
    int left[kFieldCount], right[kFieldCount];
    FieldSpans(hdc, left, right);
    ReleaseDC(m_hwnd, hdc);
    // The field whose text is nearest; the separators belong to the field before.
    for (int f = 0; f < kFieldCount - 1; ++f)
        if (x < left[f + 1])
            return f;
    return kDay;
}

void DateTimePick::Change(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        return;
    const bool changed = m_none || year != m_time.wYear || month != m_time.wMonth || day != m_time.wDay;
    m_time.wYear = static_cast<WORD>(year);
    m_time.wMonth = static_cast<WORD>(month);
    m_time.wDay = static_cast<WORD>(day);
    m_time.wDayOfWeek = static_cast<WORD>(DayOfWeek(year, month, day));
    m_none = false;
    Redraw();
    if (changed) {
        NMDATETIMECHANGE change{};
        change.dwFlags = GDT_VALID;
        change.st = m_time;
        Notify(DTN_DATETIMECHANGE, &change.nmhdr);
    }
}

// A field steps around within its own range; the day stays inside the month.
void DateTimePick::Step(int delta)
{
    m_typed.clear();
    int year = m_time.wYear, month = m_time.wMonth, day = m_time.wDay;
    auto wrap = [](int value, int low, int high) { return (value - low + (high - low + 1)) % (high - low + 1) + low; };
    switch (m_field) {
    case kYear:
        year = std::clamp(year + delta, 1601, 9999);
        break;
    case kMonth:
        month = wrap(month + delta, 1, 12);
        break;
    default:
        day = wrap(day + delta, 1, DaysInMonth(year, month));
        break;
    }
    Change(year, month, std::min(day, DaysInMonth(year, month)));
}

void DateTimePick::CommitTyping()
{
    if (m_typed.empty() || m_field != kYear)
        return;
    const int year = std::stoi(m_typed);
    m_typed.clear();
    if (year >= 1601 && year <= 9999)
        Change(year, m_time.wMonth, std::min<int>(m_time.wDay, DaysInMonth(year, m_time.wMonth)));
    else
        Redraw();
}

// Months and days take effect digit by digit; a year once it has four.
void DateTimePick::Type(char digit)
{
    const int maxDigits = m_field == kYear ? 4 : 2;
    m_typed += digit;
    const int value = std::stoi(m_typed);
    bool complete = static_cast<int>(m_typed.size()) >= maxDigits;
    if (m_field == kYear) {
        if (complete)
            CommitTyping();
        else
            Redraw();
    } else {
        const int high = m_field == kMonth ? 12 : DaysInMonth(m_time.wYear, m_time.wMonth);
        if (value < 1 || value > high) {
            // "0" may still become "05"; anything else starts over with this digit.
            if (value == 0 && m_typed.size() == 1) {
                Redraw();
                return;
            }
            m_typed = std::string(1, digit);
            if (digit == '0') {
                Redraw();
                return;
            }
        }
        const int v = std::stoi(m_typed);
        complete = complete || v * 10 > high;
        if (m_field == kMonth)
            Change(m_time.wYear, v, std::min<int>(m_time.wDay, DaysInMonth(m_time.wYear, v)));
        else
            Change(m_time.wYear, m_time.wMonth, v);
    }
    if (complete) {
        m_typed.clear();
        if (m_field < kDay) {
            ++m_field;
            m_movedOn = true;
        }
        Redraw();
    }
}

void DateTimePick::Select(int field)
{
    field = std::clamp(field, 0, kFieldCount - 1);
    if (field == m_field)
        return;
    CommitTyping();
    m_typed.clear();
    m_field = field;
    Redraw();
}

void DateTimePick::Drop()
{
    if (m_calendar || (Style() & DTS_UPDOWN))
        return;
    CommitTyping();
    Notify(DTN_DROPDOWN);
    RECT screen;
    GetWindowRect(m_hwnd, &screen);
    m_calendar = DropMonthCal(m_hwnd, m_time, screen, (Style() & DTS_RIGHTALIGN) != 0);
    Redraw();
}

void DateTimePick::CloseUp(bool notify)
{
    HWND calendar = m_calendar;
    m_calendar = nullptr;
    if (calendar)
        CloseMonthCal(calendar);
    Redraw();
    if (notify && calendar)
        Notify(DTN_CLOSEUP);
}

void DateTimePick::Paint(HDC hdc)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    const bool enabled = Enabled();
    FillRect(hdc, &client, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    SelectObject(hdc, Font());
    SetBkMode(hdc, TRANSPARENT);
    int left[kFieldCount], right[kFieldCount];
    FieldSpans(hdc, left, right);
    for (int f = 0; f < kFieldCount; ++f) {
        const std::string text = FieldText(f);
        RECT rc{left[f], client.top, right[f], client.bottom};
        const bool selected = m_focused && f == m_field && !m_calendar;
        if (selected)
            FillRect(hdc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(!enabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (f + 1 < kFieldCount) {
            RECT sep{right[f], client.top, left[f + 1], client.bottom};
            SetTextColor(hdc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
            DrawTextA(hdc, "-", 1, &sep, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
    RECT button = ButtonRect();
    if (button.right > button.left)
        DrawFrameControl(hdc, &button, DFC_SCROLL,
                         DFCS_SCROLLCOMBOBOX | (m_calendar ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
}

LRESULT DateTimePick::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        m_focused = true;
        Redraw();
        Notify(NM_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        m_focused = false;
        CommitTyping();
        m_typed.clear();
        CloseUp(true);
        Notify(NM_KILLFOCUS);
        return 0;
    case WM_ENABLE:
        if (!wParam)
            CloseUp(true);
        Redraw();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT button = ButtonRect();
        if (PtInRect(&button, pt)) {
            if (m_calendar)
                CloseUp(true);
            else
                Drop();
        } else {
            Select(FieldAt(pt.x));
        }
        return 0;
    }
    case WM_KEYDOWN:
        m_movedOn = false;
        if (m_calendar) {
            MonthCalKey(m_calendar, static_cast<UINT>(wParam));
            return 0;
        }
        switch (wParam) {
        case VK_LEFT:
            Select(m_field - 1);
            return 0;
        case VK_RIGHT:
            Select(m_field + 1);
            return 0;
        case VK_UP:
        case VK_DOWN:
            CommitTyping();
            Step(wParam == VK_UP ? 1 : -1);
            return 0;
        case VK_PRIOR:
        case VK_NEXT:
            CommitTyping();
            Step(wParam == VK_PRIOR ? 1 : -1);
            return 0;
        case VK_F4:
            Drop();
            return 0;
        default:
            return 0;
        }
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN && !m_calendar) {
            Drop();
            return 0;
        }
        return Control::Handle(message, wParam, lParam);
    case WM_CHAR: {
        const char c = static_cast<char>(wParam);
        const bool movedOn = m_movedOn;
        m_movedOn = false;
        if (c >= '0' && c <= '9')
            Type(c);
        else if ((c == '-' || c == '/' || c == '.') && !movedOn)
            Select(m_field + 1);
        return 0;
    }
    case kCalendarPicked: {
        const auto* st = reinterpret_cast<const SYSTEMTIME*>(lParam);
        m_calendar = nullptr;
        if (st)
            Change(st->wYear, st->wMonth, st->wDay);
        Redraw();
        Notify(DTN_CLOSEUP);
        return 0;
    }
    case kCalendarDismissed:
        m_calendar = nullptr;
        Redraw();
        Notify(DTN_CLOSEUP);
        return 0;
    case WM_DESTROY:
        CloseUp(false);
        return Control::Handle(message, wParam, lParam);
    case DTM_GETSYSTEMTIME: {
        auto* st = reinterpret_cast<SYSTEMTIME*>(lParam);
        if (!st)
            return GDT_ERROR;
        if (m_none)
            return GDT_NONE;
        *st = m_time;
        return GDT_VALID;
    }
    case DTM_SETSYSTEMTIME: {
        if (wParam == GDT_NONE) {
            if (!(Style() & DTS_SHOWNONE))
                return FALSE;
            m_none = true;
            Redraw();
            return TRUE;
        }
        const auto* st = reinterpret_cast<const SYSTEMTIME*>(lParam);
        if (wParam != GDT_VALID || !st || !IsValidDate(st->wYear, st->wMonth, st->wDay) || st->wHour > 23 ||
            st->wMinute > 59 || st->wSecond > 59)
            return FALSE;
        m_time = *st;
        m_time.wDayOfWeek = static_cast<WORD>(DayOfWeek(st->wYear, st->wMonth, st->wDay));
        m_none = false;
        m_typed.clear();
        if (m_calendar)
            SendMessageA(m_calendar, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&m_time));
        Redraw();
        return TRUE;
    }
    case DTM_GETMONTHCAL:
        return reinterpret_cast<LRESULT>(m_calendar);
    case WM_GETTEXT: {
        char text[32];
        std::snprintf(text, sizeof text, "%d-%d-%d", m_time.wYear, m_time.wMonth, m_time.wDay);
        return CopyTextOut(m_none ? std::string() : std::string(text), wParam, lParam);
    }
    case WM_GETTEXTLENGTH: {
        char text[32];
        return m_none ? 0 : std::snprintf(text, sizeof text, "%d-%d-%d", m_time.wYear, m_time.wMonth, m_time.wDay);
    }
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

} // namespace

bool RegisterDateTimePick()
{
    RegisterMonthCal();
    return RegisterControl(DATETIMEPICK_CLASSA, ControlProc<DateTimePick>, CS_DBLCLKS);
}

} // namespace tavrin::controls
