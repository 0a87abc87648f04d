#include "platform/mfc/Dc.h"

#include "platform/mfc/HandleMap.h"
#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace {

auto& DcMap() { return tavrin::mfc::ThreadHandleMap<CDC, HDC, &CDC::m_hDC>(); }

} // namespace

CDC::~CDC()
{
    if (m_hDC)
        DeleteDC();
}

CDC* CDC::FromHandle(HDC hDC)
{
    CDC* dc = DcMap().FromHandle(hDC);
    if (dc && !dc->m_hAttribDC)
        dc->m_hAttribDC = dc->m_hDC;
    return dc;
}

void CDC::DeleteTempMap() { DcMap().DeleteTemp(); }

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    DcMap().SetPermanent(hDC, this);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (h)
        DcMap().RemoveHandle(h);
    m_hDC = m_hAttribDC = nullptr;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData)
{
    return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, lpInitData));
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CPen* CDC::SelectObject(CPen* pPen)
{
    return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, AfxHandleOf(pPen))));
}
CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, AfxHandleOf(pBrush))));
}
CFont* CDC::SelectObject(CFont* pFont)
{
    return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, AfxHandleOf(pFont))));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, AfxHandleOf(pBitmap))));
}
int CDC::SelectObject(CRgn* pRgn)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, AfxHandleOf(pRgn))));
}
CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    return CGdiObject::FromHandle(::SelectObject(m_hDC, AfxHandleOf(pObject)));
}
CGdiObject* CDC::SelectStockObject(int nIndex)
{
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}
CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return CPalette::FromHandle(
        ::SelectPalette(m_hDC, static_cast<HPALETTE>(AfxHandleOf(pPalette)), bForceBackground));
}

COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
int CDC::SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
int CDC::SetPolyFillMode(int nPolyFillMode) { return ::SetPolyFillMode(m_hDC, nPolyFillMode); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
UINT CDC::SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
int CDC::SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT old{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return old;
}
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT old{0, 0};
    ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old);
    return old;
}
CPoint CDC::GetViewportOrg() const
{
    POINT pt{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &pt);
    return pt;
}
CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old{0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return old;
}
CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    POINT old{0, 0};
    ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &old);
    return old;
}
CPoint CDC::GetWindowOrg() const
{
    POINT pt{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &pt);
    return pt;
}
CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT old{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return old;
}
CPoint CDC::GetBrushOrg() const
{
    POINT pt{0, 0};
    ::GetBrushOrgEx(m_hDC, &pt);
    return pt;
}

int CDC::SelectClipRgn(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, static_cast<HRGN>(AfxHandleOf(pRgn))); }
int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    return ::ExtSelectClipRgn(m_hDC, static_cast<HRGN>(AfxHandleOf(pRgn)), nMode);
}
int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) { return ::IntersectClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::OffsetClipRgn(int x, int y) { return ::OffsetClipRgn(m_hDC, x, y); }

int CDC::ExcludeUpdateRgn(CWnd* pWnd)
{
    HRGN update = ::CreateRectRgn(0, 0, 0, 0);
    int kind = ::GetUpdateRgn(AfxHwndOf(pWnd), update, FALSE);
    if (kind != ERROR && kind != NULLREGION)
        kind = ::ExtSelectClipRgn(m_hDC, update, RGN_DIFF);
    else {
        RECT box;
        kind = ::GetClipBox(m_hDC, &box);
    }
    ::DeleteObject(update);
    return kind;
}

CPoint CDC::GetCurrentPosition() const
{
    POINT pt{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &pt);
    return pt;
}
CPoint CDC::MoveTo(int x, int y)
{
    POINT old{0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return old;
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) { ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxHandleOf(pBrush))); }
void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush)
{
    ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(AfxHandleOf(pBrush)));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    // The framework's way: an opaque blank text output paints with the
    // background colour, which is set and left as it is.
    // The 3D frames pass rectangles with a negative width: fill them as the
    // rectangle they span.
    CRect rect(lpRect);
    rect.NormalizeRect();
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(AfxHandleOf(pBrush)), nullptr, reinterpret_cast<LPARAM>(hIcon), 0,
                        pt.x, pt.y, size.cx, size.cy, nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(AfxHandleOf(pBrush)), nullptr,
                        reinterpret_cast<LPARAM>(AfxHandleOf(pBitmap)), 0, pt.x, pt.y, size.cx, size.cy,
                        nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(AfxHandleOf(pBrush)), nullptr, reinterpret_cast<LPARAM>(lpszText),
                        static_cast<WPARAM>(nTextLen), pt.x, pt.y, size.cx, size.cy,
                        nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    return ::FillRgn(m_hDC, static_cast<HRGN>(AfxHandleOf(pRgn)), static_cast<HBRUSH>(AfxHandleOf(pBrush)));
}
BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight)
{
    return ::FrameRgn(m_hDC, static_cast<HRGN>(AfxHandleOf(pRgn)), static_cast<HBRUSH>(AfxHandleOf(pBrush)), nWidth, nHeight);
}
BOOL CDC::InvertRgn(CRgn* pRgn) { return ::InvertRgn(m_hDC, static_cast<HRGN>(AfxHandleOf(pRgn))); }
BOOL CDC::PaintRgn(CRgn* pRgn) { return ::PaintRgn(m_hDC, static_cast<HRGN>(AfxHandleOf(pRgn))); }

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop)
{
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, dwRop);
}
BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, int nSrcWidth,
                     int nSrcHeight, DWORD dwRop)
{
    return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, nSrcWidth,
                        nSrcHeight, dwRop);
}
BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend)
{
    return ::AlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                        nSrcWidth, nSrcHeight, blend);
}
BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent)
{
    return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc,
                            ySrc, nSrcWidth, nSrcHeight, clrTransparent);
}

BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount) { return ::TextOutA(m_hDC, x, y, lpszString, nCount); }
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount, LPINT lpDxWidths)
{
    return ::ExtTextOutA(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}
int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat)
{
    return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
}
CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return size;
}
CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return size;
}
int CDC::GetTextFace(CString& rString) const
{
    char face[LF_FACESIZE] = "";
    int n = ::GetTextFaceA(m_hAttribDC, LF_FACESIZE, face);
    rString = face;
    return n;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(AfxHwndOf(pWnd))
{
    if (!Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(AfxHwndOf(pWnd))
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(AfxHwndOf(pWnd))
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
