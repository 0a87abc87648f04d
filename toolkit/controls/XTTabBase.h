// The page logic of the toolkit's tab control: every tab owns a child window
// (a page) that is shown, sized and activated with its tab; commands go to
// the page on top; Ctrl+Tab and F6 cycle the pages; labels can be condensed
// with "..." when the tabs do not fit. It is also the control's themed part:
// the strip is painted by the current tab style.
#pragma once

#include "platform/base/List.h"
#include "platform/base/String.h"
#include "platform/mfc/Rect.h"
#include "platform/mfc/Wnd.h"
#include "toolkit/controls/XTThemeManager.h"

class CDC;
class CDocument;
class CFrameWnd;
class CTabCtrl;
class CToolTipCtrl;
class CView;
class CWnd;
class CXTTabNavigationWnd;
struct CCreateContext;
struct CRuntimeClass;

// Sent to the owner after a new page is on top / when the selection starts
// to change; wParam the control id, lParam the control.
#define WM_TAB_SELCHANGE 0x0DDB
#define WM_TAB_SELCHANGING 0x0DDC
// Posted by a control to itself; lParam the initialisation count it belongs to.
#define WM_DEFERRED_INIT 0x0DDD

struct PageRecord {
    int nTabID = 0;         // tooltip tool id: the tab's index
    CWnd* pWnd = nullptr;   // the page window
    CString strLabel;       // the full label
    CString strToolTip;     // the tooltip text
    CString strShown;       // the label condensing last wrote
};

class CXTTabBase : public CXTThemeManagerStyleHost {
public:
    CXTTabBase();
    ~CXTTabBase() override;

    // Binds the part to its control and makes the navigation window.
    void ImplAttach(CTabCtrl* pTabCtrl);

    virtual void GetChildRect(CRect& rc) const;
    virtual void PadLabel(CString& strLabel);
    virtual void UpdateFont();
    virtual CToolTipCtrl* GetToolTips();
    virtual void SetToolTips(CToolTipCtrl* pWndTip);
    virtual BOOL AddToolTip(UINT nIDTab, LPCTSTR lpszText);
    virtual void SetTipText(CRuntimeClass* pViewClass, LPCTSTR lpszText);
    virtual void SetTipText(int nView, LPCTSTR lpszText);
    virtual void ResetToolTips();
    virtual BOOL EnableToolTips(BOOL bEnable);
    virtual BOOL AddView(LPCTSTR lpszLabel, CWnd* pWnd, int nIndex = -1, int nIconIndex = -1);
    virtual BOOL AddView(LPCTSTR lpszLabel, CRuntimeClass* pViewClass, CDocument* pDoc = nullptr,
                         CCreateContext* pContext = nullptr, int nIndex = -1, int nIconIndex = -1);
    virtual BOOL AddControl(LPCTSTR lpszLabel, CWnd* pWnd, int nIndex = -1, int nIconIndex = -1);
    virtual CWnd* GetView(int nView);
    virtual CWnd* GetView(CRuntimeClass* pViewClass);
    virtual CWnd* GetActiveView();
    virtual void ActivateView(CWnd* pTabView);
    virtual void SetActiveView(int nActiveTab);
    virtual void SetActiveView(CWnd* pTabView);
    virtual void SetActiveView(CRuntimeClass* pTabViewClass);
    virtual void DeleteView(CRuntimeClass* pViewClass, BOOL bDestroyWnd = TRUE);
    virtual void DeleteView(CWnd* pView, BOOL bDestroyWnd = TRUE);
    virtual void DeleteView(int nView, BOOL bDestroyWnd = TRUE);
    virtual LPCTSTR GetViewName(CRuntimeClass* pViewClass);
    virtual LPCTSTR GetViewName(int nView);
    virtual void RecalcLayout();
    virtual BOOL ResizePage(void* pHdwp, CWnd* pWnd);
    virtual void ResizeView(CWnd* pWnd);
    virtual void RemovePage(POSITION pos, BOOL bDestroyWnd);
    virtual BOOL DeleteAllViews(BOOL bDestroyWnd = TRUE);
    virtual int HitTest(CPoint pt);
    virtual BOOL IsPageWindow(CWnd* pWnd);
    virtual BOOL ModifyTabStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    virtual void SetPopupMenu(UINT nMenuID, int nPos = 0);
    virtual UINT GetPopupMenu() const { return m_nPopupMenuID; }
    virtual void SetSendInitialUpdate(BOOL bSendInitialUpdate) { m_bInitialUpdate = bSendInitialUpdate; }
    virtual void OnSelChanging();
    virtual void OnSelChange();
    virtual CWnd* CreateView(CRuntimeClass* pViewClass, CDocument* pDocument, CCreateContext* pContext);

    // Renames a tab; the label is cut to 255 bytes of whole characters.
    // FALSE for an index out of range or an empty label.
    BOOL SetTabText(int nTab, LPCTSTR lpszLabel);
    BOOL GetAutoCondense() const { return m_bAutoCondense; }
    void SetAutoCondense(BOOL bAutoCondense) { m_bAutoCondense = bAutoCondense; }
    // Shortens the widest labels with "..." until the tabs fit.
    void Condense();
    int GetPageCount() const { return static_cast<int>(m_tcbItems.GetCount()); }
    PageRecord* GetPage(int nIndex) const;
    CTabCtrl* GetTabCtrl() const { return m_pTabCtrl; }
    CXTTabNavigationWnd* GetNavigationWnd() const { return m_pNavBtns; }

    // Handlers shared with the control's message map.
    void OnPaintTabs();
    void OnInitCreate();
    void Initialize();
    void OnTabWindowPosChanged(const WINDOWPOS* lpwndpos);
    BOOL OnDeferredInit(LPARAM lParam);
    void OnTabRButtonDown(CPoint point);
    void OnTabSettingChange();
    // Ctrl+Tab, F6: TRUE when the key was used.
    BOOL TranslateTabKey(MSG* pMsg);
    // Commands and updates go to the page on top first.
    BOOL RouteToActivePage(UINT nID, int nCode, void* pExtra, void* pHandlerInfo);

    BYTE m_bBoldFont = 0;    // the selected tab's label in bold
    BYTE m_bXPBorder = 1;    // a frame around the page area

protected:
    CFrameWnd* GetFrame() const { return m_pParentFrame; }
    // The frame's active view when it is one of this control's pages.
    BOOL FrameViewIsPage(CWnd* pWnd = nullptr) const;
    void RestoreFrameView();
    void SendToOwner(UINT message);
    int CurSel() const;

    BOOL m_bAutoCondense = FALSE;
    CTabCtrl* m_pTabCtrl = nullptr;
    CXTTabNavigationWnd* m_pNavBtns = nullptr;
    CList<PageRecord*, PageRecord*> m_tcbItems;
    int m_nPopupMenuPos = 0;
    UINT m_nPopupMenuID = 0;
    BOOL m_bInitialUpdate = FALSE;
    CWnd* m_pParentWnd = nullptr;
    CView* m_pLastActiveView = nullptr;
    HWND m_hLastActiveView = nullptr;
    CFrameWnd* m_pParentFrame = nullptr;
    int m_nOldIndex = -1;
    BOOL m_bInitPending = FALSE;
    int m_nInitCount = 1;
};

namespace tavrin::toolkit {
// The text cut to at most nMaxBytes bytes, never splitting a character.
CString CutWholeCharacters(const CString& text, int nMaxBytes);
// The byte index where the character before nEnd starts; -1 at the start.
int PreviousCharacter(const CString& text, int nEnd);
} // namespace tavrin::toolkit
