// Provider ids are decimal numbers in text: they are compared by value, so
// "0012" equals "12" and "9" sorts before "10", whatever their length. Text
// that is not a number (empty, signs, blanks, letters) compares byte-wise
// after every number.
#pragma once

#include "platform/base/String.h"

namespace tavrin {

// Only the digits 0-9, at least one.
bool IsNumericId(const CString& id);
// <0, 0 or >0; no length limit and no overflow.
int CompareIds(const CString& a, const CString& b);
inline bool IdsEqual(const CString& a, const CString& b) { return CompareIds(a, b) == 0; }

} // namespace tavrin
