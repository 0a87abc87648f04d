#include "providers/chinaren/AccountChinaRen.h"

#include "core/model/MessageStore.h"
#include "core/model/SchoolClass.h"
#include "providers/chinaren/AuthCode.h"
#include "providers/chinaren/SchoolClassChinaRen.h"
#include "providers/chinaren/SignIn.h"
#include "providers/common/PageScrape.h"
#include "providers/common/Session.h"

#include <mutex>

using namespace tavrin::chinaren;

namespace {

CString BodyText(const CByteArray& bytes)
{
    return CString(reinterpret_cast<const char*>(bytes.GetData()), static_cast<int>(bytes.GetSize()));
}

} // namespace

int CAccountChinaRen::Login(CHttpClient* client, CString* page)
{
    if (!client)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(m_loginLock);

    if (tavrin::ReuseFreshCookie(*this, *client))
        return 1;

    Log("[登录]开始登录...");
    const CString form = LoginForm(GetUserName(), GetPassword(), IsSohuKind(GetProvider()));
    // The client's stop flag stays as it is: a stop given to the operation
    // must end it even when a stale cookie makes it sign in halfway. The
    // passport's own cookie is not the account's: only the cookies of the
    // sign-in script are kept.
    client->ClearCookies();
    client->SetAcceptCookies(FALSE);
    CByteArray reply;
    if (!client->Request(PassportUrl(), form, reply, "") || client->IsStopped()) {
        Log("[登录]网络错误, 登录失败.");
        return 0;
    }
    const CString text = BodyText(reply);
    if (page)
        *page = text;

    if (text.Find(kLoginSuccess) < 0) {
        Log(text.Find(kLoginRefused) >= 0 ? "[登录]用户名密码错误, 登录失败." : "[登录]读取网页错误, 登录失败.");
        return 0;
    }
    std::vector<CString> groups;
    if (!tavrin::SearchFirst(text, kLocationPattern, tavrin::Case::Sensitive, groups) || groups.size() < 2) {
        Log("[登录]网络错误, 登录失败.");
        return 0;
    }
    // The sign-in script answers with a redirect that carries the class
    // site's cookie; the redirect itself is not followed.
    client->SetFollowRedirects(FALSE);
    client->SetAcceptCookies(TRUE);
    CByteArray ignored;
    const BOOL ok = client->Request(groups[1], "", ignored, "");
    const CString cookies = client->GetCookies();
    if (!ok || client->IsStopped() || cookies.IsEmpty()) {
        Log("[登录]网络错误, 登录失败.");
        client->SetAcceptCookies(FALSE);
        return 0;
    }
    SetCookieTime(CTime::GetCurrentTime());
    SetCookie(cookies);
    RefreshAuthImages(client);
    Log("[登录]登录结束.");
    client->SetAcceptCookies(FALSE);
    return 1;
}

void CAccountChinaRen::RefreshAuthImages(CHttpClient* client)
{
    AuthRenewal how;
    how.newKey = true;
    how.clearCode = true;
    // The count is read again for every class: the window may delete one.
    for (int i = 0; i < GetClassCount(); ++i)
        RenewAuthImage(*this, GetClassAt(i), kMessageAuthKind, *client, how);
}

CString CAccountChinaRen::GetPrivateFeatureName()
{
    return "小纸条";
}

CSchoolClass* CAccountChinaRen::CreateClass()
{
    return new CSchoolClassChinaRen;
}
