#include "platform/controls/TreeView.h"

#include "platform/controls/Control.h"

#include "platform/controls/Edit.h"
#include "platform/controls/ListViewScroll.h"
#include "platform/controls/ToolTip.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/ImageList.h"
#include "platform/win/User.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavrin::controls {
namespace {

constexpr int kTextBuffer = 260;
constexpr int kDefaultIndent = 19;
constexpr UINT_PTR kEditTimer = 42;
const char kEditProcProp[] = "TavrinTreeEditProc";

struct Node {
    HTREEITEM handle = nullptr;
    Node* parent = nullptr;
    Node* first = nullptr;
    Node* last = nullptr;
    Node* next = nullptr;
    Node* prev = nullptr;
    std::string text;
    bool textCallback = false;
    int image = 0;
    int selectedImage = 0;
    int children = 0; // as the caller set it; -2 when never set
    LPARAM lParam = 0;
    UINT state = 0; // every bit kept, also those the control does not know
};

struct Visible {
    Node* node;
    int level;
};

struct Tree {
    explicit Tree(HWND window) : hwnd(window) {}
    ~Tree()
    {
        if (boldFont)
            DeleteObject(boldFont);
    }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
    std::unordered_map<HTREEITEM, std::unique_ptr<Node>> nodes;
    ULONG_PTR nextId = 1;
    Node* first = nullptr;
    Node* last = nullptr;
    Node* caret = nullptr;
    Node* drop = nullptr;
    Node* hot = nullptr;
    int top = 0;
    int scrollX = 0;
    int indent = kDefaultIndent;
    int itemHeight = 0; // 0: from the font
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
    HIMAGELIST images = nullptr;
    HIMAGELIST stateImages = nullptr;
    COLORREF bk = CLR_NONE, text = CLR_NONE, line = CLR_DEFAULT;
    HWND edit = nullptr;
    HTREEITEM editing = nullptr;
    bool ending = false;
    HWND tooltip = nullptr;
    HTREEITEM pressed = nullptr;
    POINT pressPoint{0, 0};
    bool pressRight = false;
    bool dragged = false;
    bool pressOnCaret = false;
    HTREEITEM pendingEdit = nullptr;
    bool redraw = true;
};

Node* Find(const Tree& t, HTREEITEM handle)
{
    if (!handle)
        return nullptr;
    auto it = t.nodes.find(handle);
    return it == t.nodes.end() ? nullptr : it->second.get();
}

Node* FirstChild(const Tree& t, const Node* n)
{
    return n ? n->first : t.first;
}

bool Expanded(const Node* n)
{
    return (n->state & TVIS_EXPANDED) != 0;
}

bool HasChildren(const Node* n)
{
    return n->first || n->children > 0 || n->children == I_CHILDRENCALLBACK;
}

void Invalidate(Tree& t)
{
    if (t.redraw)
        InvalidateRect(t.hwnd, nullptr, TRUE);
}

std::vector<Visible> VisibleItems(const Tree& t)
{
    std::vector<Visible> out;
    std::vector<Visible> stack;
    for (Node* n = t.last; n; n = n->prev)
        stack.push_back({n, 0});
    while (!stack.empty()) {
        Visible v = stack.back();
        stack.pop_back();
        out.push_back(v);
        if (Expanded(v.node))
            for (Node* c = v.node->last; c; c = c->prev)
                stack.push_back({c, v.level + 1});
    }
    return out;
}

int IndexOf(const std::vector<Visible>& visible, const Node* n)
{
    for (size_t i = 0; i < visible.size(); ++i)
        if (visible[i].node == n)
            return static_cast<int>(i);
    return -1;
}

HFONT Font(const Tree& t)
{
    return ControlFont(t.font);
}

int ItemHeight(const Tree& t)
{
    if (t.itemHeight > 0)
        return t.itemHeight;
    int h = FontLineHeight(t.font) + 3;
    int cx = 0, cy = 0;
    if (t.images && ImageList_GetIconSize(t.images, &cx, &cy))
        h = std::max(h, cy);
    return h;
}

RECT Client(const Tree& t)
{
    RECT rc;
    GetClientRect(t.hwnd, &rc);
    return rc;
}

int VisibleCount(const Tree& t)
{
    return std::max(0, static_cast<int>(Client(t).bottom) / ItemHeight(t));
}

// Left edge of an item's icon (or label) at a level.
int ItemLeft(const Tree& t, int level)
{
    const DWORD style = Style(t);
    const bool rootSpace = (style & TVS_LINESATROOT) && (style & (TVS_HASLINES | TVS_HASBUTTONS));
    return -t.scrollX + t.indent * (level + (rootSpace ? 1 : 0));
}

int IconWidth(const Tree& t)
{
    int cx = 0, cy = 0;
    if (t.images && ImageList_GetIconSize(t.images, &cx, &cy))
        return cx + 3;
    return 0;
}

std::string Label(Tree& t, Node* n)
{
    if (!n->textCallback)
        return n->text;
    char buffer[kTextBuffer] = "";
    NMTVDISPINFOA disp{};
    disp.item.mask = TVIF_TEXT;
    disp.item.hItem = n->handle;
    disp.item.state = n->state;
    disp.item.lParam = n->lParam;
    disp.item.pszText = buffer;
    disp.item.cchTextMax = kTextBuffer;
    SendNotify(t.hwnd, TVN_GETDISPINFOA, &disp.hdr);
    FinishDisplayText(buffer, kTextBuffer, disp.item.pszText);
    return buffer;
}

HFONT LabelFont(Tree& t, const Node* n)
{
    if (!(n->state & TVIS_BOLD))
        return Font(t);
    if (!t.boldFont) {
        LOGFONTA lf{};
        GetObjectA(Font(t), sizeof lf, &lf);
        lf.lfWeight = FW_BOLD;
        t.boldFont = CreateFontIndirectA(&lf);
    }
    return t.boldFont;
}

RECT RowRect(const Tree& t, int index)
{
    const int h = ItemHeight(t);
    const int y = (index - t.top) * h;
    return RECT{0, y, Client(t).right, y + h};
}

RECT LabelRect(Tree& t, const Visible& v, int index)
{
    const RECT row = RowRect(t, index);
    const int left = ItemLeft(t, v.level) + IconWidth(t);
    const int width = TextWidth(LabelFont(t, v.node), Label(t, v.node)) + 6;
    return RECT{left, row.top, left + width, row.bottom};
}

void ClampScroll(Tree& t)
{
    const int count = static_cast<int>(VisibleItems(t).size());
    t.top = std::clamp(t.top, 0, std::max(0, count - VisibleCount(t)));
    SetControlScroll(t.hwnd, SB_VERT, count - 1, VisibleCount(t), t.top);
}

void ScrollTo(Tree& t, int top, int x)
{
    const int oldTop = t.top, oldX = t.scrollX;
    t.top = top;
    t.scrollX = std::max(0, x);
    ClampScroll(t);
    if (t.top != oldTop || t.scrollX != oldX)
        Invalidate(t);
}

TVITEMA Describe(const Node* n)
{
    TVITEMA item{};
    if (!n)
        return item;
    item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    item.hItem = n->handle;
    item.state = n->state;
    item.stateMask = 0xFFFFFFFFu;
    item.lParam = n->lParam;
    return item;
}

LRESULT NotifyTree(Tree& t, UINT code, UINT action, const Node* oldNode, const Node* newNode, POINT pt = POINT{0, 0})
{
    NMTREEVIEWA nm{};
    nm.action = action;
    nm.itemOld = Describe(oldNode);
    nm.itemNew = Describe(newNode);
    nm.ptDrag = pt;
    return SendNotify(t.hwnd, code, &nm.hdr);
}

bool Expand(Tree& t, HTREEITEM handle, UINT action, bool notify = true);

// Opens every collapsed ancestor and scrolls the item into view.
bool EnsureVisible(Tree& t, HTREEITEM handle)
{
    Node* n = Find(t, handle);
    if (!n)
        return false;
    std::vector<HTREEITEM> ancestors;
    for (Node* p = n->parent; p; p = p->parent)
        ancestors.push_back(p->handle);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
        Node* p = Find(t, *it);
        if (p && !Expanded(p))
            Expand(t, *it, TVE_EXPAND);
    }
    n = Find(t, handle);
    if (!n)
        return false;
    const auto visible = VisibleItems(t);
    const int index = IndexOf(visible, n);
    if (index < 0)
        return false;
    const int page = std::max(1, VisibleCount(t));
    if (index < t.top)
        ScrollTo(t, index, t.scrollX);
    else if (index >= t.top + page)
        ScrollTo(t, index - page + 1, t.scrollX);
    return true;
}

