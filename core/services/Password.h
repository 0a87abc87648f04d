// The decimal text form in which passwords and the access record are stored:
// the text, zero-padded to whole 8-byte blocks, enciphered with the stored-
// password key and written as three decimal digits a byte.
#pragma once

#include "platform/base/String.h"

// "%.3d" of every enciphered byte; empty for an empty text. Texts of any
// length are enciphered whole.
CString EncryptPassword(const CString& text);

// The text back: every group of three characters gives one byte; the
// deciphered bytes end at the first zero byte.
CString DecryptPassword(const CString& cipherText);
