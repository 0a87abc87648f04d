// Presenters show the window manager's top-level windows somewhere: nowhere
// but in memory (headless, the default and what tests use) or as real windows
// on the desktop (GTK). The window manager reports to the installed presenter
// on the window's own thread; the presenter feeds real input back into the
// queues through the synthetic-input path.
#pragma once

#include "platform/base/Types.h"

#include <string>

namespace tavrin {
class Surface;
}

namespace tavrin::display {

class Presenter {
public:
    virtual ~Presenter() = default;

    // A top-level window became visible, was hidden, or is being destroyed.
    virtual void WindowShown(HWND hwnd) = 0;
    virtual void WindowHidden(HWND hwnd) = 0;
    virtual void WindowDestroyed(HWND hwnd) = 0;
    // Its rectangle, styles, text, z-order or region changed.
    virtual void WindowChanged(HWND hwnd) = 0;
    // It became the foreground window (the desktop should raise and focus it).
    virtual void WindowActivated(HWND) {}
    // The user pressed a size grip: the desktop resizes the window from the
    // edge (HTBOTTOMRIGHT...) while the button stays down. False when it cannot.
    virtual bool BeginResize(HWND, int /*edge*/, POINT /*screen*/) { return false; }
    // The display's bell (MessageBeep).
    virtual void Bell() {}
    // Painted pixels are ready: the part of the window's surface (window
    // coordinates) to show.
    virtual void SurfaceDamaged(HWND hwnd, const Surface& surface, const RECT& damage) = 0;

    // Clipboard text, GBK. False when there is none or it cannot be reached.
    virtual bool SetClipboardText(const std::string& gbk) = 0;
    virtual bool GetClipboardText(std::string& gbk) = 0;
};

// The installed presenter; the headless one unless another was installed.
Presenter& GetPresenter();
// null restores the headless presenter. The caller keeps ownership.
void InstallPresenter(Presenter* presenter);

} // namespace tavrin::display
