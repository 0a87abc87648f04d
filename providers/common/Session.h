// What every provider's sign-in and requests share: when a stored cookie is
// reused, and how a client is aimed at the configured proxy.
#pragma once

#include "platform/base/String.h"

#include <cstdint>

class CAccount;
class CHttpClient;

namespace tavrin {

// A cookie is reused while it is at most this many whole minutes old.
inline constexpr int64_t kCookieReuseMinutes = 45;
// A cookie dated further ahead than this (a clock set back since) is stale.
inline constexpr int64_t kCookieFutureSeconds = 5 * 60;

// Whether the stored cookie is reused without a request: not empty, at most
// 45 whole minutes old and not more than 5 minutes in the future. Times in
// seconds since 1970.
bool IsCookieFresh(const CString& cookie, int64_t cookieTime, int64_t now);

// The reuse of a fresh cookie at the start of every sign-in: when the
// account's cookie is fresh, the client carries exactly it and true comes
// back; nothing else is touched.
bool ReuseFreshCookie(CAccount& account, CHttpClient& client);

// The proxy of configuration keys 12 to 15, with the use switch on.
void ApplyConfiguredProxy(CHttpClient& client);

// Characters as the providers count them: the UTF-16 units of the text
// converted from the ANSI code page, so a GBK character counts one.
int CharacterCount(const CString& text);

} // namespace tavrin