// Moves the caret. The parent may refuse; it hears of the change at once.
bool SelectCaret(Tree& t, HTREEITEM handle, UINT action)
{
    Node* n = Find(t, handle);
    if (handle && !n)
        return false;
    if (n == t.caret) {
        if (n)
            EnsureVisible(t, handle);
        return true;
    }
    if (NotifyTree(t, TVN_SELCHANGINGA, action, t.caret, n))
        return false;
    n = Find(t, handle);
    if (handle && !n)
        return false;
    Node* old = t.caret;
    if (old)
        old->state &= ~static_cast<UINT>(TVIS_SELECTED);
    t.caret = n;
    if (n) {
        n->state |= TVIS_SELECTED;
        EnsureVisible(t, handle);
    }
    Invalidate(t);
    NotifyTree(t, TVN_SELCHANGEDA, action, old, Find(t, handle));
    return true;
}

void DeleteSubtree(Tree& t, Node* n, bool notify);

bool Expand(Tree& t, HTREEITEM handle, UINT action, bool notify)
{
    Node* n = Find(t, handle);
    if (!n)
        return false;
    UINT code = action & (TVE_COLLAPSE | TVE_EXPAND);
    if (code == TVE_TOGGLE)
        code = Expanded(n) ? TVE_COLLAPSE : TVE_EXPAND;
    if (code == TVE_EXPAND) {
        if (Expanded(n))
            return true;
        if (!HasChildren(n))
            return false;
    } else if (code == TVE_COLLAPSE) {
        if (!Expanded(n) && !(action & TVE_COLLAPSERESET))
            return true;
    } else {
        return false;
    }
    if (notify && NotifyTree(t, TVN_ITEMEXPANDINGA, code, nullptr, n))
        return false;
    n = Find(t, handle);
    if (!n)
        return false;
    if (code == TVE_EXPAND) {
        n->state |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    } else {
        n->state &= ~static_cast<UINT>(TVIS_EXPANDED);
        // A caret inside the branch comes up to the collapsed item.
        bool inside = false;
        for (Node* p = t.caret ? t.caret->parent : nullptr; p; p = p->parent)
            if (p == n)
                inside = true;
        if (inside) {
            SelectCaret(t, handle, TVC_UNKNOWN);
            n = Find(t, handle);
            if (!n)
                return false;
        }
        if (action & TVE_COLLAPSERESET) {
            n->state &= ~static_cast<UINT>(TVIS_EXPANDEDONCE);
            while (n && n->first) {
                DeleteSubtree(t, n->first, true);
                n = Find(t, handle);
            }
        }
    }
    ClampScroll(t);
    Invalidate(t);
    if (notify && Find(t, handle))
        NotifyTree(t, TVN_ITEMEXPANDEDA, code, nullptr, Find(t, handle));
    return true;
}

void Unlink(Tree& t, Node* n)
{
    Node*& first = n->parent ? n->parent->first : t.first;
    Node*& last = n->parent ? n->parent->last : t.last;
    if (n->prev)
        n->prev->next = n->next;
    else
        first = n->next;
    if (n->next)
        n->next->prev = n->prev;
    else
        last = n->prev;
    n->prev = n->next = nullptr;
}

void DeleteSubtree(Tree& t, Node* n, bool notify)
{
    const HTREEITEM handle = n->handle;
    while (true) {
        Node* self = Find(t, handle);
        if (!self || !self->first)
            break;
        DeleteSubtree(t, self->first, notify);
    }
    Node* self = Find(t, handle);
    if (!self)
        return;
    if (notify)
        NotifyTree(t, TVN_DELETEITEMA, 0, self, nullptr);
    self = Find(t, handle);
    if (!self)
        return;
    if (t.caret == self)
        t.caret = nullptr;
    if (t.drop == self)
        t.drop = nullptr;
    if (t.hot == self)
        t.hot = nullptr;
    if (t.pressed == handle)
        t.pressed = nullptr;
    Unlink(t, self);
    t.nodes.erase(handle);
}

