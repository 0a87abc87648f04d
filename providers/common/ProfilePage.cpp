#include "providers/common/ProfilePage.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/services/FolderUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/Time.h"
#include "platform/win/WinMessage.h"
#include "providers/common/PageTemplate.h"

namespace tavrin {

bool WriteProfileStatus(const CString& dataFolder, const char* status)
{
    CString page;
    if (!ReadTemplateFile(GetAppDir() + "\\styles\\common\\profile_status.htm", page))
        return false;
    page.Replace("[当前状态]", status);
    return WriteProfilePage(dataFolder, page);
}

bool WriteProfilePage(const CString& dataFolder, const CString& page)
{
    CreateDirectoryPath(dataFolder);
    return WriteFileAtomic(dataFolder + "\\profile.htm", page.GetString(), static_cast<size_t>(page.GetLength()));
}

CString ProfileReadTime()
{
    const CTime now = CTime::GetCurrentTime();
    CString stamp;
    stamp.Format("%.4d年%.2d月%.2d日 %.2d:%.2d:%.2d", now.GetYear(), now.GetMonth(), now.GetDay(), now.GetHour(),
                 now.GetMinute(), now.GetSecond());
    return stamp;
}

void PostAccountEvent(CAccount* account, WPARAM code)
{
    if (HWND wnd = account ? account->GetNotifyWnd() : nullptr)
        PostMessage(wnd, WM_ACCOUNT_EVENT, code, reinterpret_cast<LPARAM>(account));
}

} // namespace tavrin
