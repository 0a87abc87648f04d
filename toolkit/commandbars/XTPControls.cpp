#include "toolkit/commandbars/XTPControls.h"

#include "platform/mfc/FrameWnd.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Wnd.h"
#include "toolkit/commandbars/XTPCommandBar.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPControlExt.h"
#include "toolkit/commandbars/XTPControlPopup.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPResourceManager.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNCREATE(CXTPControls, CCmdTarget)

namespace {

// A gap with a group line between two controls.
constexpr int kGroupGap = 6;

// A button of the menu builder or the factory, by its command id.
CXTPControl* CreateButton(int nId, const CString& strCaption, BOOL bMenu)
{
    switch (nId) {
    case XTP_ID_WINDOWLIST:
        return new CXTPControlWindowList;
    case XTP_ID_WORKSPACE_ACTIONS:
        return new CXTPControlWorkspaceActions;
    case XTP_ID_TOOLBARLIST:
        return new CXTPControlToolbars;
    case XTP_ID_FILE_MRU:
        if (!bMenu)
            return new CXTPControlRecentFileList;
        break;
    case XTP_ID_MENU_MRU_FILE1:
        if (bMenu)
            return new CXTPControlRecentFileList;
        break;
    case XTP_ID_OLE_VERB_FIRST:
        if (bMenu && strCaption == "<<OLE VERBS GO HERE>>")
            return new CXTPControlOleItems;
        break;
    default:
        break;
    }
    return new CXTPControlButton;
}

} // namespace

CXTPControls::CXTPControls() = default;

CXTPControls::~CXTPControls()
{
    RemoveAll();
    if (m_pOriginalControls)
        m_pOriginalControls->InternalRelease();
}

CWnd* CXTPControls::FindSite() const
{
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars && pCommandBars->GetSite())
        return pCommandBars->GetSite();
    if (!m_pParent)
        return nullptr;
    if (CWnd* pTarget = m_pParent->GetCommandTarget())
        return pTarget;
    return m_pParent->GetSite();
}

void CXTPControls::InsertAt(CXTPControl* pControl, int nBefore)
{
    if (nBefore < 0 || nBefore >= GetCount())
        m_arrControls.push_back(pControl);
    else
        m_arrControls.insert(m_arrControls.begin() + nBefore, pControl);
}

void CXTPControls::InsertAndIndex(CXTPControl* pControl, int nBefore)
{
    if (nBefore >= 0 && nBefore < GetCount()) {
        InsertAt(pControl, nBefore);
        RefreshIndexes();
        return;
    }
    // Appended: only the new control's index changes, so long lists fill in linear time.
    m_arrControls.push_back(pControl);
    pControl->SetIndex(GetCount() - 1);
    pControl->SetControls(this);
    pControl->SetParent(m_pParent);
    if (m_pParent)
        m_pParent->OnControlsChanged();
}

void CXTPControls::Rearrange(std::vector<CXTPControl*> arrControls)
{
    std::vector<CXTPControl*> sorted(arrControls);
    std::sort(sorted.begin(), sorted.end());
    std::vector<CXTPControl*> dropped;
    for (CXTPControl* pControl : m_arrControls)
        if (!std::binary_search(sorted.begin(), sorted.end(), pControl))
            dropped.push_back(pControl);
    m_arrControls.swap(arrControls);
    for (CXTPControl* pControl : dropped) {
        pControl->SetControls(nullptr);
        pControl->SetParent(nullptr);
        pControl->InternalRelease();
    }
    RefreshIndexes();
}