bool IsWithin(const Node* n, const Node* ancestor)
{
    for (; n; n = n->parent)
        if (n == ancestor)
            return true;
    return false;
}

void EndEdit(Tree& t, bool cancel);

bool DeleteItem(Tree& t, HTREEITEM handle)
{
    if (handle == TVI_ROOT || !handle) {
        if (t.edit)
            EndEdit(t, true);
        t.caret = nullptr;
        while (t.first)
            DeleteSubtree(t, t.first, true);
        t.top = 0;
        ClampScroll(t);
        Invalidate(t);
        return true;
    }
    Node* n = Find(t, handle);
    if (!n)
        return false;
    if (t.editing && IsWithin(Find(t, t.editing), n))
        EndEdit(t, true);
    // A caret inside the branch moves to a neighbour once the branch is gone.
    HTREEITEM after = nullptr;
    if (t.caret && IsWithin(t.caret, n)) {
        Node* other = n->next ? n->next : n->prev ? n->prev : n->parent;
        after = other ? other->handle : nullptr;
    }
    const bool hadCaret = t.caret && IsWithin(t.caret, n);
    if (hadCaret) {
        t.caret->state &= ~static_cast<UINT>(TVIS_SELECTED);
        t.caret = nullptr;
    }
    DeleteSubtree(t, n, true);
    if (hadCaret && Find(t, after))
        SelectCaret(t, after, TVC_UNKNOWN);
    ClampScroll(t);
    Invalidate(t);
    return true;
}

// The fields an insert and a set share (the state is each one's own).
void ApplyFields(Node& n, const TVITEMA& in)
{
    if (in.mask & TVIF_TEXT) {
        n.textCallback = in.pszText == LPSTR_TEXTCALLBACKA;
        n.text = (in.pszText && !n.textCallback) ? in.pszText : "";
    }
    if (in.mask & TVIF_IMAGE)
        n.image = in.iImage;
    if (in.mask & TVIF_SELECTEDIMAGE)
        n.selectedImage = in.iSelectedImage;
    if (in.mask & TVIF_CHILDREN)
        n.children = in.cChildren;
    if (in.mask & TVIF_PARAM)
        n.lParam = in.lParam;
}

HTREEITEM Insert(Tree& t, const TVINSERTSTRUCTA& in)
{
    Node* parent = nullptr;
    if (in.hParent && in.hParent != TVI_ROOT) {
        parent = Find(t, in.hParent);
        if (!parent)
            return nullptr;
    }
    auto owned = std::make_unique<Node>();
    Node* n = owned.get();
    // Handles step by 16, so that hashing by handle >> 4 spreads them.
    n->handle = reinterpret_cast<HTREEITEM>(t.nextId++ << 4);
    n->parent = parent;
    n->children = -2;
    const TVITEMA& item = in.item;
    ApplyFields(*n, item);
    if (item.mask & TVIF_STATE)
        n->state = item.state & item.stateMask & ~static_cast<UINT>(TVIS_SELECTED);
    Node*& first = parent ? parent->first : t.first;
    Node*& last = parent ? parent->last : t.last;
    Node* after = nullptr; // insert after this one; null = at the front
    if (in.hInsertAfter == TVI_FIRST) {
        after = nullptr;
    } else if (in.hInsertAfter == TVI_SORT) {
        after = nullptr;
        for (Node* c = first; c; c = c->next)
            if (c->text.compare(n->text) <= 0)
                after = c;
    } else if (in.hInsertAfter == TVI_LAST || !in.hInsertAfter) {
        after = last;
    } else {
        Node* sibling = Find(t, in.hInsertAfter);
        after = (sibling && sibling->parent == parent) ? sibling : last;
    }
    n->prev = after;
    n->next = after ? after->next : first;
    if (n->next)
        n->next->prev = n;
    else
        last = n;
    if (after)
        after->next = n;
    else
        first = n;
    const HTREEITEM handle = n->handle;
    t.nodes.emplace(handle, std::move(owned));
    ClampScroll(t);
    Invalidate(t);
    return handle;
}

BOOL GetItem(Tree& t, TVITEMA* out)
{
    if (!out)
        return FALSE;
    Node* n = Find(t, out->hItem);
    if (!n)
        return FALSE;
    if (out->mask & TVIF_STATE)
        out->state = n->state & out->stateMask;
    if (out->mask & TVIF_TEXT)
        CopyGbkText(Label(t, n).c_str(), out->pszText, out->cchTextMax);
    if (out->mask & TVIF_IMAGE)
        out->iImage = n->image;
    if (out->mask & TVIF_SELECTEDIMAGE)
        out->iSelectedImage = n->selectedImage;
    if (out->mask & TVIF_CHILDREN)
        out->cChildren = n->children == -2 ? (n->first ? 1 : 0) : n->children;
    if (out->mask & TVIF_PARAM)
        out->lParam = n->lParam;
    return TRUE;
}

BOOL SetItem(Tree& t, const TVITEMA& in)
{
    Node* n = Find(t, in.hItem);
    if (!n)
        return FALSE;
    ApplyFields(*n, in);
    if (in.mask & TVIF_STATE) {
        n->state = (n->state & ~in.stateMask) | (in.state & in.stateMask);
        if (in.stateMask & TVIS_EXPANDED)
            ClampScroll(t);
    }
    Invalidate(t);
    return TRUE;
}

HTREEITEM NextItem(Tree& t, HTREEITEM handle, UINT code)
{
    Node* n = Find(t, handle);
    auto h = [](const Node* x) { return x ? x->handle : nullptr; };
    switch (code) {
    case TVGN_ROOT:
        return h(t.first);
    case TVGN_CARET:
        return h(t.caret);
    case TVGN_DROPHILITE:
        return h(t.drop);
    case TVGN_CHILD:
        if (!handle || handle == TVI_ROOT)
            return h(t.first);
        return n ? h(n->first) : nullptr;
    case TVGN_NEXT:
        return n ? h(n->next) : nullptr;
    case TVGN_PREVIOUS:
        return n ? h(n->prev) : nullptr;
    case TVGN_PARENT:
        return n ? h(n->parent) : nullptr;
    case TVGN_FIRSTVISIBLE: {
        const auto visible = VisibleItems(t);
        return t.top < static_cast<int>(visible.size()) ? visible[static_cast<size_t>(t.top)].node->handle : nullptr;
    }
    case TVGN_LASTVISIBLE: {
        const auto visible = VisibleItems(t);
        return visible.empty() ? nullptr : visible.back().node->handle;
    }
    case TVGN_NEXTVISIBLE:
    case TVGN_PREVIOUSVISIBLE: {
        if (!n)
            return nullptr;
        const auto visible = VisibleItems(t);
        const int index = IndexOf(visible, n);
        if (index < 0)
            return nullptr;
        const int other = index + (code == TVGN_NEXTVISIBLE ? 1 : -1);
        if (other < 0 || other >= static_cast<int>(visible.size()))
            return nullptr;
        return visible[static_cast<size_t>(other)].node->handle;
    }
    default:
        return nullptr;
    }
}

