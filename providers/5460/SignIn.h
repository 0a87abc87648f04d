// The pieces of the 5460 sign-in that do not need the account: the host rule,
// the cookie reuse rule, the sign-in form and the reading of a refusal.
#pragma once

#include "platform/base/String.h"
#include "providers/common/Session.h"


namespace tavrin::p5460 {

inline constexpr char kLoginPath[] = "/gy5460/jsp/login/login.jsp";
inline constexpr char kLoginSuccess[] = "<title>5460中国同学录欢迎您</title>";

// The second web host for accounts of the type "5460(网通用户)", the first
// for every other.
const char* WebHost(const CString& provider);
// "http://" host path, for a path that begins with '/'.
CString PageUrl(const CString& provider, const char* path);

// The sign-in form, user name and password URL-encoded.
CString LoginForm(const CString& userName, const CString& password);

// Whether a reply signed in: cookies came and the welcome page's title.
bool IsSignedIn(const CString& cookies, const CString& page);
// The log line for a reply that did not sign in: the first refusal text the
// page holds, or the read error.
const char* RefusalLogLine(const CString& page);

} // namespace tavrin::p5460
