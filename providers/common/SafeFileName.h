// File names made from remote text (the last part of a picture's address,
// an id): the name is used only when every byte is on the whitelist (ASCII
// letters, digits, '-', '_', '.'), it does not begin with '.', and it is at
// most kMaxSafeFileName bytes long. Any other name is replaced by a name
// hashed from the whole text, which keeps a whitelisted extension, so the
// same remote text always gives the same file name.
#pragma once

#include "platform/base/String.h"

namespace tavrin {

inline constexpr int kMaxSafeFileName = 100;

CString SafeFileName(const CString& remote);

} // namespace tavrin
