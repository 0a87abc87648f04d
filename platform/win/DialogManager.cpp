// Making dialogs from templates, running them modally and their default
// procedure.
#include "platform/win/Dialog.h"

#include "platform/win/Cursor.h"
#include "platform/win/DialogInternal.h"
#include "platform/win/DialogTemplate.h"
#include "platform/win/Focus.h"
#include "platform/win/Menu.h"
#include "platform/win/Painting.h"
#include "platform/win/Resource.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowQuery.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct DialogState {
    HFONT font = nullptr;
    bool ownsFont = false;
    DialogUnits units{};
    UINT defId = 0;
    HWND focus = nullptr; // the control to give the focus back to
    bool ended = false;
    INT_PTR result = 0;
    HWND disabledOwner = nullptr; // re-enabled when the modal run ends
};

std::mutex g_lock;
std::unordered_map<HWND, DialogState>& States()
{
    static auto* states = new std::unordered_map<HWND, DialogState>;
    return *states;
}

template <typename F> auto WithState(HWND dialog, F&& f)
{
    std::lock_guard<std::mutex> lock(g_lock);
    return f(States()[dialog]);
}

bool HasState(HWND dialog)
{
    std::lock_guard<std::mutex> lock(g_lock);
    return States().count(dialog) != 0;
}

DialogControlFactory& Factory()
{
    static auto* factory = new DialogControlFactory;
    return *factory;
}

DialogControlFactory& ClassFactory()
{
    static auto* factory = new DialogControlFactory;
    return *factory;
}

int MulDivRound(int value, int numerator, int denominator)
{
    const int64_t product = int64_t(value) * numerator;
    return static_cast<int>(product >= 0 ? (product + denominator / 2) / denominator
                                         : -((-product + denominator / 2) / denominator));
}

RECT ToPixels(RECT r, DialogUnits u)
{
    return RECT{MulDivRound(r.left, u.cx, 4), MulDivRound(r.top, u.cy, 8), MulDivRound(r.right, u.cx, 4),
                MulDivRound(r.bottom, u.cy, 8)};
}

HFONT MakeFont(const DialogDescription& d)
{
    LOGFONTA lf{};
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    lf.lfHeight = -MulDivRound(d.pointSize, dpi ? dpi : 96, 72);
    lf.lfWeight = d.weight ? d.weight : FW_NORMAL;
    lf.lfItalic = d.italic ? 1 : 0;
    lf.lfCharSet = d.charset;
    const size_t n = std::min(d.face.size(), sizeof(lf.lfFaceName) - 1);
    d.face.copy(lf.lfFaceName, n);
    lf.lfFaceName[n] = 0;
    return CreateFontIndirectA(&lf);
}

const char* PredefinedClass(WORD id)
{
    switch (id) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return nullptr;
    }
}

std::string ItemText(const NameOrId& text)
{
    // A number stands for a resource (an icon's id): its name form.
    return text.hasId && text.name.empty() ? "#" + std::to_string(text.id) : text.name;
}

HWND MakeControl(HWND dialog, HINSTANCE instance, const DialogItem& item, DialogUnits units, HFONT font)
{
    RECT r = ToPixels(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy}, units);
    const DWORD style = (item.style | WS_CHILD) & ~static_cast<DWORD>(WS_POPUP);
    const DWORD exStyle = item.exStyle | WS_EX_NOPARENTNOTIFY;
    const std::string text = ItemText(item.text);
    LPVOID data = item.data.empty() ? nullptr : const_cast<BYTE*>(item.data.data());
    HWND control = nullptr;
    if (item.windowClass.name.empty()) {
        const WORD classId = item.windowClass.id;
        if (const char* name = PredefinedClass(classId)) {
            control = CreateWindowExA(exStyle, name, text.c_str(), style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)),
                                      instance, data);
        } else if (Factory()) {
            DialogControlRequest request{classId, style, exStyle, r, item.id, text.c_str(), dialog, instance, data};
            control = Factory()(request);
        }
    } else if (item.windowClass.name[0] == '{' && ClassFactory()) {
        DialogControlRequest request{0, style, exStyle, r, item.id, text.c_str(), dialog, instance, data,
                                     item.windowClass.name.c_str()};
        control = ClassFactory()(request);
    } else {
        control = CreateWindowExA(exStyle, item.windowClass.name.c_str(), text.c_str(), style, r.left, r.top,
                                  r.right - r.left, r.bottom - r.top, dialog,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, data);
    }
    if (control && font)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Where a top-level dialog goes: relative to the owner's client area, or
