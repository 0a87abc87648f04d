#include "toolkit/commandbars/XTPImageManager.h"

#include "platform/mfc/Archive.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"
#include "platform/mfc/ImageList.h"
#include "platform/mfc/Resource.h"
#include "platform/win/OptionalLibrary.h"
#include "platform/win/ResourceImage.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPTransparentBitmap.h"
#include "toolkit/controls/XTMemDC.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

CXTPImageManager::CXTPImageManager()
{
    m_hMsImgDll = ::LoadLibraryA("msimg32.dll");
    if (m_hMsImgDll)
        m_pfnAlphaBlend = reinterpret_cast<PFNALPHABLEND>(reinterpret_cast<void (*)()>(::GetProcAddress(m_hMsImgDll, "AlphaBlend")));
}

CXTPImageManager::~CXTPImageManager()
{
    RemoveAll();
    if (m_hMsImgDll)
        ::FreeLibrary(m_hMsImgDll);
}

BOOL CXTPImageManager::SetIcons(UINT nIDResourceBitmap, const UINT* pCommands, int nCount, CSize szIcon, int nState)
{
    BOOL bAlpha = CXTPImageManagerIcon::IsAlphaBitmapResource(nIDResourceBitmap);
    HBITMAP hBitmap = bAlpha ? CXTPImageManagerIcon::LoadAlphaBitmap(nIDResourceBitmap)
                             : ::LoadBitmapA(AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResourceBitmap), RT_BITMAP),
                                             MAKEINTRESOURCEA(nIDResourceBitmap));
    if (!hBitmap)
        return FALSE;
    CBitmap bitmap;
    bitmap.Attach(hBitmap);
    BITMAP bm{};
    bitmap.GetObject(sizeof bm, &bm);
    if (szIcon == CSize(0, 0)) {
        // No count and no size leaves nothing to cut by.
        if (nCount <= 0)
            return FALSE;
        szIcon = CSize(bm.bmWidth / nCount, std::abs(bm.bmHeight));
    }
    if (nCount == 0 && szIcon.cx > 0)
        nCount = bm.bmWidth / szIcon.cx;
    return SetIcons(bitmap, pCommands, nCount, szIcon, nState, bAlpha);
}

BOOL CXTPImageManager::SetIcons(CBitmap& bmpIcons, const UINT* pCommands, int nCount, CSize szIcon, int nState,
                                BOOL bAlpha)
{
    if (szIcon.cx <= 0 || !bmpIcons.GetSafeHandle())
        return FALSE;
    if (!bAlpha) {
        CImageList list;
        if (!list.Create(szIcon.cx, szIcon.cy, ILC_COLOR24 | ILC_MASK, 0, 1))
            return FALSE;
        list.Add(&bmpIcons, CXTPTransparentBitmap(static_cast<HBITMAP>(bmpIcons.GetSafeHandle())).GetTransparentColor());
        return SetIcons(list, pCommands, nCount, szIcon, nState);
    }

    int cx = 0, cy = 0;
    std::vector<BYTE> bits;
    if (!XTPImageBits::Read32(static_cast<HBITMAP>(bmpIcons.GetSafeHandle()), cx, cy, bits) || cx % szIcon.cx != 0)
        return FALSE;
    int n = cx / szIcon.cx;
    std::vector<HBITMAP> images;
    for (int i = 0; i < n; ++i) {
        BYTE* pDest = nullptr;
        HBITMAP hImage = XTPImageBits::Create32(szIcon.cx, cy, &pDest);
        if (!hImage) {
            for (HBITMAP h : images)
                ::DeleteObject(h);
            return FALSE;
        }
        size_t nRow = static_cast<size_t>(szIcon.cx) * 4;
        for (int y = 0; y < cy; ++y)
            std::memcpy(pDest + nRow * static_cast<size_t>(y),
                        bits.data() + static_cast<size_t>(cx) * 4 * static_cast<size_t>(y) + nRow * static_cast<size_t>(i),
                        nRow);
        images.push_back(hImage);
    }
    BOOL bExact = n == nCount;
    for (int i = 0, j = 0; i < nCount && j < n; ++i) {
        if (pCommands && !bExact && pCommands[i] == 0)
            continue;
        CXTPImageManagerIconHandle hImage(images[static_cast<size_t>(j)]);
        SetIcon(hImage, pCommands ? pCommands[i] : static_cast<UINT>(i), szIcon, nState);
        ++j;
    }
    for (HBITMAP h : images)
        ::DeleteObject(h);
    return TRUE;
}

