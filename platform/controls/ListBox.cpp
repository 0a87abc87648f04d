// "LISTBOX": items of fixed height. With LBS_MULTIPLESEL a click or Space
// toggles the caret item; otherwise the caret item is the selection.
// LBS_COMBOBOX lists (a combo box's drop-down) follow the mouse without a
// button and tell their combo box what happened: LBN_SELCHANGE when an item
// was chosen by a release, LBN_SELCANCEL when a press fell outside.
#include "platform/controls/ListBox.h"

#include "platform/controls/Control.h"

#include "platform/win/ScrollBar.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <vector>

namespace tavrin::controls {

namespace {

struct Item {
    std::string text;
    ULONG_PTR data = 0;
    bool selected = false;
};

class ListBox : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
    // A dropped list tells its combo box, whose top-level window owns it.
    HWND NotifyTarget() const override { return m_combo ? m_combo : Control::NotifyTarget(); }

private:
    int Count() const { return static_cast<int>(m_items.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    bool Multi() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    bool OwnerDraw() const { return (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
    bool HasStrings() const { return !OwnerDraw() || (Style() & LBS_HASSTRINGS); }
    bool InCombo() const { return (Style() & LBS_COMBOBOX) != 0; }
    int ItemHeight() const;
    int VisibleRows() const;
    int Selected() const;

    int Insert(int index, LPARAM lParam);
    LRESULT Delete(int index);
    int Find(int start, LPCSTR text, bool exact) const;
    // Single selection: selects one item (or none for -1); true when it changed.
    bool Select(int index);
    void SetCaret(int index, bool scroll);
    void SetTop(int index);
    void EnsureVisible(int index);
    int ItemAt(POINT pt, bool* outside) const;
    void SelectionChanged(bool notify) const;
    void MouseDown(POINT pt, bool doubleClick);
    void KeyDown(UINT key);
    void Char(char ch);
    void UpdateScrollBar();
    void Scroll(UINT request, int thumb);
    void Paint(HDC hdc) override;
    void DrawItem(HDC hdc, int index, const RECT& rc, UINT action);

    std::vector<Item> m_items;
    int m_top = 0;
    int m_caret = -1;
    int m_anchor = -1;
    int m_itemHeight = 0; // 0: the font's
    bool m_focused = false;
    bool m_tracking = false;   // left button held, mouse captured
    int m_pressSelection = -1; // the selection when the button went down
    bool m_pressedInside = false;
    POINT m_lastMove{-1, -1};
    HWND m_combo = nullptr;
    bool m_scrollBar = false;
};

LRESULT ListBox::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // The window system drops WS_VSCROLL while the bar is hidden.
        m_scrollBar = (reinterpret_cast<CREATESTRUCTA*>(lParam)->style & WS_VSCROLL) != 0;
        if (InCombo())
            m_combo = static_cast<HWND>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (Style() & LBS_OWNERDRAWFIXED) {
            MEASUREITEMSTRUCT mis{ODT_LISTBOX, static_cast<UINT>(Id()), 0, 0, static_cast<UINT>(ItemHeight()), 0};
            if (HWND target = NotifyTarget())
                SendMessageA(target, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
            if (mis.itemHeight > 0 && mis.itemHeight < 256)
                m_itemHeight = static_cast<int>(mis.itemHeight);
        }
        UpdateScrollBar();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_MOUSEACTIVATE:
        return InCombo() ? MA_NOACTIVATE : DefWindowProcA(m_hwnd, message, wParam, lParam);
    case WM_SIZE:
        SetTop(m_top);
        UpdateScrollBar();
        return 0;
    case WM_SETFONT:
        Control::Handle(message, wParam, lParam);
        SetTop(m_top);
        UpdateScrollBar();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_focused = message == WM_SETFOCUS;
        Redraw();
        if (Style() & LBS_NOTIFY)
            Command(m_focused ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, message == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const bool moved = pt.x != m_lastMove.x || pt.y != m_lastMove.y;
        m_lastMove = pt;
        bool outside = false;
        const int index = ItemAt(pt, &outside);
        if (InCombo()) {
            if (moved && !outside && index >= 0 && Select(index))
                SetCaret(index, true);
            if (moved && !outside)
                m_pressedInside = true; // a release after moving in chooses
        } else if (m_tracking && !Multi() && index >= 0) {
            // Dragging past the edge scrolls towards the mouse.
            if (Select(index))
                SetCaret(index, true);
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (InCombo()) {
            RECT rc;
            GetClientRect(m_hwnd, &rc);
            if (PtInRect(&rc, pt) && m_pressedInside && Selected() >= 0)
                Command(LBN_SELCHANGE);
            return 0;
        }
        if (m_tracking) {
            m_tracking = false;
            if (GetCapture() == m_hwnd)
                ReleaseCapture();
            if (!Multi() && Selected() != m_pressSelection)
                SelectionChanged(true);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        // A dropped list that loses the mouse to someone else is cancelled.
        if (InCombo() && IsWindowVisible(m_hwnd) && reinterpret_cast<HWND>(lParam) != m_hwnd)
            Command(LBN_SELCANCEL);
        if (m_tracking && reinterpret_cast<HWND>(lParam) != m_hwnd) {
            m_tracking = false;
            if (!Multi() && Selected() != m_pressSelection)
                SelectionChanged(true);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        const int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
        SetTop(m_top - notches * 3);
        return 0;
    }
    case WM_VSCROLL:
        Scroll(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_KEYDOWN:
        KeyDown(static_cast<UINT>(wParam));
        return 0;
    case WM_CHAR:
        Char(static_cast<char>(wParam));
        return 0;
    case LB_ADDSTRING:
        return Insert(-1, lParam);
    case LB_INSERTSTRING: {
        const int index = static_cast<int>(wParam);
        if (index != -1 && (index < 0 || index > Count()))
            return LB_ERR;
        return Insert(index == -1 ? Count() : index, lParam);
    }
    case LB_DELETESTRING:
        return Delete(static_cast<int>(wParam));
    case LB_RESETCONTENT:
        m_items.clear();
        m_top = 0;
        m_caret = m_anchor = -1;
        UpdateScrollBar();
        Redraw();
        return LB_OKAY;
    case LB_GETCOUNT:
        return Count();
    case LB_GETTEXT: {
        const int index = static_cast<int>(wParam);
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!Valid(index) || !buffer)
            return LB_ERR;
        if (!HasStrings()) {
            std::memcpy(buffer, &m_items[static_cast<size_t>(index)].data, sizeof(ULONG_PTR));
            return sizeof(ULONG_PTR);
        }
        const std::string& text = m_items[static_cast<size_t>(index)].text;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<LRESULT>(text.size());
    }
    case LB_GETTEXTLEN: {
        const int index = static_cast<int>(wParam);
        if (!Valid(index))
            return LB_ERR;
        return HasStrings() ? static_cast<LRESULT>(m_items[static_cast<size_t>(index)].text.size())
                            : static_cast<LRESULT>(sizeof(ULONG_PTR));
    }
    case LB_GETITEMDATA:
        return Valid(static_cast<int>(wParam)) ? static_cast<LRESULT>(m_items[wParam].data) : LB_ERR;
    case LB_SETITEMDATA:
        if (!Valid(static_cast<int>(wParam)))
            return LB_ERR;
        m_items[wParam].data = static_cast<ULONG_PTR>(lParam);
        return TRUE;
    case LB_SETCURSEL: {
        if (Multi())
            return LB_ERR;
        const int index = static_cast<int>(wParam);
        if (!Valid(index)) {
            Select(-1);
            return LB_ERR;
        }
        Select(index);
        SetCaret(index, true);
        return index;
    }
    case LB_GETCURSEL:
        if (Multi())
            return m_caret;
        return Selected() >= 0 ? Selected() : LB_ERR;
    case LB_SETSEL: {
        if (!Multi())
            return LB_ERR;
        const int index = static_cast<int>(lParam);
        if (index == -1) {
            for (Item& item : m_items)
                item.selected = wParam != 0;
        } else if (Valid(index)) {
            m_items[static_cast<size_t>(index)].selected = wParam != 0;
            m_anchor = index;
        } else {
            return LB_ERR;
        }
        Redraw();
        return LB_OKAY;
    }
    case LB_GETSEL:
        return Valid(static_cast<int>(wParam)) ? (m_items[wParam].selected ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT:
        if (!Multi())
            return LB_ERR;
        return std::count_if(m_items.begin(), m_items.end(), [](const Item& i) { return i.selected; });
    case LB_GETSELITEMS: {
        if (!Multi())
            return LB_ERR;
        auto* out = reinterpret_cast<int*>(lParam);
        int n = 0;
        for (int i = 0; i < Count() && out && static_cast<WPARAM>(n) < wParam; ++i)
            if (m_items[static_cast<size_t>(i)].selected)
                out[n++] = i;
        return n;
    }
    case LB_SELITEMRANGE:
    case LB_SELITEMRANGEEX: {
        if (!Multi())
            return LB_ERR;
        int first = message == LB_SELITEMRANGE ? LOWORD(lParam) : static_cast<int>(wParam);
        int last = message == LB_SELITEMRANGE ? HIWORD(lParam) : static_cast<int>(lParam);
        bool select = message == LB_SELITEMRANGE ? wParam != 0 : first <= last;
        if (first > last)
            std::swap(first, last);
        for (int i = std::max(first, 0); i <= last && i < Count(); ++i)
            m_items[static_cast<size_t>(i)].selected = select;
        Redraw();
        return LB_OKAY;
    }
    case LB_GETTOPINDEX:
        return m_top;
    case LB_SETTOPINDEX:
        if (!Valid(static_cast<int>(wParam)) && wParam != 0)
            return LB_ERR;
        SetTop(static_cast<int>(wParam));
        return LB_OKAY;
    case LB_GETCARETINDEX:
        return m_caret;
    case LB_SETCARETINDEX:
        if (!Valid(static_cast<int>(wParam)))
            return LB_ERR;
        if (!Multi())
            Select(static_cast<int>(wParam));
        SetCaret(static_cast<int>(wParam), !lParam);
        return LB_OKAY;
    case LB_GETANCHORINDEX:
        return m_anchor;
    case LB_SETANCHORINDEX:
        if (!Valid(static_cast<int>(wParam)))
            return LB_ERR;
        m_anchor = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETITEMRECT: {
        const int index = static_cast<int>(wParam);
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect || (!Valid(index) && !(index == 0 && Count() == 0)))
            return LB_ERR;
        RECT client;
        GetClientRect(m_hwnd, &client);
        const int h = ItemHeight();
        *rect = RECT{0, (index - m_top) * h, client.right, (index - m_top + 1) * h};
        return LB_OKAY;
    }
    case LB_ITEMFROMPOINT: {
        bool outside = false;
        const int index = ItemAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, &outside);
        return MAKELONG(static_cast<WORD>(std::max(index, 0)), outside ? 1 : 0);
    }
    case LB_SETITEMHEIGHT:
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
            return LB_ERR;
        m_itemHeight = LOWORD(lParam);
        SetTop(m_top);
        UpdateScrollBar();
        Redraw();
        return LB_OKAY;
    case LB_GETITEMHEIGHT:
        return ItemHeight();
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return Find(static_cast<int>(wParam), reinterpret_cast<LPCSTR>(lParam), message == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
        const int index = Find(static_cast<int>(wParam), reinterpret_cast<LPCSTR>(lParam), false);
        if (index < 0 || Multi())
            return index < 0 ? LB_ERR : index;
        Select(index);
        SetCaret(index, true);
        return index;
    }
    case LB_INITSTORAGE:
        m_items.reserve(m_items.size() + wParam);
        return static_cast<LRESULT>(m_items.capacity());
    case LB_SETCOUNT:
        return LB_ERR; // only LBS_NODATA lists take a bare count
    case LB_SETTABSTOPS:
        return TRUE;
    case LB_SETHORIZONTALEXTENT:
    case LB_SETCOLUMNWIDTH:
        return 0;
    case LB_GETHORIZONTALEXTENT:
        return 0;
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

int ListBox::ItemHeight() const
{
    return m_itemHeight > 0 ? m_itemHeight : LineHeight(Font());
}

int ListBox::VisibleRows() const
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    return std::max(1, (rc.bottom - rc.top) / ItemHeight());
}

int ListBox::Selected() const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<size_t>(i)].selected)
            return i;
    return -1;
}

int ListBox::Insert(int index, LPARAM lParam)
{
    Item item;
    if (HasStrings())
        item.text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    else
        item.data = static_cast<ULONG_PTR>(lParam);
    if (index == -1) {
        index = Count();
        if ((Style() & LBS_SORT) && HasStrings()) {
            auto at = std::upper_bound(m_items.begin(), m_items.end(), item, [](const Item& a, const Item& b) {
                return strcasecmp(a.text.c_str(), b.text.c_str()) < 0;
            });
            index = static_cast<int>(at - m_items.begin());
        }
    }
    m_items.insert(m_items.begin() + index, item);
    if (m_caret >= index)
        ++m_caret;
    if (m_anchor >= index)
        ++m_anchor;
    UpdateScrollBar();
    Redraw();
    return index;
}

LRESULT ListBox::Delete(int index)
{
    if (!Valid(index))
        return LB_ERR;
    if (OwnerDraw() && !HasStrings()) {
        DELETEITEMSTRUCT dis{ODT_LISTBOX, static_cast<UINT>(Id()), static_cast<UINT>(index), m_hwnd, m_items[index].data};
        if (HWND target = NotifyTarget())
            SendMessageA(target, WM_DELETEITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    }
    m_items.erase(m_items.begin() + index);
    if (m_caret > index || m_caret >= Count())
        --m_caret;
    if (m_anchor > index || m_anchor >= Count())
        --m_anchor;
    SetTop(m_top);
    UpdateScrollBar();
    Redraw();
    return Count();
}

// Case-insensitive, starting after start and going round; a prefix unless exact.
int ListBox::Find(int start, LPCSTR text, bool exact) const
{
    if (!text || Count() == 0 || !HasStrings())
        return LB_ERR;
    const size_t length = std::strlen(text);
    const int first = (start < -1 || start >= Count()) ? 0 : start + 1;
    for (int n = 0; n < Count(); ++n) {
        const int i = (first + n) % Count();
        const std::string& item = m_items[static_cast<size_t>(i)].text;
        if (exact ? strcasecmp(item.c_str(), text) == 0 : strncasecmp(item.c_str(), text, length) == 0)
            return i;
    }
    return LB_ERR;
}

bool ListBox::Select(int index)
{
    bool changed = false;
    for (int i = 0; i < Count(); ++i) {
        const bool want = i == index;
        if (m_items[static_cast<size_t>(i)].selected != want) {
            m_items[static_cast<size_t>(i)].selected = want;
            changed = true;
        }
    }
    if (changed)
        Redraw();
    return changed;
}

void ListBox::SetCaret(int index, bool scroll)
{
    m_caret = index;
    if (scroll)
        EnsureVisible(index);
    Redraw();
}

void ListBox::SetTop(int index)
{
    const int top = std::clamp(index, 0, std::max(0, Count() - VisibleRows()));
    if (top == m_top)
        return;
    m_top = top;
    UpdateScrollBar();
    Redraw();
}

void ListBox::EnsureVisible(int index)
{
    if (!Valid(index))
        return;
    if (index < m_top)
        SetTop(index);
    else if (index >= m_top + VisibleRows())
        SetTop(index - VisibleRows() + 1);
}

int ListBox::ItemAt(POINT pt, bool* outside) const
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    *outside = !PtInRect(&rc, pt);
    if (Count() == 0) {
        *outside = true;
        return -1;
    }
    int index = m_top + (pt.y < 0 ? -1 : pt.y / ItemHeight());
    if (index >= Count()) {
        index = Count() - 1;
        *outside = true;
    }
    return std::max(index, 0);
}

void ListBox::SelectionChanged(bool notify) const
{
    if (notify && (Style() & LBS_NOTIFY))
        Command(LBN_SELCHANGE);
}

void ListBox::MouseDown(POINT pt, bool doubleClick)
{
    if (InCombo()) {
        RECT rc;
        GetClientRect(m_hwnd, &rc);
        if (!PtInRect(&rc, pt)) {
            // A press outside the dropped list: the combo box decides.
            Command(LBN_SELCANCEL);
            return;
        }
        m_pressedInside = true;
        bool outside = false;
        const int index = ItemAt(pt, &outside);
        if (index >= 0 && !outside && Select(index))
            SetCaret(index, true);
        return;
    }
    if (GetFocus() != m_hwnd)
        SetFocus(m_hwnd);
    bool outside = false;
    const int index = ItemAt(pt, &outside);
    if (index < 0 || outside)
        return; // below the last item
    if (Multi()) {
        Item& item = m_items[static_cast<size_t>(index)];
        if (!doubleClick) {
            item.selected = !item.selected;
            m_anchor = index;
            SetCaret(index, true);
            SelectionChanged(true);
        }
    } else {
        m_pressSelection = doubleClick ? index : Selected();
        Select(index);
        SetCaret(index, true);
        if (!doubleClick) {
            m_tracking = true;
            SetCapture(m_hwnd);
        }
    }
    if (doubleClick && (Style() & LBS_NOTIFY))
        Command(LBN_DBLCLK);
}

void ListBox::KeyDown(UINT key)
{
    if (Style() & LBS_WANTKEYBOARDINPUT) {
        HWND target = NotifyTarget();
        const LRESULT answer = target ? SendMessageA(target, WM_VKEYTOITEM, MAKEWPARAM(key, static_cast<WORD>(m_caret)),
                                                     reinterpret_cast<LPARAM>(m_hwnd))
                                      : -1;
        if (answer == -2)
            return;
        if (answer >= 0 && Valid(static_cast<int>(answer))) {
            if (!Multi() && Select(static_cast<int>(answer)))
                SelectionChanged(true);
            SetCaret(static_cast<int>(answer), true);
            return;
        }
    }
    if (Count() == 0)
        return;
    const int page = std::max(1, VisibleRows() - 1);
    int next = m_caret;
    switch (key) {
    case VK_UP:
    case VK_LEFT: next = m_caret < 0 ? 0 : m_caret - 1; break;
    case VK_DOWN:
    case VK_RIGHT: next = m_caret + 1; break;
    case VK_PRIOR: next = m_caret - page; break;
    case VK_NEXT: next = m_caret + page; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = Count() - 1; break;
    case VK_SPACE:
        if (Multi() && Valid(m_caret)) {
            m_items[static_cast<size_t>(m_caret)].selected = !m_items[static_cast<size_t>(m_caret)].selected;
            Redraw();
            SelectionChanged(true);
        }
        return;
    default:
        return;
    }
    next = std::clamp(next, 0, Count() - 1);
    if (!Multi() && Select(next)) {
        SetCaret(next, true);
        SelectionChanged(true);
    } else {
        SetCaret(next, true);
    }
}

void ListBox::Char(char ch)
{
    if (static_cast<unsigned char>(ch) < ' ' || (Multi() && ch == ' '))
        return;
    const char text[2] = {ch, 0};
    const int index = Find(m_caret, text, false);
    if (index < 0)
        return;
    if (!Multi() && Select(index)) {
        SetCaret(index, true);
        SelectionChanged(true);
    } else {
        SetCaret(index, true);
    }
}

void ListBox::UpdateScrollBar()
{
    if (!m_scrollBar)
        return;
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, Count() - 1),
                  static_cast<UINT>(VisibleRows()), m_top, 0};
    if (Style() & LBS_DISABLENOSCROLL)
        si.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(m_hwnd, SB_VERT, &si, TRUE);
}

void ListBox::Scroll(UINT request, int thumb)
{
    const int page = VisibleRows();
    switch (request) {
    case SB_LINEUP: SetTop(m_top - 1); break;
    case SB_LINEDOWN: SetTop(m_top + 1); break;
    case SB_PAGEUP: SetTop(m_top - page); break;
    case SB_PAGEDOWN: SetTop(m_top + page); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetTop(thumb); break;
    case SB_TOP: SetTop(0); break;
    case SB_BOTTOM: SetTop(Count()); break;
    default: break;
    }
}

void ListBox::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    SelectObject(hdc, Font());
    HBRUSH back = CtlColor(WM_CTLCOLORLISTBOX, hdc);
    FillRect(hdc, &rc, back);
    const int h = ItemHeight();
    for (int i = m_top; i < Count() && (i - m_top) * h < rc.bottom; ++i) {
        RECT item{0, (i - m_top) * h, rc.right, (i - m_top + 1) * h};
        DrawItem(hdc, i, item, ODA_DRAWENTIRE);
    }
    if (OwnerDraw() && Count() == 0 && m_focused) {
        RECT item{0, 0, rc.right, h};
        DrawItem(hdc, -1, item, ODA_FOCUS);
    }
}

void ListBox::DrawItem(HDC hdc, int index, const RECT& rc, UINT action)
{
    const bool selected = Valid(index) && m_items[static_cast<size_t>(index)].selected;
    const bool caret = index == m_caret && m_focused && !InCombo();
    if (OwnerDraw()) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_LISTBOX;
        dis.CtlID = static_cast<UINT>(Id());
        dis.itemID = static_cast<UINT>(index);
        dis.itemAction = action;
        dis.itemState = (selected ? ODS_SELECTED : 0) | (caret ? ODS_FOCUS : 0) | (Enabled() ? 0 : ODS_DISABLED);
        dis.hwndItem = m_hwnd;
        dis.hDC = hdc;
        dis.rcItem = rc;
        dis.itemData = Valid(index) ? m_items[static_cast<size_t>(index)].data : 0;
        if (HWND target = NotifyTarget())
            SendMessageA(target, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    const std::string& text = m_items[static_cast<size_t>(index)].text;
    const COLORREF oldText = GetTextColor(hdc);
    if (selected) {
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    RECT textRect{rc.left + 2, rc.top, rc.right - 2, rc.bottom};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (Style() & LBS_USETABSTOPS)
        format |= DT_EXPANDTABS;
    DrawControlText(hdc, text, &textRect, format, Enabled() || selected);
    SetTextColor(hdc, oldText);
    if (caret)
        DrawFocusRect(hdc, &rc);
}

} // namespace

static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ControlProc<ListBox>(hwnd, message, wParam, lParam);
}

bool RegisterListBox()
{
    static const bool registered = RegisterControl(WC_LISTBOX, ListProc, CS_DBLCLKS) &&
                                   RegisterControl("ComboLBox", ListProc, CS_DBLCLKS | CS_SAVEBITS);
    return registered;
}

LPCSTR ComboListClass()
{
    RegisterListBox();
    return "ComboLBox";
}

} // namespace tavrin::controls
