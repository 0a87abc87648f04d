// DrawFrameControl: classic buttons, caption buttons, scroll arrows and menu
// marks, built from edges and the symbol glyphs.
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiSystemColors.h"
#include "platform/gdi/MarlettGlyphs.h"
#include "platform/gdi/Painter.h"
#include "platform/gdi/Raster.h"

using namespace tavrin;
namespace sc = tavrin::syscolor;

namespace {

void SymbolGlyph(HDC hdc, const RECT& r, char32_t code, COLORREF color, int dx = 0)
{
    auto dc = DcFromHandle(hdc);
    int em = std::min(r.right - r.left, r.bottom - r.top) - 4;
    if (!dc || em < 4)
        return;
    tavrin::Glyph g;
    RenderSymbolGlyph(code, em, g);
    Painter painter(*dc);
    uint32_t pixel = painter.ColorPixel(color);
    int x0 = r.left + (r.right - r.left - g.width) / 2 + dx, y0 = r.top + (r.bottom - r.top - g.height) / 2 + dx;
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x)
            if (g.coverage[size_t(y * g.width + x)] >= 128) {
                POINT p = dc->ToSurface(x0 + x, y0 + y);
                painter.Plot(p.x, p.y, pixel, R2_COPYPEN);
            }
}

void Fill(HDC hdc, const RECT& r, COLORREF color)
{
    HBRUSH b = CreateSolidBrush(color);
    FillRect(hdc, &r, b);
    DeleteObject(b);
}

void Button(HDC hdc, RECT r, UINT state, char32_t glyph)
{
    bool pushed = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
    if (state & DFCS_FLAT) {
        DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST | BF_MIDDLE);
    } else {
        DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST | BF_MIDDLE | (pushed ? BF_SOFT : 0));
    }
    if (!glyph)
        return;
    int shift = pushed ? 1 : 0;
    if (state & DFCS_INACTIVE) {
        SymbolGlyph(hdc, r, glyph, GdiSysColor(sc::kHilight), shift + 1);
        SymbolGlyph(hdc, r, glyph, GdiSysColor(sc::kShadow), shift);
    } else {
        SymbolGlyph(hdc, r, glyph, GdiSysColor(sc::kButtonText), shift);
    }
}

} // namespace

BOOL DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state)
{
    if (!DcFromHandle(hdc) || !rect)
        return FALSE;
    RECT r = *rect;
    UINT kind = state & 0xFF;
    switch (type) {
    case DFC_BUTTON:
        if (kind & DFCS_BUTTONPUSH) {
            Button(hdc, r, state, 0);
        } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE)) {
            int side = std::min(r.right - r.left, r.bottom - r.top);
            RECT box{r.left, r.top, r.left + side, r.top + side};
            HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(BLACK_PEN));
            HBRUSH face = CreateSolidBrush(GdiSysColor((state & DFCS_INACTIVE) ? sc::kFace : sc::kWindow));
            HGDIOBJ oldBrush = SelectObject(hdc, face);
            Ellipse(hdc, box.left, box.top, box.right, box.bottom);
            SelectObject(hdc, oldBrush);
            DeleteObject(face);
            SelectObject(hdc, oldPen);
            if (state & DFCS_CHECKED)
                SymbolGlyph(hdc, box, U'h', GdiSysColor(sc::kWindowText));
        } else {
            DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0));
            Fill(hdc, r, GdiSysColor((state & (DFCS_INACTIVE | DFCS_PUSHED)) ? sc::kFace : sc::kWindow));
            if (state & DFCS_CHECKED)
                SymbolGlyph(hdc, r, U'a', GdiSysColor((state & DFCS_INACTIVE) ? sc::kShadow : sc::kWindowText));
        }
        break;
    case DFC_CAPTION: {
        static const char32_t glyphs[] = {U'r', U'0', U'1', U'2', U's'};
        Button(hdc, r, state, kind < 5 ? glyphs[kind] : 0);
        break;
    }
    case DFC_SCROLL: {
        char32_t glyph = kind == DFCS_SCROLLUP ? U'5' : kind == DFCS_SCROLLDOWN || kind == DFCS_SCROLLCOMBOBOX ? U'6'
                       : kind == DFCS_SCROLLLEFT ? U'3' : kind == DFCS_SCROLLRIGHT ? U'4' : U'o';
        if (kind & (DFCS_SCROLLSIZEGRIP | DFCS_SCROLLSIZEGRIPRIGHT)) {
            Fill(hdc, r, GdiSysColor(sc::kFace));
            SymbolGlyph(hdc, r, U'o', GdiSysColor(sc::kShadow));
        } else {
            Button(hdc, r, state, glyph);
        }
        break;
    }
    case DFC_MENU:
    case DFC_POPUPMENU: {
        char32_t glyph = kind == DFCS_MENUCHECK ? U'a' : kind == DFCS_MENUBULLET ? U'h' : U'8';
        Fill(hdc, r, RGB(255, 255, 255));
        SymbolGlyph(hdc, r, glyph, RGB(0, 0, 0));
        break;
    }
    default:
        return FALSE;
    }
    if (state & DFCS_ADJUSTRECT)
        *rect = RECT{rect->left + 2, rect->top + 2, rect->right - 2, rect->bottom - 2};
    return TRUE;
}