BOOL CXTPImageManager::SetIcons(CImageList& imlIcons, const UINT* pCommands, int nCount, CSize szIcon, int nState)
{
    if (!imlIcons.GetSafeHandle())
        return FALSE;
    int nImages = imlIcons.GetImageCount();
    if (nCount == 0 && !pCommands)
        nCount = nImages;
    if (szIcon == CSize(0, 0) && nCount > 0) {
        IMAGEINFO info{};
        if (imlIcons.GetImageInfo(0, &info))
            szIcon = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
    }
    BOOL bExact = nImages == nCount;
    for (int i = 0, j = 0; i < nCount; ++i) {
        if (pCommands && !bExact && pCommands[i] == 0)
            continue;
        HICON hIcon = ::ImageList_GetIcon(imlIcons.GetSafeHandle(), j, ILD_NORMAL);
        if (!hIcon)
            return FALSE;
        {
            CXTPImageManagerIconHandle hImage(hIcon);
            SetIcon(hImage, pCommands ? pCommands[i] : static_cast<UINT>(i), szIcon, nState);
        }
        ::DestroyIcon(hIcon);
        ++j;
    }
    return TRUE;
}

BOOL CXTPImageManager::SetIcons(UINT nIDResourceToolBar, UINT nIDResourceBitmap, int nState)
{
    HMODULE module = AfxFindResourceHandle(MAKEINTRESOURCEA(nIDResourceToolBar), RT_TOOLBAR);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(nIDResourceToolBar), RT_TOOLBAR);
    if (!resource)
        return FALSE;
    DWORD dwSize = ::SizeofResource(module, resource);
    const auto* pData = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
    if (!pData || dwSize < 8)
        return FALSE;
    auto word = [pData](size_t i) { return static_cast<WORD>(pData[i * 2] | (pData[i * 2 + 1] << 8)); };
    size_t nItems = word(3);
    if (8 + nItems * 2 > dwSize)
        return FALSE;
    std::vector<UINT> commands;
    for (size_t i = 0; i < nItems; ++i)
        if (word(4 + i))
            commands.push_back(word(4 + i));
    if (commands.empty())
        return FALSE;
    return SetIcons(nIDResourceBitmap, commands.data(), static_cast<int>(commands.size()), CSize(0, 0), nState);
}

BOOL CXTPImageManager::SetIcons(UINT nIDResourceToolBar, int nState)
{
    return SetIcons(nIDResourceToolBar, nIDResourceToolBar, nState);
}

BOOL CXTPImageManager::SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nIDCommand, CSize szIcon, int nState)
{
    if (hIcon.IsEmpty())
        return FALSE;
    if (szIcon == CSize(0, 0))
        szIcon = hIcon.GetExtent();
    if (szIcon == CSize(0, 0) || szIcon.cx < 0)
        return FALSE;
    UINT nWidth = static_cast<UINT>(szIcon.cx);
    CXTPImageManagerIconSet* pIconSet = m_mapImages.Lookup(nIDCommand);
    if (pIconSet) {
        switch (nState) {
        case xtpImageNormal:
            pIconSet->SetIcon(hIcon, FALSE, nWidth);
            break;
        case xtpImageDisabled:
            pIconSet->SetDisabledIcon(hIcon, FALSE, nWidth);
            break;
        case xtpImageHot:
            pIconSet->SetHotIcon(hIcon, FALSE, nWidth);
            break;
        case xtpImageChecked:
            pIconSet->SetCheckedIcon(hIcon, FALSE, nWidth);
            break;
        default:
            break;
        }
        return TRUE;
    }
    if (nState != xtpImageNormal)
        return FALSE;
    pIconSet = new CXTPImageManagerIconSet(nIDCommand, this);
    pIconSet->SetIcon(hIcon, FALSE, nWidth);
    m_mapImages.SetAt(nIDCommand, pIconSet);
    return TRUE;
}

CXTPImageManagerIcon* CXTPImageManager::GetImage(UINT nCommand, int nWidth) const
{
    CXTPImageManagerIconSet* pIconSet = m_mapImages.Lookup(nCommand);
    return pIconSet ? pIconSet->GetIcon(static_cast<UINT>(nWidth), TRUE) : nullptr;
}

void CXTPImageManager::RefreshAll()
{
    for (const auto& entry : m_mapImages.Entries())
        entry.second->RefreshAll();
}

void CXTPImageManager::RemoveAll()
{
    m_mapImages.RemoveAll();
}

void CXTPImageManager::DrawAlphaBitmap(CDC* pDC, CPoint pt, HBITMAP hBitmap, CSize szDest, CSize szSrc)
{
    CXTPImageManager* pManager = XTPImageManager();
    if (!pDC || !hBitmap || !pManager->m_pfnAlphaBlend)
        return;
    if (szSrc == CSize(0, 0))
        szSrc = szDest;
    CXTBitmapDC bitmapDC(pDC, CBitmap::FromHandle(hBitmap));
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    pManager->m_pfnAlphaBlend(pDC->GetSafeHdc(), pt.x, pt.y, szDest.cx, szDest.cy, bitmapDC.GetSafeHdc(), 0, 0,
                              szSrc.cx, szSrc.cy, bf);
}

