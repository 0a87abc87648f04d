// Removal of HTML tags from scraped text. Tags are matched in their all-lower-
// case and all-upper-case forms only; scans step over double-byte characters.
#pragma once

#include "platform/base/String.h"

// Deletes every span from a "<" through the next ">"; a "<" with no ">" after
// it keeps the rest of the text.
void StripHtmlTags(CString& text);

// Removes the opening and closing tags of tag ("<a>": every "</a>" and every
// "<a" through the next ">"), keeping what lies between. "<b>" removes only
// "<b>" itself, never "<br>" or "<body>"; "<input>" has no closing tag.
void RemoveHtmlTags(CString& text, const CString& tag);

// Removes whole elements of tag, content included: from each opening pattern
// through the next closing tag. A tag without closing form removes nothing.
void RemoveHtmlElements(CString& text, const CString& tag);
