// "BUTTON": pressing follows the mouse while it is captured and Space while
// the button has the focus; a release over the button clicks it.
#include "platform/controls/Button.h"

#include "platform/controls/Control.h"

#include <algorithm>
#include <strings.h>

namespace tavrin::controls {

namespace {

constexpr int kBoxSize = 13;
constexpr int kBoxGap = 4;

class Button : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD Type() const { return Style() & BS_TYPEMASK; }
    bool IsPush() const
    {
        const DWORD t = Type();
        return t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON || t == BS_USERBUTTON || t == BS_PUSHBOX;
    }
    bool IsCheck() const
    {
        const DWORD t = Type();
        return t == BS_CHECKBOX || t == BS_AUTOCHECKBOX || t == BS_3STATE || t == BS_AUTO3STATE;
    }
    bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
    bool IsOwnerDraw() const { return Type() == BS_OWNERDRAW; }

    void SetPushed(bool pushed);
    void SetFocused(bool focused);
    void Click();
    void UncheckGroup();
    void Release(bool click);
    void DrawOwner(HDC hdc, UINT action);
    void Paint(HDC hdc) override;
    void PaintPush(HDC hdc, RECT rc, bool pushed);
    void PaintCheck(HDC hdc, RECT rc);
    void PaintGroup(HDC hdc, RECT rc);
    UINT TextFormat(UINT horizontal, UINT vertical) const;

