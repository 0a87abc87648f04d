// The 5460 class pages carry their lists in a text area.
#pragma once

#include "platform/base/String.h"

namespace tavrin::p5460 {

// The content of the first "<textarea ...>...</textarea>" of page, tags in
// any letter case; false when the page has none.
bool ExtractTextArea(const CString& page, CString& data);

} // namespace tavrin::p5460