CXTPPopupBar* CXTPControls::CreatePopupBarFor(LPCTSTR lpszTitle, UINT nID, BOOL bAskSite)
{
    if (bAskSite) {
        if (CWnd* pSite = FindSite()) {
            CreateBarInfo info{};
            info.bPopup = TRUE;
            info.lpcstrCaption = lpszTitle;
            info.nID = nID;
            if (pSite->SendMessage(WM_CREATE_COMMAND_BAR, 0, reinterpret_cast<LPARAM>(&info)) &&
                info.pCommandBar) {
                if (auto* pBar = DYNAMIC_DOWNCAST(CXTPPopupBar, info.pCommandBar)) {
                    // Its items find the site as the factory's bars do.
                    if (!pBar->m_pCommandBars)
                        pBar->SetCommandBars(GetCommandBars());
                    return pBar;
                }
            }
        }
    }
    return CXTPPopupBar::CreatePopupBar(GetCommandBars());
}

CXTPControl* CXTPControls::CreatePopup(int controlType, LPCTSTR lpszTitle, UINT nID, BOOL bAskSite, CMenu* pContent,
                                       BOOL bRemoveControls)
{
    CXTPControlPopup* pPopup = CXTPControlPopup::CreateControlPopup(controlType);
    CXTPPopupBar* pBar = CreatePopupBarFor(lpszTitle, nID, bAskSite);
    pBar->SetTitle(lpszTitle);
    if (pContent)
        pBar->LoadMenu(pContent, bRemoveControls);
    // The control's reference is the only one left.
    pPopup->SetCommandBar(pBar);
    pBar->InternalRelease();
    return pPopup;
}

CXTPControl* CXTPControls::Add(int controlType, int nId, LPCTSTR lpszParameter, int nBefore, BOOL bTemporary)
{
    CXTPControl* pControl = nullptr;
    switch (controlType) {
    case xtpControlButton:
        pControl = CreateButton(nId, CString(), FALSE);
        pControl->SetID(nId);
        break;
    case xtpControlComboBox:
        pControl = new CXTPControlComboBox;
        pControl->SetID(nId);
        break;
    case xtpControlEdit:
        pControl = new CXTPControlEdit;
        pControl->SetID(nId);
        break;
    case xtpControlLabel:
        pControl = new CXTPControlLabel;
        pControl->SetID(nId);
        break;
    case xtpControlCustom:
        return Add(new CXTPControlCustom, nId, lpszParameter, nBefore, bTemporary);
    case xtpControlPopup:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup: {
        CMenu menu;
        CMenu* pSubMenu = nullptr;
        CString strTitle;
        if (nId >= 1 && XTPGetResourceManager()->LoadMenu(&menu, static_cast<UINT>(nId))) {
            pSubMenu = menu.GetSubMenu(0);
            menu.GetMenuString(0, strTitle, MF_BYPOSITION);
        }
        pControl = CreatePopup(controlType, strTitle, static_cast<UINT>(nId), nId >= 1, pSubMenu, TRUE);
        if (controlType != xtpControlPopup)
            pControl->SetID(nId);
        break;
    }
    default:
        // No control exists for other types.
        return nullptr;
    }
    pControl->SetType(controlType);
    pControl->SetParameter(lpszParameter);
    pControl->SetTemporary(bTemporary);
    InsertAndIndex(pControl, nBefore);
    return pControl;
}

CXTPControl* CXTPControls::Add(CXTPControl* pControl, int nId, LPCTSTR lpszParameter, int nBefore, BOOL bTemporary)
{
    if (!pControl)
        return nullptr;
    pControl->SetParameter(lpszParameter);
    pControl->SetTemporary(bTemporary);
    pControl->SetID(nId);
    InsertAndIndex(pControl, nBefore);
    return pControl;
}

CXTPControl* CXTPControls::AddClone(CXTPControl* pControl, int nBefore, BOOL bRecursive)
{
    CXTPControl* pClone = pControl ? pControl->Clone(bRecursive) : nullptr;
    if (!pClone)
        return nullptr;
    InsertAndIndex(pClone, nBefore);
    return pClone;
}

