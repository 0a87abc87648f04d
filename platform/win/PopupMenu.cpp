#include "platform/win/PopupMenu.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/Capture.h"
#include "platform/win/Focus.h"
#include "platform/win/Input.h"
#include "platform/win/MenuKey.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Painting.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"

#include <algorithm>
#include <cctype>
#include <mutex>

namespace tavrin::win {

namespace {

constexpr int kBorder = 3;       // raised edge and a pixel of menu colour
constexpr int kCheckColumn = 20; // room for a check mark left of the text
constexpr int kArrowColumn = 20; // room for a submenu arrow
constexpr int kSeparatorHeight = 9;
constexpr int kAcceleratorGap = 24;

struct Level {
    HMENU menu = nullptr;
    HWND hwnd = nullptr;
    std::vector<MenuItemView> items;
    std::vector<RECT> rects; // client coordinates
    int hot = -1;
    int acceleratorX = 0; // where accelerator texts start
    bool submenuOpen = false;
};

struct Tracker {
    UINT flags = 0;
    HWND owner = nullptr;
    std::vector<Level> levels;
    HFONT font = nullptr;
    HFONT bold = nullptr;
    bool done = false;
    UINT command = 0;
    bool armed = false; // a button-up chooses only after the menu saw the mouse
    RECT exclude{0, 0, 0, 0};
};

thread_local Tracker* t_active = nullptr;
// Item rectangles for GetMenuItemRect from any thread.
std::mutex g_rectsLock;
struct Shown {
    HMENU menu;
    HWND hwnd;
    std::vector<RECT> rects; // screen
};
std::vector<Shown> g_shown;

bool Notify(const Tracker& t) { return !(t.flags & TPM_NONOTIFY); }
bool IsSeparator(const MenuItemView& i) { return (i.type & MFT_SEPARATOR) != 0; }
bool IsGrey(const MenuItemView& i) { return (i.state & (MF_GRAYED | MF_DISABLED)) != 0; }

// Label and accelerator text of an item ("text\taccelerator").
void SplitText(const std::string& text, std::string& label, std::string& accel)
{
    const size_t tab = text.find('\t');
    label = tab == std::string::npos ? text : text.substr(0, tab);
    accel = tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

// The mnemonic letter after a single "&", upper-cased; 0 for none.
int Mnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && c <= 0xFE) { // a double-byte character
            ++i;
            continue;
        }
        if (c == '&') {
            if (text[i + 1] == '&') {
                ++i;
                continue;
            }
            return std::toupper(static_cast<unsigned char>(text[i + 1]));
        }
    }
    return 0;
}

void PublishRects(const Tracker& t)
{
    std::lock_guard<std::mutex> lock(g_rectsLock);
    g_shown.clear();
    for (const Level& l : t.levels) {
        Shown s{l.menu, l.hwnd, {}};
        RECT w;
        GetWindowRect(l.hwnd, &w);
        for (RECT r : l.rects) {
            OffsetRect(&r, w.left, w.top);
            s.rects.push_back(r);
        }
        g_shown.push_back(std::move(s));
    }
}

SIZE Measure(Tracker& t, Level& l)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, t.font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int itemHeight = std::max<int>(tm.tmHeight + 6, 18);
    int labelWidth = 0, accelWidth = 0;
    for (const MenuItemView& item : l.items) {
        if (IsSeparator(item))
            continue;
        std::string label, accel;
        SplitText(item.text, label, accel);
        SelectObject(dc, (item.state & MFS_DEFAULT) ? t.bold : t.font);
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, label.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT);
        labelWidth = std::max<int>(labelWidth, r.right);
        if (!accel.empty()) {
            SIZE s{};
            GetTextExtentPoint32A(dc, accel.c_str(), static_cast<int>(accel.size()), &s);
            accelWidth = std::max<int>(accelWidth, s.cx);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int width = kBorder * 2 + kCheckColumn + labelWidth + (accelWidth ? kAcceleratorGap + accelWidth : 0) +
                      kArrowColumn;
    l.acceleratorX = kBorder + kCheckColumn + labelWidth + kAcceleratorGap;
    int y = kBorder;
    l.rects.clear();
    for (const MenuItemView& item : l.items) {
        const int h = IsSeparator(item) ? kSeparatorHeight : itemHeight;
        l.rects.push_back(RECT{kBorder, y, width - kBorder, y + h});
        y += h;
    }
    return SIZE{std::max(width, 60), y + kBorder};
}

