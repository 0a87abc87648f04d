// The default handling of window messages.
#include "platform/base/String.h"
#include "platform/win/Capture.h"
#include "platform/win/Cursor.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/MenuKey.h"
#include "platform/win/Painting.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowPos.h"

#include <algorithm>
#include <cstring>

namespace tavrin::win {

namespace {

LRESULT NcCalcSize(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    auto window = Window::FromHandle(hwnd);
    RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    if (!window || !rect)
        return 0;
    const DWORD style = static_cast<DWORD>(window->GetStyle());
    if ((style & WS_MINIMIZE) && !(style & WS_CHILD)) {
        rect->right = rect->left;
        rect->bottom = rect->top;
        return 0;
    }
    Insets in = NonClientInsets(style, static_cast<DWORD>(window->GetExStyle()), HasMenuBar(*window));
    rect->left += in.left;
    rect->top += in.top;
    rect->right = std::max(rect->left, rect->right - in.right);
    rect->bottom = std::max(rect->top, rect->bottom - in.bottom);
    return 0;
}

// Which part of the window a screen point is over.
LRESULT NcHitTest(HWND hwnd, POINT pt)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return HTNOWHERE;
    RECT rect = ScreenRect(*window);
    if (!PtInRect(&rect, pt))
        return HTNOWHERE;
    RECT client = ScreenClientRect(*window);
    if (PtInRect(&client, pt))
        return HTCLIENT;
    const DWORD style = static_cast<DWORD>(window->GetStyle());
    const DWORD exStyle = static_cast<DWORD>(window->GetExStyle());
    if ((style & WS_MINIMIZE) && !(style & WS_CHILD))
        return HTCAPTION;
    Insets frame = FrameInsets(style, exStyle);
    RECT inner{rect.left + frame.left, rect.top + frame.top, rect.right - frame.right, rect.bottom - frame.bottom};
    if (!PtInRect(&inner, pt)) {
        if (!(style & WS_THICKFRAME))
            return HTBORDER;
        const int corner = GetSystemMetrics(SM_CXSIZE) + frame.left;
        const bool left = pt.x < rect.left + corner, right = pt.x >= rect.right - corner;
        const bool top = pt.y < rect.top + corner, bottom = pt.y >= rect.bottom - corner;
        if (pt.y < inner.top)
            return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (pt.y >= inner.bottom)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (pt.x < inner.left)
            return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    int y = inner.top;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const int height = GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        if (pt.y < y + height) {
            const int button = height - 2;
            int x = inner.right;
            if (style & WS_SYSMENU) {
                if (pt.x >= x - button - 2)
                    return HTCLOSE;
                x -= button + 2;
                if (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) {
                    if (pt.x >= x - button)
                        return HTMAXBUTTON;
                    x -= button;
                    if (pt.x >= x - button)
                        return HTMINBUTTON;
                }
                if (!(exStyle & WS_EX_TOOLWINDOW) && pt.x < inner.left + height)
                    return HTSYSMENU;
            }
            return HTCAPTION;
        }
        y += height;
    }
    if (HasMenuBar(*window) && pt.y < y + GetSystemMetrics(SM_CYMENU))
        return HTMENU;
    Insets all = NonClientInsets(style, exStyle, HasMenuBar(*window));
    if ((style & WS_VSCROLL) && (style & WS_HSCROLL) && pt.x >= client.right && pt.y >= client.bottom)
        return HTGROWBOX;
    if ((style & WS_VSCROLL) && pt.y < client.bottom &&
        ((exStyle & WS_EX_LEFTSCROLLBAR) ? pt.x < client.left : pt.x >= client.right))
        return HTVSCROLL;
    if ((style & WS_HSCROLL) && pt.y >= client.bottom)
        return HTHSCROLL;
    (void)all;
    return HTBORDER;
}

LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return FALSE;
    // A child asks its parent first; the parent may take over.
    if ((window->GetStyle() & WS_CHILD) && window->GetParent() &&
        SendMessageA(window->GetParent(), WM_SETCURSOR, wParam, lParam))
        return TRUE;
    const short hit = static_cast<short>(LOWORD(lParam));
    LPCSTR shape = IDC_ARROW;
    switch (hit) {
    case HTCLIENT: {
        HCURSOR cursor = window->GetClass()->m_info.hCursor;
        if (!cursor)
            return FALSE;
        SetCursor(cursor);
        return TRUE;
    }
    case HTERROR:
        return FALSE;
    case HTLEFT:
    case HTRIGHT: shape = IDC_SIZEWE; break;
    case HTTOP:
    case HTBOTTOM: shape = IDC_SIZENS; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: shape = IDC_SIZENWSE; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: shape = IDC_SIZENESW; break;
    default: break;
    }
    SetCursor(LoadCursorA(nullptr, shape));
    return TRUE;
}

LRESULT WindowPosChanged(HWND hwnd, const WINDOWPOS* wp)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !wp)
        return 0;
    RECT client = window->GetClientRect();
    if (!(wp->flags & SWP_NOCLIENTMOVE))
        SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
    if (!(wp->flags & SWP_NOCLIENTSIZE) && IsWindow(hwnd)) {
        const LONG style = window->GetStyle();
        WPARAM kind = (style & WS_MINIMIZE) ? SIZE_MINIMIZED : (style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
        SendMessageA(hwnd, WM_SIZE, kind, MAKELPARAM(client.right - client.left, client.bottom - client.top));
    }
    return 0;
}

