#include "platform/controls/Header.h"

#include "platform/controls/Control.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/ImageList.h"
#include "platform/win/User.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tavrin::controls {
namespace {

// Pixels either side of a divider that grab it.
constexpr int kDividerGrab = 4;

struct HeaderItem {
    int width = 0;
    std::string text;
    int fmt = HDF_LEFT | HDF_STRING;
    LPARAM lParam = 0;
    HBITMAP hbm = nullptr;
    int image = 0;
};

struct Header {
    explicit Header(HWND window) : hwnd(window) {}
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
    std::vector<HeaderItem> items;
    std::vector<int> order; // display position -> item index
    HFONT font = nullptr;
    HIMAGELIST images = nullptr;
    int tracking = -1;
    int trackStartX = 0;
    int trackStartWidth = 0;
    int pressed = -1;
    bool pressedInside = false;
};

bool ValidIndex(const Header& h, int index)
{
    return index >= 0 && index < static_cast<int>(h.items.size());
}

RECT ItemRect(const Header& h, int index)
{
    RECT client;
    GetClientRect(h.hwnd, &client);
    int x = 0;
    for (int i : h.order) {
        if (i == index)
            return RECT{x, 0, x + h.items[static_cast<size_t>(i)].width, client.bottom};
        x += h.items[static_cast<size_t>(i)].width;
    }
    return RECT{0, 0, 0, 0};
}

void HitTest(const Header& h, HDHITTESTINFO* info)
{
    RECT client;
    GetClientRect(h.hwnd, &client);
    const POINT pt = info->pt;
    info->iItem = -1;
    info->flags = 0;
    if (pt.y < 0)
        info->flags |= HHT_ABOVE;
    else if (pt.y >= client.bottom)
        info->flags |= HHT_BELOW;
    if (pt.x < 0)
        info->flags |= HHT_TOLEFT;
    else if (pt.x >= client.right)
        info->flags |= HHT_TORIGHT;
    if (info->flags)
        return;
    // Dividers first: the grab zone reaches into the next item.
    int x = 0;
    for (size_t pos = 0; pos < h.order.size(); ++pos) {
        const int index = h.order[pos];
        x += h.items[static_cast<size_t>(index)].width;
        if (pt.x >= x - kDividerGrab && pt.x < x + kDividerGrab) {
            // A column of no width right of the divider can be opened again.
            if (pt.x >= x && pos + 1 < h.order.size() && h.items[static_cast<size_t>(h.order[pos + 1])].width == 0) {
                info->flags = HHT_ONDIVOPEN;
                info->iItem = h.order[pos + 1];
                return;
            }
            info->flags = HHT_ONDIVIDER;
            info->iItem = index;
            return;
        }
    }
    x = 0;
    for (int index : h.order) {
        const int w = h.items[static_cast<size_t>(index)].width;
        if (pt.x >= x && pt.x < x + w) {
            info->flags = HHT_ONHEADER;
            info->iItem = index;
            return;
        }
        x += w;
    }
    info->flags = HHT_NOWHERE;
}

void FillItem(const Header& h, int index, HDITEMA* out)
{
    const HeaderItem& item = h.items[static_cast<size_t>(index)];
    if (out->mask & HDI_WIDTH)
        out->cxy = item.width;
    if (out->mask & HDI_TEXT)
        CopyGbkText(item.text.c_str(), out->pszText, out->cchTextMax);
    if (out->mask & HDI_FORMAT)
        out->fmt = item.fmt;
    if (out->mask & HDI_LPARAM)
        out->lParam = item.lParam;
    if (out->mask & HDI_BITMAP)
        out->hbm = item.hbm;
    if (out->mask & HDI_IMAGE)
        out->iImage = item.image;
    if (out->mask & HDI_ORDER) {
        auto it = std::find(h.order.begin(), h.order.end(), index);
        out->iOrder = static_cast<int>(it - h.order.begin());
    }
}

void ApplyFields(Header& h, int index, const HDITEMA& in)
{
    HeaderItem& item = h.items[static_cast<size_t>(index)];
    if (in.mask & HDI_WIDTH)
        item.width = std::max(0, in.cxy);
    if ((in.mask & HDI_TEXT) && in.pszText && in.pszText != LPSTR_TEXTCALLBACKA)
        item.text = in.pszText;
    if (in.mask & HDI_FORMAT)
        item.fmt = in.fmt;
    if (in.mask & HDI_LPARAM)
        item.lParam = in.lParam;
    if (in.mask & HDI_BITMAP)
        item.hbm = in.hbm;
    if (in.mask & HDI_IMAGE)
        item.image = in.iImage;
    if (in.mask & HDI_ORDER) {
        auto it = std::find(h.order.begin(), h.order.end(), index);
        if (it != h.order.end())
            h.order.erase(it);
        const int at = std::clamp(in.iOrder, 0, static_cast<int>(h.order.size()));
        h.order.insert(h.order.begin() + at, index);
    }
}

LRESULT Notify(Header& h, UINT code, int index, HDITEMA* item, int button = 0)
{
    NMHEADERA nm{};
    nm.iItem = index;
    nm.iButton = button;
    nm.pitem = item;
    return SendNotify(h.hwnd, code, &nm.hdr);
}

// A change by the program or the user: the parent may refuse it.
BOOL ChangeItem(Header& h, int index, const HDITEMA& change)
{
    if (!ValidIndex(h, index))
        return FALSE;
    HDITEMA copy = change;
    if (Notify(h, HDN_ITEMCHANGINGA, index, &copy))
        return FALSE;
    if (!ValidIndex(h, index))
        return FALSE;
    ApplyFields(h, index, change);
    copy = change;
    Notify(h, HDN_ITEMCHANGEDA, index, &copy);
    InvalidateRect(h.hwnd, nullptr, TRUE);
    return TRUE;
}

BOOL SetWidth(Header& h, int index, int width)
{
    HDITEMA change{};
    change.mask = HDI_WIDTH;
    change.cxy = width;
    return ChangeItem(h, index, change);
}

void DrawBitmap(HDC hdc, HBITMAP bitmap, int x, const RECT& rc)
{
    BITMAP info{};
    if (GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectA(bitmap, sizeof info, &info))
        return;
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    const int y = rc.top + (rc.bottom - rc.top - info.bmHeight) / 2;
    BitBlt(hdc, x, y, std::min<int>(info.bmWidth, rc.right - x), info.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void Paint(Header& h, HDC hdc)
{
    RECT client;
    GetClientRect(h.hwnd, &client);
    FillSolid(hdc, client, GetSysColor(COLOR_BTNFACE));
    const int saved = SaveDC(hdc);
    SelectObject(hdc, ControlFont(h.font));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    int x = 0;
    for (int index : h.order) {
        const HeaderItem& item = h.items[static_cast<size_t>(index)];
        RECT rc{x, 0, x + item.width, client.bottom};
        x += item.width;
        if (item.width <= 0)
            continue;
        const bool down = index == h.pressed && h.pressedInside;
        if (item.fmt & HDF_OWNERDRAW) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_HEADER;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID(h.hwnd));
            dis.itemID = static_cast<UINT>(index);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = down ? ODS_SELECTED : 0;
            dis.hwndItem = h.hwnd;
            dis.hDC = hdc;
            dis.rcItem = rc;
            dis.itemData = static_cast<ULONG_PTR>(item.lParam);
            SendMessageA(GetParent(h.hwnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
            continue;
        }
        RECT edge = rc;
        DrawEdge(hdc, &edge, down ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | BF_SOFT);
        RECT text{rc.left + 6, rc.top, rc.right - 6, rc.bottom};
        if (down)
            OffsetRect(&text, 1, 1);
        int cx = 0, cy = 0;
        if ((item.fmt & HDF_IMAGE) && h.images && ImageList_GetIconSize(h.images, &cx, &cy) && text.left + cx <= text.right) {
            ImageList_Draw(h.images, item.image, hdc, text.left, text.top + (text.bottom - text.top - cy) / 2,
                           ILD_TRANSPARENT);
            text.left += cx + 4;
        }
        // Only a real bitmap is drawn: a caller may keep something else there.
        if ((item.fmt & HDF_BITMAP) && item.hbm && GetObjectType(item.hbm) == OBJ_BITMAP) {
            BITMAP info{};
            GetObjectA(item.hbm, sizeof info, &info);
            if (text.left + info.bmWidth <= text.right) {
                DrawBitmap(hdc, item.hbm, text.left, text);
                text.left += info.bmWidth + 4;
            }
        }
        if (!item.text.empty() && text.right > text.left) {
            UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
            if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT)
                format |= DT_RIGHT;
            else if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER)
                format |= DT_CENTER;
            DrawTextA(hdc, item.text.c_str(), static_cast<int>(item.text.size()), &text, format);
        }
    }
    RestoreDC(hdc, saved);
}

POINT PointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void EndTrack(Header& h, bool apply, int x)
{
    const int index = h.tracking;
    h.tracking = -1;
    if (GetCapture() == h.hwnd)
        ReleaseCapture();
    if (!ValidIndex(h, index))
        return;
    HDITEMA item{};
    item.mask = HDI_WIDTH;
    item.cxy = std::max(0, h.trackStartWidth + x - h.trackStartX);
    Notify(h, HDN_ENDTRACKA, index, &item);
    if (apply)
        SetWidth(h, index, item.cxy);
}

LRESULT Header::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    Header* h = this;
    switch (message) {
    case WM_SETFONT:
        h->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(h->font);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        PaintDc dc(hwnd, wParam);
        Paint(*h, dc.Get());
        return 0;
    }
    case HDM_GETITEMCOUNT:
        return static_cast<LRESULT>(h->items.size());
    case HDM_INSERTITEMA: {
        const HDITEMA* in = reinterpret_cast<const HDITEMA*>(lParam);
        if (!in)
            return -1;
        const int index = std::clamp(static_cast<int>(wParam), 0, static_cast<int>(h->items.size()));
        h->items.insert(h->items.begin() + index, HeaderItem{});
        for (int& i : h->order)
            if (i >= index)
                ++i;
        const int at = (in->mask & HDI_ORDER) ? std::clamp(in->iOrder, 0, static_cast<int>(h->order.size()))
                                              : std::min(index, static_cast<int>(h->order.size()));
        h->order.insert(h->order.begin() + at, index);
        HDITEMA fields = *in;
        fields.mask &= ~static_cast<UINT>(HDI_ORDER);
        ApplyFields(*h, index, fields);
        InvalidateRect(hwnd, nullptr, TRUE);
        return index;
    }
    case HDM_DELETEITEM: {
        const int index = static_cast<int>(wParam);
        if (!ValidIndex(*h, index))
            return FALSE;
        h->items.erase(h->items.begin() + index);
        h->order.erase(std::find(h->order.begin(), h->order.end(), index));
        for (int& i : h->order)
            if (i > index)
                --i;
        if (h->tracking == index)
            EndTrack(*h, false, h->trackStartX);
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case HDM_GETITEMA: {
        HDITEMA* out = reinterpret_cast<HDITEMA*>(lParam);
        if (!out || !ValidIndex(*h, static_cast<int>(wParam)))
            return FALSE;
        FillItem(*h, static_cast<int>(wParam), out);
        return TRUE;
    }
    case HDM_SETITEMA: {
        const HDITEMA* in = reinterpret_cast<const HDITEMA*>(lParam);
        return in ? ChangeItem(*h, static_cast<int>(wParam), *in) : FALSE;
    }
    case HDM_LAYOUT: {
        HDLAYOUT* layout = reinterpret_cast<HDLAYOUT*>(lParam);
        if (!layout || !layout->prc || !layout->pwpos)
            return FALSE;
        const int height = (GetWindowLongA(hwnd, GWL_STYLE) & HDS_HIDDEN) ? 0 : FontLineHeight(h->font) + 7;
        WINDOWPOS& pos = *layout->pwpos;
        pos.hwnd = hwnd;
        pos.hwndInsertAfter = nullptr;
        pos.x = layout->prc->left;
        pos.y = layout->prc->top;
        pos.cx = layout->prc->right - layout->prc->left;
        pos.cy = height;
        pos.flags = SWP_NOZORDER;
        layout->prc->top += height;
        return TRUE;
    }
    case HDM_HITTEST: {
        HDHITTESTINFO* info = reinterpret_cast<HDHITTESTINFO*>(lParam);
        if (!info)
            return -1;
        HitTest(*h, info);
        return info->iItem;
    }
    case HDM_GETITEMRECT: {
        RECT* out = reinterpret_cast<RECT*>(lParam);
        if (!out || !ValidIndex(*h, static_cast<int>(wParam)))
            return FALSE;
        *out = ItemRect(*h, static_cast<int>(wParam));
        return TRUE;
    }
    case HDM_SETIMAGELIST: {
        HIMAGELIST old = h->images;
        h->images = reinterpret_cast<HIMAGELIST>(lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case HDM_GETIMAGELIST:
        return reinterpret_cast<LRESULT>(h->images);
    case HDM_ORDERTOINDEX: {
        const size_t pos = wParam;
        return pos < h->order.size() ? h->order[pos] : -1;
    }
    case HDM_GETORDERARRAY: {
        int* out = reinterpret_cast<int*>(lParam);
        if (!out || wParam != h->order.size())
            return FALSE;
        std::copy(h->order.begin(), h->order.end(), out);
        return TRUE;
    }
    case HDM_SETORDERARRAY: {
        const int* in = reinterpret_cast<const int*>(lParam);
        if (!in || wParam != h->order.size())
            return FALSE;
        std::vector<int> order(in, in + wParam);
        std::vector<int> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        for (size_t i = 0; i < sorted.size(); ++i)
            if (sorted[i] != static_cast<int>(i))
                return FALSE;
        h->order = order;
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case WM_SETCURSOR: {
        POINT pt;
        GetCursorPos(&pt);
        ScreenToClient(hwnd, &pt);
        HDHITTESTINFO info{pt, 0, -1};
        HitTest(*h, &info);
        if (h->tracking >= 0 || (info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))) {
            SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
            return TRUE;
        }
        break;
    }
    case WM_LBUTTONDOWN: {
        HDHITTESTINFO info{PointOf(lParam), 0, -1};
        HitTest(*h, &info);
        if (info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
            HDITEMA item{};
            item.mask = HDI_WIDTH;
            item.cxy = h->items[static_cast<size_t>(info.iItem)].width;
            if (Notify(*h, HDN_BEGINTRACKA, info.iItem, &item))
                return 0;
            if (!ValidIndex(*h, info.iItem))
                return 0;
            h->tracking = info.iItem;
            h->trackStartX = info.pt.x;
            h->trackStartWidth = h->items[static_cast<size_t>(info.iItem)].width;
            SetCapture(hwnd);
            SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
        } else if ((info.flags & HHT_ONHEADER) && (GetWindowLongA(hwnd, GWL_STYLE) & HDS_BUTTONS)) {
            h->pressed = info.iItem;
            h->pressedInside = true;
            SetCapture(hwnd);
            InvalidateRect(hwnd, nullptr, TRUE);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        const POINT pt = PointOf(lParam);
        if (h->tracking >= 0) {
            HDITEMA item{};
            item.mask = HDI_WIDTH;
            item.cxy = std::max(0, h->trackStartWidth + pt.x - h->trackStartX);
            if (Notify(*h, HDN_TRACKA, h->tracking, &item)) {
                EndTrack(*h, false, h->trackStartX);
                return 0;
            }
            if (h->tracking >= 0 && (GetWindowLongA(hwnd, GWL_STYLE) & HDS_FULLDRAG))
                SetWidth(*h, h->tracking, item.cxy);
        } else if (h->pressed >= 0) {
            HDHITTESTINFO info{pt, 0, -1};
            HitTest(*h, &info);
            const bool inside = (info.flags & HHT_ONHEADER) && info.iItem == h->pressed;
            if (inside != h->pressedInside) {
                h->pressedInside = inside;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        const POINT pt = PointOf(lParam);
        if (h->tracking >= 0) {
            EndTrack(*h, true, pt.x);
        } else if (h->pressed >= 0) {
            const int index = h->pressed;
            const bool inside = h->pressedInside;
            h->pressed = -1;
            if (GetCapture() == hwnd)
                ReleaseCapture();
            InvalidateRect(hwnd, nullptr, TRUE);
            if (inside && ValidIndex(*h, index))
                Notify(*h, HDN_ITEMCLICKA, index, nullptr, 0);
        }
        return 0;
    }
    case WM_LBUTTONDBLCLK: {
        HDHITTESTINFO info{PointOf(lParam), 0, -1};
        HitTest(*h, &info);
        if (info.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN))
            Notify(*h, HDN_DIVIDERDBLCLICKA, info.iItem, nullptr);
        else if (info.flags & HHT_ONHEADER)
            Notify(*h, HDN_ITEMDBLCLICKA, info.iItem, nullptr);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
            if (h->tracking >= 0)
                EndTrack(*h, false, h->trackStartX);
            if (h->pressed >= 0) {
                h->pressed = -1;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

void RegisterHeaderClass()
{
    RegisterControl(WC_HEADERA, ControlProc<Header>, CS_DBLCLKS);
}

} // namespace tavrin::controls
