#include "platform/controls/ComboBox.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tavrin::test;

namespace {

constexpr DWORD kCombo = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;

class ComboTest : public ::testing::Test {
protected:
    ControlHost m_host;
    HWND m_combo = m_host.Create(WC_COMBOBOX, "", kCombo, {20, 20, 220, 160}, 1000);

    void SetUp() override
    {
        for (const char* name : {"5460(电信用户)", "5460(网通用户)", "ChinaRen(ChinaRen用户)", "ChinaRen(Sohu用户)"})
            SendMessageA(m_combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(m_combo, CB_SETCURSEL, 0, 0);
        m_host.Clear();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(m_combo, message, wParam, lParam);
    }
    std::string Text()
    {
        char buffer[64] = {};
        GetWindowTextA(m_combo, buffer, sizeof(buffer));
        return buffer;
    }
};

} // namespace

TEST_F(ComboTest, MessageTable)
{
    EXPECT_EQ(Send(CB_GETCOUNT), 4);
    EXPECT_EQ(Send(CB_GETCURSEL), 0);
    EXPECT_EQ(Text(), "ChinaRen(Sohu用户)");
    EXPECT_EQ(Send(WM_GETTEXTLENGTH), static_cast<LRESULT>(std::string("ChinaRen(Sohu用户)").size()));
    // WM_GETTEXT never writes past the buffer, nor splits a character.
    char small[16];
    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(SendMessageA(m_combo, WM_GETTEXT, 15, reinterpret_cast<LPARAM>(small)), 13);
    EXPECT_EQ(std::string(small), "ChinaRen(Sohu");
    EXPECT_EQ(small[15], 'x');
    char tiny[2];
    SendMessageA(m_combo, WM_GETTEXT, 2, reinterpret_cast<LPARAM>(tiny));
    EXPECT_STREQ(tiny, "C");
    EXPECT_EQ(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("5460(网通用户)")), 2);
    EXPECT_EQ(Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("5460")), CB_ERR);
    EXPECT_EQ(Send(CB_SETCURSEL, 3), 3);
    EXPECT_EQ(Send(CB_SETCURSEL, 9), CB_ERR);
    EXPECT_EQ(Send(CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(Send(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("china")), 0);
    EXPECT_EQ(Send(CB_GETLBTEXTLEN, 2), static_cast<LRESULT>(std::string("5460(网通用户)").size()));
    EXPECT_EQ(Send(CB_SETITEMDATA, 1, 42), TRUE);
    EXPECT_EQ(Send(CB_GETITEMDATA, 1), 42);
    EXPECT_EQ(Send(CB_DELETESTRING, 1), 3);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), FALSE);
    EXPECT_EQ(Send(CB_GETEDITSEL), CB_ERR);
    EXPECT_TRUE(m_host.Take().empty()); // nothing told for the program's own changes
    // The window is as high as the field; the rest is the dropped list's.
    RECT rc, dropped;
    GetWindowRect(m_combo, &rc);
    EXPECT_LT(rc.bottom - rc.top, 40);
    Send(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.bottom - dropped.top, 140);
    EXPECT_EQ(Send(WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(ComboTest, ArrowsChangeTheSelectionWhileClosed)
{
    SetFocus(m_combo);
    m_host.Clear();
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_UP);
    PressKey(VK_HOME);
    PressKey(VK_HOME); // no change, no notice
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE}));
    EXPECT_EQ(Send(CB_GETCURSEL), 0);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), FALSE);
}

TEST_F(ComboTest, OpenedByKeysChosenByEnterCancelledByEsc)
{
    SetFocus(m_combo);
    m_host.Clear();
    PressKey(VK_F4);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), TRUE);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    EXPECT_EQ(Send(CB_GETCURSEL), 2); // the list follows at once
    PressKey(VK_RETURN);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), FALSE);
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    m_host.Clear();
    // Alt+Down opens; Esc goes back to the selection before.
    tavrin::win::InjectKey(VK_MENU, true);
    tavrin::win::InjectKey(VK_DOWN, true);
    tavrin::win::InjectKey(VK_DOWN, false);
    tavrin::win::InjectKey(VK_MENU, false);
    PumpAll();
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), TRUE);
    PressKey(VK_UP);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    // While dropped, the dialog keys are the combo box's.
    Send(CB_SHOWDROPDOWN, TRUE);
    MSG enter{m_combo, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_EQ(Send(WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE, DLGC_WANTMESSAGE);
    Send(CB_SHOWDROPDOWN, FALSE);
}

TEST_F(ComboTest, OpenedAndChosenByMouse)
{
    RECT field;
    GetClientRect(m_combo, &field);
    ClickAt(m_combo, field.right - 5, field.bottom / 2);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), TRUE);
    EXPECT_EQ(GetFocus(), m_combo);
    // The list lies right under the field, as wide as the combo box, one row per item.
    RECT combo;
    GetWindowRect(m_combo, &combo);
    POINT below{combo.left + 30, combo.bottom + 2};
    HWND list = WindowFromPoint(below);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list, m_host.Handle());
    RECT lr;
    GetWindowRect(list, &lr);
    EXPECT_EQ(lr.top, combo.bottom);
    EXPECT_EQ(lr.right - lr.left, combo.right - combo.left);
    const int h = static_cast<int>(Send(CB_GETITEMHEIGHT, 0));
    EXPECT_EQ(lr.bottom - lr.top, 4 * h + 2);
    EXPECT_EQ(GetActiveWindow(), m_host.Handle()); // the list never takes activation
    // Hovering highlights; the release over the third item chooses it.
    tavrin::win::InjectMouseMove(combo.left + 30, lr.top + 1 + h * 2 + h / 2);
    PumpAll();
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
    m_host.Clear();
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, true);
    tavrin::win::InjectMouseButton(tavrin::win::MouseButton::Left, false);
    PumpAll();
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), FALSE);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(Text(), "5460(网通用户)");
}

TEST_F(ComboTest, AClickOutsideCloses)
{
    Send(CB_SHOWDROPDOWN, TRUE);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), TRUE);
    m_host.Clear();
    ClickAt(m_host.Handle(), 350, 250);
    EXPECT_EQ(Send(CB_GETDROPPEDSTATE), FALSE);
    EXPECT_EQ(Send(CB_GETCURSEL), 0);
    EXPECT_EQ(m_host.Codes(), (std::vector<UINT>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(ComboTest, FieldPixels)
{
    SetFocus(m_combo);
    RECT field;
    GetClientRect(m_combo, &field);
    // Focused and closed: the selected text on the highlight colour.
    EXPECT_EQ(PixelAt(m_combo, 4, field.bottom / 2), GetSysColor(COLOR_HIGHLIGHT));
    SetFocus(m_host.Handle());
    EXPECT_EQ(PixelAt(m_combo, 4, field.bottom / 2), GetSysColor(COLOR_WINDOW));
    // The drop button's face at the right.
    EXPECT_EQ(PixelAt(m_combo, field.right - 5, 4), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ComboTest, TheScrollBarStyleIsTheListsOnly)
{
    RECT window, client;
    GetWindowRect(m_combo, &window);
    GetClientRect(m_combo, &client);
    EXPECT_EQ(client.right, window.right - window.left);
    EXPECT_EQ(client.bottom, window.bottom - window.top);
    EXPECT_NE(GetWindowLongA(m_combo, GWL_STYLE) & WS_VSCROLL, 0);
}
