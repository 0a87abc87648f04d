#include "platform/win/WindowSurface.h"

#include "platform/gdi/ResizableSurface.h"
#include "platform/win/Presenter.h"
#include "platform/win/SystemMetrics.h"
#include "platform/win/WindowGeometry.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace tavrin::win {

namespace {

struct Entry {
    ResizableSurface surface;
    LayeredState layered;
    bool shown = false; // as the presenter knows it
};

std::mutex g_lock;
std::unordered_map<HWND, Entry> g_entries;
std::shared_ptr<Surface> g_screen;

SIZE WindowSize(HWND hwnd)
{
    RECT r;
    if (!GetWindowRect(hwnd, &r))
        return SIZE{0, 0};
    return SIZE{std::max<LONG>(0, r.right - r.left), std::max<LONG>(0, r.bottom - r.top)};
}

bool IsWindowVisibleNow(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && (window->GetStyle() & WS_VISIBLE);
}

bool IsTopLevelWindow(HWND hwnd)
{
    auto window = Window::FromHandle(hwnd);
    return window && !window->IsDesktop() && !window->IsMessageOnly() && !(window->GetStyle() & WS_CHILD);
}

} // namespace

std::shared_ptr<Surface> GetWindowSurface(HWND topLevel)
{
    if (!IsTopLevelWindow(topLevel))
        return nullptr;
    SIZE size = WindowSize(topLevel);
    if (size.cx <= 0 || size.cy <= 0)
        return nullptr;
    std::lock_guard<std::mutex> lock(g_lock);
    // The old pixels stay at the top left.
    return g_entries[topLevel].surface.Resize(size.cx, size.cy);
}

void SyncWindowSurface(HWND topLevel)
{
    if (!IsTopLevelWindow(topLevel))
        return;
    const bool visible = IsWindowVisibleNow(topLevel);
    bool known, wasShown;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        Entry& entry = g_entries[topLevel];
        known = entry.surface.Get() != nullptr;
        wasShown = entry.shown;
        entry.shown = visible;
    }
    if (known)
        GetWindowSurface(topLevel);
    auto& presenter = tavrin::display::GetPresenter();
    if (visible && !wasShown)
        presenter.WindowShown(topLevel);
    else if (!visible && wasShown)
        presenter.WindowHidden(topLevel);
    else
        presenter.WindowChanged(topLevel);
}

void NotifyDamage(HWND topLevel, const RECT& area)
{
    std::shared_ptr<Surface> surface;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        auto it = g_entries.find(topLevel);
        if (it == g_entries.end() || !it->second.surface.Get())
            return;
        surface = it->second.surface.Get();
    }
    tavrin::display::GetPresenter().SurfaceDamaged(topLevel, *surface, area);
}

void ForgetWindowSurface(HWND hwnd)
{
    bool known;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        known = g_entries.erase(hwnd) != 0;
    }
    if (known || IsTopLevelWindow(hwnd))
        tavrin::display::GetPresenter().WindowDestroyed(hwnd);
}

std::shared_ptr<Surface> GetScreenSurface()
{
    const int width = std::max(1, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const int height = std::max(1, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_screen || g_screen->Width() != width || g_screen->Height() != height)
        g_screen = std::shared_ptr<Surface>(Surface::Create(width, height));
    return g_screen;
}

LayeredState GetLayeredState(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_lock);
    auto it = g_entries.find(hwnd);
    return it == g_entries.end() ? LayeredState() : it->second.layered;
}

void SetLayeredState(HWND hwnd, const LayeredState& state)
{
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_entries[hwnd].layered = state;
    }
    tavrin::display::GetPresenter().WindowChanged(hwnd);
}

} // namespace tavrin::win
