#include "WindowLog.h"

#include "tests/support/TestControls.h"

#include <gtest/gtest.h>

using tavrin::test::ControlEvents;
using tavrin::test::Pump;
using tavrin::test::TemplateBuilder;
using tavrin::test::WindowLog;
using tavrin::win::InjectKey;

namespace {

constexpr DWORD kPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// The add-account dialog's layout: 222 x 121 units in 9-point 宋体.
TemplateBuilder AddAccount()
{
    TemplateBuilder t("添加新帐号", kPopup | DS_CENTER, 0, 0, 222, 121, "宋体", 9);
    t.Add("TestLabel", "用户名:", 1100, WS_VISIBLE, 7, 26, 30, 8)
        .Add("TestEdit", "", 1001, WS_VISIBLE | WS_TABSTOP, 39, 24, 72, 14)
        .Add("TestLabel", "密码:", 1101, WS_VISIBLE, 117, 26, 24, 8)
        .Add("TestEdit", "", 1002, WS_VISIBLE | WS_TABSTOP, 143, 24, 72, 14)
        .Add("TestButton", "确定", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 34, 100, 50, 14)
        .Add("TestButton", "取消", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 138, 100, 50, 14);
    return t;
}

struct Seen {
    std::vector<UINT> commands;
    HWND initFocus = nullptr;
    LRESULT initAnswer = TRUE;
    std::function<void(HWND)> onInit;
};
Seen* g_seen = nullptr;

INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        g_seen->initFocus = reinterpret_cast<HWND>(wParam);
        if (g_seen->onInit)
            g_seen->onInit(dialog);
        return g_seen->initAnswer;
    }
    if (message == WM_COMMAND) {
        g_seen->commands.push_back(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

RECT ChildRect(HWND dialog, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Messages as the dialog's loop takes them.
void PumpDialog(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
}

void Press(std::initializer_list<UINT> keys)
{
    for (UINT key : keys)
        InjectKey(key, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        InjectKey(*it, false);
}

} // namespace

TEST(Dialog, TemplateInDialogUnitsIsLaidOutWithItsFont)
{
    tavrin::test::RegisterTestControls();
    Seen seen;
    g_seen = &seen;
    auto t = AddAccount();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    ASSERT_TRUE(font);
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -12) << "9 points at 96 dots per inch";
    EXPECT_STREQ(lf.lfFaceName, "宋体");
    const tavrin::win::DialogUnits units = tavrin::win::DialogUnitsForFont(font);
    EXPECT_EQ(units.cx, 7);
    EXPECT_EQ(units.cy, 14);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, (222 * units.cx + 2) / 4);
    EXPECT_EQ(client.bottom, (121 * units.cy + 4) / 8);
    RECT mapped{39, 24, 39 + 72, 24 + 14};
    ASSERT_TRUE(MapDialogRect(dialog, &mapped));
    RECT edit = ChildRect(dialog, 1001);
    EXPECT_EQ(edit.left, mapped.left);
    EXPECT_EQ(edit.top, mapped.top);
    EXPECT_EQ(edit.right, mapped.right);
    EXPECT_EQ(edit.bottom, mapped.bottom);
    EXPECT_EQ(ChildRect(dialog, IDCANCEL).left, (138 * units.cx + 2) / 4);
    // Every control got the font; DS_CENTER put the dialog in the middle of the work area.
    int fonts = 0;
    for (const auto& e : ControlEvents())
        fonts += e.message == WM_SETFONT && e.wParam == reinterpret_cast<WPARAM>(font);
    EXPECT_EQ(fonts, 6);
    RECT work, window;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(dialog, &window);
    EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(HIWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), DC_HASDEFID);
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), IDOK);
    DestroyWindow(dialog);

    // The shell font of the statistics dialog.
    TemplateBuilder stats("留言统计", kPopup, 0, 0, 186, 39, "MS Shell Dlg", 8);
    stats.Add("TestLabel", "静态", 1073, WS_VISIBLE, 7, 7, 172, 8);
    dialog = CreateDialogIndirectParamA(nullptr, stats.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    const auto shell = tavrin::win::DialogUnitsForFont(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    EXPECT_EQ(shell.cx, 7);
    EXPECT_EQ(shell.cy, 13);
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, (186 * shell.cx + 2) / 4);
    DestroyWindow(dialog);
    EXPECT_GT(LOWORD(GetDialogBaseUnits()), 0);
    EXPECT_GT(HIWORD(GetDialogBaseUnits()), 0);
}

