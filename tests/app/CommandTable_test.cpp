// The command table against the program's resources (ids, menu texts, both
// halves of the prompts, accelerators, toolbars) and the main frame's
// handling: items nobody handles are disabled, the split buttons post
// their commands, the pane toggles are ticked.
#include "app/MainFrm.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/OleControl.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/res/FrameworkIds.h"
#include "platform/win/Accelerator.h"
#include "platform/win/Input.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Resource.h"
#include "res/resource.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Prompt {
    UINT id;
    const char* status;  // nullptr: no string resource
    const char* tooltip; // nullptr: no tooltip half
};

const Prompt kPrompts[] = {
    {ID_REFRESH_BUTTON, nullptr, nullptr},
    {ID_STOP_BUTTON, nullptr, nullptr},
    {ID_OPTIONS, "设置系统参数", "选项"},
    {ID_ADD_ACCOUNT, "添加新帐号", "添加帐号"},
    {ID_DELETE_ACCOUNT, "删除帐号", "删除帐号"},
    {ID_RENAME_CLASS, "重命名班级的显示名称", "重命名班级"},
    {ID_VIEW_COMPOSE, "显示或隐藏写留言窗口", "写留言窗口"},
    {ID_STYLE_OFFICE_2003, "使用Office 2003风格", "Office 2003风格"},
    {ID_REFRESH_CLASS_ALL, "更新留言、照片、通讯录和在线信息", "更新所有数据"},
    {ID_REFRESH_ACCOUNT_ALL, "更新本帐号下所有班级的留言、照片、通讯录和在线信息", "更新全部"},
    {ID_READ_SELECTED_CONTACTS, "开始读选定取通讯录的所有资料", "读取所有资料"},
    {ID_STOP_ALL, "停止全部更新动作", "停止全部更新动作"},
    {ID_REFRESH_ALL_MESSAGES, nullptr, nullptr},
    {ID_REFRESH_ALL_ACCOUNTS, nullptr, nullptr},
    {ID_PASTE, "将剪切板中的内容粘贴到当前位置", "粘贴"},
    {ID_BROWSE_PHOTOS, nullptr, nullptr},
    {ID_VISIT_GUEST_BOOK, "访问Tavrin留言簿", nullptr},
    {ID_ONLINE_UPGRADE, nullptr, nullptr},
    {ID_STYLE_GNOME, nullptr, nullptr},
    {ID_THUMBNAILS, nullptr, nullptr},
    {ID_APP_EXIT, "退出应用程序", "退出"},
    {IDC_SEND, nullptr, nullptr},
    {ID_SEARCH_COMBO, nullptr, nullptr},
};

TEST(CommandTable, PromptsHaveTheirStatusAndTooltipHalves)
{
    for (const Prompt& p : kPrompts) {
        CString text;
        const BOOL found = AfxLoadString(p.id, text);
        if (!p.status) {
            EXPECT_FALSE(found) << p.id;
            continue;
        }
        ASSERT_TRUE(found) << p.id;
        CString status, tooltip;
        AfxExtractSubString(status, text, 0);
        EXPECT_EQ(std::string(status), p.status) << p.id;
        if (p.tooltip) {
            AfxExtractSubString(tooltip, text, 1);
            EXPECT_EQ(std::string(tooltip), p.tooltip) << p.id;
        } else {
            EXPECT_EQ(std::string(text).find('\n'), std::string::npos) << p.id;
        }
    }
}

// A menu as lines "text=id" (popups "text>" and their items indented,
// separators "-"), for comparison with the table.
void Flatten(CMenu* menu, const std::string& indent, std::vector<std::string>& out)
{
    for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
        CString text;
        menu->GetMenuString(i, text, MF_BYPOSITION);
        if (CMenu* sub = menu->GetSubMenu(i)) {
            out.push_back(indent + std::string(text) + ">");
            Flatten(sub, indent + " ", out);
        } else {
            const UINT id = menu->GetMenuItemID(i);
            out.push_back(id == 0 ? indent + "-" : indent + std::string(text) + "=" + std::to_string(id));
        }
    }
}

std::vector<std::string> MenuLines(UINT id)
{
    CMenu menu;
    EXPECT_TRUE(menu.LoadMenu(id));
    std::vector<std::string> lines;
    Flatten(&menu, "", lines);
    return lines;
}

