// What the GTK presenter offers the WebKit engine: native widgets placed over
// a window's client rectangle inside the GTK window of its top-level window.
// Only the GTK presenter's and the WebKit engine's sources include this.
#pragma once

#include "platform/base/Types.h"

typedef struct _GtkWidget GtkWidget;

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

} // namespace tavrin::display::gtk
