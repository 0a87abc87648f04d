#include "tests/platform/controls/AddAccountDialog.h"

#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Static.h"
#include "platform/win/Dialog.h"

namespace tavrin::test {

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

} // namespace

LPCDLGTEMPLATE AddAccountTemplate(TemplateBuilder& b)
{
    b.Add("STATIC", "网站:", 0xFFFF, kChild, 7, 9, 30, 8)
        .Add("COMBOBOX", "", kProvider, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 39, 7, 176, 86)
        .Add("STATIC", "用户名:", 0xFFFF, kChild, 7, 26, 30, 8)
        .Add("EDIT", "", kUser, kEdit, 39, 24, 72, 14)
        .Add("STATIC", "密码:", 0xFFFF, kChild, 117, 26, 24, 8)
        .Add("EDIT", "", kPassword, kEdit | ES_PASSWORD, 143, 24, 72, 14)
        .Add("STATIC", "HTTP代理设置", 0xFFFF, kChild, 7, 46, 50, 8)
        .Add("STATIC", "", 0xFFFF, kChild | SS_ETCHEDHORZ, 58, 49, 157, 1)
        .Add("STATIC", "服务器:", 0xFFFF, kChild, 7, 62, 30, 8)
        .Add("EDIT", "", kProxyServer, kEdit, 39, 60, 99, 14)
        .Add("STATIC", "端口:", 0xFFFF, kChild, 141, 62, 22, 8)
        .Add("EDIT", "", kProxyPort, kEdit | ES_NUMBER, 165, 60, 50, 14)
        .Add("STATIC", "用户名:", 0xFFFF, kChild, 7, 79, 30, 8)
        .Add("EDIT", "", kProxyUser, kEdit, 39, 77, 72, 14)
        .Add("STATIC", "密码:", 0xFFFF, kChild, 117, 79, 24, 8)
        .Add("EDIT", "", kProxyPassword, kEdit | ES_PASSWORD, 143, 77, 72, 14)
        .Add("BUTTON", "确定", IDOK, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 34, 100, 50, 14)
        .Add("BUTTON", "取消", IDCANCEL, kChild | WS_TABSTOP, 138, 100, 50, 14);
    return b.Get();
}

std::vector<UINT>& AddAccountCommands()
{
    static std::vector<UINT> commands;
    return commands;
}

INT_PTR CALLBACK AddAccountProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        // Each name goes in at the top, as the program fills the list.
        for (const char* name : {"5460(电信用户)", "5460(网通用户)", "ChinaRen(ChinaRen用户)", "ChinaRen(Sohu用户)"})
            SendDlgItemMessageA(dialog, kProvider, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dialog, kProvider, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        AddAccountCommands().push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace tavrin::test
