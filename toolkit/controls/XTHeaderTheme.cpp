#include "toolkit/controls/XTHeaderTheme.h"

#include "platform/gdi/ImageList.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObject.h"
#include "toolkit/commandbars/XTPResourceManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTHeaderCtrl.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNCREATE(CXTHeaderThemeFactory, CXTThemeManagerStyleFactory)

namespace tavrin::toolkit {

COLORREF HeaderBlend(COLORREF clrA, COLORREF clrB, double t)
{
    auto channel = [t](int a, int b) { return static_cast<int>(a - (a - b) * t); };
    return RGB(channel(GetRValue(clrA), GetRValue(clrB)), channel(GetGValue(clrA), GetGValue(clrB)),
               channel(GetBValue(clrA), GetBValue(clrB)));
}

} // namespace tavrin::toolkit

using tavrin::toolkit::HeaderBlend;

namespace {

constexpr int kTextChars = 256;

CDC* DcOf(LPDRAWITEMSTRUCT lpDIS)
{
    return CDC::FromHandle(lpDIS->hDC);
}

void VLine(CDC* pDC, int x, int y1, int y2, COLORREF clr)
{
    if (y2 > y1)
        pDC->FillSolidRect(x, y1, 1, y2 - y1, clr);
}

void HLine(CDC* pDC, int x1, int x2, int y, COLORREF clr)
{
    if (x2 > x1)
        pDC->FillSolidRect(x1, y, x2 - x1, 1, clr);
}

} // namespace

CXTThemeManagerStyle* CXTHeaderThemeFactory::CreateTheme(int nTheme)
{
    CXTThemeManagerStyle* style = nullptr;
    if (nTheme == xtThemeOfficeXP)
        style = new CXTHeaderThemeOfficeXP;
    else if (nTheme == xtThemeOffice2003)
        style = new CXTHeaderThemeOffice2003;
    else
        style = new CXTHeaderTheme;
    style->m_nTheme = nTheme;
    return style;
}

CXTHeaderTheme::CXTHeaderTheme()
{
    RefreshMetrics();
}

void CXTHeaderTheme::RefreshMetrics()
{
    m_crText = ::GetSysColor(COLOR_BTNTEXT);
    m_cr3DFace = ::GetSysColor(COLOR_BTNFACE);
    m_cr3DShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_cr3DDkShadow = ::GetSysColor(COLOR_3DDKSHADOW);
    m_cr3DHighLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
}

BOOL CXTHeaderTheme::UseVisualStyles(CXTHeaderCtrl* pHeaderCtrl)
{
    if (!m_themeHeader.GetThemeHandle() && pHeaderCtrl && pHeaderCtrl->m_hWnd)
        m_themeHeader.OpenThemeData(pHeaderCtrl->m_hWnd, L"HEADER");
    return m_themeHeader.IsThemingAvailable() && m_themeHeader.GetThemeHandle();
}

void CXTHeaderTheme::SetDrawStyle(DWORD dwDrawStyle, CXTHeaderCtrl* pHeaderCtrl)
{
    m_dwDrawStyle = dwDrawStyle;
    m_bUseWinThemes = (dwDrawStyle & XTTHEME_WINXPTHEMES) && UseVisualStyles(pHeaderCtrl);
}

