// CXTButton: an owner-drawn push button with a caption and an icon or
// bitmap, a hot state while the pointer is over it (polled by a short
// timer), and all drawing left to its button style.
#pragma once

#include "platform/mfc/Button.h"
#include "toolkit/controls/XTButtonTheme.h"
#include "toolkit/controls/XTThemeManager.h"

class CXTPImageManagerIcon;

class CXTButton : public CButton, public CXTThemeManagerStyleHost {
    DECLARE_DYNAMIC(CXTButton)
public:
    CXTButton();
    ~CXTButton() override;

    virtual BOOL SetIcon(CSize size, UINT nID, UINT nHotID = 0, BOOL bRedraw = TRUE);
    virtual BOOL SetIcon(CSize size, WORD nID, WORD nHotID, BOOL bRedraw = TRUE);
    virtual BOOL SetIcon(CSize size, HICON hIcon, HICON hIconHot = nullptr, BOOL bRedraw = TRUE);
    virtual BOOL SetBitmap(CSize size, UINT nID, BOOL bRedraw = TRUE);
    virtual BOOL SetTextAndImagePos(CPoint ptImage, CPoint ptText, BOOL bRedraw = TRUE);
    // Stores the bits and returns the old ones; 0x40 gives the button a
    // private Office XP style, else 0x1 a private classic one, else it
    // follows the shared style again.
    virtual DWORD SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw = TRUE);
    virtual DWORD GetXButtonStyle() { return m_dwxStyle; }
    virtual BOOL HasTheme() { return GetButtonTheme() != nullptr; }
    virtual void SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText);
    virtual void SetColorFace(COLORREF clr);
    virtual COLORREF GetColorFace();
    virtual void SetColorLight(COLORREF clr);
    virtual void SetColorShadow(COLORREF clr);
    virtual void SetColorText(COLORREF clr);
    // Only for an Office XP style: its frame, hot face and pushed face.
    virtual void SetXPColors(COLORREF clrBorder, COLORREF clrHotFace, COLORREF clrPushedFace);
    virtual void ToggleShowImage();
    // The previous font; sets the new one with a redraw.
    virtual CFont* SetFont(CFont* pFont);
    virtual void ClearGeneratedIcons();
    // The window text; with bStripMnemonic each single "&" before a
    // character goes, a doubled "&&" and a final "&" stay.
    virtual CString GetButtonText(BOOL bStripMnemonic);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void PreSubclassWindow() override;
    void OnThemeChanged() override;

    // What the styles read.
    CXTButtonTheme* GetButtonTheme() { return dynamic_cast<CXTButtonTheme*>(GetTheme()); }
    int GetBorderGap() const { return m_nBorderGap; }
    int GetImageGap() const { return m_nImageGap; }
    BOOL IsHot() const { return m_bHot; }
    BOOL IsPushed() const { return m_bPushed; }
    BOOL GetChecked() const { return m_bChecked; }
    void SetChecked(BOOL bChecked) { m_bChecked = bChecked; }
    BOOL HasUserPositions() const { return m_bUserPosition; }
    // Zero while the style hides images.
    CSize GetImageSize();
    CPoint GetImagePoint();
    CPoint GetTextPoint();
    CXTPImageManagerIcon* GetIconObject() const { return m_pIcon; }

    // The caption rule shared with the styles.
    static CString StripMnemonics(const CString& strText);

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return FALSE; }
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnSysColorChange();
    void CheckHover();
    void Repaint();
    void ReplaceIcon(CXTPImageManagerIcon* pIcon);
    DECLARE_MESSAGE_MAP()

    int m_nBorderGap = 4;
    int m_nImageGap = 8;
    BOOL m_bHot = FALSE;
    BOOL m_bUserPosition = FALSE;
    BOOL m_bPushed = FALSE;
    BOOL m_bHoverDrawn = FALSE;
    BOOL m_bChecked = FALSE;
    DWORD m_dwxStyle = BS_XT_FLAT;
    CSize m_sizeImage{0, 0};
    CPoint m_ptImage{0, 0};
    CPoint m_ptText{0, 0};
    CXTPImageManagerIcon* m_pIcon = nullptr;
};
