// All widths of one command's icon.
#pragma once

#include "toolkit/commandbars/XTPImageManagerIcon.h"
#include "toolkit/commandbars/XTPImageManagerMap.h"

class CXTPImageManager;

class CXTPImageManagerIconSet : public CCmdTarget {
public:
    CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager);
    ~CXTPImageManagerIconSet() override;

    UINT GetID() const { return m_nID; }
    // The icon of that width; else, with bScaled, the nearest one or a copy
    // scaled from it. Valid until the set changes.
    CXTPImageManagerIcon* GetIcon(UINT nWidth, BOOL bScaled = TRUE);
    CXTPImageManagerIcon* CreateIcon(UINT nWidth);

    // bOwned: the caller's handles are destroyed afterwards.
    void SetIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth);
    void SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth);
    void SetHotIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth);
    void SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth);

    // Drops the scaled copies and every icon's generated images.
    void RefreshAll();
    void RemoveAll();

    CXTPImageManagerMap<CXTPImageManagerIcon>& GetIcons() { return m_mapIcons; }

private:
    void SetImage(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth, int nState);

    CXTPImageManagerMap<CXTPImageManagerIcon> m_mapIcons;
    UINT m_nID;
    CXTPImageManager* m_pImageManager;
};
