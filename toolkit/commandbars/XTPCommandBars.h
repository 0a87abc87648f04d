// The frame-level manager of the command bars: the frame's bars, the user
// options, the commands hidden until used, its own paint and image managers
// when it has them, and the first look at every message of the frame
// (keyboard access, colour and setting changes, closing the menus when the
// application is left).
#pragma once

#include "platform/base/String.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Rect.h"

#include <vector>

class CFrameWnd;
class CMenu;
class CWinApp;
class CWnd;
class CXTPCommandBar;
class CXTPCommandBarsOptions;
class CXTPControl;
class CXTPCustomizeDropSource;
class CXTPImageManager;
class CXTPMenuBar;
class CXTPDockBar;
class CXTPPaintManager;
class CXTPPopupBar;
class CXTPToolBar;
struct CRuntimeClass;

class CXTPCommandBars : public CCmdTarget {
    DECLARE_DYNCREATE(CXTPCommandBars)
public:
    CXTPCommandBars();
    ~CXTPCommandBars() override;

    // In the hidden-commands map and not yet used.
    virtual BOOL IsCommandHidden(UINT nID);
    // A hidden command, or (with "AutoHideUnusedPopups") a popup whose
    // every item is hidden.
    virtual BOOL IsControlHidden(CXTPControl* pControl);
    // Non-zero only for a multiple-document site, which the framework has not.
    virtual UINT GetActiveMenuResource() { return 0; }
    // The toolbars menu at a screen point; its pump ends on WM_QUIT and
    // posts it again.
    virtual void ContextMenu(int x, int y);
    // One check item per listed toolbar (one reference for the caller).
    virtual CXTPPopupBar* GetToolbarsPopup();
    // Copies of the controls of the bar's dock row hidden for lack of room.
    virtual void GetHiddenControls(CXTPToolBar* pBar, CXTPPopupBar* pPopup);
    // One item per toolbar of the bar's row (the bar alone when floating).
    virtual void GetToolbarOptions(CXTPToolBar* pBar, CXTPPopupBar* pPopup);
    // A rebar host would take the bars here; this library has none.
    virtual void OnToolBarAdded(CXTPToolBar* pBar) { (void)pBar; }
    virtual void OnToolBarRemoved(CXTPToolBar* pBar);

