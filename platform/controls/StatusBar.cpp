// "msctls_statusbar32". Parts are given by their right edges (-1: the
// client's right edge); every part spans the bar's height inside the
// vertical border. The bar places itself at its parent's bottom (or top)
// on WM_SIZE unless told not to.
#include "platform/controls/StatusBar.h"

#include "platform/controls/Control.h"
#include "platform/win/Presenter.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tavrin::controls {

namespace {

constexpr int kHorizontalBorder = 0;
constexpr int kVerticalBorder = 2;
constexpr int kSpacing = 2;
constexpr int kMaxParts = 256;

struct Part {
    int right = -1;
    std::string text;
    WORD type = 0;
};

class StatusBar : public Control {
public:
    explicit StatusBar(HWND hwnd) : Control(hwnd), m_parts(1) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Part* PartAt(WPARAM index);
    int Height() const;
    void Place();
    RECT PartRect(int index) const;
    RECT GripRect() const;
    bool ShowsGrip() const;
    void Paint(HDC hdc) override;
    LRESULT GetText(WPARAM index, LPSTR buffer);

    std::vector<Part> m_parts;
    Part m_simple;
    bool m_isSimple = false;
    int m_minHeight = 0;
    COLORREF m_back = CLR_DEFAULT;
};

Part* StatusBar::PartAt(WPARAM index)
{
    if (index == SB_SIMPLEID)
        return &m_simple;
    return index < m_parts.size() ? &m_parts[index] : nullptr;
}

// The text's line with a little room, or the minimum height, inside the borders.
int StatusBar::Height() const
{
    return std::max(LineHeight(Font()) + 2, m_minHeight) + 2 * kVerticalBorder;
}

void StatusBar::Place()
{
    const DWORD style = Style();
    HWND parent = GetParent(m_hwnd);
    if ((style & CCS_NORESIZE) || !parent)
        return;
    RECT client;
    GetClientRect(parent, &client);
    RECT own;
    GetWindowRect(m_hwnd, &own);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    const int height = Height();
    int x = client.left;
    int width = client.right - client.left;
    int y = (style & CCS_BOTTOM) == CCS_TOP ? client.top : client.bottom - height;
    if (style & CCS_NOPARENTALIGN) {
        x = own.left;
        width = own.right - own.left;
        y = own.top;
    }
    if ((style & CCS_BOTTOM) == CCS_NOMOVEY)
        y = own.top;
    SetWindowPos(m_hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT StatusBar::PartRect(int index) const
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    RECT rc{kHorizontalBorder, kVerticalBorder, client.right, client.bottom};
    if (m_isSimple)
        return rc;
    if (index > 0) {
        const int previous = m_parts[static_cast<size_t>(index - 1)].right;
        rc.left = (previous < 0 ? client.right : previous) + kSpacing;
    }
    const int right = m_parts[static_cast<size_t>(index)].right;
    rc.right = right < 0 ? client.right : right;
    if (rc.right < rc.left)
        rc.right = rc.left;
    return rc;
}

bool StatusBar::ShowsGrip() const
{
    if (!(Style() & SBARS_SIZEGRIP))
        return false;
    HWND top = GetAncestor(m_hwnd, GA_ROOT);
    return !top || !IsZoomed(top);
}

RECT StatusBar::GripRect() const
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    const int size = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), client.bottom - client.top);
    return {client.right - size, client.bottom - size, client.right, client.bottom};
}

