#include "platform/display/HeadlessPresenter.h"

#include "platform/gdi/Png.h"

#include <algorithm>
#include <atomic>

namespace tavrin::display {

namespace {
std::atomic<Presenter*> g_installed{nullptr};
} // namespace

Presenter& GetPresenter()
{
    Presenter* p = g_installed.load(std::memory_order_acquire);
    return p ? *p : GetHeadlessPresenter();
}

void InstallPresenter(Presenter* presenter)
{
    g_installed.store(presenter, std::memory_order_release);
}

HeadlessPresenter& GetHeadlessPresenter()
{
    static HeadlessPresenter* presenter = new HeadlessPresenter;
    return *presenter;
}

void HeadlessPresenter::WindowShown(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_shown.insert(hwnd);
}

void HeadlessPresenter::WindowHidden(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_shown.erase(hwnd);
}

void HeadlessPresenter::WindowDestroyed(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_shown.erase(hwnd);
    m_pixels.erase(hwnd);
    m_damage.erase(hwnd);
}

void HeadlessPresenter::WindowChanged(HWND) {}

void HeadlessPresenter::SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage)
{
    std::lock_guard<std::mutex> guard(m_lock);
    // A window resized keeps what it showed at the top left, as a screen does.
    const std::shared_ptr<Surface>& copy = m_pixels[hwnd].Resize(surface.Width(), surface.Height());
    if (!copy)
        return;
    const LONG left = std::max<LONG>(damage.left, 0), top = std::max<LONG>(damage.top, 0);
    const LONG right = std::min<LONG>(damage.right, surface.Width());
    const LONG bottom = std::min<LONG>(damage.bottom, surface.Height());
    for (LONG y = top; y < bottom; ++y)
        std::copy(surface.Scanline(y) + left, surface.Scanline(y) + right, copy->Scanline(y) + left);
    m_damage[hwnd].push_back(damage);
}

bool HeadlessPresenter::SetClipboardText(const std::string& gbk)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_clipboard = gbk;
    m_hasClipboard = true;
    return true;
}

bool HeadlessPresenter::GetClipboardText(std::string& gbk)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_hasClipboard)
        return false;
    gbk = m_clipboard;
    return true;
}

bool HeadlessPresenter::IsShown(HWND hwnd) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_shown.count(hwnd) != 0;
}

const Surface* HeadlessPresenter::GetPixels(HWND hwnd) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_pixels.find(hwnd);
    return it == m_pixels.end() ? nullptr : it->second.Get().get();
}

bool HeadlessPresenter::SavePng(HWND hwnd, const char* path) const
{
    const Surface* pixels = GetPixels(hwnd);
    return pixels && tavrin::SavePng(*pixels, path);
}

std::vector<RECT> HeadlessPresenter::TakeDamage(HWND hwnd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<RECT> damage;
    damage.swap(m_damage[hwnd]);
    return damage;
}

} // namespace tavrin::display
