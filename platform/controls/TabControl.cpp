#include "platform/controls/TabControl.h"

#include "platform/controls/Control.h"

#include "platform/controls/ListViewScroll.h"
#include "platform/controls/ToolTip.h"
#include "platform/controls/UpDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/ImageList.h"
#include "platform/win/User.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tavrin::controls {
namespace {

constexpr int kPadding = 6;
constexpr int kArrowsWidth = 32;
constexpr int kScrollId = 1;

struct Tab {
    std::string text;
    int image = -1;
    LPARAM lParam = 0;
    DWORD state = 0;
};

struct TabControl {
    explicit TabControl(HWND window) : hwnd(window) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
    std::vector<Tab> tabs;
    std::vector<RECT> rects; // laid out, in client coordinates
    int rows = 1;
    int current = -1;
    int focus = -1;
    int first = 0; // first tab shown in a scrolled single row
    HFONT font = nullptr;
    HIMAGELIST images = nullptr;
    HWND tooltip = nullptr;
    HWND arrows = nullptr;
    SIZE fixed{0, 0};
    POINT padding{kPadding, 3};
    int tools = 0;
    bool pressed = false;
};

bool Vertical(const TabControl& tc)
{
    return (Style(tc) & TCS_VERTICAL) != 0;
}

bool MultiLine(const TabControl& tc)
{
    return (Style(tc) & TCS_MULTILINE) || Vertical(tc);
}

int Count(const TabControl& tc)
{
    return static_cast<int>(tc.tabs.size());
}

bool Valid(const TabControl& tc, int i)
{
    return i >= 0 && i < Count(tc);
}

RECT Client(const TabControl& tc)
{
    RECT rc;
    GetClientRect(tc.hwnd, &rc);
    return rc;
}

int ImageWidth(const TabControl& tc, int* height = nullptr)
{
    int cx = 0, cy = 0;
    if (tc.images && ImageList_GetIconSize(tc.images, &cx, &cy)) {
        if (height)
            *height = cy;
        return cx;
    }
    if (height)
        *height = 0;
    return 0;
}

// Height of a row of tabs (their width when vertical).
int RowThickness(const TabControl& tc)
{
    if (tc.fixed.cy > 0)
        return tc.fixed.cy;
    int imageHeight = 0;
    ImageWidth(tc, &imageHeight);
    return std::max(FontLineHeight(tc.font), imageHeight) + 2 * tc.padding.y;
}

int TabLength(const TabControl& tc, const Tab& tab)
{
    if ((Style(tc) & TCS_FIXEDWIDTH) && tc.fixed.cx > 0)
        return tc.fixed.cx;
    int length = TextWidth(tc.font, tab.text) + 2 * tc.padding.x;
    if (tab.image >= 0 && tc.images)
        length += ImageWidth(tc) + 3;
    return std::max(length, 2 * tc.padding.x + 8);
}

void UpdateTools(TabControl& tc);

void ShowArrows(TabControl& tc, bool show, int rowTop, int thickness)
{
    if (!show) {
        if (tc.arrows)
            ShowWindow(tc.arrows, SW_HIDE);
        return;
    }
    const RECT client = Client(tc);
    if (!tc.arrows) {
        tc.arrows = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | UDS_HORZ, 0, 0, 0, 0, tc.hwnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kScrollId)), nullptr, nullptr);
        if (!tc.arrows)
            return;
    }
    const int height = std::max(thickness - 2, 10);
    SetWindowPos(tc.arrows, nullptr, client.right - kArrowsWidth, rowTop + thickness - height - 1, kArrowsWidth,
                 height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SendMessageA(tc.arrows, UDM_SETRANGE32, 0, std::max(0, Count(tc) - 1));
    SendMessageA(tc.arrows, UDM_SETPOS32, 0, tc.first);
}

