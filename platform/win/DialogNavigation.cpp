// The keyboard interface of dialogs: Tab order, groups, the default button,
// Esc, mnemonics, and the item helpers built on control messages.
#include "platform/win/Dialog.h"

#include "platform/base/String.h"
#include "platform/win/DialogInternal.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowQuery.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tavrin::win {

namespace {

LONG Style(HWND hwnd)
{
    return GetWindowLongA(hwnd, GWL_STYLE);
}

bool IsControlParent(HWND hwnd)
{
    return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}

// The dialog's controls in Tab order (z-order); a child form (a control
// parent) lends its own controls in its place.
void Collect(HWND parent, std::vector<HWND>& out)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsControlParent(child) && (Style(child) & WS_VISIBLE) && !(Style(child) & WS_DISABLED))
            Collect(child, out);
        else
            out.push_back(child);
    }
}

std::vector<HWND> Controls(HWND dialog)
{
    std::vector<HWND> all;
    Collect(dialog, all);
    return all;
}

// By the control's own style: the dialog itself may not be shown yet.
bool Usable(HWND hwnd)
{
    return (Style(hwnd) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

int IndexOf(const std::vector<HWND>& list, HWND hwnd)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == hwnd)
            return static_cast<int>(i);
    return -1;
}

// The control in the list that holds hwnd (hwnd or an ancestor of it).
int IndexHolding(const std::vector<HWND>& list, HWND hwnd)
{
    for (HWND h = hwnd; h; h = (Style(h) & WS_CHILD) ? GetParent(h) : nullptr) {
        const int i = IndexOf(list, h);
        if (i >= 0)
            return i;
    }
    return -1;
}

LRESULT DlgCode(HWND hwnd, const MSG* msg = nullptr)
{
    return SendMessageA(hwnd, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg));
}

