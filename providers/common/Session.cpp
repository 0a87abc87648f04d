#include "providers/common/Session.h"

#include "core/model/Account.h"
#include "core/services/Config.h"
#include "core/services/HttpClient.h"
#include "platform/base/CodePage.h"

namespace tavrin {

bool IsCookieFresh(const CString& cookie, int64_t cookieTime, int64_t now)
{
    if (cookie.IsEmpty())
        return false;
    if (cookieTime - now > kCookieFutureSeconds)
        return false;
    // Whole minutes, truncated toward zero.
    return (now - cookieTime) / 60 <= kCookieReuseMinutes;
}

bool ReuseFreshCookie(CAccount& account, CHttpClient& client)
{
    const CString cookie = account.GetCookie();
    if (!IsCookieFresh(cookie, account.GetCookieTime().GetTime(), CTime::GetCurrentTime().GetTime()))
        return false;
    client.ClearCookies();
    client.AddCookie(cookie);
    return true;
}

void ApplyConfiguredProxy(CHttpClient& client)
{
    client.SetProxy(GetConfig(CFG_PROXY_HOST), GetConfig(CFG_PROXY_PORT), CString(), GetConfig(CFG_PROXY_USERNAME),
                    GetConfig(CFG_PROXY_PASSWORD), TRUE);
}

int CharacterCount(const CString& text)
{
    if (text.IsEmpty())
        return 0;
    return MultiByteToWideChar(CP_ACP, 0, text.GetString(), text.GetLength(), nullptr, 0);
}

} // namespace tavrin
