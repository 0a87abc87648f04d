// The command table against the program's resources (ids, menu texts, both
// halves of the prompts, accelerators, toolbars) and the main frame's
// handling: items nobody handles are disabled, the split buttons post
// their commands, the pane toggles are ticked.
#include "app/MainFrm.h"
#include "app/TavrinApp.h"
#include "platform/controls/CommCtrl.h"
#include "platform/controls/Static.h"
#include "core/services/Config.h"
#include "platform/base/Path.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/res/FrameworkIds.h"
#include "platform/win/Accelerator.h"
#include "platform/win/Input.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Resource.h"
#include "res/resource.h"
#include "tests/support/TempDir.h"
#include "tests/support/UserConfigScope.h"
#include "toolkit/res/ToolkitIds.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// One row of the command table: the id, its menu texts, the menu resources
// that carry it (157 is the tray menu), whether the toolbar "标准" has a
// button for it, and both halves of its prompt (nullptr: none).
struct Command {
    UINT id;
    std::vector<const char*> texts;
    std::vector<UINT> menus;
    bool onToolbar;
    const char* status;
    const char* tooltip;
};

const Command kCommands[] = {
    {151, {}, {}, true, nullptr, nullptr},
    {154, {}, {}, true, nullptr, nullptr},
    {32771, {"选项(&O)..."}, {128, 157}, true, "设置系统参数", "选项"},
    {32773, {"添加新帐号(&N)..."}, {128, 157}, true, "添加新帐号", "添加帐号"},
    {32774, {"删除此帐号(&D)"}, {128}, false, "删除帐号", "删除帐号"},
    {32775, {"读取个人档案(&E)"}, {128}, false, "读取个人档案", "读取个人档案"},
    {32788, {"上传照片(&P)", "上传照片(&U)"}, {128, 148}, false, "上传照片", "上传照片"},
    {32790, {"重命名(&N)"}, {128}, false, "重命名班级的显示名称", "重命名班级"},
    {32791, {"删除(&D)"}, {128}, false, "删除选中的班级", "删除班级"},
    {32792, {"所有留言(&M)"}, {128}, false, "标记所有留言为已读", "标记所有留言"},
    {32793, {"所有照片(&P)"}, {128}, false, "标记所有照片为已读", "标记所有照片"},
    {32798, {"写留言(&W)"}, {128}, true, "显示或隐藏写留言窗口", "写留言窗口"},
    {32799, {"其他信息(&O)"}, {128}, true, "显示或隐藏其他信息窗口", "其他信息窗口"},
    {32800, {"默认(&D)"}, {128}, false, "使用默认风格", "默认风格"},
    {32801, {"Office XP(&X)"}, {128}, false, "使用Office XP风格", "Office XP风格"},
    {32802, {"Office 2003(&M)"}, {128}, false, "使用Office 2003风格", "Office 2003风格"},
    {32803, {"Office 2000(N)"}, {128}, false, "使用Office 2000风格", "Office 2000风格"},
    {32804, {"访问主页(&H)..."}, {128}, false, "访问主页", "访问主页"},
    {32810, {"更新班级信息(&C)"}, {128}, true, "更新本帐号的班级信息", "更新班级信息"},
    {32813, {"状态记录(&S)"}, {142}, false, "显示状态记录", "状态记录"},
    {32814, {"班级信息(&C)"}, {142}, false, "显示班级信息", "班级信息"},
    {32815, {"隐藏(&H)"}, {142}, false, "隐藏其他信息窗口", "隐藏"},
    {32817, {"全部(&A)"}, {128, 151}, false, "更新留言、照片、通讯录和在线信息", "更新所有数据"},
    {32818, {"所有留言(&A)"}, {128, 143, 151}, false, "读取所有留言", "读取所有留言"},
    {32819, {"最新留言(&N)"}, {128, 143, 151}, false, "读取最新留言", "读取最新留言"},
    {32820, {"停止读取(&S)", "留言(&M)"}, {128, 143, 151, 154}, false, "停止读取留言", "停止读取留言"},
    {32825, {"停止读取(&S)", "照片(&P)"}, {128, 148, 151, 154}, false, "停止读取照片", "停止读取照片"},
    {32826, {"停止读取(&S)", "通讯录(&C)"}, {128, 145, 151, 154}, false, "停止读取通讯录", "停止读取通讯录"},
    {32827, {"所有资料(&A)"}, {128, 151}, false, "开始读取通讯录的所有资料", "读取所有资料"},
    {32829, {"所有信息(&A)"}, {128, 147, 151}, false, "开始读取所有在线信息", "读取所有在线信息"},
    {32830, {"最新信息(&N)"}, {128, 147, 151}, false, "读取最新在线信息", "读取最新在线信息"},
    {32831, {"停止读取", "在线信息(&O)"}, {128, 147, 151, 154}, false, "停止读取在线信息", "停止读取在线信息"},
    {32832, {"所有在线信息(&O)"}, {128}, false, "标记所有在线信息为已读", "标记所有在线信息"},
    {32833, {"全部(&A)"}, {128}, false, "更新本帐号下所有班级的留言、照片、通讯录和在线信息", "更新全部"},
    {32834, {"留言(&M)"}, {128}, false, "更新本帐号下所有班级的留言", "更新留言"},
    {32835, {"照片(&P)"}, {128}, false, "更新本帐号下所有班级的照片", "更新照片"},
    {32836, {"通讯录(&C)"}, {128}, false, "更新本帐号下所有班级的通讯录", "更新通讯录"},
    {32837, {"在线信息(&O)"}, {128}, false, "更新本帐号下所有班级的在线信息", "更新在线信息"},
    {32838, {"访问信息(&B)"}, {128, 145, 151}, false, "开始读取通讯录的登录信息", "读取登录信息"},
    {32840, {"全选(&L)"}, {143}, false, "选中全部留言", "选中全部留言"},
    {32841, {"删除(&D)"}, {143}, false, "删除选中的留言", "删除选中的留言"},
    {32842, {"标记为已读(&M)"}, {143}, false, "标记选中的留言为已读", "标记为已读"},
    {32844, {"留言统计(&M)", "统计报表(&C)"}, {128, 143}, false, "生成留言统计报表", "统计留言"},
    {32845, {"全选(&L)"}, {145}, false, "选中全部通讯录", "选中全部通讯录"},
    {32846, {"删除(&D)"}, {145}, false, "删除选中的通讯录", "删除选中的通讯录"},
    {32852, {"删除(&D)"}, {147}, false, "删除选中的在线信息", "删除选中的在线信息"},
    {32854, {"全选(&L)"}, {147}, false, "选中全部在线信息", "选中全部在线信息"},
    {32855, {"标记为已读(&M)"}, {147}, false, "标记选中的在线信息为已读", "标记为已读"},
    {32857, {"所有资料(&A)"}, {145}, false, "开始读选定取通讯录的所有资料", "读取所有资料"},
    {32858, {"全选(&L)"}, {148}, false, "选中全部照片", "选中全部照片"},
    {32859, {"删除(&D)"}, {148}, false, "删除选中的照片", "删除选中的照片"},
    {32860, {"标记为已读(&M)"}, {148}, false, "标记选中的照片为已读", "标记为已读"},
    {32861, {"详细数据(&A)"}, {148}, false, "读取照片的详细数据", "读取照片的详细数据"},
    {32863, {"帐号属性(&P)..."}, {128}, false, "设置帐号属性", "设置帐号属性"},
    {32864, {"全部停止(&A)"}, {154}, false, "停止全部更新动作", "停止全部更新动作"},
    {32865, {"显示主窗口(&S)"}, {157}, false, "显示主窗口", "显示主窗口"},
    {32867, {"留言(&M)"}, {157}, false, nullptr, nullptr},
    {32868, {"照片(&P)"}, {157}, false, nullptr, nullptr},
    {32869, {"通讯录(&C)"}, {157}, false, nullptr, nullptr},
    {32870, {"在线信息(&O)"}, {157}, false, nullptr, nullptr},
    {32871, {"全部(&A)"}, {157}, false, nullptr, nullptr},
    {32872, {"复制(&C)"}, {164}, false, "复制当前选中的内容", "复制"},
    {32873, {"撤销(&U)"}, {164}, false, "撤销上一步操作", "撤销"},
    {32874, {"剪切(&T)"}, {164}, false, "剪切当前选中的内容", "剪切"},
    {32876, {"粘贴(&P)"}, {164}, false, "将剪切板中的内容粘贴到当前位置", "粘贴"},
    {32877, {"删除(&D)"}, {164}, false, "删除当前选中的内容", "删除"},
    {32878, {"全选(&A)"}, {164}, false, "选中全部内容", "全选"},
    {32879, {"预览(&R)"}, {164}, false, "预览当前内容", "预览"},
    {32914, {"浏览照片(&B)"}, {148}, false, nullptr, nullptr},
    {32919, {"导出数据(&E)..."}, {128}, false, "导出班级数据", "导出数据"},
    {32920, {"访问留言簿(&G)..."}, {128}, false, "访问Tavrin留言簿", nullptr},
    {32921, {"最新索引(&N)"}, {128, 148, 151}, false, "读取最新照片索引", "读取最新的照片索引"},
    {32922, {"全部索引(&A)"}, {128, 148, 151}, false, "读取全部照片索引", "读取全部的照片索引"},
    {32923, {"详细数据(&D)"}, {128, 151}, false, "读取照片的详细数据", "读取照片的详细数据"},
    {32924, {"所有数据(&A)"}, {128}, false, "标记所有数据为已读", "标记所有数据"},
    {32926, {"在线升级...(&U)"}, {128}, false, nullptr, nullptr},
    {32933, {"Gnome"}, {128}, false, nullptr, nullptr},
    {32940, {"缩略图(&T)"}, {148}, false, nullptr, nullptr},
    {57665, {"退出(&X)"}, {128, 157}, false, "退出应用程序", "退出"},
    {1023, {"发送(&S)"}, {164}, false, nullptr, nullptr},
    {32928, {}, {}, false, nullptr, nullptr}, // the search toolbar's controls
    {32930, {}, {}, false, nullptr, nullptr},
    {32934, {}, {}, false, nullptr, nullptr},
    {32935, {}, {}, false, nullptr, nullptr},
};

