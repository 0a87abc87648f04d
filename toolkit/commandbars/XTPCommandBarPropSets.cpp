// The stored properties of the bars, the controls and their collections:
// one description each, for the registry and the archive alike.
#include "platform/mfc/Archive.h"
#include "platform/mfc/Exception.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBarList.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPImageManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <memory>

namespace {

// A field of any integer type through a 32-bit value.
template <typename T>
void ExchangeLong(CXTPPropExchange* pPX, LPCTSTR lpszName, T& field, LONG nDefault)
{
    LONG nValue = static_cast<LONG>(field);
    PX_Long(pPX, lpszName, nValue, nDefault);
    if (pPX->IsLoading())
        field = static_cast<T>(nValue);
}

void ExchangeBool(CXTPPropExchange* pPX, LPCTSTR lpszName, BOOL& field, BOOL bDefault)
{
    PX_Bool(pPX, lpszName, field, bDefault);
}

// The document-template map as a count and its pairs.
void ExchangeTemplates(CXTPPropExchange* pPX, LPCTSTR lpszName, CXTPControlTemplateMap& map)
{
    if (pPX->IsStoring() && pPX->IsAllowDefaultValues() && map.IsEmpty())
        return;
    CArchive* pAr = pPX->GetArchive(lpszName);
    if (!pAr)
        return;
    if (pAr->IsStoring()) {
        pAr->WriteCount(static_cast<DWORD_PTR>(map.GetCount()));
        for (POSITION pos = map.GetStartPosition(); pos;) {
            UINT nKey = 0;
            BOOL bValue = FALSE;
            map.GetNextAssoc(pos, nKey, bValue);
            *pAr << static_cast<DWORD>(nKey) << static_cast<LONG>(bValue);
        }
    } else {
        map.RemoveAll();
        for (DWORD_PTR n = pAr->ReadCount(); n > 0; --n) {
            DWORD nKey = 0;
            LONG bValue = 0;
            *pAr >> nKey >> bValue;
            map.SetAt(nKey, bValue);
        }
    }
    pPX->ReleaseArchive(lpszName, pAr);
}

CXTPCommandBarsPropExchangeParam* Param(CXTPPropExchange* pPX)
{
    return static_cast<CXTPCommandBarsPropExchangeParam*>(pPX->m_dwData);
}

} // namespace

void CXTPControl::DoPropExchange(CXTPPropExchange* pPX)
{
    ExchangeLong(pPX, "Type", m_controlType, 1);
    ExchangeLong(pPX, "Id", m_nId, -1);
    ExchangeLong(pPX, "IconId", m_nIconId, 0);
    ExchangeBool(pPX, "BeginGroup", m_bBeginGroup, FALSE);
    ExchangeLong(pPX, "Tag", m_nTag, 0);
    ExchangeLong(pPX, "Flags", m_dwFlags, 0);
    ExchangeLong(pPX, "HideFlags", m_dwHideFlags, 0);
    PX_String(pPX, "Caption", m_strCaption, "");
    PX_String(pPX, "ShortcutText", m_strShortcutText, "");
    PX_String(pPX, "TooltipText", m_strTooltipText, "");
    PX_String(pPX, "DescriptionText", m_strDescriptionText, "");
    PX_String(pPX, "Parameter", m_strParameter, "");
    ExchangeLong(pPX, "CustomIconId", m_nCustomIconId, 0);
    PX_String(pPX, "CustomCaption", m_strCustomCaption, "");
    if (pPX->GetSchema() > 1)
        PX_String(pPX, "Category", m_strCategory, "");
    if (m_nCustomIconId > 0) {
        CXTPCommandBars* pCommandBars = Param(pPX) ? Param(pPX)->pCommandBars : GetCommandBars();
        std::unique_ptr<CXTPPropExchange> pSection(pPX->GetSection("CustomIcon"));
        if (pCommandBars && pCommandBars->GetImageManager())
            pCommandBars->GetImageManager()->ExchangeIconSet(static_cast<UINT>(m_nCustomIconId), pSection.get());
    }
    if (pPX->GetSchema() > 3) {
        ExchangeTemplates(pPX, "DocTemplatesExcluded", m_mapDocTemplatesExcluded);
        ExchangeTemplates(pPX, "DocTemplatesAssigned", m_mapDocTemplatesAssigned);
        ExchangeBool(pPX, "DefaultItem", m_bDefaultItem, FALSE);
    }
    if (pPX->GetSchema() > 6)
        ExchangeBool(pPX, "CloseSubMenuOnClick", m_bCloseSubMenuOnClick, TRUE);
    if (pPX->GetSchema() >= 8)
        ExchangeLong(pPX, "CustomStyle", m_buttonCustomStyle, 0);
}

void CXTPControlButton::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControl::DoPropExchange(pPX);
    ExchangeLong(pPX, "Style", m_buttonStyle, 0);
}

void CXTPControlPopup::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPControlButton::DoPropExchange(pPX);
    if (pPX->IsStoring()) {
        LONG nBarID = m_pCommandBar ? static_cast<LONG>(m_pCommandBar->GetBarID()) : 0;
        PX_Long(pPX, "CommandBarId", nBarID, 0);
    } else {
        LONG nBarID = 0;
        PX_Long(pPX, "CommandBarId", nBarID, 0);
        m_nPendingBarID = static_cast<UINT>(nBarID);
    }
    if (pPX->GetSchema() > 4)
        ExchangeLong(pPX, "Style", m_buttonStyle, 0);
}

void CXTPControls::SetOriginalControls(CXTPControls* pControls)
{
    if (m_pOriginalControls)
        m_pOriginalControls->InternalRelease();
    m_pOriginalControls = pControls;
}

