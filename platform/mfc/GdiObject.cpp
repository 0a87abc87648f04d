#include "platform/mfc/GdiObject.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/HandleMap.h"
#include "platform/win/Painting.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)

namespace {

auto& ObjectMap() { return tavrin::mfc::ThreadHandleMap<CGdiObject, HGDIOBJ, &CGdiObject::m_hObject>(); }

// Objects the system shares (stock objects, system colour brushes) are
// wrapped but never deleted.
bool IsSharedObject(HGDIOBJ h)
{
    for (int i = WHITE_BRUSH; i <= DC_PEN; ++i) {
        if (GetStockObject(i) == h)
            return true;
    }
    for (int i = 0; i <= 30; ++i) {
        if (GetSysColorBrush(i) == h)
            return true;
    }
    return false;
}

} // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return ObjectMap().FromHandle(hObject); }

CPen* CPen::FromHandle(HPEN hPen) { return FromHandleAs<CPen>(hPen); }
CBrush* CBrush::FromHandle(HBRUSH hBrush) { return FromHandleAs<CBrush>(hBrush); }
CFont* CFont::FromHandle(HFONT hFont) { return FromHandleAs<CFont>(hFont); }
CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return FromHandleAs<CBitmap>(hBitmap); }
CRgn* CRgn::FromHandle(HRGN hRgn) { return FromHandleAs<CRgn>(hRgn); }
CPalette* CPalette::FromHandle(HPALETTE hPalette) { return FromHandleAs<CPalette>(hPalette); }

void CGdiObject::DeleteTempMap() { ObjectMap().DeleteTemp(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject)
        return FALSE;
    m_hObject = hObject;
    ObjectMap().SetPermanent(hObject, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h)
        ObjectMap().RemoveHandle(h);
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    HGDIOBJ h = Detach();
    return IsSharedObject(h) ? TRUE : ::DeleteObject(h);
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }

UINT CGdiObject::GetObjectType() const { return ::GetObjectType(m_hObject); }

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }

CBrush::CBrush(COLORREF crColor)
{
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor)
{
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap)
{
    if (!CreatePatternBrush(pBitmap))
        AfxThrowResourceException();
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return pBitmap ? Attach(::CreatePatternBrush(static_cast<HBITMAP>(AfxHandleOf(pBitmap)))) : FALSE;
}
BOOL CBrush::CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage)
{
    return Attach(::CreateDIBPatternBrushPt(lpPackedDIB, nUsage));
}
BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCTSTR lpszFacename)
{
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC)
{
    LOGFONTA logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfHeight = nPointSize;
    std::strncpy(logFont.lfFaceName, lpszFaceName ? lpszFaceName : "", LF_FACESIZE - 1);
    return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lpLogFont, CDC* pDC)
{
    HDC hdc = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
    LOGFONTA logFont = *lpLogFont;
    // Tenths of a point to device units, then back to logical units.
    long long tenths = static_cast<long long>(GetDeviceCaps(hdc, LOGPIXELSY)) * logFont.lfHeight;
    POINT pt{0, static_cast<LONG>((tenths + (tenths >= 0 ? 360 : -360)) / 720)};
    DPtoLP(hdc, &pt, 1);
    POINT origin{0, 0};
    DPtoLP(hdc, &origin, 1);
    logFont.lfHeight = -std::abs(pt.y - origin.y);
    if (!pDC)
        ::ReleaseDC(nullptr, hdc);
    return CreateFontIndirect(&logFont);
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}
BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight));
}
DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(dwCount), lpBits));
}
CSize CBitmap::GetBitmapDimension() const
{
    SIZE size{0, 0};
    ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &size);
    return size;
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreatePolygonRgn(LPPOINT lpPoints, int nCount, int nMode)
{
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}
void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2); }
void CRgn::SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(static_cast<HRGN>(m_hObject), pRgn1 ? static_cast<HRGN>(pRgn1->m_hObject) : nullptr,
                        pRgn2 ? static_cast<HRGN>(pRgn2->m_hObject) : nullptr, nCombineMode);
}
int CRgn::CopyRgn(const CRgn* pRgnSrc) { return CombineRgn(pRgnSrc, nullptr, RGN_COPY); }
BOOL CRgn::EqualRgn(const CRgn* pRgn) const
{
    return ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(pRgn->m_hObject));
}
int CRgn::OffsetRgn(int x, int y) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y); }
int CRgn::GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
BOOL CRgn::RectInRegion(LPCRECT lpRect) const { return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect); }
int CRgn::GetRegionData(RGNDATA* lpRgnData, int nCount) const
{
    return static_cast<int>(::GetRegionData(static_cast<HRGN>(m_hObject), static_cast<DWORD>(nCount), lpRgnData));
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, PALETTEENTRY* lpPaletteColors) const
{
    return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}
int CPalette::GetEntryCount()
{
    WORD count = 0;
    GetObject(sizeof count, &count);
    return count;
}
