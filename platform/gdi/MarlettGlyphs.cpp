#include "platform/gdi/MarlettGlyphs.h"

#include <algorithm>
#include <cstdlib>

namespace tavrin {

namespace {

class Canvas {
public:
    Canvas(Glyph& g, int em) : m_g(g), m_em(em)
    {
        g.width = g.height = g.advance = em;
        g.left = 0;
        g.top = em; // the cell sits on the baseline
        g.coverage.assign(size_t(em) * size_t(em), 0);
    }
    void Set(int x, int y)
    {
        if (x >= 0 && y >= 0 && x < m_em && y < m_em)
            m_g.coverage[size_t(y * m_em + x)] = 255;
    }
    void Box(int l, int t, int r, int b)
    {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                Set(x, y);
    }
    void Frame(int l, int t, int r, int b, int top)
    {
        Box(l, t, r, t + top);
        Box(l, b - 1, r, b);
        Box(l, t, l + 1, b);
        Box(r - 1, t, r, b);
    }
    // A triangle pointing in direction (dx, dy) with its tip at (cx, cy) and
    // the given number of rows behind the tip.
    void Arrow(int cx, int cy, int dx, int dy, int rows)
    {
        for (int i = 0; i < rows; ++i)
            for (int j = -i; j <= i; ++j) {
                if (dx)
                    Set(cx - dx * i, cy + j);
                else
                    Set(cx + j, cy - dy * i);
            }
    }
    void Line(int x0, int y0, int x1, int y1, int thick)
    {
        int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= n; ++i) {
            int x = n ? x0 + (x1 - x0) * i / n : x0, y = n ? y0 + (y1 - y0) * i / n : y0;
            for (int k = 0; k < thick; ++k)
                Set(x + k, y);
        }
    }
    int Em() const { return m_em; }

private:
    Glyph& m_g;
    int m_em;
};

} // namespace

void RenderSymbolGlyph(char32_t code, int em, Glyph& g)
{
    if (em < 4)
        em = 4;
    Canvas c(g, em);
    int u = std::max(1, em / 8);        // stroke unit
    int mid = em / 2;
    int arrowRows = std::max(2, em / 4);
    switch (code) {
    case U'0': // minimise
        c.Box(2 * u, em - 3 * u, em - 3 * u, em - u);
        break;
    case U'1': // maximise
        c.Frame(u, u, em - u, em - u, 2 * u);
        break;
    case U'2': // restore
        c.Frame(3 * u, u, em - u, em - 3 * u, u + 1);
        c.Box(u, 3 * u, em - 3 * u, em - u);
        c.Frame(u, 3 * u, em - 3 * u, em - u, u + 1);
        for (int y = 3 * u + u + 1; y < em - 2 * u; ++y)
            for (int x = u + 1; x < em - 4 * u; ++x)
                g.coverage[size_t(y * em + x)] = 0;
        break;
    case U'r': { // close
        int a = 2 * u, b = em - 2 * u - 1;
        int thick = std::max(2, u + 1);
        c.Line(a, a, b - thick + 1, b, thick);
        c.Line(b - thick + 1, a, a, b, thick);
        break;
    }
    case U'3': // left
        c.Arrow(mid - arrowRows / 2, mid, -1, 0, arrowRows);
        break;
    case U'4': // right
        c.Arrow(mid + arrowRows / 2, mid, 1, 0, arrowRows);
        break;
    case U'5': // up
    case U't':
        c.Arrow(mid, mid - arrowRows / 2, 0, -1, arrowRows);
        break;
    case U'6': // down
    case U'u':
        c.Arrow(mid, mid + arrowRows / 2, 0, 1, arrowRows);
        break;
    case U'8': // small right arrow (submenus)
        c.Arrow(mid + arrowRows / 4, mid, 1, 0, std::max(2, arrowRows / 2 + 1));
        break;
    case U'a': { // check mark
        int thick = std::max(2, u + 1);
        int x0 = 2 * u, y0 = mid;
        int x1 = mid - u, y1 = em - 3 * u;
        int x2 = em - 2 * u, y2 = 2 * u;
        c.Line(x0, y0, x1, y1 - thick + 1, 1);
        for (int k = 0; k < thick; ++k) {
            c.Line(x0, y0 + k, x1, y1 + k - thick + 1, 1);
            c.Line(x1, y1 + k - thick + 1, x2, y2 + k, 1);
        }
        break;
    }
    case U'h': // bullet
    case U'i':
    case U'n': {
        int r = std::max(1, em / 6);
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x)
                if (x * x + y * y <= r * r + r)
                    c.Set(mid + x, mid + y);
        break;
    }
    case U'o': // size grip dots
    case U'p':
        for (int k = 0; k < 3; ++k)
            c.Line(em - 1 - 3 * k * u, em - 1, em - 1, em - 1 - 3 * k * u, 1);
        break;
    case U's': // help "?" is not drawn by the program; leave blank
    default:
        break;
    }
}

} // namespace tavrin