void CXTPControls::DoPropExchange(CXTPPropExchange* pPX)
{
    std::unique_ptr<CXTPPropExchangeEnumerator> pEnumerator(pPX->GetEnumerator("Control"));
    if (pPX->IsStoring()) {
        DWORD nCount = 0;
        for (CXTPControl* pControl : m_arrControls)
            if (!pControl->IsTemporary())
                ++nCount;
        POSITION pos = pEnumerator->GetPosition(nCount);
        for (CXTPControl* pControl : m_arrControls) {
            if (pControl->IsTemporary())
                continue;
            std::unique_ptr<CXTPPropExchange> pSection(pEnumerator->GetNext(pos));
            CObject* pObject = pControl;
            pSection->ExchangeObjectInstance(pObject, RUNTIME_CLASS(CXTPControl));
            pControl->DoPropExchange(pSection.get());
        }
    } else {
        RemoveAll();
        POSITION pos = pEnumerator->GetPosition();
        while (pos) {
            std::unique_ptr<CXTPPropExchange> pSection(pEnumerator->GetNext(pos));
            CObject* pObject = nullptr;
            if (!pSection->ExchangeObjectInstance(pObject, RUNTIME_CLASS(CXTPControl)))
                AfxThrowArchiveException(CArchiveException::badClass, nullptr);
            auto* pControl = static_cast<CXTPControl*>(pObject);
            // Owned by the collection from here, so a damaged rest frees it too.
            InsertAndIndex(pControl, -1);
            pControl->DoPropExchange(pSection.get());
        }
    }
    if (pPX->GetSchema() > 2) {
        BOOL bOriginal = m_pOriginalControls && pPX->IsStoring() && !m_arrControls.empty();
        PX_Bool(pPX, "OriginalControls", bOriginal, FALSE);
        if (bOriginal) {
            std::unique_ptr<CXTPPropExchange> pSection(pPX->GetSection("OriginalControls"));
            if (pPX->IsStoring()) {
                m_pOriginalControls->DoPropExchange(pSection.get());
            } else {
                auto* pOriginal = new CXTPControls;
                pOriginal->SetCommandBars(m_pCommandBars);
                SetOriginalControls(pOriginal);
                pOriginal->DoPropExchange(pSection.get());
            }
        }
        BOOL bCustomized = FALSE;
        PX_Bool(pPX, "CustomizedControls", bCustomized, FALSE);
        if (bCustomized && pPX->IsLoading()) {
            std::unique_ptr<CXTPPropExchange> pSection(pPX->GetSection("CustomizedControls"));
            auto* pDiscarded = new CXTPControls;
            struct Release {
                CXTPControls* p;
                ~Release() { p->InternalRelease(); }
            } release{pDiscarded};
            pDiscarded->DoPropExchange(pSection.get());
        }
    }
}

void CXTPCommandBar::DoPropExchange(CXTPPropExchange* pPX)
{
    ExchangeLong(pPX, "Type", m_barType, 1);
    ExchangeLong(pPX, "Position", m_barPosition, 0);
    ExchangeLong(pPX, "BarID", m_nBarID, 0);
    ExchangeLong(pPX, "Flags", m_dwFlags, 0);
    ExchangeLong(pPX, "Style", m_dwStyle, 0);
    PX_String(pPX, "Title", m_strTitle, "");
    ExchangeBool(pPX, "Customizable", m_bCustomizable, TRUE);
    ExchangeLong(pPX, "MRUWidth", m_nMRUWidth, 0);
    if (pPX->GetSchema() > 2)
        PX_Size(pPX, "IconSize", m_szIcons, CSize(0, 0));
    if (pPX->IsLoading() && Param(pPX))
        SetCommandBars(Param(pPX)->pCommandBars);
    if (m_pControls && pPX->IsLoading())
        m_pControls->SetCommandBars(GetCommandBars());
    std::unique_ptr<CXTPPropExchange> pSection(pPX->GetSection("Controls"));
    if (m_pControls)
        m_pControls->DoPropExchange(pSection.get());
}

void CXTPToolBar::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPCommandBar::DoPropExchange(pPX);
    ExchangeBool(pPX, "BuiltIn", m_bBuiltIn, TRUE);
    ExchangeBool(pPX, "TearOff", m_bTearOff, FALSE);
    if (pPX->GetSchema() > 6)
        ExchangeBool(pPX, "Closeable", m_bCloseable, TRUE);
    if (pPX->GetSchema() >= 8)
        ExchangeBool(pPX, "ContextMenuPresent", m_bContextMenuPresent, TRUE);
}

void CXTPPopupBar::DoPropExchange(CXTPPropExchange* pPX)
{
    CXTPCommandBar::DoPropExchange(pPX);
    // Tear-off popups are not part of this library: their values are read
    // and written as they come, so the stream keeps its shape.
    BOOL bTearOff = FALSE;
    CString strCaption;
    LONG nTearOffID = 0, nTearOffWidth = 0;
    ExchangeBool(pPX, "TearOffPopup", bTearOff, FALSE);
    PX_String(pPX, "TearOffCaption", strCaption, "");
    PX_Long(pPX, "TearOffId", nTearOffID, 0);
    PX_Long(pPX, "TearOffWidth", nTearOffWidth, 0);
    if (pPX->GetSchema() > 3) {
        CRect rcBorders(2, 4, 2, 4);
        PX_Rect(pPX, "Borders", rcBorders, CRect(2, 4, 2, 4));
        ExchangeBool(pPX, "ShowShadow", m_bShowShadow, TRUE);
    }
}