RECT WorkAreaAt(POINT pt)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// Keeps a popup of size s on the work area: it flips to the other side of
// the point it hangs from when it does not fit, else it is pushed in.
POINT Place(SIZE s, int left, int top, int flipLeft, int flipTop, const RECT& work)
{
    if (left + s.cx > work.right)
        left = flipLeft >= work.left ? flipLeft : work.right - s.cx;
    if (top + s.cy > work.bottom)
        top = flipTop >= work.top ? flipTop : work.bottom - s.cy;
    left = std::max<int>(std::min<int>(left, work.right - s.cx), work.left);
    top = std::max<int>(std::min<int>(top, work.bottom - s.cy), work.top);
    return POINT{left, top};
}

void Redraw(const Level& l)
{
    InvalidateRect(l.hwnd, nullptr, TRUE);
    UpdateWindow(l.hwnd);
}

void SendSelect(Tracker& t, size_t depth, bool mouse)
{
    if (!Notify(t))
        return;
    const Level& l = t.levels[depth];
    if (l.hot < 0) {
        SendMessageA(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0), reinterpret_cast<LPARAM>(l.menu));
        return;
    }
    const MenuItemView& item = l.items[static_cast<size_t>(l.hot)];
    UINT flags = GetMenuState(l.menu, static_cast<UINT>(l.hot), MF_BYPOSITION) & 0xFF;
    flags |= MF_HILITE | (mouse ? MF_MOUSESELECT : 0) | (item.submenu ? MF_POPUP : 0);
    const UINT id = item.submenu ? static_cast<UINT>(l.hot) : item.id;
    SendMessageA(t.owner, WM_MENUSELECT, MAKEWPARAM(id, flags), reinterpret_cast<LPARAM>(l.menu));
}

void CloseLevelsBelow(Tracker& t, size_t depth)
{
    while (t.levels.size() > depth + 1) {
        DestroyWindow(t.levels.back().hwnd);
        t.levels.pop_back();
    }
    t.levels[depth].submenuOpen = false;
    PublishRects(t);
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool RegisterPopupClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSA wc{};
        wc.style = CS_SAVEBITS;
        wc.lpfnWndProc = PopupProc;
        wc.hbrBackground = nullptr;
        wc.lpszClassName = POPUPMENU_CLASS;
        RegisterClassA(&wc);
    });
    return true;
}

// Opens the menu as a new level at (x, y) screen, or beside the parent item.
bool OpenLevel(Tracker& t, HMENU menu, int x, int y, int parentIndex)
{
    if (Notify(t))
        SendMessageA(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                     MAKELPARAM(parentIndex < 0 ? 0 : parentIndex, FALSE));
    if (t.done)
        return false;
    Level l;
    l.menu = menu;
    if (!GetMenuItemsView(menu, l.items) || l.items.empty())
        return false;
    const SIZE s = Measure(t, l);
    POINT at;
    if (t.levels.empty()) {
        const UINT f = t.flags;
        int left = (f & TPM_RIGHTALIGN) ? x - s.cx : (f & TPM_CENTERALIGN) ? x - s.cx / 2 : x;
        int top = (f & TPM_BOTTOMALIGN) ? y - s.cy : (f & TPM_VCENTERALIGN) ? y - s.cy / 2 : y;
        const RECT work = WorkAreaAt(POINT{x, y});
        at = Place(s, left, top, x - s.cx, y - s.cy, work);
        // Beside the exclusion rectangle rather than over it.
        RECT mine{at.x, at.y, at.x + s.cx, at.y + s.cy}, overlap;
        if (!IsRectEmpty(&t.exclude) && IntersectRect(&overlap, &mine, &t.exclude)) {
            if (f & TPM_VERTICAL)
                at = Place(s, at.x, t.exclude.bottom, at.x, t.exclude.top - s.cy, work);
            else
                at = Place(s, t.exclude.right, at.y, t.exclude.left - s.cx, at.y, work);
        }
    } else {
        const Level& parent = t.levels.back();
        RECT pw, item = parent.rects[static_cast<size_t>(parentIndex)];
        GetWindowRect(parent.hwnd, &pw);
        const RECT work = WorkAreaAt(POINT{pw.right, pw.top + item.top});
        at = Place(s, pw.right - kBorder, pw.top + item.top - kBorder, pw.left - s.cx + kBorder,
                   pw.top + item.bottom + kBorder - s.cy, work);
    }
    RegisterPopupClass();
    l.hwnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, POPUPMENU_CLASS, "", WS_POPUP,
                             at.x, at.y, s.cx, s.cy, t.owner, nullptr, nullptr, nullptr);
    if (!l.hwnd)
        return false;
    t.levels.push_back(std::move(l));
    SetWindowLongPtrA(t.levels.back().hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&t));
    SetWindowPos(t.levels.back().hwnd, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(t.levels.back().hwnd);
    PublishRects(t);
    return true;
}

