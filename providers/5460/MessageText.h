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
