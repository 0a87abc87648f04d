// Accelerator tables through a real message loop, and the menu key of the
// default window procedure.
#include "platform/win/Accelerator.h"
#include "platform/win/Menu.h"
#include "platform/win/MenuKey.h"
#include "platform/win/User.h"
#include "tests/fixtures/rc/fixture.h"

#include <gtest/gtest.h>

#include <vector>

const tavrin::win::ResourceTable& TavrinFixtureResources();

using namespace tavrin;
using win::InjectKey;

namespace {

std::vector<MSG>* g_seen = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_seen && (message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CHAR))
        g_seen->push_back(MSG{hwnd, message, wParam, lParam, 0, {0, 0}});
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

class KeyLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = "TavrinAccelFrame";
        RegisterClassA(&wc);
        m_frame = CreateWindowExA(0, "TavrinAccelFrame", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_frame);
        SetFocus(m_frame);
        g_seen = &m_seen;
    }
    void TearDown() override
    {
        g_seen = nullptr;
        DestroyWindow(m_frame);
    }
    // The program's loop: accelerators first, then translate and dispatch.
    void Loop(HACCEL table)
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (table && TranslateAcceleratorA(m_frame, table, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    std::vector<MSG> Take(UINT message)
    {
        std::vector<MSG> out;
        for (const MSG& m : m_seen)
            if (m.message == message)
                out.push_back(m);
        m_seen.clear();
        return out;
    }
    // Presses the modifiers, the key, and releases all.
    static void Press(std::vector<UINT> keys)
    {
        for (UINT k : keys)
            InjectKey(k, true);
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            InjectKey(*it, false);
    }

    HWND m_frame = nullptr;
    std::vector<MSG> m_seen;
};

} // namespace

TEST_F(KeyLoop, MainFrameAccelerators)
{
    HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(128));
    ASSERT_TRUE(table);
    EXPECT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 12);
    const struct {
        std::vector<UINT> keys;
        int command; // 0: none
    } cases[] = {
        {{VK_F6}, 57680},           {{VK_SHIFT, VK_F6}, 57681},   {{VK_F7}, 32914},
        {{VK_F8}, 32798},           {{VK_F9}, 32799},             {{VK_F12}, 32879},
        {{VK_CONTROL, 'A'}, 32878}, {{VK_CONTROL, 'C'}, 32872},   {{VK_CONTROL, 'X'}, 32874},
        {{VK_CONTROL, 'V'}, 32876}, {{VK_CONTROL, 'Z'}, 32873},   {{VK_CONTROL, VK_RETURN}, 1023},
        {{'A'}, 0},                 {{VK_SHIFT, VK_F7}, 0},       {{VK_CONTROL, VK_SHIFT, 'A'}, 0},
    };
    for (const auto& c : cases) {
        Press(c.keys);
        Loop(table);
        auto commands = Take(WM_COMMAND);
        if (c.command == 0) {
            EXPECT_TRUE(commands.empty()) << "key " << c.keys.back();
            continue;
        }
        ASSERT_EQ(commands.size(), 1u) << "key " << c.keys.back();
        EXPECT_EQ(commands[0].wParam, MAKEWPARAM(c.command, 1));
        EXPECT_EQ(commands[0].lParam, 0);
    }
    // A command the frame's menu holds disabled is not sent; the key is still taken.
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING | MF_GRAYED, 32798, "写留言(&W)");
    SetMenu(m_frame, bar);
    Press({VK_F8});
    Loop(table);
    EXPECT_TRUE(Take(WM_COMMAND).empty());
    EnableMenuItem(bar, 32798, MF_ENABLED);
    Press({VK_F8});
    Loop(table);
    EXPECT_EQ(Take(WM_COMMAND).size(), 1u);
    SetMenu(m_frame, nullptr);
    DestroyMenu(bar);
    EXPECT_TRUE(DestroyAcceleratorTable(table));
}

