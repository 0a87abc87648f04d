// "tooltips_class32": mouse messages reach the tip through TTM_RELAYEVENT,
// or through the tool window's procedure, which TTF_SUBCLASS replaces. The
// tip appears after the initial delay on the process clock, goes after the
// auto-pop delay, when the mouse leaves the tool or on a button press, and
// comes back only when the mouse moves to another tool.
#include "platform/controls/ToolTip.h"

#include "platform/controls/Control.h"
#include "platform/win/Resource.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace tavrin::controls {

namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;
constexpr UINT_PTR kLeaveTimer = 3;
constexpr UINT kLeaveCheck = 100;
constexpr int kMargin = 2;
constexpr int kCursorDrop = 20;

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    HINSTANCE hinst = nullptr;
    bool callback = false;
    std::string text;
    LPARAM lParam = 0;

    HWND Window() const { return (flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(id) : hwnd; }
};

// Tool windows whose procedure a tip replaced: the old procedure and the tips.
struct Subclass {
    WNDPROC old = nullptr;
    std::vector<HWND> tips;
};
std::mutex g_subclassLock;
std::map<HWND, Subclass>& Subclasses()
{
    static auto* map = new std::map<HWND, Subclass>;
    return *map;
}

bool IsRelayed(UINT message)
{
    return message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
           message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_MBUTTONDOWN ||
           message == WM_MBUTTONUP || message == WM_LBUTTONDBLCLK || message == WM_NCMOUSEMOVE;
}

LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC old = nullptr;
    std::vector<HWND> tips;
    {
        std::lock_guard<std::mutex> lock(g_subclassLock);
        auto it = Subclasses().find(hwnd);
        if (it == Subclasses().end())
            return DefWindowProcA(hwnd, message, wParam, lParam);
        old = it->second.old;
        tips = it->second.tips;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            Subclasses().erase(it);
        }
    }
    if (IsRelayed(message)) {
        MSG msg{hwnd, message, wParam, lParam, GetMessageTime(), {}};
        for (HWND tip : tips)
            SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    return CallWindowProcA(old, hwnd, message, wParam, lParam);
}

void AddSubclass(HWND hwnd, HWND tip)
{
    if (!IsWindow(hwnd))
        return;
    std::lock_guard<std::mutex> lock(g_subclassLock);
    auto it = Subclasses().find(hwnd);
    if (it == Subclasses().end()) {
        Subclass s;
        s.old = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
        it = Subclasses().emplace(hwnd, s).first;
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
    }
    it->second.tips.push_back(tip);
}

// Restores the old procedure once no tip watches the window, unless
// someone subclassed it after us (then we stay in the chain, passing through).
void RemoveSubclass(HWND hwnd, HWND tip)
{
    std::lock_guard<std::mutex> lock(g_subclassLock);
    auto it = Subclasses().find(hwnd);
    if (it == Subclasses().end())
        return;
    auto& tips = it->second.tips;
    auto at = std::find(tips.begin(), tips.end(), tip);
    if (at != tips.end())
        tips.erase(at);
    if (tips.empty() && reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == SubclassProc) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.old));
        Subclasses().erase(it);
    }
}

// A text given as a string resource id.
std::string StringResource(HINSTANCE module, LPCSTR id)
{
    char text[TOOLTIP_TEXT_SIZE * 4] = {};
    const int length = LoadStringA(module, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(id)), text, sizeof(text));
    return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

class ToolTip : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Find(const TTTOOLINFOA* info) const;
    int HitTest(HWND hwnd, POINT pt) const;
    void Relay(const MSG& msg);
    void Show();
    void Hide();
    std::string TextOf(const Tool& tool) const;
    LRESULT NotifyTool(const Tool& tool, UINT code, NMHDR* hdr) const;
    void Fill(const Tool& tool, TTTOOLINFOA* info) const;
    void Store(Tool& tool, const TTTOOLINFOA* info);
    void Remove(int index);
    UINT Delay(int which) const;
    void Paint(HDC hdc) override;

    std::vector<Tool> m_tools;
    bool m_active = true;
    int m_current = -1;
    bool m_shown = false;
    bool m_suppressed = false; // popped: stays away until another tool
    std::string m_shownText;
    int m_delays[4] = {-1, -1, -1, -1};
    int m_maxWidth = -1;
    COLORREF m_back = CLR_DEFAULT;
    COLORREF m_textColor = CLR_DEFAULT;
};