CXTPControl* CXTPControls::AddMenuItem(CMenu* pMenu, int nIndex)
{
    CMenu* pSubMenu = pMenu->GetSubMenu(nIndex);
    int nID = static_cast<int>(pMenu->GetMenuItemID(nIndex));
    if (nID == 0xFF00)
        return nullptr;
    const BOOL bDefault =
        static_cast<int>(::GetMenuDefaultItem(pMenu->m_hMenu, TRUE, GMDI_USEDISABLED)) == nIndex;
    CString strCaption;
    pMenu->GetMenuString(static_cast<UINT>(nIndex), strCaption, MF_BYPOSITION);
    int controlType = pSubMenu ? xtpControlPopup : xtpControlButton;
    int buttonStyle = 0;

    CXTPControl* pControl = nullptr;
    if (CWnd* pSite = FindSite()) {
        CreateBarControlInfo info{nID, nullptr, FALSE, nIndex, pMenu, m_pParent, strCaption, controlType, 0};
        if (pSite->SendMessage(WM_CREATE_BAR_CONTROL, 0, reinterpret_cast<LPARAM>(&info))) {
            nID = info.nID;
            strCaption = info.strCaption;
            controlType = info.controlType;
            buttonStyle = info.buttonStyle;
            pControl = info.pControl;
        }
    }

    if (!pControl) {
        switch (controlType) {
        case xtpControlButton:
            pControl = CreateButton(nID, strCaption, TRUE);
            break;
        case xtpControlComboBox:
            pControl = new CXTPControlComboBox;
            break;
        case xtpControlEdit:
            pControl = new CXTPControlEdit;
            break;
        case xtpControlPopup:
        case xtpControlButtonPopup:
        case xtpControlSplitButtonPopup: {
            CString strTitle = strCaption;
            CXTPPaintManager::StripMnemonics(strTitle);
            CMenu menu;
            CMenu* pContent = pSubMenu;
            if (!pContent && nID != 0 && XTPGetResourceManager()->LoadMenu(&menu, static_cast<UINT>(nID)))
                pContent = menu.GetSubMenu(0);
            pControl = CreatePopup(controlType, strTitle, static_cast<UINT>(nID), TRUE, pContent, FALSE);
            break;
        }
        default:
            return nullptr;
        }
        pControl->SetType(controlType);
        pControl->SetStyle(buttonStyle);
    }

    pControl->SetID(nID);
    pControl->SetCaption(strCaption);
    pControl->SetDefaultItem(bDefault);
    InsertAt(pControl, -1);
    RefreshIndexes();
    return pControl;
}

BOOL CXTPControls::LoadMenu(CMenu* pMenu)
{
    BOOL bBeginGroup = FALSE;
    for (int i = 0; i < static_cast<int>(pMenu->GetMenuItemCount()); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_TYPE;
        pMenu->GetMenuItemInfo(static_cast<UINT>(i), &info, TRUE);
        if ((info.fType & MFT_SEPARATOR) || pMenu->GetMenuItemID(i) == 0) {
            bBeginGroup = TRUE;
            continue;
        }
        CXTPControl* pControl = AddMenuItem(pMenu, i);
        if (!pControl) {
            // A placeholder stands for a group of its own.
            bBeginGroup = TRUE;
            continue;
        }
        if (bBeginGroup) {
            pControl->SetBeginGroup(TRUE);
            bBeginGroup = FALSE;
        }
        if ((info.fState & MFS_CHECKED) && !pControl->GetChecked()) {
            pControl->SetChecked(TRUE);
            pControl->RedrawParent();
        }
        if (info.fState & MFS_DISABLED)
            pControl->SetEnabled(FALSE);
    }
    return TRUE;
}

void CXTPControls::Remove(CXTPControl* pControl)
{
    if (!pControl)
        return;
    auto it = std::find(m_arrControls.begin(), m_arrControls.end(), pControl);
    if (it == m_arrControls.end())
        return;
    if (pControl->GetSelected() && m_pParent)
        m_pParent->SetSelected(-1);
    m_arrControls.erase(it);
    pControl->SetControls(nullptr);
    pControl->SetParent(nullptr);
    pControl->InternalRelease();
    RefreshIndexes();
}