void HitTest(Tree& t, TVHITTESTINFO* info)
{
    const RECT client = Client(t);
    const POINT pt = info->pt;
    info->flags = 0;
    info->hItem = nullptr;
    if (pt.y < 0)
        info->flags |= TVHT_ABOVE;
    else if (pt.y >= client.bottom)
        info->flags |= TVHT_BELOW;
    if (pt.x < 0)
        info->flags |= TVHT_TOLEFT;
    else if (pt.x >= client.right)
        info->flags |= TVHT_TORIGHT;
    if (info->flags)
        return;
    const auto visible = VisibleItems(t);
    const int index = t.top + pt.y / ItemHeight(t);
    if (index >= static_cast<int>(visible.size())) {
        info->flags = TVHT_NOWHERE;
        return;
    }
    const Visible& v = visible[static_cast<size_t>(index)];
    info->hItem = v.node->handle;
    const int left = ItemLeft(t, v.level);
    const RECT label = LabelRect(t, v, index);
    if (pt.x < left) {
        const bool button = (Style(t) & TVS_HASBUTTONS) && HasChildren(v.node) &&
                            (v.level > 0 || (Style(t) & TVS_LINESATROOT));
        info->flags = (button && pt.x >= left - t.indent) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    } else if (pt.x < label.left) {
        info->flags = TVHT_ONITEMICON;
    } else if (pt.x < label.right) {
        info->flags = TVHT_ONITEMLABEL;
    } else {
        info->flags = TVHT_ONITEMRIGHT;
    }
}

BOOL ItemRect(Tree& t, RECT* io, bool labelOnly)
{
    if (!io)
        return FALSE;
    HTREEITEM handle;
    std::memcpy(&handle, io, sizeof handle);
    Node* n = Find(t, handle);
    if (!n)
        return FALSE;
    const auto visible = VisibleItems(t);
    const int index = IndexOf(visible, n);
    if (index < 0)
        return FALSE;
    *io = labelOnly ? LabelRect(t, visible[static_cast<size_t>(index)], index) : RowRect(t, index);
    return TRUE;
}

// --- label editing ---------------------------------------------------------

LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto original = reinterpret_cast<WNDPROC>(GetPropA(edit, kEditProcProp));
    HWND tree = GetParent(edit);
    Tree* t = StateOf<Tree>(tree);
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS; // Enter and Esc end the edit here
    case WM_KEYDOWN:
        if (t && t->edit == edit && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            EndEdit(*t, wParam == VK_ESCAPE);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == 27)
            return 0;
        break;
    case WM_KILLFOCUS:
        if (t && t->edit == edit && !t->ending) {
            LRESULT r = original ? CallWindowProcA(original, edit, message, wParam, lParam) : 0;
            EndEdit(*t, false);
            return r;
        }
        break;
    case WM_NCDESTROY:
        RemovePropA(edit, kEditProcProp);
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        break;
    default:
        break;
    }
    return original ? CallWindowProcA(original, edit, message, wParam, lParam)
                    : DefWindowProcA(edit, message, wParam, lParam);
}

HWND BeginEdit(Tree& t, HTREEITEM handle)
{
    if (t.edit)
        EndEdit(t, false);
    Node* n = Find(t, handle);
    if (!n)
        return nullptr;
    SetFocus(t.hwnd);
    EnsureVisible(t, handle);
    n = Find(t, handle);
    if (!n)
        return nullptr;
    std::string label = Label(t, n);
    NMTVDISPINFOA disp{};
    disp.item = Describe(n);
    disp.item.mask |= TVIF_TEXT;
    disp.item.pszText = label.data();
    disp.item.cchTextMax = static_cast<int>(label.size()) + 1;
    if (SendNotify(t.hwnd, TVN_BEGINLABELEDITA, &disp.hdr))
        return nullptr;
    n = Find(t, handle);
    if (!n)
        return nullptr;
    const auto visible = VisibleItems(t);
    const int index = IndexOf(visible, n);
    if (index < 0)
        return nullptr;
    RECT rc = LabelRect(t, visible[static_cast<size_t>(index)], index);
    rc.right = std::max<LONG>(rc.right + 40, rc.left + 80);
    HWND edit = CreateWindowExA(0, WC_EDITA, label.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL,
                                rc.left - 3, rc.top - 1, rc.right - rc.left + 6, rc.bottom - rc.top + 2, t.hwnd,
                                nullptr, nullptr, nullptr);
    if (!edit)
        return nullptr;
    SetPropA(edit, kEditProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(edit, GWLP_WNDPROC)));
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc));
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(LabelFont(t, n)), 0);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    t.edit = edit;
    t.editing = handle;
    ShowWindow(edit, SW_SHOW);
    SetFocus(edit);
    Invalidate(t);
    return edit;
}

void EndEdit(Tree& t, bool cancel)
{
    if (!t.edit || t.ending)
        return;
    t.ending = true;
    HWND edit = t.edit;
    const HTREEITEM handle = t.editing;
    const int length = GetWindowTextLengthA(edit);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowTextA(edit, text.data(), length + 1);
    text.resize(std::strlen(text.c_str()));
    Node* n = Find(t, handle);
    if (n) {
        NMTVDISPINFOA disp{};
        disp.item = Describe(n);
        disp.item.mask |= TVIF_TEXT;
        // A cancelled edit carries no text.
        disp.item.pszText = cancel ? nullptr : text.data();
        disp.item.cchTextMax = cancel ? 0 : static_cast<int>(text.size()) + 1;
        const LRESULT keep = SendNotify(t.hwnd, TVN_ENDLABELEDITA, &disp.hdr);
        n = Find(t, handle);
        if (n && keep && !cancel) {
            n->text = text;
            n->textCallback = false;
        }
    }
    t.edit = nullptr;
    t.editing = nullptr;
    const bool hadFocus = GetFocus() == edit;
    DestroyWindow(edit);
    if (hadFocus)
        SetFocus(t.hwnd);
    t.ending = false;
    Invalidate(t);
}

