#include "providers/common/ProviderUrl.h"

#include "platform/base/Url.h"

#include <cctype>
#include <string>
#include <string_view>

namespace tavrin {

bool IsProviderUrl(const CString& url, std::initializer_list<const char*> hosts)
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
    for (const char* name : hosts)
        known = known || host == name;
    if (!known)
        return false;
    // The HTTP client must reach that very host: it reads a backslash as part
    // of the authority, so "http://host\@evil/" goes to "evil", and
    // "http://host::80/" to a host named "host:".
    DWORD service = 0;
    CString server;
    CString object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(url, service, server, object, port))
        return false;
    server.MakeLower();
    return withoutRootDot(server.Str()) == host;
}

} // namespace tavrin