TEST(Dialog, InitDialogPutsTheFocusOnTheFirstTabStopUnlessTheHandlerSaysNo)
{
    tavrin::test::RegisterTestControls();
    Seen seen;
    g_seen = &seen;
    TemplateBuilder t("焦点", kPopup | WS_VISIBLE, 10, 10, 200, 100);
    t.Add("TestLabel", "标签", 10, WS_VISIBLE, 5, 5, 40, 8)
        .Add("TestEdit", "", 11, WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 5, 20, 40, 14)
        .Add("TestEdit", "", 12, WS_VISIBLE | WS_TABSTOP, 5, 40, 40, 14)
        .Add("TestEdit", "", 13, WS_VISIBLE | WS_TABSTOP, 5, 60, 40, 14);
    ControlEvents().clear();
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(seen.initFocus, GetDlgItem(dialog, 12)) << "skips the label and the disabled edit";
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 12));
    bool selected = false;
    for (const auto& e : ControlEvents())
        selected = selected || (e.hwnd == GetDlgItem(dialog, 12) && e.message == EM_SETSEL);
    EXPECT_TRUE(selected) << "an edit focused by the dialog has its text selected";
    DestroyWindow(dialog);

    seen.initAnswer = FALSE;
    seen.onInit = [](HWND d) { SetFocus(GetDlgItem(d, 13)); };
    dialog = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 13));
    DestroyWindow(dialog);
}

TEST(Dialog, AControlThatCannotBeMadeFailsTheDialog)
{
    Seen seen;
    g_seen = &seen;
    const size_t before = tavrin::win::Window::TopLevelWindows().size();
    TemplateBuilder t("坏", kPopup, 0, 0, 100, 50);
    t.Add("NoSuchClass", "", 5, WS_VISIBLE, 1, 1, 10, 10);
    EXPECT_EQ(CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0), nullptr);
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0), -1);
    EXPECT_EQ(tavrin::win::Window::TopLevelWindows().size(), before);
    TemplateBuilder tolerant("宽容", kPopup | DS_NOFAILCREATE, 0, 0, 100, 50);
    tolerant.Add("NoSuchClass", "", 5, WS_VISIBLE, 1, 1, 10, 10);
    HWND dialog = CreateDialogIndirectParamA(nullptr, tolerant.Get(), nullptr, Proc, 0);
    EXPECT_TRUE(dialog);
    DestroyWindow(dialog);

    // A class id outside the predefined six is the framework's to make.
    tavrin::test::RegisterTestControls();
    std::vector<WORD> asked;
    tavrin::win::SetDialogControlFactory([&](const tavrin::win::DialogControlRequest& r) -> HWND {
        asked.push_back(r.classId);
        return CreateWindowExA(r.exStyle, "TestLabel", r.text, r.style, r.rect.left, r.rect.top,
                               r.rect.right - r.rect.left, r.rect.bottom - r.rect.top, r.dialog,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(r.id)), r.instance, nullptr);
    });
    TemplateBuilder custom("类号", kPopup, 0, 0, 100, 50);
    custom.AddById(0x4321, "自定义", 9, WS_VISIBLE, 1, 1, 10, 10);
    dialog = CreateDialogIndirectParamA(nullptr, custom.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(asked, std::vector<WORD>{0x4321});
    EXPECT_TRUE(GetDlgItem(dialog, 9));
    DestroyWindow(dialog);
    tavrin::win::SetDialogControlFactory(nullptr);
}