// --- painting --------------------------------------------------------------

void DrawDottedLine(HDC hdc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    if (x1 == x2) {
        for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y)
            if (((x1 + y) & 1) == 0)
                SetPixelV(hdc, x1, y, colour);
    } else {
        for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x)
            if (((x + y1) & 1) == 0)
                SetPixelV(hdc, x, y1, colour);
    }
}

COLORREF Background(const Tree& t)
{
    if (!IsWindowEnabled(t.hwnd))
        return GetSysColor(COLOR_BTNFACE);
    return t.bk == CLR_NONE ? GetSysColor(COLOR_WINDOW) : t.bk;
}

COLORREF TextColour(const Tree& t)
{
    if (!IsWindowEnabled(t.hwnd))
        return GetSysColor(COLOR_GRAYTEXT);
    return t.text == CLR_NONE ? GetSysColor(COLOR_WINDOWTEXT) : t.text;
}

void Paint(Tree& t, HDC hdc)
{
    const RECT client = Client(t);
    const int saved = SaveDC(hdc);
    NMTVCUSTOMDRAW cd{};
    cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    cd.nmcd.hdc = hdc;
    cd.nmcd.rc = client;
    const LRESULT global = SendNotify(t.hwnd, NM_CUSTOMDRAW, &cd.nmcd.hdr);
    if (global & CDRF_SKIPDEFAULT) {
        RestoreDC(hdc, saved);
        return;
    }
    FillSolid(hdc, client, Background(t));
    SetBkMode(hdc, TRANSPARENT);
    const DWORD style = Style(t);
    const COLORREF lineColour = t.line == CLR_DEFAULT ? GetSysColor(COLOR_GRAYTEXT) : t.line;
    const bool focused = GetFocus() == t.hwnd;
    const auto visible = VisibleItems(t);
    const int h = ItemHeight(t);
    const int last = std::min(static_cast<int>(visible.size()), t.top + VisibleCount(t) + 1);
    for (int i = t.top; i < last; ++i) {
        const Visible& v = visible[static_cast<size_t>(i)];
        Node* n = v.node;
        const RECT row = RowRect(t, i);
        const int left = ItemLeft(t, v.level);
        const int midY = row.top + h / 2;
        const bool rootSpace = (style & TVS_LINESATROOT) != 0;
        // Lines: to the item from its parent's column, and on down to the next sibling.
        if ((style & TVS_HASLINES) && (v.level > 0 || rootSpace)) {
            const int x = left - t.indent / 2;
            DrawDottedLine(hdc, x, midY, left - 2, midY, lineColour);
            const bool firstRoot = !n->parent && !n->prev;
            DrawDottedLine(hdc, x, firstRoot ? midY : row.top, x, n->next ? row.bottom : midY, lineColour);
            int level = v.level - 1;
            for (Node* p = n->parent; p; p = p->parent, --level)
                if (p->next && (level > 0 || rootSpace)) {
                    const int px = ItemLeft(t, level) - t.indent / 2;
                    DrawDottedLine(hdc, px, row.top, px, row.bottom, lineColour);
                }
        }
        if ((style & TVS_HASBUTTONS) && HasChildren(n) && (v.level > 0 || rootSpace)) {
            const int cx = left - t.indent / 2;
            RECT box{cx - 4, midY - 4, cx + 5, midY + 5};
            FillSolid(hdc, box, Background(t));
            HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_GRAYTEXT));
            FrameRect(hdc, &box, frame);
            DeleteObject(frame);
            RECT dash{cx - 2, midY, cx + 3, midY + 1};
            FillSolid(hdc, dash, GetSysColor(COLOR_WINDOWTEXT));
            if (!Expanded(n)) {
                RECT bar{cx, midY - 2, cx + 1, midY + 3};
                FillSolid(hdc, bar, GetSysColor(COLOR_WINDOWTEXT));
            }
        }
        NMTVCUSTOMDRAW item{};
        item.clrText = TextColour(t);
        item.clrTextBk = Background(t);
        item.iLevel = v.level;
        LRESULT itemResult = CDRF_DODEFAULT;
        const int itemSaved = SaveDC(hdc);
        SelectObject(hdc, LabelFont(t, n));
        if (global & CDRF_NOTIFYITEMDRAW) {
            item.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
            item.nmcd.hdc = hdc;
            item.nmcd.rc = row;
            item.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(n->handle);
            item.nmcd.uItemState = ((n->state & TVIS_SELECTED) ? CDIS_SELECTED : 0) |
                                   (n == t.caret && focused ? CDIS_FOCUS : 0) | (n == t.hot ? CDIS_HOT : 0);
            item.nmcd.lItemlParam = n->lParam;
            const HTREEITEM handle = n->handle;
            itemResult = SendNotify(t.hwnd, NM_CUSTOMDRAW, &item.nmcd.hdr);
            n = Find(t, handle);
            if (!n) {
                RestoreDC(hdc, itemSaved);
                break;
            }
        }
        if (!(itemResult & CDRF_SKIPDEFAULT)) {
            if (t.images) {
                int cx = 0, cy = 0;
                ImageList_GetIconSize(t.images, &cx, &cy);
                const int image = (n->state & TVIS_SELECTED) ? n->selectedImage : n->image;
                ImageList_Draw(t.images, image, hdc, left, row.top + (h - cy) / 2, ILD_TRANSPARENT);
            }
            const std::string label = Label(t, n);
            const int labelLeft = left + IconWidth(t);
            RECT labelRect{labelLeft, row.top, labelLeft + TextWidth(LabelFont(t, n), label) + 6, row.bottom};
            const bool marked = (n->state & (TVIS_SELECTED | TVIS_DROPHILITED)) != 0;
            COLORREF textColour = item.clrText;
            if (n->handle == t.editing) {
                FillSolid(hdc, labelRect, Background(t));
            } else if (marked && (focused || (n->state & TVIS_DROPHILITED))) {
                FillSolid(hdc, labelRect, GetSysColor(COLOR_HIGHLIGHT));
                textColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
            } else if (marked && (style & TVS_SHOWSELALWAYS)) {
                FillSolid(hdc, labelRect, GetSysColor(COLOR_BTNFACE));
                textColour = GetSysColor(COLOR_WINDOWTEXT);
            } else if (item.clrTextBk != Background(t)) {
                FillSolid(hdc, labelRect, item.clrTextBk);
            }
            if ((style & TVS_TRACKSELECT) && n == t.hot && !marked)
                textColour = GetSysColor(COLOR_HOTLIGHT);
            if (n->handle != t.editing) {
                SetTextColor(hdc, textColour);
                RECT textRect = labelRect;
                DrawTextA(hdc, label.c_str(), static_cast<int>(label.size()), &textRect,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
                if ((style & TVS_TRACKSELECT) && n == t.hot) {
                    RECT underline{labelRect.left + 3, row.bottom - 2, labelRect.right - 3, row.bottom - 1};
                    FillSolid(hdc, underline, textColour);
                }
                if (n == t.caret && focused && !t.edit)
                    DrawFocusRect(hdc, &labelRect);
            }
        }
        RestoreDC(hdc, itemSaved);
    }
    RestoreDC(hdc, saved);
}