void CXTHeaderTheme::DrawHeader(CDC* pDC, CXTHeaderCtrl* pHeaderCtrl)
{
    CRect rcClient;
    pHeaderCtrl->GetClientRect(&rcClient);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = 4;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = pHeaderCtrl->m_hWnd;
    dis.hDC = pDC->m_hDC;
    dis.rcItem = rcClient;
    if (!m_bUseWinThemes || !DrawVisualStyleBackground(&dis))
        DrawBackground(&dis);

    CFont* oldFont = pDC->SelectObject(pHeaderCtrl->GetFont());
    pDC->SetBkColor(m_cr3DFace);
    pDC->SetTextColor(m_crText);
    pDC->SetBkMode(TRANSPARENT);

    const int count = pHeaderCtrl->GetItemCount();
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)), -1);
    for (int i = 0; i < count; ++i) {
        HDITEM item{};
        item.mask = HDI_ORDER;
        if (pHeaderCtrl->GetItem(i, &item) && item.iOrder >= 0 && item.iOrder < count)
            order[static_cast<size_t>(item.iOrder)] = i;
    }
    CPoint cursor;
    ::GetCursorPos(&cursor);
    pHeaderCtrl->ScreenToClient(&cursor);
    int x = rcClient.left;
    for (int index : order) {
        if (index < 0)
            continue;
        HDITEM item{};
        item.mask = HDI_WIDTH;
        if (!pHeaderCtrl->GetItem(index, &item))
            continue;
        CRect rcItem(x, rcClient.top, x + item.cxy, rcClient.bottom);
        dis.itemID = static_cast<UINT>(index);
        dis.rcItem = rcItem;
        dis.itemState = 0;
        if ((m_dwDrawStyle & XTTHEME_HOTTRACKING) && rcItem.PtInRect(cursor))
            dis.itemState |= ODS_HOTLIGHT;
        if (pHeaderCtrl->IsItemPressed(index))
            dis.itemState |= ODS_SELECTED;
        if (!m_bUseWinThemes || !DrawVisualStyleItemBackground(&dis))
            DrawItemBackground(&dis);
        DrawItem(&dis, pHeaderCtrl);
        x += item.cxy;
    }
    pDC->SelectObject(oldFont);
}