void SetHot(Tracker& t, size_t depth, int index, bool mouse)
{
    Level& l = t.levels[depth];
    if (l.hot == index)
        return;
    if (t.levels.size() > depth + 1)
        CloseLevelsBelow(t, depth);
    l.hot = index;
    Redraw(t.levels[depth]);
    SendSelect(t, depth, mouse);
}

void OpenSubmenu(Tracker& t, size_t depth, bool selectFirst);

void Choose(Tracker& t, size_t depth, int index, bool mouse)
{
    const MenuItemView& item = t.levels[depth].items[static_cast<size_t>(index)];
    if (IsSeparator(item))
        return;
    if (item.submenu) {
        SetHot(t, depth, index, mouse);
        if (!t.levels[depth].submenuOpen)
            OpenSubmenu(t, depth, !mouse);
        return;
    }
    if (IsGrey(item))
        return;
    t.command = item.id;
    t.done = true;
}

void OpenSubmenu(Tracker& t, size_t depth, bool selectFirst)
{
    Level& l = t.levels[depth];
    if (l.hot < 0)
        return;
    HMENU sub = l.items[static_cast<size_t>(l.hot)].submenu;
    if (!sub || l.submenuOpen)
        return;
    CloseLevelsBelow(t, depth);
    if (!OpenLevel(t, sub, 0, 0, t.levels[depth].hot))
        return;
    t.levels[depth].submenuOpen = true;
    if (selectFirst) {
        Level& child = t.levels.back();
        for (size_t i = 0; i < child.items.size(); ++i)
            if (!IsSeparator(child.items[i])) {
                SetHot(t, t.levels.size() - 1, static_cast<int>(i), false);
                break;
            }
    }
}

// The level and item under a screen point; false when over no popup.
bool HitTest(const Tracker& t, POINT pt, size_t& depth, int& index)
{
    for (size_t d = t.levels.size(); d-- > 0;) {
        RECT w;
        GetWindowRect(t.levels[d].hwnd, &w);
        if (!PtInRect(&w, pt))
            continue;
        depth = d;
        index = -1;
        POINT local{pt.x - w.left, pt.y - w.top};
        for (size_t i = 0; i < t.levels[d].rects.size(); ++i)
            if (PtInRect(&t.levels[d].rects[i], local))
                index = static_cast<int>(i);
        return true;
    }
    return false;
}

void MouseMessage(Tracker& t, const MSG& msg)
{
    size_t depth = 0;
    int index = -1;
    const bool over = HitTest(t, msg.pt, depth, index);
    const UINT m = msg.message;
    const bool down = m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_NCLBUTTONDOWN ||
                      m == WM_NCRBUTTONDOWN || m == WM_NCMBUTTONDOWN || m == WM_LBUTTONDBLCLK ||
                      m == WM_RBUTTONDBLCLK;
    const bool up = m == WM_LBUTTONUP || m == WM_RBUTTONUP || m == WM_NCLBUTTONUP || m == WM_NCRBUTTONUP;
    const bool right = m == WM_RBUTTONUP || m == WM_NCRBUTTONUP;
    if (m == WM_MOUSEMOVE || m == WM_NCMOUSEMOVE) {
        if (!over) {
            // Off the menus: the highlight goes unless it holds a submenu open.
            Level& deepest = t.levels.back();
            if (deepest.hot >= 0 && !deepest.submenuOpen)
                SetHot(t, t.levels.size() - 1, -1, true);
            return;
        }
        if (index >= 0 && !IsSeparator(t.levels[depth].items[static_cast<size_t>(index)])) {
            t.armed = true;
            SetHot(t, depth, index, true);
            if (t.levels[depth].items[static_cast<size_t>(index)].submenu)
                OpenSubmenu(t, depth, false);
        } else if (index < 0 || IsSeparator(t.levels[depth].items[static_cast<size_t>(index)])) {
            if (!t.levels[depth].submenuOpen)
                SetHot(t, depth, -1, true);
        }
        return;
    }
    if (down) {
        if (!over) {
            t.done = true; // a click elsewhere dismisses the menu
            return;
        }
        t.armed = true;
        if (index >= 0 && t.levels[depth].items[static_cast<size_t>(index)].submenu)
            Choose(t, depth, index, true);
        return;
    }
    if (up && over && index >= 0 && t.armed && (!right || (t.flags & TPM_RIGHTBUTTON)))
        Choose(t, depth, index, true);
}

