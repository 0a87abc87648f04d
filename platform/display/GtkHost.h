// What the GTK presenter offers the WebKit engine and its own dialogs: native
// widgets placed over a window's client rectangle inside the GTK window of its
// top-level window, the keyboard focus between them, the key mapping and the
// modal run of a GTK dialog. Only the GTK sources include this.
#pragma once

#include "platform/base/Types.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

namespace tavrin::display::gtk {

// True once the GTK presenter runs on this process.
bool IsRunning();

// Puts the widget over the host window (a child window of ours). The widget
// follows the host: shown over its client area while the host and its
// top-level window are visible, hidden otherwise. The presenter holds a
// reference until DetachWidget.
void AttachWidget(HWND host, GtkWidget* widget);
void DetachWidget(HWND host);
// The host moved, changed size or visibility.
void PlaceWidget(HWND host);
// The host's widget lost our focus: the keyboard goes back to the window
// system's own surface of its top-level window.
void ReleaseFocus(HWND host);

// The virtual key of a GDK key value; 0 for none.
UINT VirtualKeyFromKeyval(unsigned int keyval);
// A point in the host window's client area, in screen coordinates.
POINT HostToScreen(HWND host, double x, double y);

// The GTK window showing a window of ours (any window: its top-level's), or null.
GtkWindow* GtkWindowOf(HWND hwnd);
// Shows a dialog modal to the owner's top-level window and runs our message
// loop until the dialog answers; the GTK response. A WM_QUIT ends the run
// (and is posted again) with deleteResponse.
int RunDialog(GtkWidget* dialog, HWND owner, int deleteResponse);

} // namespace tavrin::display::gtk
