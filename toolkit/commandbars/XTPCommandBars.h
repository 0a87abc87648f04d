// The frame-level manager of the command bars. This holds what the bars and
// controls ask of it: the site, its own paint and image managers, customize
// mode and the document-template lookup; the bar list, docking, keyboard
// access and the options join it with the manager's own work.
#pragma once

#include "platform/mfc/CmdTarget.h"

class CFrameWnd;
class CXTPControl;
class CXTPImageManager;
class CXTPPaintManager;

class CXTPCommandBars : public CCmdTarget {
    DECLARE_DYNCREATE(CXTPCommandBars)
public:
    CXTPCommandBars();
    ~CXTPCommandBars() override;

    virtual BOOL IsCommandHidden(UINT nID)
    {
        (void)nID;
        return FALSE;
    }
    virtual BOOL IsControlHidden(CXTPControl* pControl);
    // Non-zero only for a multiple-document site.
    virtual UINT GetActiveMenuResource() { return 0; }

    void SetSite(CFrameWnd* pFrame) { m_pFrame = pFrame; }
    CFrameWnd* GetSite() const { return m_pFrame; }
    // The own one when set, else the global one.
    CXTPPaintManager* GetPaintManager() const;
    void SetPaintManager(CXTPPaintManager* pPaintManager);
    CXTPImageManager* GetImageManager() const;
    void SetImageManager(CXTPImageManager* pImageManager);
    BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
    void SetCustomizeMode(BOOL bMode) { m_bCustomizeMode = bMode; }
    // Records that a command ran (the used-commands record of the options).
    void SetCommandUsed(UINT nID) { (void)nID; }

protected:
    CXTPPaintManager* m_pPaintManager = nullptr;
    CXTPImageManager* m_pImageManager = nullptr;
    BOOL m_bCustomizeMode = FALSE;
    CFrameWnd* m_pFrame = nullptr;
};
