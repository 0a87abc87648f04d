// The application's settings: registry or profile file, with the framework's
// rules for missing values and removals.
#include "platform/mfc/Resource.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/ProfileFile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
    m_pszRegistryKey = m_strRegistryKey;
    // The profile name becomes the application's name: the key under the company's.
    m_strProfileName = m_pszAppName ? m_pszAppName : "";
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    AfxLoadString(nIDRegistryKey, key);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    HKEY software = nullptr, company = nullptr, app = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                          nullptr, &software, &disposition) == ERROR_SUCCESS) {
        if (::RegCreateKeyExA(software, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              nullptr, &company, &disposition) == ERROR_SUCCESS) {
            ::RegCreateKeyExA(company, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              nullptr, &app, &disposition);
        }
    }
    if (software)
        ::RegCloseKey(software);
    if (company)
        ::RegCloseKey(company);
    return app;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    HKEY app = GetAppRegistryKey();
    if (!app)
        return nullptr;
    HKEY section = nullptr;
    DWORD disposition = 0;
    ::RegCreateKeyExA(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, &section,
                      &disposition);
    ::RegCloseKey(app);
    return section;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey) {
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return static_cast<UINT>(nDefault);
        DWORD value = 0, type = 0, size = sizeof value;
        LONG result = ::RegQueryValueExA(section, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
        ::RegCloseKey(section);
        // A value written smaller than four bytes reads as its own bytes.
        if (result != ERROR_SUCCESS || (type != REG_DWORD && type != REG_BINARY))
            return static_cast<UINT>(nDefault);
        return value;
    }
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey) {
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return FALSE;
        DWORD value = static_cast<DWORD>(nValue);
        LONG result = ::RegSetValueExA(section, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                       sizeof value);
        ::RegCloseKey(section);
        return result == ERROR_SUCCESS;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, text, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    if (m_pszRegistryKey) {
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return lpszDefault ? lpszDefault : "";
        DWORD type = 0, size = 0;
        LONG result = ::RegQueryValueExA(section, lpszEntry, nullptr, &type, nullptr, &size);
        CString value;
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            // Read into room for one more byte: a value stored without its NUL
            // still ends there.
            std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
            result = ::RegQueryValueExA(section, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()),
                                        &size);
            if (result == ERROR_SUCCESS)
                value = CString(buffer.data(), static_cast<int>(std::strlen(buffer.data())));
        }
        ::RegCloseKey(section);
        if (result == ERROR_SUCCESS && type == REG_SZ)
            return value;
        return lpszDefault ? lpszDefault : "";
    }
    std::vector<char> buffer(4096, '\0');
    ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", buffer.data(),
                               static_cast<DWORD>(buffer.size()), m_pszProfileName);
    return buffer.data();
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (m_pszRegistryKey) {
        if (!lpszEntry) {
            HKEY app = GetAppRegistryKey();
            if (!app)
                return FALSE;
            LONG result = ::RegDeleteTreeA(app, lpszSection); // the key with all below it
            ::RegCloseKey(app);
            return result == ERROR_SUCCESS;
        }
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return FALSE;
        LONG result;
        if (!lpszValue)
            result = ::RegDeleteValueA(section, lpszEntry);
        else
            result = ::RegSetValueExA(section, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                      static_cast<DWORD>(std::strlen(lpszValue) + 1));
        ::RegCloseKey(section);
        return result == ERROR_SUCCESS;
    }
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, BYTE** ppData, UINT* pBytes)
{
    *ppData = nullptr;
    *pBytes = 0;
    if (m_pszRegistryKey) {
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return FALSE;
        DWORD type = 0, size = 0;
        LONG result = ::RegQueryValueExA(section, lpszEntry, nullptr, &type, nullptr, &size);
        if (result == ERROR_SUCCESS && type == REG_BINARY) {
            *ppData = new BYTE[size ? size : 1];
            result = ::RegQueryValueExA(section, lpszEntry, nullptr, &type, *ppData, &size);
        }
        ::RegCloseKey(section);
        if (result == ERROR_SUCCESS && type == REG_BINARY) {
            *pBytes = size;
            return TRUE;
        }
        delete[] *ppData;
        *ppData = nullptr;
        return FALSE;
    }
    // In a profile file each byte is two letters 'A'-'P', low half first.
    CString text = GetProfileString(lpszSection, lpszEntry, nullptr);
    if (text.IsEmpty())
        return FALSE;
    UINT count = static_cast<UINT>(text.GetLength()) / 2;
    *ppData = new BYTE[count ? count : 1];
    for (UINT i = 0; i < count; ++i) {
        int low = text[static_cast<int>(i * 2)] - 'A';
        int high = text[static_cast<int>(i * 2 + 1)] - 'A';
        if (low < 0 || low > 15 || high < 0 || high > 15) {
            delete[] *ppData;
            *ppData = nullptr;
            return FALSE;
        }
        (*ppData)[i] = static_cast<BYTE>((high << 4) | low);
    }
    *pBytes = count;
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (m_pszRegistryKey) {
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return FALSE;
        LONG result = ::RegSetValueExA(section, lpszEntry, 0, REG_BINARY, pData, nBytes);
        ::RegCloseKey(section);
        return result == ERROR_SUCCESS;
    }
    std::string text(static_cast<size_t>(nBytes) * 2, 'A');
    for (UINT i = 0; i < nBytes; ++i) {
        text[i * 2] = static_cast<char>('A' + (pData[i] & 0x0F));
        text[i * 2 + 1] = static_cast<char>('A' + ((pData[i] >> 4) & 0x0F));
    }
    return WriteProfileString(lpszSection, lpszEntry, text.c_str());
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    m_nMaxMRU = nMaxMRU;
    m_nNumPreviewPages = static_cast<int>(GetProfileInt("Settings", "PreviewPages", 0));
}
