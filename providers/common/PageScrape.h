// Pattern searches over the providers' pages. A NUL byte in a page counts as
// a blank, so a stray one never hides the rest of the page. Patterns are
// Perl-style with "." matching line ends; a search that the regex engine
// gives up on (a hostile page making it too complex) counts as no match.
#pragma once

#include "platform/base/Array.h"
#include "platform/base/String.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

enum class Case { Sensitive, Insensitive };

// A reply's bytes as the text of a page, every NUL a blank.
CString PageText(const CByteArray& reply);

// Groups 0 (the whole match) to n of the first match; false when none.
bool SearchFirst(const CString& text, const char* pattern, Case letterCase, std::vector<CString>& groups);
// Group 1 of the first match, or an empty text.
CString FirstGroup(const CString& text, const char* pattern, Case letterCase);
// The whole text of every match, in order, each search starting at the end
// of the previous match.
std::vector<CString> AllMatches(const CString& text, const char* pattern, Case letterCase);

// Text to be matched literally inside a pattern.
std::string RegexLiteral(std::string_view text);

} // namespace tavrin