void CXTHeaderTheme::DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTHeaderCtrl* pHeaderCtrl)
{
    CDC* pDC = DcOf(lpDIS);
    const int index = static_cast<int>(lpDIS->itemID);
    char text[kTextChars] = {};
    HDITEM item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_BITMAP;
    item.pszText = text;
    item.cchTextMax = kTextChars;
    if (!pHeaderCtrl->GetItem(index, &item))
        return;
    const BOOL pressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    const BOOL sorted = pHeaderCtrl->GetSortColumn() == index;
    const CRect rcItem = lpDIS->rcItem;
    CRect rcText = rcItem;
    rcText.DeflateRect(m_nTextMargin, 0);
    if (sorted)
        rcText.right -= 2 * m_iArrowPadding + m_cxArrow;
    const CSize size = pDC->GetTextExtent(text, static_cast<int>(std::strlen(text)));
    rcText.top = m_nTextTop >= 1 ? rcItem.top + m_nTextTop : rcItem.top + (rcItem.Height() - size.cy) / 2;
    rcText.bottom = rcText.top + size.cy;
    if ((item.fmt & HDF_BITMAP) && item.hbm)
        DrawItemBitmap(lpDIS, rcText, pHeaderCtrl);
    switch (item.fmt & HDF_JUSTIFYMASK) {
    case HDF_RIGHT:
        rcText.left = std::max(rcText.left, rcText.right - size.cx);
        break;
    case HDF_CENTER:
        if (rcText.Width() > size.cx) {
            rcText.left += (rcText.Width() - size.cx) / 2;
            rcText.right = rcText.left + size.cx;
        }
        break;
    default:
        rcText.right = std::min(rcText.right, rcText.left + size.cx);
        break;
    }
    if ((m_dwDrawStyle & XTTHEME_SORTARROW) && sorted) {
        DRAWITEMSTRUCT arrow = *lpDIS;
        arrow.rcItem = rcText;
        BOOL ascending = TRUE;
        pHeaderCtrl->GetSortColumn(&ascending);
        DrawSortArrowFor(&arrow, ascending);
    }
    if (rcText.Width() > 0) {
        if (pressed)
            rcText.OffsetRect(1, 1);
        pDC->DrawText(text, -1, &rcText, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
}

BOOL CXTHeaderTheme::DrawItemBitmap(LPDRAWITEMSTRUCT lpDIS, CRect& rcText, CXTHeaderCtrl* pHeaderCtrl)
{
    HDITEM item{};
    item.mask = HDI_BITMAP;
    if (!pHeaderCtrl->GetItem(static_cast<int>(lpDIS->itemID), &item) || !item.hbm)
        return FALSE;
    auto images = reinterpret_cast<HIMAGELIST>(item.hbm);
    int cx = 0, cy = 0;
    if (!::ImageList_GetIconSize(images, &cx, &cy))
        return FALSE;
    const CRect& rcItem = lpDIS->rcItem;
    const BOOL pressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    if (rcText.left + cx > rcText.right)
        return FALSE;
    const int x = rcItem.left + m_nTextMargin + (pressed ? 1 : 0);
    const int y = rcItem.top + (rcItem.Height() - cy) / 2 + (pressed ? 1 : 0);
    ::ImageList_Draw(images, 0, lpDIS->hDC, x, y, ILD_TRANSPARENT);
    rcText.left += cx + m_nTextMargin;
    return TRUE;
}

void CXTHeaderTheme::DrawSortArrowFor(LPDRAWITEMSTRUCT lpDIS, BOOL bAscending)
{
    const CRect& rcText = lpDIS->rcItem;
    int x = rcText.right + m_iArrowPadding;
    if (x < rcText.left)
        return;
    int y = rcText.top + (rcText.Height() - m_cyArrow) / 2 - 1;
    if (lpDIS->itemState & ODS_SELECTED) {
        ++x;
        ++y;
    }
    POINT pts[3];
    if (bAscending) {
        pts[0] = POINT{x + m_cxArrow / 2, y};
        pts[1] = POINT{x, y + m_cyArrow};
        pts[2] = POINT{x + m_cxArrow, y + m_cyArrow};
    } else {
        pts[0] = POINT{x + m_cxArrow / 2, y + m_cyArrow};
        pts[1] = POINT{x, y};
        pts[2] = POINT{x + m_cxArrow, y};
    }
    DrawSortArrow(DcOf(lpDIS), pts, bAscending);
}

void CXTHeaderTheme::DrawSortArrow(CDC* pDC, LPPOINT pts, BOOL bAscending)
{
    CXTPenSelector pen(pDC->m_hDC, bAscending ? m_cr3DHighLight : m_cr3DShadow);
    if (bAscending) {
        pDC->MoveTo(pts[0]);
        pDC->LineTo(pts[2]);
        pDC->LineTo(pts[1]);
        pen.SetColor(m_cr3DShadow);
        pDC->MoveTo(pts[1]);
        pDC->LineTo(pts[0]);
    } else {
        pDC->MoveTo(pts[0]);
        pDC->LineTo(pts[1]);
        pDC->LineTo(pts[2]);
        pen.SetColor(m_cr3DHighLight);
        pDC->MoveTo(pts[0]);
        pDC->LineTo(pts[2]);
    }
}

CRect CXTHeaderTheme::BackgroundRect(LPDRAWITEMSTRUCT lpDIS) const
{
    CRect rc = lpDIS->rcItem;
    rc.right += 2;
    return rc;
}

void CXTHeaderTheme::DrawBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = DcOf(lpDIS);
    CRect rc = BackgroundRect(lpDIS);
    pDC->FillSolidRect(&rc, m_cr3DFace);
    pDC->Draw3dRect(&rc, m_cr3DHighLight, m_cr3DDkShadow);
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(&rc, m_cr3DFace, m_cr3DShadow);
}

BOOL CXTHeaderTheme::DrawVisualStyleBackground(LPDRAWITEMSTRUCT lpDIS)
{
    return m_themeHeader.DrawThemeBackground(lpDIS->hDC, 0, 0, &lpDIS->rcItem, nullptr) >= 0;
}

void CXTHeaderTheme::DrawItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = DcOf(lpDIS);
    const CRect& rc = lpDIS->rcItem;
    const int r = rc.right;
    if (lpDIS->itemState & ODS_SELECTED) {
        pDC->Draw3dRect(&rc, m_cr3DShadow, m_cr3DShadow);
        VLine(pDC, r, rc.top, rc.bottom, m_cr3DHighLight);
        HLine(pDC, rc.left + 1, r - 1, rc.bottom - 2, m_cr3DFace);
        return;
    }
    VLine(pDC, r - 2, 1, rc.bottom - 1, m_cr3DShadow);
    VLine(pDC, r - 1, 0, rc.bottom - 1, m_cr3DDkShadow);
    VLine(pDC, r, 1, rc.bottom - 1, m_cr3DHighLight);
}

