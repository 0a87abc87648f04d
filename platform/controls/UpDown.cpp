// "msctls_updown32": the "up" arrow (right with UDS_HORZ) moves towards the
// upper end of the range, which may be below the lower one; held down it
// repeats on a timer.
#include "platform/controls/UpDown.h"

#include "platform/controls/Control.h"
#include "platform/win/ScrollBar.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tavrin::controls {

namespace {

constexpr UINT_PTR kRepeatTimer = 1;
constexpr UINT kFirstDelay = 500;
constexpr UINT kRepeatDelay = 100;

class UpDown : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool Horizontal() const { return (Style() & UDS_HORZ) != 0; }
    // 1 over the up (right) arrow, -1 over the down (left) one.
    int ArrowAt(POINT pt) const;
    void Step(int direction);
    void Stop();
    void SetPos(int pos);
    int ReadBuddy(bool* ok) const;
    void WriteBuddy() const;
    void AttachBuddy(HWND buddy);
    void Paint(HDC hdc) override;

    int m_lower = 100; // the classic default runs from 100 (down) to 0 (up)
    int m_upper = 0;
    int m_pos = 0;
    int m_base = 10;
    HWND m_buddy = nullptr;
    std::vector<UDACCEL> m_accel{{0, 1}};
    int m_pressed = 0;
};

LRESULT UpDown::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (Style() & UDS_AUTOBUDDY)
            AttachBuddy(GetWindow(m_hwnd, GW_HWNDPREV));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!Enabled())
            return 0;
        const int arrow = ArrowAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (!arrow)
            return 0;
        SetCapture(m_hwnd);
        m_pressed = arrow;
        Redraw();
        Step(arrow);
        SetTimer(m_hwnd, kRepeatTimer, kFirstDelay, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kRepeatTimer && m_pressed) {
            SetTimer(m_hwnd, kRepeatTimer, kRepeatDelay, nullptr);
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(m_hwnd, &pt);
            if (ArrowAt(pt) == m_pressed)
                Step(m_pressed);
        }
        return 0;
    case WM_LBUTTONUP:
        if (m_pressed)
            Stop();
        return 0;
    case WM_CAPTURECHANGED:
        if (m_pressed && reinterpret_cast<HWND>(lParam) != m_hwnd)
            Stop();
        return 0;
    case WM_KEYDOWN:
        if ((Style() & UDS_ARROWKEYS) && (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_LEFT || wParam == VK_RIGHT))
            Step((wParam == VK_UP || wParam == VK_RIGHT) ? 1 : -1);
        return 0;
    case UDM_SETRANGE:
        m_upper = static_cast<short>(LOWORD(lParam));
        m_lower = static_cast<short>(HIWORD(lParam));
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(static_cast<WORD>(m_upper), static_cast<WORD>(m_lower));
    case UDM_SETRANGE32:
        m_lower = static_cast<int>(wParam);
        m_upper = static_cast<int>(lParam);
        return 0;
    case UDM_GETRANGE32:
        if (auto* low = reinterpret_cast<int*>(wParam))
            *low = m_lower;
        if (auto* high = reinterpret_cast<int*>(lParam))
            *high = m_upper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        bool ok = true;
        const int old = m_buddy && (Style() & UDS_SETBUDDYINT) ? ReadBuddy(&ok) : m_pos;
        const int pos = message == UDM_SETPOS ? static_cast<short>(LOWORD(lParam)) : static_cast<int>(lParam);
        SetPos(std::clamp(pos, std::min(m_lower, m_upper), std::max(m_lower, m_upper)));
        return message == UDM_SETPOS ? static_cast<LRESULT>(static_cast<WORD>(old)) : old;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
        bool ok = true;
        if (m_buddy && (Style() & UDS_SETBUDDYINT))
            m_pos = ReadBuddy(&ok);
        if (message == UDM_GETPOS)
            return MAKELONG(static_cast<WORD>(m_pos), ok ? 0 : 1);
        if (auto* error = reinterpret_cast<BOOL*>(lParam))
            *error = ok ? FALSE : TRUE;
        return m_pos;
    }
    case UDM_SETBUDDY: {
        HWND old = m_buddy;
        AttachBuddy(reinterpret_cast<HWND>(wParam));
        return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(m_buddy);
    case UDM_SETACCEL: {
        auto* accel = reinterpret_cast<const UDACCEL*>(lParam);
        if (!accel || wParam == 0)
            return FALSE;
        m_accel.assign(accel, accel + wParam);
        return TRUE;
    }
    case UDM_GETACCEL: {
        auto* out = reinterpret_cast<UDACCEL*>(lParam);
        const size_t n = std::min<size_t>(wParam, m_accel.size());
        if (out)
            std::copy(m_accel.begin(), m_accel.begin() + static_cast<long>(n), out);
        return static_cast<LRESULT>(m_accel.size());
    }
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16)
            return 0;
        const int old = m_base;
        m_base = static_cast<int>(wParam);
        return old;
    }
    case UDM_GETBASE:
        return m_base;
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

