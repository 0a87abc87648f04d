// The window system in one include: windows and classes, messages, geometry
// and placement, focus, capture, input, cursors, caret, hooks, painting,
// scroll bars, clipboard, dialogs, layered windows, the system profile, the
// optional-library lookup, resources, menus, popup menus, accelerators and
// the menu key.
#pragma once

#include "platform/win/Accelerator.h"
#include "platform/win/Capture.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursor.h"
#include "platform/win/Dialog.h"
#include "platform/win/Focus.h"
#include "platform/win/Hooks.h"
#include "platform/win/Input.h"
#include "platform/win/LayeredWindow.h"
#include "platform/win/Menu.h"
#include "platform/win/MenuKey.h"
#include "platform/win/MessageBox.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/Painting.h"
#include "platform/win/PopupMenu.h"
#include "platform/win/Resource.h"
#include "platform/win/ResourceImage.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/SystemProfile.h"
#include "platform/win/Timer.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowPos.h"
#include "platform/win/WindowQuery.h"
