// The search words of the providers' message boards and their marking in a
// rendered message, and the separator of a message template's items.
#pragma once

#include "platform/base/String.h"

#include <vector>

namespace tavrin {

// The words of a search text: runs of white space separate them; no word is
// empty.
std::vector<CString> SplitWords(const CString& text);

// Marks every occurrence of the words with "<font color=red><b>" and
// "</b></font>" in one pass: in HTML only outside tags (a '>' inside a
// quoted value does not end a tag); in a title, which has no tags, its
// brackets become text. The earlier word wins where two start at one place.
CString HighlightWords(const CString& input, const std::vector<CString>& words, bool title);

// The separator of a template's items: the text of the first comment inside
// the region between start and end.
bool FindSeparator(const CString& page, const char* start, const char* end, CString& separator);

} // namespace tavrin