int UpDown::ArrowAt(POINT pt) const
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    if (!PtInRect(&rc, pt))
        return 0;
    if (Horizontal())
        return pt.x >= (rc.right - rc.left) / 2 ? 1 : -1;
    return pt.y < (rc.bottom - rc.top) / 2 ? 1 : -1;
}

void UpDown::Step(int direction)
{
    bool ok = true;
    if (m_buddy && (Style() & UDS_SETBUDDYINT))
        m_pos = ReadBuddy(&ok);
    const int delta = direction * static_cast<int>(m_accel.front().nInc) * (m_upper >= m_lower ? 1 : -1);
    const int low = std::min(m_lower, m_upper), high = std::max(m_lower, m_upper);
    long long next = static_cast<long long>(m_pos) + delta;
    if (next > high || next < low) {
        if (!(Style() & UDS_WRAP)) {
            next = std::clamp<long long>(next, low, high);
        } else {
            next = next > high ? low : high;
        }
    }
    if (next == m_pos)
        return;
    NMUPDOWN nm{};
    nm.iPos = m_pos;
    nm.iDelta = static_cast<int>(next - m_pos);
    if (Notify(UDN_DELTAPOS, &nm.hdr))
        return; // the parent refused the change
    SetPos(static_cast<int>(next));
    if (HWND target = NotifyTarget())
        SendMessageA(target, Horizontal() ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(m_pos)),
                     reinterpret_cast<LPARAM>(m_hwnd));
}

void UpDown::Stop()
{
    KillTimer(m_hwnd, kRepeatTimer);
    m_pressed = 0;
    Redraw();
    if (GetCapture() == m_hwnd)
        ReleaseCapture();
    if (HWND target = NotifyTarget())
        SendMessageA(target, Horizontal() ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, static_cast<WORD>(m_pos)),
                     reinterpret_cast<LPARAM>(m_hwnd));
}

void UpDown::SetPos(int pos)
{
    m_pos = pos;
    WriteBuddy();
}

int UpDown::ReadBuddy(bool* ok) const
{
    char text[64] = {};
    GetWindowTextA(m_buddy, text, sizeof(text));
    std::string digits;
    for (const char* p = text; *p; ++p)
        if (*p != ',')
            digits += *p;
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, m_base);
    *ok = !digits.empty() && end && *end == 0;
    return *ok ? std::clamp<long>(value, std::min(m_lower, m_upper), std::max(m_lower, m_upper)) : m_pos;
}

void UpDown::WriteBuddy() const
{
    if (!m_buddy || !(Style() & UDS_SETBUDDYINT))
        return;
    char text[32];
    std::snprintf(text, sizeof(text), m_base == 16 ? "0x%X" : "%d", m_pos);
    SetWindowTextA(m_buddy, text);
}

// Alignment puts the arrows inside the buddy's old rectangle, at its side.
void UpDown::AttachBuddy(HWND buddy)
{
    m_buddy = IsWindow(buddy) ? buddy : nullptr;
    if (!m_buddy || !(Style() & (UDS_ALIGNLEFT | UDS_ALIGNRIGHT)))
        return;
    RECT b, self;
    GetWindowRect(m_buddy, &b);
    GetWindowRect(m_hwnd, &self);
    HWND parent = GetParent(m_hwnd);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&b), 2);
    const int width = self.right - self.left;
    const int height = b.bottom - b.top;
    if (Style() & UDS_ALIGNRIGHT) {
        SetWindowPos(m_buddy, nullptr, b.left, b.top, b.right - b.left - width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(m_hwnd, nullptr, b.right - width, b.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        SetWindowPos(m_buddy, nullptr, b.left + width, b.top, b.right - b.left - width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(m_hwnd, nullptr, b.left, b.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void UpDown::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    RECT first = rc, second = rc;
    UINT firstKind, secondKind;
    if (Horizontal()) {
        first.right = second.left = rc.left + (rc.right - rc.left) / 2;
        firstKind = DFCS_SCROLLLEFT;
        secondKind = DFCS_SCROLLRIGHT;
    } else {
        first.bottom = second.top = rc.top + (rc.bottom - rc.top) / 2;
        firstKind = DFCS_SCROLLUP;
        secondKind = DFCS_SCROLLDOWN;
    }
    // First is up for vertical arrows and left (down) for horizontal ones.
    const int firstDirection = Horizontal() ? -1 : 1;
    const UINT disabled = Enabled() ? 0 : DFCS_INACTIVE;
    DrawFrameControl(hdc, &first, DFC_SCROLL, firstKind | disabled | (m_pressed == firstDirection ? DFCS_PUSHED : 0));
    DrawFrameControl(hdc, &second, DFC_SCROLL, secondKind | disabled | (m_pressed == -firstDirection ? DFCS_PUSHED : 0));
}

} // namespace

bool RegisterUpDown()
{
    static const bool registered = RegisterControl(UPDOWN_CLASS, ControlProc<UpDown>, CS_HREDRAW | CS_VREDRAW);
    return registered;
}

} // namespace tavrin::controls
