#include "NotifyHost.h"

namespace tavrin::test {
namespace {

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* host = reinterpret_cast<NotifyHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (host && message == WM_NOTIFY)
        return host->OnNotify(reinterpret_cast<NMHDR*>(lParam));
    if (host && (message == WM_DRAWITEM || message == WM_HSCROLL || message == WM_VSCROLL))
        host->m_other.push_back(message);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

NotifyHost::NotifyHost(int width, int height)
{
    InitCommonControls();
    WNDCLASSA wc{};
    if (!GetClassInfoA(nullptr, "TavrinNotifyHost", &wc)) {
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "TavrinNotifyHost";
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&wc);
    }
    m_hwnd = CreateWindowExA(0, "TavrinNotifyHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                             nullptr, nullptr, nullptr);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(m_hwnd);
    PumpAll();
}

NotifyHost::~NotifyHost()
{
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
    PumpAll();
}

HWND NotifyHost::CreateControl(LPCSTR className, DWORD style, RECT rect, int id, DWORD exStyle)
{
    HWND control = CreateWindowExA(exStyle, className, "", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, m_hwnd,
                                   reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    PumpAll();
    return control;
}

std::vector<UINT> NotifyHost::Codes() const
{
    std::vector<UINT> codes;
    for (const Notified& n : m_log)
        if (n.code != NM_CUSTOMDRAW && n.code != (0U - 150U) && n.code != (0U - 403U))
            codes.push_back(n.code);
    return codes;
}

LRESULT NotifyHost::OnNotify(NMHDR* hdr)
{
    m_log.push_back(Notified{hdr->hwndFrom, hdr->idFrom, hdr->code});
    LRESULT result = 0;
    if (m_inspect && m_inspect(hdr, &result))
        return result;
    auto it = m_answers.find(hdr->code);
    return it == m_answers.end() ? 0 : it->second;
}

void RightClickAt(HWND control, int x, int y)
{
    const POINT pt = ScreenPoint(control, x, y);
    win::InjectClick(pt.x, pt.y, win::MouseButton::Right);
    PumpAll();
}

void DoubleClickAt(HWND control, int x, int y)
{
    const POINT pt = ScreenPoint(control, x, y);
    win::InjectClick(pt.x, pt.y);
    win::InjectClick(pt.x, pt.y);
    PumpAll();
}

void MoveTo(HWND control, int x, int y)
{
    const POINT pt = ScreenPoint(control, x, y);
    win::InjectMouseMove(pt.x, pt.y);
    PumpAll();
}

void Press(UINT key, bool withShift, bool withControl)
{
    if (withShift)
        win::InjectKey(VK_SHIFT, true);
    if (withControl)
        win::InjectKey(VK_CONTROL, true);
    win::InjectKey(key, true);
    win::InjectKey(key, false);
    if (withControl)
        win::InjectKey(VK_CONTROL, false);
    if (withShift)
        win::InjectKey(VK_SHIFT, false);
    PumpAll();
}

} // namespace tavrin::test
