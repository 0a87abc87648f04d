#include "providers/common/ProfilePage.h"

#include "core/model/Account.h"
#include "core/model/ModelEvents.h"
#include "core/services/FolderUtil.h"
#include "platform/base/AtomicWrite.h"
#include "platform/base/Time.h"
#include "platform/win/WinMessage.h"
#include "providers/common/PageTemplate.h"
#include "providers/common/Session.h"

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

void BeginProfileRun(CAccount& account, CHttpClient& client, const char* line, const char* status)
{
    account.Log(line);
    if (WriteProfileStatus(account.GetDataFolder(), status))
        PostAccountEvent(&account, 4);
    ApplyConfiguredProxy(client);
    // A closing account keeps the stop that its teardown set.
    if (!account.IsClosing())
        client.ResetStop();
    client.ClearCookies();
    client.AddCookie(account.GetCookie());
}

bool WriteReadProfile(CAccount& account, bool usable, const CString& page)
{
    if (usable && WriteProfilePage(account.GetDataFolder(), page)) {
        account.Log("[个人档案]读取结束.");
        return true;
    }
    account.Log("[个人档案]未知错误, 读取失败.");
    return false;
}

void EndProfileRead(CAccount& account, bool read)
{
    if (!read)
        WriteProfileStatus(account.GetDataFolder(), "个人档案读取失败.");
    PostAccountEvent(&account, 2);
}

void EndProfileUpdate(CAccount& account, bool updated)
{
    if (!updated && WriteProfileStatus(account.GetDataFolder(), "个人档案更新失败."))
        PostAccountEvent(&account, 4);
    PostAccountEvent(&account, 3);
}

} // namespace tavrin
