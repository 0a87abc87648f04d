// A top-level window that hosts one control and records the notifications
// it gets, answering each code from a table.
#pragma once

#include "platform/controls/ListViewShared.h"
#include "tests/platform/controls/ControlHost.h"
#include "platform/win/User.h"

#include <functional>
#include <map>
#include <vector>

namespace tavrin::test {

struct Notified {
    HWND from;
    UINT_PTR id;
    UINT code;
};

class NotifyHost {
public:
    NotifyHost(int width = 400, int height = 300);
    ~NotifyHost();

    HWND Window() const { return m_hwnd; }
    HWND CreateControl(LPCSTR className, DWORD style, RECT rect, int id = 7, DWORD exStyle = 0);

    // The codes logged, without the painting ones (custom draw, display information).
    std::vector<UINT> Codes() const;
    void Clear() { m_log.clear(); }
    const std::vector<Notified>& Log() const { return m_log; }

    // Answers of the parent by code (0 when absent).
    std::map<UINT, LRESULT> m_answers;
    // Sees each record before the answer; returns true to answer with *result.
    std::function<bool(NMHDR*, LRESULT*)> m_inspect;
    // Other messages the parent gets (WM_DRAWITEM and the like).
    std::vector<UINT> m_other;

    LRESULT OnNotify(NMHDR* hdr);

private:
    HWND m_hwnd = nullptr;
    std::vector<Notified> m_log;
};

// Clicks in the control's client coordinates (screen position computed).
void RightClickAt(HWND control, int x, int y);
void DoubleClickAt(HWND control, int x, int y);
void MoveTo(HWND control, int x, int y);
void Press(UINT key, bool withShift = false, bool withControl = false);

} // namespace tavrin::test
