#include "platform/gdi/Region.h"

#include "platform/gdi/GdiTypes.h"

#include <algorithm>

namespace tavrin {

RECT IntersectRects(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (IsRectEmpty(r))
        r = RECT{0, 0, 0, 0};
    return r;
}

Region::Region(const RECT& r)
{
    if (!IsRectEmpty(r)) {
        m_rects.push_back(r);
        m_bounds = r;
    }
}

int Region::Kind() const
{
    if (m_rects.empty())
        return NULLREGION;
    return m_rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

namespace {

struct Span {
    LONG left, right;
    bool operator==(const Span&) const = default;
};

// The x-spans of a banded region covering the whole band [y0, y1).
void SpansAt(const std::vector<RECT>& rects, LONG y0, std::vector<Span>& out)
{
    out.clear();
    for (const RECT& r : rects) {
        if (r.top > y0)
            break;
        if (r.bottom > y0)
            out.push_back({r.left, r.right});
    }
}

bool Inside(Region::Op op, bool a, bool b)
{
    switch (op) {
    case Region::Op::And: return a && b;
    case Region::Op::Or: return a || b;
    case Region::Op::Xor: return a != b;
    case Region::Op::Diff: return a && !b;
    }
    return false;
}

void CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Region::Op op, std::vector<Span>& out)
{
    out.clear();
    std::vector<LONG> xs;
    xs.reserve((a.size() + b.size()) * 2);
    for (const Span& s : a) { xs.push_back(s.left); xs.push_back(s.right); }
    for (const Span& s : b) { xs.push_back(s.left); xs.push_back(s.right); }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        LONG x = xs[i];
        while (ia < a.size() && a[ia].right <= x) ++ia;
        while (ib < b.size() && b[ib].right <= x) ++ib;
        bool inA = ia < a.size() && a[ia].left <= x;
        bool inB = ib < b.size() && b[ib].left <= x;
        if (!Inside(op, inA, inB))
            continue;
        if (!out.empty() && out.back().right == x)
            out.back().right = xs[i + 1];
        else
            out.push_back({x, xs[i + 1]});
    }
}

} // namespace

Region Region::Combine(const Region& a, const Region& b, Op op)
{
    Region result;
    if (op == Op::And && (a.IsEmpty() || b.IsEmpty()))
        return result;
    if (op == Op::Diff && (a.IsEmpty() || b.IsEmpty()))
        return a;
    if ((op == Op::Or || op == Op::Xor) && (a.IsEmpty() || b.IsEmpty()))
        return a.IsEmpty() ? b : a;
    std::vector<LONG> ys;
    for (const RECT& r : a.m_rects) { ys.push_back(r.top); ys.push_back(r.bottom); }
    for (const RECT& r : b.m_rects) { ys.push_back(r.top); ys.push_back(r.bottom); }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    std::vector<Span> sa, sb, band, previous;
    size_t previousStart = 0;
    LONG previousBottom = 0;
    bool havePrevious = false;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        LONG y0 = ys[i], y1 = ys[i + 1];
        SpansAt(a.m_rects, y0, sa);
        SpansAt(b.m_rects, y0, sb);
        CombineSpans(sa, sb, op, band);
        if (band.empty()) {
            havePrevious = false;
            continue;
        }
        if (havePrevious && previousBottom == y0 && band == previous) {
            for (size_t k = previousStart; k < result.m_rects.size(); ++k)
                result.m_rects[k].bottom = y1;
        } else {
            previousStart = result.m_rects.size();
            for (const Span& s : band)
                result.m_rects.push_back(RECT{s.left, y0, s.right, y1});
            previous = band;
            havePrevious = true;
        }
        previousBottom = y1;
    }
    result.UpdateBounds();
    return result;
}

void Region::UpdateBounds()
{
    if (m_rects.empty()) {
        m_bounds = RECT{0, 0, 0, 0};
        return;
    }
    m_bounds = m_rects.front();
    for (const RECT& r : m_rects) {
        m_bounds.left = std::min(m_bounds.left, r.left);
        m_bounds.right = std::max(m_bounds.right, r.right);
        m_bounds.bottom = std::max(m_bounds.bottom, r.bottom);
    }
}

void Region::Offset(int dx, int dy)
{
    for (RECT& r : m_rects) {
        r.left += dx; r.right += dx; r.top += dy; r.bottom += dy;
    }
    UpdateBounds();
}

bool Region::Contains(int x, int y) const
{
    for (const RECT& r : m_rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}

bool Region::Intersects(const RECT& q) const
{
    for (const RECT& r : m_rects)
        if (!IsRectEmpty(IntersectRects(r, q)))
            return true;
    return false;
}

bool Region::operator==(const Region& other) const
{
    if (m_rects.size() != other.m_rects.size())
        return false;
    for (size_t i = 0; i < m_rects.size(); ++i) {
        const RECT &p = m_rects[i], &q = other.m_rects[i];
        if (p.left != q.left || p.top != q.top || p.right != q.right || p.bottom != q.bottom)
            return false;
    }
    return true;
}

} // namespace tavrin