TEST(Dialog, KeyboardMovesTheFocusAndPressesButtons)
{
    tavrin::test::RegisterTestControls();
    Seen seen;
    g_seen = &seen;
    TemplateBuilder t("键盘", kPopup | WS_VISIBLE, 10, 10, 220, 120);
    t.Add("TestLabel", "名字(&N):", 100, WS_VISIBLE, 5, 5, 40, 8)
        .Add("TestEdit", "", 101, WS_VISIBLE | WS_TABSTOP, 50, 5, 60, 14)
        .Add("TestEdit", "", 102, WS_VISIBLE | WS_TABSTOP, 50, 22, 60, 30)
        .Add("TestRadio", "甲(&A)", 103, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 5, 60, 40, 10)
        .Add("TestRadio", "乙(&B)", 104, WS_VISIBLE, 5, 72, 40, 10)
        .Add("TestRadio", "丙(&C)", 105, WS_VISIBLE, 5, 84, 40, 10)
        .Add("TestCheck", "选项(&O)", 106, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 60, 60, 50, 10)
        .Add("TestButton", "确定", IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 120, 100, 40, 14)
        .Add("TestButton", "取消", IDCANCEL, WS_VISIBLE | WS_TABSTOP, 170, 100, 40, 14)
        .Add("TestButton", "应用(&Y)", 110, WS_VISIBLE | WS_TABSTOP, 170, 80, 40, 14);
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    SetForegroundWindow(dialog);
    ASSERT_EQ(GetFocus(), GetDlgItem(dialog, 101));
    struct Row {
        const char* name;
        std::vector<std::vector<UINT>> keys;
        int focus;               // id focused afterwards
        std::vector<UINT> commands;
    };
    const Row rows[] = {
        {"Tab", {{VK_TAB}}, 102, {}},
        {"Shift+Tab back", {{VK_SHIFT, VK_TAB}}, 101, {}},
        {"Tab into the group lands on its tab stop", {{VK_TAB}, {VK_TAB}}, 103, {}},
        {"arrows move in the group and wrap", {{VK_DOWN}, {VK_DOWN}}, 105, {}},
        {"wrapping to the group's start", {{VK_DOWN}}, 103, {}},
        {"up wraps to the end", {{VK_UP}}, 105, {}},
        {"Tab leaves the group", {{VK_TAB}}, 106, {}},
        {"Enter presses the default button", {{VK_RETURN}}, 106, {IDOK}},
        {"Esc cancels", {{VK_ESCAPE}}, 106, {IDCANCEL}},
        {"Alt+mnemonic of a label focuses what follows", {{VK_MENU, 'N'}}, 101, {}},
        {"Alt+mnemonic of a check box clicks it", {{VK_MENU, 'O'}}, 106, {106}},
        {"Alt+mnemonic of a push button presses it", {{VK_MENU, 'Y'}}, 106, {110}},
        {"a focused push button takes Enter", {{VK_TAB}, {VK_TAB}, {VK_RETURN}}, IDCANCEL, {IDCANCEL}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        seen.commands.clear();
        for (const auto& chord : row.keys) {
            for (UINT key : chord)
                InjectKey(key, true);
            for (auto it = chord.rbegin(); it != chord.rend(); ++it)
                InjectKey(*it, false);
            PumpDialog(dialog);
        }
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), row.focus);
        EXPECT_EQ(seen.commands, row.commands);
    }
    // The focused Cancel looked like the default meanwhile; away from it, OK does again.
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 101)), TRUE);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_DEFPUSHBUTTON);

    // Another default button: the style moves and Enter goes to it.
    SendMessageA(dialog, DM_SETDEFID, 110, 0);
    EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), 110);
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(dialog, 110), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    seen.commands.clear();
    Press({VK_RETURN});
    PumpDialog(dialog);
    EXPECT_EQ(seen.commands, std::vector<UINT>{110});
    DestroyWindow(dialog);

    // Without any default button Enter means IDOK; a multi-line edit keeps
    // Enter and Tab for itself.
    TemplateBuilder bare("无默认", kPopup | WS_VISIBLE, 10, 10, 100, 50);
    bare.Add("TestEdit", "", 1, WS_VISIBLE | WS_TABSTOP, 5, 5, 60, 14)
        .Add("TestEdit", "", 2, WS_VISIBLE | WS_TABSTOP | 4, 5, 22, 60, 20);
    dialog = CreateDialogIndirectParamA(nullptr, bare.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    SetForegroundWindow(dialog);
    seen.commands.clear();
    Press({VK_RETURN});
    PumpDialog(dialog);
    EXPECT_EQ(seen.commands, std::vector<UINT>{IDOK});
    SetFocus(GetDlgItem(dialog, 2));
    seen.commands.clear();
    ControlEvents().clear();
    Press({VK_RETURN});
    Press({VK_TAB});
    PumpDialog(dialog);
    EXPECT_TRUE(seen.commands.empty());
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 2));
    std::string typed;
    for (const auto& e : ControlEvents())
        if (e.message == WM_CHAR)
            typed += static_cast<char>(e.wParam);
    EXPECT_EQ(typed, "\r\t");
    DestroyWindow(dialog);
}

