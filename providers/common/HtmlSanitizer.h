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

// Markup that one of our own rewrites adds to remote HTML and that the
// allowlist admits besides its own: link addresses (as OwnLinkTest), an
// element not on the list, and attributes in quotes (or unquoted plain
// tokens of letters, digits, '-' and '_'), each tested with the lower-case
// tag and attribute names and the raw value. An element admitted this way
// keeps only the attributes that attribute admits.
struct OwnMarkup {
    OwnLinkTest link = nullptr;
    bool (*element)(std::string_view tag) = nullptr;
    bool (*attribute)(std::string_view tag, std::string_view attribute, std::string_view value) = nullptr;
};

CString SanitizeHtml(const CString& html, const OwnMarkup& own);

} // namespace tavrin
