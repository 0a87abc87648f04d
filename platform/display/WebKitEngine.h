// The WebKitGTK engine, placed over its host window by the GTK presenter.
// Link navigations come through the policy decision, posted forms through the
// "tavrin" URI scheme with their body intact. Every decision waits in our
// queue, so the program's handler runs from its own message loop, never from
// inside GLib. The page's mouse buttons and keys go through our queue first:
// the program's PreTranslateMessage sees them on the host window and may
// swallow them; the rest reach the page afterwards.
#pragma once

#include "platform/browser/Browser.h"

#include <functional>
#include <memory>
#include <string>

namespace tavrin::browser {

// Made by the factory the GTK presenter installs.
std::unique_ptr<Engine> CreateWebKitEngine(HWND host);

// For display tests, by host window: whether a page is loading, and a
// script's result as text (done gets it once the page has run it).
bool IsWebKitLoading(HWND host);
bool RunWebKitScript(HWND host, const std::string& utf8Script, std::function<void(const std::string&)> done);

} // namespace tavrin::browser