    // The four dock bars along the site's edges; FALSE when one of them
    // cannot be created (none is left behind then).
    BOOL EnableDocking();
    // 0 top, 1 bottom, 2 left, 3 right.
    CXTPDockBar* GetDockBar(int nPosition) const;
    // A toolbar of the class (CXTPToolBar for null) docked or floating at
    // the position; null when it cannot be placed.
    CXTPToolBar* Add(LPCTSTR lpszName, int nBarPosition, CRuntimeClass* pToolbarClass = nullptr);
    // A bar the user made, or a popup torn off (floating).
    // Null when the bar cannot be made.
    virtual CXTPToolBar* AddCustomBar(LPCTSTR lpszName, UINT nID, BOOL bTearOffBar = FALSE);
    void Remove(CXTPCommandBar* pBar);
    BOOL DockCommandBar(CXTPToolBar* pBar, int nPosition);
    BOOL DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect, CXTPDockBar* pDockBar);
    BOOL FloatCommandBar(CXTPToolBar* pBar);
    // The dock bar within 20 pixels of the screen point, the preferred one first.
    CXTPDockBar* CanDock(CPoint pt, CXTPDockBar* pPreferred = nullptr) const;
    BOOL IsLayoutLocked() const { return m_bRecalcLayout; }

    // Asks the frame whether it handles the Customize command.
    void SetSite(CFrameWnd* pFrame);
    CFrameWnd* GetSite() const { return m_pFrame; }
    CXTPCommandBarsOptions* GetOptions() const { return m_pOptions; }
    BOOL IsCustomizeAvail() const { return m_bCustomizeAvail; }

    // The bars in the order they were made; null outside the list.
    int GetCount() const { return static_cast<int>(m_barList.size()); }
    CXTPCommandBar* GetAt(int nIndex) const;
    // The first bar with the id; null for 0.
    CXTPCommandBar* GetToolBar(UINT nBarID) const;
    CXTPMenuBar* GetMenuBar() const { return m_pMenuBar; }
    // The menu bar from the menu resource, docked at the top on its own
    // row; null when the menu cannot be loaded (nothing is left behind).
    CXTPMenuBar* SetMenu(LPCTSTR lpszName, UINT nID);
    // With the guard on, Alt+Shift+letter does not reach the menu bar.
    void SetIgnoreShiftMenuKey(BOOL bIgnore) { m_bIgnoreShiftMenuKey = bIgnore; }
    // Shows a hidden bar or hides a shown one; an index naming no bar is ignored.
    void ToggleVisible(int nIndex);
    // Every visible bar lays out at once, then the frame.
    void RedrawCommandBars();
    // The frame lays out now, or at the next idle time; nothing while the
    // bars are being redrawn.
    void RecalcFrameLayout(BOOL bDelay = FALSE);

    // The own one when set, else the global one.
    CXTPPaintManager* GetPaintManager() const;
    // Takes the caller's reference.
    void SetPaintManager(CXTPPaintManager* pPaintManager);
    CXTPImageManager* GetImageManager() const;
    void SetImageManager(CXTPImageManager* pImageManager);

    // A hidden command that runs is shown from then on.
    void SetCommandUsed(UINT nID);

    BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
    void SetCustomizeMode(BOOL bMode);
    CXTPControl* GetDragControl() const { return m_pDragControl; }
    void SetDragControl(CXTPControl* pControl);
    // The drag of controls between bars in customize mode.
    CXTPCustomizeDropSource* GetDropSource();
    // Null until the first GetDropSource.
    CXTPCustomizeDropSource* FindDropSource() const { return static_cast<CXTPCustomizeDropSource*>(m_pDropSource); }

    // A context menu of the menu's items, tracked until it closes: TRUE, or
    // with TPM_RETURNCMD the chosen id (0 when dismissed); FALSE when the
    // menu cannot be shown. The chosen item goes as WM_COMMAND to the
    // command target, else the manager's frame, else the owner.
    static UINT TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT rcExclude = nullptr,
                               CWnd* pWndTarget = nullptr, CXTPCommandBars* pCommandBars = nullptr);
    // Tracks a filled popup bar as TrackPopupMenu does; the caller keeps
    // its reference.
    static UINT TrackPopupBar(CXTPPopupBar* pPopup, UINT nFlags, int x, int y, LPCRECT rcExclude = nullptr);

    // TRUE when the frame's message is consumed.
    BOOL PreTranslateFrameMessage(MSG* pMsg);
    // TRUE when the frame's message is handled here.
    BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // The options under "<profile>-Options" of the application's key.
    void SaveOptions(LPCTSTR lpszProfileName);
    void LoadOptions(LPCTSTR lpszProfileName);

    // The bars' layout: a record per bar, the dock bars' rows and the status
    // bar's visibility, under sections named from the profile name; with
    // customisation on, the customised bars too. One registry write.
    void SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized = TRUE);
    void LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent = FALSE);
    // A loaded toolbar the program did not make joins the bars (the caller
    // keeps its reference).
    void AddLoadedToolBar(CXTPToolBar* pBar);
    // Where a blob too big for the registry goes; the program's path and
    // the profile name when empty.
    void SetCustomizationDataFileName(LPCTSTR lpszFile) { m_strBlobPath = lpszFile; }
    CString GetBlobFileName(LPCTSTR lpszProfileName) const;
    // The customised bars from a stored blob, merged with the program's;
    // FALSE, with nothing merged, for a blob that does not load whole.
    BOOL LoadCustomizedBars(const BYTE* pData, size_t nBytes, BOOL bSilent);

    // Every bar, for the frame's print preview.
    void OnSetPreviewMode(BOOL bPreview);

    // The clipboard formats of toolbar images.
    static UINT GetClipboardFormat(BOOL bAlpha);

protected:
    void OnSystemSettingChanged(BOOL bColors);
    // Alt+letter to the menu bar; TRUE when a title took it.
    BOOL OnMenuMnemonic(const MSG* pMsg);
    void DeleteDropSource();
    // The user options through the registry key of the application.
    void ExchangeOptions(LPCTSTR lpszProfileName, BOOL bLoading);
    // The "-Controls" section of the layout.
    void SaveCustomizedBars(CWinApp* pApp, LPCTSTR lpszProfileName, BOOL bOnlyCustomized);
    BOOL LoadCustomizedBars(CWinApp* pApp, LPCTSTR lpszProfileName, BOOL bSilent);

    void* m_pCustomizeContext = nullptr;
    HACCEL m_hDesignerAccels = nullptr;
    BOOL m_bIgnoreShiftMenuKey = FALSE;
    void* m_pDropSource = nullptr;
    CXTPPaintManager* m_pPaintManager = nullptr;
    CXTPImageManager* m_pImageManager = nullptr;
    CXTPControl* m_pDragControl = nullptr;
    BOOL m_bCustomizeMode = FALSE;
    BOOL m_bCustomizeAvail = FALSE;
    UINT m_nIDMenu = 0;
    BOOL m_bCustomizeModeCopy = FALSE;
    CString m_strBlobPath;
    CXTPCommandBarsOptions* m_pOptions = nullptr;
    // One reference of each bar.
    std::vector<CXTPCommandBar*> m_barList;
    CFrameWnd* m_pFrame = nullptr;
    CXTPMenuBar* m_pMenuBar = nullptr;
    BOOL m_bRecalcLayout = FALSE;
    CXTPDockBar* m_pDocks[4] = {nullptr, nullptr, nullptr, nullptr};
};
