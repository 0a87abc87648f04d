#include "toolkit/controls/XTTabCtrlTheme.h"

#include "platform/controls/CommCtrl.h"
#include "platform/mfc/TabCtrl.h"
#include "toolkit/controls/XTColorManager.h"
#include "toolkit/controls/XTDrawHelpers.h"
#include "toolkit/controls/XTGlobalData.h"
#include "toolkit/controls/XTTabBase.h"
#include "toolkit/controls/XTTabNavigationWnd.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CXTTabCtrlThemeFactory, CXTThemeManagerStyleFactory)

namespace {

COLORREF Color(int nIndex)
{
    return XTGetColorManager()->GetColor(nIndex);
}

constexpr UINT kTabTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

// The native scroll arrows: child 1 of the control, an up-down window.
CWnd* FindNativeArrows(CTabCtrl* pTab)
{
    for (HWND child = ::GetWindow(pTab->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        ::GetClassNameA(child, name, sizeof(name));
        if (::GetDlgCtrlID(child) == 1 && std::strcmp(name, UPDOWN_CLASSA) == 0)
            return CWnd::FromHandle(child);
    }
    return nullptr;
}

} // namespace

CXTThemeManagerStyle* CXTTabCtrlThemeFactory::CreateTheme(int nTheme)
{
    CXTThemeManagerStyle* style = nullptr;
    if (nTheme == xtThemeOfficeXP || nTheme == xtThemeOffice2003)
        style = new CXTTabCtrlThemeOfficeXP;
    else
        style = new CXTTabCtrlTheme;
    style->m_nTheme = nTheme;
    return style;
}

void CXTTabCtrlTheme::RefreshMetrics()
{
    XTGetColorManager()->RefreshColors(FALSE);
}

void CXTTabCtrlTheme::DrawTabCtrl(CDC* pDC, CXTTabBase* pTab)
{
    UpdateNavigation(pTab);
    pTab->GetTabCtrl()->DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(pDC->m_hDC), 0);
}

void CXTTabCtrlTheme::UpdateNavigation(CXTTabBase* pTab)
{
    CXTTabNavigationWnd* nav = pTab->GetNavigationWnd();
    CTabCtrl* tab = pTab->GetTabCtrl();
    if (!nav || !tab || !tab->m_hWnd)
        return;
    const DWORD style = tab->GetStyle();
    if (m_nTheme != 0 && !(style & (TCS_VERTICAL | TCS_MULTILINE)) && !pTab->GetAutoCondense()) {
        nav->AttachUpDown(FindNativeArrows(tab));
        nav->Show(TRUE);
    } else {
        nav->Show(FALSE);
    }
}

void CXTTabCtrlTheme::DrawNavigationButton(CDC*, XT_NAVBTNSTATE*, COLORREF) {}

CXTTabCtrlThemeOfficeXP::CXTTabCtrlThemeOfficeXP()
{
    m_nTheme = xtThemeOfficeXP;
    RefreshMetrics();
}

void CXTTabCtrlThemeOfficeXP::RefreshMetrics()
{
    CXTTabCtrlTheme::RefreshMetrics();
    m_penText.DeleteObject();
    m_penHilight.DeleteObject();
    m_penFace.DeleteObject();
    m_penShadow.DeleteObject();
    m_penText.CreatePen(PS_SOLID, 1, Color(COLOR_BTNTEXT));
    m_penHilight.CreatePen(PS_SOLID, 1, Color(COLOR_BTNHIGHLIGHT));
    m_penFace.CreatePen(PS_SOLID, 1, Color(COLOR_BTNFACE));
    m_penShadow.CreatePen(PS_SOLID, 1, Color(COLOR_BTNSHADOW));
    m_cxEdge = ::GetSystemMetrics(SM_CXEDGE);
}

