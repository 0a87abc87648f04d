#include "platform/controls/DateTimePick.h"
#include "platform/controls/DateTimePickCalendar.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tavrin::test;

namespace {

SYSTEMTIME Date(int y, int m, int d)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    return st;
}

std::string Text(const SYSTEMTIME& st)
{
    return std::to_string(st.wYear) + "-" + std::to_string(st.wMonth) + "-" + std::to_string(st.wDay);
}

class DateTimePickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.m_handler = [this](UINT message, WPARAM, LPARAM lParam, LRESULT*) {
            if (message == WM_NOTIFY) {
                auto* hdr = reinterpret_cast<NMHDR*>(lParam);
                if (hdr->code == DTN_DATETIMECHANGE)
                    changes.push_back(Text(reinterpret_cast<NMDATETIMECHANGE*>(lParam)->st));
            }
            return false;
        };
        picker = host.Create(DATETIMEPICK_CLASS, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATEFORMAT | DTS_RIGHTALIGN,
                             {200, 20, 320, 42}, 1050);
        Set(2005, 3, 12);
        SetFocus(picker);
        PumpAll();
        host.Clear();
    }
    void Set(int y, int m, int d)
    {
        SYSTEMTIME st = Date(y, m, d);
        ASSERT_TRUE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)));
    }
    std::string Get()
    {
        SYSTEMTIME st{};
        EXPECT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
        return Text(st);
    }
    void Key(UINT key) { SendMessageA(picker, WM_KEYDOWN, key, 0); }
    void Type(const char* text)
    {
        for (const char* p = text; *p; ++p)
            SendMessageA(picker, WM_CHAR, static_cast<unsigned char>(*p), 0);
    }
    // Selects a field: 0 year, 1 month, 2 day.
    void Field(int field)
    {
        for (int i = 0; i < 3; ++i)
            Key(VK_LEFT);
        for (int i = 0; i < field; ++i)
            Key(VK_RIGHT);
    }
    ControlHost host;
    HWND picker = nullptr;
    std::vector<std::string> changes;
};

} // namespace

TEST_F(DateTimePickTest, SetAndReadBack)
{
    EXPECT_EQ(Get(), "2005-3-12");
    char text[32] = {};
    GetWindowTextA(picker, text, sizeof text);
    EXPECT_STREQ(text, "2005-3-12");
    SYSTEMTIME st = Date(2004, 2, 29);
    st.wHour = 13;
    EXPECT_TRUE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)));
    SYSTEMTIME back{};
    EXPECT_EQ(SendMessageA(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&back)), GDT_VALID);
    EXPECT_EQ(back.wHour, 13);
    EXPECT_EQ(back.wDayOfWeek, 0); // a Sunday
    // Impossible dates and "none" without the style are refused and change nothing.
    for (SYSTEMTIME bad : {Date(2005, 2, 29), Date(2005, 13, 1), Date(2005, 4, 31), Date(0, 1, 1)})
        EXPECT_FALSE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&bad)));
    EXPECT_FALSE(SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_NONE, 0));
    EXPECT_EQ(Get(), "2004-2-29");
    // The program's own changes are not reported.
    EXPECT_TRUE(changes.empty());
}

TEST_F(DateTimePickTest, ArrowsStepTheSelectedFieldAcrossMonthEndsAndLeapDays)
{
    struct Case {
        SYSTEMTIME start;
        int field;
        UINT key;
        const char* result;
    } cases[] = {
        {Date(2005, 1, 31), 2, VK_UP, "2005-1-1"},    // the day wraps inside its month
        {Date(2005, 1, 1), 2, VK_DOWN, "2005-1-31"},
        {Date(2005, 1, 31), 1, VK_UP, "2005-2-28"},   // a day past the new month's end is its last
        {Date(2004, 1, 31), 1, VK_UP, "2004-2-29"},
        {Date(2005, 12, 5), 1, VK_UP, "2005-1-5"},    // the month wraps, the year stays
        {Date(2004, 2, 29), 0, VK_UP, "2005-2-28"},
        {Date(2004, 2, 29), 0, VK_DOWN, "2003-2-28"},
        {Date(2003, 2, 28), 2, VK_UP, "2003-2-1"},
        {Date(2004, 2, 28), 2, VK_UP, "2004-2-29"},
    };
    for (const Case& c : cases) {
        Set(c.start.wYear, c.start.wMonth, c.start.wDay);
        changes.clear();
        Field(c.field);
        Key(c.key);
        EXPECT_EQ(Get(), c.result) << Text(c.start);
        EXPECT_EQ(changes, std::vector<std::string>{c.result}) << Text(c.start);
    }
}

