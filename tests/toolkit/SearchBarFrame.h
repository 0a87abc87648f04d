// A framework frame whose site answers build the search toolbar the way the
// program's main frame does: the labels "搜索:" and " 在结果中搜索 ", the
// editable history combo box and the hosted check box. It answers code 100
// of the combo through its message map, records every WM_COMMAND, runs an
// accelerator on Delete, enables the box and the check box in the update
// passes, and has a child window that holds the focus first.
#pragma once

#include "platform/mfc/Button.h"
#include "platform/mfc/Edit.h"
#include "platform/win/Accelerator.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPControlComboBox.h"
#include "toolkit/commandbars/XTPControlCustom.h"
#include "toolkit/commandbars/XTPControls.h"
#include "toolkit/commandbars/XTPToolBar.h"

#include <functional>
#include <vector>

namespace tavrin::test {

constexpr int kIdSearchLabel = 32930;
constexpr int kIdSearchInResultsLabel = 32935;
constexpr int kIdSearchCombo = 32928;
constexpr int kIdSearchInResults = 32934;
constexpr UINT kIdDeleteAccel = 32999;
constexpr UINT kIdSearchBar = 176;

class CSearchBarFrame : public CXTPCommandBarsFrame {
public:
    std::vector<UINT> m_commands;
    std::vector<CString> m_searches;
    std::vector<CString> m_history{"甲班", "乙班", "留言"};
    CButton m_checkBox;
    CEdit m_view;
    CXTPToolBar* m_pSearchBar = nullptr;
    // Posted when a popup opens and run when it arrives: a test acts inside
    // the popup's own loop.
    static constexpr UINT kRunAction = WM_APP + 9;
    std::function<void()> m_onAction;

    ~CSearchBarFrame() override
    {
        if (m_hAccelTable)
            ::DestroyAcceleratorTable(m_hAccelTable);
    }

    // The frame, its command bars and the search toolbar docked at the top.
    BOOL CreateWithSearchBar(DWORD dwStyle, const CRect& rc)
    {
        if (!Create(nullptr, "搜索", dwStyle, rc))
            return FALSE;
        if (!InitCommandBars(RUNTIME_CLASS(CXTPCommandBars)))
            return FALSE;
        ACCEL accel{FVIRTKEY, VK_DELETE, static_cast<WORD>(kIdDeleteAccel)};
        m_hAccelTable = ::CreateAcceleratorTable(&accel, 1);
        m_view.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 120, 200, 144), this, 4001);
        m_pSearchBar = GetCommandBars()->Add("搜索", xtpBarTop);
        if (!m_pSearchBar)
            return FALSE;
        m_pSearchBar->SetBarID(kIdSearchBar);
        static const UINT ids[] = {kIdSearchLabel, kIdSearchCombo, kIdSearchInResults, kIdSearchInResultsLabel};
        if (!m_pSearchBar->SetButtons(ids, 4))
            return FALSE;
        RecalcLayout();
        return TRUE;
    }

    CXTPControlComboBox* Combo() const
    {
        return DYNAMIC_DOWNCAST(CXTPControlComboBox, m_pSearchBar->GetControls()->FindControl(kIdSearchCombo));
    }
    CXTPControlCustom* CheckControl() const
    {
        return DYNAMIC_DOWNCAST(CXTPControlCustom, m_pSearchBar->GetControls()->FindControl(kIdSearchInResults));
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE_BAR_CONTROL)
            return OnCreateControl(reinterpret_cast<CreateBarControlInfo*>(lParam));
        if (message == WM_POPUP_OPENING && m_onAction)
            PostMessage(kRunAction);
        if (message == kRunAction && m_onAction) {
            m_onAction();
            return 0;
        }
        if (message == WM_COMMAND && lParam == 0)
            m_commands.push_back(LOWORD(wParam));
        return CXTPCommandBarsFrame::WindowProc(message, wParam, lParam);
    }
    void OnSearch(NMHDR* pHeader, LRESULT* pResult)
    {
        auto* pInfo = reinterpret_cast<BarControlNotifyInfo*>(pHeader);
        if (auto* pCombo = DYNAMIC_DOWNCAST(CXTPControlComboBox, pInfo->pControl)) {
            m_searches.push_back(pCombo->GetEditText());
            *pResult = 1;
        }
    }
    // The bars' update passes disable what no handler answers for.
    void OnUpdateEnabled(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    // Lives in the test.
    void PostNcDestroy() override {}

private:
    LRESULT OnCreateControl(CreateBarControlInfo* pInfo)
    {
        if (!pInfo->bToolBar)
            return 0;
        switch (pInfo->nID) {
        case kIdSearchLabel:
        case kIdSearchInResultsLabel: {
            CXTPControlStatic* pStatic = static_cast<CXTPControlStatic*>(CXTPControlStatic::CreateObject());
            pStatic->SetCaption(pInfo->nID == kIdSearchLabel ? "搜索:" : " 在结果中搜索 ");
            pStatic->SetFlags(xtpFlagManualUpdate);
            pInfo->pControl = pStatic;
            return 1;
        }
        case kIdSearchCombo: {
            CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(CXTPControlComboBox::CreateObject());
            pCombo->SetDropDownListStyle(TRUE);
            pCombo->SetWidth(120);
            pCombo->GetCommandBar()->SetWidth(200);
            for (const CString& strTerm : m_history)
                pCombo->AddString(strTerm);
            pInfo->pControl = pCombo;
            return 1;
        }
        case kIdSearchInResults: {
            if (!m_checkBox.m_hWnd)
                m_checkBox.Create("x", 0x50000003, CRect(0, 0, 13, 13), pInfo->pCommandBar, kIdSearchInResults);
            m_checkBox.SetWindowText("");
            CXTPControlCustom* pCustom = CXTPControlCustom::CreateControlCustom(&m_checkBox);
            pCustom->SetVerticalPositionOption(xtpVerticalHide);
            pCustom->SetFlags(xtpFlagManualUpdate);
            pCustom->SetBorders(7, 0, 0, 0);
            pInfo->pControl = pCustom;
            return 1;
        }
        default:
            return 0;
        }
    }

    DECLARE_MESSAGE_MAP()
};

} // namespace tavrin::test