void StatusBar::Paint(HDC hdc)
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    HBRUSH back = CreateSolidBrush(m_back == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : m_back);
    FillRect(hdc, &client, back);
    DeleteObject(back);
    SelectObject(hdc, Font());
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    const int count = m_isSimple ? 1 : static_cast<int>(m_parts.size());
    for (int i = 0; i < count; ++i) {
        const Part& part = m_isSimple ? m_simple : m_parts[static_cast<size_t>(i)];
        RECT rc = PartRect(i);
        if (!(part.type & SBT_NOBORDERS))
            DrawEdge(hdc, &rc, (part.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (part.type & SBT_OWNERDRAW) {
            DRAWITEMSTRUCT item{};
            item.CtlID = static_cast<UINT>(Id());
            item.itemID = static_cast<UINT>(i);
            item.hwndItem = m_hwnd;
            item.hDC = hdc;
            item.rcItem = rc;
            item.itemData = reinterpret_cast<ULONG_PTR>(part.text.c_str());
            if (HWND target = NotifyTarget())
                SendMessageA(target, WM_DRAWITEM, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(&item));
            continue;
        }
        rc.left += 3;
        rc.right -= 1;
        // Tabs split the text into left, centred and right-aligned pieces.
        static const UINT kAlign[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
        size_t start = 0;
        for (int piece = 0; piece < 3 && start <= part.text.size(); ++piece) {
            size_t tab = (part.type & SBT_NOTABPARSING) ? std::string::npos : part.text.find('\t', start);
            if (piece == 2)
                tab = std::string::npos;
            const std::string text = part.text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
            RECT textRect = rc;
            DrawControlText(hdc, text, &textRect,
                            kAlign[piece] | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, true);
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
    }
    if (ShowsGrip()) {
        RECT grip = GripRect();
        DrawFrameControl(hdc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
}

// Length in the low word and the text's type in the high word.
LRESULT StatusBar::GetText(WPARAM index, LPSTR buffer)
{
    const Part* part = PartAt(index);
    if (!part)
        return 0;
    if (buffer) {
        std::memcpy(buffer, part->text.c_str(), part->text.size() + 1);
    }
    return MAKELONG(static_cast<WORD>(part->text.size()), part->type);
}

LRESULT StatusBar::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        if (auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam); cs && cs->lpszName)
            m_parts[0].text = cs->lpszName;
        Place();
        return 0;
    case WM_SIZE:
        Place();
        Redraw();
        return 0;
    case WM_SETFONT:
        Control::Handle(message, wParam, lParam);
        Place();
        return 0;
    case WM_NCHITTEST:
        // Over the grip the bar lets the press reach it, never its parent.
        return HTCLIENT;
    case WM_SETCURSOR:
        if (ShowsGrip()) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(m_hwnd, &pt);
            RECT grip = GripRect();
            if (PtInRect(&grip, pt)) {
                SetCursor(LoadCursorA(nullptr, IDC_SIZENWSE));
                return TRUE;
            }
        }
        return Control::Handle(message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT grip = GripRect();
        HWND top = GetAncestor(m_hwnd, GA_ROOT);
        if (ShowsGrip() && PtInRect(&grip, pt) && top && (GetWindowLongA(top, GWL_STYLE) & WS_THICKFRAME)) {
            // The desktop resizes the top-level window, as from its corner.
            ClientToScreen(m_hwnd, &pt);
            display::GetPresenter().BeginResize(top, HTBOTTOMRIGHT, pt);
            return 0;
        }
        Notify(message == WM_LBUTTONDOWN ? NM_CLICK : NM_DBLCLK);
        return 0;
    }
    case WM_RBUTTONDOWN:
        Notify(NM_RCLICK);
        return 0;
    case WM_SETTEXT:
        m_parts[0].text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        Redraw();
        return TRUE;
    case WM_GETTEXT:
        return CopyTextOut(m_parts[0].text, wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_parts[0].text.size());
    case SB_SETTEXTA: {
        Part* part = PartAt(LOBYTE(wParam));
        if (!part)
            return FALSE;
        part->type = static_cast<WORD>(wParam & 0xFF00);
        // An owner-drawn part keeps the caller's value as it is.
        if (part->type & SBT_OWNERDRAW)
            part->text.assign(reinterpret_cast<const char*>(&lParam), sizeof(lParam));
        else
            part->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        Redraw();
        return TRUE;
    }
    case SB_GETTEXTA:
        return GetText(LOBYTE(wParam), reinterpret_cast<LPSTR>(lParam));
    case SB_GETTEXTLENGTHA:
        return GetText(LOBYTE(wParam), nullptr);
    case SB_SETPARTS: {
        const auto* rights = reinterpret_cast<const int*>(lParam);
        const int count = static_cast<int>(wParam);
        if (!rights || count <= 0 || count > kMaxParts)
            return FALSE;
        m_parts.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            m_parts[static_cast<size_t>(i)].right = rights[i];
        Redraw();
        return TRUE;
    }
    case SB_GETPARTS: {
        auto* rights = reinterpret_cast<int*>(lParam);
        if (rights) {
            const size_t n = std::min<size_t>(wParam, m_parts.size());
            for (size_t i = 0; i < n; ++i)
                rights[i] = m_parts[i].right;
        }
        return static_cast<LRESULT>(m_parts.size());
    }
    case SB_GETBORDERS: {
        auto* borders = reinterpret_cast<int*>(lParam);
        if (!borders)
            return FALSE;
        borders[0] = kHorizontalBorder;
        borders[1] = kVerticalBorder;
        borders[2] = kSpacing;
        return TRUE;
    }
    case SB_SETMINHEIGHT:
        m_minHeight = static_cast<int>(wParam);
        return TRUE;
    case SB_GETRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        const int count = m_isSimple ? 1 : static_cast<int>(m_parts.size());
        if (!rect || static_cast<int>(wParam) >= count)
            return FALSE;
        *rect = PartRect(static_cast<int>(wParam));
        return TRUE;
    }
    case SB_SIMPLE:
        m_isSimple = wParam != 0;
        Redraw();
        return 0;
    case SB_ISSIMPLE:
        return m_isSimple;
    case SB_SETBKCOLOR: {
        const COLORREF old = m_back;
        m_back = static_cast<COLORREF>(lParam);
        Redraw();
        return static_cast<LRESULT>(old);
    }
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

} // namespace

bool RegisterStatusBar()
{
    return RegisterControl(STATUSCLASSNAMEA, ControlProc<StatusBar>, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

} // namespace tavrin::controls
