// "COMBOBOX": the field shows the selected item; its list is a popup
// ("ComboLBox") owned by the combo box, which keeps the keyboard focus while
// the list holds the mouse. Arrows change the selection while closed; F4 and
// Alt+Down open the list, Enter and F4 choose, Esc and a click outside cancel.
#include "platform/controls/ComboBox.h"

#include "platform/controls/Control.h"
#include "platform/controls/ListBox.h"

#include <algorithm>

namespace tavrin::controls {

namespace {

class ComboBox : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT List(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageA(m_list, message, wParam, lParam);
    }
    int FieldHeight() const { return LineHeight(Font()) + 8; }
    int Current() const { return static_cast<int>(List(LB_GETCURSEL)); }
    std::string Selection() const;
    void CreateList();
    void Open();
    void Close(bool choose);
    // Moves the selection by keys while closed; tells the parent when it changed.
    void Move(int index);
    void Key(UINT key);
    void Paint(HDC hdc) override;

    HWND m_list = nullptr;
    bool m_dropped = false;
    int m_droppedHeight = 100;
    int m_droppedWidth = 0;
    int m_selectionBeforeDrop = -1;
    bool m_focused = false;
    BOOL m_extendedUi = FALSE;
};

LRESULT ComboBox::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        CreateList();
        if (!m_list)
            return -1;
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowPos(m_hwnd, nullptr, 0, 0, cs->cx, cs->cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    // WS_VSCROLL is the dropped list's: the field itself has no frame or bar.
    case WM_NCCALCSIZE:
        return 0;
    case WM_NCPAINT:
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_DESTROY:
        if (m_list)
            DestroyWindow(m_list);
        m_list = nullptr;
        return 0;
    case WM_WINDOWPOSCHANGING: {
        // The height asked for is the field with its dropped list below.
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE) && pos->cy != FieldHeight()) {
            m_droppedHeight = std::max(pos->cy - FieldHeight(), 0);
            pos->cy = FieldHeight();
        }
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    }
    case WM_SETFONT:
        Control::Handle(message, wParam, lParam);
        List(WM_SETFONT, wParam, lParam);
        SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        {
            RECT rc;
            GetWindowRect(m_hwnd, &rc);
            const int dropped = m_droppedHeight;
            SetWindowPos(m_hwnd, nullptr, 0, 0, rc.right - rc.left, FieldHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            m_droppedHeight = dropped;
        }
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (m_dropped && msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_ENABLE:
        if (!wParam)
            Close(false);
        return Control::Handle(message, wParam, lParam);
    case WM_SETFOCUS:
        m_focused = true;
        Redraw();
        Command(CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        Close(false);
        m_focused = false;
        Redraw();
        Command(CBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GetFocus() != m_hwnd)
            SetFocus(m_hwnd);
        if (GetFocus() != m_hwnd)
            return 0;
        if (m_dropped)
            Close(false);
        else
            Open();
        return 0;
    case WM_KEYDOWN:
        Key(static_cast<UINT>(wParam));
        return 0;
    case WM_SYSKEYDOWN:
        if ((HIWORD(lParam) & KF_ALTDOWN) && (wParam == VK_DOWN || wParam == VK_UP)) {
            if (m_dropped)
                Close(true);
            else
                Open();
            return 0;
        }
        return DefWindowProcA(m_hwnd, message, wParam, lParam);
    case WM_CHAR: {
        const char text[2] = {static_cast<char>(wParam), 0};
        if (static_cast<unsigned char>(text[0]) < ' ')
            return 0;
        const int index = static_cast<int>(List(LB_FINDSTRING, static_cast<WPARAM>(Current()), reinterpret_cast<LPARAM>(text)));
        if (index >= 0) {
            if (m_dropped)
                List(LB_SETCURSEL, static_cast<WPARAM>(index));
            else
                Move(index);
        }
        return 0;
    }
    case WM_MOUSEWHEEL:
        if (!m_dropped && Enabled()) {
            const int notches = static_cast<short>(HIWORD(wParam)) / WHEEL_DELTA;
            if (notches)
                Move(std::clamp(Current() - notches, 0, static_cast<int>(List(LB_GETCOUNT)) - 1));
            return 0;
        }
        return List(message, wParam, lParam);
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == m_list) {
            if (HIWORD(wParam) == LBN_SELCHANGE)
                Close(true);
            else if (HIWORD(wParam) == LBN_SELCANCEL)
                Close(false);
        }
        return 0;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM: {
        // The list's owner-drawn items are the combo box's to the parent.
        HWND target = NotifyTarget();
        if (!target)
            return 0;
        if (message == WM_DRAWITEM) {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            dis->CtlType = ODT_COMBOBOX;
            dis->CtlID = static_cast<UINT>(Id());
        } else if (message == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            mis->CtlType = ODT_COMBOBOX;
            mis->CtlID = static_cast<UINT>(Id());
        } else {
            auto* dis = reinterpret_cast<DELETEITEMSTRUCT*>(lParam);
            dis->CtlType = ODT_COMBOBOX;
            dis->CtlID = static_cast<UINT>(Id());
            dis->hwndItem = m_hwnd;
        }
        return SendMessageA(target, message, static_cast<WPARAM>(Id()), lParam);
    }
    case WM_GETTEXT:
        return CopyTextOut(Selection(), wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(Selection().size());
    case WM_SETTEXT: {
        const LRESULT index = List(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
        if (index < 0)
            return CB_ERR;
        List(LB_SETCURSEL, static_cast<WPARAM>(index));
        Redraw();
        return TRUE;
    }
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_DELETESTRING:
    case CB_RESETCONTENT:
    case CB_SETCURSEL:
    case CB_SELECTSTRING: {
        static const UINT forward[] = {LB_ADDSTRING, LB_DELETESTRING, 0, LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXT,
                                       LB_GETTEXTLEN, LB_INSERTSTRING, LB_RESETCONTENT, LB_FINDSTRING,
                                       LB_SELECTSTRING, LB_SETCURSEL};
        const LRESULT result = List(forward[message - CB_ADDSTRING], wParam, lParam);
        Redraw();
        return result;
    }
    case CB_GETCOUNT:
        return List(LB_GETCOUNT);
    case CB_GETCURSEL:
        return List(LB_GETCURSEL);
    case CB_GETLBTEXT:
        return List(LB_GETTEXT, wParam, lParam);
    case CB_GETLBTEXTLEN:
        return List(LB_GETTEXTLEN, wParam, lParam);
    case CB_FINDSTRING:
        return List(LB_FINDSTRING, wParam, lParam);
    case CB_FINDSTRINGEXACT:
        return List(LB_FINDSTRINGEXACT, wParam, lParam);
    case CB_GETITEMDATA:
        return List(LB_GETITEMDATA, wParam, lParam);
    case CB_SETITEMDATA:
        return List(LB_SETITEMDATA, wParam, lParam);
    case CB_GETTOPINDEX:
        return List(LB_GETTOPINDEX);
    case CB_SETTOPINDEX:
        return List(LB_SETTOPINDEX, wParam) == LB_ERR ? CB_ERR : CB_OKAY;
    case CB_INITSTORAGE:
        return List(LB_INITSTORAGE, wParam, lParam);
    case CB_GETHORIZONTALEXTENT:
        return List(LB_GETHORIZONTALEXTENT);
    case CB_SETHORIZONTALEXTENT:
        return List(LB_SETHORIZONTALEXTENT, wParam);
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? FieldHeight() - 6 : List(LB_GETITEMHEIGHT, wParam);
    case CB_SETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? CB_ERR : List(LB_SETITEMHEIGHT, wParam, lParam);
    case CB_SHOWDROPDOWN:
        if (wParam)
            Open();
        else
            Close(true);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return m_dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT:
        if (auto* rect = reinterpret_cast<RECT*>(lParam)) {
            GetWindowRect(m_hwnd, rect);
            rect->right = rect->left + std::max<int>(m_droppedWidth, rect->right - rect->left);
            rect->bottom += m_droppedHeight;
            return TRUE;
        }
        return CB_ERR;
    case CB_SETDROPPEDWIDTH:
        m_droppedWidth = static_cast<int>(wParam);
        return m_droppedWidth;
    case CB_GETDROPPEDWIDTH: {
        RECT rc;
        GetWindowRect(m_hwnd, &rc);
        return std::max<int>(m_droppedWidth, rc.right - rc.left);
    }
    case CB_SETEXTENDEDUI:
        m_extendedUi = wParam ? TRUE : FALSE;
        return CB_OKAY;
    case CB_GETEXTENDEDUI:
        return m_extendedUi;
    case CB_LIMITTEXT:
        return TRUE;
    case CB_GETEDITSEL:
    case CB_SETEDITSEL:
        return CB_ERR; // a drop-down list has no edit field
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

std::string ComboBox::Selection() const
{
    const int index = Current();
    const LRESULT length = index >= 0 ? List(LB_GETTEXTLEN, static_cast<WPARAM>(index)) : LB_ERR;
    if (length < 0)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    List(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

void ComboBox::CreateList()
{
    const DWORD style = Style();
    DWORD listStyle = WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS | LBS_COMBOBOX | LBS_NOTIFY;
    if (style & WS_VSCROLL)
        listStyle |= WS_VSCROLL;
    if (style & CBS_SORT)
        listStyle |= LBS_SORT;
    if (style & CBS_OWNERDRAWFIXED)
        listStyle |= LBS_OWNERDRAWFIXED;
    if (style & CBS_OWNERDRAWVARIABLE)
        listStyle |= LBS_OWNERDRAWVARIABLE;
    if (style & CBS_HASSTRINGS)
        listStyle |= LBS_HASSTRINGS;
    if (style & CBS_DISABLENOSCROLL)
        listStyle |= LBS_DISABLENOSCROLL;
    m_list = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, ComboListClass(), "", listStyle, 0, 0, 0, 0, m_hwnd,
                             nullptr, nullptr, m_hwnd);
}

void ComboBox::Open()
{
    if (m_dropped || !Enabled())
        return;
    Command(CBN_DROPDOWN);
    m_selectionBeforeDrop = Current();
    RECT rc;
    GetWindowRect(m_hwnd, &rc);
    const int count = static_cast<int>(List(LB_GETCOUNT));
    const int itemHeight = static_cast<int>(List(LB_GETITEMHEIGHT));
    const int frame = 2;
    // The template's height less the field, shrunk to the items, at least one row.
    int height = std::min(m_droppedHeight, std::max(count, 1) * itemHeight + frame);
    if (!(Style() & CBS_NOINTEGRALHEIGHT))
        height = std::max(1, (height - frame) / itemHeight) * itemHeight + frame;
    height = std::max(height, itemHeight + frame);
    const int width = std::max<int>(m_droppedWidth, rc.right - rc.left);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int y = rc.bottom;
    if (y + height > area.bottom && rc.top - height >= area.top)
        y = rc.top - height;
    m_dropped = true;
    SetWindowPos(m_list, HWND_TOPMOST, rc.left, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (m_selectionBeforeDrop >= 0)
        List(LB_SETCARETINDEX, static_cast<WPARAM>(m_selectionBeforeDrop), FALSE);
    SetCapture(m_list);
    Redraw();
}

void ComboBox::Close(bool choose)
{
    if (!m_dropped)
        return;
    m_dropped = false;
    ShowWindow(m_list, SW_HIDE);
    if (GetCapture() == m_list)
        ReleaseCapture();
    const int selection = Current();
    if (!choose && selection != m_selectionBeforeDrop)
        List(LB_SETCURSEL, static_cast<WPARAM>(m_selectionBeforeDrop));
    Redraw();
    Command(choose ? CBN_SELENDOK : CBN_SELENDCANCEL);
    Command(CBN_CLOSEUP);
    if (choose && selection != m_selectionBeforeDrop)
        Command(CBN_SELCHANGE);
}

void ComboBox::Move(int index)
{
    if (index < 0 || index == Current())
        return;
    List(LB_SETCURSEL, static_cast<WPARAM>(index));
    Redraw();
    Command(CBN_SELCHANGE);
}

void ComboBox::Key(UINT key)
{
    const int count = static_cast<int>(List(LB_GETCOUNT));
    const int current = Current();
    switch (key) {
    case VK_F4:
        if (m_dropped)
            Close(true);
        else
            Open();
        return;
    case VK_RETURN:
        Close(true);
        return;
    case VK_ESCAPE:
        Close(false);
        return;
    default:
        break;
    }
    if (count == 0)
        return;
    int next;
    switch (key) {
    case VK_UP:
    case VK_LEFT: next = current < 0 ? 0 : current - 1; break;
    case VK_DOWN:
    case VK_RIGHT: next = current + 1; break;
    case VK_PRIOR: next = current - 8; break;
    case VK_NEXT: next = current + 8; break;
    case VK_HOME: next = 0; break;
    case VK_END: next = count - 1; break;
    default: return;
    }
    next = std::clamp(next, 0, count - 1);
    if (m_dropped)
        List(LB_SETCURSEL, static_cast<WPARAM>(next));
    else
        Move(next);
}

void ComboBox::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const int buttonWidth = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), rc.right - rc.left);
    RECT button{rc.right - buttonWidth, rc.top, rc.right, rc.bottom};
    DrawFrameControl(hdc, &button, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (m_dropped ? DFCS_PUSHED : 0) | (Enabled() ? 0 : DFCS_INACTIVE));
    RECT field{rc.left, rc.top, button.left, rc.bottom};
    SelectObject(hdc, Font());
    HBRUSH back = CtlColor(WM_CTLCOLORLISTBOX, hdc);
    FillRect(hdc, &field, Enabled() ? back : GetSysColorBrush(COLOR_BTNFACE));
    if (Style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = static_cast<UINT>(Id());
        dis.itemID = static_cast<UINT>(Current());
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = ODS_COMBOBOXEDIT | (m_focused && !m_dropped ? ODS_SELECTED | ODS_FOCUS : 0) |
                        (Enabled() ? 0 : ODS_DISABLED);
        dis.hwndItem = m_hwnd;
        dis.hDC = hdc;
        dis.rcItem = field;
        InflateRect(&dis.rcItem, -1, -1);
        dis.itemData = Current() >= 0 ? static_cast<ULONG_PTR>(List(LB_GETITEMDATA, static_cast<WPARAM>(Current()))) : 0;
        if (HWND target = NotifyTarget())
            SendMessageA(target, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    RECT inner = field;
    InflateRect(&inner, -1, -1);
    const bool highlight = m_focused && !m_dropped && Enabled();
    if (highlight) {
        FillRect(hdc, &inner, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(hdc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    RECT text{inner.left + 2, inner.top, inner.right - 1, inner.bottom};
    DrawControlText(hdc, Selection(), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, Enabled());
    if (highlight)
        DrawFocusRect(hdc, &inner);
}

} // namespace

bool RegisterComboBox()
{
    static const bool registered = RegisterControl(WC_COMBOBOX, ControlProc<ComboBox>, CS_DBLCLKS);
    return registered;
}

} // namespace tavrin::controls
