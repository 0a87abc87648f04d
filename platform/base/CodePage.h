// Code-page conversions between the program's multibyte text and wide
// characters. The ANSI and OEM code pages are always 936 (GBK), whatever the
// process locale says. WCHAR is wchar_t, one UTF-32 unit per character here;
// every GBK character lies in the Basic Multilingual Plane, so counts of GBK
// text equal the UTF-16 counts of the original platform.
#pragma once

#include "platform/base/Types.h"

#include <string>
#include <string_view>

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_GBK 936
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

// srcBytes -1: src is NUL-terminated and the NUL is converted and counted.
// dstChars 0: returns the number of wide characters needed. Returns 0 on
// failure with GetLastError set: ERROR_INSUFFICIENT_BUFFER when dst is too
// small, ERROR_INVALID_PARAMETER for bad arguments or an unknown code page,
// ERROR_NO_UNICODE_TRANSLATION for an invalid sequence with
// MB_ERR_INVALID_CHARS. Without that flag an invalid sequence becomes U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars);

// srcChars -1: src is NUL-terminated and the NUL is converted and counted.
// dstBytes 0: returns the number of bytes needed. A character the code page
// lacks becomes defaultChar (or '?') and sets *usedDefault; both must be null
// for CP_UTF8, where an invalid character becomes U+FFFD unless
// WC_ERR_INVALID_CHARS is given.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes,
                        LPCSTR defaultChar, LPBOOL usedDefault);

namespace tavrin {

// Lenient conversions: invalid input becomes U+FFFD (to UTF-8) or '?' (to GBK).
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);
std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);

// Number of characters of GBK text: a double-byte character counts one.
int GbkCharCount(std::string_view gbk);

} // namespace tavrin
