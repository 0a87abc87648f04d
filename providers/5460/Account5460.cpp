#include "providers/5460/Account5460.h"
#include "providers/common/PageScrape.h"

#include "providers/5460/SchoolClass5460.h"
#include "providers/5460/SignIn.h"

#include <mutex>

int CAccount5460::Login(CHttpClient* client, CString* page)
{
    if (!client)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(m_loginLock);
    const CString url = tavrin::p5460::PageUrl(GetProvider(), tavrin::p5460::kLoginPath);

    if (tavrin::ReuseFreshCookie(*this, *client))
        return 1;

    Log("[登录]开始登录...");
    const CString form = tavrin::p5460::LoginForm(GetUserName(), GetPassword());
    // The client's stop flag stays as it is: each operation clears it when it
    // readies its client, and a stop given since must end the operation even
    // when a stale cookie makes it sign in again halfway.
    client->ClearCookies();
    client->SetAcceptCookies(TRUE);
    CByteArray reply;
    BOOL ok = client->Request(url, form, reply, "");
    client->SetAcceptCookies(FALSE);
    if (!ok || client->IsStopped()) {
        Log("[登录]网络错误, 登录失败.");
        return 0;
    }
    CString text = tavrin::PageText(reply);
    if (page)
        *page = text;
    const CString cookies = client->GetCookies();
    if (tavrin::p5460::IsSignedIn(cookies, text)) {
        SetCookieTime(CTime::GetCurrentTime());
        SetCookie(cookies);
        Log("[登录]登录结束.");
        return 1;
    }
    Log(tavrin::p5460::RefusalLogLine(text));
    return 0;
}

CString CAccount5460::GetPrivateFeatureName()
{
    return "悄悄话";
}

CSchoolClass* CAccount5460::CreateClass()
{
    return new CSchoolClass5460;
}
