#include "providers/chinaren/SignIn.h"

#include "core/services/TextUtil.h"
#include "providers/chinaren/site.h"
#include "providers/common/ProviderUrl.h"

namespace tavrin::chinaren {

CString PassportUrl()
{
    CString url;
    url.Format("http://%s%s", kPassportHost, kLoginPath);
    return url;
}

CString ReturnAddress()
{
    CString address;
    address.Format("http://%s/urs/setcookie.jsp?burl=http://%s/index.jsp", kProfileHost, kClassHost);
    address.Replace(":", "%3A");
    address.Replace("/", "%2F");
    address.Replace("?", "%3F");
    address.Replace("=", "%3D");
    return address;
}

CString LoginForm(const CString& userName, const CString& password, bool sohu)
{
    // The user name is encoded like the password: a '&' or '=' in it would
    // otherwise add fields of its own.
    const CString user = UrlEncode(userName);
    CString form;
    form.Format("loginid=%s@%s&ru=%s&appid=1005&fl=1&vr=1%%7C1&ct=1118324909&sg=5e0c7a91d2b84f36a0c1e9d7b3f62a58"
                "&uid=%s&utype=0&passwd=%s",
                user, sohu ? kSohuMailDomain : kMailDomain, ReturnAddress(), user, UrlEncode(password));
    return form;
}

bool IsChinaRenUrl(const CString& url)
{
    return IsProviderUrl(url, {kPassportHost, kProfileHost, kClassHost, kVerifyHost, kAlbumHost, kAlbumDataHost,
                               kImageHost, kSohuImageHost});
}

} // namespace tavrin::chinaren
