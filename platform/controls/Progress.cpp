// "msctls_progress32": the position always lies inside the range; stepping
// past the high end starts over from the low end.
#include "platform/controls/Progress.h"

#include "platform/controls/Control.h"

#include <algorithm>

namespace tavrin::controls {

namespace {

class Progress : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Clamp(long long pos) const
    {
        return static_cast<int>(std::clamp<long long>(pos, std::min(m_low, m_high), std::max(m_low, m_high)));
    }
    LRESULT SetRange(int low, int high);
    LRESULT SetPos(long long pos);
    void Paint(HDC hdc) override;

    int m_low = 0;
    int m_high = 100;
    int m_pos = 0;
    int m_step = 10;
    COLORREF m_bar = CLR_DEFAULT;
    COLORREF m_back = CLR_DEFAULT;
};

LRESULT Progress::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PBM_SETRANGE:
        return SetRange(LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32:
        return SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PPBRANGE>(lParam)) {
            range->iLow = m_low;
            range->iHigh = m_high;
        }
        return wParam ? m_low : m_high;
    case PBM_SETPOS:
        return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return SetPos(static_cast<long long>(m_pos) + static_cast<int>(wParam));
    case PBM_GETPOS:
        return m_pos;
    case PBM_SETSTEP: {
        const int old = m_step;
        m_step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: {
        long long pos = static_cast<long long>(m_pos) + m_step;
        const long long span = static_cast<long long>(m_high) - m_low;
        if (span > 0 && (pos > m_high || pos < m_low))
            pos = m_low + (((pos - m_low) % span) + span) % span;
        return SetPos(pos);
    }
    case PBM_SETBARCOLOR: {
        const COLORREF old = m_bar;
        m_bar = static_cast<COLORREF>(lParam);
        Redraw();
        return static_cast<LRESULT>(old);
    }
    case PBM_SETBKCOLOR: {
        const COLORREF old = m_back;
        m_back = static_cast<COLORREF>(lParam);
        Redraw();
        return static_cast<LRESULT>(old);
    }
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

// The previous range in 16 bits, as the 16-bit message defines it.
LRESULT Progress::SetRange(int low, int high)
{
    const LRESULT old = MAKELONG(static_cast<WORD>(m_low), static_cast<WORD>(m_high));
    if (low != m_low || high != m_high) {
        m_low = low;
        m_high = high;
        m_pos = Clamp(m_pos);
        Redraw();
    }
    return old;
}

LRESULT Progress::SetPos(long long pos)
{
    const int old = m_pos;
    m_pos = Clamp(pos);
    if (m_pos != old)
        Redraw();
    return old;
}

void Progress::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    HBRUSH back = CreateSolidBrush(m_back == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : m_back);
    FillRect(hdc, &rc, back);
    DeleteObject(back);
    InflateRect(&rc, -1, -1);
    const bool vertical = (Style() & PBS_VERTICAL) != 0;
    const int length = vertical ? rc.bottom - rc.top : rc.right - rc.left;
    const long long span = static_cast<long long>(m_high) - m_low;
    if (span <= 0 || length <= 0)
        return;
    const int filled = static_cast<int>((static_cast<long long>(m_pos) - m_low) * length / span);
    HBRUSH bar = CreateSolidBrush(m_bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : m_bar);
    // Blocks two thirds of the bar's thickness wide with a gap of two, unless smooth.
    const int thickness = vertical ? rc.right - rc.left : rc.bottom - rc.top;
    const int block = (Style() & PBS_SMOOTH) ? filled : std::max(2, thickness * 2 / 3);
    const int gap = (Style() & PBS_SMOOTH) ? 0 : 2;
    for (int at = 0; at < filled; at += block + gap) {
        const int end = std::min(filled, at + block);
        RECT r = vertical ? RECT{rc.left, rc.bottom - end, rc.right, rc.bottom - at}
                          : RECT{rc.left + at, rc.top, rc.left + end, rc.bottom};
        FillRect(hdc, &r, bar);
        if (block <= 0)
            break;
    }
    DeleteObject(bar);
}

} // namespace

bool RegisterProgress()
{
    static const bool registered = RegisterControl(PROGRESS_CLASS, ControlProc<Progress>, CS_HREDRAW | CS_VREDRAW);
    return registered;
}

} // namespace tavrin::controls
