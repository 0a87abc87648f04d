// Remote HTML (message and comment texts) is cleaned before it is stored into
// a local page. An allowlist decides: text formatting, fonts, line breaks,
// paragraphs, lists, tables, links and images pass; every other element is
// dropped (script, style and the like together with their content) and so is
// every attribute not on the list, in any letter case. Links and images keep
// only http, https and relative addresses. The layout of what stays is kept
// byte for byte (quotes, spaces, letter case), so that the scrapers'
// expressions still match the cleaned text; the program's own local and
// "tavrin:" references are added after this step.
#pragma once

#include "platform/base/String.h"

namespace tavrin {

CString SanitizeHtml(const CString& html);

} // namespace tavrin
