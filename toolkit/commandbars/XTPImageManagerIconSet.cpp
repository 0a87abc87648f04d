#include "toolkit/commandbars/XTPImageManagerIconSet.h"

#include "platform/base/MulDiv.h"

#include <cstdlib>

CXTPImageManagerIconSet::CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager)
    : m_nID(nID), m_pImageManager(pImageManager)
{
}

CXTPImageManagerIconSet::~CXTPImageManagerIconSet()
{
    RemoveAll();
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::CreateIcon(UINT nWidth)
{
    CXTPImageManagerIcon* pIcon = m_mapIcons.Lookup(nWidth);
    if (!pIcon) {
        pIcon = new CXTPImageManagerIcon(m_nID, static_cast<int>(nWidth), 15, this);
        m_mapIcons.SetAt(nWidth, pIcon);
    }
    return pIcon;
}

void CXTPImageManagerIconSet::SetImage(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth, int nState)
{
    CXTPImageManagerIcon* pIcon = CreateIcon(nWidth);
    switch (nState) {
    case xtpImageNormal:
        pIcon->SetIcon(hIcon);
        break;
    case xtpImageDisabled:
        pIcon->SetDisabledIcon(hIcon);
        break;
    case xtpImageHot:
        pIcon->SetHotIcon(hIcon);
        break;
    default:
        pIcon->SetCheckedIcon(hIcon);
        break;
    }
    if (bOwned) {
        if (hIcon.GetIcon())
            ::DestroyIcon(hIcon.GetIcon());
        if (hIcon.GetBitmap())
            ::DeleteObject(hIcon.GetBitmap());
    }
}

void CXTPImageManagerIconSet::SetIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth)
{
    SetImage(hIcon, bOwned, nWidth, xtpImageNormal);
}

void CXTPImageManagerIconSet::SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth)
{
    SetImage(hIcon, bOwned, nWidth, xtpImageDisabled);
}

void CXTPImageManagerIconSet::SetHotIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth)
{
    SetImage(hIcon, bOwned, nWidth, xtpImageHot);
}

void CXTPImageManagerIconSet::SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon, BOOL bOwned, UINT nWidth)
{
    SetImage(hIcon, bOwned, nWidth, xtpImageChecked);
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::GetIcon(UINT nWidth, BOOL bScaled)
{
    if (CXTPImageManagerIcon* pIcon = m_mapIcons.Lookup(nWidth))
        return pIcon;
    if (!bScaled)
        return nullptr;

    CXTPImageManagerIcon* pBest = nullptr;
    int nBestDistance = 0;
    for (const auto& entry : m_mapIcons.Entries()) {
        int nDistance = std::abs(static_cast<int>(entry.first) - static_cast<int>(nWidth));
        if (!pBest || nDistance < nBestDistance) {
            pBest = entry.second;
            nBestDistance = nDistance;
        }
    }
    if (!pBest || pBest->IsAlpha() || nWidth == 0 || pBest->GetWidth() <= 0)
        return pBest;

    // Making a copy deletes no other icon, so a copy may come from an earlier
    // copy; copies go when a real image of the set changes.
    int nWidthNew = static_cast<int>(nWidth);
    int nHeightNew = ::MulDiv(pBest->GetHeight(), nWidthNew, pBest->GetWidth());
    auto scale = [&](const CXTPImageManagerIconHandle& hSource) -> HICON {
        return hSource.GetIcon() ? CXTPImageManagerIcon::ScaleIcon(hSource.GetIcon(), pBest->GetWidth(),
                                                                   pBest->GetHeight(), nWidthNew)
                                 : nullptr;
    };
    HICON hNormal = scale(pBest->m_hIcon);
    if (!hNormal)
        return pBest;
    HICON hDisabled = scale(pBest->m_hDisabled);
    HICON hHot = scale(pBest->m_hHot);
    HICON hChecked = scale(pBest->m_hChecked);

    auto* pCopy = new CXTPImageManagerIcon(m_nID, nWidthNew, nHeightNew, this);
    pCopy->m_hIcon.Attach(hNormal);
    if (hDisabled)
        pCopy->m_hDisabled.Attach(hDisabled);
    if (hHot)
        pCopy->m_hHot.Attach(hHot);
    if (hChecked)
        pCopy->m_hChecked.Attach(hChecked);
    pCopy->m_bScaled = TRUE;
    m_mapIcons.SetAt(nWidth, pCopy);
    return pCopy;
}

void CXTPImageManagerIconSet::RefreshAll()
{
    std::vector<UINT> scaled;
    for (const auto& entry : m_mapIcons.Entries()) {
        if (entry.second->IsScaled())
            scaled.push_back(entry.first);
        else
            entry.second->ClearGeneratedIcons();
    }
    for (UINT nWidth : scaled)
        m_mapIcons.RemoveKey(nWidth);
}

void CXTPImageManagerIconSet::RemoveAll()
{
    m_mapIcons.RemoveAll();
}
