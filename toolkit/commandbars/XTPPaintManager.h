// The base of every command-bar paint theme: fonts, the colour table, icon
// and animation options, the shared drawing utilities, status-bar and
// dock-bar painting, the popup animations, and the one process-wide paint
// manager that bars draw with unless their manager owns one.
#pragma once

#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"
#include "platform/win/SystemProfile.h"
#include "toolkit/controls/XTColorManager.h"

class CStatusBar;
class CWnd;
class CXTPControl;
class CXTPControlComboBox;
class CXTPControlEdit;
class CXTPControlListBox;
class CXTPCommandBar;
class CXTPImageManagerIcon;

// Command-bar paint theme ids.
enum XTPPaintTheme {
    xtpThemeOfficeXP = 0,
    xtpThemeOffice2000 = 1,
    xtpThemeOffice2003 = 2,
    xtpThemeNativeWinXP = 3,
    xtpThemeDefault = 4,
    xtpThemeCustom = 5,
};

// Popup animation types.
enum XTPAnimationType {
    xtpAnimateWindowsDefault = 0,
    xtpAnimateRandom = 1,
    xtpAnimateUnfold = 2,
    xtpAnimateSlide = 3,
    xtpAnimateFade = 4,
    xtpAnimateNone = 5,
};

// The buttons bars make themselves, drawn by DrawSpecialControl.
enum XTPSpecialControl {
    xtpButtonExpandToolbar = 0,
    xtpButtonExpandMenu = 1,
    xtpButtonCloseToolbar = 2,
    xtpButtonExpandFloating = 3,
    xtpButtonCustomize = 4,
};

// The icon options every bar reads.
struct XTP_COMMANDBARS_ICONSINFO {
    BOOL bUseFadedIcons;
    BOOL bUseDisabledIcons;
    BOOL bIconsWithShadow;
};

// The system's non-client metrics, read at construction.
class CXTPNonClientMetrics : public NONCLIENTMETRICSA {
public:
    CXTPNonClientMetrics();
};

class CXTPPaintManager : public CCmdTarget {
public:
    CXTPPaintManager();
    ~CXTPPaintManager() override;

