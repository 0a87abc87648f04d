// Device contexts on windows, visible regions, window regions, scrolling,
// locked updates and the default frame and background painting.
#include "platform/gdi/DeviceContext.h"
#include "platform/win/Caret.h"
#include "platform/win/Focus.h"
#include "platform/win/ScrollBar.h"
#include "platform/gdi/RegionObject.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPaint.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowSurface.h"

#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct DcRecord {
    HWND hwnd;
    HWND topLevel;
    RECT damage; // surface coordinates
};

std::mutex g_lock;
std::unordered_map<HDC, DcRecord> g_dcs;
HWND g_locked = nullptr;

// A window's own shape (rectangle and window region) in surface coordinates.
Region Shape(const Window& window, POINT surfaceOrigin)
{
    RECT r = ScreenRect(window);
    OffsetRect(&r, -surfaceOrigin.x, -surfaceOrigin.y);
    Region shape(r);
    if (auto region = window.GetRegion()) {
        Region own = *region;
        own.Offset(r.left, r.top);
        shape = Region::Combine(shape, own, Region::Op::And);
    }
    return shape;
}

bool IsLocked(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_lock);
    return g_locked && (g_locked == hwnd || IsChild(g_locked, hwnd));
}

HDC RegisterWindowDc(HWND hwnd, HWND top, std::shared_ptr<Surface> surface, POINT origin, const Region& visible)
{
    auto dc = DeviceContext::CreateForSurface(std::move(surface), origin, visible);
    if (!dc)
        return nullptr;
    HDC hdc = RegisterDc(dc);
    RECT damage = visible.Bounds();
    OffsetRect(&damage, origin.x, origin.y);
    std::lock_guard<std::mutex> lock(g_lock);
    g_dcs[hdc] = DcRecord{hwnd, top, damage};
    return hdc;
}

} // namespace

Region VisibleRegion(HWND hwnd, bool windowArea, bool clipChildren, bool clipSiblings)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !IsWindowVisible(hwnd))
        return Region();
    auto top = Window::FromHandle(GetAncestor(hwnd, GA_ROOT));
    if (!top)
        return Region();
    const RECT topRect = ScreenRect(*top);
    const POINT origin{topRect.left, topRect.top};
    RECT area = windowArea ? ScreenRect(*window) : ScreenClientRect(*window);
    OffsetRect(&area, -origin.x, -origin.y);
    Region visible = Region::Combine(Shape(*window, origin), Region(area), Region::Op::And);
    if (clipChildren) {
        // Transparent children let the parent paint beneath them.
        for (HWND h : window->GetChildren()) {
            auto child = Window::FromHandle(h);
            if (child && (child->GetStyle() & WS_VISIBLE) && !(child->GetExStyle() & WS_EX_TRANSPARENT))
                visible = Region::Combine(visible, Shape(*child, origin), Region::Op::Diff);
        }
    }
    // Up the parent chain: siblings above cut out their shapes (per
    // WS_CLIPSIBLINGS), and every parent limits to its client area.
    auto current = window;
    bool siblings = clipSiblings;
    while (current->GetStyle() & WS_CHILD) {
        HWND parentHandle = current->GetParent();
        auto parent = Window::FromHandle(parentHandle);
        if (!parent)
            break;
        if (siblings) {
            for (HWND h : parent->GetChildren()) {
                if (h == current->GetHandle())
                    break;
                auto sibling = Window::FromHandle(h);
                if (sibling && (sibling->GetStyle() & WS_VISIBLE))
                    visible = Region::Combine(visible, Shape(*sibling, origin), Region::Op::Diff);
            }
        }
        RECT client = ScreenClientRect(*parent);
        OffsetRect(&client, -origin.x, -origin.y);
        visible = Region::Combine(visible, Region(client), Region::Op::And);
        visible = Region::Combine(visible, Shape(*parent, origin), Region::Op::And);
        current = parent;
        siblings = (current->GetStyle() & WS_CLIPSIBLINGS) != 0;
    }
    return visible;
}

