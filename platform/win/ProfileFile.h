// Private profile files ("name=value" lines under "[section]" headers). A
// bare file name such as "tavrin.ini" lives in the user's configuration
// folder (UserFolder.h), where the original platform used its own folder;
// a name with a folder is a program path. Section and key names ignore
// case. Every change rewrites the file atomically; a file that exists but
// cannot be read is never replaced.
#pragma once

#include "platform/base/Types.h"

// With a null section: every section name; with a null key: every key of the
// section; each ended by a zero, the list by one more. Otherwise the value,
// or the default (trailing blanks removed) when there is none. A value that
// does not fit is cut to size - 1 bytes (a list to size - 2) and that count
// is returned; otherwise the number of bytes copied, without the last zero.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out, DWORD size,
                               LPCSTR fileName);
// A null key removes the section, a null value removes the key. Texts that
// would break the file's lines (line breaks; '=' in a key; ']' in a section)
// are refused with ERROR_INVALID_PARAMETER.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
// The leading decimal digits of the value; the default when the key is
// missing; 0 for a negative or non-numeric value.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);

inline DWORD GetPrivateProfileString(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR o, DWORD n, LPCSTR f)
{
    return GetPrivateProfileStringA(s, k, d, o, n, f);
}
inline BOOL WritePrivateProfileString(LPCSTR s, LPCSTR k, LPCSTR v, LPCSTR f)
{
    return WritePrivateProfileStringA(s, k, v, f);
}
inline UINT GetPrivateProfileInt(LPCSTR s, LPCSTR k, INT d, LPCSTR f) { return GetPrivateProfileIntA(s, k, d, f); }
