// Saving and loading the layout of the manager's bars.
#include "platform/mfc/WinApp.h"
#include "platform/win/Registry.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsOptions.h"
#include "toolkit/commandbars/XTPDockState.h"

void CXTPCommandBars::SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized)
{
    (void)bOnlyCustomized;
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return;
    // Every value below reaches the registry file in one write.
    tavrin::win::RegistryBatch batch;
    CXTPDockState state;
    state.GetDockState(this);
    state.SaveSummary(pApp, lpszProfileName);
    state.SaveDockBarState(this, pApp, lpszProfileName);
    m_pOptions->bDirtyState = FALSE;
}

void CXTPCommandBars::LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent)
{
    (void)bSilent;
    CWinApp* pApp = AfxGetApp();
    if (!pApp || !lpszProfileName)
        return;
    tavrin::win::RegistryBatch batch;
    CXTPDockState state;
    state.LoadSummary(pApp, lpszProfileName);
    state.LoadDockBarState(this, pApp, lpszProfileName);
    state.SetDockState(this);
    RecalcFrameLayout(TRUE);
    m_pOptions->bDirtyState = FALSE;
}
