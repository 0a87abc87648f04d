// The GTK presenter: every top-level window of ours is a GTK window showing
// its surface (popups and tool windows as override-redirect windows placed
// in screen coordinates, frames with the desktop's decorations); real mouse,
// keyboard and IME input goes into our queues through the synthetic-input
// path; GLib's main loop runs inside our message waits on the thread that
// started the presenter (the UI thread). Starting it also installs the WebKit
// engine for new browsers, the desktop's screen and work area in the system
// profile, and the desktop's clipboard, tray, message box and file chooser.
#pragma once

#include "platform/win/Presenter.h"
#include "platform/gdi/Surface.h"

#include <memory>
#include <string>

namespace tavrin::display {

class GtkPresenter;

// Opens the display; null when there is none. Call on the UI thread, once.
GtkPresenter* StartGtkPresenter();

class GtkPresenter : public Presenter {
public:
    // The pixels the desktop shows of a top-level window's client area (what
    // a screenshot would show, the browser panes included). Null when the
    // window is not on screen.
    virtual std::unique_ptr<Surface> CaptureWindow(HWND hwnd) = 0;
    // Runs GLib's pending events until nothing is pending.
    virtual void Flush() = 0;
    // The X window showing a top-level window of ours; 0 when none.
    virtual unsigned long GetNativeWindow(HWND hwnd) = 0;

    // Desktop input, as the display server delivers it: a click at client
    // coordinates of a top-level window (button 1 left, 3 right), a key by
    // its key name ("a", "F9"), and text an input method commits (UTF-8).
    virtual bool SimulateClick(HWND hwnd, int x, int y, int button) = 0;
    virtual bool SimulateKey(HWND hwnd, const char* keyName) = 0;
    // A press or a release alone, a pointer move (a drag while a button is
    // down), two clicks in a row, and a key with modifiers held around it.
    virtual bool SimulateButton(HWND hwnd, int x, int y, int button, bool down) = 0;
    virtual bool SimulatePointer(HWND hwnd, int x, int y) = 0;
    virtual bool SimulateDoubleClick(HWND hwnd, int x, int y, int button) = 0;
    enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };
    virtual bool SimulateKey(HWND hwnd, const char* keyName, unsigned modifiers) = 0;
    virtual bool SimulateImeCommit(HWND hwnd, const std::string& utf8) = 0;
    // Presses the button of the newest open message box or file chooser that
    // gives this answer (IDOK...; for the file chooser IDOK or IDCANCEL).
    virtual bool AnswerDialog(int answer) = 0;
};

} // namespace tavrin::display
