#include "toolkit/commandbars/XTPPropExchange.h"

#include "platform/mfc/Archive.h"
#include "platform/mfc/MemFile.h"

#include <cstdlib>
#include <cstring>
#include <memory>

CXTPPropExchange::CXTPPropExchange() = default;
CXTPPropExchange::~CXTPPropExchange() = default;

void CXTPPropExchange::InheritFrom(const CXTPPropExchange* pParent)
{
    m_dwData = pParent->m_dwData;
    m_nSchema = pParent->m_nSchema;
    m_bEmptySection = pParent->m_bEmptySection;
    m_bUseDefaultOnLoad = pParent->m_bUseDefaultOnLoad;
    m_bChildSection = TRUE;
}

UINT CXTPPropExchange::GetSizeOfVarType(VARTYPE vt)
{
    switch (vt) {
    case VT_I2:
        return 2;
    case VT_I4:
    case VT_R4:
    case VT_BOOL:
        return 4;
    case VT_R8:
    case VT_CY:
    case VT_EX_SIZE:
        return 8;
    case VT_UI1:
        return 1;
    case VT_EX_RECT:
        return 16;
    default:
        return 0;
    }
}

BOOL CXTPPropExchange::IsSamePropValue(VARTYPE vtProp, const void* pv1, const void* pv2)
{
    if (pv1 == pv2)
        return TRUE;
    if (!pv1 || !pv2)
        return FALSE;
    switch (vtProp) {
    case VT_BSTR:
        return *static_cast<const CString*>(pv1) == *static_cast<const CString*>(pv2);
    case VT_LPSTR:
        return *static_cast<const CString*>(pv1) == static_cast<LPCTSTR>(pv2);
    default: {
        UINT nSize = GetSizeOfVarType(vtProp);
        return nSize && std::memcmp(pv1, pv2, nSize) == 0;
    }
    }
}

BOOL CXTPPropExchange::CopyPropValue(VARTYPE vtProp, void* pvDest, const void* pvSrc)
{
    if (!pvSrc || !pvDest)
        return FALSE;
    switch (vtProp) {
    case VT_BSTR:
        *static_cast<CString*>(pvDest) = *static_cast<const CString*>(pvSrc);
        return TRUE;
    case VT_LPSTR:
        *static_cast<CString*>(pvDest) = static_cast<LPCTSTR>(pvSrc);
        return TRUE;
    case VT_EX_RECT:
    case VT_EX_SIZE:
        std::memcpy(pvDest, pvSrc, GetSizeOfVarType(vtProp));
        return FALSE;
    default: {
        UINT nSize = GetSizeOfVarType(vtProp);
        if (!nSize)
            return FALSE;
        std::memcpy(pvDest, pvSrc, nSize);
        return TRUE;
    }
    }
}

BOOL CXTPPropExchange::OnBeforeExchange()
{
    m_bInitialized = TRUE;
    return TRUE;
}

BOOL CXTPPropExchange::ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pnBytes)
{
    if (!ppData || !pnBytes || !OnBeforeExchange())
        return FALSE;
    // Two capital letters per byte: 'A' + low nibble, then 'A' + high nibble.
    if (IsStoring()) {
        CString strValue;
        char* p = strValue.GetBuffer(static_cast<int>(*pnBytes * 2));
        for (DWORD i = 0; i < *pnBytes; ++i) {
            p[i * 2] = static_cast<char>('A' + ((*ppData)[i] & 0x0F));
            p[i * 2 + 1] = static_cast<char>('A' + ((*ppData)[i] >> 4));
        }
        strValue.ReleaseBuffer(static_cast<int>(*pnBytes * 2));
        return PX_String(this, pszPropName, strValue, "");
    }
    CString strValue;
    PX_String(this, pszPropName, strValue, "");
    DWORD nLength = static_cast<DWORD>(strValue.GetLength());
    if (nLength == 0)
        return TRUE;
    if (nLength % 2)
        return FALSE;
    DWORD nBytes = nLength / 2;
    for (DWORD i = 0; i < nLength; ++i)
        if (strValue[static_cast<int>(i)] < 'A' || strValue[static_cast<int>(i)] > 'P')
            return FALSE;
    if (!*ppData) {
        *ppData = new BYTE[nBytes];
        *pnBytes = nBytes;
    } else if (*pnBytes < nBytes) {
        return FALSE;
    }
    for (DWORD i = 0; i < nBytes; ++i)
        (*ppData)[i] = static_cast<BYTE>(((strValue[static_cast<int>(i * 2 + 1)] - 'A') << 4) +
                                         (strValue[static_cast<int>(i * 2)] - 'A'));
    return TRUE;
}

BOOL CXTPPropExchange::ExchangeRuntimeClass(LPCTSTR pszPropName, CRuntimeClass** ppClass,
                                            CRuntimeClass* pDefaultClass)
{
    if (!ppClass)
        return FALSE;
    if (IsStoring()) {
        if (!*ppClass)
            return FALSE;
        CString strClass((*ppClass)->m_lpszClassName);
        return PX_String(this, pszPropName, strClass, pDefaultClass ? pDefaultClass->m_lpszClassName : nullptr);
    }
    CString strClass;
    if (!PX_String(this, pszPropName, strClass, nullptr)) {
        *ppClass = pDefaultClass;
        return pDefaultClass != nullptr;
    }
    CRuntimeClass* pClass = CRuntimeClass::FromName(strClass);
    if (!pClass)
        return FALSE;
    *ppClass = pClass;
    return TRUE;
}

