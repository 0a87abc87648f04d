// The looks of the caption bar (classic frames, or the Office 2003
// gradient) and of its child button, which draws the caption's own text
// when it stands in for the caption in text-button mode.
#pragma once

#include "platform/gdi/GdiTypes.h"
#include "toolkit/controls/XTButtonTheme.h"

class CXTCaption;

class CXTCaptionThemeFactory : public CXTThemeManagerStyleFactory {
    DECLARE_DYNCREATE(CXTCaptionThemeFactory)
public:
    CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

class CXTCaptionTheme : public CXTThemeManagerStyle {
public:
    CXTCaptionTheme();

    void RefreshMetrics() override;
    virtual void DrawCaptionBackground(CDC* pDC, CXTCaption* pCaption, CRect rc);
    virtual void DrawCaptionText(CDC* pDC, CXTCaption* pCaption);
    virtual void DrawCaptionIcon(CDC* pDC, CXTCaption* pCaption, CRect rc);
    // A new button style for the caption's button (the caller owns it).
    virtual CXTButtonTheme* CreateButtonTheme(CXTCaption* pCaption);

    CXTColorValue m_clrShadow;
    CXTColorValue m_clrHighlight;
};

class CXTCaptionThemeOffice2003 : public CXTCaptionTheme {
public:
    // bGradient: the colour manager's gradient 1 framed; else gradient 4
    // with a line along the bottom.
    explicit CXTCaptionThemeOffice2003(BOOL bGradient = TRUE);

    void DrawCaptionBackground(CDC* pDC, CXTCaption* pCaption, CRect rc) override;
    CXTButtonTheme* CreateButtonTheme(CXTCaption* pCaption) override;

    BOOL m_bGradient;
};

// The caption text flags of the caption and of its text button.
constexpr UINT XT_CAPTION_TEXT_FORMAT = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_CENTER;

class CXTCaptionButtonTheme : public CXTButtonTheme {
public:
    explicit CXTCaptionButtonTheme(CXTCaption* pCaption);
    void DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton) override;

    CXTCaption* m_pCaption;
};

// The Office caption buttons: in text-button mode the caption's text,
// coloured as hot while hot or pressed.
template <class TBase>
class CXTCaptionButtonThemeOfficeT : public TBase {
public:
    explicit CXTCaptionButtonThemeOfficeT(CXTCaption* pCaption);
    COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
    void DrawButtonText(CDC* pDC, UINT nState, CRect rcItem, CXTButton* pButton) override;

    CXTCaption* m_pCaption;
};

class CXTCaptionButtonThemeOfficeXP : public CXTCaptionButtonThemeOfficeT<CXTButtonThemeOfficeXP> {
public:
    explicit CXTCaptionButtonThemeOfficeXP(CXTCaption* pCaption);
    void DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton) override;
};

class CXTCaptionButtonThemeOffice2003 : public CXTCaptionButtonThemeOfficeT<CXTButtonThemeOffice2003> {
public:
    CXTCaptionButtonThemeOffice2003(CXTCaption* pCaption, BOOL bGradient);
    void DrawFrame(DRAWITEMSTRUCT* lpDIS, CXTButton* pButton) override;

    BOOL m_bGradient;
};
