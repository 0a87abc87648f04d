// Menus as data: the tray menu of the program's resources read and changed
// call by call, templates from the fixture, and a window's menu strip.
#include "platform/win/Menu.h"
#include "platform/win/User.h"
#include "tests/fixtures/rc/fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

const tavrin::win::ResourceTable& TavrinFixtureResources();

using namespace tavrin;

namespace {

std::string MenuText(HMENU menu, UINT item, UINT flags, int size = 64)
{
    char buffer[128] = "#";
    const int n = GetMenuStringA(menu, item, buffer, size, flags);
    EXPECT_EQ(static_cast<size_t>(n), std::strlen(buffer));
    return buffer;
}

} // namespace

TEST(Menu, TrayMenuCallByCall)
{
    HMENU root = LoadMenuA(nullptr, MAKEINTRESOURCEA(157));
    ASSERT_TRUE(root);
    ASSERT_EQ(GetMenuItemCount(root), 1);
    HMENU tray = GetSubMenu(root, 0);
    ASSERT_TRUE(tray);
    HMENU updates = GetSubMenu(tray, 3);
    ASSERT_TRUE(updates);
    constexpr UINT kNone = 0xFFFFFFFF;

    struct Step {
        const char* what;
        std::function<UINT()> call;
        UINT want;
    };
    const Step steps[] = {
        {"items", [&] { return UINT(GetMenuItemCount(tray)); }, 10},
        {"first id", [&] { return GetMenuItemID(tray, 0); }, 32865},
        {"separator id", [&] { return GetMenuItemID(tray, 1); }, 0},
        {"submenu id", [&] { return GetMenuItemID(tray, 3); }, kNone},
        {"past the end", [&] { return GetMenuItemID(tray, 10); }, kNone},
        {"last id", [&] { return GetMenuItemID(tray, 9); }, 57665},
        {"separator state", [&] { return GetMenuState(tray, 1, MF_BYPOSITION); }, UINT(MF_SEPARATOR)},
        {"submenu state", [&] { return GetMenuState(tray, 3, MF_BYPOSITION); }, UINT(MF_POPUP | (6 << 8))},
        {"no such command", [&] { return GetMenuState(tray, 4242, MF_BYCOMMAND); }, kNone},
        {"check", [&] { return UINT(CheckMenuItem(tray, 32771, MF_CHECKED)); }, UINT(MF_UNCHECKED)},
        {"check again", [&] { return UINT(CheckMenuItem(tray, 32771, MF_CHECKED)); }, UINT(MF_CHECKED)},
        {"checked state", [&] { return GetMenuState(tray, 32771, MF_BYCOMMAND); }, UINT(MF_CHECKED)},
        {"check in a submenu", [&] { return UINT(CheckMenuItem(tray, 32869, MF_CHECKED)); }, UINT(MF_UNCHECKED)},
        {"seen from the submenu", [&] { return GetMenuState(updates, 4, MF_BYPOSITION); }, UINT(MF_CHECKED)},
        {"grey", [&] { return UINT(EnableMenuItem(tray, 57665, MF_GRAYED)); }, UINT(MF_ENABLED)},
        {"enable", [&] { return UINT(EnableMenuItem(tray, 57665, MF_ENABLED)); }, UINT(MF_GRAYED)},
        {"enable a missing item", [&] { return UINT(EnableMenuItem(tray, 4242, MF_ENABLED)); }, kNone},
        {"no default yet", [&] { return GetMenuDefaultItem(tray, FALSE, 0); }, kNone},
        {"default by command", [&] { return UINT(SetMenuDefaultItem(tray, 32865, FALSE)); }, UINT(TRUE)},
        {"default id", [&] { return GetMenuDefaultItem(tray, FALSE, 0); }, 32865},
        {"default position", [&] { return GetMenuDefaultItem(tray, TRUE, 0); }, 0},
        {"default state", [&] { return GetMenuState(tray, 0, MF_BYPOSITION); }, UINT(MF_DEFAULT)},
        {"a grey default", [&] { return UINT(EnableMenuItem(tray, 32865, MF_GRAYED)); }, UINT(MF_ENABLED)},
        {"is not reported", [&] { return GetMenuDefaultItem(tray, FALSE, 0); }, kNone},
        {"unless asked for", [&] { return GetMenuDefaultItem(tray, FALSE, GMDI_USEDISABLED); }, 32865},
        {"one default a menu", [&] { return UINT(SetMenuDefaultItem(tray, 5, TRUE)); }, UINT(TRUE)},
        {"old default cleared", [&] { return GetMenuState(tray, 0, MF_BYPOSITION); }, UINT(MF_GRAYED)},
        {"default of another menu", [&] { return UINT(SetMenuDefaultItem(tray, 32869, FALSE)); }, UINT(FALSE)},
        {"clear default", [&] { return UINT(SetMenuDefaultItem(tray, kNone, FALSE)); }, UINT(TRUE)},
        {"cleared", [&] { return GetMenuDefaultItem(tray, TRUE, GMDI_USEDISABLED); }, kNone},
        {"insert before a command", [&] { return UINT(InsertMenuA(tray, 32773, MF_BYCOMMAND, 40000, "新的")); }, 1},
        {"inserted there", [&] { return GetMenuItemID(tray, 2); }, 40000},
        {"append a popup", [&] { return UINT(AppendMenuA(tray, MF_POPUP, UINT_PTR(CreatePopupMenu()), "更多")); }, 1},
        {"count", [&] { return UINT(GetMenuItemCount(tray)); }, 12},
        {"popup of a bad handle", [&] { return UINT(AppendMenuA(tray, MF_POPUP, 12345, "坏")); }, 0},
        {"remove by position", [&] { return UINT(RemoveMenu(tray, 2, MF_BYPOSITION)); }, 1},
        {"remove a missing item", [&] { return UINT(RemoveMenu(tray, 4242, MF_BYCOMMAND)); }, 0},
        {"delete by command", [&] { return UINT(DeleteMenu(tray, 57664, MF_BYCOMMAND)); }, 1},
        {"count after", [&] { return UINT(GetMenuItemCount(tray)); }, 10},
        {"bad menu", [&] { return UINT(GetMenuItemCount(reinterpret_cast<HMENU>(7))); }, kNone},
    };
    for (const Step& s : steps)
        EXPECT_EQ(s.call(), s.want) << s.what;

    EXPECT_EQ(MenuText(tray, 32869, MF_BYCOMMAND), "通讯录(&C)") << "found in the submenu";
    EXPECT_EQ(MenuText(tray, 3, MF_BYPOSITION), "所有帐号更新(&G)");
    EXPECT_EQ(MenuText(tray, 0, MF_BYPOSITION, 4), "显") << "whole characters only";
    EXPECT_EQ(GetMenuStringA(tray, 0, nullptr, 0, MF_BYPOSITION), 14);
    EXPECT_EQ(MenuText(tray, 1, MF_BYPOSITION), "");

    // Item information: id, state, type, submenu, data and text.
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    info.dwItemData = 0xABCD;
    EXPECT_TRUE(SetMenuItemInfoA(tray, 32865, FALSE, &info));
    char text[64];
    info = MENUITEMINFOA{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfoA(tray, 0, TRUE, &info));
    EXPECT_EQ(info.wID, 32865u);
    EXPECT_EQ(info.fState, UINT(MF_GRAYED));
    EXPECT_EQ(info.fType, UINT(MFT_STRING));
    EXPECT_EQ(info.hSubMenu, nullptr);
    EXPECT_EQ(info.dwItemData, 0xABCDu);
    EXPECT_STREQ(text, "显示主窗口(&S)");
    EXPECT_EQ(info.cch, 14u);
    info.fMask = MIIM_SUBMENU | MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(tray, 3, TRUE, &info));
    EXPECT_EQ(info.hSubMenu, updates);
    EXPECT_FALSE(GetMenuItemInfoA(tray, 99, TRUE, &info));

    // Replacing the item that opens a submenu destroys the submenu.
    EXPECT_TRUE(ModifyMenuA(tray, 3, MF_BYPOSITION | MF_STRING, 40001, "替换"));
    EXPECT_FALSE(IsMenu(updates));
    EXPECT_EQ(GetMenuItemID(tray, 3), 40001u);
    // Inserting by MENUITEMINFO, a separator and a checked string.
    MENUITEMINFOA add{};
    add.cbSize = sizeof add;
    add.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    add.fType = MFT_STRING;
    add.fState = MFS_CHECKED;
    add.wID = 40002;
    add.dwTypeData = const_cast<LPSTR>("加的");
    EXPECT_TRUE(InsertMenuItemA(tray, 0, TRUE, &add));
    EXPECT_EQ(GetMenuState(tray, 40002, MF_BYCOMMAND), UINT(MF_CHECKED));
    EXPECT_EQ(MenuText(tray, 0, MF_BYPOSITION), "加的");

    EXPECT_TRUE(DestroyMenu(root));
    EXPECT_FALSE(IsMenu(tray)) << "submenus go with their menu";
    EXPECT_FALSE(DestroyMenu(root));
}