// --- input -----------------------------------------------------------------

LRESULT NotifyClick(Tree& t, UINT code)
{
    NMHDR hdr{};
    return SendNotify(t.hwnd, code, &hdr);
}

void OnKey(Tree& t, UINT key)
{
    NMTVKEYDOWN nm{};
    nm.wVKey = static_cast<WORD>(key);
    SendNotify(t.hwnd, TVN_KEYDOWN, &nm.hdr);
    const auto visible = VisibleItems(t);
    if (visible.empty())
        return;
    int index = t.caret ? IndexOf(visible, t.caret) : -1;
    const int page = std::max(1, VisibleCount(t));
    auto select = [&](int i) {
        i = std::clamp(i, 0, static_cast<int>(visible.size()) - 1);
        SelectCaret(t, visible[static_cast<size_t>(i)].node->handle, TVC_BYKEYBOARD);
    };
    switch (key) {
    case VK_UP:
        select(index < 0 ? 0 : index - 1);
        break;
    case VK_DOWN:
        select(index < 0 ? 0 : index + 1);
        break;
    case VK_HOME:
        select(0);
        break;
    case VK_END:
        select(static_cast<int>(visible.size()) - 1);
        break;
    case VK_PRIOR:
        select(index - page + 1);
        break;
    case VK_NEXT:
        select(index + page - 1);
        break;
    case VK_LEFT:
        if (t.caret && Expanded(t.caret) && t.caret->first)
            Expand(t, t.caret->handle, TVE_COLLAPSE);
        else if (t.caret && t.caret->parent)
            SelectCaret(t, t.caret->parent->handle, TVC_BYKEYBOARD);
        break;
    case VK_RIGHT:
        if (t.caret && !Expanded(t.caret) && HasChildren(t.caret))
            Expand(t, t.caret->handle, TVE_EXPAND);
        else if (t.caret && t.caret->first && Expanded(t.caret))
            SelectCaret(t, t.caret->first->handle, TVC_BYKEYBOARD);
        break;
    case VK_ADD:
        if (t.caret)
            Expand(t, t.caret->handle, TVE_EXPAND);
        break;
    case VK_SUBTRACT:
        if (t.caret)
            Expand(t, t.caret->handle, TVE_COLLAPSE);
        break;
    case VK_RETURN:
        NotifyClick(t, NM_RETURN);
        break;
    case VK_F2:
        if (t.caret && (Style(t) & TVS_EDITLABELS))
            BeginEdit(t, t.caret->handle);
        break;
    default:
        break;
    }
}

void OnButtonDown(Tree& t, LPARAM lParam, bool right)
{
    if (t.edit)
        EndEdit(t, false);
    KillTimer(t.hwnd, kEditTimer);
    TVHITTESTINFO hit{};
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HitTest(t, &hit);
    const bool hadFocus = GetFocus() == t.hwnd;
    if (!right && (hit.flags & TVHT_ONITEMBUTTON)) {
        Expand(t, hit.hItem, TVE_TOGGLE);
        if (!hadFocus)
            SetFocus(t.hwnd);
        return;
    }
    if (!hadFocus)
        SetFocus(t.hwnd);
    const bool onItem = (hit.flags & TVHT_ONITEM) ||
                        ((Style(t) & TVS_FULLROWSELECT) && (hit.flags & (TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT)));
    t.pressed = onItem ? hit.hItem : nullptr;
    t.pressPoint = hit.pt;
    t.pressRight = right;
    t.dragged = false;
    t.pressOnCaret = onItem && hadFocus && t.caret && hit.hItem == t.caret->handle && (hit.flags & TVHT_ONITEMLABEL);
    if (right && t.pressed) {
        Node* n = Find(t, t.pressed);
        if (n)
            n->state |= TVIS_DROPHILITED;
        Invalidate(t);
    }
    SetCapture(t.hwnd);
}

void ClearRightHighlight(Tree& t)
{
    Node* n = Find(t, t.pressed);
    if (n && n != t.drop)
        n->state &= ~static_cast<UINT>(TVIS_DROPHILITED);
    Invalidate(t);
}

void OnMouseMove(Tree& t, LPARAM lParam)
{
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (GetCapture() == t.hwnd && t.pressed && !t.dragged) {
        if (std::abs(pt.x - t.pressPoint.x) > GetSystemMetrics(SM_CXDRAG) ||
            std::abs(pt.y - t.pressPoint.y) > GetSystemMetrics(SM_CYDRAG)) {
            t.dragged = true;
            const HTREEITEM handle = t.pressed;
            const bool right = t.pressRight;
            if (right)
                ClearRightHighlight(t);
            ReleaseCapture();
            if (!(Style(t) & TVS_DISABLEDRAGDROP))
                NotifyTree(t, right ? TVN_BEGINRDRAGA : TVN_BEGINDRAGA, 0, nullptr, Find(t, handle), t.pressPoint);
        }
        return;
    }
    if (Style(t) & TVS_TRACKSELECT) {
        TVHITTESTINFO hit{};
        hit.pt = pt;
        HitTest(t, &hit);
        Node* hot = (hit.flags & TVHT_ONITEM) ? Find(t, hit.hItem) : nullptr;
        if (hot != t.hot) {
            t.hot = hot;
            Invalidate(t);
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, t.hwnd, 0};
            TrackMouseEvent(&track);
        }
    }
}