BOOL CXTHeaderTheme::DrawVisualStyleItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    const int state = (lpDIS->itemState & ODS_SELECTED) ? 3 : (lpDIS->itemState & ODS_HOTLIGHT) ? 2 : 1;
    return m_themeHeader.DrawThemeBackground(lpDIS->hDC, 1, state, &lpDIS->rcItem, nullptr) >= 0;
}

BOOL CXTHeaderTheme::Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl)
{
    return static_cast<BOOL>(pHeaderCtrl->DefWindowProc(HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(lpHDL)));
}

BOOL CXTHeaderTheme::LayoutByFont(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl, int nExtra)
{
    if (!lpHDL || !lpHDL->prc || !lpHDL->pwpos)
        return FALSE;
    CClientDC dc(pHeaderCtrl);
    CFont* old = dc.SelectObject(pHeaderCtrl->GetFont());
    TEXTMETRICA tm{};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(old);
    const int height = tm.tmHeight + nExtra;
    RECT* prc = lpHDL->prc;
    WINDOWPOS* pos = lpHDL->pwpos;
    pos->hwnd = pHeaderCtrl->m_hWnd;
    pos->hwndInsertAfter = nullptr;
    pos->x = prc->left;
    pos->y = prc->top;
    pos->cx = prc->right - prc->left;
    pos->cy = height;
    pos->flags = SWP_NOZORDER | SWP_NOACTIVATE;
    prc->top += height;
    return TRUE;
}

void CXTHeaderTheme::CleanUp(CXTHeaderCtrl* pHeaderCtrl)
{
    if (!pHeaderCtrl || !pHeaderCtrl->m_hWnd)
        return;
    for (int i = 0; i < pHeaderCtrl->GetItemCount(); ++i) {
        HDITEM item{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        if (pHeaderCtrl->GetItem(i, &item) && (item.fmt & HDF_BITMAP) && item.hbm) {
            ::ImageList_Destroy(reinterpret_cast<HIMAGELIST>(item.hbm));
            item.fmt &= ~HDF_BITMAP;
            item.hbm = nullptr;
            pHeaderCtrl->SetItem(i, &item);
        }
    }
}

BOOL CXTHeaderTheme::SetBitmap(int iCol, UINT uBitmapID, BOOL bRemove, COLORREF crMask, CXTHeaderCtrl* pHeaderCtrl)
{
    HDITEM item{};
    item.mask = HDI_FORMAT | HDI_BITMAP;
    if (!pHeaderCtrl->GetItem(iCol, &item))
        return FALSE;
    HIMAGELIST own = (item.fmt & HDF_BITMAP) ? reinterpret_cast<HIMAGELIST>(item.hbm) : nullptr;
    if (bRemove) {
        if (own)
            ::ImageList_Destroy(own);
        item.fmt &= ~HDF_BITMAP;
        item.hbm = nullptr;
        pHeaderCtrl->SetItem(iCol, &item);
        return FALSE;
    }
    CBitmap bitmap;
    if (!XTPGetResourceManager()->LoadBitmap(&bitmap, uBitmapID))
        return FALSE;
    BITMAP bm{};
    if (!bitmap.GetBitmap(&bm))
        return FALSE;
    HIMAGELIST images = ::ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
    if (!images)
        return FALSE;
    if (::ImageList_AddMasked(images, static_cast<HBITMAP>(bitmap.m_hObject), crMask) < 0) {
        ::ImageList_Destroy(images);
        return FALSE;
    }
    if (own)
        ::ImageList_Destroy(own);
    // The justification and the text flag stay: the item still draws its
    // text where it did.
    item.fmt |= HDF_BITMAP;
    item.hbm = reinterpret_cast<HBITMAP>(images);
    pHeaderCtrl->SetItem(iCol, &item);
    return TRUE;
}

void CXTHeaderThemeOffice2003::DrawBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = DcOf(lpDIS);
    CRect rc = BackgroundRect(lpDIS);
    pDC->FillSolidRect(&rc, m_cr3DFace);
    pDC->Draw3dRect(&rc, m_cr3DHighLight, HeaderBlend(m_cr3DFace, m_cr3DShadow, 0.6));
    HLine(pDC, rc.left, rc.right, rc.bottom - 2, HeaderBlend(m_cr3DFace, m_cr3DShadow, 0.4));
    HLine(pDC, rc.left, rc.right, rc.bottom - 3, HeaderBlend(m_cr3DFace, m_cr3DShadow, 0.25));
}