TEST_F(DateTimePickTest, TypedDigits)
{
    struct Case {
        int field;
        const char* typed;
        const char* result;
        size_t changes;
    } cases[] = {
        {0, "2008", "2008-3-12", 1},
        {0, "20", "2005-3-12", 0},     // a year takes effect at four digits
        {1, "11", "2005-11-12", 2},    // "1" then "11"
        {1, "7", "2005-7-12", 1},
        {1, "05", "2005-5-12", 1},
        {2, "30", "2005-3-30", 2},     // "3" then "30"
        {2, "9", "2005-3-9", 1},
        {0, "2004-2-29", "2004-2-29", 4}, // a field moves on when done; a separator then adds nothing
        {1, "1-29", "2005-1-29", 3},      // a separator moves on
        {2, "1", "2005-3-1", 1},
    };
    for (const Case& c : cases) {
        Set(2005, 3, 12);
        Field(c.field);
        changes.clear();
        Type(c.typed);
        EXPECT_EQ(Get(), c.result) << c.typed;
        EXPECT_EQ(changes.size(), c.changes) << c.typed;
    }
    // A year left with fewer digits is dropped when the field is left.
    Set(2005, 3, 12);
    Field(0);
    Type("99");
    Key(VK_RIGHT);
    EXPECT_EQ(Get(), "2005-3-12");
    // Typing into the day then going up steps from the typed value.
    Field(2);
    Type("2");
    Key(VK_UP);
    EXPECT_EQ(Get(), "2005-3-3");
}

TEST_F(DateTimePickTest, ADayPickedInTheDroppedCalendar)
{
    RECT client;
    GetClientRect(picker, &client);
    ClickAt(picker, client.right - 4, client.bottom / 2);
    HWND calendar = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(host.Codes(WM_NOTIFY), std::vector<UINT>{DTN_DROPDOWN});
    // Aligned right under the picker.
    RECT cal, own;
    GetWindowRect(calendar, &cal);
    GetWindowRect(picker, &own);
    EXPECT_EQ(cal.right, own.right);
    EXPECT_EQ(cal.top, own.bottom);
    SYSTEMTIME sel{};
    SendMessageA(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(Text(sel), "2005-3-12");
    // Next month, then the 31st.
    RECT previous, next, day;
    ASSERT_TRUE(tavrin::controls::MonthCalPagingRects(calendar, &previous, &next));
    ClickAt(calendar, next.left + 3, next.top + 3);
    EXPECT_FALSE(tavrin::controls::MonthCalDayRect(calendar, 31, &day)); // April
    ASSERT_TRUE(tavrin::controls::MonthCalDayRect(calendar, 30, &day));
    host.Clear();
    changes.clear();
    ClickAt(calendar, day.left + 5, day.top + 5);
    EXPECT_FALSE(IsWindow(calendar));
    EXPECT_EQ(Get(), "2005-4-30");
    EXPECT_EQ(changes, std::vector<std::string>{"2005-4-30"});
    EXPECT_EQ(host.Codes(WM_NOTIFY), (std::vector<UINT>{DTN_DATETIMECHANGE, DTN_CLOSEUP}));

    // Esc closes it without a change; so does a press outside.
    for (int way = 0; way < 2; ++way) {
        host.Clear();
        changes.clear();
        Key(VK_F4);
        calendar = reinterpret_cast<HWND>(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0));
        ASSERT_NE(calendar, nullptr);
        Key(VK_DOWN); // moves the calendar's selection only
        if (way == 0)
            PressKey(VK_ESCAPE);
        else
            ClickAt(host.Handle(), 5, 5);
        EXPECT_FALSE(IsWindow(calendar)) << way;
        EXPECT_EQ(SendMessageA(picker, DTM_GETMONTHCAL, 0, 0), 0) << way;
        EXPECT_EQ(Get(), "2005-4-30");
        EXPECT_TRUE(changes.empty());
        EXPECT_EQ(host.Codes(WM_NOTIFY), (std::vector<UINT>{DTN_DROPDOWN, DTN_CLOSEUP})) << way;
    }
    // Picking by keys: down a week, Enter.
    Key(VK_F4);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_EQ(Get(), "2005-5-7");
    EXPECT_EQ(changes, std::vector<std::string>{"2005-5-7"});
}

TEST(MonthCalendar, Arithmetic)
{
    using namespace tavrin::controls;
    EXPECT_EQ(DaysInMonth(2004, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2005, 13), 0);
    EXPECT_EQ(DayOfWeek(2005, 3, 12), 6); // Saturday
    EXPECT_EQ(DayOfWeek(2000, 1, 1), 6);
    EXPECT_EQ(DayOfWeek(2026, 12, 10), 4);
}