void CXTTabCtrlThemeOfficeXP::DrawTabCtrl(CDC* pDC, CXTTabBase* pTab)
{
    CTabCtrl* tab = pTab->GetTabCtrl();
    CRect rcClient;
    tab->GetClientRect(&rcClient);
    if (tab->GetItemCount() == 0) {
        UpdateNavigation(pTab);
        return;
    }
    const int saved = pDC->SaveDC();
    CRect rcSelItem(0, 0, 0, 0);
    if (tab->GetCurSel() >= 0)
        tab->GetItemRect(tab->GetCurSel(), &rcSelItem);
    const DWORD style = tab->GetStyle();
    if ((style & TCS_VERTICAL) && (style & TCS_RIGHT))
        DrawRightTabs(pDC, pTab, rcClient, rcSelItem);
    else if (style & TCS_VERTICAL)
        DrawLeftTabs(pDC, pTab, rcClient, rcSelItem);
    else if (style & TCS_BOTTOM)
        DrawBottomTabs(pDC, pTab, rcClient, rcSelItem);
    else
        DrawTopTabs(pDC, pTab, rcClient, rcSelItem);
    UpdateNavigation(pTab);
    if (pTab->m_bXPBorder) {
        CRect page;
        pTab->GetChildRect(page);
        page.InflateRect(1, 1);
        pDC->Draw3dRect(&page, Color(COLOR_BTNSHADOW), Color(COLOR_BTNSHADOW));
    }
    pDC->RestoreDC(saved);
}

void CXTTabCtrlThemeOfficeXP::DrawTabLabels(CDC* pDC, CXTTabBase* pTab, BOOL bVertical)
{
    CTabCtrl* tab = pTab->GetTabCtrl();
    CXTGlobalData* data = XTGetGlobalData();
    CImageList* images = tab->GetImageList();
    const int sel = tab->GetCurSel();
    pDC->SetBkMode(TRANSPARENT);
    for (int i = 0; i < tab->GetItemCount(); ++i) {
        CRect rcItem;
        tab->GetItemRect(i, &rcItem);
        char text[256] = {};
        TCITEM item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        if (!tab->GetItem(i, &item))
            continue;
        CRect rcText = rcItem;
        int cxImage = 0, cyImage = 0;
        const BOOL image = images && item.iImage >= 0 && ::ImageList_GetIconSize(images->m_hImageList, &cxImage, &cyImage);
        const BOOL selected = i == sel;
        pDC->SetTextColor(Color(selected ? COLOR_BTNTEXT : 49));
        CFont* font = nullptr;
        if (bVertical)
            font = selected && pTab->m_bBoldFont ? &data->fontVertBold : &data->fontVert;
        else
            font = selected && pTab->m_bBoldFont ? &data->fontBold : &data->font;
        CXTFontSelector select(pDC, font);
        if (!bVertical) {
            if (image) {
                images->Draw(pDC, item.iImage, CPoint(rcItem.left + 2 + m_cxEdge, rcItem.top + m_cxEdge), ILD_TRANSPARENT);
                rcText.left += m_cxEdge + cxImage;
            }
            pDC->DrawText(text, -1, &rcText, kTabTextFormat);
            continue;
        }
        if (image) {
            images->Draw(pDC, item.iImage, CPoint(rcItem.left + m_cxEdge, rcItem.top + m_cxEdge), ILD_TRANSPARENT);
            rcText.top += m_cxEdge + cxImage;
        }
        const CSize size = pDC->GetTextExtent(text, static_cast<int>(std::strlen(text)));
        const int x = rcText.right - (rcText.Width() - size.cy + 1) / 2;
        const int y = rcText.top + (rcText.Height() - size.cx + 1) / 2;
        CRect rcDraw(x, y, x + size.cy, y + size.cx);
        pDC->DrawText(text, -1, &rcDraw, DT_SINGLELINE | DT_NOCLIP);
    }
}

void CXTTabCtrlThemeOfficeXP::DrawSeparators(CDC* pDC, CXTTabBase* pTab, BOOL bVertical, int nFrom, int nTo)
{
    CTabCtrl* tab = pTab->GetTabCtrl();
    const int sel = tab->GetCurSel();
    CPen* old = pDC->SelectObject(&m_penShadow);
    for (int i = 0; i < tab->GetItemCount(); ++i) {
        if (i == sel || i == sel - 1)
            continue;
        CRect rc;
        tab->GetItemRect(i, &rc);
        if (bVertical) {
            pDC->MoveTo(rc.left + 2, rc.bottom);
            pDC->LineTo(rc.right - 2, rc.bottom);
        } else {
            pDC->MoveTo(rc.right, rc.top + nFrom);
            pDC->LineTo(rc.right, rc.bottom - nTo);
        }
    }
    pDC->SelectObject(old);
}