// centred in the work area, and kept on it.
void PlaceTopLevel(const DialogDescription& d, HWND owner, RECT* r)
{
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = r->right - r->left, height = r->bottom - r->top;
    if (d.style & DS_CENTER) {
        r->left = work.left + (work.right - work.left - width) / 2;
        r->top = work.top + (work.bottom - work.top - height) / 2;
    } else if (owner && !(d.style & DS_ABSALIGN)) {
        POINT origin{0, 0};
        ClientToScreen(owner, &origin);
        r->left += origin.x;
        r->top += origin.y;
    }
    if (!IsRectEmpty(&work)) {
        r->left = std::max<int>(work.left, std::min<int>(r->left, work.right - width));
        r->top = std::max<int>(work.top, std::min<int>(r->top, work.bottom - height));
    }
    r->right = r->left + width;
    r->bottom = r->top + height;
}

HWND CreateFromDescription(HINSTANCE instance, const DialogDescription& d, HWND owner, DLGPROC proc, LPARAM param)
{
    HFONT font = nullptr;
    DialogUnits units{};
    if (d.hasFont) {
        font = MakeFont(d);
        units = DialogUnitsForFont(font);
    } else {
        const LONG base = GetDialogBaseUnits();
        units = DialogUnits{LOWORD(base), HIWORD(base)};
    }
    DWORD style = d.style;
    DWORD exStyle = d.exStyle;
    if (style & DS_MODALFRAME)
        exStyle |= WS_EX_DLGMODALFRAME;
    if (style & DS_CONTROL) {
        // A form inside another window: no frame of its own, and its
        // controls join the parent's Tab order.
        style &= ~static_cast<DWORD>(WS_CAPTION | WS_SYSMENU);
        exStyle |= WS_EX_CONTROLPARENT;
    }
    RECT r = ToPixels(RECT{d.x, d.y, d.x + d.cx, d.y + d.cy}, units);
    const bool hasMenu = !(style & WS_CHILD) && (d.menu.hasId || !d.menu.name.empty());
    AdjustWindowRectEx(&r, style, hasMenu, exStyle);
    if (!(style & WS_CHILD))
        PlaceTopLevel(d, owner, &r);
    const char* className = d.windowClass.name.empty() ? "#32770" : d.windowClass.name.c_str();
    HMENU menu = nullptr;
    if (hasMenu)
        menu = LoadMenuA(instance, d.menu.name.empty() ? MAKEINTRESOURCEA(d.menu.id) : d.menu.name.c_str());
    HWND dialog = CreateWindowExA(exStyle, className, d.title.c_str(), style & ~static_cast<DWORD>(WS_VISIBLE), r.left,
                                  r.top, r.right - r.left, r.bottom - r.top, owner, menu, instance,
                                  reinterpret_cast<LPVOID>(param));
    if (!dialog && menu)
        DestroyMenu(menu);
    if (!dialog) {
        if (font)
            DeleteObject(font);
        return nullptr;
    }
    WithState(dialog, [&](DialogState& s) {
        s.font = font;
        s.ownsFont = font != nullptr;
        s.units = units;
        return 0;
    });
    SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
    if (font)
        SendMessageA(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const DialogItem& item : d.items) {
        if (!IsWindow(dialog))
            return nullptr;
        HWND control = MakeControl(dialog, instance, item, units, font);
        if (!control && !(d.style & DS_NOFAILCREATE)) {
            DestroyWindow(dialog);
            return nullptr;
        }
        if (control && !DialogDefaultId(dialog) && (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            DialogRememberDefaultId(dialog, item.id);
    }
    if (!IsWindow(dialog))
        return nullptr;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    const LRESULT setFocus = SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog))
        return nullptr;
    if (setFocus && first) {
        DialogSetFocus(dialog, first);
    } else {
        HWND focus = GetFocus();
        if (focus && IsChild(dialog, focus))
            DialogRememberFocus(dialog, focus);
    }
    if ((d.style & WS_VISIBLE) && IsWindow(dialog))
        ShowWindow(dialog, SW_SHOWNORMAL);
    return IsWindow(dialog) ? dialog : nullptr;
}

