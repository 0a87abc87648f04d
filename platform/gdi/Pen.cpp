#include "platform/gdi/Pen.h"

#include "platform/gdi/Gdi.h"

#include <cstring>

namespace tavrin {

int Pen::Describe(int size, void* out) const
{
    if (Type() == OBJ_EXTPEN) {
        int need = int(sizeof(EXTLOGPEN));
        if (!out)
            return need;
        if (size < need)
            return 0;
        EXTLOGPEN p{};
        p.elpPenStyle = m_style;
        p.elpWidth = DWORD(m_width);
        p.elpBrushStyle = BS_SOLID;
        p.elpColor = m_color;
        std::memcpy(out, &p, sizeof p);
        return need;
    }
    int need = int(sizeof(LOGPEN));
    if (!out)
        return need;
    if (size < need)
        return 0;
    LOGPEN p{m_style, POINT{m_width, 0}, m_color};
    std::memcpy(out, &p, sizeof p);
    return need;
}

std::vector<int> Pen::DashPattern() const
{
    if (m_width > 1 && (m_style & PS_TYPE_MASK) != PS_GEOMETRIC)
        return {}; // wide cosmetic pens are solid
    switch (Kind()) {
    case PS_DASH: return {18, 6};
    case PS_DOT: return {3, 3};
    case PS_DASHDOT: return {9, 6, 3, 6};
    case PS_DASHDOTDOT: return {9, 3, 3, 3, 3, 3};
    case PS_ALTERNATE: return {1, 1};
    case PS_USERSTYLE: {
        std::vector<int> runs;
        for (DWORD d : m_userStyle)
            runs.push_back(int(d > 0 ? d : 1));
        if (runs.size() % 2)
            runs.push_back(runs.back());
        return runs;
    }
    default: return {};
    }
}

} // namespace tavrin

using tavrin::Pen;

HPEN CreatePen(int style, int width, COLORREF color)
{
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        return nullptr;
    return tavrin::Register<HPEN>(std::make_shared<Pen>(UINT(style), width, color));
}

HPEN CreatePenIndirect(const LOGPEN* pen)
{
    return pen ? CreatePen(int(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor) : nullptr;
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles)
{
    if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL))
        return nullptr;
    if ((style & PS_STYLE_MASK) == PS_USERSTYLE && (!styles || styleCount == 0 || styleCount > 16))
        return nullptr;
    if ((style & PS_TYPE_MASK) == PS_COSMETIC && width != 1)
        return nullptr;
    auto pen = std::make_shared<Pen>(brush->lbStyle == BS_NULL ? UINT(PS_NULL) : UINT(style), int(width), brush->lbColor);
    std::vector<DWORD> user;
    if ((style & PS_STYLE_MASK) == PS_USERSTYLE)
        user.assign(styles, styles + styleCount);
    pen->SetExtended(std::move(user));
    return tavrin::Register<HPEN>(pen);
}
