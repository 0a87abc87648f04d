#include "platform/win/WindowPos.h"

#include "platform/win/Focus.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/Painting.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowSurface.h"

#include <algorithm>
#include <unordered_map>

namespace tavrin::win {

namespace {

bool IsTopLevel(const Window& window)
{
    return !(window.GetStyle() & WS_CHILD);
}

bool SamePoint(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top;
}

bool SameSize(const RECT& a, const RECT& b)
{
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

// Owned windows stay above their owner when it comes to the top.
void RaiseOwnedWindows(HWND owner)
{
    std::vector<HWND> top = Window::TopLevelWindows();
    for (auto it = top.rbegin(); it != top.rend(); ++it) {
        auto w = Window::FromHandle(*it);
        if (w && w->GetOwner() == owner && *it != owner) {
            WindowTree::Get().Reorder(*it, HWND_TOP);
            RaiseOwnedWindows(*it);
        }
    }
}

// Invalidates a rectangle of the parent's client area after a child left it.
void ExposeInParent(const Window& window, const RECT& oldRect)
{
    HWND parent = window.GetParent();
    if (!parent || IsRectEmpty(&oldRect))
        return;
    RedrawWindow(parent, &oldRect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

BOOL ApplyWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const bool topLevel = IsTopLevel(*window);
    const RECT oldRect = window->GetRect();
    const RECT oldClient = window->GetClientRect();
    const bool wasVisible = (window->GetStyle() & WS_VISIBLE) != 0;

    if (wasVisible)
        flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    else
        flags &= ~static_cast<UINT>(SWP_HIDEWINDOW);
    if ((flags & SWP_SHOWWINDOW) && (flags & SWP_HIDEWINDOW))
        flags &= ~static_cast<UINT>(SWP_HIDEWINDOW);
    if (insertAfter == hwnd)
        flags |= SWP_NOZORDER;
    if (!topLevel && (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST))
        insertAfter = HWND_TOP;
    if (window->IsMessageOnly())
        flags |= SWP_NOZORDER;

    WINDOWPOS wp{hwnd, insertAfter, x, y, std::max(cx, 0), std::max(cy, 0), flags};
    if (flags & SWP_NOMOVE) {
        wp.x = oldRect.left;
        wp.y = oldRect.top;
    }
    if (flags & SWP_NOSIZE) {
        wp.cx = oldRect.right - oldRect.left;
        wp.cy = oldRect.bottom - oldRect.top;
    }
    if (!(flags & SWP_NOSENDCHANGING)) {
        SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!IsWindow(hwnd))
            return FALSE;
    }
    flags = wp.flags;
    if (flags & SWP_NOMOVE) {
        wp.x = oldRect.left;
        wp.y = oldRect.top;
    }
    if (flags & SWP_NOSIZE) {
        wp.cx = oldRect.right - oldRect.left;
        wp.cy = oldRect.bottom - oldRect.top;
    }
    RECT newRect{wp.x, wp.y, wp.x + std::max(wp.cx, 0), wp.y + std::max(wp.cy, 0)};
    const bool moved = !SamePoint(newRect, oldRect);
    const bool sized = !SameSize(newRect, oldRect);
    if (!moved)
        wp.flags |= SWP_NOMOVE;
    if (!sized)
        wp.flags |= SWP_NOSIZE;

    RECT newClient = oldClient;
    OffsetRect(&newClient, newRect.left - oldRect.left, newRect.top - oldRect.top);
    if (sized || (flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params{{newRect, oldRect, oldClient}, &wp};
        SendMessageA(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        if (!IsWindow(hwnd))
            return FALSE;
        newClient = params.rgrc[0];
    }
    window->SetRects(newRect, newClient);
    if (SamePoint(newClient, oldClient))
        wp.flags |= SWP_NOCLIENTMOVE;
    if (SameSize(newClient, oldClient))
        wp.flags |= SWP_NOCLIENTSIZE;

    bool zordered = false;
    if (!(flags & SWP_NOZORDER)) {
        std::vector<HWND> before = WindowTree::Get().Siblings(window->GetParent());
        if (topLevel && insertAfter == HWND_TOPMOST)
            window->SetExStyle(window->GetExStyle() | WS_EX_TOPMOST);
        else if (topLevel && insertAfter == HWND_NOTOPMOST)
            window->SetExStyle(window->GetExStyle() & ~static_cast<LONG>(WS_EX_TOPMOST));
        WindowTree::Get().Reorder(hwnd, insertAfter);
        if (topLevel && !(flags & SWP_NOOWNERZORDER) && (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST))
            RaiseOwnedWindows(hwnd);
        zordered = before != WindowTree::Get().Siblings(window->GetParent());
    }
    if (flags & SWP_SHOWWINDOW)
        window->SetStyle(window->GetStyle() | WS_VISIBLE);
    else if (flags & SWP_HIDEWINDOW)
        window->SetStyle(window->GetStyle() & ~static_cast<LONG>(WS_VISIBLE));
    const bool shown = (flags & SWP_SHOWWINDOW) != 0;
    const bool hidden = (flags & SWP_HIDEWINDOW) != 0;
    const bool frameChanged = (flags & SWP_FRAMECHANGED) != 0;

    if (topLevel && (sized || moved || shown || hidden || frameChanged || zordered))
        SyncWindowSurface(hwnd);

    if (!(flags & SWP_NOREDRAW)) {
        if (!topLevel && wasVisible && (moved || sized || hidden || zordered || frameChanged))
            ExposeInParent(*window, oldRect);
        const bool visibleNow = (window->GetStyle() & WS_VISIBLE) != 0;
        if (visibleNow) {
            const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
            const UINT classStyle = window->GetClass()->m_info.style;
            const bool childMoved = !topLevel && (moved || zordered);
            const bool redrawOnSize = (sized && (newRect.right - newRect.left != oldRect.right - oldRect.left) &&
                                       (classStyle & CS_HREDRAW)) ||
                                      (sized && (newRect.bottom - newRect.top != oldRect.bottom - oldRect.top) &&
                                       (classStyle & CS_VREDRAW));
            if (shown || childMoved || frameChanged || redrawOnSize || (flags & SWP_NOCOPYBITS)) {
                RedrawWindow(hwnd, nullptr, nullptr, all);
            } else if (sized) {
                // The old client pixels stay; only what the new size uncovered
                // is painted, and the frame.
                RECT clientNow{0, 0, newClient.right - newClient.left, newClient.bottom - newClient.top};
                RECT kept{0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top};
                HRGN exposed = CreateRectRgnIndirect(&clientNow);
                HRGN keep = CreateRectRgnIndirect(&kept);
                CombineRgn(exposed, exposed, keep, RGN_DIFF);
                RedrawWindow(hwnd, nullptr, exposed, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
                InvalidateNonClient(hwnd);
                DeleteObject(exposed);
                DeleteObject(keep);
            }
        }
    }

    if (hidden && topLevel)
        ActivateOtherWindow(hwnd);
    if (!(flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && IsWindow(hwnd)) {
        if (topLevel) {
            if (window->GetStyle() & WS_VISIBLE)
                SetActiveWindow(hwnd);
        } else if (!(window->GetStyle() & WS_POPUP)) {
            SendMessageA(hwnd, WM_CHILDACTIVATE, 0, 0);
        }
    }
    if (!IsWindow(hwnd))
        return TRUE;
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    return TRUE;
}

struct DeferBatch {
    std::vector<WINDOWPOS> positions;
    DWORD threadId;
};

struct DeferRegistry {
    std::mutex lock;
    std::unordered_map<HDWP, DeferBatch> batches;
    uintptr_t next = 0x30010;
};

DeferRegistry& Batches()
{
    static DeferRegistry* registry = new DeferRegistry;
    return *registry;
}

// Where the window goes when maximised: the work area of its monitor, with
// the frame outside it (the client area of a child's parent for children).
RECT MaximizedRect(const Window& window)
{
    if (window.GetStyle() & WS_CHILD) {
        auto parent = Window::FromHandle(window.GetParent());
        RECT r{0, 0, 0, 0};
        if (parent) {
            RECT c = parent->GetClientRect();
            r = RECT{0, 0, c.right - c.left, c.bottom - c.top};
        }
        Insets in = FrameInsets(static_cast<DWORD>(window.GetStyle()), static_cast<DWORD>(window.GetExStyle()));
        return RECT{r.left - in.left, r.top - in.top, r.right + in.right, r.bottom + in.bottom};
    }
    MINMAXINFO mmi = DefaultMinMaxInfo(window.GetHandle());
    SendMessageA(window.GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return RECT{mmi.ptMaxPosition.x, mmi.ptMaxPosition.y, mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
}

RECT MinimizedRect(const Window& window)
{
    if (window.GetStyle() & WS_CHILD) {
        RECT r = window.GetNormalRect();
        return RECT{r.left, r.top, r.left + GetSystemMetrics(SM_CXMINIMIZED), r.top + GetSystemMetrics(SM_CYMINIMIZED)};
    }
    return RECT{-32000, -32000, -32000 + GetSystemMetrics(SM_CXMINIMIZED), -32000 + GetSystemMetrics(SM_CYMINIMIZED)};
}

BOOL ShowWindowHere(HWND hwnd, int command)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const LONG style = window->GetStyle();
    const bool wasVisible = (style & WS_VISIBLE) != 0;
    const bool child = (style & WS_CHILD) != 0;
    UINT swp = SWP_NOSIZE | SWP_NOMOVE;
    bool show = true;
    LONG newState = style & (WS_MINIMIZE | WS_MAXIMIZE);
    switch (command) {
    case SW_HIDE:
        if (!wasVisible)
            return FALSE;
        show = false;
        swp |= SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOWMINNOACTIVE:
    case SW_MINIMIZE:
    case SW_FORCEMINIMIZE:
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        [[fallthrough]];
    case SW_SHOWMINIMIZED:
        newState = WS_MINIMIZE;
        swp |= SWP_SHOWWINDOW;
        break;
    case SW_SHOWMAXIMIZED:
        newState = WS_MAXIMIZE;
        swp |= SWP_SHOWWINDOW;
        break;
    case SW_SHOWNA:
        swp |= SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
        break;
    case SW_SHOW:
        swp |= SWP_SHOWWINDOW;
        break;
    case SW_SHOWNOACTIVATE:
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;
        [[fallthrough]];
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
    case SW_RESTORE:
        newState = 0;
        swp |= SWP_SHOWWINDOW;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return wasVisible;
    }
    if (child)
        swp |= SWP_NOACTIVATE | SWP_NOZORDER;

    RECT target = window->GetRect();
    const LONG oldState = style & (WS_MINIMIZE | WS_MAXIMIZE);
    if (newState != oldState) {
        if (!oldState)
            window->SetNormalRect(window->GetRect());
        window->SetStyle((window->GetStyle() & ~static_cast<LONG>(WS_MINIMIZE | WS_MAXIMIZE)) | newState);
        target = newState == WS_MAXIMIZE ? MaximizedRect(*window)
                 : newState == WS_MINIMIZE ? MinimizedRect(*window)
                                           : window->GetNormalRect();
        swp &= ~static_cast<UINT>(SWP_NOSIZE | SWP_NOMOVE);
        swp |= SWP_FRAMECHANGED;
    }
    if (show != wasVisible) {
        SendMessageA(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!IsWindow(hwnd))
            return wasVisible;
    }
    SetWindowPos(hwnd, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 swp);
    if (!IsWindow(hwnd))
        return wasVisible;
    if (!show) {
        // The focus leaves a hidden window for its parent.
        HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus)))
            SetFocus(child ? window->GetParent() : nullptr);
    }
    if (newState == WS_MINIMIZE && newState != oldState && !child && GetActiveWindow() == hwnd &&
        (swp & SWP_NOACTIVATE))
        ActivateOtherWindow(hwnd);
    return wasVisible;
}

} // namespace

MINMAXINFO DefaultMinMaxInfo(HWND hwnd)
{
    MINMAXINFO mmi{};
    auto window = Window::FromHandle(hwnd);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{sizeof(MONITORINFO), {}, {}, 0};
    if (GetMonitorInfoA(monitor, &info))
        work = info.rcWork;
    Insets in = window ? FrameInsets(static_cast<DWORD>(window->GetStyle()) & ~static_cast<DWORD>(WS_MINIMIZE),
                                     static_cast<DWORD>(window->GetExStyle()))
                       : Insets{};
    mmi.ptMaxSize = POINT{work.right - work.left + in.left + in.right, work.bottom - work.top + in.top + in.bottom};
    mmi.ptMaxPosition = POINT{work.left - in.left, work.top - in.top};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    return mmi;
}

} // namespace tavrin::win

using tavrin::win::Window;

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return static_cast<BOOL>(tavrin::win::RunOnWindowThread(hwnd, [=]() -> LRESULT {
        return tavrin::win::ApplyWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
    }));
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0u : static_cast<UINT>(SWP_NOREDRAW)));
}

