#include "app/PageFiles.h"

#include "core/services/FolderUtil.h"
#include "platform/base/FileApi.h"

namespace tavrin::app {

bool PageFileExists(const CString& path)
{
    if (path.IsEmpty())
        return false;
    const DWORD attributes = ::GetFileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString EmptyPagePath() { return GetAppDir() + "\\styles\\common\\empty.htm"; }

} // namespace tavrin::app
