// The user's configuration folder, where this user's settings live across
// copies of the program: the registry file, bare-named profile files and the
// single-instance locks. $XDG_CONFIG_HOME/tavrin, by default ~/.config/tavrin.
#pragma once

#include <string>

namespace tavrin::win {

// Native (UTF-8) path of the folder, without a trailing slash.
std::string GetUserConfigFolder();
// Tests point it elsewhere; empty goes back to the default.
void SetUserConfigFolder(const std::string& nativeFolder);
// Creates the folder (and a subfolder of it when given) with owner-only
// access; false with GetLastError set when it cannot be made.
bool EnsureUserConfigFolder(const std::string& sub = "");

} // namespace tavrin::win