// Whether the menu (or one of its popups) holds the command under one of the texts.
bool MenuHolds(CMenu* menu, UINT id, const std::vector<const char*>& texts)
{
    for (int i = 0; i < static_cast<int>(menu->GetMenuItemCount()); ++i) {
        if (CMenu* sub = menu->GetSubMenu(i)) {
            if (MenuHolds(sub, id, texts))
                return true;
            continue;
        }
        if (menu->GetMenuItemID(i) != id)
            continue;
        CString text;
        menu->GetMenuString(i, text, MF_BYPOSITION);
        for (const char* t : texts)
            if (std::string(text) == t)
                return true;
    }
    return false;
}

// The command ids of a toolbar resource's buttons (separators left out).
std::vector<UINT> ToolbarCommands(UINT id)
{
    std::vector<UINT> commands;
    HMODULE module = AfxFindResourceHandle(MAKEINTRESOURCE(id), RT_TOOLBAR);
    HRSRC resource = ::FindResource(module, MAKEINTRESOURCE(id), RT_TOOLBAR);
    if (!resource)
        return commands;
    const DWORD size = ::SizeofResource(module, resource);
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
    auto word = [data](size_t i) { return static_cast<UINT>(data[i * 2] | (data[i * 2 + 1] << 8)); };
    if (!data || size < 8 || 8 + word(3) * 2 > size)
        return commands;
    for (size_t i = 0; i < word(3); ++i)
        if (word(4 + i))
            commands.push_back(word(4 + i));
    return commands;
}

