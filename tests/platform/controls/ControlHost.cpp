#include "tests/platform/controls/ControlHost.h"

#include "platform/gdi/Surface.h"
#include "platform/win/WindowSurface.h"

namespace tavrin::test {

namespace {

LPCSTR HostClass()
{
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ControlHost::Procedure;
        wc.cbWndExtra = sizeof(void*);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = "TavrinControlHost";
        return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
    return "TavrinControlHost";
}

} // namespace

ControlHost::ControlHost(RECT rect, DWORD style)
{
    InitCommonControls();
    m_hwnd = CreateWindowExA(0, HostClass(), "host", style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, nullptr, nullptr, nullptr, this);
    SetWindowLongPtrA(m_hwnd, 0, reinterpret_cast<LONG_PTR>(this));
    PumpAll();
}

ControlHost::~ControlHost()
{
    SetWindowLongPtrA(m_hwnd, 0, 0);
    DestroyWindow(m_hwnd);
    PumpAll();
}

HWND ControlHost::Create(LPCSTR className, LPCSTR text, DWORD style, RECT r, int id, DWORD exStyle)
{
    HWND hwnd = CreateWindowExA(exStyle, className, text, style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                m_hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    PumpAll();
    return hwnd;
}

std::vector<Notice> ControlHost::Take()
{
    std::vector<Notice> all;
    all.swap(m_notices);
    return all;
}

std::vector<UINT> ControlHost::Codes(UINT message) const
{
    std::vector<UINT> codes;
    for (const Notice& n : m_notices)
        if (n.message == message)
            codes.push_back(n.code);
    return codes;
}

LRESULT CALLBACK ControlHost::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<ControlHost*>(GetWindowLongPtrA(hwnd, 0));
    if (!host)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    if (host->m_handler && host->m_handler(message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_COMMAND:
        host->m_notices.push_back(
            {message, reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam), 0});
        return 0;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        host->m_notices.push_back({message, hdr->hwndFrom, static_cast<int>(hdr->idFrom), hdr->code, 0});
        return 0;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        host->m_notices.push_back({message, dis->hwndItem, static_cast<int>(dis->CtlID), dis->itemAction, dis->itemState});
        return TRUE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        host->m_notices.push_back({message, reinterpret_cast<HWND>(lParam), 0, LOWORD(wParam), HIWORD(wParam)});
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void PumpAll()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

POINT ScreenPoint(HWND hwnd, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    return pt;
}

void ClickAt(HWND hwnd, int x, int y)
{
    POINT pt = ScreenPoint(hwnd, x, y);
    win::InjectClick(pt.x, pt.y);
    PumpAll();
}

void PressKey(UINT key)
{
    win::InjectKey(key, true);
    win::InjectKey(key, false);
    PumpAll();
}

COLORREF PixelAt(HWND hwnd, int x, int y)
{
    PumpAll();
    HWND root = GetAncestor(hwnd, GA_ROOT);
    auto surface = win::GetWindowSurface(root);
    if (!surface)
        return 0xFFFFFFFF;
    POINT pt = ScreenPoint(hwnd, x, y);
    RECT rr;
    GetWindowRect(root, &rr);
    return ColorFromPixel(surface->GetPixel(pt.x - rr.left, pt.y - rr.top)) & 0xFFFFFF;
}

} // namespace tavrin::test
