// The user's locale, as far as the program asks: the English name of its
// language. It comes from the process's locale settings (LC_ALL, LC_MESSAGES,
// LANG); "C" and "POSIX" are English. Tests set it.
#pragma once

#include "platform/base/Types.h"

#include <string>

typedef DWORD LCID;
typedef DWORD LCTYPE;

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_SENGLANGUAGE 0x00001001
#define LOCALE_SISO639LANGNAME 0x00000059

// Characters written with the zero; with size 0 the size needed. 0 and
// ERROR_INSUFFICIENT_BUFFER when it does not fit, ERROR_INVALID_FLAGS for
// other kinds of information.
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size);
inline int GetLocaleInfo(LCID l, LCTYPE t, LPSTR d, int s) { return GetLocaleInfoA(l, t, d, s); }

namespace tavrin::win {

// A locale name as in LANG ("zh_CN.UTF-8"); empty goes back to the
// process's settings.
void SetUserLocaleName(const std::string& name);

} // namespace tavrin::win
