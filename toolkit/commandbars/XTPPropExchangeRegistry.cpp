#include "toolkit/commandbars/XTPPropExchangeRegistry.h"

#include <cstdio>
#include <cstring>
#include <vector>

CXTPPropExchangeRegistry::CXTPPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection)
    : m_hParentKey(hParentKey), m_strSectionName(lpszSection)
{
    m_bLoading = bLoading;
}

CXTPPropExchangeRegistry::~CXTPPropExchangeRegistry()
{
    if (m_hSectionKey)
        ::RegCloseKey(m_hSectionKey);
}

BOOL CXTPPropExchangeRegistry::OnBeforeExchange()
{
    if (!m_hParentKey)
        return FALSE;
    if (!m_bInitialized) {
        m_bInitialized = TRUE;
        DWORD dwDisposition = 0;
        HKEY hKey = nullptr;
        if (::RegCreateKeyExA(m_hParentKey, m_strSectionName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              IsLoading() ? KEY_READ : KEY_WRITE, nullptr, &hKey, &dwDisposition) == ERROR_SUCCESS)
            m_hSectionKey = hKey;
    }
    return m_hSectionKey != nullptr;
}

BOOL CXTPPropExchangeRegistry::ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp,
                                            const void* pvDefault)
{
    if (!pvProp)
        return FALSE;
    if (IsStoring())
        return StoreProp(pszPropName, vtProp, pvProp, pvDefault);
    return LoadProp(pszPropName, vtProp, pvProp, m_bUseDefaultOnLoad ? pvDefault : nullptr);
}

BOOL CXTPPropExchangeRegistry::StoreProp(LPCTSTR pszPropName, VARTYPE vtProp, const void* pvProp,
                                         const void* pvDefault)
{
    if (!OnBeforeExchange())
        return FALSE;
    if (IsSamePropValue(vtProp, pvProp, pvDefault)) {
        if (m_hSectionKey && !m_bEmptySection)
            ::RegDeleteValueA(m_hSectionKey, pszPropName);
        return TRUE;
    }
    LONG lResult = ERROR_SUCCESS + 1;
    switch (vtProp) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
    case VT_UI1:
        lResult = ::RegSetValueExA(m_hSectionKey, pszPropName, 0, REG_DWORD, static_cast<const BYTE*>(pvProp),
                                   GetSizeOfVarType(vtProp));
        break;
    case VT_R4:
    case VT_R8:
        lResult = ::RegSetValueExA(m_hSectionKey, pszPropName, 0, REG_BINARY, static_cast<const BYTE*>(pvProp),
                                   GetSizeOfVarType(vtProp));
        break;
    case VT_BSTR:
    case VT_LPSTR: {
        const CString& str = *static_cast<const CString*>(pvProp);
        lResult = ::RegSetValueExA(m_hSectionKey, pszPropName, 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(static_cast<LPCTSTR>(str)),
                                   static_cast<DWORD>(str.GetLength() + 1));
        break;
    }
    case VT_EX_RECT:
    case VT_EX_SIZE: {
        const auto* p = static_cast<const LONG*>(pvProp);
        char text[64];
        if (vtProp == VT_EX_RECT)
            std::snprintf(text, sizeof text, "%i, %i, %i, %i", p[0], p[1], p[2], p[3]);
        else
            std::snprintf(text, sizeof text, "%i, %i", p[0], p[1]);
        lResult = ::RegSetValueExA(m_hSectionKey, pszPropName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                   static_cast<DWORD>(std::strlen(text) + 1));
        break;
    }
    default:
        return FALSE;
    }
    return lResult == ERROR_SUCCESS;
}

BOOL CXTPPropExchangeRegistry::QueryText(LPCTSTR pszPropName, CString& strValue)
{
    DWORD dwType = 0, dwSize = 0;
    if (::RegQueryValueExA(m_hSectionKey, pszPropName, nullptr, &dwType, nullptr, &dwSize) != ERROR_SUCCESS)
        return FALSE;
    // One byte more than stored, zeroed: a value stored without its NUL ends there.
    std::vector<BYTE> buffer(static_cast<size_t>(dwSize) + 1, 0);
    if (::RegQueryValueExA(m_hSectionKey, pszPropName, nullptr, &dwType, buffer.data(), &dwSize) != ERROR_SUCCESS)
        return FALSE;
    strValue = reinterpret_cast<const char*>(buffer.data());
    return TRUE;
}