const void* FindTemplate(HINSTANCE instance, LPCSTR name, size_t* size)
{
    HRSRC resource = FindResourceA(instance, name, RT_DIALOG);
    if (!resource)
        return nullptr;
    HGLOBAL data = LoadResource(instance, resource);
    *size = SizeofResource(instance, resource);
    return data ? LockResource(data) : nullptr;
}

INT_PTR RunModal(HWND dialog, HWND owner)
{
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        WithState(dialog, [&](DialogState& s) { return s.disabledOwner = owner; });
    }
    ShowWindow(dialog, SW_SHOWNORMAL);
    const bool idleMessages = !(GetWindowLongA(dialog, GWL_STYLE) & DS_NOIDLEMSG);
    MSG msg;
    for (;;) {
        if (!IsWindow(dialog) || WithState(dialog, [](DialogState& s) { return s.ended; }))
            break;
        if (idleMessages && owner && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            // The program is ending: the outer loop must see the quit too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsWindow(dialog) || !IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    INT_PTR result = 0;
    HWND disabled = nullptr;
    if (HasState(dialog)) {
        WithState(dialog, [&](DialogState& s) {
            result = s.result;
            disabled = s.disabledOwner;
            s.disabledOwner = nullptr;
            return 0;
        });
    }
    // The owner is usable and active again before the dialog goes, so the
    // focus never lands on some other window meanwhile.
    if (disabled && IsWindow(disabled))
        EnableWindow(disabled, TRUE);
    if (owner && IsWindow(owner) && GetActiveWindow() == dialog)
        SetActiveWindow(owner);
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    return result;
}

// Messages whose answer is the dialog procedure's own return value.
bool AnswersDirectly(UINT message)
{
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == 0x0039 /*WM_COMPAREITEM*/ || message == 0x002E /*WM_VKEYTOITEM*/ ||
           message == 0x002F /*WM_CHARTOITEM*/ || message == 0x0037 /*WM_QUERYDRAGICON*/;
}

LRESULT DefaultDialogHandling(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageA(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog)));
        RECT client;
        GetClientRect(dialog, &client);
        FillRect(hdc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(dialog, focus))
                DialogRememberFocus(dialog, focus);
            return 0;
        }
        [[fallthrough]];
    case WM_SETFOCUS: {
        HWND focus = WithState(dialog, [](DialogState& s) { return s.focus; });
        if (!focus || !IsWindow(focus) || !IsChild(dialog, focus))
            focus = GetNextDlgTabItem(dialog, nullptr, FALSE);
        if (focus)
            DialogSetFocus(dialog, focus);
        else if (message == WM_ACTIVATE)
            SetFocus(dialog);
        return 0;
    }
    case WM_CLOSE: {
        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel))
            return 0;
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_NEXTDLGCTL: {
        HWND target = nullptr;
        if (LOWORD(lParam))
            target = reinterpret_cast<HWND>(wParam);
        else
            target = GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
        if (target && IsChild(dialog, target))
            DialogSetFocus(dialog, target);
        return 0;
    }
    case DM_GETDEFID: {
        const UINT id = DialogDefaultId(dialog);
        return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID:
        DialogSetDefaultId(dialog, static_cast<UINT>(wParam));
        return TRUE;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(WithState(dialog, [](DialogState& s) { return s.font; }));
    case WM_NCDESTROY: {
        DialogState state;
        {
            std::lock_guard<std::mutex> lock(g_lock);
            auto it = States().find(dialog);
            if (it != States().end()) {
                state = it->second;
                States().erase(it);
            }
        }
        if (state.disabledOwner && IsWindow(state.disabledOwner))
            EnableWindow(state.disabledOwner, TRUE);
        if (state.ownsFont)
            DeleteObject(state.font);
        return DefWindowProcA(dialog, message, wParam, lParam);
    }
    default:
        return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

const bool g_registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "#32770";
    return RegisterClassExA(&wc) != 0;
}();

} // namespace

