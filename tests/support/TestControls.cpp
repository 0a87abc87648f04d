#include "tests/support/TestControls.h"

#include "platform/win/DialogTemplate.h"

#include <cstring>

namespace tavrin::test {

namespace {

LRESULT Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ControlEvents().push_back(ControlEvent{hwnd, message, wParam, lParam});
    return 0;
}

bool Is(HWND hwnd, const char* name)
{
    char cls[32];
    return GetClassNameA(hwnd, cls, sizeof cls) && std::strcmp(cls, name) == 0;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    switch (message) {
    case WM_GETDLGCODE:
        if (Is(hwnd, "TestButton"))
            return DLGC_BUTTON | ((style & BS_DEFPUSHBUTTON) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        if (Is(hwnd, "TestCheck"))
            return DLGC_BUTTON;
        if (Is(hwnd, "TestRadio"))
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        if (Is(hwnd, "TestEdit"))
            return (style & 4) ? (DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL)
                               : (DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL);
        return DLGC_STATIC;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case EM_SETSEL:
    case WM_SETFONT:
    case WM_CHAR:
        Record(hwnd, message, wParam, lParam);
        return 0;
    case BM_SETSTYLE:
        Record(hwnd, message, wParam, lParam);
        SetWindowLongA(hwnd, GWL_STYLE, (style & ~0xF) | static_cast<LONG>(wParam & 0xF));
        return 0;
    case BM_CLICK:
        Record(hwnd, message, wParam, lParam);
        if (Is(hwnd, "TestCheck"))
            SetPropA(hwnd, "check", reinterpret_cast<HANDLE>(GetPropA(hwnd, "check") ? 0 : 1));
        SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        return 0;
    case WM_LBUTTONUP:
        if (Is(hwnd, "TestButton") || Is(hwnd, "TestCheck") || Is(hwnd, "TestRadio"))
            SendMessageA(hwnd, BM_CLICK, 0, 0);
        return 0;
    case BM_SETCHECK:
        SetPropA(hwnd, "check", reinterpret_cast<HANDLE>(wParam));
        return 0;
    case BM_GETCHECK:
        return reinterpret_cast<LRESULT>(GetPropA(hwnd, "check"));
    case WM_NCDESTROY:
        RemovePropA(hwnd, "check");
        return DefWindowProcA(hwnd, message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(hdc, &r, GetSysColorBrush(Is(hwnd, "TestEdit") ? COLOR_WINDOW : COLOR_BTNFACE));
        FrameRect(hdc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        EndPaint(hwnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterTestControls()
{
    for (const char* name : {"TestButton", "TestCheck", "TestRadio", "TestEdit", "TestLabel"}) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ControlProc;
        wc.lpszClassName = name;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&wc); // fails harmlessly when already there
    }
}

std::vector<ControlEvent>& ControlEvents()
{
    static std::vector<ControlEvent> events;
    return events;
}

TemplateBuilder::TemplateBuilder(const char* title, DWORD style, short x, short y, short cx, short cy,
                                 const char* face, WORD points)
{
    m_dialog.title = title;
    m_dialog.style = style;
    m_dialog.x = x;
    m_dialog.y = y;
    m_dialog.cx = cx;
    m_dialog.cy = cy;
    if (face) {
        m_dialog.hasFont = true;
        m_dialog.face = face;
        m_dialog.pointSize = points;
        m_dialog.charset = 134; // GB2312_CHARSET
    }
}

TemplateBuilder& TemplateBuilder::Add(const char* className, const char* text, DWORD id, DWORD style, short x,
                                      short y, short cx, short cy, DWORD exStyle)
{
    win::DialogItem item;
    item.windowClass.name = className;
    item.text.name = text;
    item.id = id;
    item.style = style;
    item.exStyle = exStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    m_dialog.items.push_back(item);
    return *this;
}

TemplateBuilder& TemplateBuilder::AddById(WORD classId, const char* text, DWORD id, DWORD style, short x, short y,
                                          short cx, short cy)
{
    Add("", text, id, style, x, y, cx, cy);
    m_dialog.items.back().windowClass.name.clear();
    m_dialog.items.back().windowClass.id = classId;
    m_dialog.items.back().windowClass.hasId = true;
    return *this;
}

LPCDLGTEMPLATE TemplateBuilder::Get()
{
    m_bytes = win::WriteDialogTemplate(m_dialog);
    return reinterpret_cast<LPCDLGTEMPLATE>(m_bytes.data());
}

} // namespace tavrin::test