void Layout(TabControl& tc)
{
    const RECT client = Client(tc);
    const int thickness = RowThickness(tc);
    const bool vertical = Vertical(tc);
    const DWORD style = Style(tc);
    const int span = vertical ? client.bottom - 4 : client.right - 4;
    tc.rects.assign(tc.tabs.size(), RECT{0, 0, 0, 0});
    // Lengths along the row and the row each tab falls in.
    std::vector<int> row(tc.tabs.size(), 0), offset(tc.tabs.size(), 0), length(tc.tabs.size(), 0);
    int rows = 1, pos = 0;
    for (size_t i = 0; i < tc.tabs.size(); ++i) {
        length[i] = TabLength(tc, tc.tabs[i]);
        if (MultiLine(tc) && pos > 0 && pos + length[i] > span) {
            ++rows;
            pos = 0;
        }
        row[i] = rows - 1;
        offset[i] = pos;
        pos += length[i];
    }
    tc.rows = tc.tabs.empty() ? 0 : rows;
    bool overflow = false;
    if (!MultiLine(tc)) {
        overflow = pos > span;
        if (!overflow)
            tc.first = 0;
        tc.first = std::clamp(tc.first, 0, std::max(0, Count(tc) - 1));
    } else {
        tc.first = 0;
    }
    const int shift = tc.first > 0 ? offset[static_cast<size_t>(tc.first)] : 0;
    for (size_t i = 0; i < tc.tabs.size(); ++i) {
        const int along = 2 + offset[i] - shift;
        const int r = row[i];
        RECT rc{};
        if (vertical) {
            const int left = (style & TCS_RIGHT) ? client.right - 2 - (r + 1) * thickness : 2 + r * thickness;
            rc = RECT{left, along, left + thickness, along + length[i]};
        } else {
            const int top = (style & TCS_BOTTOM) ? client.bottom - 2 - (r + 1) * thickness : 2 + r * thickness;
            rc = RECT{along, top, along + length[i], top + thickness};
        }
        tc.rects[i] = rc;
    }
    const int rowTop = (style & TCS_BOTTOM) ? client.bottom - 2 - thickness : 2;
    ShowArrows(tc, overflow && !vertical, rowTop, thickness);
    UpdateTools(tc);
}

// The band the rows take, across the whole control.
RECT RowBand(const TabControl& tc)
{
    const RECT client = Client(tc);
    const int thick = RowThickness(tc) * std::max(1, tc.rows);
    const DWORD style = Style(tc);
    if (Vertical(tc)) {
        if (style & TCS_RIGHT)
            return RECT{client.right - 2 - thick, 0, client.right, client.bottom};
        return RECT{0, 0, thick + 2, client.bottom};
    }
    if (style & TCS_BOTTOM)
        return RECT{0, client.bottom - 2 - thick, client.right, client.bottom};
    return RECT{0, 2, client.right, 2 + thick};
}

// The page area for a window rectangle, or the reverse.
void AdjustRect(const TabControl& tc, RECT* rc, bool larger)
{
    const int thick = RowThickness(tc) * std::max(1, tc.rows) + 2;
    const DWORD style = Style(tc);
    const int sign = larger ? -1 : 1;
    InflateRect(rc, -sign * 2, -sign * 2);
    if (Vertical(tc)) {
        if (style & TCS_RIGHT)
            rc->right -= sign * thick;
        else
            rc->left += sign * thick;
    } else if (style & TCS_BOTTOM) {
        rc->bottom -= sign * thick;
    } else {
        rc->top += sign * thick;
    }
}

