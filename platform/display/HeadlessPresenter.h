// The presenter of tests: shows nothing, remembers what it was told, keeps a
// clipboard of its own, and keeps each shown window's latest pixels so a test
// can save them as PNG.
#pragma once

#include "platform/win/Presenter.h"
#include "platform/gdi/ResizableSurface.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace tavrin::display {

class HeadlessPresenter final : public Presenter {
public:
    void WindowShown(HWND hwnd) override;
    void WindowHidden(HWND hwnd) override;
    void WindowDestroyed(HWND hwnd) override;
    void WindowChanged(HWND hwnd) override;
    void SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage) override;
    bool SetClipboardText(const std::string& gbk) override;
    bool GetClipboardText(std::string& gbk) override;

    bool IsShown(HWND hwnd) const;
    // The pixels last pushed for the window; null when none.
    const Surface* GetPixels(HWND hwnd) const;
    // Saves them as PNG (UTF-8 path); false when there are none.
    bool SavePng(HWND hwnd, const char* path) const;
    // The damage rectangles reported since the last call.
    std::vector<RECT> TakeDamage(HWND hwnd);

private:
    mutable std::mutex m_lock;
    std::set<HWND> m_shown;
    std::map<HWND, ResizableSurface> m_pixels;
    std::map<HWND, std::vector<RECT>> m_damage;
    std::string m_clipboard;
    bool m_hasClipboard = false;
};

// The default presenter.
HeadlessPresenter& GetHeadlessPresenter();

} // namespace tavrin::display
