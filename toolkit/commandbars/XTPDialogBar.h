// A resizable bar that hosts one child window below a caption strip with a
// caption control (which may drop a menu) and a close button. It docks and
// floats like a toolbar but keeps its own client size, docked and floating.
#pragma once

#include "toolkit/commandbars/XTPPopupBar.h"
#include "toolkit/commandbars/XTPToolBar.h"
#include "toolkit/commandbars/XTPToolBarControls.h"

// The caption control's id.
#define XTP_ID_DIALOGBAR_CAPTION 9399

class CXTPDialogBarPopupBar : public CXTPPopupBar {
    DECLARE_SERIAL(CXTPDialogBarPopupBar)
public:
    // Drops from the caption control's lower left corner.
    void UpdateFlags() override;
};

class CXTPDialogBarCloseButton : public CXTPToolBarCloseButton {
    DECLARE_SERIAL(CXTPDialogBarCloseButton)
public:
    CXTPDialogBarCloseButton();
    void Draw(CDC* pDC) override;
};

class CXTPDialogBarCaptionPopup : public CXTPControlPopup {
    DECLARE_SERIAL(CXTPDialogBarCaptionPopup)
public:
    CXTPDialogBarCaptionPopup();
    CSize GetSize(CDC* pDC) override { (void)pDC; return m_rcControl.Size(); }
    void Draw(CDC* pDC) override;
    BOOL OnSetPopup(BOOL bPopup) override;
    void AdjustExcludeRect(CRect& rc) override;
    BOOL HasPopup() const { return m_bHasPopup; }
    void SetHasPopup(BOOL bHasPopup) { m_bHasPopup = bHasPopup; }

protected:
    BOOL m_bHasPopup = FALSE;
};

class CXTPDialogBar : public CXTPToolBar {
    DECLARE_SERIAL(CXTPDialogBar)
public:
    CXTPDialogBar();
    ~CXTPDialogBar() override;

    BOOL IsDialogBar() const override { return TRUE; }
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0) override;
    int IsPointInside(CPoint point) const override;
    void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;

    // The user dragged a sizing border to rcWindow (screen) with the edge's hit code.
    virtual void Resize(CRect rcWindow, int nHitTest);
    // The area between the window edge and the hosted child.
    CRect GetInsets();

    void SetChild(CWnd* pChildWnd);
    HWND GetChild() const { return m_hwndChild; }
    void SetCaption(LPCTSTR lpszCaption) { m_strCaption = lpszCaption; }
    CString GetCaption() const { return m_strCaption; }
    void SetResizable(BOOL bResizable) { m_bResizable = bResizable; }
    void SetShowCaption(BOOL bShow) { m_bShowCaption = bShow; }
    void SetCaptionPopupEnabled(BOOL bEnabled) { m_bCaptionPopup = bEnabled; }
    void SetMargins(CRect rcMargins) { m_rcMargins = rcMargins; }
    CXTPDialogBarPopupBar* GetCaptionPopupBar() const { return m_pPopupBar; }
    int GetCaptionHeight() const { return m_nCaptionHeight; }
    CSize GetDockingClientSize() const { return m_szDockingClient; }
    void SetDockingClientSize(CSize sz) { m_szDockingClient = sz; }
    CSize GetFloatingClientSize() const { return m_szFloatingClient; }
    void SetFloatingClientSize(CSize sz) { m_szFloatingClient = sz; }

    // Message handlers
    LRESULT OnNcHitTest(CPoint point);
    void OnSize(UINT nType, int cx, int cy);

protected:
    CSize CalcLayout(CSize szClient, int nLength, DWORD dwMode);

    CRect m_rcMargins{3, 3, 3, 3};
    BOOL m_bResizable = TRUE;
    CSize m_szMinimumClient{50, 50};
    BOOL m_bShowCaption = TRUE;
    BOOL m_bCaptionPopup = TRUE;
    int m_nCaptionHeight = 0;
    CSize m_szDockingClient{200, 200};
    CSize m_szFloatingClient{200, 200};
    HWND m_hwndChild = nullptr;
    CString m_strCaption;
    CXTPDialogBarPopupBar* m_pPopupBar = nullptr;

    DECLARE_MESSAGE_MAP()
};