void CXTTabCtrlThemeOfficeXP::DrawTopTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem)
{
    const int yTabs = (rcSelItem.Height() + rcClient.top) * pTab->GetTabCtrl()->GetRowCount();
    CRect band = rcClient;
    band.bottom = yTabs;
    pDC->FillSolidRect(&band, Color(48));
    CPen* old = pDC->SelectObject(&m_penHilight);
    pDC->MoveTo(band.left, yTabs);
    pDC->LineTo(band.right, yTabs);
    if (!rcSelItem.IsRectEmpty()) {
        pDC->FillSolidRect(&rcSelItem, Color(COLOR_BTNFACE));
        pDC->MoveTo(rcSelItem.left, yTabs + 1);
        pDC->LineTo(rcSelItem.left, rcSelItem.top);
        pDC->LineTo(rcSelItem.right, rcSelItem.top);
        pDC->SelectObject(&m_penText);
        pDC->MoveTo(rcSelItem.right, yTabs - 1);
        pDC->LineTo(rcSelItem.right, rcSelItem.top - 1);
        pDC->SelectObject(&m_penFace);
        pDC->MoveTo(rcSelItem.left + 1, yTabs);
        pDC->LineTo(rcSelItem.right, yTabs);
    }
    pDC->SelectObject(old);
    DrawTabLabels(pDC, pTab, FALSE);
    DrawSeparators(pDC, pTab, FALSE, 3, 3);
}

void CXTTabCtrlThemeOfficeXP::DrawBottomTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem)
{
    CRect band = rcClient;
    band.top = rcSelItem.top;
    pDC->FillSolidRect(&band, Color(48));
    CPen* old = pDC->SelectObject(&m_penText);
    pDC->MoveTo(band.left, band.top);
    pDC->LineTo(band.right, band.top);
    if (!rcSelItem.IsRectEmpty()) {
        rcSelItem.top -= 1;
        pDC->FillSolidRect(&rcSelItem, Color(COLOR_BTNFACE));
        pDC->MoveTo(rcSelItem.right, rcSelItem.top);
        pDC->LineTo(rcSelItem.right, rcSelItem.bottom - 1);
        pDC->LineTo(rcSelItem.left, rcSelItem.bottom - 1);
        pDC->SelectObject(&m_penHilight);
        pDC->MoveTo(rcSelItem.left, rcSelItem.top);
        pDC->LineTo(rcSelItem.left, rcSelItem.bottom - 1);
        pDC->SelectObject(&m_penFace);
        pDC->MoveTo(rcSelItem.left + 1, rcSelItem.bottom - 2);
        pDC->LineTo(rcSelItem.right, rcSelItem.bottom - 2);
    }
    pDC->SelectObject(old);
    DrawTabLabels(pDC, pTab, FALSE);
    DrawSeparators(pDC, pTab, FALSE, 4, 2);
}

void CXTTabCtrlThemeOfficeXP::DrawLeftTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem)
{
    CRect band = rcClient;
    band.right = rcSelItem.right;
    pDC->FillSolidRect(&band, Color(48));
    CPen* old = pDC->SelectObject(&m_penHilight);
    pDC->MoveTo(band.right, band.top);
    pDC->LineTo(band.right, band.bottom);
    if (!rcSelItem.IsRectEmpty()) {
        pDC->FillSolidRect(&rcSelItem, Color(COLOR_BTNFACE));
        pDC->MoveTo(rcSelItem.left, rcSelItem.bottom);
        pDC->LineTo(rcSelItem.left, rcSelItem.top);
        pDC->LineTo(rcSelItem.right, rcSelItem.top);
        pDC->SelectObject(&m_penText);
        pDC->MoveTo(rcSelItem.left, rcSelItem.bottom);
        pDC->LineTo(rcSelItem.right, rcSelItem.bottom);
        pDC->SelectObject(&m_penFace);
        pDC->MoveTo(rcSelItem.right, rcSelItem.top + 1);
        pDC->LineTo(rcSelItem.right, rcSelItem.bottom);
    }
    pDC->SelectObject(old);
    DrawTabLabels(pDC, pTab, TRUE);
    DrawSeparators(pDC, pTab, TRUE, 0, 0);
}

