// "STATIC": mouse input passes through to the parent unless SS_NOTIFY.
#include "platform/controls/Static.h"

#include "platform/controls/Control.h"

namespace tavrin::controls {

namespace {

class Static : public Control {
public:
    using Control::Control;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    DWORD Type() const { return Style() & SS_TYPEMASK; }
    void Paint(HDC hdc) override;
    void PaintText(HDC hdc, RECT rc);
    void PaintImage(HDC hdc, RECT rc);

    ControlImage m_image;
};

LRESULT Static::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCHITTEST:
        return (Style() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_LBUTTONDOWN:
        if (Style() & SS_NOTIFY)
            Command(STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (Style() & SS_NOTIFY)
            Command(STN_DBLCLK);
        return 0;
    case WM_ENABLE:
        if (Style() & SS_NOTIFY)
            Command(wParam ? STN_ENABLE : STN_DISABLE);
        return Control::Handle(message, wParam, lParam);
    case STM_SETICON:
        return SendMessageA(m_hwnd, STM_SETIMAGE, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON:
        return m_image.Get(IMAGE_ICON);
    case STM_SETIMAGE: {
        const LRESULT old = m_image.Set(wParam, lParam, 1u << IMAGE_BITMAP | 1u << IMAGE_ICON | 1u << IMAGE_CURSOR);
        Redraw();
        return old;
    }
    case STM_GETIMAGE:
        return m_image.Get(wParam);
    default:
        return Control::Handle(message, wParam, lParam);
    }
}

void Static::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hwnd, &rc);
    if (Style() & SS_SUNKEN)
        DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    switch (Type()) {
    case SS_BLACKRECT:
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        break;
    case SS_GRAYRECT:
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
        break;
    case SS_WHITERECT:
        FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOW));
        break;
    case SS_BLACKFRAME:
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        break;
    case SS_GRAYFRAME:
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
        break;
    case SS_WHITEFRAME:
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOW));
        break;
    case SS_ETCHEDHORZ:
        DrawEdge(hdc, &rc, EDGE_ETCHED, BF_TOP);
        break;
    case SS_ETCHEDVERT:
        DrawEdge(hdc, &rc, EDGE_ETCHED, BF_LEFT);
        break;
    case SS_ETCHEDFRAME:
        DrawEdge(hdc, &rc, EDGE_ETCHED, BF_RECT);
        break;
    case SS_OWNERDRAW: {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_STATIC;
        dis.CtlID = static_cast<UINT>(Id());
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = Enabled() ? 0 : ODS_DISABLED;
        dis.hwndItem = m_hwnd;
        dis.hDC = hdc;
        dis.rcItem = rc;
        CtlColor(WM_CTLCOLORSTATIC, hdc);
        if (HWND target = NotifyTarget())
            SendMessageA(target, WM_DRAWITEM, static_cast<WPARAM>(Id()), reinterpret_cast<LPARAM>(&dis));
        break;
    }
    case SS_ICON:
    case SS_BITMAP:
        PaintImage(hdc, rc);
        break;
    default:
        PaintText(hdc, rc);
        break;
    }
}

void Static::PaintText(HDC hdc, RECT rc)
{
    const DWORD style = Style();
    FillRect(hdc, &rc, CtlColor(WM_CTLCOLORSTATIC, hdc));
    UINT format = DT_EXPANDTABS;
    switch (Type()) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: format |= DT_LEFT | DT_SINGLELINE; break;
    default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: format |= DT_END_ELLIPSIS | DT_SINGLELINE; break;
    case SS_PATHELLIPSIS: format |= DT_PATH_ELLIPSIS | DT_SINGLELINE; break;
    case SS_WORDELLIPSIS: format |= DT_WORD_ELLIPSIS | DT_SINGLELINE; break;
    default: break;
    }
    SelectObject(hdc, Font());
    DrawControlText(hdc, Text(), &rc, format, Enabled());
}

void Static::PaintImage(HDC hdc, RECT rc)
{
    FillRect(hdc, &rc, CtlColor(WM_CTLCOLORSTATIC, hdc));
    if (!m_image.handle)
        return;
    const SIZE size = ImageSize(m_image.handle, m_image.type);
    int x = rc.left, y = rc.top;
    if (Style() & SS_CENTERIMAGE) {
        x += (rc.right - rc.left - size.cx) / 2;
        y += (rc.bottom - rc.top - size.cy) / 2;
    }
    DrawImage(hdc, m_image.handle, m_image.type, x, y);
}

} // namespace

bool RegisterStatic()
{
    static const bool registered = RegisterControl(WC_STATIC, ControlProc<Static>, CS_DBLCLKS);
    return registered;
}

} // namespace tavrin::controls
