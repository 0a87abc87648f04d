#include "toolkit/controls/XTProfileManager.h"

#include "toolkit/controls/XTGlobalData.h"
#include "platform/mfc/WinApp.h"
#include "platform/win/ProfileFile.h"

#include <cstring>
#include <vector>

namespace {

const CString& ProfileFile()
{
    return *XTGetGlobalData()->m_pstrProfileFile;
}

} // namespace

CXTProfileManager::CXTProfileManager(HKEY hRoot) : m_hRoot(hRoot) {}

HKEY CXTProfileManager::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName) {
        if (CWinApp* app = AfxGetApp()) {
            m_pszRegistryKey = app->m_pszRegistryKey;
            m_pszProfileName = app->m_pszProfileName;
        }
    }
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;

    // "Software" is made when missing: a fresh user's registry is empty.
    HKEY software = nullptr, company = nullptr, app = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(m_hRoot, "Software", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                        &software, &disposition) == ERROR_SUCCESS) {
        if (RegCreateKeyExA(software, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                            nullptr, &company, &disposition) == ERROR_SUCCESS) {
            if (RegCreateKeyExA(company, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE, nullptr, &app, &disposition) != ERROR_SUCCESS)
                app = nullptr;
            RegCloseKey(company);
        }
        RegCloseKey(software);
    }
    return app;
}

HKEY CXTProfileManager::GetSectionKey(LPCTSTR lpszSection)
{
    HKEY app = GetAppRegistryKey();
    if (!app)
        return nullptr;
    HKEY section = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &section,
                        &disposition) != ERROR_SUCCESS)
        section = nullptr;
    RegCloseKey(app);
    return section;
}

BOOL CXTProfileManager::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    const CString& file = ProfileFile();
    if (!file.IsEmpty())
        return WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, file);

    LONG result = ERROR_INVALID_PARAMETER;
    if (!lpszEntry) {
        HKEY app = GetAppRegistryKey();
        if (!app)
            return FALSE;
        result = RegDeleteKeyA(app, lpszSection);
        RegCloseKey(app);
    } else {
        HKEY section = GetSectionKey(lpszSection);
        if (!section)
            return FALSE;
        if (!lpszValue)
            result = RegDeleteValueA(section, lpszEntry);
        else
            result = RegSetValueExA(section, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                    static_cast<DWORD>(std::strlen(lpszValue) + 1));
        RegCloseKey(section);
    }
    return result == ERROR_SUCCESS;
}

CString CXTProfileManager::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    const CString& file = ProfileFile();
    if (!file.IsEmpty()) {
        std::vector<char> buffer(4096);
        GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), file);
        buffer.back() = 0;
        return CString(buffer.data());
    }

    HKEY section = GetSectionKey(lpszSection);
    if (!section)
        return CString(lpszDefault);
    CString value(lpszDefault);
    // The value is read whatever its type, but never past the bytes stored
    // and never without an end: a binary value or a text stored without its
    // NUL stays inside its data. A value that grows between the two calls
    // is asked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(section, lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::vector<char> data(size + 1, 0);
        LONG result = RegQueryValueExA(section, lpszEntry, nullptr, &type, reinterpret_cast<LPBYTE>(data.data()), &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result == ERROR_SUCCESS)
            value = CString(data.data(), static_cast<int>(strnlen(data.data(), size)));
        break;
    }
    RegCloseKey(section);
    return value;
}