TEST(CommandTable, EveryCommandHasItsPromptHalvesMenusAndButton)
{
    const std::vector<UINT> toolbar = ToolbarCommands(IDR_MAINFRAME);
    for (const Command& c : kCommands) {
        SCOPED_TRACE(c.id);
        CString text;
        const BOOL found = AfxLoadString(c.id, text);
        if (!c.status) {
            EXPECT_FALSE(found) << "no prompt";
        } else {
            ASSERT_TRUE(found);
            CString status, tooltip;
            AfxExtractSubString(status, text, 0);
            EXPECT_EQ(std::string(status), c.status);
            if (c.tooltip) {
                AfxExtractSubString(tooltip, text, 1);
                EXPECT_EQ(std::string(tooltip), c.tooltip);
            } else {
                EXPECT_EQ(std::string(text).find('\n'), std::string::npos) << "status-bar text only";
            }
        }
        for (UINT menuId : c.menus) {
            CMenu menu;
            ASSERT_TRUE(menu.LoadMenu(menuId)) << menuId;
            EXPECT_TRUE(MenuHolds(&menu, c.id, c.texts)) << "menu " << menuId;
        }
        EXPECT_EQ(std::find(toolbar.begin(), toolbar.end(), c.id) != toolbar.end(), c.onToolbar);
    }
    EXPECT_EQ(toolbar, (std::vector<UINT>{32773, 32810, 151, 154, 32799, 32798, 32771, 57664}));
    EXPECT_EQ(ToolbarCommands(IDR_SEARCH_TOOLBAR), (std::vector<UINT>{32930, 32928, 32934, 32935}));
}

