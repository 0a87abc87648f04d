// The frame-level manager of the command bars: the frame's bars, the user
// options, the commands hidden until used, and the first look at every
// message of the frame (keyboard access, colour and setting changes,
// closing the menus when the application is left).
#pragma once

#include "platform/base/String.h"
#include "platform/mfc/CmdTarget.h"

class CFrameWnd;
class CXTPCommandBarsOptions;
class CXTPControl;

class CXTPCommandBars : public CCmdTarget {
    DECLARE_DYNCREATE(CXTPCommandBars)
public:
    CXTPCommandBars();
    ~CXTPCommandBars() override;

    // In the hidden-commands map and not yet used.
    virtual BOOL IsCommandHidden(UINT nID);
    // Non-zero only for a multiple-document site, which the framework has not.
    virtual UINT GetActiveMenuResource() { return 0; }

    // Asks the frame whether it handles the Customize command.
    void SetSite(CFrameWnd* pFrame);
    CFrameWnd* GetSite() const { return m_pFrame; }
    CXTPCommandBarsOptions* GetOptions() const { return m_pOptions; }
    BOOL IsCustomizeAvail() const { return m_bCustomizeAvail; }

    // A hidden command that runs is shown from then on.
    void SetCommandUsed(UINT nID);

    // The frame lays out now, or at the next idle time; nothing while the
    // bars are being redrawn.
    void RecalcFrameLayout(BOOL bDelay = FALSE);

    BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
    void SetCustomizeMode(BOOL bMode);

    // TRUE when the frame's message is consumed.
    BOOL PreTranslateFrameMessage(MSG* pMsg);
    // TRUE when the frame's message is handled here.
    BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // The options under "<profile>-Options" of the application's key.
    void SaveOptions(LPCTSTR lpszProfileName);
    void LoadOptions(LPCTSTR lpszProfileName);

    // The clipboard formats of toolbar images.
    static UINT GetClipboardFormat(BOOL bAlpha);

protected:
    void OnSystemSettingChanged(BOOL bColors);

    void* m_pCustomizeContext = nullptr;
    HACCEL m_hDesignerAccels = nullptr;
    BOOL m_bIgnoreShiftMenuKey = FALSE;
    void* m_pDropSource = nullptr;
    BOOL m_bCustomizeMode = FALSE;
    BOOL m_bCustomizeAvail = FALSE;
    UINT m_nIDMenu = 0;
    BOOL m_bCustomizeModeCopy = FALSE;
    CString m_strBlobPath;
    CXTPCommandBarsOptions* m_pOptions = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    BOOL m_bRecalcLayout = FALSE;
};