void CXTPControls::Remove(int nIndex)
{
    Remove(GetAt(nIndex));
}

void CXTPControls::RemoveAll()
{
    std::vector<CXTPControl*> controls;
    controls.swap(m_arrControls);
    for (CXTPControl* pControl : controls) {
        pControl->SetControls(nullptr);
        pControl->SetParent(nullptr);
        pControl->InternalRelease();
    }
    if (m_pParent && !controls.empty())
        m_pParent->OnControlsChanged();
}

CXTPControl* CXTPControls::GetAt(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_arrControls[static_cast<size_t>(nIndex)] : nullptr;
}

void CXTPControls::GetNextControl(CXTPControl*& pControl) const
{
    pControl = pControl ? GetAt(pControl->GetIndex() + 1) : nullptr;
}

CXTPControl* CXTPControls::FindControl(int nId) const
{
    for (CXTPControl* pControl : m_arrControls)
        if (nId == -1 || pControl->GetID() == nId)
            return pControl;
    return nullptr;
}

CXTPControl* CXTPControls::HitTest(CPoint point) const
{
    for (CXTPControl* pControl : m_arrControls)
        if (pControl->GetHideFlags() == 0 && pControl->GetRect().PtInRect(point))
            return pControl;
    return nullptr;
}

int CXTPControls::GetNext(int nIndex, int nDirection, BOOL bKeyboard, BOOL bSkipTemporary,
                          BOOL bSkipCollapsed) const
{
    const int nCount = GetCount();
    if (nCount == 0)
        return -1;
    const DWORD dwIgnored = bSkipCollapsed ? xtpHideScroll : (xtpHideScroll | xtpHideExpand);
    int nNext = (nIndex == -1 && nDirection == -1) ? nCount - 1 : nIndex + nDirection;
    BOOL bWrapped = FALSE;
    for (;;) {
        if (nNext == nIndex)
            return nNext;
        if (nNext >= nCount || nNext < 0) {
            if (nIndex == -1 || bWrapped)
                return -1;
            bWrapped = TRUE;
            nNext = nNext < 0 ? nCount - 1 : 0;
            continue;
        }
        const CXTPControl* pControl = m_arrControls[static_cast<size_t>(nNext)];
        const BOOL bSkip = (pControl->GetHideFlags() & ~dwIgnored) != 0 ||
                           (bKeyboard && (pControl->GetFlags() & xtpFlagSkipFocus)) ||
                           (bSkipTemporary && pControl->IsTemporary());
        if (!bSkip)
            return nNext;
        nNext += nDirection;
    }
}

int CXTPControls::GetVisibleCount(BOOL bStrict) const
{
    int nCount = 0;
    for (const CXTPControl* pControl : m_arrControls) {
        const DWORD dwHide = pControl->GetHideFlags();
        if (dwHide == 0 || (!bStrict && dwHide == xtpHideWrap))
            ++nCount;
    }
    return nCount;
}

void CXTPControls::SetParent(CXTPCommandBar* pParent)
{
    m_pParent = pParent;
    if (!m_arrControls.empty())
        RefreshIndexes();
}

void CXTPControls::RefreshIndexes()
{
    for (size_t i = 0; i < m_arrControls.size(); ++i) {
        CXTPControl* pControl = m_arrControls[i];
        pControl->SetIndex(static_cast<int>(i));
        pControl->SetControls(this);
        pControl->SetParent(m_pParent);
    }
    if (m_pParent)
        m_pParent->OnControlsChanged();
}

CXTPCommandBars* CXTPControls::GetCommandBars() const
{
    return m_pParent ? m_pParent->GetCommandBars() : m_pCommandBars;
}

