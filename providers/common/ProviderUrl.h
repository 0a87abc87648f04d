// The one host check that decides whether a request may carry a provider's
// sign-in cookie.
#pragma once

#include "platform/base/String.h"

#include <initializer_list>

namespace tavrin {

// Whether url is an "http://" address that the HTTP client will send to one
// of hosts (lower-case names): user information ("host@other"), a backslash
// in the authority or a malformed port make it no provider address. Letter
// case of scheme and host, a port and one trailing dot are allowed.
bool IsProviderUrl(const CString& url, std::initializer_list<const char*> hosts);

} // namespace tavrin