TEST(Dialog, ItemHelpers)
{
    tavrin::test::RegisterTestControls();
    Seen seen;
    g_seen = &seen;
    TemplateBuilder t("帮手", kPopup, 10, 10, 100, 80);
    t.Add("TestEdit", "", 1, WS_VISIBLE, 5, 5, 60, 14)
        .Add("TestRadio", "", 2, WS_VISIBLE | WS_GROUP, 5, 20, 40, 10)
        .Add("TestRadio", "", 3, WS_VISIBLE, 5, 32, 40, 10)
        .Add("TestRadio", "", 4, WS_VISIBLE, 5, 44, 40, 10)
        .Add("TestCheck", "", 5, WS_VISIBLE | WS_GROUP, 5, 56, 40, 10);
    HWND dialog = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, Proc, 0);
    ASSERT_TRUE(dialog);
    struct IntCase {
        const char* text;
        BOOL isSigned;
        bool ok;
        UINT value;
    };
    const IntCase cases[] = {{"42", FALSE, true, 42},        {" -17 ", TRUE, true, static_cast<UINT>(-17)},
                             {"-17", FALSE, false, 0},       {"12ab", TRUE, false, 0},
                             {"4294967295", FALSE, true, 4294967295u}, {"4294967296", FALSE, false, 0},
                             {"2147483648", TRUE, false, 0}, {"", FALSE, false, 0}};
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        SetDlgItemTextA(dialog, 1, c.text);
        BOOL ok = !c.ok;
        EXPECT_EQ(GetDlgItemInt(dialog, 1, &ok, c.isSigned), c.value);
        EXPECT_EQ(ok != FALSE, c.ok);
    }
    SetDlgItemInt(dialog, 1, static_cast<UINT>(-5), TRUE);
    char text[16];
    GetDlgItemTextA(dialog, 1, text, sizeof text);
    EXPECT_STREQ(text, "-5");
    CheckRadioButton(dialog, 2, 4, 3);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 2), 0u);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 3), static_cast<UINT>(BST_CHECKED));
    CheckDlgButton(dialog, 5, BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 5), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(GetNextDlgGroupItem(dialog, GetDlgItem(dialog, 4), FALSE), GetDlgItem(dialog, 2));
    EXPECT_EQ(GetNextDlgGroupItem(dialog, GetDlgItem(dialog, 2), TRUE), GetDlgItem(dialog, 4));
    EXPECT_EQ(GetNextDlgGroupItem(dialog, GetDlgItem(dialog, 5), FALSE), GetDlgItem(dialog, 5)) << "a group of one";
    DestroyWindow(dialog);
}