    // The drawing slots, in the order every theme overrides them.
    virtual CSize DrawControlPopupParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
    virtual CSize DrawControlToolBarParent(CDC* pDC, CXTPControl* pControl, BOOL bDraw);
    virtual void DrawSplitButtonFrame(CDC* pDC, CXTPControl* pControl, CRect rc);
    virtual CSize DrawControlComboBox(CDC* pDC, CXTPControlComboBox* pControl, BOOL bDraw) = 0;
    virtual CSize DrawControlEdit(CDC* pDC, CXTPControlEdit* pControl, BOOL bDraw) = 0;
    virtual CSize DrawListBoxControl(CDC* pDC, CXTPControl* pButton, CRect rc, BOOL bSelected, BOOL bDraw,
                                     CXTPControlListBox* pListBox) = 0;
    virtual void FillCommandBar(CDC* pDC, CXTPCommandBar* pBar) = 0;
    // Answers the previous background mode.
    virtual int DrawControlEntry(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bPressed, BOOL bChecked,
                                 BOOL bPopuped, int nBarPosition) = 0;
    virtual void DrawControlEntry(CDC* pDC, CXTPControl* pControl);
    virtual void DrawControlBackground(CDC* pDC, CRect rc, BOOL bSelected, BOOL bPressed, BOOL bEnabled,
                                       BOOL bChecked, BOOL bPopuped, int nBarType, int nBarPosition) = 0;
    virtual CSize DrawCommandBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) = 0;
    virtual CSize DrawCommandBarSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) = 0;
    virtual void AdjustExcludeRect(CRect& rc, CXTPControl* pControl, BOOL bVertical) = 0;
    virtual void DrawStatusBarPane(CDC* pDC, CStatusBar* pBar, int nIndex);
    virtual void DrawStatusBarGripper(CDC* pDC, CRect rcClient);
    // pDockBar: a dock bar's window.
    virtual void FillDockBar(CDC* pDC, CWnd* pDockBar);
    virtual void FillStatusBar(CDC* pDC, CStatusBar* pBar);
    virtual void RefreshMetrics();
    virtual BOOL IsFlatStyle() { return FALSE; }
    virtual CSize DrawSpecialControl(CDC* pDC, int nKind, CXTPControl* pControl, CXTPCommandBar* pBar, BOOL bDraw,
                                     void* pParam);
    virtual CRect GetCommandBarBorders(CXTPCommandBar* pBar);
    virtual CSize DrawTearOffGripper(CDC* pDC, CRect rc, BOOL bSelected, BOOL bDraw) = 0;
    virtual void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, BOOL bSelected,
                           BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped, BOOL bToolBarImage) = 0;
    virtual CSize DrawDialogBarGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) = 0;
    virtual int BaseTheme() = 0;
    virtual CFont* GetCommandBarFont(CXTPCommandBar* pBar, BOOL bBold = FALSE);
    virtual void AnimatePopup(CDC* pDestDC, CDC* pSrcDC, CRect rc, int nType);
    virtual void AnimateExpanding(CXTPCommandBar* pBar, CDC* pDestDC, CDC* pSrcDC);
    virtual void DrawStatusBarPaneBorder(CDC* pDC, CRect rc, BOOL bLast);

    // The process-wide instance.
    static CXTPPaintManager* SetTheme(int nTheme);
    static CXTPPaintManager* CreateTheme(int nTheme);
    static void SetCustomTheme(CXTPPaintManager* pTheme);

    // An index above 57 is an RGB value itself.
    COLORREF GetColor(int nIndex) const;
    void SetColors(int nCount, const int* pIndexes, const COLORREF* pColors);
    // A colour that wins over the standard one; COLORREF(-1) removes it.
    void SetCustomColor(int nIndex, COLORREF clr);
    XTP_COMMANDBARS_ICONSINFO* GetIconsInfo() { return &m_iconsInfo; }
    int GetCurrentSystemTheme() const;
    int GetCurrentTheme() const { return m_nTheme; }

    void SetCommandBarsFontIndirect(LOGFONTA* pLogFont, BOOL bUseStandardFont = FALSE);
    void RefreshFonts();
    static BOOL FontExists(const CString& strFaceName);
    CFont* GetRegularFont() { return &m_fontRegular; }
    CFont* GetRegularBoldFont() { return &m_fontRegularBold; }
    CFont* GetIconFont() { return &m_fontIcon; }
    CFont* GetIconBoldFont() { return &m_fontIconBold; }
    CFont* GetSmCaptionFont() { return &m_fontSmCaption; }
    CFont* GetGlyphFont() { return &m_fontMarlettIcon; }
    int GetTextHeight() const { return m_nTextHeight; }

    // Drawing utilities; colours are indexes (or RGB values above 57).
    void Draw3dRect(CDC* pDC, CRect rc, int nTopLeft, int nBottomRight);
    void Rectangle(CDC* pDC, CRect rc, int nPen, int nBrush);
    static void Line(CDC* pDC, int x0, int y0, int x1, int y1);
    void Line(CDC* pDC, int x0, int y0, int x1, int y1, int nPen);
    static void Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
    static void DrawCheckMark(CDC* pDC, CRect rc, COLORREF clr, BOOL bLayoutRTL = FALSE);
    static void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz);
    static void BlendBits(BYTE* pDest, const BYTE* pFrom, int cx, int cy, const BYTE* pTo, int nAlpha);
    static void StripMnemonics(CString& strClear);
    void FormatCaptionRtl(CString& strCaption);
    CSize DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw = TRUE);

    // Captions of controls on bars, in the selected font. Measuring answers
    // the text's size (" " for an empty caption, 10 more with the triangle,
    // swapped when vertical); drawing answers (0, 0).
    CSize DrawControlCaption(CDC* pDC, const CString& strCaption, CRect rc, BOOL bDraw, BOOL bVertical,
                             BOOL bCentered, BOOL bTriangle, BOOL bEmbossed);
    // A caption beside (or, vertical, below) an icon cell of the button size.
    CSize DrawControlImageCaption(CDC* pDC, const CString& strCaption, CRect rc, BOOL bVertical, BOOL bDraw,
                                  BOOL bEmbossed, BOOL bTriangle, CSize szButton, BOOL bDrawImage);
    // The icon a control shows (styles 2 and 3, and automatic but for plain
    // popups) at the icon width, or null; and whether it shows its caption.
    static CXTPImageManagerIcon* GetControlImage(CXTPControl* pControl, int nIconWidth);
    static BOOL IsCaptionVisible(CXTPControl* pControl, BOOL bDrawImage);
    // An icon drawn at a width keeps its aspect ratio.
    static CSize GetImageDrawSize(CXTPImageManagerIcon* pImage, int nWidth);
    static BOOL IsPopupControlType(int nType);
    // The title strip of a floating bar in the small-caption font, at least
    // 15 high, with room for the title buttons; answers its size.
    CSize DrawFloatingTitle(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw, COLORREF clrFill);
    // A popup control whose popup is open.
    static BOOL IsControlPopuped(CXTPControl* pControl);

    COLORREF m_clrShadowColor = 0;
    COLORREF m_clrStatusTextColor = 0;
    CFont m_fontRegular;
    CFont m_fontRegularBold;
    CFont m_fontVert;
    CFont m_fontVertBold;
    CFont m_fontSmCaption;
    CFont m_fontIcon;
    CFont m_fontMarlettIcon;
    CFont m_fontIconBold;
    int m_nTextHeight = 0;
    BOOL m_bUseTahomaFont = FALSE;
    BOOL m_bUseStandardFont = TRUE;
    int m_nTheme = xtpThemeOffice2000;
    XTP_COMMANDBARS_ICONSINFO m_iconsInfo{FALSE, FALSE, FALSE};
    int m_nAnimationSteps = 10;
    int m_nAnimationTime = 100;
    struct ColorPair {
        COLORREF clrStandard;
        COLORREF clrCustom; // COLORREF(-1): none
    };
    ColorPair m_arColor[XT_COLOR_COUNT];
    int m_nSystemTheme = 5; // automatic
};

// The process-wide paint manager; null until the first SetTheme.
CXTPPaintManager* XTPPaintManager();
