// The pixels of top-level windows: each top-level window owns a surface of
// its window rectangle's size, and its children draw into it. A presenter
// (headless by default: none) is told when top-level windows change and
// which parts of their surfaces were painted.
#pragma once

#include "platform/win/Surface.h"
#include "platform/win/Window.h"

#include <memory>

namespace tavrin::win {

class Presenter {
public:
    virtual ~Presenter() = default;
    // Shown, hidden, moved, resized or restyled: the presenter reads the
    // window's state itself.
    virtual void OnWindowChanged(HWND topLevel) = 0;
    virtual void OnWindowDestroyed(HWND topLevel) = 0;
    // Pixels of the surface changed (surface coordinates).
    virtual void OnWindowDamaged(HWND topLevel, const RECT& area) = 0;
    virtual void OnCursorChanged(HCURSOR cursor) = 0;
};

// Null restores the headless default. The presenter must outlive its use.
void SetPresenter(Presenter* presenter);
Presenter* GetPresenter();

// The surface of a top-level window (made on first use), or null for child
// windows and windows without size.
std::shared_ptr<Surface> GetWindowSurface(HWND topLevel);
// After the window's size changed: a surface of the new size keeping the old
// pixels at the top left; tells the presenter.
void SyncWindowSurface(HWND topLevel);
void NotifyDamage(HWND topLevel, const RECT& area);
void ForgetWindowSurface(HWND hwnd);
// The screen's own surface, for drawing on the desktop window.
std::shared_ptr<Surface> GetScreenSurface();

// How a layered window is shown: per-pixel alpha from its surface (after
// UpdateLayeredWindow), or a constant alpha and a colour key.
struct LayeredState {
    bool perPixelAlpha = false;
    BYTE alpha = 255;
    bool useAlpha = false;
    COLORREF colorKey = 0;
    bool useColorKey = false;
};
LayeredState GetLayeredState(HWND hwnd);
void SetLayeredState(HWND hwnd, const LayeredState& state);

} // namespace tavrin::win