TEST(Dialog, ModalRunDisablesTheOwnerAndGivesItBackBeforeTheDialogGoes)
{
    tavrin::test::RegisterTestControls();
    tavrin::win::ClearMessageBoxAnswers();
    tavrin::win::TakeMessageBoxLog();
    WindowLog log;
    HWND owner = log.Create("owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 500, 400});
    SetForegroundWindow(owner);
    struct Run {
        HWND owner;
        bool ownerDisabled = false;
        int boxAnswer = 0;
        bool enabledAtDestroy = false;
        bool ownerActiveAtDestroy = false;
    };
    static Run* run;
    Run r{owner};
    run = &r;
    // The dialog starts its work once its loop is idle.
    log.m_handler = [&](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT*) {
        if (hwnd == owner && message == WM_ENTERIDLE && log.Of(WM_ENTERIDLE).size() == 1)
            PostMessageA(reinterpret_cast<HWND>(lParam), WM_USER + 5, 0, 0);
        return false;
    };
    TemplateBuilder t("模态", kPopup | WS_VISIBLE, 10, 10, 120, 60, "宋体", 9);
    t.Add("TestButton", "确定", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 40, 40, 14);
    DLGPROC proc = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_USER + 5:
            run->ownerDisabled = !IsWindowEnabled(run->owner);
            tavrin::win::QueueMessageBoxAnswer(IDNO);
            run->boxAnswer = MessageBoxA(dialog, "要保存吗?", "提示", MB_YESNO); // nested inside the modal loop
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            return TRUE;
        case WM_COMMAND:
            EndDialog(dialog, LOWORD(wParam) == IDOK ? 77 : 0);
            return TRUE;
        case WM_DESTROY:
            run->enabledAtDestroy = IsWindowEnabled(run->owner) != FALSE;
            run->ownerActiveAtDestroy = GetActiveWindow() == run->owner;
            return TRUE;
        default:
            return FALSE;
        }
    };
    const INT_PTR result = DialogBoxIndirectParamA(nullptr, t.Get(), owner, proc, 0);
    EXPECT_EQ(result, 77);
    EXPECT_TRUE(r.ownerDisabled);
    EXPECT_EQ(r.boxAnswer, IDNO);
    EXPECT_TRUE(r.enabledAtDestroy);
    EXPECT_TRUE(r.ownerActiveAtDestroy);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
    const auto boxes = tavrin::win::TakeMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "提示");
    auto idle = log.Of(WM_ENTERIDLE);
    ASSERT_FALSE(idle.empty()) << "the owner hears when the dialog's loop waits";
    EXPECT_EQ(idle[0].wParam, static_cast<WPARAM>(MSGF_DIALOGBOX));

    // A quit ends the run and is posted again for the outer loop.
    DLGPROC quitting = [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG)
            PostQuitMessage(3);
        return message == WM_INITDIALOG;
    };
    DialogBoxIndirectParamA(nullptr, t.Get(), owner, quitting, 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
    DestroyWindow(owner);
}

TEST(Dialog, ByIdFromTheModulesResources)
{
    tavrin::test::RegisterTestControls();
    Seen seen;
    g_seen = &seen;
    TemplateBuilder t("资源里的", kPopup, 10, 10, 120, 60, "宋体", 9);
    t.Add("TestButton", "确定", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 40, 40, 14);
    LPCDLGTEMPLATE bytes = t.Get();
    const std::vector<BYTE> data = tavrin::win::WriteDialogTemplate([&] {
        tavrin::win::DialogDescription d;
        tavrin::win::ReadDialogTemplate(bytes, 0, &d);
        return d;
    }());
    const tavrin::win::ResourceEntry entries[] = {{5, nullptr, 175, nullptr, data.data(), static_cast<DWORD>(data.size())}};
    HMODULE module = tavrin::win::CreateResourceModule(tavrin::win::ResourceTable{entries, 1});
    ASSERT_TRUE(module);
    seen.onInit = [](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); };
    DLGPROC proc = [](HWND d, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG)
            g_seen->onInit(d);
        if (message == WM_COMMAND)
            EndDialog(d, LOWORD(wParam) + 100);
        return message == WM_INITDIALOG || message == WM_COMMAND;
    };
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(175), nullptr, proc, 0), 101);
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(176), nullptr, proc, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    HWND modeless = CreateDialogParamA(module, "#175", nullptr, Proc, 0);
    EXPECT_TRUE(modeless);
    DestroyWindow(modeless);
    tavrin::win::DestroyResourceModule(module);
}