TEST_F(KeyLoop, CharacterEntriesAndOwnTables)
{
    HMODULE module = win::CreateResourceModule(TavrinFixtureResources());
    HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(IDA_FIXTURE));
    ASSERT_TRUE(table);
    ACCEL entries[4];
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 4), 4);
    EXPECT_EQ(entries[0].fVirt, 0);
    EXPECT_EQ(entries[0].key, 15); // "^O"
    EXPECT_EQ(entries[3].fVirt, FVIRTKEY | FCONTROL | FSHIFT | FALT | FNOINVERT);
    const struct {
        std::vector<UINT> keys;
        int command;
    } cases[] = {
        {{VK_CONTROL, 'O'}, ID_CMD_OPEN}, {{'S'}, ID_CMD_SAVE}, {{VK_SHIFT, 'S'}, 0},
        {{VK_F5}, ID_CMD_CHECK},          {{VK_CONTROL, VK_SHIFT, VK_MENU, 'N'}, ID_CMD_GREY},
    };
    for (const auto& c : cases) {
        Press(c.keys);
        Loop(table);
        auto commands = Take(WM_COMMAND);
        ASSERT_EQ(commands.size(), c.command ? 1u : 0u) << "key " << c.keys.back();
        if (c.command) {
            EXPECT_EQ(LOWORD(commands[0].wParam), c.command);
        }
    }
    DestroyAcceleratorTable(table);
    win::DestroyResourceModule(module);

    ACCEL own[] = {{FVIRTKEY | FCONTROL, 'Q', 7}, {FVIRTKEY, VK_F2, 8}};
    HACCEL made = CreateAcceleratorTableA(own, 2);
    ASSERT_TRUE(made);
    ACCEL back[2];
    EXPECT_EQ(CopyAcceleratorTableA(made, back, 1), 1) << "no more than asked for";
    EXPECT_EQ(back[0].cmd, 7);
    Press({VK_F2});
    Loop(made);
    ASSERT_EQ(Take(WM_COMMAND).size(), 1u);
    EXPECT_TRUE(DestroyAcceleratorTable(made));
    EXPECT_FALSE(DestroyAcceleratorTable(made));
    MSG msg{m_frame, WM_KEYDOWN, VK_F2, 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAcceleratorA(m_frame, made, &msg), 0) << "a destroyed table";
    EXPECT_FALSE(CreateAcceleratorTableA(own, 0));

    // A table without its last entry is damaged.
    static const BYTE open[] = {1, 0, 0x75, 0, 5, 0, 0, 0};
    static const win::ResourceEntry damaged[] = {{9, nullptr, 1, nullptr, open, sizeof open}};
    HMODULE bad = win::CreateResourceModule(win::ResourceTable{damaged, 1});
    EXPECT_FALSE(LoadAcceleratorsA(bad, MAKEINTRESOURCEA(1)));
    win::DestroyResourceModule(bad);
}

TEST_F(KeyLoop, MenuKey)
{
    const int beeps = win::MessageBeepCount();
    const struct {
        const char* what;
        std::vector<std::pair<UINT, bool>> keys;
        std::vector<LPARAM> keyMenus; // lParam of each SC_KEYMENU
    } cases[] = {
        {"F10", {{VK_F10, true}, {VK_F10, false}}, {0}},
        {"Alt alone", {{VK_MENU, true}, {VK_MENU, false}}, {0}},
        {"Alt held", {{VK_MENU, true}, {VK_MENU, true}, {VK_MENU, false}}, {0}},
        {"Alt+F", {{VK_MENU, true}, {'F', true}, {'F', false}, {VK_MENU, false}}, {'f'}},
        {"Alt+Shift", {{VK_MENU, true}, {VK_SHIFT, true}, {VK_SHIFT, false}, {VK_MENU, false}}, {}},
        {"Shift+F10", {{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}}, {}},
        {"Ctrl+Alt", {{VK_CONTROL, true}, {VK_MENU, true}, {VK_MENU, false}, {VK_CONTROL, false}}, {}},
        {"a plain key", {{'F', true}, {'F', false}}, {}},
    };
    for (const auto& c : cases) {
        for (auto [key, down] : c.keys)
            InjectKey(key, down);
        Loop(nullptr);
        std::vector<LPARAM> got;
        for (const MSG& m : Take(WM_SYSCOMMAND))
            if ((m.wParam & 0xFFF0) == SC_KEYMENU)
                got.push_back(m.lParam);
        EXPECT_EQ(got, c.keyMenus) << c.what;
    }
    // Alt+F found no menu bar to take it: the bell rang once.
    EXPECT_EQ(win::MessageBeepCount(), beeps + 1);
    // A child passes the key to its top-level window.
    HWND child = CreateWindowExA(0, "TavrinAccelFrame", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_frame, nullptr,
                                 nullptr, nullptr);
    SetFocus(child);
    InjectKey(VK_F10, true);
    InjectKey(VK_F10, false);
    Loop(nullptr);
    auto sys = Take(WM_SYSCOMMAND);
    ASSERT_EQ(sys.size(), 1u);
    EXPECT_EQ(sys[0].hwnd, m_frame);
    EXPECT_EQ(MapVirtualKeyExA('A', MAPVK_VK_TO_VSC, GetKeyboardLayout(0)), 0x1Eu);
}