void CXTHeaderThemeOffice2003::DrawItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = DcOf(lpDIS);
    const int r = lpDIS->rcItem.right;
    VLine(pDC, r - 2, 2, lpDIS->rcItem.bottom - 4, m_cr3DShadow);
    VLine(pDC, r - 1, 2, lpDIS->rcItem.bottom - 4, m_cr3DHighLight);
}

CXTHeaderThemeOfficeXP::CXTHeaderThemeOfficeXP()
{
    m_dwDrawStyle = XTTHEME_SORTARROW;
    m_nTheme = xtThemeOfficeXP;
}

void CXTHeaderThemeOfficeXP::DrawBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = DcOf(lpDIS);
    CRect rc = BackgroundRect(lpDIS);
    pDC->FillSolidRect(&rc, m_cr3DFace);
    pDC->Draw3dRect(&rc, m_cr3DHighLight, m_cr3DShadow);
}

void CXTHeaderThemeOfficeXP::DrawItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = DcOf(lpDIS);
    const int r = lpDIS->rcItem.right;
    VLine(pDC, r - 2, 2, lpDIS->rcItem.bottom - 2, m_cr3DShadow);
    VLine(pDC, r - 1, 2, lpDIS->rcItem.bottom - 2, m_cr3DHighLight);
}

CXTHeaderThemeOffice2003::CXTHeaderThemeOffice2003()
{
    m_dwDrawStyle = XTTHEME_SORTARROW;
    m_nTextTop = 2;
    m_nTheme = xtThemeOffice2003;
}

BOOL CXTHeaderThemeOffice2003::Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl)
{
    return LayoutByFont(lpHDL, pHeaderCtrl, 10);
}

CXTHeaderThemeVisualStyle::CXTHeaderThemeVisualStyle()
{
    m_dwDrawStyle = XTTHEME_WINXPTHEMES | XTTHEME_HOTTRACKING | XTTHEME_SORTARROW;
    m_nTextTop = 0;
    m_cyArrow = 4;
    m_nTheme = xtThemeDefault;
}

BOOL CXTHeaderThemeVisualStyle::Layout(LPHDLAYOUT lpHDL, CXTHeaderCtrl* pHeaderCtrl)
{
    return LayoutByFont(lpHDL, pHeaderCtrl, 6);
}

BOOL CXTHeaderThemeVisualStyle::DrawVisualStyleItemBackground(LPDRAWITEMSTRUCT lpDIS)
{
    return CXTHeaderTheme::DrawVisualStyleItemBackground(lpDIS);
}

void CXTHeaderThemeVisualStyle::DrawSortArrow(CDC* pDC, LPPOINT pts, BOOL)
{
    CXTPenSelector pen(pDC->m_hDC, RGB(172, 168, 153));
    CXTBrushSelector brush(pDC->m_hDC, RGB(172, 168, 153));
    const int oldMode = pDC->SetPolyFillMode(WINDING);
    pDC->Polygon(pts, 3);
    pDC->SetPolyFillMode(oldMode);
}
