// Property exchange over a registry key: values are named registry values,
// sections subkeys, and a value equal to its default is deleted.
#pragma once

#include "platform/win/Registry.h"
#include "toolkit/commandbars/XTPPropExchange.h"

class CXTPPropExchangeRegistry : public CXTPPropExchange {
public:
    // The key is opened (or made) by the first exchange.
    CXTPPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR lpszSection);
    ~CXTPPropExchangeRegistry() override;

    BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault = nullptr) override;
    BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pnBytes) override;
    CXTPPropExchange* GetSection(LPCTSTR pszSection) override;
    // Deletes the key with its subkeys; the next exchange makes it afresh.
    void EmptySection() override;
    BOOL IsAllowDefaultValues() const override { return TRUE; }
    BOOL IsAllowBlobValues() const override { return TRUE; }
    BOOL OnBeforeExchange() override;

protected:
    BOOL StoreProp(LPCTSTR pszPropName, VARTYPE vtProp, const void* pvProp, const void* pvDefault);
    BOOL LoadProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault);
    // The value's text, read within its stored size and terminated.
    BOOL QueryText(LPCTSTR pszPropName, CString& strValue);

    HKEY m_hSectionKey = nullptr;
    HKEY m_hParentKey;
    CString m_strSectionName;
};