    int m_check = BST_UNCHECKED;
    bool m_pushed = false;
    bool m_focused = false;
    bool m_mouse = false; // the left button went down here and is captured
    bool m_space = false; // Space went down while focused
    ControlImage m_image; // shown instead of the text with BS_ICON or BS_BITMAP
};

LRESULT Button::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        if (Type() == BS_GROUPBOX)
            return DLGC_STATIC;
        if (IsRadio())
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        if (Type() == BS_DEFPUSHBUTTON)
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        if (IsPush() || IsOwnerDraw())
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        return DLGC_BUTTON;
    case WM_LBUTTONDBLCLK:
        if (IsRadio() || IsOwnerDraw() || (Style() & BS_NOTIFY)) {
            Command(BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        if (Type() == BS_GROUPBOX)
            return 0;
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        SetCapture(m_hwnd);
        m_mouse = true;
        SetPushed(true);
        return 0;
    case WM_MOUSEMOVE:
        if (m_mouse) {
            RECT rc;
            GetClientRect(m_hwnd, &rc);
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            SetPushed(PtInRect(&rc, pt) != FALSE);
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_mouse) {
            RECT rc;
            GetClientRect(m_hwnd, &rc);
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            Release(PtInRect(&rc, pt) != FALSE);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (m_mouse && reinterpret_cast<HWND>(lParam) != m_hwnd)
            Release(false);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !m_mouse && !m_space && Type() != BS_GROUPBOX) {
            m_space = true;
            SetPushed(true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && m_space)
            Release(true);
        return 0;
    case WM_SETFOCUS:
        SetFocused(true);
        if (Style() & BS_NOTIFY)
            Command(BN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (m_mouse || m_space)
            Release(false);
        SetFocused(false);
        if (Style() & BS_NOTIFY)
            Command(BN_KILLFOCUS);
        return 0;
    case BM_GETCHECK:
        return (IsCheck() || IsRadio()) ? m_check : BST_UNCHECKED;
    case BM_SETCHECK: {
        if (!IsCheck() && !IsRadio())
            return 0;
        int check = static_cast<int>(wParam);
        if (check == BST_INDETERMINATE && Type() != BS_3STATE && Type() != BS_AUTO3STATE)
            check = BST_CHECKED;
        if (check != BST_UNCHECKED && check != BST_CHECKED && check != BST_INDETERMINATE)
            check = BST_UNCHECKED;
        if (check != m_check) {
            m_check = check;
            Redraw();
        }
        // A checked radio button is the group's tab stop.
        if (IsRadio()) {
            LONG style = GetWindowLongA(m_hwnd, GWL_STYLE);
            SetWindowLongA(m_hwnd, GWL_STYLE, m_check ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
        }
        return 0;
    }
    case BM_GETSTATE:
        return ((IsCheck() || IsRadio()) ? m_check : 0) | (m_pushed ? BST_PUSHED : 0) | (m_focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
        SetPushed(wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        const LONG style = GetWindowLongA(m_hwnd, GWL_STYLE);
        SetWindowLongA(m_hwnd, GWL_STYLE, (style & ~0xFFFFL) | static_cast<LONG>(wParam & 0xFFFF));
        if (lParam)
            Redraw();
        return 0;
    }
    case BM_SETIMAGE: {
        const LRESULT old = m_image.Set(wParam, lParam, 1u << IMAGE_BITMAP | 1u << IMAGE_ICON);
        Redraw();
        return old;
    }
    case BM_GETIMAGE:
        return m_image.Get(wParam);
    case BM_CLICK:
        if (Enabled() && Type() != BS_GROUPBOX) {
            SetPushed(true);
            SetPushed(false);
            Click();
        }
        return 0;
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

void Button::SetPushed(bool pushed)
{
    if (pushed == m_pushed)
        return;
    m_pushed = pushed;
    if (Style() & BS_NOTIFY)
        Command(pushed ? BN_HILITE : BN_UNHILITE);
    if (IsOwnerDraw()) {
        HDC hdc = GetDC(m_hwnd);
        DrawOwner(hdc, ODA_SELECT);
        ReleaseDC(m_hwnd, hdc);
    } else {
        Redraw();
    }
}

void Button::SetFocused(bool focused)
{
    m_focused = focused;
    if (IsOwnerDraw()) {
        HDC hdc = GetDC(m_hwnd);
        DrawOwner(hdc, ODA_FOCUS);
        ReleaseDC(m_hwnd, hdc);
    } else {
        Redraw();
    }
}

void Button::Release(bool click)
{
    const bool wasMouse = m_mouse;
    m_mouse = false;
    m_space = false;
    const bool pushed = m_pushed;
    SetPushed(false);
    if (wasMouse && GetCapture() == m_hwnd)
        ReleaseCapture();
    if (click && pushed)
        Click();
}

void Button::Click()
{
    switch (Type()) {
    case BS_AUTOCHECKBOX:
        SendMessageA(m_hwnd, BM_SETCHECK, m_check ? BST_UNCHECKED : BST_CHECKED, 0);
        break;
    case BS_AUTO3STATE:
        SendMessageA(m_hwnd, BM_SETCHECK, (m_check + 1) % 3, 0);
        break;
    case BS_AUTORADIOBUTTON:
        SendMessageA(m_hwnd, BM_SETCHECK, BST_CHECKED, 0);
        UncheckGroup();
        break;
    default:
        break;
    }
    Command(BN_CLICKED);
}

// The group runs from the nearest sibling at or before this one with
// WS_GROUP up to the next one with WS_GROUP.
void Button::UncheckGroup()
{
    HWND first = m_hwnd;
    while (!(GetWindowLongA(first, GWL_STYLE) & WS_GROUP)) {
        HWND prev = GetWindow(first, GW_HWNDPREV);
        if (!prev)
            break;
        first = prev;
    }
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        if (w != first && (style & WS_GROUP))
            break;
        if (w == m_hwnd || (style & BS_TYPEMASK) != BS_AUTORADIOBUTTON)
            continue;
        char name[16] = {};
        GetClassNameA(w, name, sizeof(name));
        if (strcasecmp(name, WC_BUTTON) == 0)
            SendMessageA(w, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void Button::DrawOwner(HDC hdc, UINT action)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(Id());
    dis.itemAction = action;
    dis.itemState = (m_pushed ? ODS_SELECTED : 0) | (m_focused ? ODS_FOCUS : 0) | (Enabled() ? 0 : ODS_DISABLED);
    dis.hwndItem = m_hwnd;
    dis.hDC = hdc;
    GetClientRect(m_hwnd, &dis.rcItem);
    HGDIOBJ oldFont = SelectObject(hdc, Font());
    if (HWND target = NotifyTarget())
        SendMessageA(target, WM_DRAWITEM, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(&dis));
    SelectObject(hdc, oldFont);
}

void Button::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    SelectObject(hdc, Font());
    if (IsOwnerDraw()) {
        FillRect(hdc, &rc, CtlColor(WM_CTLCOLORBTN, hdc));
        DrawOwner(hdc, ODA_DRAWENTIRE);
    } else if (Type() == BS_GROUPBOX) {
        PaintGroup(hdc, rc);
    } else if ((IsCheck() || IsRadio()) && !(Style() & BS_PUSHLIKE)) {
        PaintCheck(hdc, rc);
    } else {
        PaintPush(hdc, rc, m_pushed || ((IsCheck() || IsRadio()) && m_check));
    }
}

UINT Button::TextFormat(UINT horizontal, UINT vertical) const
{
    const DWORD style = Style();
    UINT format = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
    switch (style & BS_CENTER) {
    case BS_LEFT: format |= DT_LEFT; break;
    case BS_RIGHT: format |= DT_RIGHT; break;
    case BS_CENTER: format |= DT_CENTER; break;
    default: format |= horizontal; break;
    }
    switch (style & BS_VCENTER) {
    case BS_TOP: format |= DT_TOP; break;
    case BS_BOTTOM: format |= DT_BOTTOM; break;
    case BS_VCENTER: format |= DT_VCENTER; break;
    default: format |= vertical; break;
    }
    return format;
}

// Vertical alignment of several lines: DrawText centres single lines only.
void DrawAligned(HDC hdc, const std::string& text, RECT rc, UINT format, bool enabled)
{
    if (!(format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) {
        RECT calc = rc;
        DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &calc, (format & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
        const int height = calc.bottom - calc.top;
        rc.top = (format & DT_BOTTOM) ? rc.bottom - height : rc.top + (rc.bottom - rc.top - height) / 2;
        format &= ~(DT_VCENTER | DT_BOTTOM);
    }
    DrawControlText(hdc, text, &rc, format, enabled);
}

void Button::PaintPush(HDC hdc, RECT rc, bool pushed)
{
    FillRect(hdc, &rc, CtlColor(WM_CTLCOLORBTN, hdc));
    RECT face = rc;
    if (Type() == BS_DEFPUSHBUTTON) {
        FrameRect(hdc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&face, -1, -1);
    }
    if (Style() & BS_FLAT) {
        FrameRect(hdc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        if (pushed) {
            RECT inner = face;
            InflateRect(&inner, -1, -1);
            FillRect(hdc, &inner, GetSysColorBrush(COLOR_BTNSHADOW));
        }
    } else {
        DrawFrameControl(hdc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    }
    RECT text = face;
    InflateRect(&text, -2, -2);
    if (pushed)
        OffsetRect(&text, 1, 1);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    if ((Style() & (BS_ICON | BS_BITMAP)) && m_image.handle) {
        const SIZE size = ImageSize(m_image.handle, m_image.type);
        DrawImage(hdc, m_image.handle, m_image.type, (text.left + text.right - size.cx) / 2,
                  (text.top + text.bottom - size.cy) / 2);
    } else {
        DrawAligned(hdc, Text(), text, TextFormat(DT_CENTER, DT_VCENTER), Enabled());
    }
    if (m_focused) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(hdc, &focus);
    }
}

void Button::PaintCheck(HDC hdc, RECT rc)
{
    FillRect(hdc, &rc, CtlColor(WM_CTLCOLORSTATIC, hdc));
    const bool leftText = (Style() & BS_LEFTTEXT) != 0;
    const int size = std::min<int>(kBoxSize, rc.bottom - rc.top);
    RECT box{leftText ? rc.right - size : rc.left, 0, 0, 0};
    box.right = box.left + size;
    switch (Style() & BS_VCENTER) {
    case BS_TOP: box.top = rc.top; break;
    case BS_BOTTOM: box.top = rc.bottom - size; break;
    default: box.top = rc.top + (rc.bottom - rc.top - size) / 2; break;
    }
    box.bottom = box.top + size;
    UINT state = IsRadio() ? DFCS_BUTTONRADIO : (m_check == BST_INDETERMINATE ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK);
    if (m_check)
        state |= DFCS_CHECKED;
    if (m_pushed)
        state |= DFCS_PUSHED;
    if (!Enabled())
        state |= DFCS_INACTIVE;
    DrawFrameControl(hdc, &box, DFC_BUTTON, state);

    RECT text = rc;
    if (leftText)
        text.right = box.left - kBoxGap;
    else
        text.left = box.right + kBoxGap;
    const std::string label = Text();
    const UINT format = TextFormat(DT_LEFT, DT_VCENTER);
    DrawAligned(hdc, label, text, format, Enabled());
    if (m_focused && !label.empty()) {
        RECT calc = text;
        DrawTextA(hdc, label.c_str(), static_cast<int>(label.size()), &calc,
                  (format & ~(DT_VCENTER | DT_BOTTOM | DT_CENTER | DT_RIGHT)) | DT_CALCRECT);
        const int width = calc.right - calc.left, height = calc.bottom - calc.top;
        RECT focus{text.left, text.top + (text.bottom - text.top - height) / 2, 0, 0};
        if (format & DT_RIGHT)
            focus.left = text.right - width;
        else if (format & DT_CENTER)
            focus.left = text.left + (text.right - text.left - width) / 2;
        focus.right = focus.left + width;
        focus.bottom = focus.top + height;
        InflateRect(&focus, 1, 1);
        IntersectRect(&focus, &focus, &rc);
        DrawFocusRect(hdc, &focus);
    }
}

void Button::PaintGroup(HDC hdc, RECT rc)
{
    HBRUSH brush = CtlColor(WM_CTLCOLORSTATIC, hdc);
    const std::string label = Text();
    const int height = LineHeight(hdc);
    RECT frame = rc;
    frame.top += height / 2;
    DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
    if (label.empty())
        return;
    RECT text{rc.left + 8, rc.top, rc.right - 8, rc.top + height};
    DrawTextA(hdc, label.c_str(), static_cast<int>(label.size()), &text, DT_SINGLELINE | DT_CALCRECT);
    text.right = std::min(text.right, rc.right - 8);
    RECT back = text;
    InflateRect(&back, 2, 0);
    FillRect(hdc, &back, brush);
    DrawControlText(hdc, label, &text, DT_SINGLELINE | DT_LEFT, Enabled());
}

} // namespace

bool RegisterButton()
{
    static const bool registered = RegisterControl(WC_BUTTON, ControlProc<Button>, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    return registered;
}

} // namespace tavrin::controls
