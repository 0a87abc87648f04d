// The toolkit's resource loader: the toolkit's own module first for the
// resources it holds, the application's otherwise.
#pragma once

#include "platform/base/String.h"

class CMenu;
class CBitmap;

class CXTPResourceManager {
public:
    CXTPResourceManager() = default;
    virtual ~CXTPResourceManager() = default;

    virtual BOOL LoadString(CString* pString, UINT nID);
    virtual BOOL LoadMenu(CMenu* pMenu, UINT nID);
    virtual BOOL LoadBitmap(CBitmap* pBitmap, UINT nID);
    // The locked RT_DIALOG resource of the current resource module, or null.
    virtual LPCVOID LoadDialogTemplate(LPCTSTR lpszTemplate);

    BOOL m_bValid = TRUE;
};

// Made on first use; lives until the process ends.
CXTPResourceManager* XTPGetResourceManager();
