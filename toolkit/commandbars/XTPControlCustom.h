// A control hosting a window of the application, and the static text label.
#pragma once

#include "toolkit/commandbars/XTPControlButton.h"
#include "toolkit/commandbars/XTPHookManager.h"

// Where a hosted window goes on vertical bars.
enum XTPControlCustomVerticalOptions {
    xtpVerticalHide = 0,
    xtpVerticalShow = 1,
    xtpVerticalButton = 2,
};

class CXTPControlCustom : public CXTPControlButton, public CXTPHookSink {
    DECLARE_SERIAL(CXTPControlCustom)
public:
    CXTPControlCustom();
    ~CXTPControlCustom() override;

    // A custom control hosting the window; its id becomes the window's id.
    static CXTPControlCustom* CreateControlCustom(CWnd* pWnd);

    void SetEnabled(BOOL bEnabled) override;
    void SetRect(CRect rcControl) override;
    void SetHideFlags(DWORD dwFlags) override;
    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void OnCalcDynamicSize(DWORD dwMode) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
    BOOL IsCustomizeDragOverAvail(CXTPCommandBar* pCommandBar, CPoint point) override;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) override;

    // Stops watching the previous window; the new one is watched and its
    // current size becomes the control size.
    void SetControl(CWnd* pWnd);
    CWnd* GetControl() const { return m_pControl; }
    void SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom);
    CRect GetBorders() const { return m_rcBorders; }
    void SetVerticalPositionOption(int nOption) { m_verticalOptions = nOption; }
    int GetVerticalPositionOption() const { return m_verticalOptions; }
    CSize GetControlSize() const { return m_szControl; }
    int GetControlId() const { return m_nControlID; }

    CWnd* m_pControl = nullptr;
    CRect m_rcBorders{0, 0, 0, 0};
    BOOL m_bControlVisible = TRUE;
    CSize m_szControl{0, 0};
    int m_verticalOptions = xtpVerticalHide;
    int m_nControlID = 0;

private:
    HWND m_hwndHooked = nullptr;
    BOOL IsWindowShownHere() const;
    void ShowHostedWindow();
    // The window with the id among the frame's children, then the bars'.
    CWnd* FindControlWindow(int nID) const;
};

class CXTPControlStatic : public CXTPControl {
    DECLARE_SERIAL(CXTPControlStatic)
public:
    CXTPControlStatic() = default;

    CSize GetSize(CDC* pDC) override;
    void Draw(CDC* pDC) override;
    void DoPropExchange(CXTPPropExchange* pPX) override;
    void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
    void OnClick(BOOL = FALSE, CPoint = CPoint(0, 0)) override {}
    void SetWidth(int nWidth) override;
    int GetWidth() const { return m_nWidth; }

    int m_nWidth = 0;
};