CXTPControls* CXTPControls::Duplicate(BOOL bRecursive)
{
    auto* pControls = new CXTPControls;
    pControls->m_pCommandBars = GetCommandBars();
    for (CXTPControl* pControl : m_arrControls) {
        if (pControl->IsTemporary())
            continue;
        if (CXTPControl* pClone = pControl->Clone(bRecursive))
            pControls->InsertAt(pClone, -1);
    }
    pControls->RefreshIndexes();
    if (m_pOriginalControls)
        pControls->m_pOriginalControls = m_pOriginalControls->Duplicate(TRUE);
    return pControls;
}

void CXTPControls::CreateInitialControls()
{
    CXTPControls* pInitial = Duplicate(TRUE);
    if (m_pOriginalControls)
        m_pOriginalControls->InternalRelease();
    m_pOriginalControls = pInitial;
}

BOOL CXTPControls::Compare(const CXTPControls* pOther) const
{
    if (!pOther)
        return FALSE;
    std::vector<CXTPControl*> mine, theirs;
    for (CXTPControl* pControl : m_arrControls)
        if (!pControl->IsTemporary())
            mine.push_back(pControl);
    for (CXTPControl* pControl : pOther->m_arrControls)
        if (!pControl->IsTemporary())
            theirs.push_back(pControl);
    if (mine.size() != theirs.size())
        return FALSE;
    for (size_t i = 0; i < mine.size(); ++i)
        if (!mine[i]->Compare(theirs[i]))
            return FALSE;
    return TRUE;
}

BOOL CXTPControls::IsChanged() const
{
    return !m_pOriginalControls || !Compare(m_pOriginalControls);
}

// Layout --------------------------------------------------------------------

int CXTPControls::WrapToolBar(std::vector<LayoutEntry>& entries, int nWidth, DWORD& dwMode) const
{
    const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
    for (LayoutEntry& e : entries)
        e.bWrap = e.bHide = FALSE;
    auto extent = [&](const LayoutEntry& e) { return bVert ? e.szControl.cy : e.szControl.cx; };

    int nRows = 0;
    int x = 0;
    int nRowStart = -1;
    const int nCount = static_cast<int>(entries.size());
    for (int i = 0; i < nCount; ++i) {
        LayoutEntry& e = entries[static_cast<size_t>(i)];
        if (!e.bVisible)
            continue;
        const BOOL bFirst = nRowStart == -1;
        if (bFirst)
            nRowStart = i;
        x += extent(e) + ((e.bBeginGroup && !bFirst && i != nRowStart) ? kGroupGap : 0);
        if (x <= nWidth || i == nRowStart)
            continue;
        if ((dwMode & LM_HIDEWRAP) && !bFirst) {
            for (int j = i; j < nCount; ++j)
                entries[static_cast<size_t>(j)].bHide = TRUE;
            dwMode |= LM_STRETCH;
            return nRows + 1;
        }
        // Break before the nearest group start of this row, else here.
        int nBreak = i;
        for (int j = i; j > nRowStart; --j) {
            const LayoutEntry& c = entries[static_cast<size_t>(j)];
            if (c.bVisible && c.bBeginGroup) {
                nBreak = j;
                break;
            }
        }
        entries[static_cast<size_t>(nBreak)].bWrap = TRUE;
        nRowStart = nBreak;
        x = extent(entries[static_cast<size_t>(nBreak)]);
        i = nBreak;
        if (!(dwMode & LM_HIDEWRAP))
            dwMode |= LM_STRETCH;
        ++nRows;
    }
    return nRows + 1;
}

