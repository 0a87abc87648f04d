// Remote HTML (message and comment texts) is cleaned before it is stored into
// a local page. An allowlist decides: text formatting, fonts, line breaks,
// paragraphs, lists, tables, links and images pass; every other element is
// dropped (script, style and the like together with their content) and so is
// every attribute not on the list, in any letter case. Links and images keep
// only http, https and relative addresses. The layout of what stays is kept
// byte for byte (quotes, spaces, letter case), so that the scrapers'
// expressions still match the cleaned text. It runs again as the last step
// before remote HTML enters a page, after every rewrite of ours, and is
// idempotent.
#pragma once

#include "platform/base/String.h"

#include <string_view>

namespace tavrin {

// A link address that one of our own rewrites adds (a "tavrin:" link, say),
// as the raw attribute value; admitted on a link's href besides http, https
// and relative addresses.
using OwnLinkTest = bool (*)(std::string_view href);

CString SanitizeHtml(const CString& html, OwnLinkTest ownLink = nullptr);

} // namespace tavrin
