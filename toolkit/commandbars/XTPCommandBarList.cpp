#include "toolkit/commandbars/XTPCommandBarList.h"

#include "platform/mfc/Exception.h"
#include "platform/win/MessageBox.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPPropExchange.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>
#include <memory>
#include <set>

BOOL CXTPCommandBarList::Add(CXTPCommandBar* pBar)
{
    if (!pBar || Contains(pBar))
        return FALSE;
    pBar->InternalAddRef();
    m_arrBars.push_back(pBar);
    return TRUE;
}

BOOL CXTPCommandBarList::Contains(const CXTPCommandBar* pBar) const
{
    return std::find(m_arrBars.begin(), m_arrBars.end(), pBar) != m_arrBars.end();
}

CXTPCommandBar* CXTPCommandBarList::FindBar(UINT nBarID) const
{
    for (CXTPCommandBar* pBar : m_arrBars)
        if (pBar->GetBarID() == nBarID)
            return pBar;
    return nullptr;
}

void CXTPCommandBarList::RemoveAll()
{
    std::vector<CXTPCommandBar*> arr;
    arr.swap(m_arrBars);
    for (CXTPCommandBar* pBar : arr)
        pBar->InternalRelease();
}

BOOL CXTPCommandBarList::DoPropExchange(CXTPPropExchange* pPX)
{
    std::unique_ptr<CXTPPropExchange> pSection(pPX->GetSection("CommandBars"));
    std::unique_ptr<CXTPPropExchangeEnumerator> pEnumerator(pSection->GetEnumerator("CommandBar"));
    if (pPX->IsStoring()) {
        POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(m_arrBars.size()));
        for (CXTPCommandBar* pBar : m_arrBars) {
            std::unique_ptr<CXTPPropExchange> pBarSection(pEnumerator->GetNext(pos));
            CObject* pObject = pBar;
            if (!pBarSection->ExchangeObjectInstance(pObject, RUNTIME_CLASS(CXTPCommandBar)))
                return FALSE;
            pBar->DoPropExchange(pBarSection.get());
        }
        return TRUE;
    }
    RemoveAll();
    POSITION pos = pEnumerator->GetPosition();
    while (pos) {
        std::unique_ptr<CXTPPropExchange> pBarSection(pEnumerator->GetNext(pos));
        CObject* pObject = nullptr;
        if (!pBarSection->ExchangeObjectInstance(pObject, RUNTIME_CLASS(CXTPCommandBar))) {
            RemoveAll();
            return FALSE;
        }
        auto* pBar = static_cast<CXTPCommandBar*>(pObject);
        // The list's reference is the new object's own: a damaged rest frees it too.
        m_arrBars.push_back(pBar);
        pBar->DoPropExchange(pBarSection.get());
        if (CXTPControls* pControls = pBar->GetControls()) {
            pControls->RefreshIndexes();
            pBar->OnControlsChanged();
        }
    }
    return TRUE;
}

namespace {

using tavrin::commandbars::GenerateCommandBarList;

void AddBarAndPopups(CXTPCommandBar* pBar, CXTPCommandBarList& list, CXTPCommandBarsPropExchangeParam& param);

void AddPopupsOf(CXTPControls* pControls, CXTPCommandBarList& list, CXTPCommandBarsPropExchangeParam& param)
{
    if (!pControls)
        return;
    for (int i = 0; i < pControls->GetCount(); ++i) {
        CXTPControl* pControl = pControls->GetAt(i);
        if (!pControl->IsTemporary())
            if (CXTPCommandBar* pPopup = pControl->GetCommandBar())
                AddBarAndPopups(pPopup, list, param);
    }
}

void AddBarAndPopups(CXTPCommandBar* pBar, CXTPCommandBarList& list, CXTPCommandBarsPropExchangeParam& param)
{
    if (!list.Add(pBar))
        return;
    if (!pBar->IsKindOf(RUNTIME_CLASS(CXTPToolBar)))
        pBar->SetBarID(param.nNextPopupBarID++);
    AddPopupsOf(pBar->GetControls(), list, param);
    if (param.bSaveOriginalControls && pBar->GetControls())
        AddPopupsOf(pBar->GetControls()->GetOriginalControls(), list, param);
    // The menu bar's template menus join here once the menu bar exists.
}

// The popup bars a loaded control set opens; FALSE when one of them is on
// the path already, which would make a popup contain itself.
struct LinkWalk {
    CXTPCommandBarList& list;
    std::vector<CXTPCommandBar*> path;
    // Bars whose links are all made and lead to no cycle.
    std::set<CXTPCommandBar*> done;
};

BOOL LinkControls(CXTPControls* pControls, LinkWalk& walk);

BOOL LinkBar(CXTPCommandBar* pBar, LinkWalk& walk)
{
    if (walk.done.count(pBar))
        return TRUE;
    if (std::find(walk.path.begin(), walk.path.end(), pBar) != walk.path.end())
        return FALSE;
    walk.path.push_back(pBar);
    BOOL bResult = LinkControls(pBar->GetControls(), walk);
    if (bResult && pBar->GetControls())
        bResult = LinkControls(pBar->GetControls()->GetOriginalControls(), walk);
    walk.path.pop_back();
    if (bResult)
        walk.done.insert(pBar);
    return bResult;
}

BOOL LinkControls(CXTPControls* pControls, LinkWalk& walk)
{
    CXTPCommandBarList& list = walk.list;
    std::vector<CXTPCommandBar*>& path = walk.path;
    if (!pControls)
        return TRUE;
    for (int i = 0; i < pControls->GetCount(); ++i) {
        auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControls->GetAt(i));
        if (!pPopup)
            continue;
        if (pPopup->m_nPendingBarID) {
            CXTPCommandBar* pBar = list.FindBar(pPopup->m_nPendingBarID);
            pPopup->m_nPendingBarID = 0;
            if (pBar && std::find(path.begin(), path.end(), pBar) != path.end())
                return FALSE;
            pPopup->SetCommandBar(pBar);
        }
        if (CXTPCommandBar* pBar = pPopup->GetCommandBar())
            if (!LinkBar(pBar, walk))
                return FALSE;
    }
    return TRUE;
}

