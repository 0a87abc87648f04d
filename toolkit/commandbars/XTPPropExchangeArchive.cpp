#include "toolkit/commandbars/XTPPropExchangeArchive.h"

#include "platform/mfc/Archive.h"

#include <algorithm>
#include <vector>

CXTPPropExchangeArchive::CXTPPropExchangeArchive(CArchive& ar) : m_ar(ar)
{
    m_bLoading = ar.IsLoading();
}

BOOL CXTPPropExchangeArchive::ExchangeProp(LPCTSTR /*pszPropName*/, VARTYPE vtProp, void* pvProp,
                                           const void* /*pvDefault*/)
{
    if (!OnBeforeExchange())
        return FALSE;
    if (!pvProp)
        return FALSE;
    switch (vtProp) {
    case VT_BSTR:
    case VT_LPSTR:
        if (IsStoring())
            m_ar << *static_cast<CString*>(pvProp);
        else
            m_ar >> *static_cast<CString*>(pvProp);
        return TRUE;
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_BOOL:
    case VT_UI1:
    case VT_EX_RECT:
    case VT_EX_SIZE:
        // Little-endian raw bytes: the integers, the floats' bits, the
        // rectangle's four and the size's two 32-bit numbers.
        if (IsStoring())
            m_ar.Write(pvProp, GetSizeOfVarType(vtProp));
        else
            m_ar.EnsureRead(pvProp, GetSizeOfVarType(vtProp));
        return TRUE;
    default:
        return TRUE;
    }
}

BOOL CXTPPropExchangeArchive::ExchangeBlob(LPCTSTR /*pszPropName*/, BYTE** ppData, DWORD* pnBytes)
{
    if (!ppData || !pnBytes || !OnBeforeExchange())
        return FALSE;
    if (IsStoring()) {
        m_ar.WriteCount(*pnBytes);
        if (*pnBytes)
            m_ar.Write(*ppData, *pnBytes);
        return TRUE;
    }
    DWORD nCount = static_cast<DWORD>(m_ar.ReadCount());
    if (*ppData && *pnBytes < nCount)
        return FALSE;
    std::vector<BYTE> data;
    if (!ReadBytes(m_ar, nCount, data))
        return FALSE;
    if (!*ppData) {
        *ppData = new BYTE[nCount ? nCount : 1];
        *pnBytes = nCount;
    }
    std::copy(data.begin(), data.end(), *ppData);
    return TRUE;
}

BOOL CXTPPropExchangeArchive::ReadBytes(CArchive& ar, DWORD nCount, std::vector<BYTE>& data)
{
    const size_t kStep = 65536;
    data.clear();
    while (data.size() < nCount) {
        size_t nOld = data.size();
        size_t nTake = std::min<size_t>(kStep, nCount - nOld);
        data.resize(nOld + nTake);
        if (ar.Read(data.data() + nOld, static_cast<UINT>(nTake)) != nTake)
            return FALSE;
    }
    return TRUE;
}

BOOL CXTPPropExchangeArchive::ExchangeRuntimeClass(LPCTSTR /*pszPropName*/, CRuntimeClass** ppClass,
                                                   CRuntimeClass* pDefaultClass)
{
    if (!ppClass || !OnBeforeExchange())
        return FALSE;
    if (IsStoring()) {
        if (!*ppClass)
            return FALSE;
        m_ar.WriteClass(*ppClass);
        return TRUE;
    }
    UINT nSchema = 0;
    CRuntimeClass* pClass = m_ar.ReadClass(nullptr, &nSchema);
    if (!pClass || (pDefaultClass && !pClass->IsDerivedFrom(pDefaultClass)))
        return FALSE;
    m_nSchema = nSchema;
    *ppClass = pClass;
    return TRUE;
}

BOOL CXTPPropExchangeArchive::ExchangeObjectInstance(CObject*& pObject, CRuntimeClass* pObjectRuntime)
{
    if (!CXTPPropExchange::ExchangeObjectInstance(pObject, pObjectRuntime))
        return FALSE;
    // Later references to the object in the stream find it.
    m_ar.MapObject(pObject);
    return TRUE;
}

CArchive* CXTPPropExchangeArchive::GetArchive(LPCTSTR /*pszPropName*/)
{
    return &m_ar;
}

void CXTPPropExchangeArchive::ReleaseArchive(LPCTSTR /*pszPropName*/, CArchive* /*pArchive*/) {}

CXTPPropExchange* CXTPPropExchangeArchive::GetSection(LPCTSTR /*pszSection*/)
{
    auto* pSection = new CXTPPropExchangeArchive(m_ar);
    pSection->InheritFrom(this);
    return pSection;
}

void CXTPPropExchangeArchive::WriteCount(DWORD dwCount)
{
    m_ar.WriteCount(dwCount);
}

DWORD CXTPPropExchangeArchive::ReadCount()
{
    return static_cast<DWORD>(m_ar.ReadCount());
}

void CXTPPropExchangeArchive::Write(LPCTSTR /*pszPropName*/, const void* lpBuf, UINT nCount)
{
    m_ar.Write(lpBuf, nCount);
}

UINT CXTPPropExchangeArchive::Read(LPCTSTR /*pszPropName*/, void* lpBuf, UINT nCount)
{
    return m_ar.Read(lpBuf, nCount);
}