// Stored icons -----------------------------------------------------------

BOOL CXTPImageManager::DoPropExchange(CXTPPropExchange* pPX)
{
    if (!pPX)
        return FALSE;
    std::unique_ptr<CXTPPropExchangeEnumerator> pEnumerator(pPX->GetEnumerator("IconSet"));
    BOOL bResult = TRUE;
    // The set being loaded; a failure drops it rather than keep it half made.
    UINT nLoading = 0;
    BOOL bLoadingSet = FALSE;
    try {
        if (pPX->IsStoring()) {
            std::vector<std::pair<UINT, CXTPImageManagerIconSet*>> sets = m_mapImages.Entries();
            POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(sets.size()));
            for (const auto& entry : sets) {
                if (!pos)
                    break;
                std::unique_ptr<CXTPPropExchange> pSection(pEnumerator->GetNext(pos));
                LONG nId = static_cast<long>(entry.first);
                PX_Long(pSection.get(), "Id", nId, 0);
                bResult = ExchangeIconSet(entry.first, pSection.get()) && bResult;
            }
        } else {
            RemoveAll();
            POSITION pos = pEnumerator->GetPosition(0);
            while (pos && bResult) {
                std::unique_ptr<CXTPPropExchange> pSection(pEnumerator->GetNext(pos));
                LONG nId = 0;
                PX_Long(pSection.get(), "Id", nId, 0);
                nLoading = static_cast<UINT>(nId);
                bLoadingSet = TRUE;
                bResult = ExchangeIconSet(nLoading, pSection.get());
                if (bResult)
                    bLoadingSet = FALSE;
            }
        }
    } catch (CException* e) {
        // A short or damaged stream ends the loading; the manager stays usable.
        e->Delete();
        bResult = FALSE;
    }
    if (bLoadingSet)
        m_mapImages.RemoveKey(nLoading);
    return bResult;
}

BOOL CXTPImageManager::ExchangeIconSet(UINT nCommand, CXTPPropExchange* pPX)
{
    CString strCheckSum("CXTPImageManagerIcons");
    PX_String(pPX, "CheckSum", strCheckSum, "CXTPImageManagerIcons");
    if (pPX->IsLoading() && strCheckSum != "CXTPImageManagerIcons")
        return FALSE;

    if (pPX->IsStoring()) {
        CXTPImageManagerIconSet* pIconSet = m_mapImages.Lookup(nCommand);
        if (!pIconSet)
            return FALSE;
        std::vector<CXTPImageManagerIcon*> icons;
        for (const auto& entry : pIconSet->GetIcons().Entries())
            if (!entry.second->IsScaled())
                icons.push_back(entry.second);
        std::unique_ptr<CXTPPropExchangeEnumerator> pEnumerator(pPX->GetEnumerator("Icon"));
        POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(icons.size()));
        BOOL bResult = TRUE;
        for (CXTPImageManagerIcon* pIcon : icons) {
            if (!pos)
                break;
            std::unique_ptr<CXTPPropExchange> pSection(pEnumerator->GetNext(pos));
            LONG nWidth = pIcon->GetWidth();
            PX_Long(pSection.get(), "Width", nWidth, 0);
            bResult = PX_Serialize(pSection.get(), "Data", pIcon) && bResult;
        }
        return bResult;
    }

    CXTPImageManagerIconSet* pIconSet = m_mapImages.Lookup(nCommand);
    if (pIconSet) {
        pIconSet->RemoveAll();
    } else {
        pIconSet = new CXTPImageManagerIconSet(nCommand, this);
        m_mapImages.SetAt(nCommand, pIconSet);
    }
    std::unique_ptr<CXTPPropExchangeEnumerator> pEnumerator(pPX->GetEnumerator("Icon"));
    POSITION pos = pEnumerator->GetPosition(0);
    while (pos) {
        std::unique_ptr<CXTPPropExchange> pSection(pEnumerator->GetNext(pos));
        LONG nWidth = 16;
        PX_Long(pSection.get(), "Width", nWidth, 16);
        if (nWidth <= 0 || nWidth > 4096)
            return FALSE;
        auto* pIcon = new CXTPImageManagerIcon(nCommand, static_cast<int>(nWidth), 15, pIconSet);
        if (!PX_Serialize(pSection.get(), "Data", pIcon)) {
            pIcon->InternalRelease();
            return FALSE;
        }
        pIconSet->GetIcons().SetAt(static_cast<UINT>(nWidth), pIcon);
    }
    return TRUE;
}

void CXTPImageManager::Serialize(CArchive& ar)
{
    CXTPPropExchangeArchive px(ar);
    DoPropExchange(&px);
}

CXTPImageManager* XTPImageManager()
{
    static CXTPImageManager manager;
    return &manager;
}
