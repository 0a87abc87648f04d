// Walks the numbered sections prefix0, prefix1... of an exchange.
#pragma once

#include "toolkit/commandbars/XTPPropExchange.h"

class CXTPPropExchangeEnumerator {
public:
    CXTPPropExchangeEnumerator(CXTPPropExchange* pContainer, LPCTSTR lpszSection);
    virtual ~CXTPPropExchangeEnumerator() = default;

    // Stores or loads the count; null when there are no sections.
    // bCompactMode: the count goes as the archive's count, else as "Count".
    virtual POSITION GetPosition(DWORD dwCount = 0, BOOL bCompactMode = TRUE);
    // The next section (the caller deletes it), moving pos on; pos is null after the last.
    virtual CXTPPropExchange* GetNext(POSITION& pos);

protected:
    CXTPPropExchange* m_pContainer;
    CString m_strSectionName;
    DWORD m_nCount = 0;
};
