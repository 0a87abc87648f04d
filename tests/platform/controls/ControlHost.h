// A top-level window that hosts controls and records what they tell it:
// WM_COMMAND codes, WM_NOTIFY codes, owner-draw records and colour requests.
#pragma once

#include "platform/controls/CommCtrl.h"
#include "platform/win/User.h"

#include <functional>
#include <string>
#include <vector>

namespace tavrin::test {

struct Notice {
    UINT message; // WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL
    HWND from;
    int id;
    UINT code; // notification code; WM_DRAWITEM: itemAction; scroll: request
    UINT state; // WM_DRAWITEM: itemState; scroll: position
    bool operator==(const Notice& o) const
    {
        return message == o.message && from == o.from && id == o.id && code == o.code && state == o.state;
    }
};

class ControlHost {
public:
    explicit ControlHost(RECT rect = {100, 100, 500, 400}, DWORD style = WS_POPUP | WS_VISIBLE);
    ~ControlHost();
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;

    HWND Handle() const { return m_hwnd; }
    HWND Create(LPCSTR className, LPCSTR text, DWORD style, RECT rect, int id, DWORD exStyle = 0);

    std::vector<Notice> Take();
    void Clear() { m_notices.clear(); }
    // The codes of WM_COMMAND (or WM_NOTIFY) notices, in order.
    std::vector<UINT> Codes(UINT message = WM_COMMAND) const;
    // Answers a message before recording; return true when handled.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT*)> m_handler;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    HWND m_hwnd = nullptr;
    std::vector<Notice> m_notices;
};

// Retrieves and dispatches everything waiting on this thread.
void PumpAll();
// Screen coordinates of a point of a window's client area.
POINT ScreenPoint(HWND hwnd, int x, int y);
void ClickAt(HWND hwnd, int x, int y);
void PressKey(UINT key);
// The pixel of a window (client coordinates) on its top-level surface.
COLORREF PixelAt(HWND hwnd, int x, int y);

} // namespace tavrin::test
