// The GTK presenter's own parts beside its windows: the desktop's message box
// and file chooser, the tray view, and icons as GDK images.
#pragma once

#include "platform/gdi/Icon.h"

typedef struct _GdkPixbuf GdkPixbuf;

namespace tavrin::display::gtk {

// Makes the GTK message box and file chooser the defaults.
void InstallDialogs();
// Presses the button of the newest open dialog that answers so.
bool AnswerOpenDialog(int answer);
// Makes a GTK status icon the tray view; watches the desktop's tray.
void InstallTray();
// A new RGBA image of the icon (straight alpha); null when empty.
GdkPixbuf* PixbufFromIcon(const Icon& icon);

} // namespace tavrin::display::gtk
