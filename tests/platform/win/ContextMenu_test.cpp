#include "WindowLog.h"

#include <gtest/gtest.h>

using tavrin::test::Pump;
using tavrin::test::WindowLog;
using tavrin::win::InjectKey;
using tavrin::win::InjectMouseButton;
using tavrin::win::InjectMouseMove;
using tavrin::win::MouseButton;

TEST(ContextMenu, RightClicksAndKeysAskTheWindowAndItsParents)
{
    WindowLog log;
    HWND frame = log.Create("frame", WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 400});
    HWND child = log.Create("child", WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{50, 50, 150, 150}, frame);
    struct Case {
        const char* name;
        POINT click; // screen; (-1, -1) for the keyboard
        std::vector<UINT> keys;
        POINT expected;
    };
    const Case cases[] = {
        {"client right click", {170, 180}, {}, {170, 180}},
        {"frame right click", {150, 160}, {}, {150, 160}},
        {"Shift+F10", {-1, -1}, {VK_SHIFT, VK_F10}, {-1, -1}},
        {"Apps key", {-1, -1}, {VK_APPS}, {-1, -1}},
    };
    SetActiveWindow(frame);
    SetFocus(child);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.Clear();
        if (c.keys.empty()) {
            InjectMouseMove(c.click.x, c.click.y);
            InjectMouseButton(MouseButton::Right, true);
            InjectMouseButton(MouseButton::Right, false);
        } else {
            for (UINT key : c.keys)
                InjectKey(key, true);
            for (auto it = c.keys.rbegin(); it != c.keys.rend(); ++it)
                InjectKey(*it, false);
        }
        Pump();
        auto menus = log.Of(WM_CONTEXTMENU);
        ASSERT_EQ(menus.size(), 2u) << "the child, then its parent";
        EXPECT_EQ(menus[0].hwnd, child);
        EXPECT_EQ(menus[1].hwnd, frame);
        for (const auto& m : menus) {
            EXPECT_EQ(m.wParam, reinterpret_cast<WPARAM>(child)) << "the window clicked";
            EXPECT_EQ(GET_X_LPARAM(m.lParam), c.expected.x);
            EXPECT_EQ(GET_Y_LPARAM(m.lParam), c.expected.y);
        }
    }
    // F10 alone is no context menu.
    log.Clear();
    InjectKey(VK_F10, true);
    InjectKey(VK_F10, false);
    Pump();
    EXPECT_TRUE(log.Of(WM_CONTEXTMENU).empty());
    DestroyWindow(frame);
}
