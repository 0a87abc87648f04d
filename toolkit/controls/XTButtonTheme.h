// The looks of CXTButton: classic (3D, flat or semi-flat frames, or the
// system's visual style), Office XP (flat faces framed when hot or pressed,
// faded and shadowed icons) and Office 2003 (the XP look in the colours of
// the XP colour scheme). A style holds the colours, the caption font and the
// rules that place image and caption.
#pragma once

#include "platform/base/String.h"
#include "platform/mfc/Rect.h"
#include "toolkit/commandbars/XTPVisualStyleWrapper.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTThemeManager.h"

class CDC;
class CFont;
class CXTButton;
struct DRAWITEMSTRUCT;

// Extended button style bits of CXTButton.
constexpr DWORD BS_XT_FLAT = 0x0001;
constexpr DWORD BS_XT_SEMIFLAT = 0x0002;
constexpr DWORD BS_XT_TWOROWS = 0x0004; // image above the text
constexpr DWORD BS_XT_SHOWFOCUS = 0x0010;
constexpr DWORD BS_XT_HILITEPRESSED = 0x0020; // halftone face while latched in
constexpr DWORD BS_XT_XPFLAT = 0x0040;
constexpr DWORD BS_XT_WINXP_COMPAT = 0x1000; // the system's visual style when there is one

class CXTButtonThemeFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(CXTButtonThemeFactory)
public:
    CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

class CXTButtonTheme : public CXTThemeManagerStyle {
public:
    CXTButtonTheme();
    ~CXTButtonTheme() override;

    void RefreshMetrics() override;
    virtual BOOL NeedsHover(CXTButton* pButton);
    virtual BOOL UseVisualStyles(CXTButton* pButton);
    virtual BOOL GetShowImage() const { return m_bShowImage; }
    virtual void SetShowImage(BOOL bShowImage) { m_bShowImage = bShowImage; }
    // The kept font, else the button's, else null.
    virtual CFont* GetFont(CXTButton* pButton);
    // Kept only when it has a font handle.
    virtual void SetFont(CFont* pFont);
    virtual void SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText);
    virtual void SetColorFace(COLORREF clr) { m_crFace.SetCustomValue(clr); }
    virtual COLORREF GetColorFace() { return m_crFace; }
    virtual void SetColorLight(COLORREF clr) { m_crLight.SetCustomValue(clr); }
    virtual void SetColorShadow(COLORREF clr) { m_crShadow.SetCustomValue(clr); }
    virtual void SetColorText(COLORREF clr) { m_crText.SetCustomValue(clr); }
    virtual CPoint CalcOrigin(CSize size, CXTButton* pButton);
    virtual CPoint CalcTextPosition(UINT nState, CRect rcItem, CSize sizeText, CXTButton* pButton);
    virtual COLORREF GetTextColor(UINT nState, CXTButton* pButton);
    virtual void DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton);
    virtual CPoint CalcImagePosition(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton);
    virtual void DrawButtonImage(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton);
    virtual void DrawButton(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton);
    virtual BOOL DrawVisualStyleBackground(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton);
    virtual void DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton);
    virtual void DrawFocus(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton);

    // The button's caption without its single "&" and its measured size.
    CString GetCaption(CXTButton* pButton) const;
    CSize GetCaptionSize(CDC* pDC, CXTButton* pButton);
    // ODS_SELECTED or the button's checked look.
    static BOOL IsPressedLook(UINT nState, CXTButton* pButton);

    BOOL m_bShowImage = TRUE;
    BOOL m_bOffsetHiliteText = TRUE;
    CFont* m_pFont = nullptr;
    CXTColorValue m_crFace;
    CXTColorValue m_crText;
    CXTColorValue m_crGrayText;
    CXTColorValue m_crLight;
    CXTColorValue m_crShadow;
    CXTColorValue m_crHighlight;
    CXTColorValue m_crDarkShadow;
    CXTPVisualStyleWrapper m_themeButton;
};

class CXTButtonThemeOfficeXP : public CXTButtonTheme {
public:
    explicit CXTButtonThemeOfficeXP(BOOL bFramed = FALSE);

    void RefreshMetrics() override;
    BOOL NeedsHover(CXTButton*) override { return TRUE; }
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    void DrawButtonImage(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton) override;
    void DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton) override;
    void DrawFocus(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton) override;

    virtual void SetFramed(BOOL bFramed)
    {
        m_bFramed = bFramed;
        RefreshMetrics();
    }
    virtual void SetColorPushedFace(COLORREF clr) { m_crPushedFace.SetCustomValue(clr); }
    virtual void SetColorHotFace(COLORREF clr) { m_crHotFace.SetCustomValue(clr); }
    virtual void SetColorPushedText(COLORREF clr) { m_crPushedText.SetCustomValue(clr); }
    virtual void SetColorHotText(COLORREF clr) { m_crHotText.SetCustomValue(clr); }

    BOOL m_bFramed;
    BOOL m_bFadedIcon = TRUE;
    BOOL m_bShadowIcon = TRUE;
    CXTColorValue m_crPushedFace;
    CXTColorValue m_crHotFace;
    CXTColorValue m_crPushedText;
    CXTColorValue m_crHotText;
    CXTColorValue m_crCheckedFace;
};

class CXTButtonThemeOffice2003 : public CXTButtonThemeOfficeXP {
public:
    explicit CXTButtonThemeOffice2003(BOOL bFramed = FALSE);

    void RefreshMetrics() override;
    void DrawButtonImage(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton) override;
};
