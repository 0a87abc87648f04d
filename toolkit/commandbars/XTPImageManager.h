// The command icon store: icons by command id and width, cut from toolbar
// bitmaps and image lists, drawn plain or with generated effects.
#pragma once

#include "toolkit/commandbars/XTPImageManagerIconSet.h"

class CBitmap;
class CImageList;
class CXTPPropExchange;

class CXTPImageManager : public CCmdTarget {
public:
    CXTPImageManager();
    ~CXTPImageManager() override;

    // From a bitmap resource, cut into count icons of the size ((0, 0): the
    // bitmap's height and width / count); ids[i] 0 marks a separator.
    BOOL SetIcons(UINT nIDResourceBitmap, const UINT* pCommands, int nCount, CSize szIcon,
                  int nState = xtpImageNormal);
    BOOL SetIcons(CBitmap& bmpIcons, const UINT* pCommands, int nCount, CSize szIcon, int nState = xtpImageNormal,
                  BOOL bAlpha = FALSE);
    BOOL SetIcons(CImageList& imlIcons, const UINT* pCommands, int nCount, CSize szIcon,
                  int nState = xtpImageNormal);
    // The toolbar resource's commands with the bitmap resource's images.
    BOOL SetIcons(UINT nIDResourceToolBar, UINT nIDResourceBitmap, int nState = xtpImageNormal);
    BOOL SetIcons(UINT nIDResourceToolBar, int nState = xtpImageNormal);
    BOOL SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nIDCommand, CSize szIcon = CSize(0, 0),
                 int nState = xtpImageNormal);

    CXTPImageManagerIcon* GetImage(UINT nCommand, int nWidth = 16) const;
    CXTPImageManagerIconSet* GetIconSet(UINT nCommand) const { return m_mapImages.Lookup(nCommand); }
    int GetIconSetCount() const { return m_mapImages.GetCount(); }

    void RefreshAll();
    void RemoveAll();

    // Icon sets in "IconSet" sections. A damaged or foreign set ends the
    // loading with FALSE; what was loaded before it stays.
    BOOL DoPropExchange(CXTPPropExchange* pPX);
    BOOL ExchangeIconSet(UINT nCommand, CXTPPropExchange* pPX);
    void Serialize(CArchive& ar) override;

    BOOL IsAlphaBlendAvailable() const { return m_pfnAlphaBlend != nullptr; }
    static void DrawAlphaBitmap(CDC* pDC, CPoint pt, HBITMAP hBitmap, CSize szDest, CSize szSrc = CSize(0, 0));

private:
    typedef BOOL(WINAPI* PFNALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

    CXTPImageManagerMap<CXTPImageManagerIconSet> m_mapImages;
    HMODULE m_hMsImgDll = nullptr;
    PFNALPHABLEND m_pfnAlphaBlend = nullptr;
};

// The process-wide image manager.
CXTPImageManager* XTPImageManager();