TEST(Menu, TemplatesFromTheFixture)
{
    HMODULE module = win::CreateResourceModule(TavrinFixtureResources());
    ASSERT_TRUE(module);
    HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(IDM_FIXTURE), RT_MENU);
    ASSERT_TRUE(r);
    HMENU menu = LoadMenuIndirectA(LockResource(LoadResource(module, r)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    HMENU file = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(MenuText(file, ID_CMD_OPEN, MF_BYCOMMAND), "打开(&O)\tCtrl+O");
    EXPECT_EQ(GetMenuState(file, ID_CMD_SAVE, MF_BYCOMMAND), UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION), UINT(MF_SEPARATOR));
    EXPECT_EQ(GetMenuState(file, ID_CMD_CHECK, MF_BYCOMMAND), UINT(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, ID_CMD_GREY, MF_BYCOMMAND), UINT(MF_GRAYED));
    DestroyMenu(menu);
    HMENU named = LoadMenuA(module, "Named");
    EXPECT_TRUE(named);
    DestroyMenu(named);
    EXPECT_FALSE(LoadMenuA(module, MAKEINTRESOURCEA(999)));
    win::DestroyResourceModule(module);

    // A template that ends before its last item does not load.
    static const BYTE cut[] = {0, 0, 0, 0, 0x10, 0, 'A', 0, 0, 0, 0, 0, 5, 0, 'B'};
    static const win::ResourceEntry entries[] = {{4, nullptr, 1, nullptr, cut, sizeof cut}};
    HMODULE damaged = win::CreateResourceModule(win::ResourceTable{entries, 1});
    EXPECT_FALSE(LoadMenuA(damaged, MAKEINTRESOURCEA(1)));
    win::DestroyResourceModule(damaged);
}

TEST(Menu, WindowMenuStrip)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "TavrinMenuFrame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, "TavrinMenuFrame", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(frame);
    HWND child = CreateWindowExA(0, "TavrinMenuFrame", "", WS_CHILD, 0, 0, 10, 10, frame, nullptr, nullptr, nullptr);
    RECT before, with, after;
    GetClientRect(frame, &before);
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 1, "文件(&F)");
    EXPECT_TRUE(SetMenu(frame, bar));
    EXPECT_EQ(GetMenu(frame), bar);
    GetClientRect(frame, &with);
    EXPECT_EQ(before.bottom - with.bottom, GetSystemMetrics(SM_CYMENU));
    EXPECT_TRUE(DrawMenuBar(frame));
    // The command bars take the menu away: the strip goes with it.
    EXPECT_TRUE(SetMenu(frame, nullptr));
    EXPECT_EQ(GetMenu(frame), nullptr);
    GetClientRect(frame, &after);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_FALSE(SetMenu(child, bar)) << "children have no menu";
    EXPECT_FALSE(SetMenu(frame, reinterpret_cast<HMENU>(99))) << "not a menu";
    DestroyMenu(bar);
    DestroyWindow(frame);
}
