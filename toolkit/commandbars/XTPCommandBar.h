// The window under every command bar: its controls, the selected and open
// controls, mouse routing to the controls, command-update passes against
// the application's handlers, and buffered painting through the paint
// manager.
#pragma once

#include "platform/mfc/Wnd.h"
#include "toolkit/commandbars/XTPCommandBarsDefines.h"
#include "toolkit/commandbars/XTPHookManager.h"

#include <string>

class CFrameWnd;
class CXTPCommandBars;
class CXTPControl;
class CXTPControls;
class CXTPImageManager;
class CXTPPaintManager;
class CXTPPropExchange;

// Pending work served by the next command-update pass.
#define XTP_PENDING_LAYOUT 0x1
#define XTP_PENDING_REDRAW 0x2

// Hover timers of the bars.
#define XTP_TID_HOVER 112223
#define XTP_TID_EXPANDED_POPUP 112224

// The codes of ProcessSpecialKey.
enum XTPSpecialKey {
    xtpKeyNext = 0,
    xtpKeyPrev = 1,
    xtpKeyBack = 2,
    xtpKeyPopup = 3,
    xtpKeyEscape = 4,
    xtpKeyReturn = 5,
    xtpKeyHome = 6,
    xtpKeyEnd = 7,
};

class CXTPCommandBar : public CWnd, public CXTPHookSink {
    DECLARE_SERIAL(CXTPCommandBar)
public:
    CXTPCommandBar();
    ~CXTPCommandBar() override;

