#include "platform/win/Painting.h"

#include "platform/win/Caret.h"
#include "platform/win/Focus.h"
#include "platform/gdi/GdiObject.h"
#include "platform/win/MessageQueue.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/RegionObject.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPaint.h"
#include "platform/win/WindowPos.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace tavrin::win {

namespace {

// What a window must repaint: the update region (window coordinates) and
// whether the background and the frame are to be painted first.
struct PaintState {
    Region update;
    bool erase = false;
    bool frame = false;
    bool internal = false;
    bool NeedsPaint() const { return !update.IsEmpty() || internal; }
};

std::mutex g_lock;
std::unordered_map<HWND, PaintState> g_states;

RECT WindowBounds(const Window& window)
{
    RECT r = window.GetRect();
    return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

// The client area in window coordinates.
RECT ClientInWindow(const Window& window)
{
    RECT r = window.GetRect();
    RECT c = window.GetClientRect();
    return RECT{c.left - r.left, c.top - r.top, c.right - r.left, c.bottom - r.top};
}

void WakeOwner(const Window& window)
{
    if (auto queue = MessageQueue::ForThread(window.GetThreadId()))
        queue->Wake();
}

void Forget(HWND hwnd)
{
    g_states.erase(hwnd);
}

// Invalidation and validation of one window and, as the flags say, its
// children. area is in the window's coordinates.
void Redraw(const std::shared_ptr<Window>& window, const Region& area, UINT flags)
{
    const HWND hwnd = window->GetHandle();
    const RECT bounds = WindowBounds(*window);
    const RECT client = ClientInWindow(*window);
    if (flags & RDW_INVALIDATE) {
        Region add = Region::Combine(area, Region((flags & RDW_FRAME) ? bounds : client), Region::Op::And);
        {
            std::lock_guard<std::mutex> lock(g_lock);
            PaintState& state = g_states[hwnd];
            state.update = Region::Combine(state.update, add, Region::Op::Or);
            if (flags & RDW_ERASE)
                state.erase = true;
            if ((flags & RDW_FRAME) && !Region::Combine(add, Region(client), Region::Op::Diff).IsEmpty())
                state.frame = true;
            if (flags & RDW_INTERNALPAINT)
                state.internal = true;
            if (!state.NeedsPaint() && !state.frame)
                Forget(hwnd);
        }
        WakeOwner(*window);
    } else if (flags & RDW_INTERNALPAINT) {
        std::lock_guard<std::mutex> lock(g_lock);
        g_states[hwnd].internal = true;
        WakeOwner(*window);
    }
    if (flags & RDW_VALIDATE) {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = g_states.find(hwnd);
        if (it != g_states.end()) {
            PaintState& state = it->second;
            state.update = Region::Combine(state.update, area, Region::Op::Diff);
            if (flags & RDW_NOERASE)
                state.erase = false;
            if (flags & RDW_NOFRAME)
                state.frame = false;
            if (flags & RDW_NOINTERNALPAINT)
                state.internal = false;
            if (state.update.IsEmpty())
                state.erase = false;
            if (!state.NeedsPaint() && !state.frame)
                g_states.erase(it);
        }
    } else if (flags & RDW_NOINTERNALPAINT) {
        std::lock_guard<std::mutex> lock(g_lock);
        if (auto it = g_states.find(hwnd); it != g_states.end())
            it->second.internal = false;
    }

    const bool children = (flags & RDW_ALLCHILDREN) ||
                          (!(flags & RDW_NOCHILDREN) && !(window->GetStyle() & WS_CLIPCHILDREN));
    if (!children)
        return;
    for (HWND h : window->GetChildren()) {
        auto child = Window::FromHandle(h);
        if (!child || !(child->GetStyle() & WS_VISIBLE))
            continue;
        RECT r = child->GetRect();
        Region childArea = area;
        childArea.Offset(-(r.left + client.left), -(r.top + client.top));
        childArea = Region::Combine(childArea, Region(WindowBounds(*child)), Region::Op::And);
        if (!childArea.IsEmpty())
            Redraw(child, childArea, (flags & ~static_cast<UINT>(RDW_INTERNALPAINT | RDW_NOINTERNALPAINT)) | RDW_FRAME);
    }
}

bool NeedsWork(HWND hwnd, bool paint)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = g_states.find(hwnd);
    if (it == g_states.end())
        return false;
    return paint ? it->second.NeedsPaint() : (it->second.frame || it->second.erase);
}

} // namespace