void UpdateTools(TabControl& tc)
{
    if (!tc.tooltip)
        return;
    for (; tc.tools < Count(tc); ++tc.tools) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = tc.hwnd;
        ti.uId = static_cast<UINT_PTR>(tc.tools);
        ti.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(tc.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    for (; tc.tools > Count(tc); --tc.tools) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = tc.hwnd;
        ti.uId = static_cast<UINT_PTR>(tc.tools - 1);
        SendMessageA(tc.tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    for (int i = 0; i < Count(tc); ++i) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = tc.hwnd;
        ti.uId = static_cast<UINT_PTR>(i);
        ti.rect = tc.rects[static_cast<size_t>(i)];
        SendMessageA(tc.tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

int HitTest(const TabControl& tc, POINT pt, UINT* flags)
{
    const RECT client = Client(tc);
    if (ShownByStyle(tc.arrows) && pt.x >= client.right - kArrowsWidth) {
        *flags = TCHT_NOWHERE;
        return -1;
    }
    for (int i = 0; i < Count(tc); ++i) {
        const RECT& rc = tc.rects[static_cast<size_t>(i)];
        if (PtInRect(&rc, pt)) {
            const Tab& tab = tc.tabs[static_cast<size_t>(i)];
            const int iconRight = rc.left + tc.padding.x + ImageWidth(tc);
            *flags = (tab.image >= 0 && tc.images && pt.x < iconRight) ? TCHT_ONITEMICON : TCHT_ONITEMLABEL;
            return i;
        }
    }
    *flags = TCHT_NOWHERE;
    return -1;
}

// A change of the current tab by the user: the parent may refuse it.
void SelectByUser(TabControl& tc, int index)
{
    if (!Valid(tc, index) || index == tc.current)
        return;
    if (SendSimpleNotify(tc.hwnd, TCN_SELCHANGING))
        return;
    if (!Valid(tc, index))
        return;
    tc.current = index;
    tc.focus = index;
    InvalidateRect(tc.hwnd, nullptr, TRUE);
    SendSimpleNotify(tc.hwnd, TCN_SELCHANGE);
}

void EnsureShown(TabControl& tc, int index)
{
    if (MultiLine(tc) || !Valid(tc, index))
        return;
    if (index < tc.first) {
        tc.first = index;
        Layout(tc);
        return;
    }
    const RECT client = Client(tc);
    const int limit = client.right - (ShownByStyle(tc.arrows) ? kArrowsWidth : 0);
    while (tc.first < index && tc.rects[static_cast<size_t>(index)].right > limit) {
        ++tc.first;
        Layout(tc);
    }
}

void DrawTab(TabControl& tc, HDC hdc, int i, bool selected)
{
    RECT rc = tc.rects[static_cast<size_t>(i)];
    const DWORD style = Style(tc);
    const Tab& tab = tc.tabs[static_cast<size_t>(i)];
    if (selected)
        InflateRect(&rc, 2, 2);
    if (style & TCS_OWNERDRAWFIXED) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_TAB;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID(tc.hwnd));
        dis.itemID = static_cast<UINT>(i);
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = selected ? ODS_SELECTED : 0;
        dis.hwndItem = tc.hwnd;
        dis.hDC = hdc;
        dis.rcItem = rc;
        dis.itemData = static_cast<ULONG_PTR>(tab.lParam);
        SendMessageA(GetParent(tc.hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    FillSolid(hdc, rc, GetSysColor(COLOR_BTNFACE));
    UINT sides = BF_RECT;
    if (Vertical(tc))
        sides = (style & TCS_RIGHT) ? (BF_TOP | BF_RIGHT | BF_BOTTOM) : (BF_LEFT | BF_TOP | BF_BOTTOM);
    else
        sides = (style & TCS_BOTTOM) ? (BF_LEFT | BF_BOTTOM | BF_RIGHT) : (BF_LEFT | BF_TOP | BF_RIGHT);
    RECT edge = rc;
    DrawEdge(hdc, &edge, EDGE_RAISED, sides | BF_SOFT);
    RECT text{rc.left + tc.padding.x, rc.top, rc.right - tc.padding.x, rc.bottom};
    if (tab.image >= 0 && tc.images) {
        int cy = 0;
        const int cx = ImageWidth(tc, &cy);
        ImageList_Draw(tc.images, tab.image, hdc, text.left, rc.top + (rc.bottom - rc.top - cy) / 2, ILD_TRANSPARENT);
        text.left += cx + 3;
    }
    if (!tab.text.empty() && text.right > text.left) {
        SetTextColor(hdc, GetSysColor(IsWindowEnabled(tc.hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        // Cut with an ellipsis that never splits a character.
        DrawTextA(hdc, tab.text.c_str(), static_cast<int>(tab.text.size()), &text,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (selected && GetFocus() == tc.hwnd) {
        RECT focus = rc;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(hdc, &focus);
    }
}

void Paint(TabControl& tc, HDC hdc)
{
    const RECT client = Client(tc);
    const int saved = SaveDC(hdc);
    FillSolid(hdc, client, GetSysColor(COLOR_BTNFACE));
    RECT page = client;
    AdjustRect(tc, &page, false);
    InflateRect(&page, 2, 2);
    if (!(Style(tc) & TCS_BUTTONS))
        DrawEdge(hdc, &page, EDGE_RAISED, BF_RECT | BF_SOFT);
    SelectObject(hdc, ControlFont(tc.font));
    SetBkMode(hdc, TRANSPARENT);
    for (int i = 0; i < Count(tc); ++i)
        if (i != tc.current && (MultiLine(tc) || i >= tc.first))
            DrawTab(tc, hdc, i, false);
    if (Valid(tc, tc.current) && (MultiLine(tc) || tc.current >= tc.first))
        DrawTab(tc, hdc, tc.current, true);
    RestoreDC(hdc, saved);
}

void ApplyFields(Tab& tab, const TCITEMA& in)
{
    if ((in.mask & TCIF_TEXT) && in.pszText && in.pszText != LPSTR_TEXTCALLBACKA)
        tab.text = in.pszText;
    if (in.mask & TCIF_IMAGE)
        tab.image = in.iImage;
    if (in.mask & TCIF_PARAM)
        tab.lParam = in.lParam;
    if (in.mask & TCIF_STATE)
        tab.state = (tab.state & ~in.dwStateMask) | (in.dwState & in.dwStateMask);
}

void OnKey(TabControl& tc, UINT key)
{
    NMTCKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(key);
    SendNotify(tc.hwnd, TCN_KEYDOWN, &nm.hdr);
    const bool vertical = Vertical(tc);
    int target = tc.current;
    if ((!vertical && key == VK_LEFT) || (vertical && key == VK_UP))
        target = tc.current - 1;
    else if ((!vertical && key == VK_RIGHT) || (vertical && key == VK_DOWN))
        target = tc.current + 1;
    else if (key == VK_HOME)
        target = 0;
    else if (key == VK_END)
        target = Count(tc) - 1;
    else
        return;
    if (!Valid(tc, target))
        return;
    SelectByUser(tc, target);
    EnsureShown(tc, tc.current);
}

LRESULT TabControl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    TabControl* tc = this;
    switch (message) {
    case WM_CREATE:
        if (Style(*tc) & TCS_TOOLTIPS)
            tc->tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP, 0, 0, 0, 0, hwnd, nullptr, nullptr, nullptr);
        return 0;
    case WM_DESTROY:
        if (tc->tooltip)
            DestroyWindow(tc->tooltip);
        tc->tooltip = nullptr;
        break;
    case WM_SETFONT:
        tc->font = reinterpret_cast<HFONT>(wParam);
        Layout(*tc);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(tc->font);
    case WM_SIZE:
    case WM_STYLECHANGED:
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PaintDc dc(hwnd, wParam);
        Paint(*tc, dc.Get());
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        OnKey(*tc, static_cast<UINT>(wParam));
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        if (tc->tooltip) {
            MSG msg{hwnd, message, wParam, lParam, 0, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
            SendMessageA(tc->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
        if (message == WM_LBUTTONUP && tc->pressed) {
            tc->pressed = false;
            SendSimpleNotify(hwnd, NM_CLICK);
        } else if (message == WM_RBUTTONUP) {
            SendSimpleNotify(hwnd, NM_RCLICK);
        }
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: { // a quick second click switches too
        if (tc->tooltip) {
            MSG msg{hwnd, message, wParam, lParam, 0, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
            SendMessageA(tc->tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
        UINT flags = 0;
        const int index = HitTest(*tc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &flags);
        if ((Style(*tc) & TCS_FOCUSONBUTTONDOWN) && !(Style(*tc) & TCS_FOCUSNEVER))
            SetFocus(hwnd);
        tc->pressed = true;
        if (index >= 0) {
            SelectByUser(*tc, index);
            EnsureShown(*tc, tc->current);
        }
        return 0;
    }
    case WM_HSCROLL:
        // From the arrows, or a caller: scroll the row to start at that tab.
        if (LOWORD(wParam) == SB_THUMBPOSITION && !MultiLine(*tc)) {
            const int first = std::clamp(static_cast<int>(static_cast<short>(HIWORD(wParam))), 0,
                                         std::max(0, Count(*tc) - 1));
            if (first != tc->first) {
                tc->first = first;
                Layout(*tc);
                InvalidateRect(hwnd, nullptr, TRUE);
            }
        }
        return 0;
    case WM_NOTIFY: {
        // The tooltip asks through the tab control; the parent answers.
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == tc->tooltip && tc->tooltip)
            return SendMessageA(GetParent(hwnd), WM_NOTIFY, wParam, lParam);
        return 0;
    }
    case TCM_GETITEMCOUNT:
        return Count(*tc);
    case TCM_INSERTITEMA: {
        const auto* in = reinterpret_cast<const TCITEMA*>(lParam);
        if (!in || static_cast<int>(wParam) < 0)
            return -1;
        const int at = std::min(static_cast<int>(wParam), Count(*tc));
        Tab tab;
        ApplyFields(tab, *in);
        tc->tabs.insert(tc->tabs.begin() + at, tab);
        if (tc->current >= at)
            ++tc->current;
        if (tc->current < 0)
            tc->current = 0;
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return at;
    }
    case TCM_DELETEITEM: {
        const int i = static_cast<int>(wParam);
        if (!Valid(*tc, i))
            return FALSE;
        tc->tabs.erase(tc->tabs.begin() + i);
        if (tc->current == i)
            tc->current = -1;
        else if (tc->current > i)
            --tc->current;
        if (tc->focus >= Count(*tc))
            tc->focus = -1;
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case TCM_DELETEALLITEMS:
        tc->tabs.clear();
        tc->current = tc->focus = -1;
        tc->first = 0;
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case TCM_GETITEMA: {
        auto* out = reinterpret_cast<TCITEMA*>(lParam);
        const int i = static_cast<int>(wParam);
        if (!out || !Valid(*tc, i))
            return FALSE;
        const Tab& tab = tc->tabs[static_cast<size_t>(i)];
        if (out->mask & TCIF_TEXT)
            CopyGbkText(tab.text.c_str(), out->pszText, out->cchTextMax);
        if (out->mask & TCIF_IMAGE)
            out->iImage = tab.image;
        if (out->mask & TCIF_PARAM)
            out->lParam = tab.lParam;
        if (out->mask & TCIF_STATE)
            out->dwState = tab.state & out->dwStateMask;
        return TRUE;
    }
    case TCM_SETITEMA: {
        const auto* in = reinterpret_cast<const TCITEMA*>(lParam);
        const int i = static_cast<int>(wParam);
        if (!in || !Valid(*tc, i))
            return FALSE;
        ApplyFields(tc->tabs[static_cast<size_t>(i)], *in);
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case TCM_GETITEMRECT: {
        RECT* out = reinterpret_cast<RECT*>(lParam);
        if (!out)
            return FALSE;
        const int i = static_cast<int>(wParam);
        if (i == -1) {
            // The band of the rows: callers take its top and bottom.
            *out = RowBand(*tc);
            return TRUE;
        }
        if (!Valid(*tc, i))
            return FALSE;
        *out = tc->rects[static_cast<size_t>(i)];
        return TRUE;
    }
    case TCM_GETCURSEL:
        return tc->current;
    case TCM_SETCURSEL: {
        const int i = static_cast<int>(wParam);
        if (!Valid(*tc, i))
            return -1;
        const int old = tc->current;
        tc->current = i;
        tc->focus = i;
        EnsureShown(*tc, i);
        InvalidateRect(hwnd, nullptr, TRUE);
        return old;
    }
    case TCM_GETCURFOCUS:
        return tc->focus >= 0 ? tc->focus : tc->current;
    case TCM_SETCURFOCUS:
        if (Valid(*tc, static_cast<int>(wParam)))
            SelectByUser(*tc, static_cast<int>(wParam));
        return 0;
    case TCM_HITTEST: {
        auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        return HitTest(*tc, info->pt, &info->flags);
    }
    case TCM_GETROWCOUNT:
        return tc->rows;
    case TCM_ADJUSTRECT: {
        RECT* rc = reinterpret_cast<RECT*>(lParam);
        if (rc)
            AdjustRect(*tc, rc, wParam != 0);
        return 0;
    }
    case TCM_SETITEMSIZE: {
        const SIZE old{tc->fixed.cx, RowThickness(*tc)};
        tc->fixed.cx = static_cast<short>(LOWORD(lParam));
        tc->fixed.cy = static_cast<short>(HIWORD(lParam));
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return MAKELPARAM(old.cx, old.cy);
    }
    case TCM_SETPADDING:
        tc->padding = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case TCM_SETIMAGELIST: {
        HIMAGELIST old = tc->images;
        tc->images = reinterpret_cast<HIMAGELIST>(lParam);
        Layout(*tc);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(tc->images);
    case TCM_GETTOOLTIPS:
        return reinterpret_cast<LRESULT>(tc->tooltip);
    case TCM_SETTOOLTIPS:
        tc->tooltip = reinterpret_cast<HWND>(wParam);
        tc->tools = 0;
        UpdateTools(*tc);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

void RegisterTabControlClass()
{
    RegisterControl(WC_TABCONTROLA, ControlProc<TabControl>, CS_DBLCLKS);
}

} // namespace tavrin::controls
