// A framework window that hosts toolkit controls in tests and records the
// commands and other messages they send it, with helpers to pump the
// queue and read the pixels a window shows.
#pragma once

#include "platform/mfc/Wnd.h"

#include <vector>

namespace tavrin::test {

struct HostMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class ControlTestHost : public CWnd {
public:
    // A visible popup (or the given style) at the screen rectangle.
    explicit ControlTestHost(CRect rect = CRect(100, 100, 420, 340), DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    ~ControlTestHost() override;

    // WM_COMMAND and the messages listed in m_record, oldest first.
    std::vector<HostMessage> m_messages;
    std::vector<UINT> m_record;
    // The notification codes of the WM_COMMANDs from a control id.
    std::vector<UINT> Codes(UINT nID) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The colour manager's colour of an index.
COLORREF ColorIndex(int nIndex);
// An opaque icon of one colour; the caller destroys it.
HICON MakeSolidIcon(int cx, int cy, COLORREF clr);
// A child's rectangle in its parent's client coordinates.
CRect ChildRect(const CWnd* pParent, UINT nID);

// Retrieves and dispatches everything waiting on this thread.
void PumpQueue();
// Screen coordinates of a client point.
CPoint ScreenOf(HWND hwnd, int x, int y);
// The pixel a window shows at its client point, from its top-level surface.
COLORREF SurfacePixel(HWND hwnd, int x, int y);

} // namespace tavrin::test