// Paints the frame and the background now if they are pending.
void EraseNow(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !IsWindowVisible(hwnd))
        return;
    bool frame = false, erase = false;
    Region update;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = g_states.find(hwnd);
        if (it == g_states.end())
            return;
        frame = it->second.frame;
        erase = it->second.erase;
        it->second.frame = false;
        it->second.erase = false;
        update = it->second.update;
        if (!it->second.NeedsPaint())
            g_states.erase(it);
    }
    if (frame)
        SendMessageA(hwnd, WM_NCPAINT, 1, 0);
    if (erase && IsWindow(hwnd)) {
        RECT client = ClientInWindow(*window);
        Region clip = Region::Combine(update, Region(client), Region::Op::And);
        clip.Offset(-client.left, -client.top);
        HDC hdc = MakeWindowDc(hwnd, false, 0, &clip);
        if (hdc) {
            SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
            ReleaseDC(hwnd, hdc);
        }
    }
}

namespace {

void UpdateNow(HWND hwnd, UINT flags)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !IsWindowVisible(hwnd))
        return;
    if (flags & RDW_UPDATENOW) {
        if (NeedsWork(hwnd, true)) {
            SendMessageA(hwnd, WM_PAINT, 0, 0);
            FinishPaintDispatch(hwnd);
        } else if (NeedsWork(hwnd, false)) {
            EraseNow(hwnd);
        }
    } else if (flags & RDW_ERASENOW) {
        EraseNow(hwnd);
    }
    if (!IsWindow(hwnd))
        return;
    const bool children = (flags & RDW_ALLCHILDREN) ||
                          (!(flags & RDW_NOCHILDREN) && !(window->GetStyle() & WS_CLIPCHILDREN));
    if (children)
        for (HWND child : window->GetChildren())
            UpdateNow(child, flags);
}

// The area of a call in the window's coordinates: a region or rectangle in
// client coordinates, or the whole window (RDW_FRAME) or client area.
Region CallArea(const Window& window, const RECT* rect, HRGN region, UINT flags)
{
    const RECT client = ClientInWindow(window);
    if (region) {
        auto object = RegionFromHandle(region);
        Region r = object ? object->Get() : Region();
        r.Offset(client.left, client.top);
        return r;
    }
    if (rect) {
        RECT r = *rect;
        OffsetRect(&r, client.left, client.top);
        return Region(r);
    }
    return Region((flags & RDW_FRAME) ? WindowBounds(window) : client);
}

void CollectPaintOrder(HWND hwnd, DWORD threadId, std::vector<HWND>& out)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !(window->GetStyle() & WS_VISIBLE))
        return;
    if (window->GetThreadId() == threadId)
        out.push_back(hwnd);
    for (HWND child : window->GetChildren())
        CollectPaintOrder(child, threadId, out);
}

} // namespace

HWND NextWindowToPaint(DWORD threadId, HWND filter)
{
    std::unordered_set<HWND> pending;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        for (const auto& [hwnd, state] : g_states)
            if (state.NeedsPaint())
                pending.insert(hwnd);
    }
    if (pending.empty())
        return nullptr;
    std::vector<HWND> order;
    for (HWND top : Window::TopLevelWindows())
        CollectPaintOrder(top, threadId, order);
    for (HWND hwnd : order) {
        if (!pending.count(hwnd) || !IsWindowVisible(hwnd))
            continue;
        if (!filter || filter == hwnd || IsChild(filter, hwnd))
            return hwnd;
    }
    return nullptr;
}

bool ThreadNeedsPaint(DWORD threadId)
{
    return NextWindowToPaint(threadId, nullptr) != nullptr;
}

void ForgetPaintState(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_lock);
    Forget(hwnd);
}

void InvalidateNonClient(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || window->IsDesktop() || !IsWindowVisible(hwnd))
        return;
    Region frame = Region::Combine(Region(WindowBounds(*window)), Region(ClientInWindow(*window)), Region::Op::Diff);
    if (frame.IsEmpty())
        return;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        PaintState& state = g_states[hwnd];
        state.update = Region::Combine(state.update, frame, Region::Op::Or);
        state.frame = true;
    }
    WakeOwner(*window);
}

void FinishPaintDispatch(HWND hwnd)
{
    if (NeedsWork(hwnd, false))
        EraseNow(hwnd);
}