    // Overridable behaviour, in the order the derived bars share.
    virtual void DelayRedraw() { m_dwPendingFlags |= XTP_PENDING_REDRAW; }
    virtual BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE);
    virtual BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE);
    virtual BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE);
    virtual BOOL Popup(CXTPControl* pControl, BOOL bSelectFirst = FALSE);
    virtual void SetVisible(BOOL bVisible) { (void)bVisible; }
    virtual BOOL IsVisible() const { return FALSE; }
    virtual BOOL SetPosition(int nPosition)
    {
        (void)nPosition;
        return FALSE;
    }
    virtual BOOL IsCustomizable() const { return m_bCustomizable; }
    virtual void OnRecalcLayout() {}
    virtual CXTPCommandBar* GetParentCommandBar() const { return nullptr; }
    virtual BOOL IsDialogBar() const { return FALSE; }
    virtual void DoPropExchange(CXTPPropExchange* pPX);
    // 0 not used, 1 used, 2 let the key through.
    virtual BOOL OnKeyDown(UINT nChar);
    virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode)
    {
        (void)nLength;
        (void)dwMode;
        return CSize(0, 0);
    }
    virtual BOOL ProcessSpecialKey(int nKey);
    virtual void DrawCommandBar(CDC* pDC, CRect rcClipBox);
    virtual void OnControlsChanged();
    virtual void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE);
    virtual int IsPointInside(CPoint pt) const;
    virtual void GenerateCommandBarList(void* /*pList*/, void* /*pSet*/) {}
    virtual void RestoreCommandBarLinks(void* /*pList*/) {}
    virtual void OnUpdateCmdUI(BOOL bDisableIfNoHndler, BOOL bUnused = FALSE);
    // Customize mode: whether the bar takes the dragged control at the
    // point, the drop marker while it is over the bar, and the drop.
    virtual BOOL IsCustomizeDragEnter(CXTPControl* pControl, CPoint point);
    virtual void OnCustomizeDragOver(CXTPControl* pControl, CPoint point);
    virtual void OnCustomizeDrop(CXTPControl* pControl, int nEffect, CPoint point);
    // The index a control dropped at the point gets, with the marker.
    int FindDropIndex(CXTPControl* pControl, CPoint point, CRect* pRect, BOOL* pbVertical) const;
    void ClearDropMarker();
    void DrawDropMarker(CDC* pDC);
    CRect GetDropMarker() const { return m_rcMarker; }
    // A new bar of this one's class with Copy of this one (one reference).
    virtual CXTPCommandBar* Clone(BOOL bRecursive = FALSE);

    // One control per non-zero id; a zero id makes the next begin a group.
    // The site may make a control itself (WM_CREATE_BAR_CONTROL).
    BOOL SetButtons(const UINT* pButtons, int nCount);
    // The tooltip of the control under the point, " (shortcut)" with
    // "ToolBarAccelTips"; -1 while tips are not due.
    INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOA* pTI) const override;

    // Controls
    CXTPControls* GetControls() const { return m_pControls; }
    CXTPControl* GetControl(int nIndex) const;
    int GetControlCount() const;
    void SetControls(CXTPControls* pControls);

    // Where the bar belongs
    CXTPCommandBars* GetCommandBars() const;
    void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
    CXTPPaintManager* GetPaintManager() const;
    void SetPaintManager(CXTPPaintManager* pPaintManager);
    CXTPImageManager* GetImageManager() const;
    void SetImageManager(CXTPImageManager* pImageManager);
    CWnd* GetSite() const;
    CWnd* GetCommandTarget() const;
    void SetCommandTarget(CWnd* pTarget) { m_pCommandTarget = pTarget; }
    CFrameWnd* GetFrameSite() const;
    CXTPCommandBar* GetRootParent() const;
    CWnd* GetOwnerSite() const { return m_pOwner; }
    void SetOwner(CWnd* pOwner) { m_pOwner = pOwner; }
    BOOL IsCustomizeMode() const;
    BOOL IsLayoutRTL() const;
    BOOL IsTextBelowIcons() const;
    // The metrics every paint theme asks of a bar.
    CSize GetIconSize() const;
    CSize GetButtonSize() const;
    // The manager's icon size for toolbars or popup bars (16 x 16 without one).
    static CSize GetCommandBarsIconSize(CXTPCommandBars* pCommandBars, BOOL bPopup);
    void SetIconSize(CSize size) { m_szIcons = size; }
    void SetButtonSize(CSize size) { m_szButtons = size; }

    // State
    int GetType() const { return m_barType; }
    int GetPosition() const { return m_barPosition; }
    UINT GetBarID() const { return m_nBarID; }
    void SetBarID(UINT nID) { m_nBarID = nID; }
    int GetTrackingMode() const { return m_bTracking; }
    int GetSelectedIndex() const { return m_nSelected; }
    CXTPControl* GetSelected() const { return GetControl(m_nSelected); }
    int GetPopupedIndex() const { return m_nPopuped; }
    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    void SetWidth(int nWidth) { m_nMRUWidth = nWidth; }
    int GetMRUWidth() const { return m_nMRUWidth; }
    CString GetTitle() const { return m_strTitle; }
    void SetTitle(LPCTSTR lpszTitle);
    void SetKeyboardControl(CXTPControl* pControl) { m_pKeyboardControl = pControl; }
    CXTPControl* GetKeyboardControl() const { return m_pKeyboardControl; }
    DWORD GetPendingFlags() const { return m_dwPendingFlags; }
    void SetNoNotify(BOOL bNoNotify) { m_bNoNotify = bNoNotify; }
    void SetReturnCmd(UINT* pReturnCmd) { m_pReturnCmd = pReturnCmd; }
    UINT* GetReturnCmd() const { return m_pReturnCmd; }
    void LockRedraw() { ++m_nLockRedraw; }
    void UnlockRedraw();

    void Redraw();
    void InvalidateParents();
    BOOL LoadMenu(CMenu* pMenu, BOOL bRemoveControls = TRUE);
    BOOL SetPopuped(int nPopuped, BOOL bKeyboard = FALSE);
    // The control a typed character names (its mnemonic, else its first
    // letter), searched from the one after the selection; -1 for none.
    int FindAccel(int chAccel, BOOL* pbMoreThanOne);
    // While tracking, key presses seen by the keyboard hook.
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

    // The hover and expand delays of every bar, in milliseconds.
    static UINT s_nHoverDelay;
    static UINT s_nExpandDelay;
    void OnControlSelected(int bSelected, CXTPControl* pControl);

    // Read-only accessibility answers; child 0 is the bar, child n the
    // control at index n - 1.
    long GetAccessibleChildCount() const { return GetControlCount(); }
    long GetAccessibleRole(long nChild) const;
    long GetAccessibleState(long nChild) const;
    BOOL GetAccessibleLocation(long nChild, CRect& rcScreen) const;
    std::wstring GetAccessibleName(long nChild) const;

    // Message handlers
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    void OnTimer(UINT_PTR nIDEvent);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    void OnNcMouseMove(UINT nHitTest, CPoint point);
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    LRESULT OnNcHitTest(CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitialUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);

    int m_nMRUWidth = 32767;
    int m_nSelected = -1;
    int m_nPopuped = -1;
    HWND m_hwndFocus = nullptr;
    UINT m_nBarID = 0;
    BOOL m_bVisible = TRUE;
    int m_bTracking = 0;
    CWnd* m_pOwner = nullptr;
    DWORD m_dwPendingFlags = 0;
    DWORD m_dwFlags = 0;
    DWORD m_dwStyle = 0;
    CString m_strTitle;
    int m_barType = xtpBarTypeNormal;
    CXTPControl* m_pKeyboardControl = nullptr;
    CXTPControls* m_pControls = nullptr;
    int m_barPosition = xtpBarNone;
    CXTPCommandBars* m_pCommandBars = nullptr;
    CWnd* m_pCommandTarget = nullptr;
    CSize m_szIcons{0, 0};
    CSize m_szButtons{0, 0};
    int m_nTextBelowIcons = 2;
    BOOL m_bRightButtonSelects = FALSE;
    BOOL m_bNoNotify = FALSE;
    BOOL m_bSelectedByKeyboard = FALSE;
    BOOL m_bCloseable = FALSE;
    BOOL m_bCustomizable = TRUE;
    CRect m_rcMarker;
    BOOL m_bVerticalMarker = FALSE;
    UINT* m_pReturnCmd = nullptr;
    BOOL m_bContextMenuPresent = TRUE;
    BOOL m_bMouseTracking = FALSE;
    int m_nLockRedraw = 0;
    CXTPPaintManager* m_pPaintManager = nullptr;
    CXTPImageManager* m_pImageManager = nullptr;

protected:
    CXTPControl* HitTestControl(CPoint point) const;
    // Whether leaving the bar clears its hot control.
    BOOL ClearsSelectionOnLeave() const;
    // The accessibility focus event for a control selected by keyboard.
    void NotifyKeyboardFocus(int nIndex);
    void UpdateDocTemplateControls();

    DECLARE_MESSAGE_MAP()
};
