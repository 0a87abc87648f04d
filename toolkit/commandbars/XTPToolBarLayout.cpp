// How a toolbar lays out docked or floating, and its option list.
#include "toolkit/commandbars/XTPToolBar.h"

#include "platform/mfc/Resource.h"
#include "platform/win/MessageBox.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPMouseManager.h"
#include "toolkit/commandbars/XTPPaintManager.h"
#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/commandbars/XTPShortcutManager.h"
#include "toolkit/commandbars/XTPToolBarControls.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/res/ToolkitIds.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace {

// Room kept at the end of a row for the chevron.
constexpr int kExpandRoom = 11;

// Layouts only measure: a memory DC spares working out the bar's visible
// region, which a client DC does at every pass of a live resize.
class MeasureDC : public CDC {
public:
    MeasureDC() { CreateCompatibleDC(nullptr); }
};

BOOL ShowExpandAlways(CXTPCommandBars* pCommandBars)
{
    return !pCommandBars || pCommandBars->GetOptions()->bShowExpandButtonAlways;
}

} // namespace

CXTPControl* CXTPToolBar::FindTemporary(int nID) const
{
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (pControl->GetID() == nID && pControl->IsTemporary())
            return pControl;
    }
    return nullptr;
}

CXTPToolBarExpandButton* CXTPToolBar::GetExpandButton()
{
    auto* pExpand = DYNAMIC_DOWNCAST(CXTPToolBarExpandButton, FindTemporary(XTP_ID_TOOLBAR_EXPAND));
    if (!pExpand) {
        pExpand = new CXTPToolBarExpandButton;
        m_pControls->Add(pExpand, XTP_ID_TOOLBAR_EXPAND, nullptr, -1, TRUE);
    }
    pExpand->SetHideFlag(xtpHideGeneric, TRUE);
    return pExpand;
}

CSize CXTPToolBar::CalcDockingLayout(int nLength, DWORD dwMode, int nWidth)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return CSize(0, 0);
    MeasureDC dc;
    CXTFontSelector font(&dc, pPaintManager->GetCommandBarFont(this));
    CRect rcBorder = pPaintManager->GetCommandBarBorders(this);
    if (m_dwStyle & CBRS_GRIPPER) {
        const CSize szGripper = pPaintManager->DrawCommandBarGripper(&dc, this, FALSE);
        rcBorder.left += szGripper.cx;
        rcBorder.top += szGripper.cy;
    }
    if (CXTPControl* pClose = FindTemporary(XTP_ID_TOOLBAR_HIDE))
        pClose->SetHideFlag(xtpHideGeneric, TRUE);

    if (m_barType == xtpBarTypeMenuBar || !m_pDockContext)
        return m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);

    CXTPToolBarExpandButton* pExpand = GetExpandButton();
    const BOOL bHorz = (dwMode & LM_HORZDOCK) != 0;
    CRect rcReserved = rcBorder;
    if (bHorz)
        rcReserved.right += kExpandRoom;
    else
        rcReserved.bottom += kExpandRoom;
    auto placeExpand = [&](CSize sz) {
        pExpand->SetHideFlags(xtpNoHide);
        pPaintManager->DrawSpecialControl(&dc, xtpButtonExpandToolbar, pExpand, this, FALSE, &sz);
    };

    if (ShowExpandAlways(GetCommandBars())) {
        const CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcReserved, nWidth);
        if (dwMode & LM_COMMIT)
            placeExpand(sz);
        return sz;
    }
    if (dwMode & LM_COMMIT) {
        auto anyWrapped = [this] {
            for (int i = 0; i < GetControlCount(); ++i)
                if (GetControl(i)->GetHideFlags() & xtpHideWrap)
                    return TRUE;
            return FALSE;
        };
        const BOOL bShortened = m_bRowShortened;
        m_bRowShortened = FALSE;
        if (bShortened) {
            // Known to hide controls: the row with the chevron's room at once.
            const CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcReserved, nWidth);
            if (anyWrapped()) {
                placeExpand(sz);
                return sz;
            }
        }
        CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
        if (anyWrapped()) {
            sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcReserved, nWidth);
            placeExpand(sz);
        }
        return sz;
    }
    // Measuring: along the row never less than one button and the chevron.
    CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
    if (m_pControls->GetVisibleCount(FALSE) > 1) {
        // A one-item row: the first control that may show, inside the borders.
        for (int i = 0; i < GetControlCount(); ++i) {
            CXTPControl* pControl = GetControl(i);
            if (pControl->GetHideFlags() != xtpNoHide && pControl->GetHideFlags() != xtpHideWrap)
                continue;
            const CSize szOne = pControl->GetSize(&dc);
            if (bHorz)
                sz.cx = std::max(sz.cx, static_cast<LONG>(rcBorder.left + szOne.cx + rcBorder.right + kExpandRoom));
            else
                sz.cy = std::max(sz.cy, static_cast<LONG>(rcBorder.top + szOne.cy + rcBorder.bottom + kExpandRoom));
            break;
        }
    }
    return sz;
}

