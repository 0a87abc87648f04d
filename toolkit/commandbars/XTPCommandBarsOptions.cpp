#include "toolkit/commandbars/XTPCommandBarsOptions.h"

#include "platform/mfc/Archive.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPPropExchange.h"

#include <cstring>
#include <memory>
#include <vector>

#include "toolkit/commandbars/XTPPaintManager.h"

CXTPCommandBarsOptions::CXTPCommandBarsOptions() = default;
CXTPCommandBarsOptions::~CXTPCommandBarsOptions() = default;

BOOL CXTPCommandBarsOptions::ExchangeCommandMap(CXTPPropExchange* pPX, LPCTSTR pszPropName, CXTPCommandMap& map)
{
    if (pPX->IsAllowBlobValues()) {
        if (pPX->IsStoring()) {
            // A registry store keeps no value for an empty map; an archive
            // always holds one.
            if (pPX->IsAllowDefaultValues() && map.IsEmpty())
                return TRUE;
            std::vector<DWORD> words;
            words.push_back(static_cast<DWORD>(map.GetCount()));
            for (POSITION pos = map.GetStartPosition(); pos;) {
                UINT nID = 0;
                BOOL bValue = FALSE;
                map.GetNextAssoc(pos, nID, bValue);
                words.push_back(nID);
                words.push_back(static_cast<DWORD>(bValue));
            }
            auto* pData = reinterpret_cast<BYTE*>(words.data());
            DWORD nBytes = static_cast<DWORD>(words.size() * sizeof(DWORD));
            return pPX->ExchangeBlob(pszPropName, &pData, &nBytes);
        }
        BYTE* pData = nullptr;
        DWORD nBytes = 0;
        BOOL bRead = pPX->ExchangeBlob(pszPropName, &pData, &nBytes);
        std::unique_ptr<BYTE[]> holder(pData);
        if (!bRead || !pData || nBytes < sizeof(DWORD))
            return FALSE;
        DWORD nCount = 0;
        std::memcpy(&nCount, pData, sizeof(DWORD));
        // The count must describe exactly the pairs that follow.
        if (uint64_t(nCount) * 2 * sizeof(DWORD) + sizeof(DWORD) != nBytes)
            return FALSE;
        for (DWORD i = 0; i < nCount; ++i) {
            DWORD pair[2];
            std::memcpy(pair, pData + sizeof(DWORD) + i * sizeof(pair), sizeof(pair));
            map.SetAt(pair[0], static_cast<BOOL>(pair[1]));
        }
        return TRUE;
    }

    std::unique_ptr<CXTPPropExchange> pSection(pPX->GetSection(pszPropName));
    if (pSection->IsStoring()) {
        pSection->WriteCount(static_cast<DWORD>(map.GetCount()));
        int i = 0;
        for (POSITION pos = map.GetStartPosition(); pos; ++i) {
            UINT nID = 0;
            BOOL bValue = FALSE;
            map.GetNextAssoc(pos, nID, bValue);
            CString strName;
            strName.Format("Item%i", i);
            LONG nItem = static_cast<LONG>(nID);
            pSection->ExchangeProp(strName, VT_I4, &nItem);
        }
        return TRUE;
    }
    map.RemoveAll();
    DWORD nCount = pSection->ReadCount();
    for (DWORD i = 0; i < nCount; ++i) {
        CString strName;
        strName.Format("Item%i", static_cast<int>(i));
        LONG nItem = 0;
        // A count larger than the items stops at the first missing one.
        if (!pSection->ExchangeProp(strName, VT_I4, &nItem))
            break;
        map.SetAt(static_cast<UINT>(nItem), TRUE);
    }
    return TRUE;
}

void CXTPCommandBarsOptions::ExchangeIconOptions(CXTPPropExchange* pPX)
{
    BOOL bIconsWithShadow = FALSE, bUseDisabledIcons = TRUE, bUseFadedIcons = TRUE;
    XTP_COMMANDBARS_ICONSINFO* pInfo = nullptr;
    if (m_pCommandBars && m_pCommandBars->GetPaintManager())
        pInfo = m_pCommandBars->GetPaintManager()->GetIconsInfo();
    if (pInfo) {
        bIconsWithShadow = pInfo->bIconsWithShadow;
        bUseDisabledIcons = pInfo->bUseDisabledIcons;
        bUseFadedIcons = pInfo->bUseFadedIcons;
    }
    PX_Bool(pPX, "IconsWithShadow", bIconsWithShadow, FALSE);
    PX_Bool(pPX, "UseDisabledIcons", bUseDisabledIcons, TRUE);
    PX_Bool(pPX, "UseFadedIcons", bUseFadedIcons, TRUE);
    if (pInfo && pPX->IsLoading()) {
        pInfo->bIconsWithShadow = bIconsWithShadow;
        pInfo->bUseDisabledIcons = bUseDisabledIcons;
        pInfo->bUseFadedIcons = bUseFadedIcons;
    }
}

void CXTPCommandBarsOptions::DoPropExchange(CXTPPropExchange* pPX, BOOL bUserOptionsOnly)
{
    // A value missing from the store leaves the option as it is.
    pPX->UseDefaultOnLoad(FALSE);
    LONG nSchema = 8;
    PX_Long(pPX, "Schema", nSchema, 8);

    PX_Bool(pPX, "AlwaysShowFullMenus", bAlwaysShowFullMenus, TRUE);
    PX_Bool(pPX, "ShowFullAfterDelay", bShowFullAfterDelay, TRUE);
    PX_Bool(pPX, "ToolBarScreenTips", bToolBarScreenTips, TRUE);
    PX_Bool(pPX, "ToolBarAccelTips", bToolBarAccelTips, FALSE);
    PX_Bool(pPX, "LargeIcons", bLargeIcons, FALSE);
    if (nSchema > 7)
        ExchangeCommandMap(pPX, "UsedCommands", m_mapUsedCommands);
    if (nSchema > 7 || bUserOptionsOnly)
        PX_Int(pPX, "Animation", animationType, 0);
    if (bUserOptionsOnly)
        return;

    PX_Bool(pPX, "SyncFloatingBars", bSyncFloatingBars, TRUE);
    PX_Bool(pPX, "ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
    PX_Size(pPX, "IconsSize", szIcons, CSize(0, 0));
    PX_Size(pPX, "LargeIconsSize", szLargeIcons, CSize(0, 0));
    ExchangeCommandMap(pPX, "HiddenCommands", m_mapHiddenCommands);
    ExchangeIconOptions(pPX);

    if (nSchema > 7) {
        PX_Bool(pPX, "SyncFloatingBars", bSyncFloatingBars, TRUE);
        PX_Bool(pPX, "ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
        PX_Bool(pPX, "DblClickFloat", bDblClickFloat, FALSE);
        PX_Bool(pPX, "ShowTextBelowIcons", bShowTextBelowIcons, FALSE);
        PX_Bool(pPX, "AltDragCustomization", bAltDragCustomization, TRUE);
        PX_Bool(pPX, "AutoHideUnusedPopups", bAutoHideUnusedPopups, TRUE);
        PX_Size(pPX, "PopupIconsSize", szPopupIcons, CSize(16, 16));
    }
}

void CXTPCommandBarsOptions::Serialize(CArchive& ar)
{
    CXTPPropExchangeArchive px(ar);
    DoPropExchange(&px, FALSE);
}
