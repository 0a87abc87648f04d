// Property exchange over an archive: names are ignored, every value is
// written and read in order.
#pragma once

#include "toolkit/commandbars/XTPPropExchange.h"

#include <vector>

class CXTPPropExchangeArchive : public CXTPPropExchange {
public:
    explicit CXTPPropExchangeArchive(CArchive& ar);

    BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault = nullptr) override;
    BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pnBytes) override;
    BOOL ExchangeRuntimeClass(LPCTSTR pszPropName, CRuntimeClass** ppClass, CRuntimeClass* pDefaultClass) override;
    BOOL ExchangeObjectInstance(CObject*& pObject, CRuntimeClass* pObjectRuntime) override;
    CArchive* GetArchive(LPCTSTR pszPropName) override;
    void ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive) override;
    CXTPPropExchange* GetSection(LPCTSTR pszSection) override;
    void WriteCount(DWORD dwCount) override;
    DWORD ReadCount() override;
    void Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount) override;
    UINT Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount) override;
    BOOL IsAllowDefaultValues() const override { return FALSE; }
    BOOL IsAllowBlobValues() const override { return TRUE; }

    // Reads nCount bytes in steps, so a damaged count never allocates more
    // than the stream holds; FALSE when the stream ends first.
    static BOOL ReadBytes(CArchive& ar, DWORD nCount, std::vector<BYTE>& data);

protected:
    CArchive& m_ar;
};