void OnButtonUp(Tree& t, bool right)
{
    if (GetCapture() != t.hwnd || t.pressRight != right)
        return;
    const HTREEITEM handle = t.pressed;
    const bool dragged = t.dragged;
    ReleaseCapture();
    t.pressed = handle;
    if (dragged)
        return;
    if (right) {
        ClearRightHighlight(t);
        // The parent may take the right click; else the tree asks for a context menu.
        if (!NotifyClick(t, NM_RCLICK)) {
            POINT pt;
            GetCursorPos(&pt);
            SendMessageA(t.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(t.hwnd), MAKELPARAM(pt.x, pt.y));
        }
        return;
    }
    // The parent hears of the click before the selection moves.
    if (NotifyClick(t, NM_CLICK))
        return;
    if (!Find(t, handle))
        return;
    if (t.pressOnCaret && (Style(t) & TVS_EDITLABELS)) {
        // Wait out a double click before editing.
        t.pendingEdit = handle;
        SetTimer(t.hwnd, kEditTimer, GetDoubleClickTime(), nullptr);
        return;
    }
    SelectCaret(t, handle, TVC_BYMOUSE);
}

void OnDoubleClick(Tree& t, LPARAM lParam, bool right)
{
    KillTimer(t.hwnd, kEditTimer);
    t.pendingEdit = nullptr;
    TVHITTESTINFO hit{};
    hit.pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    HitTest(t, &hit);
    if (!right && (hit.flags & TVHT_ONITEMBUTTON)) {
        Expand(t, hit.hItem, TVE_TOGGLE);
        return;
    }
    if (NotifyClick(t, right ? NM_RDBLCLK : NM_DBLCLK))
        return;
    if (!right && (hit.flags & TVHT_ONITEM) && Find(t, hit.hItem))
        Expand(t, hit.hItem, TVE_TOGGLE);
}

void OnScroll(Tree& t, bool vertical, WPARAM wParam)
{
    const int code = LOWORD(wParam);
    const int pos = ScrollThumbPosition(t.hwnd, vertical ? SB_VERT : SB_HORZ, wParam);
    const int page = std::max(1, VisibleCount(t));
    const int count = static_cast<int>(VisibleItems(t).size());
    if (vertical) {
        int top = t.top;
        switch (code) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: top = pos; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = count; break;
        default: return;
        }
        ScrollTo(t, top, t.scrollX);
    } else {
        int x = t.scrollX;
        const int width = Client(t).right;
        // As far right as the widest label shown reaches.
        int widest = 0;
        for (const Visible& v : VisibleItems(t))
            widest = std::max(widest, ItemLeft(t, v.level) + t.scrollX + IconWidth(t) +
                                          TextWidth(LabelFont(t, v.node), Label(t, v.node)) + 6);
        switch (code) {
        case SB_LINELEFT: x -= t.indent; break;
        case SB_LINERIGHT: x += t.indent; break;
        case SB_PAGELEFT: x -= width; break;
        case SB_PAGERIGHT: x += width; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: x = pos; break;
        case SB_LEFT: x = 0; break;
        case SB_RIGHT: x = widest; break;
        default: return;
        }
        ScrollTo(t, t.top, std::min(x, std::max(0, widest - width)));
    }
}

// Sets one of the colours; answers the old one (-1 for the default).
LRESULT SwapColour(Tree& t, COLORREF& slot, LPARAM value)
{
    const COLORREF old = slot;
    slot = static_cast<COLORREF>(value);
    Invalidate(t);
    return static_cast<LRESULT>(static_cast<LONG>(old));
}

void CreateTooltip(Tree& t)
{
    if (Style(t) & TVS_NOTOOLTIPS)
        return;
    t.tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP, 0, 0, 0, 0, t.hwnd, nullptr, nullptr, nullptr);
}