HDC MakeWindowDc(HWND hwnd, bool windowArea, DWORD flags, const Region* clip)
{
    if (!hwnd || IsDesktopHandle(hwnd)) {
        auto screen = GetScreenSurface();
        const POINT origin{-GetSystemMetrics(SM_XVIRTUALSCREEN), -GetSystemMetrics(SM_YVIRTUALSCREEN)};
        Region visible(RECT{-origin.x, -origin.y, screen->Width() - origin.x, screen->Height() - origin.y});
        if (clip)
            visible = Region::Combine(visible, *clip, Region::Op::And);
        return RegisterWindowDc(GetDesktopWindow(), GetDesktopWindow(), screen, origin, visible);
    }
    auto window = Window::FromHandle(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND topHandle = GetAncestor(hwnd, GA_ROOT);
    auto top = Window::FromHandle(topHandle);
    auto surface = GetWindowSurface(topHandle);
    if (!top || !surface) {
        // Without pixels (no size yet): a context that draws nowhere.
        surface = std::shared_ptr<Surface>(Surface::Create(1, 1));
        return RegisterWindowDc(hwnd, topHandle, surface, POINT{0, 0}, Region());
    }
    const LONG style = window->GetStyle();
    const bool clipChildren = (flags & DCX_CLIPCHILDREN) || (!windowArea && (style & WS_CLIPCHILDREN));
    const bool clipSiblings = (flags & DCX_CLIPSIBLINGS) || (style & WS_CLIPSIBLINGS);
    Region visible = VisibleRegion(hwnd, windowArea, clipChildren, clipSiblings);
    const RECT topRect = ScreenRect(*top);
    RECT area = windowArea ? ScreenRect(*window) : ScreenClientRect(*window);
    const POINT origin{area.left - topRect.left, area.top - topRect.top};
    visible.Offset(-origin.x, -origin.y);
    if (clip)
        visible = Region::Combine(visible, *clip, Region::Op::And);
    if (IsLocked(hwnd) && !(flags & DCX_LOCKWINDOWUPDATE))
        visible = Region();
    return RegisterWindowDc(hwnd, topHandle, surface, origin, visible);
}

void PaintNonClient(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return;
    const DWORD style = static_cast<DWORD>(window->GetStyle());
    const DWORD exStyle = static_cast<DWORD>(window->GetExStyle());
    RECT bounds = window->GetRect();
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    RECT client = window->GetClientRect();
    RECT rect = window->GetRect();
    OffsetRect(&client, -rect.left, -rect.top);
    Region frameArea = Region::Combine(Region(bounds), Region(client), Region::Op::Diff);
    if (frameArea.IsEmpty())
        return;
    HDC hdc = MakeWindowDc(hwnd, true, 0, &frameArea);
    if (!hdc)
        return;
    RECT r = bounds;
    if (style & (WS_THICKFRAME | WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        FillRect(hdc, &r, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        Insets in = FrameInsets(style & ~static_cast<DWORD>(WS_VSCROLL | WS_HSCROLL), exStyle & ~static_cast<DWORD>(WS_EX_CLIENTEDGE));
        r = RECT{bounds.left + in.left, bounds.top + in.top, bounds.right - in.right, bounds.bottom - in.bottom};
    } else if (style & WS_BORDER) {
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
    } else if (exStyle & WS_EX_STATICEDGE) {
        DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const int height = GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        RECT caption{r.left, r.top, r.right, r.top + height - 1};
        const bool active = GetActiveWindow() == hwnd || GetForegroundWindow() == hwnd;
        FillRect(hdc, &caption, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        RECT line{r.left, caption.bottom, r.right, caption.bottom + 1};
        FillRect(hdc, &line, GetSysColorBrush(COLOR_BTNFACE));
        RECT text = caption;
        text.left += 4;
        if (style & WS_SYSMENU) {
            const int button = height - 4;
            RECT close{caption.right - button - 2, caption.top + 2, caption.right - 2, caption.top + 2 + button - 2};
            DrawFrameControl(hdc, &close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
            text.right = close.left - 2;
        }
        std::string title = window->GetText();
        HGDIOBJ oldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawTextA(hdc, title.c_str(), static_cast<int>(title.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(hdc, oldFont);
        r.top += height;
    }
    if (exStyle & WS_EX_CLIENTEDGE) {
        RECT edge = client;
        InflateRect(&edge, GetSystemMetrics(SM_CXEDGE), GetSystemMetrics(SM_CYEDGE));
        if (style & WS_VSCROLL)
            edge.right += GetSystemMetrics(SM_CXVSCROLL);
        if (style & WS_HSCROLL)
            edge.bottom += GetSystemMetrics(SM_CYHSCROLL);
        DrawEdge(hdc, &edge, EDGE_SUNKEN, BF_RECT);
    }
    if ((style & WS_VSCROLL) && (style & WS_HSCROLL)) {
        // The corner between the two bars.
        const int width = GetSystemMetrics(SM_CXVSCROLL);
        const bool left = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
        RECT corner{left ? client.left - width : client.right, client.bottom, left ? client.left : client.right + width,
                    client.bottom + GetSystemMetrics(SM_CYHSCROLL)};
        FillRect(hdc, &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
    PaintWindowScrollBars(hwnd, hdc);
    ReleaseDC(hwnd, hdc);
}

LRESULT EraseBackground(HWND hwnd, HDC hdc)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !hdc)
        return 0;
    HBRUSH brush = window->GetClass()->m_info.hbrBackground;
    if (!brush)
        return 0;
    // (HBRUSH)(COLOR_x + 1) names a system colour.
    const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_MENUBAR + 1)
        brush = GetSysColorBrush(static_cast<int>(value - 1));
    RECT client;
    GetClientRect(hwnd, &client);
    FillRect(hdc, &client, brush);
    return 1;
}

} // namespace tavrin::win

using tavrin::Region;
using tavrin::win::Window;

HDC GetDC(HWND hwnd)
{
    return tavrin::win::MakeWindowDc(hwnd, false, 0, nullptr);
}

HDC GetWindowDC(HWND hwnd)
{
    return tavrin::win::MakeWindowDc(hwnd, true, 0, nullptr);
}

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags)
{
    const bool windowArea = (flags & DCX_WINDOW) != 0;
    if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
        auto object = tavrin::RegionFromHandle(clip);
        Region region = object ? object->Get() : Region();
        // The region is in screen coordinates; the DC's are the window's.
        RECT area{0, 0, 0, 0};
        if (hwnd && !tavrin::win::IsDesktopHandle(hwnd)) {
            if (auto window = Window::FromHandle(hwnd))
                area = windowArea ? tavrin::win::ScreenRect(*window) : tavrin::win::ScreenClientRect(*window);
        }
        region.Offset(-area.left, -area.top);
        if (flags & DCX_EXCLUDERGN) {
            Region all(RECT{-32768, -32768, 32767, 32767});
            region = Region::Combine(all, region, Region::Op::Diff);
        }
        return tavrin::win::MakeWindowDc(hwnd, windowArea, flags, &region);
    }
    return tavrin::win::MakeWindowDc(hwnd, windowArea, flags, nullptr);
}

int ReleaseDC(HWND hwnd, HDC hdc)
{
    (void)hwnd;
    tavrin::win::DcRecord record;
    {
        std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
        auto it = tavrin::win::g_dcs.find(hdc);
        if (it == tavrin::win::g_dcs.end())
            return 0;
        record = it->second;
        tavrin::win::g_dcs.erase(it);
    }
    DeleteDC(hdc);
    if (record.topLevel && !tavrin::win::IsDesktopHandle(record.topLevel) && !IsRectEmpty(&record.damage))
        tavrin::win::NotifyDamage(record.topLevel, record.damage);
    return 1;
}

HWND WindowFromDC(HDC hdc)
{
    std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
    auto it = tavrin::win::g_dcs.find(hdc);
    return it == tavrin::win::g_dcs.end() ? nullptr : it->second.hwnd;
}

BOOL LockWindowUpdate(HWND hwnd)
{
    HWND unlocked = nullptr;
    {
        std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
        if (hwnd && tavrin::win::g_locked && tavrin::win::g_locked != hwnd)
            return FALSE; // one locked window at a time
        unlocked = hwnd ? nullptr : tavrin::win::g_locked;
        tavrin::win::g_locked = hwnd;
    }
    if (unlocked && IsWindow(unlocked))
        RedrawWindow(unlocked, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return TRUE;
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::shared_ptr<const Region> shape;
    if (region) {
        auto object = tavrin::RegionFromHandle(region);
        if (!object) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        shape = std::make_shared<const Region>(object->Get());
        DeleteObject(region); // the system owns the region now
    }
    RECT old = window->GetRect();
    window->SetRegion(std::move(shape));
    if (redraw && IsWindowVisible(hwnd)) {
        if ((window->GetStyle() & WS_CHILD) && window->GetParent())
            RedrawWindow(window->GetParent(), &old, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (!(window->GetStyle() & WS_CHILD))
        tavrin::win::SyncWindowSurface(hwnd);
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN region)
{
    auto window = Window::FromHandle(hwnd);
    auto object = tavrin::RegionFromHandle(region);
    if (!window || !object)
        return ERROR;
    auto shape = window->GetRegion();
    if (!shape)
        return ERROR;
    object->Get() = *shape;
    return shape->Kind();
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect,
                   UINT flags)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return ERROR;
    RECT client;
    GetClientRect(hwnd, &client);
    RECT area = scroll ? *scroll : client;
    if (clip)
        IntersectRect(&area, &area, clip);
    IntersectRect(&area, &area, &client);
    Region uncovered;
    // The caret's inverted pixels must not move with the rest.
    const bool caretHidden = HideCaret(hwnd) != FALSE;
    if (!IsRectEmpty(&area)) {
        HDC hdc = tavrin::win::MakeWindowDc(hwnd, false, 0, nullptr);
        // Only pixels that can be seen move; the rest of the area repaints.
        auto dc = tavrin::DcFromHandle(hdc);
        Region visible;
        if (dc) {
            visible = dc->Clip();
            POINT o = dc->SurfaceOrigin();
            visible.Offset(-o.x, -o.y);
        }
        Region source = Region::Combine(visible, Region(area), Region::Op::And);
        Region moved = source;
        moved.Offset(dx, dy);
        moved = Region::Combine(moved, Region(area), Region::Op::And);
        const int width = area.right - area.left, height = area.bottom - area.top;
        HDC memory = CreateCompatibleDC(hdc);
        HBITMAP bitmap = CreateCompatibleBitmap(hdc, width, height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, hdc, area.left, area.top, SRCCOPY);
        HRGN movedRgn = CreateRectRgn(0, 0, 0, 0);
        tavrin::RegionFromHandle(movedRgn)->Get() = moved;
        SelectClipRgn(hdc, movedRgn);
        BitBlt(hdc, area.left + dx, area.top + dy, width, height, memory, 0, 0, SRCCOPY);
        DeleteObject(movedRgn);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(hwnd, hdc);
        uncovered = Region::Combine(Region(area), moved, Region::Op::Diff);
    }
    if (flags & SW_SCROLLCHILDREN) {
        for (HWND child : window->GetChildren()) {
            RECT r;
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
            SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0,
                         SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
    }
    if (update)
        if (auto object = tavrin::RegionFromHandle(update))
            object->Get() = uncovered;
    if (updateRect)
        *updateRect = uncovered.Bounds();
    if ((flags & SW_INVALIDATE) && !uncovered.IsEmpty()) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        tavrin::RegionFromHandle(region)->Get() = uncovered;
        RedrawWindow(hwnd, nullptr, region,
                     RDW_INVALIDATE | ((flags & SW_ERASE) ? RDW_ERASE : 0) |
                         ((flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
        DeleteObject(region);
    }
    if (caretHidden)
        ShowCaret(hwnd);
    return uncovered.Kind();
}

BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip)
{
    return ScrollWindowEx(hwnd, dx, dy, scroll, clip, nullptr, nullptr,
                          SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN)) != ERROR;
}