void CXTTabCtrlThemeOfficeXP::DrawRightTabs(CDC* pDC, CXTTabBase* pTab, CRect rcClient, CRect rcSelItem)
{
    CRect band = rcClient;
    band.left = rcSelItem.left;
    pDC->FillSolidRect(&band, Color(48));
    CPen* old = pDC->SelectObject(&m_penText);
    pDC->MoveTo(band.left, band.top);
    pDC->LineTo(band.left, band.bottom);
    if (!rcSelItem.IsRectEmpty()) {
        pDC->FillSolidRect(&rcSelItem, Color(COLOR_BTNFACE));
        pDC->MoveTo(rcSelItem.right, rcSelItem.top);
        pDC->LineTo(rcSelItem.right, rcSelItem.bottom);
        pDC->LineTo(rcSelItem.left, rcSelItem.bottom);
        pDC->SelectObject(&m_penHilight);
        pDC->MoveTo(rcSelItem.left, rcSelItem.top);
        pDC->LineTo(rcSelItem.right, rcSelItem.top);
        pDC->SelectObject(&m_penFace);
        pDC->MoveTo(rcSelItem.left, rcSelItem.top + 1);
        pDC->LineTo(rcSelItem.left, rcSelItem.bottom);
    }
    pDC->SelectObject(old);
    DrawTabLabels(pDC, pTab, TRUE);
    DrawSeparators(pDC, pTab, TRUE, 0, 0);
}

void CXTTabCtrlThemeOfficeXP::DrawNavigationButton(CDC* pDC, XT_NAVBTNSTATE* pButton, COLORREF clrGlyph)
{
    CRect rc = pButton->rc;
    const BOOL disabled = (pButton->dwFlags & XT_NAVBTN_DISABLED) != 0;
    if (!disabled) {
        if (pButton->dwFlags & XT_NAVBTN_PRESSED) {
            pDC->Draw3dRect(&rc, RGB(0, 0, 0), ::GetSysColor(COLOR_3DLIGHT));
            rc.OffsetRect(1, 1);
        } else if (pButton->dwFlags & XT_NAVBTN_HOT) {
            pDC->Draw3dRect(&rc, ::GetSysColor(COLOR_3DLIGHT), RGB(0, 0, 0));
        }
    }
    CXTPenSelector pen(pDC->m_hDC, clrGlyph);
    CBrush brush;
    HGDIOBJ oldBrush = nullptr;
    if (disabled) {
        oldBrush = pDC->SelectObject(::GetStockObject(NULL_BRUSH));
    } else {
        brush.CreateSolidBrush(clrGlyph);
        oldBrush = pDC->SelectObject(brush.m_hObject);
    }
    if (pButton->dwFlags & XT_NAVBTN_CLOSE) {
        pDC->MoveTo(rc.left + 3, rc.top + 3);
        pDC->LineTo(rc.right - 4, rc.bottom - 5);
        pDC->MoveTo(rc.left + 4, rc.top + 3);
        pDC->LineTo(rc.right - 3, rc.bottom - 5);
        pDC->MoveTo(rc.left + 3, rc.bottom - 6);
        pDC->LineTo(rc.right - 4, rc.top + 2);
        pDC->MoveTo(rc.left + 4, rc.bottom - 6);
        pDC->LineTo(rc.right - 3, rc.top + 2);
    } else if (pButton->dwFlags & XT_NAVBTN_LEFT) {
        const POINT pts[3] = {{rc.right - 5, rc.top + 2}, {rc.right - 9, rc.top + 6}, {rc.right - 5, rc.top + 10}};
        pDC->Polygon(pts, 3);
    } else if (pButton->dwFlags & XT_NAVBTN_RIGHT) {
        const POINT pts[3] = {{rc.left + 4, rc.top + 2}, {rc.left + 8, rc.top + 6}, {rc.left + 4, rc.top + 10}};
        pDC->Polygon(pts, 3);
    }
    pDC->SelectObject(oldBrush);
}
