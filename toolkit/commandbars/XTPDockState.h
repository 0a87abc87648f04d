// The layout of the frame's command bars between runs: one record per bar
// (where it is docked or floats, its visibility and what its dock context
// remembers), the order of the bars in each dock bar's rows and whether the
// status bar is shown, through the application's profile sections.
#pragma once

#include "platform/base/String.h"
#include "platform/mfc/Rect.h"

#include <memory>
#include <vector>

class CWinApp;
class CXTPCommandBar;
class CXTPCommandBars;

class CXTPBarInfo {
public:
    explicit CXTPBarInfo(CXTPCommandBar* pBar = nullptr) : m_pBar(pBar) {}

    // The section "<prefix>-Bar<index>", deleted and written again.
    void SaveState(CWinApp* pApp, LPCTSTR lpszSection) const;
    // FALSE when the section holds no "BarID": the stored list ends there.
    BOOL LoadState(CWinApp* pApp, LPCTSTR lpszSection);
    // Puts the bar where the record says.
    void SetBarInfo(CXTPCommandBar* pBar) const;

    UINT m_nBarID = 0;
    BOOL m_bVisible = FALSE;
    BOOL m_bFloating = FALSE;
    // Dock-bar client coordinates when docked, else the screen.
    CPoint m_pointPos{-1, -1};
    int m_nMRUWidth = 32767;
    int m_uMRUDockID = 0;
    CRect m_rectMRUDockPos{0, 0, 0, 0};
    CPoint m_ptMRUFloatPos{0, 0};
    CXTPCommandBar* m_pBar = nullptr;
    BOOL m_bDialogBar = FALSE;
    CSize m_szDialogBarDocking{200, 200};
    CSize m_szDialogBarFloating{200, 200};
};

class CXTPDockState {
public:
    CXTPDockState();

    // One record per bar of the manager's list.
    void GetDockState(CXTPCommandBars* pCommandBars);
    void SaveSummary(CWinApp* pApp, LPCTSTR lpszProfileName) const;
    void LoadSummary(CWinApp* pApp, LPCTSTR lpszProfileName);
    void SaveDockBarState(CXTPCommandBars* pCommandBars, CWinApp* pApp, LPCTSTR lpszProfileName) const;
    void LoadDockBarState(CXTPCommandBars* pCommandBars, CWinApp* pApp, LPCTSTR lpszProfileName);
    void SetDockState(CXTPCommandBars* pCommandBars);
    // Saved positions follow a changed screen size and stay within the
    // clip rectangle; bFloating keeps them off its left and top edges too.
    void ScalePoint(CPoint& pt, BOOL bFloating) const;
    void ScaleRectPos(CRect& rc) const;
    void Clear() { m_arrBarInfo.clear(); }

    std::vector<std::unique_ptr<CXTPBarInfo>> m_arrBarInfo;
    BOOL m_bScaling = FALSE;
    CRect m_rectDevice;
    CSize m_sizeSaved{0, 0};
    CRect m_rectClip;
};

namespace tavrin::commandbars {

// A stored integer and whether it is there at all (missing reads as nDefault).
BOOL ReadProfileInt(CWinApp* pApp, LPCTSTR lpszSection, LPCTSTR lpszEntry, int& nValue, int nDefault);

} // namespace tavrin::commandbars
