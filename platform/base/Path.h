// The one conversion point between the program's paths (GBK bytes with '\'
// separators, built as "%s\%s") and the file system's (UTF-8 with '/').
// The encoding is converted first: a GBK trail byte can be 0x5C ('\'), so
// replacing separators in the GBK bytes would split characters.
#pragma once

#include "platform/base/String.h"

#include <string>
#include <string_view>

namespace tavrin {

// GBK path -> UTF-8 path with '/'. Empty when the bytes are not valid GBK
// (callers report ERROR_INVALID_NAME).
std::string NativePath(std::string_view gbkPath);

// UTF-8 path with '/' -> GBK path with '\'. Empty when the name cannot be
// written in GBK.
CString ProgramPath(const std::string& native);

// True when the native name survives the trip to a program path and back
// unchanged, i.e. the program can name it.
bool IsProgramName(const std::string& native);

// The folder of the executable in the program's form (GBK, '\', no trailing
// separator): the folder of /proc/self/exe unless a test has set another.
CString GetProgramFolder();
// Replaces the program folder (tests); an empty folder restores the default.
void SetProgramFolder(const CString& gbkFolder);
// The executable's file name (GBK), without folder.
CString GetProgramFileName();

} // namespace tavrin