BOOL BringWindowToTop(HWND hwnd)
{
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

HDWP BeginDeferWindowPos(int count)
{
    if (count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto& registry = tavrin::win::Batches();
    std::lock_guard<std::mutex> lock(registry.lock);
    HDWP batch = reinterpret_cast<HDWP>(registry.next);
    registry.next += 0x10;
    registry.batches[batch].threadId = GetCurrentThreadId();
    registry.batches[batch].positions.reserve(static_cast<size_t>(count));
    return batch;
}

HDWP DeferWindowPos(HDWP batch, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    auto& registry = tavrin::win::Batches();
    std::lock_guard<std::mutex> lock(registry.lock);
    auto it = registry.batches.find(batch);
    if (it == registry.batches.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop()) {
        registry.batches.erase(it); // a failed call loses the whole batch
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // A second entry for the same window merges into the first.
    for (WINDOWPOS& wp : it->second.positions) {
        if (wp.hwnd != hwnd)
            continue;
        if (!(flags & SWP_NOMOVE)) {
            wp.x = x;
            wp.y = y;
            wp.flags &= ~static_cast<UINT>(SWP_NOMOVE);
        }
        if (!(flags & SWP_NOSIZE)) {
            wp.cx = cx;
            wp.cy = cy;
            wp.flags &= ~static_cast<UINT>(SWP_NOSIZE);
        }
        if (!(flags & SWP_NOZORDER)) {
            wp.hwndInsertAfter = insertAfter;
            wp.flags &= ~static_cast<UINT>(SWP_NOZORDER);
        }
        wp.flags |= flags & ~static_cast<UINT>(SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        return batch;
    }
    it->second.positions.push_back(WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags});
    return batch;
}

BOOL EndDeferWindowPos(HDWP batch)
{
    std::vector<WINDOWPOS> positions;
    {
        auto& registry = tavrin::win::Batches();
        std::lock_guard<std::mutex> lock(registry.lock);
        auto it = registry.batches.find(batch);
        if (it == registry.batches.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        positions = std::move(it->second.positions);
        registry.batches.erase(it);
    }
    BOOL ok = TRUE;
    for (const WINDOWPOS& wp : positions)
        if (IsWindow(wp.hwnd) && !SetWindowPos(wp.hwnd, wp.hwndInsertAfter, wp.x, wp.y, wp.cx, wp.cy, wp.flags))
            ok = FALSE;
    return ok;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    auto window = Window::FromHandle(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return static_cast<BOOL>(
        tavrin::win::RunOnWindowThread(hwnd, [=]() -> LRESULT { return tavrin::win::ShowWindowHere(hwnd, command); }));
}

BOOL IsWindowVisible(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    while (window) {
        if (!(window->GetStyle() & WS_VISIBLE))
            return FALSE;
        HWND parent = window->GetParent();
        if (!parent)
            return TRUE;
        window = Window::FromHandle(parent);
    }
    return FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && (window->GetStyle() & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && (window->GetStyle() & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !placement) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const LONG style = window->GetStyle();
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->flags = 0;
    placement->showCmd = (style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                         : (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                 : SW_SHOWNORMAL;
    placement->ptMinPosition = POINT{-1, -1};
    placement->ptMaxPosition = POINT{-1, -1};
    placement->rcNormalPosition = (style & (WS_MINIMIZE | WS_MAXIMIZE)) ? window->GetNormalRect() : window->GetRect();
    if (!(style & WS_CHILD)) {
        // Top-level placements are in work-area coordinates.
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        OffsetRect(&placement->rcNormalPosition, -work.left, -work.top);
    }
    return TRUE;
}

BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !placement || placement->length != sizeof(WINDOWPLACEMENT)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT normal = placement->rcNormalPosition;
    if (!(window->GetStyle() & WS_CHILD)) {
        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        OffsetRect(&normal, work.left, work.top);
    }
    if (window->GetStyle() & (WS_MINIMIZE | WS_MAXIMIZE))
        window->SetNormalRect(normal);
    else
        SetWindowPos(hwnd, nullptr, normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, static_cast<int>(placement->showCmd));
    return TRUE;
}

HWND SetParent(HWND hwnd, HWND parent)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop() || window->GetThreadId() != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (tavrin::win::IsDesktopHandle(parent))
        parent = nullptr;
    if (parent) {
        if (!IsWindow(parent) || parent == hwnd || IsChild(hwnd, parent)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    HWND old = window->GetParent();
    const bool visible = (window->GetStyle() & WS_VISIBLE) != 0;
    if (visible)
        ShowWindow(hwnd, SW_HIDE);
    if (!old)
        tavrin::win::ForgetWindowSurface(hwnd);
    tavrin::win::WindowTree::Get().Reparent(hwnd, parent);
    if (visible)
        ShowWindow(hwnd, SW_SHOWNA);
    return old ? old : GetDesktopWindow();
}