// A menu as lines "text=id" (popups "text>" and their items indented,
// separators "-"), for comparison with the table.
void Flatten(CMenu* menu, const std::string& indent, std::vector<std::string>& out)
{
    for (int i = 0; i < static_cast<int>(menu->GetMenuItemCount()); ++i) {
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
    // The main, context and tray menus, whole.
    struct Whole {
        UINT id;
        std::vector<std::string> lines;
    };
    const Whole wholes[] = {
        {IDR_MAINFRAME,
         {"文件(&F)>", " 选项(&O)...=32771", " -", " 退出(&X)=57665", "帐号(A)>", " 添加新帐号(&N)...=32773", " 设置(&S)>",
          "  更新班级信息(&C)=32810", "  帐号属性(&P)...=32863", " 删除此帐号(&D)=32774", " -", " 读取个人档案(&E)=32775",
          " 更新班级数据(&G)>", "  全部(&A)=32833", "  -", "  留言(&M)=32834", "  照片(&P)=32835", "  通讯录(&C)=32836",
          "  在线信息(&O)=32837", "班级(&C)>", " 读取(&U)>", "  全部(&A)=32817", "  -", "  留言(&M)>", "   最新留言(&N)=32819",
          "   所有留言(&A)=32818", "   -", "   停止读取(&S)=32820", "  照片(&P)>", "   最新索引(&N)=32921", "   全部索引(&A)=32922",
          "   详细数据(&D)=32923", "   -", "   停止读取(&S)=32825", "  通讯录(&C)>", "   访问信息(&B)=32838", "   所有资料(&A)=32827",
          "   -", "   停止读取(&S)=32826", "  在线信息(&O)>", "   最新信息(&N)=32830", "   所有信息(&A)=32829", "   -",
          "   停止读取=32831", " 上传照片(&P)=32788", " -", " 删除(&D)=32791", " 重命名(&N)=32790", " -", " 标记为已读>",
          "  所有数据(&A)=32924", "  -", "  所有留言(&M)=32792", "  所有照片(&P)=32793", "  所有在线信息(&O)=32832", " -",
          " 导出数据(&E)...=32919", " 留言统计(&M)=32844", "视图(&V)>", " 工具栏(&T)=59392", " 状态栏(&S)=59393", " -",
          " 其他信息(&O)=32799", " 写留言(&W)=32798", " -", " 界面风格(&Y)>", "  默认(&D)=32800", "  Gnome=32933",
          "  Office XP(&X)=32801", "  Office 2003(&M)=32802", "  Office 2000(N)=32803", "帮助(&H)>",
          " 访问主页(&H)...=32804", " 访问留言簿(&G)...=32920", " -", " 在线升级...(&U)=32926", " -", " 关于 Tavrin(&A)...=57664"}},
        {IDR_MISC_MENU,
         {"其他信息窗口弹出菜单>", " 状态记录(&S)=32813", " 班级信息(&C)=32814", " -", " 隐藏(&H)=32815"}},
        {IDR_MESSAGE_LIST_MENU,
         {"留言列表右键弹出菜单>", " 全选(&L)=32840", " 删除(&D)=32841", " 标记为已读(&M)=32842", " -",
          " 统计报表(&C)=32844", " -", " 读取(&G)>", "  最新留言(&N)=32819", "  所有留言(&A)=32818", "  -",
          "  停止读取(&S)=32820"}},
        {IDR_CONTACT_LIST_MENU,
         {"通讯录列表右键弹出菜单>", " 全选(&L)=32845", " 删除(&D)=32846", " -", " 读取(&G)>",
          "  访问信息(&B)=32838", "  所有资料(&A)=32857", "  -", "  停止读取(&S)=32826"}},
        {IDR_PRIVATE_LIST_MENU,
         {"在线信息列表右键弹出菜单>", " 全选(&L)=32854", " 删除(&D)=32852", " 标记为已读(&M)=32855", " -",
          " 读取(&G)>", "  最新信息(&N)=32830", "  所有信息(&A)=32829", "  -", "  停止读取=32831"}},
        {IDR_PICTURE_LIST_MENU,
         {"照片列表右键弹出菜单>", " 全选(&L)=32858", " 删除(&D)=32859", " 标记为已读(&M)=32860",
          " 浏览照片(&B)=32914", " 缩略图(&T)=32940", " -", " 读取(&G)>", "  最新索引(&N)=32921",
          "  全部索引(&A)=32922", "  详细数据(&A)=32861", "  -", "  停止读取(&S)=32825", " 上传照片(&U)=32788"}},
        {IDR_TRAY_MENU,
         {"任务栏右键菜单>", " 显示主窗口(&S)=32865", " -", " 添加新帐号(&N)...=32773", " 所有帐号更新(&G)>",
          "  全部(&A)=32871", "  -", "  留言(&M)=32867", "  照片(&P)=32868", "  通讯录(&C)=32869",
          "  在线信息(&O)=32870", " -", " 选项(&O)...=32771", " -", " 关于 Tavrin(&A)...=57664", " -",
          " 退出(&X)=57665"}},
    };
    for (const Whole& w : wholes)
        EXPECT_EQ(MenuLines(w.id), w.lines) << w.id;
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

TEST(AboutBox, ShowsTheProgramsIconNameAndAnOkButton)
{
    AfxSetResourceHandle(::GetModuleHandle(nullptr));
    ::InitCommonControls();
    CWinApp app;
    CAboutDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
    char text[128] = {};
    ::GetWindowText(dlg.m_hWnd, text, sizeof text);
    EXPECT_EQ(std::string(text), "关于 Tavrin");
    std::vector<std::string> texts;
    bool icon = false;
    for (HWND child = ::GetWindow(dlg.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::GetWindowText(child, text, sizeof text);
        texts.push_back(text);
        icon = icon || (::GetWindowLong(child, GWL_STYLE) & 0x1F) == SS_ICON;
    }
    EXPECT_TRUE(icon);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Tavrin 1.0"), texts.end());
    CWnd* ok = dlg.GetDlgItem(IDOK);
    ASSERT_NE(ok, nullptr);
    ok->GetWindowText(text, sizeof text);
    EXPECT_EQ(std::string(text), "确定");
    dlg.DestroyWindow();
    AfxSetResourceHandle(nullptr);
}

// The frame built headless in a program folder of its own.
class MainFrameCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        tavrin::SetProgramFolder(tavrin::ProgramPath(m_dir.Path().string()));
        tavrin::ReloadConfig();
        AfxSetResourceHandle(::GetModuleHandle(nullptr));
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
    const int bar = 6; // the toolkit splitter's flat bars
    const int minimum = 2 * 2 + min0 + bar + min1;
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

namespace {

TEST_F(MainFrameCommands, TheFrameCarriesTheStandardAndSearchToolbarsWithTheCommandIcons)
{
    CXTPCommandBars* pBars = m_frame->GetCommandBars();
    ASSERT_NE(pBars, nullptr);
    EXPECT_FALSE(pBars->GetOptions()->bShowExpandButtonAlways);

    auto findBar = [&](const char* title) -> CXTPToolBar* {
        for (int i = 0; i < pBars->GetCount(); ++i)
            if (pBars->GetAt(i)->GetTitle() == title)
                return dynamic_cast<CXTPToolBar*>(pBars->GetAt(i));
        return nullptr;
    };
    CXTPToolBar* pStandard = findBar("标准");
    CXTPToolBar* pSearch = findBar("搜索");
    ASSERT_NE(pStandard, nullptr);
    ASSERT_NE(pSearch, nullptr);
    EXPECT_EQ(pStandard->GetPosition(), xtpBarTop);
    EXPECT_EQ(pSearch->GetPosition(), xtpBarTop);
    EXPECT_EQ(pStandard->GetIconSize(), CSize(24, 24));

    // The refresh and stop buttons are split buttons; the others plain buttons.
    std::vector<UINT> ids;
    for (int i = 0; i < pStandard->GetControls()->GetCount(); ++i) {
        CXTPControl* pControl = pStandard->GetControl(i);
        if (pControl->GetID() == XTP_ID_TOOLBAR_EXPAND)
            continue;
        ids.push_back(pControl->GetID());
        const bool split = pControl->GetID() == ID_REFRESH_BUTTON || pControl->GetID() == ID_STOP_BUTTON;
        EXPECT_EQ(pControl->GetType() == xtpControlSplitButtonPopup, split) << pControl->GetID();
    }
    const std::vector<UINT> expected{ID_ADD_ACCOUNT,     ID_REFRESH_CLASS_INFO, ID_REFRESH_BUTTON, ID_STOP_BUTTON,
                                     ID_VIEW_OTHER_INFO, ID_VIEW_COMPOSE,       ID_OPTIONS,        ID_APP_ABOUT};
    EXPECT_EQ(ids, expected);

    // Both icon sizes of the eight commands.
    for (UINT id : expected) {
        CXTPImageManagerIconSet* pSet = pBars->GetImageManager()->GetIconSet(id);
        ASSERT_NE(pSet, nullptr) << id;
        EXPECT_NE(pBars->GetImageManager()->GetImage(id, 24), nullptr) << id;
        EXPECT_NE(pBars->GetImageManager()->GetImage(id, 16), nullptr) << id;
    }
}

TEST_F(MainFrameCommands, CloseSavesTheBarOptionsForTheNextStart)
{
    tavrin::test::UserConfigScope config;
    m_app.SetRegistryKey("Tavrin");
    // A user option, as the customize dialog would set it.
    m_frame->GetCommandBars()->GetOptions()->bToolBarAccelTips = TRUE;
    m_frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(m_hwnd));
    // A second frame reads the saved options back.
    auto* pFrame = new CMainFrame;
    CCreateContext context;
    ASSERT_TRUE(pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context));
    m_app.m_pMainWnd = pFrame;
    m_hwnd = pFrame->m_hWnd;
    EXPECT_TRUE(pFrame->GetCommandBars()->GetOptions()->bToolBarAccelTips);
    EXPECT_FALSE(pFrame->GetCommandBars()->GetOptions()->bShowExpandButtonAlways);
}

} // namespace
