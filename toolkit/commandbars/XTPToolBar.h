// The dockable toolbar: filled from a toolbar resource, docked in a row of
// one of the frame's dock bars or floating in a caption window of its own,
// with the expand chevron when its row is too short, the close and option
// buttons when floating, and the option list of its buttons.
#pragma once

#include "toolkit/commandbars/XTPCommandBar.h"

class CXTPDockBar;
class CXTPDockContext;
class CXTPPopupBar;
class CXTPToolBarExpandButton;

class CXTPToolBar : public CXTPCommandBar {
    DECLARE_SERIAL(CXTPToolBar)
public:
    CXTPToolBar();
    ~CXTPToolBar() override;

    BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE) override;
    void SetVisible(BOOL bVisible) override;
    BOOL IsVisible() const override { return m_bVisible; }
    BOOL SetPosition(int nPosition) override;
    void OnRecalcLayout() override;
    BOOL OnKeyDown(UINT nChar) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;

    // Docked in a row (LM_HORZDOCK / LM_VERTDOCK), or only measured without
    // LM_COMMIT; nWidth is the row's thickness.
    virtual CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0);
    // Back to the initial buttons once the user confirms.
    virtual void Reset();
    // Creates the window once and turns it into a docked child or a
    // floating popup owned by pParent.
    virtual BOOL CreateToolBar(CWnd* pParent, BOOL bFloating);

    void EnableDocking(DWORD dwFlags);
    // The buttons of the option list ("添加或删除按钮").
    void BuildCustomizePopup(CXTPPopupBar* pPopup);
    void OnSetPreviewMode(BOOL bPreview);

    CXTPDockBar* GetDockBar() const { return m_pDockBar; }
    void SetDockBar(CXTPDockBar* pDockBar) { m_pDockBar = pDockBar; }
    CXTPDockContext* GetDockContext() const { return m_pDockContext; }
    BOOL IsBuiltIn() const { return m_bBuiltIn; }
    void SetBuiltIn(BOOL bBuiltIn) { m_bBuiltIn = bBuiltIn; }
    BOOL IsTearOff() const { return m_bTearOff; }
    void SetTearOff(BOOL bTearOff) { m_bTearOff = bTearOff; }
    BOOL IsCloseable() const { return m_bCloseable; }
    void SetCloseable(BOOL bCloseable) { m_bCloseable = bCloseable; }
    BOOL IsContextMenuPresent() const { return m_bContextMenuPresent; }
    void SetContextMenuPresent(BOOL bPresent) { m_bContextMenuPresent = bPresent; }
    BOOL IsFloating() const { return m_barPosition == xtpBarFloating; }
    // The dock bar gives the bar less than its full row: the next committed
    // layout hides controls, so it places the chevron in one pass.
    void SetRowShortened(BOOL bShortened) { m_bRowShortened = bShortened; }

    // The holds of the window procedure: a bar removed by its own click is
    // released only after the click returns.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Message handlers
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    void OnRButtonDown(UINT nFlags, CPoint point);
    BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    BOOL OnNcActivate(BOOL bActive);
    LRESULT OnNcHitTest(CPoint point);
    void OnSetFocus(CWnd* pOldWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnNcLButtonDown(UINT nHitTest, CPoint point);
    void OnClose() {}

protected:
    // The chevron, made on first need and hidden.
    CXTPToolBarExpandButton* GetExpandButton();
    CXTPControl* FindTemporary(int nID) const;
    void BringToTop();
    CSize LayoutDockedRow(CDC* pDC, int nLength, DWORD dwMode, CRect rcBorder, int nWidth);

    CXTPDockBar* m_pDockBar = nullptr;
    CXTPDockContext* m_pDockContext = nullptr;
    BOOL m_bBuiltIn = TRUE;
    BOOL m_bTearOff = FALSE;
    BOOL m_bPreviewVisible = FALSE;
    BOOL m_bPreviewMode = FALSE;
    BOOL m_bRowShortened = FALSE;

    DECLARE_MESSAGE_MAP()
};
