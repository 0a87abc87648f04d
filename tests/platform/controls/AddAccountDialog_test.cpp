// The add-account dialog made of the standard controls, driven through the
// dialog manager's keyboard interface with synthetic input.
#include "tests/platform/controls/AddAccountDialog.h"

#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/win/Dialog.h"
#include "tests/platform/controls/ControlHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace tavrin::test;
using tavrin::win::InjectKey;

namespace {

void PumpDialog(HWND dialog)
{
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard)
        if (!IsWindow(dialog) || !IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
}

void Key(HWND dialog, UINT key, UINT modifier = 0)
{
    if (modifier)
        InjectKey(modifier, true);
    InjectKey(key, true);
    InjectKey(key, false);
    if (modifier)
        InjectKey(modifier, false);
    PumpDialog(dialog);
}

std::string Text(HWND hwnd)
{
    char buffer[128] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

class AddAccountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        AddAccountCommands().clear();
        m_dialog = CreateDialogIndirectParamA(nullptr, AddAccountTemplate(m_builder), nullptr, AddAccountProc, 0);
        ASSERT_TRUE(m_dialog);
        ShowWindow(m_dialog, SW_SHOW);
        SetActiveWindow(m_dialog);
        PumpDialog(m_dialog);
    }
    void TearDown() override
    {
        if (IsWindow(m_dialog))
            DestroyWindow(m_dialog);
    }
    HWND Item(int id) const { return GetDlgItem(m_dialog, id); }
    // The dialog was ended with that button (a modeless dialog only hides).
    bool Ended(UINT id) const
    {
        const auto& c = AddAccountCommands();
        return std::find(c.begin(), c.end(), id) != c.end() && !IsWindowVisible(m_dialog);
    }
    TemplateBuilder m_builder{"添加新帐号", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 222, 121,
                              "宋体", 9};
    HWND m_dialog = nullptr;
};

} // namespace

TEST_F(AddAccountTest, OpensWithTheFirstProviderAndTheFocusOnIt)
{
    EXPECT_EQ(Text(Item(kProvider)), "ChinaRen(Sohu用户)");
    EXPECT_EQ(GetFocus(), Item(kProvider));
    // The combo box is as high as its field; its list takes the rest of the template's height.
    RECT field, dropped;
    GetWindowRect(Item(kProvider), &field);
    SendMessageA(Item(kProvider), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    RECT units{0, 0, 0, 86};
    MapDialogRect(m_dialog, &units);
    EXPECT_EQ(dropped.bottom - dropped.top, units.bottom);
    EXPECT_LT(field.bottom - field.top, units.bottom / 2);
}

TEST_F(AddAccountTest, TabWalksTheFieldsAndSelectsTheirText)
{
    SetWindowTextA(Item(kUser), "someone");
    Key(m_dialog, VK_TAB);
    EXPECT_EQ(GetFocus(), Item(kUser));
    DWORD start = 1, end = 0;
    SendMessageA(Item(kUser), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
    Key(m_dialog, VK_TAB);
    EXPECT_EQ(GetFocus(), Item(kPassword));
    Key(m_dialog, VK_TAB, VK_SHIFT);
    Key(m_dialog, VK_TAB, VK_SHIFT);
    EXPECT_EQ(GetFocus(), Item(kProvider));
}

TEST_F(AddAccountTest, TheComboBoxKeepsEnterWhileDroppedAndOkTakesItAfter)
{
    Key(m_dialog, VK_F4);
    ASSERT_TRUE(SendMessageA(Item(kProvider), CB_GETDROPPEDSTATE, 0, 0));
    Key(m_dialog, VK_DOWN);
    Key(m_dialog, VK_RETURN);
    EXPECT_FALSE(Ended(IDOK)) << "Enter chose the item, not OK";
    EXPECT_FALSE(SendMessageA(Item(kProvider), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Text(Item(kProvider)), "ChinaRen(ChinaRen用户)");
    // Arrows while closed move the selection; Esc while dropped stays in the combo box.
    Key(m_dialog, VK_DOWN);
    EXPECT_EQ(Text(Item(kProvider)), "5460(网通用户)");
    Key(m_dialog, VK_DOWN, VK_MENU);
    Key(m_dialog, VK_ESCAPE);
    EXPECT_FALSE(Ended(IDCANCEL));
    EXPECT_EQ(Text(Item(kProvider)), "5460(网通用户)");
    Key(m_dialog, VK_RETURN);
    EXPECT_TRUE(Ended(IDOK));
}

TEST_F(AddAccountTest, TypedFieldsKeepTheirRules)
{
    SetFocus(Item(kProxyPort));
    tavrin::win::InjectText("80a8");
    PumpDialog(m_dialog);
    EXPECT_EQ(Text(Item(kProxyPort)), "808");
    SetFocus(Item(kPassword));
    tavrin::win::InjectText("密码");
    PumpDialog(m_dialog);
    EXPECT_EQ(Text(Item(kPassword)), "密码");
    EXPECT_EQ(SendMessageA(Item(kPassword), EM_GETPASSWORDCHAR, 0, 0), '*');
    Key(m_dialog, VK_ESCAPE);
    EXPECT_TRUE(Ended(IDCANCEL));
}
