// Small text rules of the 5460 message board shared by its update, search,
// pages and posting.
#pragma once

#include "platform/base/String.h"

namespace tavrin::p5460 {

// Joins a message's own value with the values of its replies.
inline constexpr char kReplySeparator[] = "`|";

// The message's own value of a joined field (trimmed, as SplitString gives it).
CString FirstPiece(const CString& joined);

// Characters of a text as the provider counts them: a Chinese character is
// one, not two.
int CharacterCount(const CString& text);

} // namespace tavrin::p5460

#include <vector>

namespace tavrin::p5460 {

// The words of a search text: runs of white space separate them; no word is
// empty.
std::vector<CString> SplitWords(const CString& text);

} // namespace tavrin::p5460

#include <string_view>

namespace tavrin::p5460 {

// The link a photo notice's picture gets: a "tavrin:" address that names the
// class photo by its id, around the picture's tag.
CString PhotoLink(const CString& photoId, const CString& tag);
// Whether href is the address of such a link with a numeric photo id.
bool IsPhotoLinkAddress(std::string_view href);

// Remote HTML cleaned as the last step before it enters a page: each value of
// a joined field on its own, admitting what our own rewrites add (local
// picture addresses, the photo link, the search highlight) and nothing else.
CString SanitizeForPage(const CString& joined);

} // namespace tavrin::p5460