void Step(Tracker& t, int direction)
{
    const size_t depth = t.levels.size() - 1;
    Level& l = t.levels[depth];
    const int n = static_cast<int>(l.items.size());
    int i = l.hot;
    for (int tries = 0; tries < n; ++tries) {
        i = i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n;
        if (!IsSeparator(l.items[static_cast<size_t>(i)])) {
            SetHot(t, depth, i, false);
            return;
        }
    }
}

void KeyMessage(Tracker& t, const MSG& msg)
{
    const size_t depth = t.levels.size() - 1;
    Level& l = t.levels[depth];
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        TranslateMessage(&msg);
        switch (msg.wParam) {
        case VK_ESCAPE:
            if (depth == 0)
                t.done = true;
            else
                CloseLevelsBelow(t, depth - 1);
            break;
        case VK_UP: Step(t, -1); break;
        case VK_DOWN: Step(t, 1); break;
        case VK_RIGHT: OpenSubmenu(t, depth, true); break;
        case VK_LEFT:
            if (depth > 0)
                CloseLevelsBelow(t, depth - 1);
            break;
        case VK_RETURN:
            if (l.hot >= 0)
                Choose(t, depth, l.hot, false);
            break;
        case VK_MENU:
        case VK_F10: t.done = true; break;
        default: break;
        }
        return;
    }
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
        if (msg.wParam < 0x20)
            return;
        const int key = std::toupper(static_cast<int>(msg.wParam & 0xFF));
        std::vector<int> matches;
        for (size_t i = 0; i < l.items.size(); ++i)
            if (!IsSeparator(l.items[i]) && Mnemonic(l.items[i].text) == key)
                matches.push_back(static_cast<int>(i));
        if (matches.empty()) {
            MessageBeep(0);
            return;
        }
        if (matches.size() == 1) {
            Choose(t, depth, matches[0], false);
            return;
        }
        // Several items share the letter: the highlight moves through them.
        auto next = std::upper_bound(matches.begin(), matches.end(), l.hot);
        SetHot(t, depth, next == matches.end() ? matches[0] : *next, false);
    }
}