TEST(CommandTable, MenusHoldTheirItemsInOrder)
{
    const std::vector<std::string> stop = MenuLines(IDR_STOP_DROPDOWN);
    EXPECT_EQ(stop, (std::vector<std::string>{"班级工具栏下拉菜单>", " 全部停止(&A)=32864", " -", " 留言(&M)=32820",
                                              " 照片(&P)=32825", " 通讯录(&C)=32826", " 在线信息(&O)=32831"}));
    const std::vector<std::string> main = MenuLines(IDR_MAINFRAME);
    std::vector<std::string> top;
    for (const std::string& line : main)
        if (line[0] != ' ')
            top.push_back(line);
    EXPECT_EQ(top, (std::vector<std::string>{"文件(&F)>", "帐号(A)>", "班级(&C)>", "视图(&V)>", "帮助(&H)>"}));
    auto has = [&](const std::string& line) {
        for (const std::string& l : main)
            if (l == line)
                return true;
        return false;
    };
    for (const char* line : {" 退出(&X)=57665", "   停止读取=32831", " 在线升级...(&U)=32926",
                             "  Office 2000(N)=32803", " 标记为已读>", "  帐号属性(&P)...=32863",
                             " 关于 Tavrin(&A)...=57664", " 工具栏(&T)=59392", " 状态栏(&S)=59393"})
        EXPECT_TRUE(has(line)) << line;
    // The refresh drop-down repeats the class menu's read popup.
    const std::vector<std::string> refresh = MenuLines(IDR_REFRESH_DROPDOWN);
    auto read = std::find(main.begin(), main.end(), " 读取(&U)>");
    ASSERT_NE(read, main.end());
    for (size_t i = 1; i < refresh.size(); ++i)
        EXPECT_EQ(" " + refresh[i], *(read + static_cast<long>(i))) << i;
    const std::vector<std::string> compose = MenuLines(IDR_COMPOSE_MENU);
    EXPECT_EQ(compose.back(), " 发送(&S)=1023");
}

TEST(CommandTable, AcceleratorsAreAllVirtualKeys)
{
    HACCEL table = ::LoadAccelerators(AfxFindResourceHandle(MAKEINTRESOURCE(IDR_MAINFRAME), RT_ACCELERATOR),
                                      MAKEINTRESOURCE(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32] = {};
    const int n = ::CopyAcceleratorTable(table, entries, 32);
    struct Key {
        BYTE mods;
        WORD key;
        WORD cmd;
    };
    const Key expected[] = {{0, VK_F6, ID_NEXT_PANE},   {FSHIFT, VK_F6, ID_PREV_PANE}, {0, VK_F7, ID_BROWSE_PHOTOS},
                            {0, VK_F8, ID_VIEW_COMPOSE}, {0, VK_F9, ID_VIEW_OTHER_INFO}, {0, VK_F12, ID_PREVIEW},
                            {FCONTROL, 'A', ID_SELECT_ALL}, {FCONTROL, 'C', ID_COPY}, {FCONTROL, 'X', ID_CUT},
                            {FCONTROL, 'V', ID_PASTE},   {FCONTROL, 'Z', ID_UNDO},     {FCONTROL, VK_RETURN, IDC_SEND}};
    ASSERT_EQ(n, static_cast<int>(std::size(expected)));
    for (int i = 0; i < n; ++i) {
        EXPECT_TRUE(entries[i].fVirt & FVIRTKEY) << i;
        EXPECT_EQ(entries[i].fVirt & (FSHIFT | FCONTROL), expected[i].mods) << i;
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
    }
    ::DestroyAcceleratorTable(table);
}

TEST(CommandTable, ToolbarsCarryTheirButtonsAndBitmaps)
{
    for (UINT id : {static_cast<UINT>(IDR_MAINFRAME), static_cast<UINT>(IDR_SEARCH_TOOLBAR)}) {
        EXPECT_NE(::FindResource(nullptr, MAKEINTRESOURCE(id), RT_TOOLBAR), nullptr) << id;
        EXPECT_NE(::FindResource(nullptr, MAKEINTRESOURCE(id), RT_BITMAP), nullptr) << id;
    }
    for (UINT id : {IDB_COMMAND_ICONS_16, IDB_COMMAND_ICONS_24, IDB_SPLASH})
        EXPECT_NE(::FindResource(nullptr, MAKEINTRESOURCE(id), RT_BITMAP), nullptr) << id;
    EXPECT_NE(::FindResource(nullptr, MAKEINTRESOURCE(IDI_TRAY_ANIMATION), RT_GROUP_ICON), nullptr);
}

// The frame built headless in a program folder of its own.
class MainFrameCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(tavrin::ProgramPath(m_dir.Path().string()));
        tavrin::ReloadConfig();
        AfxSetResourceHandle(::GetModuleHandle(nullptr));
        // As the application does before its frame: the panes hold browser controls.
        AfxEnableControlContainer();
        m_app.m_pMainWnd = nullptr;
        m_frame = new CMainFrame;
        CCreateContext context;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
        m_app.m_pMainWnd = m_frame;
        m_hwnd = m_frame->m_hWnd;
    }
    void TearDown() override
    {
        if (::IsWindow(m_hwnd))
            ::DestroyWindow(m_hwnd);
        m_app.m_pMainWnd = nullptr;
        AfxSetResourceHandle(nullptr);
        tavrin::SetProgramFolder("");
        tavrin::ReloadConfig();
    }
    // Enabled and checked as the menu would show the item.
    std::pair<bool, bool> State(UINT id)
    {
        CTestCmdUI ui;
        ui.m_nID = id;
        ui.DoUpdate(m_frame, TRUE);
        return {ui.m_bEnabled != FALSE, ui.m_bChecked != FALSE};
    }
    tavrin::test::TempDir m_dir;
    CWinApp m_app;
    CMainFrame* m_frame = nullptr;
    HWND m_hwnd = nullptr;
};

