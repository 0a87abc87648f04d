#include "providers/5460/PhotoText.h"

#include "platform/base/Url.h"
#include "providers/5460/site.h"
#include "providers/common/NumericId.h"

#include <cctype>
#include <string>
#include <string_view>

namespace tavrin::p5460 {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

CString FullUploadTime(const CString& shown)
{
    if (shown.GetLength() < 2 || !IsDigit(shown[0]) || !IsDigit(shown[1]))
        return shown;
    int year = (shown[0] - '0') * 10 + (shown[1] - '0');
    return (year > 50 ? "19" : "20") + shown;
}

CString PhotoFileName(const CString& id, const CString& url)
{
    if (!IsNumericId(id))
        return CString();
    int dot = url.ReverseFind('.');
    if (dot < 0)
        return id;
    CString extension = url.Mid(dot + 1);
    if (extension.IsEmpty() || extension.GetLength() > 5)
        return id;
    for (int i = 0; i < extension.GetLength(); ++i)
        if (!IsAlnum(extension[i]))
            return id;
    return id + "." + extension;
}

CString DetailPlaceholder(const CString& status)
{
    return "../../../../styles/5460/default/images/" + status + ".png";
}

CString ThumbnailPlaceholder(const CString& status)
{
    return "../../../../styles/5460/default/images/s_" + status + ".png";
}

} // namespace tavrin::p5460

namespace tavrin::p5460 {

bool IsProviderUrl(const CString& url)
{
    static constexpr std::string_view kScheme = "http://";
    std::string_view text = url.View();
    if (text.size() < kScheme.size())
        return false;
    for (size_t i = 0; i < kScheme.size(); ++i)
        if (static_cast<char>(std::tolower(static_cast<unsigned char>(text[i]))) != kScheme[i])
            return false;
    text.remove_prefix(kScheme.size());
    std::string_view authority = text.substr(0, text.find_first_of("/?#\\"));
    // "user@host" would put a provider's name in front of another host.
    if (authority.find('@') != std::string_view::npos)
        return false;
    std::string host(authority.substr(0, authority.find(':')));
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // One trailing dot names the same host.
    auto withoutRootDot = [](std::string name) {
        if (!name.empty() && name.back() == '.')
            name.pop_back();
        return name;
    };
    host = withoutRootDot(host);
    bool known = false;
    for (const char* name : {kWebHost1, kWebHost2, kUploadHost, kImageHost})
        known = known || host == name;
    if (!known)
        return false;
    // The HTTP client must reach that very host: it reads a backslash as part
    // of the authority, so "http://www.5460.net\@evil/" goes to "evil", and
    // "http://www.5460.net::80/" to a host named "www.5460.net:".
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, server, object, port))
        return false;
    server.MakeLower();
    return withoutRootDot(server.Str()) == host;
}

} // namespace tavrin::p5460