void DrawCheck(HDC dc, const RECT& r, COLORREF colour, bool radio)
{
    const int cx = r.left + kCheckColumn / 2 + 1, cy = (r.top + r.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    if (radio) {
        HBRUSH brush = CreateSolidBrush(colour);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    } else {
        for (int k = 0; k < 3; ++k) { // a tick three pixels thick
            MoveToEx(dc, cx - 3, cy - 1 + k, nullptr);
            LineTo(dc, cx - 1, cy + 1 + k);
            LineTo(dc, cx + 4, cy - 4 + k);
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void DrawArrow(HDC dc, const RECT& r, COLORREF colour)
{
    const int x = r.right - kArrowColumn / 2 - 2, cy = (r.top + r.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    POINT tri[3] = {{x, cy - 4}, {x + 4, cy}, {x, cy + 4}};
    Polygon(dc, tri, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void Paint(const Tracker& t, const Level& l, HDC dc)
{
    RECT client;
    GetClientRect(l.hwnd, &client);
    HBRUSH face = GetSysColorBrush(COLOR_MENU);
    FillRect(dc, &client, face);
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; i < l.items.size(); ++i) {
        const MenuItemView& item = l.items[i];
        const RECT& r = l.rects[i];
        if (IsSeparator(item)) {
            RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, (r.top + r.bottom) / 2 + 1};
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        const bool hot = static_cast<int>(i) == l.hot;
        const bool grey = IsGrey(item);
        if (hot)
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        const COLORREF text = grey ? GetSysColor(COLOR_GRAYTEXT)
                                   : GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
        std::string label, accel;
        SplitText(item.text, label, accel);
        HGDIOBJ old = SelectObject(dc, (item.state & MFS_DEFAULT) ? t.bold : t.font);
        RECT tr{r.left + kCheckColumn, r.top, r.right - kArrowColumn, r.bottom};
        RECT ar{l.acceleratorX, r.top, r.right - kArrowColumn, r.bottom};
        if (grey && !hot) { // the classic embossed grey: a light copy one pixel down and right
            SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
            RECT s = tr, sa = ar;
            OffsetRect(&s, 1, 1);
            OffsetRect(&sa, 1, 1);
            DrawTextA(dc, label.c_str(), -1, &s, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
            if (!accel.empty())
                DrawTextA(dc, accel.c_str(), -1, &sa, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        }
        SetTextColor(dc, text);
        DrawTextA(dc, label.c_str(), -1, &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!accel.empty())
            DrawTextA(dc, accel.c_str(), -1, &ar, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        SelectObject(dc, old);
        if (item.state & MFS_CHECKED)
            DrawCheck(dc, r, text, (item.type & MFT_RADIOCHECK) != 0);
        if (item.submenu)
            DrawArrow(dc, r, text);
    }
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* t = reinterpret_cast<Tracker*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (t)
            for (const Level& l : t->levels)
                if (l.hwnd == hwnd)
                    Paint(*t, l, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool IsMouse(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}
bool IsKey(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

UINT Track(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* exclude)
{
    Tracker t;
    t.flags = flags;
    t.owner = owner;
    if (exclude)
        t.exclude = *exclude;
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    t.font = CreateFontIndirectA(&metrics.lfMenuFont);
    LOGFONTA boldFont = metrics.lfMenuFont;
    boldFont.lfWeight = FW_BOLD;
    t.bold = CreateFontIndirectA(&boldFont);

    Tracker* outer = t_active;
    t_active = &t;
    if (Notify(t))
        SendMessageA(owner, WM_ENTERMENULOOP, TRUE, 0);
    bool quit = false;
    WPARAM quitCode = 0;
    if (OpenLevel(t, menu, x, y, -1)) {
        HWND oldCapture = GetCapture();
        SetCapture(t.levels[0].hwnd);
        MSG msg;
        while (!t.done) {
            if (!IsWindow(owner) || !IsWindow(t.levels[0].hwnd))
                break;
            if (GetCapture() != t.levels[0].hwnd)
                break; // another window took the mouse: the menu gives way
            if (!GetMessageA(&msg, nullptr, 0, 0)) {
                quit = true;
                quitCode = msg.wParam;
                break;
            }
            if (IsMouse(msg.message))
                MouseMessage(t, msg);
            else if (IsKey(msg.message))
                KeyMessage(t, msg);
            else
                DispatchMessageA(&msg);
        }
        if (GetCapture() == t.levels[0].hwnd)
            ReleaseCapture();
        (void)oldCapture;
    }
    if (!t.levels.empty()) {
        CloseLevelsBelow(t, 0);
        DestroyWindow(t.levels[0].hwnd);
        t.levels.clear();
    }
    {
        std::lock_guard<std::mutex> lock(g_rectsLock);
        g_shown.clear();
    }
    if (Notify(t) && IsWindow(owner)) {
        SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageA(owner, WM_EXITMENULOOP, TRUE, 0);
    }
    DeleteObject(t.font);
    DeleteObject(t.bold);
    t_active = outer;
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
    return t.command;
}

} // namespace

} // namespace tavrin::win

using namespace tavrin::win;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS params)
{
    if (!IsMenu(menu)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!IsWindow(owner) || GetWindowThreadProcessId(owner, nullptr) != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (t_active && !(flags & TPM_RECURSE)) {
        SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
        return FALSE;
    }
    const UINT command = Track(menu, flags, x, y, owner, params ? &params->rcExclude : nullptr);
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(command);
    if (command && IsWindow(owner))
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu()
{
    if (!t_active)
        return FALSE;
    t_active->done = true;
    PostMessageA(nullptr, WM_NULL, 0, 0); // wakes the loop
    return TRUE;
}

BOOL GetMenuItemRect(HWND, HMENU menu, UINT item, LPRECT rect)
{
    if (!rect)
        return FALSE;
    std::lock_guard<std::mutex> lock(g_rectsLock);
    for (const Shown& s : g_shown)
        if (s.menu == menu && item < s.rects.size()) {
            *rect = s.rects[item];
            return TRUE;
        }
    return FALSE;
}