CSize CXTPToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (!pPaintManager)
        return CSize(0, 0);
    MeasureDC dc;
    CXTFontSelector font(&dc, pPaintManager->GetCommandBarFont(this));
    const int h = pPaintManager->DrawCommandBarGripper(&dc, this, FALSE).cy;
    const CRect rcBorder(3, h + 4, 3, 3);

    CXTPControl* pClose = nullptr;
    CXTPToolBarExpandButton* pExpand = nullptr;
    if (m_barType != xtpBarTypeMenuBar) {
        if (m_bCloseable) {
            pClose = FindTemporary(XTP_ID_TOOLBAR_HIDE);
            if (!pClose) {
                pClose = new CXTPToolBarCloseButton;
                m_pControls->Add(pClose, XTP_ID_TOOLBAR_HIDE, nullptr, -1, TRUE);
            }
            pClose->SetHideFlag(xtpHideGeneric, TRUE);
        }
        pExpand = GetExpandButton();
    }

    const CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder);

    int x = sz.cx - 3;
    BOOL bPlaced = FALSE;
    if (pClose) {
        pClose->SetHideFlag(xtpHideGeneric, FALSE);
        pClose->SetRect(CRect(x - h, 3, x, h + 3));
        x -= h;
        bPlaced = TRUE;
    }
    if (pExpand && x - h > 0 && ShowExpandAlways(GetCommandBars())) {
        pExpand->SetHideFlag(xtpHideGeneric, FALSE);
        pExpand->SetRect(CRect(x - h, 3, x, h + 3));
        bPlaced = TRUE;
    }
    if (bPlaced && pExpand)
        pExpand->SetWrap(TRUE);
    return sz;
}

// The option list ------------------------------------------------------------------

namespace {

BOOL Matches(CXTPControl* a, CXTPControl* b)
{
    return a && b && a->GetID() == b->GetID() && a->GetType() == b->GetType();
}

} // namespace

