// String settings of toolkit controls: in the registry under the
// application's key, or in the toolkit's profile file while the global data
// names one.
#pragma once

#include "platform/base/String.h"
#include "platform/win/Registry.h"

class CXTProfileManager {
public:
    explicit CXTProfileManager(HKEY hRoot);
    virtual ~CXTProfileManager() = default;
    CXTProfileManager(const CXTProfileManager&) = delete;
    CXTProfileManager& operator=(const CXTProfileManager&) = delete;

    // root\Software\<registry key>\<profile name>, the names taken from the
    // application; null without them. The caller closes the key.
    virtual HKEY GetAppRegistryKey();
    // The application key's subkey, created when missing; null on failure.
    virtual HKEY GetSectionKey(LPCTSTR lpszSection);

    // A null entry removes the section, a null value the entry.
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault);

protected:
    HKEY m_hRoot;
    LPCTSTR m_pszRegistryKey = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
};
