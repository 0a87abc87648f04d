// The local pages the browser panes show: whether one exists, and the
// program's empty page shown in place of one that does not.
#pragma once

#include "platform/base/String.h"

namespace tavrin::app {

// A file (not a folder) of that program path; false for an empty path.
bool PageFileExists(const CString& path);
// The program folder's "\styles\common\empty.htm".
CString EmptyPagePath();

} // namespace tavrin::app