UINT DialogDefaultId(HWND dialog)
{
    return WithState(dialog, [](DialogState& s) { return s.defId; });
}

void DialogRememberDefaultId(HWND dialog, UINT id)
{
    WithState(dialog, [&](DialogState& s) { return s.defId = id; });
}

void DialogRememberFocus(HWND dialog, HWND control)
{
    WithState(dialog, [&](DialogState& s) { return s.focus = control; });
}

void SetDialogControlFactory(DialogControlFactory factory)
{
    Factory() = std::move(factory);
}

void SetDialogClassControlFactory(DialogControlFactory factory)
{
    ClassFactory() = std::move(factory);
}

DialogUnits DialogUnitsForFont(HFONT font)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32A(hdc, kAlphabet, 52, &size);
    SelectObject(hdc, old);
    DeleteDC(hdc);
    // The average width of the letters, rounded.
    return DialogUnits{static_cast<int>((size.cx / 26 + 1) / 2), static_cast<int>(tm.tmHeight)};
}

} // namespace tavrin::win

using namespace tavrin::win;

namespace {

// A template from memory (no name) or the module's dialog resource.
bool Describe(HINSTANCE instance, LPCSTR name, LPCDLGTEMPLATE tmpl, DialogDescription* d)
{
    (void)g_registered;
    if (!name) {
        if (ReadDialogTemplate(tmpl, 0, d))
            return true;
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    size_t size = 0;
    const void* found = FindTemplate(instance, name, &size);
    if (found && ReadDialogTemplate(found, size, d))
        return true;
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return false;
}

HWND Create(HINSTANCE instance, LPCSTR name, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogDescription d;
    return Describe(instance, name, tmpl, &d) ? CreateFromDescription(instance, d, owner, proc, param) : nullptr;
}

INT_PTR Run(HINSTANCE instance, LPCSTR name, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param)
{
    DialogDescription d;
    if (!Describe(instance, name, tmpl, &d))
        return -1;
    // A child cannot own a dialog: its top-level window does.
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    owner = root ? root : owner;
    d.style &= ~static_cast<DWORD>(WS_VISIBLE); // shown once the owner is disabled
    HWND dialog = CreateFromDescription(instance, d, owner, proc, param);
    return dialog ? RunModal(dialog, owner) : -1;
}

} // namespace

HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param)
{
    return Create(instance, nullptr, tmpl, owner, proc, param);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    return name ? Create(instance, name, nullptr, owner, proc, param) : nullptr;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE tmpl, HWND owner, DLGPROC proc, LPARAM param)
{
    return Run(instance, nullptr, tmpl, owner, proc, param);
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    return name ? Run(instance, name, nullptr, owner, proc, param) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    if (!IsWindow(dialog) || !HasState(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    HWND owner = nullptr;
    WithState(dialog, [&](DialogState& s) {
        s.ended = true;
        s.result = result;
        owner = s.disabledOwner;
        s.disabledOwner = nullptr;
        return 0;
    });
    if (owner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    const bool active = GetActiveWindow() == dialog;
    HWND realOwner = GetWindow(dialog, GW_OWNER);
    if (active && realOwner && IsWindowVisible(realOwner))
        SetActiveWindow(realOwner);
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    PostMessageA(dialog, WM_NULL, 0, 0); // wakes the modal loop
    return TRUE;
}

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        const INT_PTR handled = proc(dialog, message, wParam, lParam);
        if (AnswersDirectly(message))
            return handled;
        if (handled)
            return IsWindow(dialog) ? GetWindowLongPtrA(dialog, DWLP_MSGRESULT) : 0;
        if (!IsWindow(dialog))
            return 0;
    }
    return DefaultDialogHandling(dialog, message, wParam, lParam);
}

LONG GetDialogBaseUnits()
{
    static const DialogUnits units = DialogUnitsForFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    return MAKELONG(units.cx, units.cy);
}

BOOL MapDialogRect(HWND dialog, LPRECT rect)
{
    if (!rect || !IsWindow(dialog) || !HasState(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DialogUnits units = WithState(dialog, [](DialogState& s) { return s.units; });
    *rect = ToPixels(*rect, units);
    return TRUE;
}
