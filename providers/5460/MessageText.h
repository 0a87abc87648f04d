// Small text rules of the 5460 message board shared by its update, search,
// pages and posting.
#pragma once

#include "platform/base/String.h"
#include "providers/common/Highlight.h"

namespace tavrin::p5460 {

// Joins a message's own value with the values of its replies.
inline constexpr char kReplySeparator[] = "`|";

// The message's own value of a joined field (trimmed, as SplitString gives it).
CString FirstPiece(const CString& joined);

} // namespace tavrin::p5460

#include <vector>

namespace tavrin::p5460 {

// The words of a search text (providers/common/Highlight.h).
using tavrin::SplitWords;

} // namespace tavrin::p5460

#include "providers/common/MessagePictures.h"

#include <string_view>

namespace tavrin::p5460 {

// The link a photo notice's picture gets (providers/common/MessagePictures.h).
using tavrin::IsPhotoLinkAddress;
using tavrin::PhotoLink;

// Remote HTML cleaned as the last step before it enters a page: each value of
// a joined field on its own, admitting what our own rewrites add (local
// picture addresses, the photo link, the search highlight) and nothing else.
CString SanitizeForPage(const CString& joined);

} // namespace tavrin::p5460
