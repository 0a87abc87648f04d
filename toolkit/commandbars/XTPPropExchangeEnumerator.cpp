#include "toolkit/commandbars/XTPPropExchangeEnumerator.h"

#include <cstdint>

CXTPPropExchangeEnumerator::CXTPPropExchangeEnumerator(CXTPPropExchange* pContainer, LPCTSTR lpszSection)
    : m_pContainer(pContainer), m_strSectionName(lpszSection)
{
}

POSITION CXTPPropExchangeEnumerator::GetPosition(DWORD dwCount, BOOL bCompactMode)
{
    m_nCount = dwCount;
    if (!m_pContainer)
        return nullptr;
    if (!bCompactMode) {
        LONG nCount = static_cast<LONG>(dwCount);
        PX_Long(m_pContainer, "Count", nCount, 0);
        m_nCount = static_cast<DWORD>(nCount);
    } else if (m_pContainer->IsStoring()) {
        m_pContainer->WriteCount(dwCount);
    } else {
        m_nCount = m_pContainer->ReadCount();
    }
    return m_nCount ? reinterpret_cast<POSITION>(static_cast<uintptr_t>(1)) : nullptr;
}

CXTPPropExchange* CXTPPropExchangeEnumerator::GetNext(POSITION& pos)
{
    auto nPos = static_cast<DWORD>(reinterpret_cast<uintptr_t>(pos));
    CString strSection;
    strSection.Format("%s%i", static_cast<LPCTSTR>(m_strSectionName), static_cast<int>(nPos - 1));
    CXTPPropExchange* pSection = m_pContainer->GetSection(strSection);
    ++nPos;
    pos = nPos > m_nCount ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(nPos));
    return pSection;
}
