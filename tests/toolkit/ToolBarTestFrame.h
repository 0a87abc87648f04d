// A frame for the toolbar and dock-bar tests: it answers the site messages
// as the program's main frame does (151 and 154 become split buttons),
// optionally allows customisation, and carries the toolbar fixtures as its
// resource handle.
#pragma once

#include "platform/mfc/Resource.h"
#include "platform/win/ResourceTable.h"
#include "tests/fixtures/commandbars/rc/toolbars.h"
#include "tests/toolkit/CommandBarTestSupport.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsFrame.h"
#include "toolkit/commandbars/XTPControl.h"
#include "toolkit/commandbars/XTPControls.h"

const tavrin::win::ResourceTable& TavrinCommandBarsFixtureResources();

namespace tavrin::test {

class CToolBarTestFrame : public CXTPCommandBarsFrame {
public:
    BOOL m_bCustomize = FALSE;
    int m_nLayouts = 0;

    void RecalcLayout(BOOL bNotify = TRUE) override
    {
        ++m_nLayouts;
        CXTPCommandBarsFrame::RecalcLayout(bNotify);
    }
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override
    {
        if (nID == 35001 && m_bCustomize)
            return TRUE;
        return CXTPCommandBarsFrame::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE_BAR_CONTROL) {
            auto* pInfo = reinterpret_cast<CreateBarControlInfo*>(lParam);
            if (pInfo->bToolBar && (pInfo->nID == ID_TB_SPLIT1 || pInfo->nID == ID_TB_SPLIT2)) {
                pInfo->controlType = xtpControlSplitButtonPopup;
                return 1;
            }
            return 0;
        }
        return CXTPCommandBarsFrame::WindowProc(message, wParam, lParam);
    }
    // Lives in the fixture.
    void PostNcDestroy() override {}
};

// The toolbar fixtures as the resource handle for one scope.
class ScopedToolBarResources {
public:
    ScopedToolBarResources()
        : m_hOld(AfxGetResourceHandle()), m_hModule(tavrin::win::CreateResourceModule(TavrinCommandBarsFixtureResources()))
    {
        AfxSetResourceHandle(m_hModule);
    }
    ~ScopedToolBarResources()
    {
        AfxSetResourceHandle(m_hOld);
        tavrin::win::DestroyResourceModule(m_hModule);
    }
    ScopedToolBarResources(const ScopedToolBarResources&) = delete;
    ScopedToolBarResources& operator=(const ScopedToolBarResources&) = delete;
    HMODULE Module() const { return m_hModule; }

private:
    HINSTANCE m_hOld;
    HMODULE m_hModule;
};

// Floating bars get a caption strip 16 pixels high.
class CaptionTheme : public TestPaintManager {
public:
    CSize DrawCommandBarGripper(CDC*, CXTPCommandBar* pBar, BOOL) override
    {
        return pBar->GetPosition() == xtpBarFloating ? CSize(100, 16) : CSize(0, 0);
    }
};

// The ids of the bar's controls that are not hidden, in order.
inline std::vector<int> ShownIds(CXTPCommandBar* pBar)
{
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); ++i)
        if (pBar->GetControl(i)->IsVisible())
            ids.push_back(pBar->GetControl(i)->GetID());
    return ids;
}

} // namespace tavrin::test
