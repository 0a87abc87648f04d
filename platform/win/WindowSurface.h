// The pixels of top-level windows: each top-level window owns a surface of
// its window rectangle's size, and its children draw into it. The installed
// presenter (platform/display) is told when top-level windows are shown,
// hidden, changed or destroyed and which parts of their surfaces were painted.
#pragma once

#include "platform/gdi/Surface.h"
#include "platform/win/Window.h"

#include <memory>

namespace tavrin::win {

// The surface of a top-level window (made on first use), or null for child
// windows and windows without size.
std::shared_ptr<Surface> GetWindowSurface(HWND topLevel);
// After the window's size, place, visibility or style changed: a surface of
// the new size keeping the old pixels at the top left; tells the presenter.
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