void CXTPToolBar::BuildCustomizePopup(CXTPPopupBar* pPopup)
{
    // A working copy of the initial set; its entries are dropped as they are
    // matched, and a map of what is left keeps the walk linear.
    std::vector<CXTPControl*> original;
    if (CXTPControls* pInitial = m_pControls->GetOriginalControls())
        for (int i = 0; i < pInitial->GetCount(); ++i)
            original.push_back(pInitial->GetAt(i));

    // Controls hidden by the user leave the bar; they come back at the
    // places the initial set gives them. The bar's new order is built aside
    // and set at once.
    std::vector<CXTPControl*> kept;
    for (int i = 0; i < GetControlCount(); ++i) {
        CXTPControl* pControl = GetControl(i);
        if (!(pControl->GetHideFlags() & xtpHideCustomize)) {
            kept.push_back(pControl);
            continue;
        }
        const int nKept = static_cast<int>(kept.size());
        if (m_nSelected > nKept)
            --m_nSelected;
        if (m_nPopuped > nKept)
            --m_nPopuped;
    }

    // Occurrences still ahead, by (id, type): a count for the bar from i
    // on, and the positions left in the copy from j on. Both keep the walk
    // linear.
    auto key = [](CXTPControl* p) {
        return (static_cast<unsigned long long>(static_cast<unsigned>(p->GetID())) << 32) |
               static_cast<unsigned>(p->GetType());
    };
    // Positions of one key in the copy, in order; the front moves on.
    struct Positions {
        std::vector<size_t> at;
        size_t front = 0;
        bool empty() const { return front == at.size(); }
        void pop_front() { ++front; }
    };
    std::unordered_map<unsigned long long, int> aheadInBar;
    std::unordered_map<unsigned long long, Positions> aheadInCopy;
    aheadInBar.reserve(kept.size() + original.size());
    aheadInCopy.reserve(original.size());
    for (CXTPControl* p : kept)
        ++aheadInBar[key(p)];
    for (size_t k = 0; k < original.size(); ++k)
        aheadInCopy[key(original[k])].at.push_back(k);
    std::vector<bool> dropped(original.size(), false);

    std::vector<CXTPControl*> lines;
    std::vector<BOOL> inInitial;
    size_t j = 0;
    size_t i = 0;
    auto advanceCopy = [&] {
        aheadInCopy[key(original[j])].pop_front();
        ++j;
        while (j < original.size() && dropped[j])
            ++j;
    };
    while (i < kept.size() || j < original.size()) {
        CXTPControl* o = j < original.size() ? original[j] : nullptr;
        CXTPControl* b = i < kept.size() ? kept[i] : nullptr;
        BOOL bInitial = FALSE;
        BOOL bInserted = FALSE;
        if (o && aheadInBar[key(o)] == 0) {
            // An initial control missing from the bar comes back, hidden.
            b = o->Clone(FALSE);
            b->SetHideFlags(b->GetHideFlags() | xtpHideCustomize);
            const int nAt = static_cast<int>(lines.size());
            if (m_nSelected >= nAt)
                ++m_nSelected;
            if (m_nPopuped >= nAt)
                ++m_nPopuped;
            ++aheadInBar[key(b)];
            advanceCopy();
            bInitial = TRUE;
            bInserted = TRUE;
        } else if (o && Matches(o, b)) {
            advanceCopy();
            bInitial = TRUE;
        } else if (b) {
            // A later entry of the copy is this control: it is matched here.
            Positions& positions = aheadInCopy[key(b)];
            if (!positions.empty()) {
                dropped[positions.at[positions.front]] = true;
                positions.pop_front();
                bInitial = TRUE;
            }
        }
        if (b) {
            --aheadInBar[key(b)];
            lines.push_back(b);
            inInitial.push_back(bInitial);
        }
        if (!bInserted)
            ++i;
    }
    m_pControls->Rearrange(lines);

    CXTPShortcutManager* pShortcuts = XTPShortcutManager();
    for (size_t n = 0; n < lines.size(); ++n) {
        CXTPControl* b = lines[n];
        if (b->GetID() == XTP_ID_TOOLBAR_EXPAND || b->GetID() == XTP_ID_TOOLBAR_HIDE)
            continue;
        if (b->GetHideFlags() & (xtpHideGeneric | xtpHideDocTemplate))
            continue;
        auto* pLine = new CXTPToolBarOptionItem;
        pPopup->GetControls()->Add(pLine, 0);
        pLine->SetCaption(b->GetCaption());
        if (b->GetType() >= xtpControlButton && b->GetType() <= xtpControlSplitButtonPopup)
            pLine->SetIconId(b->m_nCustomIconId != 0 ? b->m_nCustomIconId
                                                     : (b->m_nIconId >= 1 ? b->m_nIconId : b->GetID()));
        CString strShortcut;
        if (pShortcuts && pShortcuts->FindDefaultAccelerator(static_cast<UINT>(b->GetID()), strShortcut))
            pLine->SetShortcutText(strShortcut);
        // The popup is not shown yet: no redraw is due.
        pLine->m_bChecked = !(b->GetHideFlags() & xtpHideCustomize);
        pLine->m_bEnabled = inInitial[n];
        pLine->SetTarget(b);
    }

    if (m_bBuiltIn && !m_bTearOff && m_pControls->GetOriginalControls()) {
        CString strReset;
        XTPGetResourceManager()->LoadString(&strReset, XTP_IDS_RESET);
        auto* pReset = new CXTPToolBarOptionItem;
        pPopup->GetControls()->Add(pReset, 0);
        pReset->SetCaption(strReset);
        pReset->SetBeginGroup(TRUE);
        pReset->m_nJoinedColumn = 1;
        pReset->SetResetBar(this);
    }
}

void CXTPToolBar::Reset()
{
    if (!m_bBuiltIn || m_nBarID == 0 || !IsCustomizable())
        return;
    CString strFormat;
    XTPGetResourceManager()->LoadString(&strFormat, XTP_IDS_CONFIRM_RESET);
    CString strMessage;
    strMessage.Format(strFormat, static_cast<LPCTSTR>(m_strTitle));
    if (::MessageBoxA(GetSafeHwnd(), strMessage, nullptr, MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    if (CXTPControls* pInitial = m_pControls->GetOriginalControls()) {
        pInitial->InternalAddRef();
        m_pControls->RemoveAll();
        for (int i = 0; i < pInitial->GetCount(); ++i) {
            CXTPControl* pControl = pInitial->GetAt(i);
            if (!pControl->IsTemporary())
                m_pControls->AddClone(pControl, -1, TRUE);
        }
        pInitial->InternalRelease();
    } else {
        LoadToolBar(m_nBarID, FALSE);
    }
    OnUpdateCmdUI(TRUE);
    OnRecalcLayout();
}