// Drops every popup link of the loaded bars, so the bars can be released.
void UnlinkControls(CXTPControls* pControls)
{
    if (!pControls)
        return;
    for (int i = 0; i < pControls->GetCount(); ++i)
        if (auto* pPopup = DYNAMIC_DOWNCAST(CXTPControlPopup, pControls->GetAt(i)))
            pPopup->SetCommandBar(nullptr);
    UnlinkControls(pControls->GetOriginalControls());
}

} // namespace

void tavrin::commandbars::GenerateCommandBarList(CXTPCommandBars* pCommandBars, CXTPCommandBarList& list,
                                                 CXTPCommandBarsPropExchangeParam& param)
{
    param.nNextPopupBarID = 0x1000000;
    for (int i = 0; i < pCommandBars->GetCount(); ++i) {
        CXTPCommandBar* pBar = pCommandBars->GetAt(i);
        auto* pToolBar = DYNAMIC_DOWNCAST(CXTPToolBar, pBar);
        if (param.bSaveOnlyCustomized && pToolBar && pToolBar->IsBuiltIn()) {
            if (!pBar->IsCustomizable())
                continue;
            CXTPControls* pControls = pBar->GetControls();
            if (pControls && pControls->GetOriginalControls() && pControls->GetOriginalControls()->Compare(pControls))
                continue; // unchanged
        }
        AddBarAndPopups(pBar, list, param);
    }
}

BOOL tavrin::commandbars::RestoreCommandBarLinks(CXTPCommandBarList& list)
{
    LinkWalk walk{list, {}, {}};
    for (int i = 0; i < list.GetCount(); ++i) {
        if (!LinkBar(list.GetAt(i), walk)) {
            for (int j = 0; j < list.GetCount(); ++j)
                if (list.GetAt(j)->GetControls())
                    UnlinkControls(list.GetAt(j)->GetControls());
            return FALSE;
        }
    }
    return TRUE;
}

void tavrin::commandbars::RestoreCommandBarList(CXTPCommandBars* pCommandBars, CXTPCommandBarList& list,
                                                BOOL bSilent)
{
    for (int i = 0; i < list.GetCount(); ++i) {
        auto* pLoaded = DYNAMIC_DOWNCAST(CXTPToolBar, list.GetAt(i));
        if (!pLoaded)
            continue;
        auto* pExisting = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBars->GetToolBar(pLoaded->GetBarID()));
        if (!pExisting) {
            pCommandBars->AddLoadedToolBar(pLoaded);
            continue;
        }
        CXTPControls* pOld = pExisting->GetControls();
        CXTPControls* pNew = pLoaded->GetControls();
        if (!pOld || !pNew)
            continue;
        CXTPControls* pOldOriginal = pOld->GetOriginalControls();
        CXTPControls* pNewOriginal = pNew->GetOriginalControls();
        if (pOldOriginal && pNewOriginal && !pOldOriginal->Compare(pNewOriginal) && !bSilent) {
            CString strFormat, strMessage;
            XTPGetResourceManager()->LoadString(&strFormat, XTP_IDS_CONFIRM_UPDATE);
            strMessage.Format(strFormat, static_cast<LPCTSTR>(pExisting->GetTitle()));
            CWnd* pSite = pCommandBars->GetSite();
            // Yes keeps the program's new bar.
            if (::MessageBoxA(pSite ? pSite->GetSafeHwnd() : nullptr, strMessage, nullptr,
                              MB_YESNO | MB_ICONQUESTION) == IDYES)
                continue;
        }
        // The loaded controls, with the program's own reference copy.
        CXTPControls* pCopy = pNew->Duplicate(FALSE);
        if (pOldOriginal)
            pOldOriginal->InternalAddRef();
        pCopy->SetOriginalControls(pOldOriginal);
        pCopy->SetCommandBars(pCommandBars);
        pExisting->SetControls(pCopy);
        pExisting->OnControlsChanged();
    }
}
