// The frame that hosts command bars: it owns the manager, lets it see every
// message first, and hands the bars' executed notifications to its message
// map as notifications of child controls.
#pragma once

#include "platform/mfc/FrameWnd.h"

class CXTPCommandBars;

class CXTPCommandBarsFrame : public CFrameWnd {
public:
    CXTPCommandBarsFrame() = default;
    ~CXTPCommandBarsFrame() override;

    // Makes the manager from the class (CXTPCommandBars or a derived one)
    // with its dock bars; FALSE, and no manager, when they cannot be made.
    BOOL InitCommandBars(CRuntimeClass* pCommandBarsClass);
    // The saved options and bar layout under the profile name.
    void LoadCommandBars(LPCTSTR lpszProfileName, BOOL bSilent = FALSE);
    // Both written at closing time, in one registry write.
    void SaveCommandBars(LPCTSTR lpszProfileName);
    CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }

    // Every bar hides while the preview shows; the shown ones come back.
    void OnSetPreviewMode(BOOL bPreview, void* pState) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    CXTPCommandBars* m_pCommandBars = nullptr;
};
