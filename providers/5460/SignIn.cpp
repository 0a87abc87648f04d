#include "providers/5460/SignIn.h"

#include "core/services/TextUtil.h"
#include "providers/5460/site.h"

namespace tavrin::p5460 {

const char* WebHost(const CString& provider)
{
    return provider == "5460(网通用户)" ? kWebHost2 : kWebHost1;
}

CString PageUrl(const CString& provider, const char* path)
{
    CString url = "http://";
    url += WebHost(provider);
    url += path;
    return url;
}

CString LoginForm(const CString& userName, const CString& password)
{
    CString form;
    form.Format("username=%s&passwd=%s&autologin=1&txlHref=/jsp/login/loginMain.jsp", UrlEncode(userName),
                UrlEncode(password));
    return form;
}

bool IsSignedIn(const CString& cookies, const CString& page)
{
    return !cookies.IsEmpty() && page.Find(kLoginSuccess) >= 0;
}

const char* RefusalLogLine(const CString& page)
{
    static const struct {
        const char* text;
        const char* line;
    } refusals[] = {
        {"密码错误，请重新输入", "[登录]密码错误, 请重新输入."},
        {"用户名不存在，请重新输入", "[登录]用户名不存在, 请重新输入."},
        {"为保证系统安全，请30分钟后再来！", "[登录]连续输错帐号, 请30分钟后再登录."},
    };
    for (const auto& r : refusals)
        if (page.Find(r.text) >= 0)
            return r.line;
    return "[登录]读取网页错误, 登录失败.";
}

} // namespace tavrin::p5460