LRESULT ToolTip::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongA(m_hwnd, GWL_EXSTYLE, GetWindowLongA(m_hwnd, GWL_EXSTYLE) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    case WM_DESTROY:
        while (!m_tools.empty())
            Remove(static_cast<int>(m_tools.size()) - 1);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_TIMER:
        if (wParam == kShowTimer) {
            KillTimer(m_hwnd, kShowTimer);
            Show();
        } else if (wParam == kPopTimer) {
            Hide();
            m_suppressed = true;
        } else if (wParam == kLeaveTimer) {
            POINT pt;
            GetCursorPos(&pt);
            HWND under = WindowFromPoint(pt);
            ScreenToClient(under, &pt);
            if (HitTest(under, pt) != m_current) {
                Hide();
                m_current = -1;
            }
        }
        return 0;
    case TTM_ACTIVATE:
        m_active = wParam != 0;
        if (!m_active) {
            KillTimer(m_hwnd, kShowTimer);
            Hide();
        }
        return 0;
    case TTM_ADDTOOLA: {
        auto* info = reinterpret_cast<const TTTOOLINFOA*>(lParam);
        if (!info || info->cbSize < TTTOOLINFOA_V1_SIZE)
            return FALSE;
        Tool tool;
        tool.flags = info->uFlags;
        tool.hwnd = info->hwnd;
        tool.id = info->uId;
        tool.rect = info->rect;
        if (info->cbSize >= TTTOOLINFOA_V2_SIZE)
            tool.lParam = info->lParam;
        Store(tool, info);
        m_tools.push_back(tool);
        if (tool.flags & TTF_SUBCLASS)
            AddSubclass(tool.Window(), m_hwnd);
        return TRUE;
    }
    case TTM_DELTOOLA: {
        const int index = Find(reinterpret_cast<const TTTOOLINFOA*>(lParam));
        if (index >= 0)
            Remove(index);
        return 0;
    }
    case TTM_NEWTOOLRECTA: {
        auto* info = reinterpret_cast<const TTTOOLINFOA*>(lParam);
        const int index = Find(info);
        if (index >= 0)
            m_tools[static_cast<size_t>(index)].rect = info->rect;
        return 0;
    }
    case TTM_SETTOOLINFOA:
    case TTM_UPDATETIPTEXTA: {
        auto* info = reinterpret_cast<const TTTOOLINFOA*>(lParam);
        const int index = Find(info);
        if (index < 0)
            return 0;
        Tool& tool = m_tools[static_cast<size_t>(index)];
        if (message == TTM_SETTOOLINFOA) {
            tool.flags = info->uFlags;
            tool.rect = info->rect;
            if (info->cbSize >= TTTOOLINFOA_V2_SIZE)
                tool.lParam = info->lParam;
        }
        Store(tool, info);
        if (m_shown && index == m_current)
            Show();
        return 0;
    }
    case TTM_GETTOOLINFOA:
    case TTM_GETTEXTA: {
        auto* info = reinterpret_cast<TTTOOLINFOA*>(lParam);
        const int index = Find(info);
        if (index < 0)
            return FALSE;
        const Tool& tool = m_tools[static_cast<size_t>(index)];
        if (message == TTM_GETTOOLINFOA) {
            Fill(tool, info);
            return TRUE;
        }
        if (info->lpszText) {
            const WPARAM size = wParam ? wParam : TOOLTIP_TEXT_SIZE;
            CopyTextOut(tool.callback ? TextOf(tool) : tool.text, size, reinterpret_cast<LPARAM>(info->lpszText));
        }
        return 0;
    }
    case TTM_GETTOOLCOUNT:
        return static_cast<LRESULT>(m_tools.size());
    case TTM_ENUMTOOLSA: {
        auto* info = reinterpret_cast<TTTOOLINFOA*>(lParam);
        if (!info || wParam >= m_tools.size())
            return FALSE;
        Fill(m_tools[wParam], info);
        return TRUE;
    }
    case TTM_GETCURRENTTOOLA: {
        if (m_current < 0 || !m_shown)
            return FALSE;
        if (auto* info = reinterpret_cast<TTTOOLINFOA*>(lParam))
            Fill(m_tools[static_cast<size_t>(m_current)], info);
        return TRUE;
    }
    case TTM_HITTESTA: {
        auto* hit = reinterpret_cast<TTHITTESTINFOA*>(lParam);
        if (!hit)
            return FALSE;
        const int index = HitTest(hit->hwnd, hit->pt);
        if (index < 0)
            return FALSE;
        Fill(m_tools[static_cast<size_t>(index)], &hit->ti);
        return TRUE;
    }
    case TTM_RELAYEVENT:
        if (auto* msg = reinterpret_cast<const MSG*>(lParam))
            Relay(*msg);
        return 0;
    case TTM_POP:
        KillTimer(m_hwnd, kShowTimer);
        Hide();
        m_suppressed = true;
        return 0;
    case TTM_UPDATE:
        Redraw();
        return 0;
    case TTM_WINDOWFROMPOINT: {
        auto* pt = reinterpret_cast<const POINT*>(lParam);
        return pt ? reinterpret_cast<LRESULT>(WindowFromPoint(*pt)) : 0;
    }
    case TTM_SETDELAYTIME: {
        const int value = static_cast<short>(LOWORD(lParam));
        if (wParam == TTDT_AUTOMATIC) {
            for (int& d : m_delays)
                d = -1;
            if (value >= 0) {
                m_delays[TTDT_INITIAL] = value;
                m_delays[TTDT_AUTOPOP] = value * 10;
                m_delays[TTDT_RESHOW] = value / 5;
            }
        } else if (wParam <= TTDT_INITIAL) {
            m_delays[wParam] = value < 0 ? -1 : value;
        }
        return 0;
    }
    case TTM_GETDELAYTIME:
        return wParam <= TTDT_INITIAL ? static_cast<LRESULT>(Delay(static_cast<int>(wParam))) : 0;
    case TTM_SETMAXTIPWIDTH: {
        const int old = m_maxWidth;
        m_maxWidth = static_cast<int>(lParam);
        return old;
    }
    case TTM_GETMAXTIPWIDTH:
        return m_maxWidth;
    case TTM_SETTIPBKCOLOR:
        m_back = static_cast<COLORREF>(wParam);
        Redraw();
        return 0;
    case TTM_SETTIPTEXTCOLOR:
        m_textColor = static_cast<COLORREF>(wParam);
        Redraw();
        return 0;
    case TTM_GETTIPBKCOLOR:
        return m_back == CLR_DEFAULT ? GetSysColor(COLOR_INFOBK) : m_back;
    case TTM_GETTIPTEXTCOLOR:
        return m_textColor == CLR_DEFAULT ? GetSysColor(COLOR_INFOTEXT) : m_textColor;
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

int ToolTip::Find(const TTTOOLINFOA* info) const
{
    if (!info || info->cbSize < TTTOOLINFOA_V1_SIZE)
        return -1;
    for (size_t i = 0; i < m_tools.size(); ++i)
        if (m_tools[i].hwnd == info->hwnd && m_tools[i].id == info->uId)
            return static_cast<int>(i);
    return -1;
}

int ToolTip::HitTest(HWND hwnd, POINT pt) const
{
    if (!hwnd)
        return -1;
    for (size_t i = 0; i < m_tools.size(); ++i) {
        const Tool& t = m_tools[i];
        if (t.flags & TTF_IDISHWND) {
            if (reinterpret_cast<HWND>(t.id) == hwnd)
                return static_cast<int>(i);
        } else if (t.hwnd == hwnd && PtInRect(&t.rect, pt)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ToolTip::Relay(const MSG& msg)
{
    if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE) {
        // Any button: the tip goes and stays away until another tool.
        KillTimer(m_hwnd, kShowTimer);
        Hide();
        m_suppressed = true;
        return;
    }
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    if (msg.message == WM_NCMOUSEMOVE)
        ScreenToClient(msg.hwnd, &pt);
    const int index = HitTest(msg.hwnd, pt);
    if (index == m_current)
        return;
    const bool wasShown = m_shown;
    Hide();
    m_current = index;
    m_suppressed = false;
    KillTimer(m_hwnd, kShowTimer);
    if (index >= 0 && m_active)
        SetTimer(m_hwnd, kShowTimer, std::max(1u, Delay(wasShown ? TTDT_RESHOW : TTDT_INITIAL)), nullptr);
}

UINT ToolTip::Delay(int which) const
{
    if (m_delays[which] >= 0)
        return static_cast<UINT>(m_delays[which]);
    UINT hover = 0;
    if (!SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &hover, 0) || hover == 0)
        hover = GetDoubleClickTime();
    switch (which) {
    case TTDT_AUTOPOP: return hover * 10;
    case TTDT_RESHOW: return hover / 5;
    default: return hover;
    }
}

std::string ToolTip::TextOf(const Tool& tool) const
{
    if (!tool.callback)
        return tool.text;
    NMTTDISPINFOA info{};
    info.lpszText = info.szText;
    info.hinst = tool.hinst;
    info.uFlags = tool.flags;
    info.lParam = tool.lParam;
    NotifyTool(tool, TTN_GETDISPINFOA, &info.hdr);
    if (!info.lpszText || info.lpszText == LPSTR_TEXTCALLBACK)
        return std::string();
    if (IS_INTRESOURCE(info.lpszText))
        return StringResource(info.hinst, info.lpszText);
    // The record's own buffer may be filled to its end without a terminator.
    if (info.lpszText == info.szText)
        return std::string(info.szText, strnlen(info.szText, sizeof(info.szText)));
    return info.lpszText;
}

LRESULT ToolTip::NotifyTool(const Tool& tool, UINT code, NMHDR* hdr) const
{
    NMHDR bare{};
    if (!hdr)
        hdr = &bare;
    hdr->hwndFrom = m_hwnd;
    hdr->idFrom = tool.id;
    hdr->code = code;
    return SendMessageA(tool.hwnd, WM_NOTIFY, tool.id, reinterpret_cast<LPARAM>(hdr));
}

void ToolTip::Fill(const Tool& tool, TTTOOLINFOA* info) const
{
    info->uFlags = tool.flags;
    info->hwnd = tool.hwnd;
    info->uId = tool.id;
    info->rect = tool.rect;
    info->hinst = tool.hinst;
    if (tool.callback)
        info->lpszText = LPSTR_TEXTCALLBACK;
    else if (info->lpszText && info->lpszText != LPSTR_TEXTCALLBACK && !IS_INTRESOURCE(info->lpszText))
        CopyTextOut(tool.text, TOOLTIP_TEXT_SIZE, reinterpret_cast<LPARAM>(info->lpszText));
    if (info->cbSize >= TTTOOLINFOA_V2_SIZE)
        info->lParam = tool.lParam;
}

// The text of a record (and the module its string id is in).
void ToolTip::Store(Tool& tool, const TTTOOLINFOA* info)
{
    tool.hinst = info->hinst;
    tool.callback = info->lpszText == LPSTR_TEXTCALLBACK;
    if (tool.callback || !info->lpszText)
        tool.text.clear();
    else if (IS_INTRESOURCE(info->lpszText))
        tool.text = StringResource(info->hinst, info->lpszText);
    else
        tool.text = info->lpszText;
}

void ToolTip::Remove(int index)
{
    if (index == m_current) {
        KillTimer(m_hwnd, kShowTimer);
        Hide();
        m_current = -1;
    } else if (index < m_current) {
        --m_current;
    }
    const Tool tool = m_tools[static_cast<size_t>(index)];
    m_tools.erase(m_tools.begin() + index);
    if (tool.flags & TTF_SUBCLASS)
        RemoveSubclass(tool.Window(), m_hwnd);
}

void ToolTip::Show()
{
    if (m_current < 0 || !m_active || m_suppressed)
        return;
    if (!(Style() & TTS_ALWAYSTIP) && !GetActiveWindow())
        return;
    const Tool tool = m_tools[static_cast<size_t>(m_current)];
    std::string text = TextOf(tool);
    if (text.empty() || m_current < 0) {
        Hide();
        return;
    }
    m_shownText = text;
    HDC hdc = GetDC(m_hwnd);
    HGDIOBJ old = SelectObject(hdc, Font());
    RECT calc{0, 0, m_maxWidth > 0 ? m_maxWidth : 0x7FFF, 0};
    const UINT format = (m_maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | ((Style() & TTS_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &calc, format | DT_CALCRECT);
    SelectObject(hdc, old);
    ReleaseDC(m_hwnd, hdc);
    const int width = calc.right - calc.left + 2 * (kMargin + 1) + 2;
    const int height = calc.bottom - calc.top + 2 * (kMargin + 1);
    POINT pt;
    GetCursorPos(&pt);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = pt.x, y = pt.y + kCursorDrop;
    if (tool.flags & TTF_CENTERTIP) {
        RECT r = tool.rect;
        if (tool.flags & TTF_IDISHWND)
            GetClientRect(tool.Window(), &r);
        MapWindowPoints(tool.Window(), nullptr, reinterpret_cast<POINT*>(&r), 2);
        x = (r.left + r.right - width) / 2;
        y = r.bottom + 2;
    }
    x = std::max<int>(area.left, std::min<int>(x, area.right - width));
    if (y + height > area.bottom)
        y = pt.y - height - 2;
    const bool wasShown = m_shown;
    m_shown = true;
    // A non-zero answer: the tool's window placed the tip itself.
    if (!wasShown && NotifyTool(tool, TTN_SHOW, nullptr))
        SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
        SetWindowPos(m_hwnd, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Redraw();
    SetTimer(m_hwnd, kPopTimer, Delay(TTDT_AUTOPOP), nullptr);
    SetTimer(m_hwnd, kLeaveTimer, kLeaveCheck, nullptr);
}

void ToolTip::Hide()
{
    KillTimer(m_hwnd, kPopTimer);
    KillTimer(m_hwnd, kLeaveTimer);
    if (!m_shown)
        return;
    m_shown = false;
    if (m_current >= 0)
        NotifyTool(m_tools[static_cast<size_t>(m_current)], TTN_POP, nullptr);
    ShowWindow(m_hwnd, SW_HIDE);
}

void ToolTip::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    HBRUSH back = CreateSolidBrush(static_cast<COLORREF>(SendMessageA(m_hwnd, TTM_GETTIPBKCOLOR, 0, 0)));
    FillRect(hdc, &rc, back);
    DeleteObject(back);
    FrameRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rc, -(kMargin + 1), -(kMargin + 1));
    SelectObject(hdc, Font());
    SetTextColor(hdc, static_cast<COLORREF>(SendMessageA(m_hwnd, TTM_GETTIPTEXTCOLOR, 0, 0)));
    SetBkMode(hdc, TRANSPARENT);
    const UINT format = (m_maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE) | ((Style() & TTS_NOPREFIX) ? DT_NOPREFIX : 0);
    DrawTextA(hdc, m_shownText.c_str(), static_cast<int>(m_shownText.size()), &rc, format);
}

} // namespace

bool RegisterToolTip()
{
    static const bool registered = RegisterControl(TOOLTIPS_CLASS, ControlProc<ToolTip>, CS_SAVEBITS | CS_DBLCLKS);
    return registered;
}

} // namespace tavrin::controls