void ApplyMinMax(HWND hwnd, WINDOWPOS* wp)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || (wp->flags & SWP_NOSIZE))
        return;
    const LONG style = window->GetStyle();
    if (!((style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD))) || (style & (WS_MINIMIZE | WS_MAXIMIZE)))
        return;
    MINMAXINFO mmi = DefaultMinMaxInfo(hwnd);
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    wp->cx = std::clamp<int>(wp->cx, std::min(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x), mmi.ptMaxTrackSize.x);
    wp->cy = std::clamp<int>(wp->cy, std::min(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y), mmi.ptMaxTrackSize.y);
}

LRESULT GetText(HWND hwnd, WPARAM size, LPARAM lParam)
{
    auto window = Window::FromHandle(hwnd);
    auto buffer = reinterpret_cast<LPSTR>(lParam);
    if (!window || !buffer || size == 0)
        return 0;
    std::string text = window->GetText();
    // Cut at a character boundary: never half a double-byte character.
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* p = begin;
    while (p < end) {
        int n = tavrin::CharLength(p, end);
        if (static_cast<size_t>(p - begin + n) > size - 1)
            break;
        p += n;
    }
    size_t length = static_cast<size_t>(p - begin);
    std::memcpy(buffer, begin, length);
    buffer[length] = 0;
    return static_cast<LRESULT>(length);
}

LRESULT CtlColor(UINT message, HDC hdc)
{
    const bool white = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(white ? COLOR_WINDOW : COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(white ? COLOR_WINDOW : COLOR_BTNFACE));
}

// A right click (client or frame), Shift+F10 or the Apps key asks for the
// context menu; from the keyboard the point is (-1, -1).
LRESULT ContextMenuFromInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT pt{-1, -1};
    if (message == WM_RBUTTONUP) {
        pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(hwnd, &pt);
    } else if (message == WM_NCRBUTTONUP) {
        pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    } else if (!(wParam == VK_APPS || (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)))) {
        return 0;
    }
    SendMessageA(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(pt.x, pt.y));
    return 0;
}

} // namespace

} // namespace tavrin::win

using namespace tavrin::win;

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE:
        return NcCalcSize(hwnd, wParam, lParam);
    case WM_NCHITTEST:
        return NcHitTest(hwnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        PaintNonClient(hwnd);
        return 0;
    case WM_NCACTIVATE:
        InvalidateNonClient(hwnd);
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
            SetFocus(hwnd);
        return 0;
    case WM_MOUSEACTIVATE: {
        auto window = Window::FromHandle(hwnd);
        if (window && (window->GetStyle() & WS_CHILD) && window->GetParent()) {
            LRESULT answer = SendMessageA(window->GetParent(), WM_MOUSEACTIVATE, wParam, lParam);
            if (answer)
                return answer;
        }
        return MA_ACTIVATE;
    }
    case WM_SETCURSOR:
        return SetCursorDefault(hwnd, wParam, lParam);
    case WM_WINDOWPOSCHANGING:
        ApplyMinMax(hwnd, reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        return WindowPosChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
    case WM_GETMINMAXINFO:
        return 0;
    case WM_ERASEBKGND:
        return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINT: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd))
            return 0;
        if (lParam & PRF_ERASEBKGND)
            SendMessageA(hwnd, WM_ERASEBKGND, wParam, 0);
        if (lParam & PRF_CLIENT)
            SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), lParam);
        return 0;
    }
    case WM_SETREDRAW: {
        auto window = Window::FromHandle(hwnd);
        if (!window)
            return 0;
        // Drawing off hides the window from painting (as WS_VISIBLE does),
        // without telling anyone; drawing on shows it again.
        if (wParam) {
            window->SetStyle(window->GetStyle() | WS_VISIBLE);
        } else {
            RedrawWindow(hwnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_VALIDATE);
            window->SetStyle(window->GetStyle() & ~static_cast<LONG>(WS_VISIBLE));
        }
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
    case WM_SYSCOMMAND:
        if (MenuKeyMessage(hwnd, message, wParam, lParam))
            return 0;
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_KEYDOWN:
    case WM_SYSCHAR:
        MenuKeyMessage(hwnd, message, wParam, lParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // Shift+F10 and the Apps key never open the menu: they ask for the context menu.
        if (!MenuKeyMessage(hwnd, message, wParam, lParam))
            ContextMenuFromInput(hwnd, message, wParam, lParam);
        return 0;
    case WM_SYSKEYDOWN:
        MenuKeyMessage(hwnd, message, wParam, lParam);
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN)) {
            HWND root = GetAncestor(hwnd, GA_ROOT);
            SendMessageA(root ? root : hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
        return ContextMenuFromInput(hwnd, message, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: // a quick second press on a bar scrolls again
        if (wParam == HTVSCROLL || wParam == HTHSCROLL)
            TrackWindowScrollBar(hwnd, static_cast<int>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL: {
        // Children pass these up until a window takes them.
        auto window = Window::FromHandle(hwnd);
        if (window && (window->GetStyle() & WS_CHILD) && window->GetParent())
            return SendMessageA(window->GetParent(), message, message == WM_CONTEXTMENU ? wParam : wParam, lParam);
        return 0;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return CtlColor(message, reinterpret_cast<HDC>(wParam));
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_SETTEXT:
        if (auto window = Window::FromHandle(hwnd)) {
            auto text = reinterpret_cast<LPCSTR>(lParam);
            window->SetText(text ? text : "");
            if ((window->GetStyle() & WS_CAPTION) == WS_CAPTION)
                InvalidateNonClient(hwnd);
            return TRUE;
        }
        return FALSE;
    case WM_GETTEXTLENGTH:
        if (auto window = Window::FromHandle(hwnd))
            return static_cast<LRESULT>(window->GetText().size());
        return 0;
    case WM_GETTEXT:
        return GetText(hwnd, wParam, lParam);
    default:
        return 0;
    }
}
