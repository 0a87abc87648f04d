// Escaping of values for the context of a generated page. All are GBK-aware:
// the second byte of a double-byte character is never taken for a quote,
// backslash or bracket, and a lead byte without a valid second byte becomes
// '?' so that it cannot swallow the character after it.
#pragma once

#include "platform/base/String.h"

namespace tavrin {

// For the inside of a script string literal in single or double quotes:
// backslash, both quotes, line breaks and other control characters become
// escapes, and '<' and '>' become \x3C and \x3E so that the value can never
// end the script element.
CString EscapeScriptString(const CString& text);

// For HTML text and quoted attribute values: & < > " '.
CString EscapeHtml(const CString& text);

// For one component of a URL: every byte but ASCII letters, digits and
// "-_.~" as %XX.
CString EscapeUrl(const CString& text);

} // namespace tavrin