LRESULT Tree::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    Tree* t = this;
    switch (message) {
    case WM_CREATE:
        CreateTooltip(*t);
        return 0;
    case WM_DESTROY:
        if (t->edit)
            EndEdit(*t, true);
        DeleteItem(*t, TVI_ROOT);
        if (t->tooltip)
            DestroyWindow(t->tooltip);
        t->tooltip = nullptr;
        break;
    case WM_SETFONT:
        t->font = reinterpret_cast<HFONT>(wParam);
        if (t->boldFont)
            DeleteObject(t->boldFont);
        t->boldFont = nullptr;
        ClampScroll(*t);
        if (LOWORD(lParam))
            Invalidate(*t);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(t->font);
    case WM_SETREDRAW:
        t->redraw = wParam != 0;
        DefWindowProcA(hwnd, message, wParam, lParam);
        if (t->redraw)
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PaintDc dc(hwnd, wParam);
        Paint(*t, dc.Get());
        return 0;
    }
    case WM_SIZE:
        ClampScroll(*t);
        Invalidate(*t);
        return 0;
    case WM_ENABLE:
        Invalidate(*t);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(*t);
        NotifyClick(*t, message == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
        OnKey(*t, static_cast<UINT>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        OnButtonDown(*t, lParam, message == WM_RBUTTONDOWN);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        OnButtonUp(*t, message == WM_RBUTTONUP);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        OnDoubleClick(*t, lParam, message == WM_RBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(*t, lParam);
        return 0;
    case WM_MOUSELEAVE:
        if (t->hot) {
            t->hot = nullptr;
            Invalidate(*t);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd && t->pressed) {
            if (t->pressRight)
                ClearRightHighlight(*t);
            t->pressed = nullptr;
        }
        return 0;
    case WM_TIMER:
        if (wParam == kEditTimer) {
            KillTimer(hwnd, kEditTimer);
            const HTREEITEM handle = t->pendingEdit;
            t->pendingEdit = nullptr;
            if (Find(*t, handle) && t->caret && t->caret->handle == handle)
                BeginEdit(*t, handle);
            return 0;
        }
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
        OnScroll(*t, message == WM_VSCROLL, wParam);
        return 0;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<short>(HIWORD(wParam));
        ScrollTo(*t, t->top - delta / WHEEL_DELTA * 3, t->scrollX);
        return 0;
    }
    case WM_COMMAND:
        return 0;
    case TVM_INSERTITEMA: {
        const auto* in = reinterpret_cast<const TVINSERTSTRUCTA*>(lParam);
        return in ? reinterpret_cast<LRESULT>(Insert(*t, *in)) : 0;
    }
    case TVM_DELETEITEM:
        return DeleteItem(*t, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_EXPAND:
        return Expand(*t, reinterpret_cast<HTREEITEM>(lParam), static_cast<UINT>(wParam));
    case TVM_GETITEMRECT:
        return ItemRect(*t, reinterpret_cast<RECT*>(lParam), wParam != 0);
    case TVM_GETCOUNT:
        return static_cast<LRESULT>(t->nodes.size());
    case TVM_GETINDENT:
        return t->indent;
    case TVM_SETINDENT:
        t->indent = std::max(static_cast<int>(wParam), 4);
        Invalidate(*t);
        return 0;
    case TVM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(wParam == TVSIL_STATE ? t->stateImages : t->images);
    case TVM_SETIMAGELIST: {
        HIMAGELIST& slot = wParam == TVSIL_STATE ? t->stateImages : t->images;
        HIMAGELIST old = slot;
        slot = reinterpret_cast<HIMAGELIST>(lParam);
        ClampScroll(*t);
        Invalidate(*t);
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETNEXTITEM:
        return reinterpret_cast<LRESULT>(NextItem(*t, reinterpret_cast<HTREEITEM>(lParam), static_cast<UINT>(wParam)));
    case TVM_SELECTITEM: {
        const HTREEITEM handle = reinterpret_cast<HTREEITEM>(lParam);
        switch (wParam & 0xFF) {
        case TVGN_CARET:
            return SelectCaret(*t, handle, TVC_UNKNOWN);
        case TVGN_DROPHILITE: {
            Node* n = Find(*t, handle);
            if (handle && !n)
                return FALSE;
            if (t->drop)
                t->drop->state &= ~static_cast<UINT>(TVIS_DROPHILITED);
            t->drop = n;
            if (n)
                n->state |= TVIS_DROPHILITED;
            Invalidate(*t);
            return TRUE;
        }
        case TVGN_FIRSTVISIBLE: {
            Node* n = Find(*t, handle);
            if (!n || !EnsureVisible(*t, handle))
                return FALSE;
            ScrollTo(*t, IndexOf(VisibleItems(*t), Find(*t, handle)), t->scrollX);
            return TRUE;
        }
        default:
            return FALSE;
        }
    }
    case TVM_GETITEMA:
        return GetItem(*t, reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA: {
        const auto* in = reinterpret_cast<const TVITEMA*>(lParam);
        return in ? SetItem(*t, *in) : FALSE;
    }
    case TVM_GETITEMSTATE: {
        Node* n = Find(*t, reinterpret_cast<HTREEITEM>(wParam));
        return n ? (n->state & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_EDITLABELA:
        return reinterpret_cast<LRESULT>(BeginEdit(*t, reinterpret_cast<HTREEITEM>(lParam)));
    case TVM_GETEDITCONTROL:
        return reinterpret_cast<LRESULT>(t->edit);
    case TVM_ENDEDITLABELNOW:
        if (!t->edit)
            return FALSE;
        EndEdit(*t, wParam != 0);
        return TRUE;
    case TVM_GETVISIBLECOUNT:
        return VisibleCount(*t);
    case TVM_HITTEST: {
        auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
        if (!info)
            return 0;
        HitTest(*t, info);
        return reinterpret_cast<LRESULT>(info->hItem);
    }
    case TVM_SORTCHILDREN: {
        const HTREEITEM handle = reinterpret_cast<HTREEITEM>(lParam);
        Node* parent = (handle && handle != TVI_ROOT) ? Find(*t, handle) : nullptr;
        if (handle && handle != TVI_ROOT && !parent)
            return FALSE;
        std::vector<Node*> kids;
        for (Node* c = FirstChild(*t, parent); c; c = c->next)
            kids.push_back(c);
        std::stable_sort(kids.begin(), kids.end(), [](const Node* a, const Node* b) { return a->text < b->text; });
        Node*& first = parent ? parent->first : t->first;
        Node*& last = parent ? parent->last : t->last;
        first = last = nullptr;
        for (Node* c : kids) {
            c->prev = last;
            c->next = nullptr;
            if (last)
                last->next = c;
            else
                first = c;
            last = c;
        }
        Invalidate(*t);
        return TRUE;
    }
    case TVM_ENSUREVISIBLE:
        return EnsureVisible(*t, reinterpret_cast<HTREEITEM>(lParam));
    case TVM_GETTOOLTIPS:
        return reinterpret_cast<LRESULT>(t->tooltip);
    case TVM_SETTOOLTIPS: {
        HWND old = t->tooltip;
        t->tooltip = reinterpret_cast<HWND>(wParam);
        return reinterpret_cast<LRESULT>(old);
    }
    case TVM_SETITEMHEIGHT: {
        const int old = ItemHeight(*t);
        const int h = static_cast<short>(LOWORD(wParam));
        t->itemHeight = h <= 0 ? 0 : h;
        ClampScroll(*t);
        Invalidate(*t);
        return old;
    }
    case TVM_GETITEMHEIGHT:
        return ItemHeight(*t);
    case TVM_SETBKCOLOR:
        return SwapColour(*t, t->bk, lParam);
    case TVM_GETBKCOLOR:
        return static_cast<LRESULT>(static_cast<LONG>(t->bk));
    case TVM_SETTEXTCOLOR:
        return SwapColour(*t, t->text, lParam);
    case TVM_GETTEXTCOLOR:
        return static_cast<LRESULT>(static_cast<LONG>(t->text));
    case TVM_SETLINECOLOR:
        return SwapColour(*t, t->line, lParam);
    case TVM_GETLINECOLOR:
        return static_cast<LRESULT>(static_cast<LONG>(t->line));
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

void RegisterTreeViewClass()
{
    RegisterControl(WC_TREEVIEWA, ControlProc<Tree>, CS_DBLCLKS);
}

} // namespace tavrin::controls