BOOL CXTPPropExchange::ExchangeObjectInstance(CObject*& pObject, CRuntimeClass* pObjectRuntime)
{
    if (IsStoring()) {
        if (!pObject)
            return FALSE;
        CRuntimeClass* pClass = pObject->GetRuntimeClass();
        return ExchangeRuntimeClass("Class", &pClass, pObjectRuntime);
    }
    CRuntimeClass* pClass = nullptr;
    if (!ExchangeRuntimeClass("Class", &pClass, pObjectRuntime) || !pClass)
        return FALSE;
    // Nothing is made of a class outside the expected base.
    if (pObjectRuntime && !pClass->IsDerivedFrom(pObjectRuntime))
        return FALSE;
    pObject = pClass->CreateObject();
    return pObject != nullptr;
}

CArchive* CXTPPropExchange::GetArchive(LPCTSTR pszPropName)
{
    if (IsStoring()) {
        auto* pFile = new CMemFile(1024);
        return new CArchive(pFile, CArchive::store, 4096);
    }
    BYTE* pData = nullptr;
    DWORD nBytes = 0;
    if (!ExchangeBlob(pszPropName, &pData, &nBytes) || !pData || nBytes == 0) {
        delete[] pData;
        return nullptr;
    }
    // The memory file reads the bytes in place; ReleaseArchive frees them.
    auto* pFile = new CMemFile(pData, nBytes, 0);
    return new CArchive(pFile, CArchive::load, 4096);
}

void CXTPPropExchange::ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive)
{
    if (!pArchive)
        return;
    auto* pFile = static_cast<CMemFile*>(pArchive->GetFile());
    if (IsStoring()) {
        try {
            pArchive->Flush();
        } catch (CException* e) {
            e->Delete();
        }
        DWORD nBytes = static_cast<DWORD>(pFile->GetLength());
        BYTE* pData = pFile->Detach();
        ExchangeBlob(pszPropName, &pData, &nBytes);
        pArchive->Abort();
        delete pArchive;
        delete pFile;
        std::free(pData);
        return;
    }
    BYTE* pData = pFile->Detach();
    pArchive->Abort();
    delete pArchive;
    delete pFile;
    delete[] pData;
}

void CXTPPropExchange::EmptySection()
{
    m_bEmptySection = TRUE;
}

void CXTPPropExchange::WriteCount(DWORD dwCount)
{
    LONG nCount = static_cast<LONG>(dwCount);
    PX_Long(this, "Count", nCount, 0);
}

DWORD CXTPPropExchange::ReadCount()
{
    LONG nCount = 0;
    PX_Long(this, "Count", nCount, 0);
    return static_cast<DWORD>(nCount);
}

void CXTPPropExchange::Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount)
{
    BYTE* pData = static_cast<BYTE*>(const_cast<void*>(lpBuf));
    DWORD nBytes = nCount;
    ExchangeBlob(pszPropName, &pData, &nBytes);
}

UINT CXTPPropExchange::Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount)
{
    BYTE* pData = static_cast<BYTE*>(lpBuf);
    DWORD nBytes = nCount;
    return pData && ExchangeBlob(pszPropName, &pData, &nBytes) ? nCount : 0;
}

CXTPPropExchangeEnumerator* CXTPPropExchange::GetEnumerator(LPCTSTR pszSection)
{
    return new CXTPPropExchangeEnumerator(this, pszSection);
}

// Typed exchanges -------------------------------------------------------

BOOL PX_DWord(CXTPPropExchange* pPX, LPCTSTR pszPropName, DWORD& dwValue)
{
    return pPX->ExchangeProp(pszPropName, VT_I4, &dwValue, nullptr);
}

BOOL PX_Long(CXTPPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault)
{
    return pPX->ExchangeProp(pszPropName, VT_I4, &lValue, &lDefault);
}

BOOL PX_Int(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault)
{
    static_assert(sizeof(int) == 4, "VT_I4 is 32 bits");
    return pPX->ExchangeProp(pszPropName, VT_I4, &nValue, &nDefault);
}

BOOL PX_Bool(CXTPPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault)
{
    return pPX->ExchangeProp(pszPropName, VT_BOOL, &bValue, &bDefault);
}

BOOL PX_String(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, LPCTSTR lpszDefault)
{
    return pPX->ExchangeProp(pszPropName, VT_LPSTR, &strValue, lpszDefault);
}

BOOL PX_Size(CXTPPropExchange* pPX, LPCTSTR pszPropName, CSize& szValue, CSize szDefault)
{
    return pPX->ExchangeProp(pszPropName, VT_EX_SIZE, &szValue, &szDefault);
}

BOOL PX_Rect(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRect& rcValue, CRect rcDefault)
{
    return pPX->ExchangeProp(pszPropName, VT_EX_RECT, &rcValue, &rcDefault);
}

BOOL PX_Serialize(CXTPPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject)
{
    if (!pPX || !pObject)
        return FALSE;
    CArchive* pArchive = pPX->GetArchive(pszPropName);
    if (!pArchive)
        return FALSE;
    BOOL bResult = TRUE;
    try {
        pObject->Serialize(*pArchive);
    } catch (CException* e) {
        e->Delete();
        bResult = FALSE;
    }
    pPX->ReleaseArchive(pszPropName, pArchive);
    return bResult;
}