bool IsPushButton(LRESULT code)
{
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

// Gives the default look to one button and takes it from the others.
void ShowDefault(HWND dialog, HWND button)
{
    for (HWND control : Controls(dialog)) {
        const LRESULT code = DlgCode(control);
        if (control != button && (code & DLGC_DEFPUSHBUTTON))
            SendMessageA(control, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        else if (control == button && (code & DLGC_UNDEFPUSHBUTTON))
            SendMessageA(control, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

HWND ControlById(HWND dialog, UINT id)
{
    for (HWND control : Controls(dialog))
        if (static_cast<UINT>(GetDlgCtrlID(control)) == id)
            return control;
    return nullptr;
}

// The mnemonic of a control's text: the character after a single '&'.
int Mnemonic(const std::string& text)
{
    const char* p = text.c_str();
    const char* end = p + text.size();
    while (p < end) {
        if (*p == '&' && p + 1 < end) {
            if (p[1] != '&')
                return std::tolower(static_cast<unsigned char>(p[1]));
            p += 2;
            continue;
        }
        p += tavrin::CharLength(p, end);
    }
    return -1;
}

std::string TextOf(HWND hwnd)
{
    char buffer[512];
    const int n = GetWindowTextA(hwnd, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

// Alt+letter (or a plain letter where the focus takes no characters): the
// control with that mnemonic, after the focus, wrapping around.
bool DoMnemonic(HWND dialog, int ch)
{
    ch = std::tolower(ch);
    const auto list = Controls(dialog);
    if (list.empty())
        return false;
    const int focus = IndexHolding(list, GetFocus());
    const int n = static_cast<int>(list.size());
    for (int step = 1; step <= n; ++step) {
        const int i = ((focus < 0 ? -1 : focus) + step + n) % n;
        HWND control = list[i];
        if (!(Style(control) & WS_VISIBLE) || Mnemonic(TextOf(control)) != ch)
            continue;
        const LRESULT code = DlgCode(control);
        if (code & DLGC_STATIC) {
            // A label names the control after it.
            for (int j = i + 1; j < n; ++j) {
                if (Usable(list[j]) && !(DlgCode(list[j]) & DLGC_STATIC)) {
                    DialogSetFocus(dialog, list[j]);
                    return true;
                }
            }
            return true;
        }
        if (!IsWindowEnabled(control))
            continue;
        if (code & DLGC_BUTTON) {
            if (!IsPushButton(code))
                DialogSetFocus(dialog, control);
            SendMessageA(control, BM_CLICK, 0, 0);
        } else {
            DialogSetFocus(dialog, control);
        }
        return true;
    }
    return false;
}

void PressDefault(HWND dialog)
{
    HWND focus = GetFocus();
    UINT id = 0;
    HWND button = nullptr;
    if (focus && IsChild(dialog, focus) && IsPushButton(DlgCode(focus))) {
        button = focus;
        id = static_cast<UINT>(GetDlgCtrlID(focus));
    } else {
        const LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
        button = ControlById(dialog, id);
    }
    if (button && !IsWindowEnabled(button))
        return;
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

} // namespace

void DialogSetFocus(HWND dialog, HWND control)
{
    const LRESULT code = DlgCode(control);
    if (code & DLGC_HASSETSEL)
        SendMessageA(control, EM_SETSEL, 0, -1);
    if (IsPushButton(code))
        ShowDefault(dialog, control);
    else
        ShowDefault(dialog, ControlById(dialog, DialogDefaultId(dialog)));
    DialogRememberFocus(dialog, control);
    SetFocus(control);
}

void DialogSetDefaultId(HWND dialog, UINT id)
{
    DialogRememberDefaultId(dialog, id);
    HWND focus = GetFocus();
    // A focused push button keeps the look until the focus leaves it.
    if (!(focus && IsChild(dialog, focus) && IsPushButton(DlgCode(focus))))
        ShowDefault(dialog, ControlById(dialog, id));
}

} // namespace tavrin::win

using namespace tavrin::win;

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous)
{
    const auto list = Controls(dialog);
    const int n = static_cast<int>(list.size());
    if (!n)
        return nullptr;
    int start = control ? IndexHolding(list, control) : -1;
    if (start < 0)
        start = previous ? 0 : n - 1; // so the first step lands on the first (last) control
    for (int step = 1; step <= n; ++step) {
        const int i = ((start + (previous ? -step : step)) % n + n) % n;
        if ((Style(list[i]) & WS_TABSTOP) && Usable(list[i]))
            return list[i];
    }
    return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous)
{
    const auto list = Controls(dialog);
    const int n = static_cast<int>(list.size());
    int at = control ? IndexHolding(list, control) : -1;
    if (!n)
        return nullptr;
    if (at < 0)
        at = 0;
    // The group: from the nearest WS_GROUP control at or before this one up
    // to the next WS_GROUP control.
    int first = at;
    while (first > 0 && !(Style(list[first]) & WS_GROUP))
        --first;
    int last = at + 1;
    while (last < n && !(Style(list[last]) & WS_GROUP))
        ++last;
    const int size = last - first;
    for (int step = 1; step <= size; ++step) {
        const int i = first + (((at - first) + (previous ? -step : step)) % size + size) % size;
        if (Usable(list[i]))
            return list[i];
    }
    return control;
}

BOOL IsDialogMessageA(HWND dialog, LPMSG msg)
{
    if (!msg || !dialog || !IsWindow(dialog) || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)))
        return FALSE;
    const LRESULT code = DlgCode(msg->hwnd, msg);
    switch (msg->message) {
    case WM_KEYDOWN:
        if (code & DLGC_WANTMESSAGE)
            break;
        switch (msg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB)
                break;
            SendMessageA(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
            return TRUE;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
            if (code & DLGC_WANTARROWS)
                break;
            const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(dialog, GetFocus(), back);
            if (next)
                SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), 1);
            return TRUE;
        }
        case VK_ESCAPE:
        case VK_CANCEL: {
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (!cancel || IsWindowEnabled(cancel))
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return TRUE;
        }
        case VK_RETURN:
        case VK_EXECUTE:
            PressDefault(dialog);
            return TRUE;
        default:
            break;
        }
        break;
    case WM_CHAR:
        if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE))
            break;
        if (msg->wParam == '\t' || msg->wParam == '\r' || msg->wParam == 0x1B)
            return TRUE; // the key already did its work
        if (msg->wParam > ' ' && DoMnemonic(dialog, static_cast<int>(msg->wParam)))
            return TRUE;
        break;
    case WM_SYSCHAR:
        if (DoMnemonic(dialog, static_cast<int>(msg->wParam)))
            return TRUE;
        break;
    default:
        break;
    }
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned)
{
    char text[16];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemTextA(dialog, id, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned)
{
    if (translated)
        *translated = FALSE;
    char text[64];
    if (!GetDlgItemTextA(dialog, id, text, sizeof text) && !GetDlgItem(dialog, id))
        return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (isSigned && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return 0;
    uint64_t value = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        value = value * 10 + static_cast<unsigned>(*p++ - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p)
        return 0;
    if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return 0;
    if (translated)
        *translated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<int64_t>(value)) : static_cast<UINT>(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return FALSE;
    SendMessageA(button, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return button ? static_cast<UINT>(SendMessageA(button, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    if (!IsWindow(dialog) || first > last)
        return FALSE;
    for (int id = first; id <= last; ++id)
        if (HWND button = GetDlgItem(dialog, id))
            SendMessageA(button, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}