CSize CXTPControls::CalcSize(std::vector<LayoutEntry>& entries, BOOL bVert) const
{
    CSize sz(0, 0);
    int x = 0, y = 0, nLine = 0;
    BOOL bFirst = TRUE;
    for (LayoutEntry& e : entries) {
        if (!e.bVisible || e.bHide)
            continue;
        const int cx = e.szControl.cx, cy = e.szControl.cy;
        if (bVert) {
            if (e.bWrap && !bFirst) {
                x -= nLine + (e.bBeginGroup ? kGroupGap : 0);
                y = 0;
                nLine = 0;
            } else if (e.bBeginGroup && !bFirst) {
                y += kGroupGap;
            }
            e.rcControl = CRect(x - cx, y, x, y + cy);
            y += cy;
            nLine = std::max(nLine, static_cast<int>(cx));
            sz.cx = std::max(sz.cx, static_cast<LONG>(-e.rcControl.left));
            sz.cy = std::max(sz.cy, e.rcControl.bottom);
        } else {
            if (e.bWrap && !bFirst) {
                y += nLine + (e.bBeginGroup ? kGroupGap : 0);
                x = 0;
                nLine = 0;
            } else if (e.bBeginGroup && !bFirst) {
                x += kGroupGap;
            }
            e.rcControl = CRect(x, y, x + cx, y + cy);
            x += cx;
            nLine = std::max(nLine, static_cast<int>(cy));
            sz.cx = std::max(sz.cx, e.rcControl.right);
            sz.cy = std::max(sz.cy, e.rcControl.bottom);
        }
        bFirst = FALSE;
    }
    return sz;
}

void CXTPControls::SizeToolBar(std::vector<LayoutEntry>& entries, int nLength, DWORD dwMode) const
{
    DWORD dwWrapMode = dwMode;
    if (dwMode & LM_LENGTHY) {
        // The narrowest wrapping whose height fits the length.
        WrapToolBar(entries, 0, dwWrapMode);
        CSize szMin = CalcSize(entries, FALSE);
        WrapToolBar(entries, 32767, dwWrapMode);
        CSize szMax = CalcSize(entries, FALSE);
        while (szMin.cx < szMax.cx) {
            const int nMid = (szMin.cx + szMax.cx) / 2;
            WrapToolBar(entries, nMid, dwWrapMode);
            const CSize szMid = CalcSize(entries, FALSE);
            if (nLength < szMid.cy) {
                if (szMin == szMid) {
                    WrapToolBar(entries, szMax.cx, dwWrapMode);
                    return;
                }
                szMin = szMid;
            } else if (nLength > szMid.cy) {
                if (szMax == szMid)
                    break;
                szMax = szMid;
            } else {
                return;
            }
        }
        WrapToolBar(entries, szMax.cx, dwWrapMode);
        return;
    }
    // The smallest width that keeps the rows the length gives.
    int nMax = nLength;
    const int nTarget = WrapToolBar(entries, nMax, dwWrapMode);
    int nMin = 0;
    int nCurrent = WrapToolBar(entries, nMin, dwWrapMode);
    if (nCurrent != nTarget) {
        while (nMin < nMax) {
            const int nMid = (nMin + nMax) / 2;
            nCurrent = WrapToolBar(entries, nMid, dwWrapMode);
            if (nCurrent == nTarget) {
                nMax = nMid;
            } else {
                if (nMin == nMid) {
                    WrapToolBar(entries, nMax, dwWrapMode);
                    break;
                }
                nMin = nMid;
            }
        }
    }
    const CSize sz = CalcSize(entries, FALSE);
    WrapToolBar(entries, sz.cx, dwWrapMode);
}

