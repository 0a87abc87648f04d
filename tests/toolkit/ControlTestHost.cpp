#include "tests/toolkit/ControlTestHost.h"

#include "platform/gdi/Surface.h"
#include "platform/win/WindowSurface.h"
#include "toolkit/commandbars/XTPImageManagerIconHandle.h"
#include "toolkit/controls/XTColorManager.h"

#include <algorithm>
#include <vector>

namespace tavrin::test {

ControlTestHost::ControlTestHost(CRect rect, DWORD style)
{
    CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), "host", style,
             rect, nullptr, 0);
    PumpQueue();
}

ControlTestHost::~ControlTestHost()
{
    if (m_hWnd)
        DestroyWindow();
    PumpQueue();
}

std::vector<UINT> ControlTestHost::Codes(UINT nID) const
{
    std::vector<UINT> codes;
    for (const HostMessage& m : m_messages)
        if (m.message == WM_COMMAND && LOWORD(m.wParam) == nID)
            codes.push_back(HIWORD(m.wParam));
    return codes;
}

LRESULT ControlTestHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND || std::find(m_record.begin(), m_record.end(), message) != m_record.end())
        m_messages.push_back({message, wParam, lParam});
    return CWnd::WindowProc(message, wParam, lParam);
}

COLORREF ColorIndex(int nIndex)
{
    return XTGetColorManager()->GetColor(nIndex);
}

HICON MakeSolidIcon(int cx, int cy, COLORREF clr)
{
    BYTE* bits = nullptr;
    HBITMAP colour = XTPImageBits::Create32(cx, cy, &bits);
    for (int i = 0; i < cx * cy; ++i) {
        bits[i * 4] = GetBValue(clr);
        bits[i * 4 + 1] = GetGValue(clr);
        bits[i * 4 + 2] = GetRValue(clr);
        bits[i * 4 + 3] = 0;
    }
    std::vector<BYTE> maskBits(static_cast<size_t>((cx + 15) / 16 * 2 * cy), 0);
    HBITMAP mask = ::CreateBitmap(cx, cy, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(colour);
    return icon;
}

CRect ChildRect(const CWnd* pParent, UINT nID)
{
    CRect rc;
    ::GetWindowRect(::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID)), &rc);
    ::MapWindowPoints(nullptr, pParent->GetSafeHwnd(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void PumpQueue()
{
    MSG msg;
    for (int guard = 0; guard < 10000 && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

CPoint ScreenOf(HWND hwnd, int x, int y)
{
    POINT pt{x, y};
    ::ClientToScreen(hwnd, &pt);
    return CPoint(pt.x, pt.y);
}

COLORREF SurfacePixel(HWND hwnd, int x, int y)
{
    PumpQueue();
    HWND root = ::GetAncestor(hwnd, GA_ROOT);
    auto surface = win::GetWindowSurface(root);
    if (!surface)
        return 0xFFFFFFFF;
    POINT pt{x, y};
    ::ClientToScreen(hwnd, &pt);
    RECT rr;
    ::GetWindowRect(root, &rr);
    return ColorFromPixel(surface->GetPixel(pt.x - rr.left, pt.y - rr.top)) & 0xFFFFFF;
}

} // namespace tavrin::test
