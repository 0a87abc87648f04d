// Small drawing utilities of every toolkit painter: scoped selection of a
// font, pen or brush; rectangle and point helpers; a two-colour gradient
// (the optional library's, or banded); the low-colour test; the default
// face name; per-channel colour operations; icons from bitmaps.
#pragma once

#include "platform/mfc/Dc.h"
#include "toolkit/controls/XTColorManager.h"

class CWnd;

// Selects a font for one scope; without a font nothing is selected.
class CXTFontSelector {
public:
    CXTFontSelector(CDC* pDC, CFont* pFont);
    virtual ~CXTFontSelector();
    CXTFontSelector(const CXTFontSelector&) = delete;
    CXTFontSelector& operator=(const CXTFontSelector&) = delete;

protected:
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOldFont = nullptr;
};

// A pen or brush of one colour, made and selected for one scope.
template <class TObject>
class CXTColorObjectSelector {
public:
    CXTColorObjectSelector(HDC hDC, COLORREF clr) : m_hDC(hDC) { Select(clr); }
    virtual ~CXTColorObjectSelector() { Restore(); }
    CXTColorObjectSelector(const CXTColorObjectSelector&) = delete;
    CXTColorObjectSelector& operator=(const CXTColorObjectSelector&) = delete;

    // The previous object goes back in before the old one is deleted.
    void SetColor(COLORREF clr)
    {
        Restore();
        m_object.DeleteObject();
        Select(clr);
    }

protected:
    static void Create(CPen& pen, COLORREF clr) { pen.CreatePen(PS_SOLID, 1, clr); }
    static void Create(CBrush& brush, COLORREF clr) { brush.CreateSolidBrush(clr); }
    void Select(COLORREF clr)
    {
        Create(m_object, clr);
        m_hOld = ::SelectObject(m_hDC, m_object.m_hObject);
    }
    void Restore()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
        m_hOld = nullptr;
    }

    TObject m_object;
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
};

// A solid 1-pixel pen selected for one scope.
class CXTPenSelector : public CXTColorObjectSelector<CPen> {
public:
    using CXTColorObjectSelector::CXTColorObjectSelector;
    COLORREF GetColor();
};

// A solid brush selected for one scope.
class CXTBrushSelector : public CXTColorObjectSelector<CBrush> {
public:
    using CXTColorObjectSelector::CXTColorObjectSelector;
};

class CXTEmptyRect : public CRect {
public:
    CXTEmptyRect() { SetRectEmpty(); }
};

// Screen coordinates; empty when the window does not exist.
class CXTWindowRect : public CRect {
public:
    explicit CXTWindowRect(HWND hWnd);
    explicit CXTWindowRect(const CWnd* pWnd);
};

// Empty when the window does not exist.
class CXTClientRect : public CRect {
public:
    explicit CXTClientRect(const CWnd* pWnd);
};

// The cursor in the window's client coordinates.
class CXTClientCursorPos : public CPoint {
public:
    explicit CXTClientCursorPos(const CWnd* pWnd);
};

// TRUE at 1 to 8 bits per pixel (of the desktop's DC without one); FALSE
// when the depth cannot be read.
BOOL XTIsLowColorDisplay(HDC hDC = nullptr);

class CXTDrawHelper {
public:
    // Looks up the gradient fill of the optional library.
    CXTDrawHelper();
    virtual ~CXTDrawHelper();
    CXTDrawHelper(const CXTDrawHelper&) = delete;
    CXTDrawHelper& operator=(const CXTDrawHelper&) = delete;

    // From clrFrom at the left (top) to clrTo at the right (bottom); solid on
    // a low-colour display or with equal colours.
    void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF clrFrom, COLORREF clrTo, BOOL bHorz);
    void GradientFill(CDC* pDC, LPCRECT lpRect, const CXTColorGradient& grc, BOOL bHorz);
    // Per channel trunc(to * (1 - weight) + from * weight), at most 255.
    static COLORREF BlendColors(COLORREF clrFrom, COLORREF clrTo, float fWeight);

protected:
    typedef BOOL(WINAPI* PFNGRADIENTFILL)(HDC, TRIVERTEX*, ULONG, void*, ULONG, ULONG);
    HMODULE m_hMsImgDll = nullptr;
    PFNGRADIENTFILL m_pfnGradientFill = nullptr;
};

// The process-wide helper, built on first use.
CXTDrawHelper& XTDrawHelper();

// Whether the screen knows a font family of the name (case ignored,
// double-byte characters compared whole).
BOOL XTFontFamilyExists(LPCTSTR lpszFaceName);
// "Arial" (or "Tahoma" when preferred and installed) on a Western system
// that has it; else the default GUI font's face.
CString XTGetDefaultFontFace(BOOL bPreferTahoma);
// The XP colour scheme of the colour manager.
XTColorScheme XTGetLunaTheme();

// A colour with per-channel operations.
class CXTColorRef {
public:
    CXTColorRef(COLORREF clr = 0) : m_clr(clr) {}
    operator COLORREF() const { return m_clr; }

    // this * (100 - nPercent) + clrOther * nPercent, over 100, per channel.
    CXTColorRef& Blend(COLORREF clrOther, int nPercent);
    // this - clrOther per channel, not below 0.
    CXTColorRef& Subtract(COLORREF clrOther);

private:
    COLORREF m_clr;
};

// The colour of the bitmap's top-left pixel; CLR_INVALID without a bitmap.
COLORREF XTGetBitmapCornerColor(HBITMAP hBitmap);
// An icon of the bitmap, its corner colour transparent; null without a
// bitmap or for an empty one.
HICON XTCreateIconFromBitmap(HBITMAP hBitmap);
// The rectangle in a checkerboard of the face (colour 15) and highlight
// (colour 20) colours, as buttons shown latched in are drawn.
void XTFillHalftoneRect(CDC* pDC, const CRect& rect);
