#include "platform/controls/ListView.h"

#include "platform/controls/Control.h"

#include "platform/controls/ListViewScroll.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/ImageList.h"
#include "platform/win/User.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace tavrin::controls {
namespace {

constexpr int kTextBuffer = 260;
constexpr int kCellMargin = 6;

struct Row {
    std::vector<std::string> texts; // by sub-item
    std::vector<bool> callback;     // by sub-item: text asked of the parent
    int image = 0;
    LPARAM lParam = 0;
    UINT state = 0;
};

struct Column {
    int subItem = 0;
    int image = 0;
    int fmt = LVCFMT_LEFT;
};

struct ListView {
    explicit ListView(HWND window) : hwnd(window) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
    HWND header = nullptr;
    std::vector<Row> rows;         // without owner data
    std::vector<UINT> ownerStates; // with owner data: one state per row
    std::vector<Column> columns;
    DWORD exStyle = 0;
    HFONT font = nullptr;
    HIMAGELIST images[3] = {nullptr, nullptr, nullptr};
    COLORREF bk = 0, text = 0, textBk = 0;
    bool colorsSet[3] = {false, false, false};
    int top = 0;
    int scrollX = 0;
    int focus = -1;
    int mark = -1;
    bool redraw = true;
    int pressItem = -1;
    POINT pressPoint{0, 0};
    bool pressRight = false;
    bool dragSent = false;
    bool updatingBars = false;
};

bool OwnerData(const ListView& lv)
{
    return (Style(lv) & LVS_OWNERDATA) != 0;
}

int Count(const ListView& lv)
{
    return static_cast<int>(OwnerData(lv) ? lv.ownerStates.size() : lv.rows.size());
}

bool Valid(const ListView& lv, int i)
{
    return i >= 0 && i < Count(lv);
}

UINT RawState(const ListView& lv, int i)
{
    return OwnerData(lv) ? lv.ownerStates[static_cast<size_t>(i)] : lv.rows[static_cast<size_t>(i)].state;
}

void SetRawState(ListView& lv, int i, UINT state)
{
    if (OwnerData(lv))
        lv.ownerStates[static_cast<size_t>(i)] = state;
    else
        lv.rows[static_cast<size_t>(i)].state = state;
}

void Invalidate(ListView& lv, const RECT* rect = nullptr)
{
    if (lv.redraw)
        InvalidateRect(lv.hwnd, rect, TRUE);
}

int RowHeight(const ListView& lv)
{
    int h = FontLineHeight(lv.font) + 4;
    int cx = 0, cy = 0;
    if (lv.images[LVSIL_SMALL] && ImageList_GetIconSize(lv.images[LVSIL_SMALL], &cx, &cy))
        h = std::max(h, cy + 1);
    return h;
}

int HeaderHeight(const ListView& lv)
{
    if (!ShownByStyle(lv.header))
        return 0;
    RECT rc;
    GetWindowRect(lv.header, &rc);
    return rc.bottom - rc.top;
}

RECT Client(const ListView& lv)
{
    RECT rc;
    GetClientRect(lv.hwnd, &rc);
    return rc;
}

int CountPerPage(const ListView& lv)
{
    const RECT rc = Client(lv);
    return std::max(0, (rc.bottom - HeaderHeight(lv)) / RowHeight(lv));
}

int ColumnCount(const ListView& lv)
{
    return static_cast<int>(lv.columns.size());
}

int ColumnWidth(const ListView& lv, int column)
{
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    if (!SendMessageA(lv.header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.cxy;
}

int TotalWidth(const ListView& lv)
{
    int total = 0;
    for (int c = 0; c < ColumnCount(lv); ++c)
        total += ColumnWidth(lv, c);
    return total;
}

// Columns in display order.
std::vector<int> DisplayOrder(const ListView& lv)
{
    std::vector<int> order(lv.columns.size());
    if (!order.empty())
        SendMessageA(lv.header, HDM_GETORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()));
    return order;
}

// Left and right of a column in client coordinates.
RECT ColumnSpan(const ListView& lv, int column)
{
    RECT rc{};
    SendMessageA(lv.header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rc));
    return RECT{rc.left - lv.scrollX, 0, rc.right - lv.scrollX, 0};
}

RECT RowRect(const ListView& lv, int i)
{
    const int h = RowHeight(lv);
    const int y = HeaderHeight(lv) + (i - lv.top) * h;
    return RECT{-lv.scrollX, y, -lv.scrollX + TotalWidth(lv), y + h};
}

int IconWidth(const ListView& lv)
{
    int cx = 0, cy = 0;
    if (lv.images[LVSIL_SMALL] && ImageList_GetIconSize(lv.images[LVSIL_SMALL], &cx, &cy))
        return cx + 2;
    return 0;
}

RECT CellRect(const ListView& lv, int i, int column)
{
    const RECT row = RowRect(lv, i);
    const RECT span = ColumnSpan(lv, column);
    return RECT{span.left, row.top, span.right, row.bottom};
}

RECT IconRect(const ListView& lv, int i)
{
    RECT rc = CellRect(lv, i, 0);
    rc.right = std::min<LONG>(rc.right, rc.left + IconWidth(lv));
    return rc;
}

RECT LabelRect(const ListView& lv, int i)
{
    RECT rc = CellRect(lv, i, 0);
    rc.left = std::min<LONG>(rc.right, rc.left + IconWidth(lv));
    return rc;
}

void UpdateScrollBars(ListView& lv)
{
    // A bar that comes or goes resizes the client area, which brings us back
    // here: the outer call goes round once more instead.
    if (lv.updatingBars)
        return;
    lv.updatingBars = true;
    for (int pass = 0; pass < 3; ++pass) {
        const RECT before = Client(lv);
        SetControlScroll(lv.hwnd, SB_VERT, Count(lv) - 1, CountPerPage(lv), lv.top);
        SetControlScroll(lv.hwnd, SB_HORZ, TotalWidth(lv) - 1, Client(lv).right, lv.scrollX);
        const RECT after = Client(lv);
        if (after.right == before.right && after.bottom == before.bottom)
            break;
    }
    lv.updatingBars = false;
}

void LayoutHeader(ListView& lv)
{
    if (!lv.header)
        return;
    RECT rc = Client(lv);
    rc.left -= lv.scrollX;
    rc.right = std::max<LONG>(rc.right, rc.left + TotalWidth(lv));
    WINDOWPOS pos{};
    HDLAYOUT layout{&rc, &pos};
    SendMessageA(lv.header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout));
    const bool hidden = (Style(lv) & LVS_NOCOLUMNHEADER) != 0;
    SetWindowPos(lv.header, nullptr, pos.x, pos.y, pos.cx, pos.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | (hidden ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
}

int MaxTop(const ListView& lv)
{
    return std::max(0, Count(lv) - CountPerPage(lv));
}

void ScrollTo(ListView& lv, int top, int x)
{
    top = std::clamp(top, 0, MaxTop(lv));
    x = std::clamp(x, 0, std::max(0, TotalWidth(lv) - static_cast<int>(Client(lv).right)));
    if (top == lv.top && x == lv.scrollX)
        return;
    const bool moveHeader = x != lv.scrollX;
    lv.top = top;
    lv.scrollX = x;
    if (moveHeader)
        LayoutHeader(lv);
    UpdateScrollBars(lv);
    Invalidate(lv);
}

bool EnsureVisible(ListView& lv, int i, bool partialOk)
{
    if (!Valid(lv, i))
        return false;
    const int page = std::max(1, CountPerPage(lv));
    if (i < lv.top)
        ScrollTo(lv, i, lv.scrollX);
    else if (i >= lv.top + page) {
        const RECT row = RowRect(lv, i);
        const bool partlyShown = row.top < Client(lv).bottom && i == lv.top + page;
        if (!(partialOk && partlyShown))
            ScrollTo(lv, i - page + 1, lv.scrollX);
    }
    return true;
}

LRESULT NotifyItem(ListView& lv, UINT code, int item, int subItem, UINT newState, UINT oldState, UINT changed,
                   POINT pt = POINT{0, 0})
{
    NMLISTVIEW nm{};
    nm.iItem = item;
    nm.iSubItem = subItem;
    nm.uNewState = newState;
    nm.uOldState = oldState;
    nm.uChanged = changed;
    nm.ptAction = pt;
    if (item >= 0 && !OwnerData(lv) && Valid(lv, item))
        nm.lParam = lv.rows[static_cast<size_t>(item)].lParam;
    return SendNotify(lv.hwnd, code, &nm.hdr);
}

void InvalidateRow(ListView& lv, int i)
{
    if (!Valid(lv, i))
        return;
    RECT rc = RowRect(lv, i);
    rc.left = 0;
    rc.right = Client(lv).right;
    Invalidate(lv, &rc);
}

// Changes the state bits of one row (or every row for -1); the parent hears
// of it before and after. Returns false when refused.
bool ChangeState(ListView& lv, int i, UINT state, UINT mask)
{
    state &= mask;
    if (i == -1) {
        if (!OwnerData(lv) && NotifyItem(lv, LVN_ITEMCHANGING, -1, 0, state, 0, LVIF_STATE))
            return false;
        const bool single = (Style(lv) & LVS_SINGLESEL) != 0;
        for (int r = 0; r < Count(lv); ++r) {
            UINT newState = (RawState(lv, r) & ~mask) | state;
            // One selected row at most in a single-selection list.
            if (single && (state & LVIS_SELECTED) && r != 0)
                newState &= ~static_cast<UINT>(LVIS_SELECTED);
            SetRawState(lv, r, newState);
        }
        if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
            lv.focus = Count(lv) > 0 ? 0 : -1;
        else if (mask & LVIS_FOCUSED)
            lv.focus = -1;
        if ((mask & LVIS_FOCUSED) && lv.focus >= 0)
            for (int r = 1; r < Count(lv); ++r)
                SetRawState(lv, r, RawState(lv, r) & ~static_cast<UINT>(LVIS_FOCUSED));
        NotifyItem(lv, LVN_ITEMCHANGED, -1, 0, state, 0, LVIF_STATE);
        Invalidate(lv);
        return true;
    }
    if (!Valid(lv, i))
        return false;
    const UINT old = RawState(lv, i);
    const UINT next = (old & ~mask) | state;
    if (next == old)
        return true;
    if (!OwnerData(lv) && NotifyItem(lv, LVN_ITEMCHANGING, i, 0, next, old, LVIF_STATE))
        return false;
    if (!Valid(lv, i))
        return false;
    // The focus and, in a single-selection list, the selection belong to one row.
    if ((next & LVIS_FOCUSED) && !(old & LVIS_FOCUSED)) {
        const int previous = lv.focus;
        lv.focus = i;
        if (previous != i && Valid(lv, previous))
            ChangeState(lv, previous, 0, LVIS_FOCUSED);
    }
    if ((next & LVIS_SELECTED) && !(old & LVIS_SELECTED) && (Style(lv) & LVS_SINGLESEL))
        for (int r = 0; r < Count(lv); ++r)
            if (r != i && (RawState(lv, r) & LVIS_SELECTED))
                ChangeState(lv, r, 0, LVIS_SELECTED);
    if (!Valid(lv, i))
        return false;
    const UINT before = RawState(lv, i);
    const UINT after = (before & ~mask) | state;
    SetRawState(lv, i, after);
    if (!(after & LVIS_FOCUSED) && lv.focus == i)
        lv.focus = -1;
    NotifyItem(lv, LVN_ITEMCHANGED, i, 0, after, before, LVIF_STATE);
    InvalidateRow(lv, i);
    return true;
}

void SelectOnly(ListView& lv, int keep)
{
    for (int r = 0; r < Count(lv); ++r)
        if (r != keep && (RawState(lv, r) & LVIS_SELECTED))
            ChangeState(lv, r, 0, LVIS_SELECTED);
}

void SelectRange(ListView& lv, int from, int to, bool keepOthers)
{
    const int lo = std::min(from, to), hi = std::max(from, to);
    for (int r = 0; r < Count(lv); ++r) {
        if (r >= lo && r <= hi)
            ChangeState(lv, r, LVIS_SELECTED, LVIS_SELECTED);
        else if (!keepOthers && (RawState(lv, r) & LVIS_SELECTED))
            ChangeState(lv, r, 0, LVIS_SELECTED);
    }
}

// Asks the parent for what the list does not keep. `text` is the caller's
// buffer; what the parent hands back is cut to size at a character boundary.
void AskDisplayInfo(ListView& lv, int item, int subItem, UINT mask, char* text, int size, int* image)
{
    NMLVDISPINFOA disp{};
    disp.item.mask = mask;
    disp.item.iItem = item;
    disp.item.iSubItem = subItem;
    disp.item.pszText = text;
    disp.item.cchTextMax = size;
    if (!OwnerData(lv) && Valid(lv, item))
        disp.item.lParam = lv.rows[static_cast<size_t>(item)].lParam;
    if ((mask & LVIF_TEXT) && text && size > 0)
        text[0] = 0;
    SendNotify(lv.hwnd, LVN_GETDISPINFOA, &disp.hdr);
    if (mask & LVIF_TEXT)
        FinishDisplayText(text, size, disp.item.pszText);
    if ((mask & LVIF_IMAGE) && image)
        *image = disp.item.iImage;
}

std::string ItemText(ListView& lv, int item, int subItem)
{
    if (!Valid(lv, item))
        return {};
    if (!OwnerData(lv)) {
        const Row& row = lv.rows[static_cast<size_t>(item)];
        const size_t s = static_cast<size_t>(subItem);
        if (s >= row.texts.size())
            return {};
        if (!row.callback[s])
            return row.texts[s];
    }
    char buffer[kTextBuffer];
    AskDisplayInfo(lv, item, subItem, LVIF_TEXT, buffer, kTextBuffer, nullptr);
    return buffer;
}

int ItemImage(ListView& lv, int item)
{
    if (!OwnerData(lv)) {
        const Row& row = lv.rows[static_cast<size_t>(item)];
        if (row.image != I_IMAGECALLBACK)
            return row.image;
    }
    int image = 0;
    AskDisplayInfo(lv, item, 0, LVIF_IMAGE, nullptr, 0, &image);
    return image;
}

void SetRowText(Row& row, int subItem, const char* text)
{
    const size_t s = static_cast<size_t>(subItem);
    if (row.texts.size() <= s) {
        row.texts.resize(s + 1);
        row.callback.resize(s + 1, false);
    }
    row.callback[s] = text == LPSTR_TEXTCALLBACKA;
    row.texts[s] = (text && text != LPSTR_TEXTCALLBACKA) ? text : "";
}

COLORREF BkColour(const ListView& lv)
{
    return lv.colorsSet[0] ? lv.bk : GetSysColor(COLOR_WINDOW);
}

COLORREF TextColour(const ListView& lv)
{
    return lv.colorsSet[1] ? lv.text : GetSysColor(COLOR_WINDOWTEXT);
}

COLORREF TextBkColour(const ListView& lv)
{
    return lv.colorsSet[2] ? lv.textBk : BkColour(lv);
}

LRESULT CustomDraw(ListView& lv, NMLVCUSTOMDRAW& cd, DWORD stage, HDC hdc, const RECT& rc, int item, int subItem,
                   UINT itemState)
{
    cd.nmcd.dwDrawStage = stage;
    cd.nmcd.hdc = hdc;
    cd.nmcd.rc = rc;
    cd.nmcd.dwItemSpec = static_cast<DWORD_PTR>(item < 0 ? 0 : item);
    cd.nmcd.uItemState = itemState;
    cd.nmcd.lItemlParam = (!OwnerData(lv) && Valid(lv, item)) ? lv.rows[static_cast<size_t>(item)].lParam : 0;
    cd.iSubItem = subItem;
    return SendNotify(lv.hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr);
}

void DrawCell(ListView& lv, HDC hdc, int item, int column, bool selectedLook, const NMLVCUSTOMDRAW& cd)
{
    const Column& col = lv.columns[static_cast<size_t>(column)];
    RECT cell = CellRect(lv, item, column);
    const bool fullRow = (lv.exStyle & LVS_EX_FULLROWSELECT) != 0;
    RECT textRect = cell;
    if (column == 0) {
        const int iconWidth = IconWidth(lv);
        if (iconWidth && lv.images[LVSIL_SMALL]) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(lv.images[LVSIL_SMALL], &cx, &cy);
            ImageList_Draw(lv.images[LVSIL_SMALL], ItemImage(lv, item), hdc, cell.left + 2,
                           cell.top + (cell.bottom - cell.top - cy) / 2, ILD_TRANSPARENT);
        }
        textRect.left += iconWidth;
    }
    const bool highlight = selectedLook && (fullRow || column == 0);
    RECT back = textRect;
    if (highlight) {
        const bool focused = GetFocus() == lv.hwnd;
        FillSolid(hdc, back, GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        SetTextColor(hdc, GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    } else {
        if (cd.clrTextBk != CLR_NONE && cd.clrTextBk != BkColour(lv))
            FillSolid(hdc, back, cd.clrTextBk);
        SetTextColor(hdc, cd.clrText);
    }
    const std::string text = ItemText(lv, item, col.subItem);
    if (text.empty())
        return;
    RECT inner{textRect.left + (column == 0 ? 2 : kCellMargin), textRect.top, textRect.right - kCellMargin,
               textRect.bottom};
    if (inner.right <= inner.left)
        return;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    if ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
        format |= DT_RIGHT;
    else if ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
        format |= DT_CENTER;
    DrawTextA(hdc, text.c_str(), static_cast<int>(text.size()), &inner, format);
}

void Paint(ListView& lv, HDC hdc)
{
    const RECT client = Client(lv);
    const int headerHeight = HeaderHeight(lv);
    const int saved = SaveDC(hdc);
    ExcludeClipRect(hdc, 0, 0, client.right, headerHeight);
    NMLVCUSTOMDRAW cd{};
    const LRESULT global = CustomDraw(lv, cd, CDDS_PREPAINT, hdc, client, -1, 0, 0);
    if (global & CDRF_SKIPDEFAULT) {
        RestoreDC(hdc, saved);
        return;
    }
    RECT body{0, headerHeight, client.right, client.bottom};
    if (BkColour(lv) != CLR_NONE)
        FillSolid(hdc, body, BkColour(lv));
    SelectObject(hdc, ControlFont(lv.font));
    SetBkMode(hdc, TRANSPARENT);
    const int rowHeight = RowHeight(lv);
    const int last = std::min(Count(lv), lv.top + CountPerPage(lv) + 1);
    const bool showSelection = GetFocus() == lv.hwnd || (Style(lv) & LVS_SHOWSELALWAYS);
    for (int i = lv.top; i < last; ++i) {
        const UINT state = RawState(lv, i);
        UINT itemState = 0;
        if (state & LVIS_SELECTED)
            itemState |= CDIS_SELECTED;
        if (state & LVIS_FOCUSED)
            itemState |= CDIS_FOCUS;
        const RECT row = RowRect(lv, i);
        const int rowSaved = SaveDC(hdc);
        cd.clrText = TextColour(lv);
        cd.clrTextBk = TextBkColour(lv);
        LRESULT itemResult = CDRF_DODEFAULT;
        if (global & CDRF_NOTIFYITEMDRAW)
            itemResult = CustomDraw(lv, cd, CDDS_ITEMPREPAINT, hdc, row, i, 0, itemState);
        if (!(itemResult & CDRF_SKIPDEFAULT)) {
            const bool selectedLook = (state & LVIS_SELECTED) && showSelection;
            const COLORREF rowText = cd.clrText, rowBk = cd.clrTextBk;
            for (int column : DisplayOrder(lv)) {
                NMLVCUSTOMDRAW sub = cd;
                sub.clrText = rowText;
                sub.clrTextBk = rowBk;
                const int subSaved = SaveDC(hdc);
                LRESULT subResult = CDRF_DODEFAULT;
                if (itemResult & CDRF_NOTIFYSUBITEMDRAW)
                    subResult = CustomDraw(lv, sub, CDDS_ITEMPREPAINT | CDDS_SUBITEM, hdc,
                                           CellRect(lv, i, column), i, lv.columns[static_cast<size_t>(column)].subItem,
                                           itemState);
                if (!(subResult & CDRF_SKIPDEFAULT))
                    DrawCell(lv, hdc, i, column, selectedLook, sub);
                RestoreDC(hdc, subSaved);
            }
            if ((state & LVIS_FOCUSED) && GetFocus() == lv.hwnd) {
                RECT focusRect = (lv.exStyle & LVS_EX_FULLROWSELECT) ? row : LabelRect(lv, i);
                DrawFocusRect(hdc, &focusRect);
            }
        }
        if (itemResult & CDRF_NOTIFYPOSTPAINT)
            CustomDraw(lv, cd, CDDS_ITEMPOSTPAINT, hdc, row, i, 0, itemState);
        RestoreDC(hdc, rowSaved);
        SelectObject(hdc, ControlFont(lv.font));
    }
    if (lv.exStyle & LVS_EX_GRIDLINES) {
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
        HGDIOBJ oldPen = SelectObject(hdc, pen);
        for (int y = headerHeight + rowHeight - 1; y < client.bottom; y += rowHeight) {
            MoveToEx(hdc, 0, y, nullptr);
            LineTo(hdc, client.right, y);
        }
        for (int column : DisplayOrder(lv)) {
            const int x = ColumnSpan(lv, column).right - 1;
            MoveToEx(hdc, x, headerHeight, nullptr);
            LineTo(hdc, x, client.bottom);
        }
        SelectObject(hdc, oldPen);
        DeleteObject(pen);
    }
    if (global & CDRF_NOTIFYPOSTPAINT)
        CustomDraw(lv, cd, CDDS_POSTPAINT, hdc, client, -1, 0, 0);
    RestoreDC(hdc, saved);
}

// Which row and column a point lies on; the flags as the hit tests report them.
void HitTest(ListView& lv, LVHITTESTINFO* info, bool subItems)
{
    const RECT client = Client(lv);
    const POINT pt = info->pt;
    info->flags = 0;
    info->iItem = -1;
    info->iSubItem = 0;
    if (pt.y < HeaderHeight(lv) && pt.y >= 0 && HeaderHeight(lv) > 0) {
        info->flags = LVHT_NOWHERE;
        return;
    }
    if (pt.y < 0)
        info->flags |= LVHT_ABOVE;
    else if (pt.y >= client.bottom)
        info->flags |= LVHT_BELOW;
    if (pt.x < 0)
        info->flags |= LVHT_TOLEFT;
    else if (pt.x >= client.right)
        info->flags |= LVHT_TORIGHT;
    if (info->flags)
        return;
    const int row = lv.top + (pt.y - HeaderHeight(lv)) / RowHeight(lv);
    int column = -1;
    for (int c = 0; c < ColumnCount(lv); ++c) {
        const RECT span = ColumnSpan(lv, c);
        if (pt.x >= span.left && pt.x < span.right)
            column = c;
    }
    if (!Valid(lv, row) || column < 0) {
        info->flags = LVHT_NOWHERE;
        return;
    }
    if (column == 0) {
        const RECT icon = IconRect(lv, row);
        info->flags = (pt.x < icon.right && icon.right > icon.left) ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
    } else if (subItems || (lv.exStyle & LVS_EX_FULLROWSELECT)) {
        info->flags = LVHT_ONITEMLABEL;
    } else {
        info->flags = LVHT_NOWHERE;
        return;
    }
    info->iItem = row;
    info->iSubItem = subItems ? column : 0;
}

UINT KeyFlags()
{
    UINT flags = 0;
    if (KeyDown(VK_CONTROL))
        flags |= LVKF_CONTROL;
    if (KeyDown(VK_SHIFT))
        flags |= LVKF_SHIFT;
    if (KeyDown(VK_MENU))
        flags |= LVKF_ALT;
    return flags;
}

LRESULT NotifyActivate(ListView& lv, UINT code, const LVHITTESTINFO& hit)
{
    NMITEMACTIVATE nm{};
    nm.iItem = hit.iItem;
    nm.iSubItem = hit.iSubItem;
    nm.ptAction = hit.pt;
    nm.uKeyFlags = KeyFlags();
    if (Valid(lv, hit.iItem) && !OwnerData(lv))
        nm.lParam = lv.rows[static_cast<size_t>(hit.iItem)].lParam;
    return SendNotify(lv.hwnd, code, &nm.hdr);
}

void SelectByClick(ListView& lv, int item, bool shift, bool control)
{
    const bool single = (Style(lv) & LVS_SINGLESEL) != 0;
    if (item < 0) {
        if (!shift && !control)
            SelectOnly(lv, -1);
        return;
    }
    if (shift && !single) {
        const int anchor = Valid(lv, lv.mark) ? lv.mark : item;
        SelectRange(lv, anchor, item, control);
        ChangeState(lv, item, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if (control && !single) {
        const bool selected = (RawState(lv, item) & LVIS_SELECTED) != 0;
        ChangeState(lv, item, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        lv.mark = item;
    } else {
        SelectOnly(lv, item);
        ChangeState(lv, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        lv.mark = item;
    }
}

void MoveByKey(ListView& lv, int target)
{
    if (Count(lv) == 0)
        return;
    target = std::clamp(target, 0, Count(lv) - 1);
    const bool shift = KeyDown(VK_SHIFT), control = KeyDown(VK_CONTROL);
    if (shift && !(Style(lv) & LVS_SINGLESEL)) {
        const int anchor = Valid(lv, lv.mark) ? lv.mark : target;
        SelectRange(lv, anchor, target, false);
        ChangeState(lv, target, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if (control) {
        ChangeState(lv, target, LVIS_FOCUSED, LVIS_FOCUSED);
    } else {
        SelectOnly(lv, target);
        ChangeState(lv, target, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        lv.mark = target;
    }
    EnsureVisible(lv, target, false);
}

void OnKey(ListView& lv, UINT key)
{
    NMLVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(key);
    SendNotify(lv.hwnd, LVN_KEYDOWN, &nm.hdr);
    const int page = std::max(1, CountPerPage(lv));
    const int focus = lv.focus;
    switch (key) {
    case VK_UP:
        MoveByKey(lv, focus < 0 ? 0 : focus - 1);
        break;
    case VK_DOWN:
        MoveByKey(lv, focus < 0 ? 0 : focus + 1);
        break;
    case VK_HOME:
        MoveByKey(lv, 0);
        break;
    case VK_END:
        MoveByKey(lv, Count(lv) - 1);
        break;
    case VK_PRIOR:
        MoveByKey(lv, focus <= lv.top ? focus - page + 1 : lv.top);
        break;
    case VK_NEXT: {
        const int bottom = lv.top + page - 1;
        MoveByKey(lv, focus >= bottom ? focus + page - 1 : bottom);
        break;
    }
    case VK_SPACE:
        if (KeyDown(VK_CONTROL) && Valid(lv, focus)) {
            const bool selected = (RawState(lv, focus) & LVIS_SELECTED) != 0;
            ChangeState(lv, focus, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
            lv.mark = focus;
        }
        break;
    case VK_RETURN:
        SendSimpleNotify(lv.hwnd, NM_RETURN);
        break;
    default:
        break;
    }
}

void OnScroll(ListView& lv, bool vertical, WPARAM wParam)
{
    const int code = LOWORD(wParam);
    const int pos = ScrollThumbPosition(lv.hwnd, vertical ? SB_VERT : SB_HORZ, wParam);
    if (vertical) {
        const int page = std::max(1, CountPerPage(lv));
        int top = lv.top;
        switch (code) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: top = pos; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = MaxTop(lv); break;
        default: return;
        }
        ScrollTo(lv, top, lv.scrollX);
    } else {
        const int width = Client(lv).right;
        int x = lv.scrollX;
        switch (code) {
        case SB_LINELEFT: x -= 8; break;
        case SB_LINERIGHT: x += 8; break;
        case SB_PAGELEFT: x -= width; break;
        case SB_PAGERIGHT: x += width; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: x = pos; break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = TotalWidth(lv); break;
        default: return;
        }
        ScrollTo(lv, lv.top, x);
    }
}

int AutoWidth(ListView& lv, int column, bool useHeader)
{
    const size_t c = static_cast<size_t>(column);
    int width = 0;
    // Owner data: only the rows on screen are asked for.
    const int first = OwnerData(lv) ? lv.top : 0;
    const int last = OwnerData(lv) ? std::min(Count(lv), lv.top + CountPerPage(lv) + 1) : Count(lv);
    for (int i = first; i < last; ++i)
        width = std::max(width, TextWidth(lv.font, ItemText(lv, i, lv.columns[c].subItem)));
    width += 2 * kCellMargin + (column == 0 ? IconWidth(lv) : 0);
    if (useHeader) {
        char text[kTextBuffer] = "";
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = kTextBuffer;
        SendMessageA(lv.header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(&item));
        width = std::max(width, TextWidth(lv.font, text) + 2 * kCellMargin + 6);
        // The last column fills what is left of the client area.
        if (column == ColumnCount(lv) - 1) {
            const int left = ColumnSpan(lv, column).left + lv.scrollX;
            width = std::max(width, static_cast<int>(Client(lv).right) - left);
        }
    }
    return width;
}

BOOL SetColumnWidth(ListView& lv, int column, int width)
{
    if (column < 0 || column >= ColumnCount(lv))
        return FALSE;
    if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER)
        width = AutoWidth(lv, column, width == LVSCW_AUTOSIZE_USEHEADER);
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = std::max(0, width);
    return static_cast<BOOL>(SendMessageA(lv.header, HDM_SETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)));
}

LRESULT InsertColumn(ListView& lv, int index, const LVCOLUMNA& in)
{
    index = std::clamp(index, 0, ColumnCount(lv));
    Column column;
    column.subItem = (in.mask & LVCF_SUBITEM) ? in.iSubItem : index;
    column.fmt = (in.mask & LVCF_FMT) ? in.fmt : LVCFMT_LEFT;
    column.image = (in.mask & LVCF_IMAGE) ? in.iImage : 0;
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_WIDTH;
    item.fmt = HDF_STRING | (column.fmt & HDF_JUSTIFYMASK);
    item.cxy = (in.mask & LVCF_WIDTH) ? in.cx : 0;
    if ((in.mask & LVCF_TEXT) && in.pszText) {
        item.mask |= HDI_TEXT;
        item.pszText = in.pszText;
    }
    if (in.mask & LVCF_ORDER) {
        item.mask |= HDI_ORDER;
        item.iOrder = in.iOrder;
    }
    const LRESULT at = SendMessageA(lv.header, HDM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (at < 0)
        return -1;
    lv.columns.insert(lv.columns.begin() + at, column);
    LayoutHeader(lv);
    UpdateScrollBars(lv);
    Invalidate(lv);
    return at;
}

BOOL ColumnInfo(ListView& lv, int index, LVCOLUMNA* out)
{
    if (!out || index < 0 || index >= ColumnCount(lv))
        return FALSE;
    const Column& column = lv.columns[static_cast<size_t>(index)];
    HDITEMA item{};
    item.mask = HDI_WIDTH | HDI_ORDER | ((out->mask & LVCF_TEXT) ? HDI_TEXT : 0);
    item.pszText = out->pszText;
    item.cchTextMax = out->cchTextMax;
    SendMessageA(lv.header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (out->mask & LVCF_FMT)
        out->fmt = column.fmt;
    if (out->mask & LVCF_WIDTH)
        out->cx = item.cxy;
    if (out->mask & LVCF_SUBITEM)
        out->iSubItem = column.subItem;
    if (out->mask & LVCF_IMAGE)
        out->iImage = column.image;
    if (out->mask & LVCF_ORDER)
        out->iOrder = item.iOrder;
    return TRUE;
}

BOOL SetColumn(ListView& lv, int index, const LVCOLUMNA& in)
{
    if (index < 0 || index >= ColumnCount(lv))
        return FALSE;
    Column& column = lv.columns[static_cast<size_t>(index)];
    HDITEMA item{};
    if (in.mask & LVCF_FMT) {
        column.fmt = in.fmt;
        item.mask |= HDI_FORMAT;
        item.fmt = HDF_STRING | (in.fmt & HDF_JUSTIFYMASK);
    }
    if (in.mask & LVCF_WIDTH) {
        item.mask |= HDI_WIDTH;
        item.cxy = in.cx;
    }
    if ((in.mask & LVCF_TEXT) && in.pszText) {
        item.mask |= HDI_TEXT;
        item.pszText = in.pszText;
    }
    if (in.mask & LVCF_SUBITEM)
        column.subItem = in.iSubItem;
    if (in.mask & LVCF_IMAGE)
        column.image = in.iImage;
    if (item.mask)
        SendMessageA(lv.header, HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    Invalidate(lv);
    return TRUE;
}

BOOL GetItem(ListView& lv, LVITEMA* out)
{
    if (!out || !Valid(lv, out->iItem))
        return FALSE;
    const int i = out->iItem;
    if (out->mask & LVIF_STATE)
        out->state = RawState(lv, i) & out->stateMask;
    if (OwnerData(lv)) {
        const UINT asked = out->mask & (LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_INDENT);
        if (asked) {
            NMLVDISPINFOA disp{};
            disp.item = *out;
            disp.item.mask = asked;
            char* buffer = out->pszText;
            const int size = out->cchTextMax;
            if ((asked & LVIF_TEXT) && buffer && size > 0)
                buffer[0] = 0;
            SendNotify(lv.hwnd, LVN_GETDISPINFOA, &disp.hdr);
            if (asked & LVIF_TEXT)
                FinishDisplayText(buffer, size, disp.item.pszText);
            if (asked & LVIF_IMAGE)
                out->iImage = disp.item.iImage;
            if (asked & LVIF_PARAM)
                out->lParam = disp.item.lParam;
            if (asked & LVIF_INDENT)
                out->iIndent = disp.item.iIndent;
        }
        return TRUE;
    }
    const Row& row = lv.rows[static_cast<size_t>(i)];
    if (out->mask & LVIF_TEXT) {
        const size_t s = static_cast<size_t>(out->iSubItem);
        if (s < row.callback.size() && row.callback[s])
            AskDisplayInfo(lv, i, out->iSubItem, LVIF_TEXT, out->pszText, out->cchTextMax, nullptr);
        else
            CopyGbkText(s < row.texts.size() ? row.texts[s].c_str() : "", out->pszText, out->cchTextMax);
    }
    if (out->mask & LVIF_IMAGE)
        out->iImage = row.image == I_IMAGECALLBACK ? ItemImage(lv, i) : row.image;
    if (out->mask & LVIF_PARAM)
        out->lParam = row.lParam;
    return TRUE;
}

BOOL SetItem(ListView& lv, const LVITEMA& in)
{
    if (!Valid(lv, in.iItem))
        return FALSE;
    if (!OwnerData(lv)) {
        Row& row = lv.rows[static_cast<size_t>(in.iItem)];
        if (in.mask & LVIF_TEXT)
            SetRowText(row, in.iSubItem, in.pszText);
        if ((in.mask & LVIF_IMAGE) && in.iSubItem == 0)
            row.image = in.iImage;
        if ((in.mask & LVIF_PARAM) && in.iSubItem == 0)
            row.lParam = in.lParam;
    }
    if (in.mask & LVIF_STATE)
        if (!ChangeState(lv, in.iItem, in.state, in.stateMask))
            return FALSE;
    InvalidateRow(lv, in.iItem);
    return TRUE;
}

LRESULT InsertItem(ListView& lv, const LVITEMA& in)
{
    if (OwnerData(lv) || in.iSubItem != 0)
        return -1;
    const int at = std::clamp(in.iItem, 0, Count(lv));
    Row row;
    SetRowText(row, 0, (in.mask & LVIF_TEXT) ? in.pszText : "");
    if (in.mask & LVIF_IMAGE)
        row.image = in.iImage;
    if (in.mask & LVIF_PARAM)
        row.lParam = in.lParam;
    lv.rows.insert(lv.rows.begin() + at, row);
    if (lv.focus >= at)
        ++lv.focus;
    if (lv.mark >= at)
        ++lv.mark;
    if (in.mask & LVIF_STATE)
        lv.rows[static_cast<size_t>(at)].state = in.state & in.stateMask & ~static_cast<UINT>(LVIS_FOCUSED);
    NotifyItem(lv, LVN_INSERTITEM, at, 0, 0, 0, 0);
    if ((in.mask & LVIF_STATE) && (in.state & in.stateMask & LVIS_FOCUSED))
        ChangeState(lv, at, LVIS_FOCUSED, LVIS_FOCUSED);
    UpdateScrollBars(lv);
    Invalidate(lv);
    return at;
}

BOOL DeleteItem(ListView& lv, int i)
{
    if (!Valid(lv, i))
        return FALSE;
    if (!OwnerData(lv))
        NotifyItem(lv, LVN_DELETEITEM, i, 0, 0, 0, 0);
    if (!Valid(lv, i))
        return FALSE;
    if (OwnerData(lv))
        lv.ownerStates.erase(lv.ownerStates.begin() + i);
    else
        lv.rows.erase(lv.rows.begin() + i);
    if (lv.focus == i)
        lv.focus = -1;
    else if (lv.focus > i)
        --lv.focus;
    if (lv.mark == i)
        lv.mark = -1;
    else if (lv.mark > i)
        --lv.mark;
    lv.top = std::min(lv.top, MaxTop(lv));
    UpdateScrollBars(lv);
    Invalidate(lv);
    return TRUE;
}

BOOL DeleteAll(ListView& lv)
{
    if (!OwnerData(lv) && !lv.rows.empty()) {
        // A parent answering TRUE wants no note per row.
        if (!NotifyItem(lv, LVN_DELETEALLITEMS, -1, 0, 0, 0, 0))
            for (int i = 0; i < Count(lv); ++i)
                NotifyItem(lv, LVN_DELETEITEM, i, 0, 0, 0, 0);
    }
    lv.rows.clear();
    lv.ownerStates.clear();
    lv.focus = lv.mark = -1;
    lv.top = 0;
    UpdateScrollBars(lv);
    Invalidate(lv);
    return TRUE;
}

int NextItem(ListView& lv, int start, UINT flags)
{
    const UINT want = flags & (LVNI_SELECTED | LVNI_FOCUSED | LVNI_CUT | LVNI_DROPHILITED);
    auto matches = [&](int i) { return (RawState(lv, i) & want) == want; };
    if (flags & LVNI_ABOVE) {
        for (int i = start - 1; i >= 0; --i)
            if (matches(i))
                return i;
        return -1;
    }
    if (want == LVNI_FOCUSED && !(flags & LVNI_BELOW))
        return (lv.focus > start || start < 0) && Valid(lv, lv.focus) ? lv.focus : -1;
    for (int i = start < 0 ? 0 : start + 1; i < Count(lv); ++i)
        if (matches(i))
            return i;
    return -1;
}

BOOL ItemRect(ListView& lv, int i, RECT* out, bool subItem)
{
    if (!out || !Valid(lv, i))
        return FALSE;
    const int code = out->left;
    if (subItem && out->top > 0) {
        const int column = out->top;
        if (column >= ColumnCount(lv))
            return FALSE;
        *out = CellRect(lv, i, column);
        if (code == LVIR_ICON)
            out->right = out->left;
        return TRUE;
    }
    switch (code) {
    case LVIR_BOUNDS:
        *out = RowRect(lv, i);
        break;
    case LVIR_ICON:
        *out = IconRect(lv, i);
        break;
    case LVIR_LABEL:
        *out = LabelRect(lv, i);
        break;
    case LVIR_SELECTBOUNDS:
        *out = (lv.exStyle & LVS_EX_FULLROWSELECT) ? RowRect(lv, i) : CellRect(lv, i, 0);
        break;
    default:
        return FALSE;
    }
    return TRUE;
}

void OnButtonDown(ListView& lv, LPARAM lParam, bool right, bool doubleClick)
{
    LVHITTESTINFO hit{};
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HitTest(lv, &hit, true);
    const int item = (hit.flags & LVHT_ONITEM) ? hit.iItem : -1;
    LVHITTESTINFO plain{};
    plain.pt = hit.pt;
    HitTest(lv, &plain, false);
    const int selectable = (plain.flags & LVHT_ONITEM) ? plain.iItem : -1;
    if (GetFocus() != lv.hwnd)
        SetFocus(lv.hwnd);
    const bool shift = KeyDown(VK_SHIFT), control = KeyDown(VK_CONTROL);
    if (right) {
        if (selectable >= 0 && !(RawState(lv, selectable) & LVIS_SELECTED))
            SelectByClick(lv, selectable, false, false);
        else if (selectable >= 0)
            ChangeState(lv, selectable, LVIS_FOCUSED, LVIS_FOCUSED);
        else if (!shift && !control)
            SelectOnly(lv, -1);
    } else if (!doubleClick) {
        SelectByClick(lv, selectable, shift, control);
    }
    if (selectable < 0)
        hit.iItem = -1;
    else
        hit.iItem = item;
    if (doubleClick) {
        NotifyActivate(lv, right ? NM_RDBLCLK : NM_DBLCLK, hit);
        return;
    }
    lv.pressItem = selectable;
    lv.pressPoint = hit.pt;
    lv.pressRight = right;
    lv.dragSent = false;
    SetCapture(lv.hwnd);
}

void OnButtonUp(ListView& lv, LPARAM lParam, bool right)
{
    if (GetCapture() != lv.hwnd || lv.pressRight != right)
        return;
    ReleaseCapture();
    if (lv.dragSent)
        return;
    LVHITTESTINFO hit{};
    hit.pt = lv.pressPoint;
    HitTest(lv, &hit, true);
    if (!(hit.flags & LVHT_ONITEM) || lv.pressItem < 0)
        hit.iItem = -1;
    (void)lParam;
    NotifyActivate(lv, right ? NM_RCLICK : NM_CLICK, hit);
}

void OnMouseMove(ListView& lv, LPARAM lParam)
{
    if (GetCapture() != lv.hwnd || lv.dragSent || lv.pressItem < 0)
        return;
    const int dx = std::abs(GET_X_LPARAM(lParam) - lv.pressPoint.x);
    const int dy = std::abs(GET_Y_LPARAM(lParam) - lv.pressPoint.y);
    if (dx <= GetSystemMetrics(SM_CXDRAG) && dy <= GetSystemMetrics(SM_CYDRAG))
        return;
    lv.dragSent = true;
    ReleaseCapture();
    NotifyItem(lv, lv.pressRight ? LVN_BEGINRDRAG : LVN_BEGINDRAG, lv.pressItem, 0, 0, 0, 0, lv.pressPoint);
}

LRESULT OnHeaderNotify(ListView& lv, WPARAM wParam, NMHDR* hdr)
{
    // What the header says goes on to the list's parent as it stands.
    HWND parent = GetParent(lv.hwnd);
    LRESULT answer = parent ? SendMessageA(parent, WM_NOTIFY, wParam, reinterpret_cast<LPARAM>(hdr)) : 0;
    const UINT code = hdr->code;
    if (code == HDN_ITEMCHANGEDA || code == HDN_ITEMCHANGEDW || code == HDN_TRACKA || code == HDN_TRACKW) {
        LayoutHeader(lv);
        UpdateScrollBars(lv);
        Invalidate(lv);
    } else if (code == HDN_ITEMCLICKA || code == HDN_ITEMCLICKW) {
        const auto* nm = reinterpret_cast<NMHEADERA*>(hdr);
        NotifyItem(lv, LVN_COLUMNCLICK, -1, nm->iItem, 0, 0, 0);
    } else if ((code == HDN_DIVIDERDBLCLICKA || code == HDN_DIVIDERDBLCLICKW) && !answer) {
        const auto* nm = reinterpret_cast<NMHEADERA*>(hdr);
        SetColumnWidth(lv, nm->iItem, LVSCW_AUTOSIZE);
    }
    return answer;
}

void ApplyHeaderStyle(ListView& lv)
{
    if (!lv.header)
        return;
    LONG style = GetWindowLongA(lv.header, GWL_STYLE);
    if (Style(lv) & LVS_NOSORTHEADER)
        style &= ~static_cast<LONG>(HDS_BUTTONS);
    else
        style |= HDS_BUTTONS;
    SetWindowLongA(lv.header, GWL_STYLE, style);
    LayoutHeader(lv);
}

LRESULT ListView::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    ListView* lv = this;
    switch (message) {
    case WM_CREATE:
        RegisterHeaderClass();
        lv->header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | HDS_HORZ | HDS_BUTTONS, 0, 0, 0, 0, hwnd, nullptr,
                                     nullptr, nullptr);
        ApplyHeaderStyle(*lv);
        return 0;
    case WM_DESTROY:
        if (!OwnerData(*lv) && !lv->rows.empty())
            DeleteAll(*lv);
        break;
    case WM_SIZE:
        LayoutHeader(*lv);
        lv->top = std::min(lv->top, MaxTop(*lv));
        UpdateScrollBars(*lv);
        Invalidate(*lv);
        return 0;
    case WM_STYLECHANGED:
        ApplyHeaderStyle(*lv);
        Invalidate(*lv);
        return 0;
    case WM_SETFONT:
        lv->font = reinterpret_cast<HFONT>(wParam);
        SendMessageA(lv->header, WM_SETFONT, wParam, lParam);
        LayoutHeader(*lv);
        if (LOWORD(lParam))
            Invalidate(*lv);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(lv->font);
    case WM_SETREDRAW:
        lv->redraw = wParam != 0;
        DefWindowProcA(hwnd, message, wParam, lParam);
        if (lv->redraw) {
            UpdateScrollBars(*lv);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PaintDc dc(hwnd, wParam);
        Paint(*lv, dc.Get());
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(*lv);
        SendSimpleNotify(hwnd, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        OnKey(*lv, static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(*lv, lParam, message == WM_RBUTTONDOWN, false);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        OnButtonDown(*lv, lParam, message == WM_RBUTTONDBLCLK, true);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(*lv, lParam, message == WM_RBUTTONUP);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(*lv, lParam);
        return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(*lv, message == WM_VSCROLL, wParam);
        return 0;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<short>(HIWORD(wParam));
        ScrollTo(*lv, lv->top - delta / WHEEL_DELTA * 3, lv->scrollX);
        return 0;
    }
    case WM_NOTIFY: {
        NMHDR* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->hwndFrom == lv->header && lv->header)
            return OnHeaderNotify(*lv, wParam, hdr);
        break;
    }
    case LVM_GETHEADER:
        return reinterpret_cast<LRESULT>(lv->header);
    case LVM_GETITEMCOUNT:
        return Count(*lv);
    case LVM_SETITEMCOUNT: {
        if (!OwnerData(*lv))
            return TRUE;
        const int count = std::max(0, static_cast<int>(wParam));
        lv->ownerStates.resize(static_cast<size_t>(count), 0);
        if (lv->focus >= count)
            lv->focus = -1;
        if (lv->mark >= count)
            lv->mark = -1;
        if (!(lParam & LVSICF_NOSCROLL))
            lv->top = std::min(lv->top, MaxTop(*lv));
        UpdateScrollBars(*lv);
        Invalidate(*lv);
        return TRUE;
    }
    case LVM_INSERTITEMA: {
        const LVITEMA* in = reinterpret_cast<const LVITEMA*>(lParam);
        return in ? InsertItem(*lv, *in) : -1;
    }
    case LVM_DELETEITEM:
        return DeleteItem(*lv, static_cast<int>(wParam));
    case LVM_DELETEALLITEMS:
        return DeleteAll(*lv);
    case LVM_GETITEMA:
        return GetItem(*lv, reinterpret_cast<LVITEMA*>(lParam));
    case LVM_SETITEMA: {
        const LVITEMA* in = reinterpret_cast<const LVITEMA*>(lParam);
        return in ? SetItem(*lv, *in) : FALSE;
    }
    case LVM_GETITEMTEXTA: {
        LVITEMA* out = reinterpret_cast<LVITEMA*>(lParam);
        if (!out || !out->pszText || out->cchTextMax <= 0)
            return 0;
        LVITEMA item = *out;
        item.iItem = static_cast<int>(wParam);
        item.mask = LVIF_TEXT;
        if (!GetItem(*lv, &item)) {
            out->pszText[0] = 0;
            return 0;
        }
        return static_cast<LRESULT>(std::strlen(out->pszText));
    }
    case LVM_SETITEMTEXTA: {
        const LVITEMA* in = reinterpret_cast<const LVITEMA*>(lParam);
        if (!in || OwnerData(*lv))
            return FALSE;
        LVITEMA item = *in;
        item.iItem = static_cast<int>(wParam);
        item.mask = LVIF_TEXT;
        return SetItem(*lv, item);
    }
    case LVM_SETITEMSTATE: {
        const LVITEMA* in = reinterpret_cast<const LVITEMA*>(lParam);
        if (!in)
            return FALSE;
        return ChangeState(*lv, static_cast<int>(wParam), in->state, in->stateMask);
    }
    case LVM_GETITEMSTATE:
        return Valid(*lv, static_cast<int>(wParam)) ? (RawState(*lv, static_cast<int>(wParam)) & lParam) : 0;
    case LVM_GETNEXTITEM:
        return NextItem(*lv, static_cast<int>(wParam), static_cast<UINT>(LOWORD(lParam)));
    case LVM_GETSELECTEDCOUNT: {
        int n = 0;
        for (int i = 0; i < Count(*lv); ++i)
            if (RawState(*lv, i) & LVIS_SELECTED)
                ++n;
        return n;
    }
    case LVM_GETSELECTIONMARK:
        return lv->mark;
    case LVM_SETSELECTIONMARK: {
        const int old = lv->mark;
        lv->mark = static_cast<int>(lParam);
        return old;
    }
    case LVM_ENSUREVISIBLE:
        return EnsureVisible(*lv, static_cast<int>(wParam), lParam != 0);
    case LVM_SCROLL: {
        const int dy = static_cast<int>(lParam) / RowHeight(*lv);
        ScrollTo(*lv, lv->top + dy, lv->scrollX + static_cast<int>(wParam));
        return TRUE;
    }
    case LVM_GETTOPINDEX:
        return lv->top;
    case LVM_GETCOUNTPERPAGE:
        return CountPerPage(*lv);
    case LVM_HITTEST:
    case LVM_SUBITEMHITTEST: {
        LVHITTESTINFO* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        HitTest(*lv, info, message == LVM_SUBITEMHITTEST);
        return info->iItem;
    }
    case LVM_GETITEMRECT:
        return ItemRect(*lv, static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam), false);
    case LVM_GETSUBITEMRECT:
        return ItemRect(*lv, static_cast<int>(wParam), reinterpret_cast<RECT*>(lParam), true);
    case LVM_REDRAWITEMS:
        for (int i = static_cast<int>(wParam); i <= static_cast<int>(lParam); ++i)
            InvalidateRow(*lv, i);
        return TRUE;
    case LVM_UPDATE:
        InvalidateRow(*lv, static_cast<int>(wParam));
        return TRUE;
    case LVM_INSERTCOLUMNA: {
        const LVCOLUMNA* in = reinterpret_cast<const LVCOLUMNA*>(lParam);
        return in ? InsertColumn(*lv, static_cast<int>(wParam), *in) : -1;
    }
    case LVM_SETCOLUMNA: {
        const LVCOLUMNA* in = reinterpret_cast<const LVCOLUMNA*>(lParam);
        return in ? SetColumn(*lv, static_cast<int>(wParam), *in) : FALSE;
    }
    case LVM_GETCOLUMNA:
        return ColumnInfo(*lv, static_cast<int>(wParam), reinterpret_cast<LVCOLUMNA*>(lParam));
    case LVM_DELETECOLUMN: {
        const int c = static_cast<int>(wParam);
        if (c < 0 || c >= ColumnCount(*lv))
            return FALSE;
        SendMessageA(lv->header, HDM_DELETEITEM, wParam, 0);
        lv->columns.erase(lv->columns.begin() + c);
        LayoutHeader(*lv);
        Invalidate(*lv);
        return TRUE;
    }
    case LVM_GETCOLUMNWIDTH:
        return ColumnWidth(*lv, static_cast<int>(wParam));
    case LVM_SETCOLUMNWIDTH:
        // The width travels in the low 16 bits.
        return SetColumnWidth(*lv, static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)));
    case LVM_GETCOLUMNORDERARRAY:
        return SendMessageA(lv->header, HDM_GETORDERARRAY, wParam, lParam);
    case LVM_SETCOLUMNORDERARRAY: {
        const LRESULT ok = SendMessageA(lv->header, HDM_SETORDERARRAY, wParam, lParam);
        Invalidate(*lv);
        return ok;
    }
    case LVM_SETWORKAREAS:
        Invalidate(*lv);
        return 0;
    case LVM_SETIMAGELIST: {
        if (wParam > LVSIL_STATE)
            return 0;
        HIMAGELIST old = lv->images[wParam];
        lv->images[wParam] = reinterpret_cast<HIMAGELIST>(lParam);
        UpdateScrollBars(*lv);
        Invalidate(*lv);
        return reinterpret_cast<LRESULT>(old);
    }
    case LVM_GETIMAGELIST:
        return wParam <= LVSIL_STATE ? reinterpret_cast<LRESULT>(lv->images[wParam]) : 0;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
        const DWORD old = lv->exStyle;
        const DWORD mask = wParam ? static_cast<DWORD>(wParam) : 0xFFFFFFFFu;
        lv->exStyle = (old & ~mask) | (static_cast<DWORD>(lParam) & mask);
        Invalidate(*lv);
        return old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE:
        return lv->exStyle;
    case LVM_GETBKCOLOR:
        return BkColour(*lv);
    case LVM_SETBKCOLOR:
        lv->bk = static_cast<COLORREF>(lParam);
        lv->colorsSet[0] = true;
        Invalidate(*lv);
        return TRUE;
    case LVM_GETTEXTCOLOR:
        return TextColour(*lv);
    case LVM_SETTEXTCOLOR:
        lv->text = static_cast<COLORREF>(lParam);
        lv->colorsSet[1] = true;
        Invalidate(*lv);
        return TRUE;
    case LVM_GETTEXTBKCOLOR:
        return TextBkColour(*lv);
    case LVM_SETTEXTBKCOLOR:
        lv->textBk = static_cast<COLORREF>(lParam);
        lv->colorsSet[2] = true;
        Invalidate(*lv);
        return TRUE;
    case LVM_GETSTRINGWIDTHA:
        return lParam ? TextWidth(lv->font, reinterpret_cast<const char*>(lParam)) : 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

void RegisterListViewClass()
{
    RegisterControl(WC_LISTVIEWA, ControlProc<ListView>, CS_DBLCLKS);
}

} // namespace tavrin::controls