bool TakeUpdate(HWND hwnd, Region* clientArea, bool* erase, bool* frame)
{
    auto window = Window::FromHandle(hwnd);
    if (!window)
        return false;
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = g_states.find(hwnd);
    if (it == g_states.end()) {
        *clientArea = Region();
        *erase = *frame = false;
        return true;
    }
    const RECT client = ClientInWindow(*window);
    *clientArea = Region::Combine(it->second.update, Region(client), Region::Op::And);
    clientArea->Offset(-client.left, -client.top);
    *erase = it->second.erase;
    *frame = it->second.frame;
    g_states.erase(it);
    return true;
}

} // namespace tavrin::win

using tavrin::Region;
using tavrin::win::Window;

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags)
{
    if (!hwnd || tavrin::win::IsDesktopHandle(hwnd)) {
        // The desktop stands for every top-level window.
        for (HWND top : Window::TopLevelWindows())
            if (IsWindowVisible(top))
                RedrawWindow(top, nullptr, nullptr, flags | RDW_FRAME);
        return TRUE;
    }
    auto window = Window::FromHandle(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!IsWindowVisible(hwnd))
        return TRUE; // hidden windows collect nothing: showing repaints them whole
    Region area = tavrin::win::CallArea(*window, rect, region, flags);
    tavrin::win::Redraw(window, area, flags);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        if (window->GetThreadId() == GetCurrentThreadId())
            tavrin::win::UpdateNow(hwnd, flags);
    }
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase)
{
    return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hwnd, HRGN region)
{
    return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND hwnd)
{
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase)
{
    auto window = Window::FromHandle(hwnd);
    auto object = tavrin::RegionFromHandle(region);
    if (!window || !object)
        return ERROR;
    if (erase)
        tavrin::win::EraseNow(hwnd);
    Region update;
    {
        std::lock_guard<std::mutex> lock(tavrin::win::g_lock);
        auto it = tavrin::win::g_states.find(hwnd);
        if (it != tavrin::win::g_states.end()) {
            RECT client = tavrin::win::ClientInWindow(*window);
            update = Region::Combine(it->second.update, Region(client), Region::Op::And);
            update.Offset(-client.left, -client.top);
        }
    }
    object->Get() = update;
    return update.Kind();
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    int kind = GetUpdateRgn(hwnd, region, erase);
    RECT bounds{0, 0, 0, 0};
    if (kind != ERROR)
        GetRgnBox(region, &bounds);
    DeleteObject(region);
    if (rect)
        *rect = bounds;
    return kind != ERROR && kind != NULLREGION ? TRUE : FALSE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    auto window = Window::FromHandle(hwnd);
    if (!window || !paint) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    *paint = PAINTSTRUCT{};
    tavrin::win::HideCaretForPaint(hwnd);
    Region area;
    bool erase = false, frame = false;
    tavrin::win::TakeUpdate(hwnd, &area, &erase, &frame);
    if (frame)
        SendMessageA(hwnd, WM_NCPAINT, 1, 0);
    if (!IsWindow(hwnd))
        return nullptr;
    HDC hdc = tavrin::win::MakeWindowDc(hwnd, false, 0, &area);
    paint->hdc = hdc;
    paint->rcPaint = area.Bounds();
    paint->fErase = TRUE;
    if (erase && hdc)
        paint->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) ? FALSE : TRUE;
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
    tavrin::win::ShowCaretAfterPaint(hwnd);
    if (!paint || !paint->hdc)
        return FALSE;
    ReleaseDC(hwnd, paint->hdc);
    return TRUE;
}

HBRUSH GetSysColorBrush(int index)
{
    if (index < 0 || index > COLOR_MENUBAR)
        return nullptr;
    static std::mutex lock;
    static std::unordered_map<int, std::pair<COLORREF, HBRUSH>>* brushes =
        new std::unordered_map<int, std::pair<COLORREF, HBRUSH>>;
    std::lock_guard<std::mutex> guard(lock);
    COLORREF color = GetSysColor(index);
    auto it = brushes->find(index);
    if (it != brushes->end() && it->second.first == color)
        return it->second.second;
    // A new colour gets a new stock brush; the old one stays valid for
    // whoever still holds it.
    HBRUSH brush = CreateSolidBrush(color);
    if (auto object = tavrin::GdiHandles::Lookup(brush))
        object->MarkStock();
    (*brushes)[index] = {color, brush};
    return brush;
}