void CXTPControls::AdjustStretched(std::vector<LayoutEntry>& entries, CSize sz, const CRect& rcBorder,
                                   BOOL bVert) const
{
    const int nCount = static_cast<int>(entries.size());
    auto placed = [&](int i) {
        const LayoutEntry& e = entries[static_cast<size_t>(i)];
        return e.bVisible && !e.bHide;
    };
    auto flags = [&](int i) { return m_arrControls[static_cast<size_t>(i)]->GetFlags(); };
    auto lead = [&](const CRect& rc) { return bVert ? rc.top : rc.left; };
    auto trail = [&](const CRect& rc) { return bVert ? rc.bottom : rc.right; };
    auto move = [&](CRect& rc, int d) { bVert ? rc.OffsetRect(0, d) : rc.OffsetRect(d, 0); };

    const int nEnd = bVert ? rcBorder.top + sz.cy : rcBorder.left + sz.cx;
    const int nLeadBorder = bVert ? rcBorder.top : rcBorder.left;

    // Right-aligned controls at the end of the last row.
    int nRightStart = nEnd;
    int nFirstRight = nCount;
    for (int i = nCount - 1; i >= 0; --i) {
        if (!placed(i))
            continue;
        if (!(flags(i) & xtpFlagRightAlign))
            break;
        LayoutEntry& e = entries[static_cast<size_t>(i)];
        const int nStart = nRightStart - (trail(e.rcControl) - lead(e.rcControl));
        if (nStart < nLeadBorder)
            break;
        move(e.rcControl, nStart - lead(e.rcControl));
        nRightStart = nStart;
        nFirstRight = i;
        if (e.bWrap)
            break;
    }

    // Rows, each from its first placed entry (before the right-aligned ones).
    std::vector<std::pair<int, int>> rows;
    for (int i = 0; i < nFirstRight; ++i) {
        if (!placed(i))
            continue;
        if (rows.empty() || entries[static_cast<size_t>(i)].bWrap)
            rows.push_back({i, i});
        rows.back().second = i;
    }
    for (size_t r = rows.size(); r-- > 0;) {
        const int nFirst = rows[r].first, nLast = rows[r].second;
        const int nRowEnd = (r + 1 == rows.size()) ? nRightStart : nEnd;
        int nUsed = -1, nStretched = 0;
        for (int i = nFirst; i <= nLast; ++i) {
            if (!placed(i))
                continue;
            if (!(flags(i) & xtpFlagRightAlign))
                nUsed = trail(entries[static_cast<size_t>(i)].rcControl);
            if (flags(i) & xtpFlagControlStretched)
                ++nStretched;
        }
        const int nFree = nRowEnd - nUsed;
        if (nUsed < 0 || nFree <= 0 || nStretched == 0)
            continue;
        int nGiven = 0;
        for (int i = nFirst; i <= nLast; ++i) {
            if (!placed(i))
                continue;
            LayoutEntry& e = entries[static_cast<size_t>(i)];
            move(e.rcControl, nGiven);
            if (flags(i) & xtpFlagControlStretched) {
                const int nShare = (nFree - nGiven) / nStretched--;
                (bVert ? e.rcControl.bottom : e.rcControl.right) += nShare;
                nGiven += nShare;
            }
        }
    }
}