BOOL CXTPPropExchangeRegistry::LoadProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault)
{
    if (!OnBeforeExchange())
        return CopyPropValue(vtProp, pvProp, pvDefault);
    switch (vtProp) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
    case VT_UI1: {
        // Zeroed, so a shorter stored value leaves no stale bytes.
        BYTE buffer[4] = {};
        DWORD dwType = 0, dwSize = sizeof buffer;
        if (::RegQueryValueExA(m_hSectionKey, pszPropName, nullptr, &dwType, buffer, &dwSize) != ERROR_SUCCESS)
            return CopyPropValue(vtProp, pvProp, pvDefault);
        std::memcpy(pvProp, buffer, GetSizeOfVarType(vtProp));
        return TRUE;
    }
    case VT_R4:
    case VT_R8: {
        BYTE buffer[8] = {};
        DWORD dwType = 0, dwSize = GetSizeOfVarType(vtProp);
        if (::RegQueryValueExA(m_hSectionKey, pszPropName, nullptr, &dwType, buffer, &dwSize) != ERROR_SUCCESS)
            return CopyPropValue(vtProp, pvProp, pvDefault);
        std::memcpy(pvProp, buffer, GetSizeOfVarType(vtProp));
        return TRUE;
    }
    case VT_BSTR:
    case VT_LPSTR:
    case VT_EX_RECT:
    case VT_EX_SIZE: {
        CString strValue;
        if (!QueryText(pszPropName, strValue))
            return CopyPropValue(vtProp, pvProp, pvDefault);
        if (vtProp == VT_BSTR || vtProp == VT_LPSTR) {
            *static_cast<CString*>(pvProp) = strValue;
            return TRUE;
        }
        LONG v[4] = {};
        int nFields = vtProp == VT_EX_RECT ? 4 : 2;
        int nParsed = vtProp == VT_EX_RECT
                        ? std::sscanf(static_cast<LPCTSTR>(strValue), "%i, %i, %i, %i", &v[0], &v[1], &v[2], &v[3])
                        : std::sscanf(static_cast<LPCTSTR>(strValue), "%i, %i", &v[0], &v[1]);
        if (nParsed != nFields)
            return CopyPropValue(vtProp, pvProp, pvDefault);
        std::memcpy(pvProp, v, GetSizeOfVarType(vtProp));
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CXTPPropExchangeRegistry::ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pnBytes)
{
    if (!ppData || !pnBytes || !OnBeforeExchange())
        return FALSE;
    if (IsStoring())
        return ::RegSetValueExA(m_hSectionKey, pszPropName, 0, REG_BINARY, *ppData, *pnBytes) == ERROR_SUCCESS;

    DWORD dwType = 0, dwSize = 0;
    if (::RegQueryValueExA(m_hSectionKey, pszPropName, nullptr, &dwType, nullptr, &dwSize) != ERROR_SUCCESS)
        return FALSE;
    if (*ppData && *pnBytes < dwSize)
        return FALSE;
    std::vector<BYTE> buffer(dwSize ? dwSize : 1);
    DWORD dwRead = dwSize;
    if (::RegQueryValueExA(m_hSectionKey, pszPropName, nullptr, &dwType, buffer.data(), &dwRead) != ERROR_SUCCESS ||
        dwRead != dwSize)
        return FALSE;
    if (!*ppData) {
        *ppData = new BYTE[dwSize ? dwSize : 1];
        *pnBytes = dwSize;
    }
    std::memcpy(*ppData, buffer.data(), dwSize);
    return TRUE;
}

CXTPPropExchange* CXTPPropExchangeRegistry::GetSection(LPCTSTR pszSection)
{
    OnBeforeExchange();
    auto* pSection = new CXTPPropExchangeRegistry(IsLoading(), m_hSectionKey, pszSection);
    pSection->InheritFrom(this);
    return pSection;
}

void CXTPPropExchangeRegistry::EmptySection()
{
    if (m_hSectionKey) {
        ::RegCloseKey(m_hSectionKey);
        m_hSectionKey = nullptr;
    }
    if (m_hParentKey)
        ::SHDeleteKeyA(m_hParentKey, m_strSectionName);
    m_bEmptySection = TRUE;
    m_bInitialized = FALSE;
}
