// "SysMonthCal32" as a date picker's drop-down: a title with the month and
// paging buttons, a row of weekday names (the week starts on Monday, as the
// Chinese calendar prints it) and six weeks of days; days of the months
// before and after are grey and pick their own date.
#include "platform/controls/DateTimePickCalendar.h"

#include "platform/base/String.h"
#include "platform/controls/Control.h"

#include <algorithm>
#include <cstdio>

namespace tavrin::controls {

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int DayOfWeek(int year, int month, int day)
{
    static const int kOffset[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3)
        --year;
    return (year + year / 4 - year / 100 + year / 400 + kOffset[month - 1] + day) % 7;
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1601 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

namespace {

constexpr int kCellWidth = 26;
constexpr int kCellHeight = 18;
constexpr int kTitleHeight = 24;
constexpr int kMargin = 4;
constexpr int kWidth = 7 * kCellWidth + 2 * kMargin;
constexpr int kHeight = kTitleHeight + 7 * kCellHeight + 2 * kMargin;

struct Date {
    int year, month, day;
};

Date Shift(Date d, int days)
{
    d.day += days;
    while (d.day < 1) {
        if (--d.month < 1) {
            d.month = 12;
            --d.year;
        }
        d.day += DaysInMonth(d.year, d.month);
    }
    while (d.day > DaysInMonth(d.year, d.month)) {
        d.day -= DaysInMonth(d.year, d.month);
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

class MonthCal : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The date in the grid's cell (0..41).
    Date CellDate(int cell) const
    {
        // Monday-first column of the month's first day.
        const int lead = (DayOfWeek(m_year, m_month, 1) + 6) % 7;
        return Shift({m_year, m_month, 1}, cell - lead);
    }
    RECT CellRect(int cell) const
    {
        const int x = kMargin + (cell % 7) * kCellWidth;
        const int y = kMargin + kTitleHeight + (cell / 7 + 1) * kCellHeight;
        return {x, y, x + kCellWidth, y + kCellHeight};
    }
    RECT PreviousRect() const { return {kMargin, kMargin + 2, kMargin + 20, kMargin + kTitleHeight - 2}; }
    RECT NextRect() const { return {kWidth - kMargin - 20, kMargin + 2, kWidth - kMargin, kMargin + kTitleHeight - 2}; }
    int ShownMonthCell(int day) const { return (DayOfWeek(m_year, m_month, 1) + 6) % 7 + day - 1; }

    void Page(int months);
    void Pick(Date d);
    void Dismiss();
    void Key(UINT key);

    HWND m_picker = nullptr;
    bool m_closing = false;

private:
    void Paint(HDC hdc) override;

    int m_year = 2000, m_month = 1;
    Date m_selected{2000, 1, 1};
};

void MonthCal::Page(int months)
{
    int index = m_year * 12 + (m_month - 1) + months;
    const int year = index / 12;
    if (year < 1601 || year > 9999)
        return;
    m_year = year;
    m_month = index % 12 + 1;
    Redraw();
}

void MonthCal::Pick(Date d)
{
    if (!IsValidDate(d.year, d.month, d.day))
        return;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(d.year);
    st.wMonth = static_cast<WORD>(d.month);
    st.wDay = static_cast<WORD>(d.day);
    HWND picker = m_picker;
    m_picker = nullptr;
    CloseMonthCal(m_hwnd);
    if (picker)
        SendMessageA(picker, kCalendarPicked, 0, reinterpret_cast<LPARAM>(&st));
}

void MonthCal::Dismiss()
{
    HWND picker = m_picker;
    m_picker = nullptr;
    CloseMonthCal(m_hwnd);
    if (picker)
        SendMessageA(picker, kCalendarDismissed, 0, 0);
}

void MonthCal::Key(UINT key)
{
    switch (key) {
    case VK_ESCAPE:
        Dismiss();
        return;
    case VK_RETURN:
        Pick(m_selected);
        return;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
        const int step = key == VK_LEFT ? -1 : key == VK_RIGHT ? 1 : key == VK_UP ? -7 : 7;
        const Date d = Shift(m_selected, step);
        if (!IsValidDate(d.year, d.month, d.day))
            return;
        m_selected = d;
        m_year = d.year;
        m_month = d.month;
        Redraw();
        return;
    }
    case VK_PRIOR:
    case VK_NEXT: {
        Page(key == VK_PRIOR ? -1 : 1);
        m_selected.year = m_year;
        m_selected.month = m_month;
        m_selected.day = std::min(m_selected.day, DaysInMonth(m_year, m_month));
        Redraw();
        return;
    }
    default:
        return;
    }
}

void MonthCal::Paint(HDC hdc)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    FillRect(hdc, &client, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(hdc, Font());
    SetBkMode(hdc, TRANSPARENT);
    RECT title{kMargin, kMargin, kWidth - kMargin, kMargin + kTitleHeight};
    FillRect(hdc, &title, GetSysColorBrush(COLOR_ACTIVECAPTION));
    SetTextColor(hdc, GetSysColor(COLOR_CAPTIONTEXT));
    char text[32];
    std::snprintf(text, sizeof text, "%d年%d月", m_year, m_month);
    DrawTextA(hdc, text, -1, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RECT previous = PreviousRect(), next = NextRect();
    DrawFrameControl(hdc, &previous, DFC_SCROLL, DFCS_SCROLLLEFT);
    DrawFrameControl(hdc, &next, DFC_SCROLL, DFCS_SCROLLRIGHT);

    static const char* const kNames[] = {"一", "二", "三", "四", "五", "六", "日"};
    SetTextColor(hdc, GetSysColor(COLOR_ACTIVECAPTION));
    for (int c = 0; c < 7; ++c) {
        RECT rc{kMargin + c * kCellWidth, kMargin + kTitleHeight, kMargin + (c + 1) * kCellWidth,
                kMargin + kTitleHeight + kCellHeight};
        DrawTextA(hdc, kNames[c], -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    const int line = kMargin + kTitleHeight + kCellHeight - 1;
    MoveToEx(hdc, kMargin, line, nullptr);
    LineTo(hdc, kWidth - kMargin, line);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);

    for (int cell = 0; cell < 42; ++cell) {
        const Date d = CellDate(cell);
        RECT rc = CellRect(cell);
        const bool selected = d.year == m_selected.year && d.month == m_selected.month && d.day == m_selected.day;
        if (selected) {
            RECT fill = rc;
            InflateRect(&fill, -1, 0);
            FillRect(hdc, &fill, GetSysColorBrush(COLOR_HIGHLIGHT));
            SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            SetTextColor(hdc, GetSysColor(d.month == m_month ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        }
        std::snprintf(text, sizeof text, "%d", d.day);
        DrawTextA(hdc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

LRESULT MonthCal::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client;
        GetClientRect(m_hwnd, &client);
        RECT previous = PreviousRect(), next = NextRect();
        if (!PtInRect(&client, pt)) {
            Dismiss();
        } else if (PtInRect(&previous, pt)) {
            Page(-1);
        } else if (PtInRect(&next, pt)) {
            Page(1);
        } else {
            for (int cell = 0; cell < 42; ++cell) {
                RECT rc = CellRect(cell);
                if (PtInRect(&rc, pt)) {
                    Pick(CellDate(cell));
                    break;
                }
            }
        }
        return 0;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client;
        GetClientRect(m_hwnd, &client);
        if (!PtInRect(&client, pt))
            Dismiss();
        return 0;
    }
    case WM_KEYDOWN:
        Key(static_cast<UINT>(wParam));
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the drop-down goes away.
        if (!m_closing && reinterpret_cast<HWND>(lParam) != m_hwnd)
            Dismiss();
        return 0;
    case MCM_GETCURSEL:
        if (auto* st = reinterpret_cast<SYSTEMTIME*>(lParam)) {
            *st = SYSTEMTIME{};
            st->wYear = static_cast<WORD>(m_selected.year);
            st->wMonth = static_cast<WORD>(m_selected.month);
            st->wDay = static_cast<WORD>(m_selected.day);
            st->wDayOfWeek = static_cast<WORD>(DayOfWeek(m_selected.year, m_selected.month, m_selected.day));
            return TRUE;
        }
        return FALSE;
    case MCM_SETCURSEL: {
        const auto* st = reinterpret_cast<const SYSTEMTIME*>(lParam);
        if (!st || !IsValidDate(st->wYear, st->wMonth, st->wDay))
            return FALSE;
        m_selected = {st->wYear, st->wMonth, st->wDay};
        m_year = st->wYear;
        m_month = st->wMonth;
        Redraw();
        return TRUE;
    }
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

MonthCal* CalendarOf(HWND hwnd)
{
    char name[32] = {};
    if (!hwnd || !GetClassNameA(hwnd, name, sizeof name) || std::string(name) != MONTHCAL_CLASSA)
        return nullptr;
    return StateOf<MonthCal>(hwnd);
}

} // namespace

bool RegisterMonthCal()
{
    return RegisterControl(MONTHCAL_CLASSA, ControlProc<MonthCal>, CS_DBLCLKS | CS_SAVEBITS);
}

HWND DropMonthCal(HWND picker, const SYSTEMTIME& date, const RECT& pickerScreen, bool rightAlign)
{
    RegisterMonthCal();
    const int width = kWidth + 2, height = kHeight + 2; // with the border
    int x = rightAlign ? pickerScreen.right - width : pickerScreen.left;
    int y = pickerScreen.bottom;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (work.right > work.left) {
        if (y + height > work.bottom)
            y = pickerScreen.top - height;
        x = std::clamp(x, static_cast<int>(work.left), std::max<int>(work.left, work.right - width));
        y = std::max<int>(y, work.top);
    }
    HWND hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, MONTHCAL_CLASSA, "", WS_POPUP | WS_BORDER, x, y,
                                width, height, GetAncestor(picker, GA_ROOT), nullptr, nullptr, nullptr);
    MonthCal* calendar = CalendarOf(hwnd);
    if (!calendar)
        return nullptr;
    calendar->m_picker = picker;
    SendMessageA(hwnd, WM_SETFONT, SendMessageA(picker, WM_GETFONT, 0, 0), FALSE);
    SendMessageA(hwnd, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&date));
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SetCapture(hwnd);
    return hwnd;
}

void MonthCalKey(HWND hwnd, UINT key)
{
    if (MonthCal* calendar = CalendarOf(hwnd))
        calendar->Key(key);
}

void CloseMonthCal(HWND hwnd)
{
    MonthCal* calendar = CalendarOf(hwnd);
    if (!calendar || calendar->m_closing)
        return;
    calendar->m_closing = true;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    DestroyWindow(hwnd);
}

bool MonthCalDayRect(HWND hwnd, int day, RECT* rect)
{
    MonthCal* calendar = CalendarOf(hwnd);
    SYSTEMTIME st{};
    if (!calendar || !rect || !SendMessageA(hwnd, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st)))
        return false;
    const int cell = calendar->ShownMonthCell(day);
    if (day < 1 || cell >= 42 || calendar->CellDate(cell).day != day)
        return false;
    *rect = calendar->CellRect(cell);
    return true;
}

bool MonthCalPagingRects(HWND hwnd, RECT* previous, RECT* next)
{
    MonthCal* calendar = CalendarOf(hwnd);
    if (!calendar)
        return false;
    if (previous)
        *previous = calendar->PreviousRect();
    if (next)
        *next = calendar->NextRect();
    return true;
}

} // namespace tavrin::controls