CSize CXTPControls::CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder, int nWidth)
{
    for (int i = GetCount() - 1; i >= 0; --i)
        m_arrControls[static_cast<size_t>(i)]->OnCalcDynamicSize(dwMode);

    if (GetVisibleCount(FALSE) == 0) {
        CSize sz(rcBorder.left + rcBorder.right + 23, rcBorder.top + rcBorder.bottom + 22);
        if (dwMode & LM_HORZDOCK)
            sz.cy = std::max(sz.cy, static_cast<LONG>(nWidth));
        else
            sz.cx = std::max(sz.cx, static_cast<LONG>(nWidth));
        return sz;
    }

    const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
    std::vector<LayoutEntry> entries;
    entries.reserve(m_arrControls.size());
    for (CXTPControl* pControl : m_arrControls) {
        const DWORD dwHide = pControl->GetHideFlags();
        const BOOL bVisible = dwHide == 0 || dwHide == xtpHideWrap;
        entries.push_back({pControl->GetRect(), CRect(0, 0, 0, 0), bVisible ? pControl->GetSize(pDC) : CSize(0, 0),
                           bVisible, FALSE, FALSE, pControl->GetBeginGroup()});
    }

    if ((dwMode & LM_MRUWIDTH) && m_pParent)
        nLength = m_pParent->GetMRUWidth();
    if (dwMode & LM_POPUP) {
        const int nMRUWidth = m_pParent ? m_pParent->GetMRUWidth() : nLength;
        WrapToolBar(entries, nMRUWidth, dwMode);
        const CSize sz = CalcSize(entries, bVert);
        WrapToolBar(entries, bVert ? sz.cy : sz.cx, dwMode);
    } else if (dwMode & LM_HORZDOCK) {
        WrapToolBar(entries, nLength - rcBorder.left - rcBorder.right, dwMode);
    } else if (dwMode & LM_VERTDOCK) {
        WrapToolBar(entries, nLength - rcBorder.top - rcBorder.bottom, dwMode);
    } else {
        SizeToolBar(entries,
                    nLength - ((dwMode & LM_LENGTHY) ? rcBorder.top + rcBorder.bottom
                                                     : rcBorder.left + rcBorder.right),
                    dwMode);
    }

    CSize sz = CalcSize(entries, bVert);
    if (nWidth > 0) {
        if (dwMode & LM_HORZDOCK)
            sz.cy = std::max(sz.cy, static_cast<LONG>(nWidth - rcBorder.top - rcBorder.bottom));
        else
            sz.cx = std::max(sz.cx, static_cast<LONG>(nWidth - rcBorder.left - rcBorder.right));
    }
    if (dwMode & LM_STRETCH) {
        if (bVert)
            sz.cy = std::max(sz.cy, static_cast<LONG>(nLength - rcBorder.top - rcBorder.bottom));
        else
            sz.cx = std::max(sz.cx, static_cast<LONG>(nLength - rcBorder.left - rcBorder.right));
    }

    if (dwMode & LM_COMMIT) {
        // Borders, then every row centred across its height.
        const int nShiftX = rcBorder.left + (bVert ? sz.cx : 0);
        size_t nRowFirst = 0;
        for (size_t i = 0; i <= entries.size(); ++i) {
            const bool bEnd = i == entries.size();
            if (!bEnd) {
                LayoutEntry& e = entries[i];
                if (!e.bVisible || e.bHide)
                    continue;
                e.rcControl.OffsetRect(nShiftX, rcBorder.top);
                if (!e.bWrap || i == nRowFirst)
                    continue;
            }
            // Entries nRowFirst .. i - 1 form one row.
            int nLineStart = INT_MAX, nLine = 0;
            for (size_t j = nRowFirst; j < i; ++j) {
                const LayoutEntry& r = entries[j];
                if (!r.bVisible || r.bHide)
                    continue;
                nLineStart = std::min(nLineStart, static_cast<int>(bVert ? r.rcControl.left : r.rcControl.top));
                nLine = std::max(nLine, static_cast<int>(bVert ? r.rcControl.Width() : r.rcControl.Height()));
            }
            for (size_t j = nRowFirst; j < i; ++j) {
                LayoutEntry& r = entries[j];
                if (!r.bVisible || r.bHide)
                    continue;
                if (bVert) {
                    r.rcRow = CRect(nLineStart, rcBorder.top, nLineStart + nLine, rcBorder.top + sz.cy);
                    r.rcControl.OffsetRect(nLineStart - r.rcControl.left + (nLine - r.rcControl.Width()) / 2, 0);
                } else {
                    r.rcRow = CRect(rcBorder.left, nLineStart, rcBorder.left + sz.cx, nLineStart + nLine);
                    r.rcControl.OffsetRect(0, (nLine - r.rcControl.Height()) / 2);
                }
            }
            nRowFirst = i;
        }
        AdjustStretched(entries, sz, rcBorder, bVert);
        for (size_t i = 0; i < entries.size(); ++i) {
            CXTPControl* pControl = m_arrControls[i];
            const LayoutEntry& e = entries[i];
            pControl->SetHideFlag(xtpHideWrap, e.bHide);
            pControl->SetRowRect(e.rcRow);
            pControl->SetWrap(e.bWrap);
            if (!e.bHide)
                pControl->SetRect(e.rcControl);
        }
    }
    sz.cx += rcBorder.left + rcBorder.right;
    sz.cy += rcBorder.top + rcBorder.bottom;
    return sz;
}