TEST_F(MainFrameCommands, ItemsWithoutAHandlerAreDisabledAndThePaneTogglesTicked)
{
    struct Case {
        UINT id;
        bool enabled;
        bool checked;
    };
    const Case cases[] = {
        {ID_READ_NEWEST_MESSAGES, false, false}, // no handler yet
        {ID_DELETE_ACCOUNT, false, false},
        {ID_REFRESH_BUTTON, false, false}, // no class selected
        {ID_STOP_BUTTON, false, false},
        {ID_VIEW_COMPOSE, true, true},
        {ID_VIEW_OTHER_INFO, true, true},
        {ID_SHOW_MAIN_WINDOW, true, false},
    };
    for (const Case& c : cases) {
        const auto [enabled, checked] = State(c.id);
        EXPECT_EQ(enabled, c.enabled) << c.id;
        EXPECT_EQ(checked, c.checked) << c.id;
    }
    // Hiding the compose pane clears its tick; showing it again sets it.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_COMPOSE, 0);
    EXPECT_FALSE(State(ID_VIEW_COMPOSE).second);
    EXPECT_EQ(m_frame->m_wndSplitterItems.GetHiddenRowIndex(), 1);
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_COMPOSE, 0);
    EXPECT_TRUE(State(ID_VIEW_COMPOSE).second);
}

TEST_F(MainFrameCommands, SplitButtonsPostTheirCommandsToTheFrame)
{
    struct Case {
        UINT button;
        UINT posted;
    };
    for (const Case c : {Case{ID_REFRESH_BUTTON, ID_REFRESH_CLASS_ALL}, Case{ID_STOP_BUTTON, ID_STOP_ALL}}) {
        MSG msg{};
        while (::PeekMessage(&msg, m_hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        }
        // The handlers themselves: while no class is selected the buttons are disabled.
        if (c.button == ID_REFRESH_BUTTON)
            m_frame->OnRefreshButton();
        else
            m_frame->OnStopButton();
        ASSERT_TRUE(::PeekMessage(&msg, m_hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << c.button;
        EXPECT_EQ(LOWORD(msg.wParam), c.posted);
        EXPECT_EQ(msg.lParam, 0);
    }
}

TEST_F(MainFrameCommands, PanesStartAtTheirSharesOfTheClientArea)
{
    CRect client;
    m_frame->GetClientRect(&client);
    int cur = 0, min = 0;
    m_frame->m_wndSplitterLeft.GetRowInfo(1, cur, min);
    EXPECT_EQ(min, 18);
    m_frame->m_wndSplitterItems.GetRowInfo(1, cur, min);
    EXPECT_EQ(min, 19);
    m_frame->m_wndSplitterMain.GetColumnInfo(0, cur, min);
    EXPECT_EQ(min, 18);
    EXPECT_NE(m_frame->m_pTreeView, nullptr);
    EXPECT_NE(m_frame->m_pMiscView, nullptr);
    EXPECT_NE(m_frame->m_pListView, nullptr);
    EXPECT_NE(m_frame->m_pDispView, nullptr);
    EXPECT_NE(m_frame->m_pComposeView, nullptr);
}

} // namespace

namespace {

TEST_F(MainFrameCommands, TheMainSplitterNeverShrinksBelowItsPanesMinimums)
{
    CMainSplitterWnd& split = m_frame->m_wndSplitterMain;
    // The columns' minimums (18 for the left one) with a bar between and a border around.
    int cur = 0, min0 = 0, min1 = 0;
    split.GetColumnInfo(0, cur, min0);
    split.GetColumnInfo(1, cur, min1);
    ASSERT_EQ(min0, 18);
    const int minimum = 2 * 2 + min0 + 7 + min1;
    split.SetWindowPos(nullptr, 100, 0, 10, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rect;
    split.GetWindowRect(&rect);
    m_frame->ScreenToClient(&rect);
    EXPECT_EQ(rect.Width(), minimum);
    // Narrowed from the left edge: the right edge stays where it was asked to be.
    split.SetWindowPos(nullptr, 0, 0, 200, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    split.SetWindowPos(nullptr, 190, 0, 10, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    split.GetWindowRect(&rect);
    m_frame->ScreenToClient(&rect);
    EXPECT_EQ(rect.Width(), minimum);
    EXPECT_EQ(rect.right, 200);
    // Panes are laid out at least at their minimums, never hidden.
    split.SetColumnInfo(0, 10, 18);
    split.RecalcLayout();
    split.GetColumnInfo(0, cur, min0);
    EXPECT_GE(cur, 18);
}

} // namespace
