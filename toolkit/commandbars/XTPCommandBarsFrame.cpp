#include "toolkit/commandbars/XTPCommandBarsFrame.h"

#include "platform/win/Registry.h"
#include "toolkit/commandbars/XTPCommandBars.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPControlEdit.h"
#include "toolkit/commandbars/XTPPaintManager.h"

CXTPCommandBarsFrame::~CXTPCommandBarsFrame()
{
    if (m_pCommandBars)
        m_pCommandBars->InternalRelease();
}

BOOL CXTPCommandBarsFrame::InitCommandBars(CRuntimeClass* pCommandBarsClass)
{
    if (!pCommandBarsClass || !pCommandBarsClass->IsDerivedFrom(RUNTIME_CLASS(CXTPCommandBars)))
        return FALSE;
    if (!XTPPaintManager())
        CXTPPaintManager::SetTheme(1);
    auto* pCommandBars = static_cast<CXTPCommandBars*>(pCommandBarsClass->CreateObject());
    if (!pCommandBars)
        return FALSE;
    pCommandBars->SetSite(this);
    if (!pCommandBars->EnableDocking()) {
        pCommandBars->InternalRelease();
        return FALSE;
    }
    if (m_pCommandBars)
        m_pCommandBars->InternalRelease();
    m_pCommandBars = pCommandBars;
    return TRUE;
}

void CXTPCommandBarsFrame::LoadCommandBars(LPCTSTR lpszProfileName, BOOL bSilent)
{
    if (!m_pCommandBars)
        return;
    m_pCommandBars->LoadOptions(lpszProfileName);
    m_pCommandBars->LoadBarState(lpszProfileName, bSilent);
}

void CXTPCommandBarsFrame::SaveCommandBars(LPCTSTR lpszProfileName)
{
    if (!m_pCommandBars)
        return;
    tavrin::win::RegistryBatch batch;
    m_pCommandBars->SaveOptions(lpszProfileName);
    m_pCommandBars->SaveBarState(lpszProfileName, TRUE);
}

void CXTPCommandBarsFrame::OnSetPreviewMode(BOOL bPreview, void* pState)
{
    if (m_pCommandBars)
        m_pCommandBars->OnSetPreviewMode(bPreview);
    CFrameWnd::OnSetPreviewMode(bPreview, pState);
}

namespace {

// The edit window of a bar's edit or combo box that has the focus.
CXTPEdit* FocusedBarEdit()
{
    return DYNAMIC_DOWNCAST(CXTPEdit, CWnd::FromHandlePermanent(::GetFocus()));
}

} // namespace

BOOL CXTPCommandBarsFrame::PreTranslateMessage(MSG* pMsg)
{
    // Typed keys belong to a focused box on a bar, never to accelerators.
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_UNICHAR && pMsg->wParam != VK_RETURN &&
        pMsg->wParam != VK_TAB && pMsg->wParam != VK_ESCAPE && FocusedBarEdit())
        return FALSE;
    if (CFrameWnd::PreTranslateMessage(pMsg))
        return TRUE;
    return m_pCommandBars && m_pCommandBars->PreTranslateFrameMessage(pMsg);
}

BOOL CXTPCommandBarsFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Cut, copy and paste go to a focused box on a bar first.
    if (CXTPEdit* pEdit = FocusedBarEdit())
        if (pEdit->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CXTPCommandBarsFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (m_pCommandBars && m_pCommandBars->OnFrameWndMsg(message, wParam, lParam, pResult))
        return TRUE;
    if (message != WM_BAR_CONTROL_NOTIFY)
        return CFrameWnd::OnWndMsg(message, wParam, lParam, pResult);

    // Routed as a child control's WM_NOTIFY, so a message map takes the
    // bars' notifications with ON_NOTIFY.
    auto* pHeader = reinterpret_cast<NMHDR*>(lParam);
    if (!pHeader)
        return FALSE;
    LRESULT lResult = 0;
    AFX_NOTIFY notify{&lResult, pHeader};
    if (!OnCmdMsg(static_cast<UINT>(pHeader->idFrom), MAKELONG(LOWORD(pHeader->code), WM_NOTIFY), &notify, nullptr))
        return FALSE;
    if (pResult)
        *pResult = lResult;
    return TRUE;
}
