// The registry: one tree per user under HKEY_CURRENT_USER, kept in the file
// "registry" of the user's configuration folder (UserFolder.h). It is loaded
// on first use and written atomically after every change; a change whose
// write fails is undone and reported. A damaged file reads as an empty tree
// (the damaged file is kept beside it as "registry.damaged"); a file that
// exists but cannot be read leaves the tree read-only, so it is never
// replaced. Other predefined roots hold nothing and cannot be written.
#pragma once

#include "platform/base/FileApi.h"
#include "platform/base/Sync.h"

typedef DWORD REGSAM;
typedef HKEY* PHKEY;

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000002u)))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000003u)))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0x0000
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADKEY 1010L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L
#define ERROR_KEY_DELETED 1018L

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCloseKey(HKEY key);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
// data null: *size gets the size. A buffer too small: ERROR_MORE_DATA with
// the size needed in *size. Never more bytes than stored.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG RegDeleteValueA(HKEY key, LPCSTR valueName);
// Deletes a key that has no subkeys (ERROR_ACCESS_DENIED otherwise).
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
// Deletes a key with everything below it; a null or empty subkey empties key.
LONG RegDeleteTreeA(HKEY key, LPCSTR subKey);
DWORD SHDeleteKeyA(HKEY key, LPCSTR subKey); // the key itself with its subtree
// Subkeys in name order (ignoring case); values in the order first set.
LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD reserved, LPSTR keyClass,
                   LPDWORD classChars, LPFILETIME lastWrite);
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD size);

inline LONG RegCreateKeyEx(HKEY k, LPCSTR s, DWORD r, LPSTR c, DWORD o, REGSAM a, LPSECURITY_ATTRIBUTES sa, PHKEY p,
                           LPDWORD d)
{
    return RegCreateKeyExA(k, s, r, c, o, a, sa, p, d);
}
inline LONG RegOpenKeyEx(HKEY k, LPCSTR s, DWORD o, REGSAM a, PHKEY p) { return RegOpenKeyExA(k, s, o, a, p); }
inline LONG RegSetValueEx(HKEY k, LPCSTR n, DWORD r, DWORD t, const BYTE* d, DWORD s)
{
    return RegSetValueExA(k, n, r, t, d, s);
}
inline LONG RegQueryValueEx(HKEY k, LPCSTR n, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD s)
{
    return RegQueryValueExA(k, n, r, t, d, s);
}
inline LONG RegDeleteValue(HKEY k, LPCSTR n) { return RegDeleteValueA(k, n); }
inline LONG RegDeleteKey(HKEY k, LPCSTR s) { return RegDeleteKeyA(k, s); }
inline LONG RegDeleteTree(HKEY k, LPCSTR s) { return RegDeleteTreeA(k, s); }
inline DWORD SHDeleteKey(HKEY k, LPCSTR s) { return SHDeleteKeyA(k, s); }
inline LONG RegEnumKeyEx(HKEY k, DWORD i, LPSTR n, LPDWORD nc, LPDWORD r, LPSTR c, LPDWORD cc, LPFILETIME t)
{
    return RegEnumKeyExA(k, i, n, nc, r, c, cc, t);
}
inline LONG RegEnumValue(HKEY k, DWORD i, LPSTR n, LPDWORD nc, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD s)
{
    return RegEnumValueA(k, i, n, nc, r, t, d, s);
}

namespace tavrin::win {

// Forgets the loaded tree; the next call reads the file again (tests use it
// after changing the configuration folder or after another process wrote).
void ReloadRegistry();

// Many changes in one write: while a batch is open on a thread, that
// thread's changes stay in memory and the file is written once when the
// last batch closes (a failed write then undoes them all, as a single
// change's failure does). Another thread's change in between writes
// everything at once.
class RegistryBatch {
public:
    RegistryBatch();
    ~RegistryBatch();
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;
    // Ends the batch now: the result of the write (ERROR_SUCCESS when
    // nothing was changed or an outer batch is still open).
    LONG Close();

private:
    bool m_closed = false;
    LONG m_result = 0;
};

} // namespace tavrin::win
